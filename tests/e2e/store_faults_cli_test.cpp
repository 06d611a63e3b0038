// ztk-cli on a damaged table, an image that cannot be stored, protected targets, a
// port held by another opener, and the rest of its bad input.
#include "transfer/ProductRows.h"
#include "support/Programs.h"

#include "link/SerialPort.h"
#include "shared/Files.h"
#include "shared/Messages.h"
#include "support/CliProcess.h"
#include "support/SimProcess.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

#include <sqlite3.h>
#include <unistd.h>

using namespace ztk;
using namespace ztk::test;

namespace {

CliRun cli(const QString &dir, const QStringList &args)
{
    return runCli(dir, QStringList{QStringLiteral("--dir"), dir} + args);
}

class Shop : public ProductRowsFixture {
public:
    explicit Shop(int count = 12)
    {
        {
            QSqlDatabase db = store.database();
            db.transaction();
            for (int n = 1; n <= count; ++n)
                add(StoredRow(n, QStringLiteral("Товар %1 ").arg(n) + QString(40, QLatin1Char('x'))));
            db.commit();
        }
        store.close(); // the command opens the file itself
    }
    QString path() const { return dir.path(); }
    QString file(const char *name) const { return dir.filePath(QString::fromUtf8(name)); }
};

} // namespace

TEST(StoreFaultsCli, DamagedPageFailsEveryCommandAndSendsNothing)
{
    Shop shop(5000);
    {
        QFile f(shop.file(files::ProductStore));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        const qint64 pages = f.size() / 4096;
        f.seek(4096 * (pages / 2));
        f.write(QByteArray(4096, char(0x5A)));
    }
    SimProcess sim;
    ASSERT_TRUE(sim.start()) << qPrintable(sim.error());
    const QString malformed = QString::fromUtf8(sqlite3_errstr(SQLITE_CORRUPT));
    const QStringList commands[] = {
        {QStringLiteral("products")},
        {QStringLiteral("build-image")},
        onPort(sim.port(), {QStringLiteral("write-products")}),
    };
    for (const QStringList &command : commands) {
        const CliRun r = cli(shop.path(), command);
        EXPECT_NE(r.exitCode, 0) << qPrintable(command.join(' '));
        EXPECT_TRUE(r.err.contains(malformed)) << qPrintable(r.err);
        EXPECT_FALSE(r.out.contains(msg::text(msg::RecordsPrefix)));
    }
    EXPECT_FALSE(QFile::exists(shop.file(files::ProductImage)));
    EXPECT_EQ(sim.log(), QByteArray());
}

TEST(StoreFaultsCli, ImageThatCannotBeStoredSendsNothing)
{
    Shop shop;
    SimProcess sim;
    ASSERT_TRUE(sim.start()) << qPrintable(sim.error());
    // A folder in the image's place defeats even root; a read-only file (with an older
    // image in it) only an ordinary user.
    const QString image = shop.file(files::ProductImage);
    for (const bool folder : {true, false}) {
        if (!folder && ::geteuid() == 0)
            continue;
        QDir(shop.path()).rmdir(QString::fromUtf8(files::ProductImage));
        if (folder) {
            ASSERT_TRUE(QDir(shop.path()).mkdir(QString::fromUtf8(files::ProductImage)));
        } else {
            QFile f(image);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(1280000, char(0x11)));
            f.close();
            ASSERT_TRUE(f.setPermissions(QFileDevice::ReadOwner));
        }
        const CliRun r = cli(shop.path(), onPort(sim.port(), {QStringLiteral("write-products")}));
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(r.err.startsWith(msg::text(msg::CannotWriteFile).arg(image, QString()))) << qPrintable(r.err);
        EXPECT_FALSE(r.err.contains(msg::text(msg::CannotOpenForReading)));
        EXPECT_EQ(sim.log(), QByteArray());
    }
}

