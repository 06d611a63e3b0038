#include "ui/Mess.h"

#include "shared/Messages.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QScreen>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

TMess1 *Mess1 = nullptr;

TMess1::TMess1(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("Mess1"));
    setWindowTitle(QStringLiteral("Mess1"));

    Label1 = new QLabel(ztk::msg::text(ztk::msg::WaitDesignText), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont font = Label1->font();
    font.setPixelSize(24);
    Label1->setFont(font);
    Label1->setStyleSheet(QStringLiteral("color: red;"));

    CGauge1 = new QProgressBar(this);
    CGauge1->setObjectName(QStringLiteral("CGauge1"));
    CGauge1->setRange(0, 100);
    CGauge1->setValue(0);
    CGauge1->setFixedWidth(417);

    m_lines = new QWidget(this);
    m_lines->setObjectName(QStringLiteral("Lines"));
    m_linesLayout = new QGridLayout(m_lines);
    m_linesLayout->setContentsMargins(0, 0, 0, 0);
    m_lines->hide();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(Label1);
    layout->addWidget(CGauge1);
    layout->addWidget(m_lines);
    layout->setSizeConstraint(QLayout::SetFixedSize); // sized to its content
}

void TMess1::begin(const QString &caption, const QString &text, bool showGauge)
{
    setWindowTitle(caption);
    if (!text.isEmpty())
        Label1->setText(text);
    CGauge1->setValue(0);
    CGauge1->setVisible(showGauge);
    show();
    raise();
    repaint();
}

void TMess1::setText(const QString &text)
{
    Label1->setText(text);
    repaint();
}

void TMess1::centreOn(const QWidget *owner)
{
    adjustSize();
    const QWidget *window = owner ? owner->window() : nullptr;
    QRect area;
    if (window && window->isVisible())
        area = window->frameGeometry();
    else if (const QScreen *screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (!area.isValid())
        return;
    QRect mine = frameGeometry();
    mine.moveCenter(area.center());
    move(mine.topLeft());
}

void TMess1::setPercent(int percent)
{
    CGauge1->setValue(qBound(0, percent, 100));
}

void TMess1::setProgress(qint64 done, qint64 total)
{
    setPercent(total > 0 ? int(done * 100 / total) : 0);
}

void TMess1::beginLines(const QString &caption, const QString &text, const QStringList &names)
{
    for (int i = 0; i < names.size(); ++i) {
        auto *name = new QLabel(names[i], m_lines);
        auto *gauge = new QProgressBar(m_lines);
        gauge->setObjectName(QStringLiteral("Gauge_") + names[i]);
        gauge->setRange(0, 100);
        gauge->setValue(0);
        gauge->setFixedWidth(CGauge1->width() - 100);
        m_linesLayout->addWidget(name, i, 0);
        m_linesLayout->addWidget(gauge, i, 1);
        m_lineGauges << gauge;
    }
    m_lines->show();
    begin(caption, text, false);
}

void TMess1::setLinePercent(int line, int percent)
{
    if (line >= 0 && line < m_lineGauges.size())
        m_lineGauges[line]->setValue(qBound(0, percent, 100));
}

void TMess1::end()
{
    hide();
    CGauge1->setVisible(true);
    // The lines belong to one run.
    m_lines->hide();
    while (QLayoutItem *item = m_linesLayout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    m_lineGauges.clear();
}

namespace ztk {

WaitScope::WaitScope(const QWidget *owner, const QString &caption, const QString &text, bool gauge)
{
    if (!Mess1)
        return;
    Mess1->begin(caption, text, gauge);
    Mess1->centreOn(owner);
    m_open = true;
}

WaitScope::~WaitScope()
{
    close();
}

void WaitScope::setText(const QString &text) const
{
    if (m_open && Mess1)
        Mess1->setText(text);
}

void WaitScope::setPercent(int percent) const
{
    if (m_open && Mess1)
        Mess1->setPercent(percent);
}

void WaitScope::advance(int points) const
{
    if (m_open && Mess1)
        Mess1->setPercent(Mess1->CGauge1->value() + points);
}

void WaitScope::repaint() const
{
    if (m_open && Mess1)
        Mess1->repaint();
}

void WaitScope::close()
{
    if (m_open && Mess1)
        Mess1->end();
    m_open = false;
}

} // namespace ztk
