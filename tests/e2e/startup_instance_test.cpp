// The real program, offscreen: a second copy started from the same program file is
// refused and leaves the first one and its files alone; a copy of another name runs.
// Message boxes are read from standard error (ZTK_ECHO_MESSAGES=noshow).

#include "shared/Files.h"
#include "support/Programs.h"
#include "shared/Messages.h"
#include "shared/PortConfig.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace ztk;

namespace {

QCoreApplication &coreApplication()
{
    static int argc = 1;
    static char name[] = "test_e2e";
    static char *argv[] = {name, nullptr};
    static QCoreApplication *app = QCoreApplication::instance() ? QCoreApplication::instance()
                                                                : new QCoreApplication(argc, argv);
    return *app;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// One run of the program in `workDir`, started from `program`.
class ProgramRun {
public:
    ProgramRun(const QString &program, const QString &workDir, const QStringList &args = {}, const QString &home = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (!home.isEmpty())
            env.insert(QStringLiteral("HOME"), home);
        // The window's remembered place and selection are the run's own, not the tester's.
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("ZTK_ECHO_MESSAGES"), QStringLiteral("noshow"));
        env.insert(QStringLiteral("ZTK_CLOCK_RATE"), QStringLiteral("50")); // the link check ends soon
        // Leaks of the platform libraries at exit are not this test's subject.
        env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        m_process.setProcessEnvironment(env);
        m_process.setWorkingDirectory(workDir);
        m_process.start(program, args);
    }
    ~ProgramRun()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(10000);
        }
    }

    bool started() { return m_process.waitForStarted(10000); }
    bool running() const { return m_process.state() == QProcess::Running; }

    // Waits until standard error holds `text` (or the program ended).
    bool waitForMessage(const QString &text, int ms = 30000)
    {
        const QByteArray needle = text.toUtf8();
        QDeadlineTimer deadline(ms);
        while (!deadline.hasExpired()) {
            m_err += m_process.readAllStandardError();
            if (m_err.contains(needle))
                return true;
            if (m_process.state() == QProcess::NotRunning) {
                m_err += m_process.readAllStandardError();
                return m_err.contains(needle);
            }
            m_process.waitForReadyRead(100);
        }
        return false;
    }
    bool waitForEnd(int ms = 30000)
    {
        const bool ended = m_process.waitForFinished(ms);
        m_err += m_process.readAllStandardError();
        return ended;
    }
    int exitCode() const { return m_process.exitCode(); }
    QString messages() const { return QString::fromUtf8(m_err); }

private:
    QTemporaryDir m_config;
    QProcess m_process;
    QByteArray m_err;
};

// A program file of a name of its own in `tmp`, so that no other run counts as ours.
QString ownProgramCopy(const QTemporaryDir &tmp)
{
    const QString program = tmp.filePath(QStringLiteral("ztk-e2e-%1").arg(QCoreApplication::applicationPid()));
    if (!QFile::copy(test::windowProgram(), program)
        || !QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        return {};
    return program;
}

} // namespace

TEST(ProgramStartup, SecondInstanceIsRefusedAndTheFirstRunsOn)
{
    coreApplication();
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString program = ownProgramCopy(tmp);
    ASSERT_FALSE(program.isEmpty());

    const QString work = tmp.filePath(QStringLiteral("work"));
    ASSERT_TRUE(QDir().mkpath(work));
    PortConfig cfg;
    cfg.portName = "ttyZZ9"; // no such device
    cfg.baudRate = 9600;
    cfg.lastScaleNumber = 4;
    const QString cfgPath = QDir(work).filePath(QString::fromLatin1(files::PortConfig));
    ASSERT_TRUE(cfg.save(cfgPath));
    const QByteArray cfgBefore = readAll(cfgPath);

    ProgramRun first(program, work);
    ASSERT_TRUE(first.started());
    // Past the single-instance check: the port message, then the link check's.
    ASSERT_TRUE(first.waitForMessage(msg::text(msg::NoLink))) << first.messages().toStdString();
    EXPECT_FALSE(first.messages().contains(msg::text(msg::AlreadyRunning)));

    ProgramRun second(program, work);
    ASSERT_TRUE(second.started());
    ASSERT_TRUE(second.waitForEnd());
    EXPECT_NE(second.exitCode(), 0);
    // Refused before anything else: no port opened, no settings read or written.
    EXPECT_TRUE(second.messages().contains(msg::text(msg::AlreadyRunning))) << second.messages().toStdString();
    EXPECT_FALSE(second.messages().contains(msg::text(msg::PortOpenFailed).trimmed()));
    EXPECT_FALSE(second.messages().contains(msg::text(msg::NoLink)));
    EXPECT_TRUE(first.running());
    EXPECT_EQ(readAll(cfgPath), cfgBefore);

    // The same program under another file name is not detected.
    const QString other = tmp.filePath(QStringLiteral("ztk-other-%1").arg(QCoreApplication::applicationPid()));
    ASSERT_TRUE(QFile::copy(program, other));
    ASSERT_TRUE(QFile::setPermissions(other, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    ProgramRun third(other, work);
    ASSERT_TRUE(third.started());
    ASSERT_TRUE(third.waitForMessage(msg::text(msg::PortOpenFailed).trimmed())) << third.messages().toStdString();
    EXPECT_FALSE(third.messages().contains(msg::text(msg::AlreadyRunning)));
    EXPECT_TRUE(first.running());
}

// Started from the desktop menu the program works in ~/ztk, made on first start with
// an empty table; a file in its place is named and the program stops.
TEST(ProgramStartup, MenuStartWorksInTheHomeFolder)
{
    coreApplication();
    QTemporaryDir tmp;
    const QString program = ownProgramCopy(tmp);
    ASSERT_FALSE(program.isEmpty());
    const QString home = tmp.filePath(QStringLiteral("home"));
    const QString elsewhere = tmp.filePath(QStringLiteral("terminal"));
    ASSERT_TRUE(QDir().mkpath(home) && QDir().mkpath(elsewhere));
    const QString folder = QDir(home).filePath(QStringLiteral("ztk"));
    {
        ProgramRun run(program, elsewhere, {QStringLiteral("--home-folder")}, home);
        ASSERT_TRUE(run.started());
        ASSERT_TRUE(run.waitForMessage(msg::text(msg::CfgMissing))) << run.messages().toStdString();
        const QString store = QDir(folder).filePath(QString::fromLatin1(files::ProductStore));
        QDeadlineTimer deadline(30000);
        while (!QFileInfo::exists(store) && run.running() && !deadline.hasExpired())
            QThread::msleep(20);
        EXPECT_TRUE(QFileInfo::exists(store));
        EXPECT_TRUE(QDir(elsewhere).isEmpty());
    }
    ASSERT_TRUE(QDir(folder).removeRecursively());
    QFile inPlace(folder);
    ASSERT_TRUE(inPlace.open(QIODevice::WriteOnly));
    inPlace.close();
    ProgramRun refused(program, elsewhere, {QStringLiteral("--home-folder")}, home);
    ASSERT_TRUE(refused.started());
    ASSERT_TRUE(refused.waitForEnd());
    EXPECT_NE(refused.exitCode(), 0);
    EXPECT_TRUE(refused.messages().contains(msg::text(msg::WorkFolderIsFile).arg(folder))) << refused.messages().toStdString();
    EXPECT_TRUE(QDir(elsewhere).isEmpty());
}
