#include "ui/WidgetPrompter.h"

#include "ui/WindowRules.h"

#include <QApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>
#include <cstdio>

namespace ztk {

namespace {
QString titleOr(const QString &caption)
{
    return caption.isEmpty() ? applicationTitle() : caption;
}

// A box as wide as its title needs: a short text would otherwise cut the caption
// ("Удален… из БД").
int run(QMessageBox &box)
{
    const int title = QFontMetrics(QApplication::font("QMdiSubWindowTitleBar")).horizontalAdvance(box.windowTitle());
    // The frame's buttons and margins besides the title's text.
    constexpr int FrameButtons = 140;
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout()))
        grid->addItem(new QSpacerItem(title + FrameButtons, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(),
                      0, 1, grid->columnCount());
    return box.exec();
}

QMessageBox::StandardButton buttonOf(Answer a)
{
    switch (a) {
    case Answer::Ok:
        return QMessageBox::Ok;
    case Answer::Cancel:
        return QMessageBox::Cancel;
    case Answer::Yes:
        return QMessageBox::Yes;
    case Answer::No:
        return QMessageBox::No;
    }
    return QMessageBox::NoButton;
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
    const QMessageBox::Icon icon = kind == MessageKind::Error ? QMessageBox::Critical
        : kind == MessageKind::Warning                        ? QMessageBox::Warning
                                                              : QMessageBox::Information;
    QMessageBox box(icon, titleOr(caption), text, QMessageBox::Ok, QApplication::activeWindow());
    run(box);
}

Answer WidgetPrompter::ask(const QString &text, const QString &caption, Buttons buttons)
{
    return ask(Question{text, caption, buttons, QString(), std::nullopt});
}

Answer WidgetPrompter::ask(const Question &q)
{
    echo(q.text);
    const bool yesNo = q.buttons == Buttons::YesNo || q.buttons == Buttons::YesNoCancel;
    if (!m_show)
        return yesNo ? Answer::Yes : Answer::Ok;
    const Answer first = yesNo ? Answer::Yes : Answer::Ok;
    const Answer second = yesNo ? Answer::No : Answer::Cancel;
    QMessageBox::StandardButtons buttons = buttonOf(first) | buttonOf(second);
    if (q.buttons == Buttons::Ok)
        buttons = QMessageBox::Ok;
    else if (q.buttons == Buttons::YesNoCancel)
        buttons |= QMessageBox::Cancel;
    QMessageBox box(q.buttons == Buttons::Ok ? QMessageBox::Information : QMessageBox::Question, titleOr(q.caption),
                    q.text, buttons, QApplication::activeWindow());
    box.setInformativeText(q.informative);
    box.setDefaultButton(buttonOf(q.preferred.value_or(first)));
    const int pressed = run(box);
    if (q.buttons == Buttons::Ok)
        return Answer::Ok;
    if (pressed == buttonOf(first))
        return first;
    // Отмена, Esc or the box closed: the question of three is not answered.
    return q.buttons == Buttons::YesNoCancel && pressed != QMessageBox::No ? Answer::Cancel : second;
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
