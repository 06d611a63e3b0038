#pragma once
// The wait window Mess1: a stay-on-top window without title-bar buttons showing an
// operation's caption, a red text line and a percentage gauge. Shown without
// blocking; every long operation follows begin / setPercent / end.

#include <QList>
#include <QStringList>
#include <QWidget>

class QGridLayout;
class QLabel;
class QProgressBar;

class TMess1 : public QWidget {
    Q_OBJECT
public:
    explicit TMess1(QWidget *parent = nullptr);

    QLabel *Label1 = nullptr;        // one red line, 24 px
    QProgressBar *CGauge1 = nullptr; // 0..100

    // Caption, text line (an empty text keeps the present one) and gauge at 0 or
    // hidden; shows the window on top and paints it at once.
    void begin(const QString &caption, const QString &text = QString(), bool showGauge = true);
    // The red line, painted at once.
    void setText(const QString &text);
    // Centred on `owner`'s window (the screen's centre without one).
    void centreOn(const QWidget *owner);
    // done * 100 / total, clamped to 0..100.
    void setPercent(int percent);
    void setProgress(qint64 done, qint64 total);
    // One gauge line per name under the text line, for work on several scales at once;
    // the single gauge is hidden meanwhile. end() removes the lines.
    void beginLines(const QString &caption, const QString &text, const QStringList &names);
    void setLinePercent(int line, int percent);
    QList<QProgressBar *> lineGauges() const { return m_lineGauges; }
    // Closes the window and makes the gauge visible again.
    void end();

private:
    QWidget *m_lines = nullptr;
    QGridLayout *m_linesLayout = nullptr;
    QList<QProgressBar *> m_lineGauges;
};

extern TMess1 *Mess1;

namespace ztk {

// The wait window for one long operation, in one scope: shown centred on `owner`'s
// window when made, closed when destroyed.
class WaitScope {
public:
    WaitScope(const QWidget *owner, const QString &caption, const QString &text = QString(), bool gauge = true);
    ~WaitScope();
    WaitScope(const WaitScope &) = delete;
    WaitScope &operator=(const WaitScope &) = delete;

    void setText(const QString &text) const;
    void setPercent(int percent) const;
    // Moves the gauge on by `points` (a wait that cannot count its progress).
    void advance(int points) const;
    void repaint() const;
    // Closes the window now rather than at the end of the scope.
    void close();

private:
    bool m_open = false;
};

} // namespace ztk
