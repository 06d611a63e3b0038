#pragma once
// The window tests' stage: one offscreen QApplication per test program, a temporary
// working directory, the scripted seams, and the thirteen windows created in their
// order (without the single-instance check) and torn down again. Files of the
// working directory (products, "fbdves.cfg") are prepared before start().

#include "app/AppContext.h"
#include "app/QtEventPump.h"
#include "support/Scripted.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

class QApplication;
class QLineEdit;
class QWidget;

namespace ztk::test {

class SimProcess;

// The QApplication of the test program (offscreen, Russian locale), made at the first call.
QApplication &guiApplication();

// One row of "lm_t1" as a test writes it; empty texts are stored as NULL.
struct SeedProduct {
    int n = 0;
    QString name;
    double price = 0;
    QString type = QStringLiteral("0"); // "0" weight, "1" piece
    QString prefix = QStringLiteral("20");
    int sk5 = 0;
    QString bestBefore;                 // yy.mm.dd
    QString corrStamp;                  // yyyy-MM-dd HH:mm:ss
};

// Products "Товар N" of these numbers, each at N × 0.50.
QList<SeedProduct> numberedProducts(std::initializer_list<int> numbers);

class GuiFixture {
public:
    GuiFixture();
    ~GuiFixture(); // stop()

    QString dir() const { return m_dir.path(); }
    QString path(const char *fileName) const { return context.path(fileName); }

    // --- before start()
    // Creates "LM_T.db" (when missing) and adds the rows. False with error() on failure.
    bool seedProducts(const QList<SeedProduct> &rows);
    // Writes "fbdves.cfg" for `portName` (at most 9 characters).
    bool writePortConfig(const QString &portName, int baud, int stopBitsIndex = 0, int lastScaleNumber = 1);
    // Starts ztk-scale-sim with `args` (and these files in its state folder, such as
    // "common.bin") and writes "fbdves.cfg" naming its port at 115200.
    bool startSimulator(const QStringList &args = {}, const QList<QPair<QString, QByteArray>> &stateFiles = {});
    SimProcess *simulator() const { return m_sim.get(); }

    // --- the windows
    // createWindows; false when the main window ended start-up.
    bool start();
    // Shows the main window and waits until its first link check has run.
    bool showMain(int timeoutMs = 20000);
    // Closes the main window (its closing sequence runs) and destroys every window.
    void stop();

    QString error() const { return m_error; }

    ScriptedPrompter prompter;
    FakeClock clock;
    QtEventPump pump;
    AppContext context;

private:
    QTemporaryDir m_dir;
    std::unique_ptr<SimProcess> m_sim;
    bool m_started = false;
    QString m_error;
};

// Types `text` (any letters) into a widget by key events, as the operator would.
void typeInto(QWidget *widget, const QString &text);
// Replaces the box's whole text by typing: select all, Delete, then the keys of `text`.
void retype(QLineEdit *box, const QString &text);

// The whole of a file as bytes (empty when it cannot be read).
QByteArray fileBytes(const QString &path);

} // namespace ztk::test
