#include "support/GuiFixture.h"

#include "app/ui/AppWindows.h"
#include "ui/Mess.h"
#include "app/ui/Pd1.h"
#include "ui/WindowRules.h"
#include "products/ProductStore.h"
#include "shared/Files.h"
#include "shared/Messages.h"
#include "shared/PortConfig.h"
#include "support/ProductSeeder.h"
#include "support/SimProcess.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

// The system's fontconfig keeps a small cache alive until exit in every offscreen
// window test; LeakSanitizer is told so here, where every window test links it.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libfontconfig\n";
}

namespace ztk::test {

QApplication &guiApplication()
{
    static QApplication *app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "test_gui";
        static char *argv[] = {name, nullptr};
        auto *a = new QApplication(argc, argv); // lives for the whole test program
        setApplicationTitle(msg::text(msg::MainCaption));
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        installQtRussian(*a);
        return a;
    }();
    return *app;
}

void typeInto(QWidget *widget, const QString &text)
{
    for (const QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QCoreApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(ch));
        QCoreApplication::sendEvent(widget, &release);
    }
}

void retype(QLineEdit *box, const QString &text)
{
    box->selectAll();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QCoreApplication::sendEvent(box, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Delete, Qt::NoModifier);
    QCoreApplication::sendEvent(box, &release);
    typeInto(box, text);
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

GuiFixture::GuiFixture()
{
    guiApplication();
    context.workDir = m_dir.path();
    context.clock = &clock;
    context.pump = &pump;
    context.prompter = &prompter;
    context.programFileName = QStringLiteral("test_gui");
    context.checkSingleInstance = false;
}

GuiFixture::~GuiFixture()
{
    stop();
}

bool GuiFixture::seedProducts(const QList<SeedProduct> &rows)
{
    ProductStore store;
    if (!store.open(path(files::ProductStore))) {
        m_error = store.errorText();
        return false;
    }
    QList<SeedRow> seeds;
    for (const SeedProduct &r : rows) {
        SeedRow seed;
        seed.set(ProductColumn::N, r.n)
            .set(ProductColumn::Name, textOrNull(r.name))
            .set(ProductColumn::Price, r.price)
            .set(ProductColumn::Type, textOrNull(r.type))
            .set(ProductColumn::Prefix, textOrNull(r.prefix))
            .set(ProductColumn::SK5, r.sk5)
            .set(ProductColumn::BestBefore, textOrNull(r.bestBefore))
            .set(ProductColumn::CorrStamp, textOrNull(r.corrStamp));
        seeds << seed;
    }
    return seedRows(store, seeds, &m_error);
}

bool GuiFixture::writePortConfig(const QString &portName, int baud, int stopBitsIndex, int lastScaleNumber)
{
    PortConfig cfg;
    cfg.portName = portName.toLocal8Bit();
    cfg.baudRate = baud;
    cfg.stopBitsIndex = stopBitsIndex;
    cfg.lastScaleNumber = std::uint8_t(lastScaleNumber);
    if (!cfg.save(path(files::PortConfig))) {
        m_error = QStringLiteral("cannot write fbdves.cfg");
        return false;
    }
    return true;
}

bool GuiFixture::startSimulator(const QStringList &args, const QList<QPair<QString, QByteArray>> &stateFiles)
{
    m_sim = std::make_unique<SimProcess>();
    for (const auto &[name, bytes] : stateFiles)
        m_sim->writeStateFile(name, bytes);
    if (!m_sim->start(args)) {
        m_error = m_sim->error();
        return false;
    }
    // "/dev/pts/N" is named "pts/N": the settings file holds 9 characters.
    QString name = m_sim->port();
    if (name.startsWith(QLatin1String("/dev/")))
        name = name.mid(5);
    if (name.size() > PortConfig::MaxNameLength) {
        m_error = QStringLiteral("simulator port name too long: ") + name;
        return false;
    }
    return writePortConfig(name, 115200);
}

bool GuiFixture::start()
{
    m_started = true;
    return createWindows(context);
}

bool GuiFixture::showMain(int timeoutMs)
{
    if (!Form1 || !Mess1)
        return false;
    // The first link check runs once the window is up: it titles the wait window and
    // closes it again when it ends.
    const QString linkCheck = msg::text(msg::LinkCheckCaption);
    Form1->show();
    return QTest::qWaitFor([&] { return Mess1->windowTitle() == linkCheck && !Mess1->isVisible(); }, timeoutMs);
}

void GuiFixture::stop()
{
    if (!m_started)
        return;
    m_started = false;
    if (Form1)
        Form1->close();
    destroyWindows();
    QCoreApplication::processEvents();
    m_sim.reset();
}

QList<SeedProduct> numberedProducts(std::initializer_list<int> numbers)
{
    QList<SeedProduct> rows;
    for (const int n : numbers) {
        SeedProduct p;
        p.n = n;
        p.name = QStringLiteral("Товар %1").arg(n);
        p.price = n * 0.5;
        rows << p;
    }
    return rows;
}

} // namespace ztk::test
