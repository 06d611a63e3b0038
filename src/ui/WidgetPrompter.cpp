#include "ui/WidgetPrompter.h"

#include "ui/WindowRules.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <cstdio>

namespace ztk {

namespace {
QString titleOr(const QString &caption)
{
    return caption.isEmpty() ? applicationTitle() : caption;
}
} // namespace

WidgetPrompter::WidgetPrompter()
{
    const QByteArray mode = qgetenv("ZTK_ECHO_MESSAGES");
    m_echo = mode == "1" || mode == "noshow";
    m_show = mode != "noshow";
}

void WidgetPrompter::echo(const QString &text) const
{
    if (!m_echo)
        return;
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
    std::fflush(stderr);
}

void WidgetPrompter::message(const QString &text, const QString &caption)
{
    message(MessageKind::Information, text, caption);
}

void WidgetPrompter::message(MessageKind kind, const QString &text, const QString &caption)
{
    echo(text);
    if (!m_show)
        return;
    QWidget *parent = QApplication::activeWindow();
    switch (kind) {
    case MessageKind::Information:
        QMessageBox::information(parent, titleOr(caption), text, QMessageBox::Ok);
        break;
    case MessageKind::Warning:
        QMessageBox::warning(parent, titleOr(caption), text, QMessageBox::Ok);
        break;
    case MessageKind::Error:
        QMessageBox::critical(parent, titleOr(caption), text, QMessageBox::Ok);
        break;
    }
}

Answer WidgetPrompter::ask(const QString &text, const QString &caption, Buttons buttons)
{
    echo(text);
    if (!m_show)
        return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Answer::Yes : Answer::Ok;
    QWidget *parent = QApplication::activeWindow();
    switch (buttons) {
    case Buttons::Ok:
        QMessageBox::information(parent, titleOr(caption), text, QMessageBox::Ok);
        return Answer::Ok;
    case Buttons::OkCancel:
        return QMessageBox::question(parent, titleOr(caption), text, QMessageBox::Ok | QMessageBox::Cancel,
                                     QMessageBox::Ok) == QMessageBox::Ok
            ? Answer::Ok
            : Answer::Cancel;
    case Buttons::YesNo:
        break;
    case Buttons::YesNoCancel:
        switch (QMessageBox::question(parent, titleOr(caption), text,
                                      QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes)) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return Answer::Cancel; // Отмена, Esc or the box closed
        }
    }
    return QMessageBox::question(parent, titleOr(caption), text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes) == QMessageBox::Yes
        ? Answer::Yes
        : Answer::No;
}

QString WidgetPrompter::openFileName(const QString &caption, const QString &filter)
{
    if (!m_show)
        return QString();
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), caption, QString(), filter);
}

QString WidgetPrompter::saveFileName(const QString &caption, const QString &filter, const QString &proposedPath)
{
    if (!m_show)
        return QString();
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), caption, proposedPath, filter);
}

} // namespace ztk