TEST(StoreFaultsCli, OutputNeverReplacesTheStoreOrASettingsFile)
{
    Shop shop;
    const QString cfg = shop.file(files::PortConfig);
    {
        QFile f(cfg);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("COM1\0\0\0\0\0\0\x80\x25\0\0\0\0\0\0\x01", 19));
    }
    const struct {
        const char *out;   // --out, or nothing for the image's own name as a link
        const char *linkTo; // the image file is a symbolic link to this
    } rows[] = {
        {"LM_T.db", nullptr},
        {"fbdves.cfg", nullptr},
        {"VL1.cfg", nullptr},
        {"./sub/../LM_T.db", nullptr},
        {nullptr, "LM_T.db"},
        {nullptr, "fbdves.cfg"},
    };
    ASSERT_TRUE(QDir(shop.path()).mkdir(QStringLiteral("sub")));
    const QByteArray store = readFileBytes(shop.file(files::ProductStore));
    const QByteArray settings = readFileBytes(cfg);
    for (const auto &row : rows) {
        QStringList args{QStringLiteral("build-image")};
        if (row.out)
            args << QStringLiteral("--out") << QString::fromUtf8(row.out);
        QFile::remove(shop.file(files::ProductImage));
        if (row.linkTo) {
            ASSERT_TRUE(QFile::link(QString::fromUtf8(row.linkTo), shop.file(files::ProductImage)));
        }
        const CliRun r = cli(shop.path(), args);
        EXPECT_EQ(r.exitCode, 2) << (row.out ? row.out : row.linkTo);
        EXPECT_TRUE(r.err.contains(msg::text(msg::ProtectedFile).section(QLatin1Char(' '), 2, 3))) << qPrintable(r.err);
        EXPECT_EQ(readFileBytes(shop.file(files::ProductStore)), store);
        EXPECT_EQ(readFileBytes(cfg), settings);
        EXPECT_FALSE(QFile::exists(shop.file("VL1.cfg")));
    }
    // Any other name is written as before.
    QFile::remove(shop.file(files::ProductImage));
    EXPECT_EQ(cli(shop.path(), {QStringLiteral("build-image"), QStringLiteral("--out"), QStringLiteral("copy.bd")}).exitCode, 0);
}

// As root TIOCEXCL does not hold; the lock does, for whoever opens second.
TEST(StoreFaultsCli, SecondOpenerOfAPortIsRefusedAtOnce)
{
    SimProcess sim;
    ASSERT_TRUE(sim.start()) << qPrintable(sim.error());
    SerialPort first;
    ASSERT_EQ(first.open(sim.port(), 9600, 0, 0), SerialPort::Opened);

    SerialPort second;
    EXPECT_EQ(second.open(sim.port(), 9600, 0, 0), SerialPort::InUse);
    EXPECT_FALSE(second.isOpen());

    const CliRun r = runCli(QDir::tempPath(), onPort(sim.port(), {QStringLiteral("link-check")}));
    EXPECT_EQ(r.exitCode, 2);
    const QString holder = QStringLiteral("%1 (").arg(::getpid());
    EXPECT_TRUE(r.err.contains(msg::text(msg::PortInUseBy).arg(sim.port(), holder))) << qPrintable(r.err);
    EXPECT_EQ(sim.log(), QByteArray());

    first.close();
    EXPECT_EQ(second.open(sim.port(), 9600, 0, 0), SerialPort::Opened);
}

TEST(StoreFaultsCli, BadInputIsSaidAsSuch)
{
    Shop shop(2);
    CliRun r = cli(shop.path(), {QStringLiteral("build-image"), QStringLiteral("junk")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("ztk-cli: junk is not an option"))) << qPrintable(r.err);

    // Each name stays on its own line, its control characters shown.
    {
        ProductStore s;
        ASSERT_TRUE(s.open(shop.file(files::ProductStore)));
        QSqlQuery q(s.database());
        ASSERT_TRUE(q.exec(QStringLiteral("update lm_t1 set Name='a\nb\rc\td' where N=1")));
    }
    r = cli(shop.path(), {QStringLiteral("products")});
    EXPECT_EQ(r.exitCode, 0);
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("0001;a\\x0ab\\x0dc\\x09d;"))) << qPrintable(lines[0]);

    // A folder without a table is not given an empty one by a command that only reads.
    QTemporaryDir empty;
    for (const char *command : {"products", "build-image"}) {
        r = cli(empty.path(), {QString::fromUtf8(command)});
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(r.err.startsWith(msg::text(msg::StoreMissing).arg(QString()))) << qPrintable(r.err);
        EXPECT_EQ(QDir(empty.path()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList());
    }
}

TEST(StoreFaultsCli, ClockRateOutsideItsLimitsIsRefused)
{
    Shop shop(1);
    const struct {
        const char *rate;
        int exit;
    } rows[] = {{"1e20", 2}, {"0", 2}, {"-3", 2}, {"abc", 2}, {"100001", 2}, {"100000", 0}, {"0.5", 0}};
    for (const auto &row : rows) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ZTK_CLOCK_RATE"), QString::fromLatin1(row.rate));
        p.setProcessEnvironment(env);
        p.start(test::cliProgram(), {QStringLiteral("--dir"), shop.path(), QStringLiteral("products")});
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), row.exit) << row.rate << ' ' << p.readAllStandardError().toStdString();
    }
}
