// ztk-cli common-settings, common-write, common-read and set-clock against the
// simulator: exit codes, messages, the files they write and the bytes on the wire.

#include "common/CommonData.h"
#include "common/CommonDataSettings.h"
#include "shared/Files.h"
#include "shared/Messages.h"
#include "shared/PortConfig.h"
#include "support/CliProcess.h"
#include "support/SimProcess.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace ztk;
using namespace ztk::test;

namespace {

QString t(const char *text) { return msg::text(text); }

struct Shop {
    QTemporaryDir dir;
    QString path(const QString &name) const { return QDir(dir.path()).filePath(name); }
    // "fbdves.cfg" naming `port` at 115200 ("/dev/pts/N" as "pts/N": the file holds
    // nine characters), with this last scale number. A network port is too long for
    // the file: the commands are given it with --port.
    bool config(const QString &port, int lastScale)
    {
        PortConfig c;
        if (port.startsWith(QLatin1String("tcp:")))
            networkPort = port;
        else
            c.portName = (port.startsWith(QLatin1String("/dev/")) ? port.mid(5) : port).toLocal8Bit();
        c.baudRate = 115200;
        c.lastScaleNumber = std::uint8_t(lastScale);
        return c.save(path(QString::fromUtf8(files::PortConfig)));
    }
    CliRun cli(const QStringList &args, int clockRate = 0) const
    {
        const QStringList port = networkPort.isEmpty() ? QStringList() : QStringList{QStringLiteral("--port"), networkPort};
        return runCli(dir.path(), QStringList{QStringLiteral("--dir"), dir.path()} + port + args, clockRate);
    }
    QString networkPort;
};

common::CommonDataSettings settingsOf(const QString &path)
{
    common::CommonDataSettings s;
    s.load(path);
    return s;
}

} // namespace

TEST(CommonCli, SettingsShownSavedAndRefused)
{
    Shop shop;
    ASSERT_TRUE(shop.config(QStringLiteral("ttyZZ9"), 4));

    // Nothing given: the window's initial values for the last scale, nothing written.
    CliRun r = shop.cli({QStringLiteral("common-settings")});
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.err);
    QStringList lines = r.out.split('\n');
    EXPECT_EQ(lines.value(0), QStringLiteral("VL4.cfg"));
    EXPECT_EQ(lines.value(1), QStringLiteral("Наименование предприятия: 1234567890123456789012345678"));
    EXPECT_EQ(lines.value(2), QStringLiteral("Ном весов: 4"));
    EXPECT_FALSE(QFile::exists(shop.path(QStringLiteral("VL4.cfg"))));

    r = shop.cli({QStringLiteral("common-settings"), QStringLiteral("--company"), QStringLiteral("Молочный"),
                  QStringLiteral("--label"), QStringLiteral("300"), QStringLiteral("--report-label"), QStringLiteral("5"),
                  QStringLiteral("--weight-keys"), QStringLiteral("10,20,30")});
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.err);
    const common::CommonDataSettings s = settingsOf(shop.path(QStringLiteral("VL4.cfg")));
    EXPECT_EQ(s.companyText(), QStringLiteral("Молочный"));
    EXPECT_EQ(s.labelNumber, 44);
    EXPECT_EQ(s.reportLabelNumber, 5);
    EXPECT_EQ(s.scaleNumber, 4);
    EXPECT_EQ(s.weightKeys[0], 10);
    EXPECT_EQ(s.weightKeys[2], 30);
    EXPECT_EQ(s.weightKeys[27], 10); // the first product on the keys beyond the list
    EXPECT_EQ(s.pieceKeys[27], 28);
    EXPECT_EQ(QFileInfo(shop.path(QStringLiteral("VL4.cfg"))).size(), 294);
    EXPECT_TRUE(r.out.contains(QStringLiteral("Номер этикетки: 300\n")));

    // The file is loaded as the window loads it.
    r = shop.cli({QStringLiteral("common-settings"), QStringLiteral("--scale"), QStringLiteral("4")});
    EXPECT_TRUE(r.out.contains(QStringLiteral("Наименование предприятия: Молочный\n")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("Номер этикетки: 44\n")));

    // Bad input: exit 2, the file as it was.
    const QByteArray before = readFileBytes(shop.path(QStringLiteral("VL4.cfg")));
    QStringList tooMany;
    for (int i = 1; i <= 29; ++i)
        tooMany << QString::number(i);
    const QList<QStringList> bad = {
        {QStringLiteral("--weight-keys"), tooMany.join(',')},
        {QStringLiteral("--piece-keys"), QStringLiteral("12a,3")},
        {QStringLiteral("--label"), QStringLiteral("x")},
        {QStringLiteral("--report-label"), QStringLiteral("100")},
        {QStringLiteral("--scale"), QStringLiteral("100")},
    };
    for (const QStringList &args : bad) {
        r = shop.cli(QStringList{QStringLiteral("common-settings")} + args);
        EXPECT_EQ(r.exitCode, 2) << qPrintable(args.join(' '));
        EXPECT_EQ(r.out, QString());
        EXPECT_EQ(readFileBytes(shop.path(QStringLiteral("VL4.cfg"))), before);
    }
    r = shop.cli({QStringLiteral("common-settings"), QStringLiteral("--piece-keys"), QStringLiteral("12a,3")});
    EXPECT_EQ(r.err, t(msg::NotAnInteger).arg(QStringLiteral("12a")) + '\n');
}

class CommonCliExchange : public OverTransport {};

TEST_P(CommonCliExchange, WriteChecksTheScaleNumberThenSendsThePacedBlock)
{
    Shop shop;
    SimProcess sim(GetParam());
    ASSERT_TRUE(sim.start({QStringLiteral("--number"), QStringLiteral("3")})) << qPrintable(sim.error());
    ASSERT_TRUE(shop.config(sim.port(), 2));

    // Scale 2's settings against a scale that says 3: refused after the question.
    CliRun r = shop.cli({QStringLiteral("common-write")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, t(msg::ScaleNumberMismatch) + '\n');
    EXPECT_EQ(sim.waitForLog(1), QByteArray("\x13"));
    EXPECT_FALSE(QFile::exists(shop.path(QString::fromUtf8(files::CommonDataBlock))));

    ASSERT_EQ(shop.cli({QStringLiteral("common-settings"), QStringLiteral("--scale"), QStringLiteral("3"),
                        QStringLiteral("--company"), QStringLiteral("Рыба")}).exitCode, 0);
    r = shop.cli({QStringLiteral("common-write"), QStringLiteral("--scale"), QStringLiteral("3"),
                  QStringLiteral("--auto-label"), QStringLiteral("on")}, 50);
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.err);
    EXPECT_TRUE(r.err.contains(QStringLiteral("99%")));
    const QByteArray block = readFileBytes(shop.path(QString::fromUtf8(files::CommonDataBlock)));
    ASSERT_EQ(block.size(), 512);
    EXPECT_EQ(block.mid(256, 5), QByteArray::fromHex("90eba1a000"));
    EXPECT_EQ(block[432], char(1));
    EXPECT_EQ(block[115], char(3));
    const QByteArray log = sim.waitForLog(2 + 441);
    ASSERT_EQ(log.size(), 2 + 441);
    EXPECT_EQ(log.left(3).toHex(), QByteArray("131305"));
    EXPECT_EQ(log.mid(3), block.mid(60, 440));
}

TEST_P(CommonCliExchange, WriteToASilentScaleSendsNothing)
{
    Shop shop;
    SimProcess sim(GetParam());
    ASSERT_TRUE(sim.start({QStringLiteral("--fault"), QStringLiteral("silent")})) << qPrintable(sim.error());
    ASSERT_TRUE(shop.config(sim.port(), 1));
    const CliRun r = shop.cli({QStringLiteral("common-write")}, 50);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, t(msg::NoLink) + '\n');
    EXPECT_EQ(sim.waitForLog(1, 300), QByteArray("\x13"));
    EXPECT_FALSE(QFile::exists(shop.path(QString::fromUtf8(files::CommonDataBlock))));
}

TEST_P(CommonCliExchange, ReadShowsSavesAndCarriesOver)
{
    common::BlockInput in;
    in.scaleNumber = 6;
    in.labelNumber = 0xC8;
    in.reportLabelNumber = 2;
    for (int k = 0; k < common::KeyCount; ++k) {
        in.weightKeys[std::size_t(k)] = k < 3 ? 10 * (k + 1) : -1;
        in.pieceKeys[std::size_t(k)] = 5000;
    }
    in.companyName = QStringLiteral("Весы 6");
    common::Block b = common::buildBlock(in, QDateTime(QDate(2027, 3, 1), QTime(9, 5, 7)));
    b[common::at::ScaleType] = 0x23;
    const QByteArray stored(reinterpret_cast<const char *>(b.data()), 512);

    Shop shop;
    SimProcess sim(GetParam());
    sim.writeStateFile(QStringLiteral("common.bin"), stored);
    ASSERT_TRUE(sim.start()) << qPrintable(sim.error());
    ASSERT_TRUE(shop.config(sim.port(), 1));
    const CliRun r = shop.cli({QStringLiteral("common-read"), QStringLiteral("--out"), QStringLiteral("read.bin"),
                               QStringLiteral("--save-settings")});
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.err);
    const QStringList lines = r.out.split('\n');
    ASSERT_EQ(lines.size(), 11);
    EXPECT_EQ(lines[0], QStringLiteral("Наименование предприятия: Весы 6"));
    EXPECT_EQ(lines[1], QStringLiteral("Тип весов: 15/25"));
    EXPECT_EQ(lines[2], QStringLiteral("Позиция дес точки: xxxx.xx"));
    EXPECT_EQ(lines[3], QStringLiteral("Вариант этикетки: -56"));
    EXPECT_EQ(lines[5], QStringLiteral("Номер весов: 6"));
    EXPECT_EQ(lines[6], QStringLiteral("Дата и время посл коррекции: 01.03.27 09:05:07"));
    EXPECT_EQ(lines[7], QStringLiteral("Автовывод этикетки: нет"));
    EXPECT_TRUE(lines[8].startsWith(QStringLiteral("Список индексов ВР: 10  20  30  -1  ")));
    EXPECT_EQ(readFileBytes(shop.path(QStringLiteral("read.bin"))), stored);

    const common::CommonDataSettings s = settingsOf(shop.path(QStringLiteral("VL6.cfg")));
    EXPECT_EQ(s.companyText(), QStringLiteral("Весы 6"));
    EXPECT_EQ(s.scaleNumber, 6);
    EXPECT_EQ(s.labelNumber, -56);
    EXPECT_EQ(s.reportLabelNumber, 2);
    EXPECT_EQ(s.weightKeys[2], 30);
    EXPECT_EQ(s.weightKeys[3], -1); // -1 is a value like any other but 0
    EXPECT_EQ(s.pieceKeys[27], 5000);
    EXPECT_EQ(s.readBackFlag, 1);
}

TEST_P(CommonCliExchange, ReadTimeOutWritesNothing)
{
    Shop shop;
    SimProcess sim(GetParam());
    ASSERT_TRUE(sim.start({QStringLiteral("--fault"), QStringLiteral("silent")})) << qPrintable(sim.error());
    ASSERT_TRUE(shop.config(sim.port(), 1));
    const CliRun r = shop.cli({QStringLiteral("common-read"), QStringLiteral("--out"), QStringLiteral("read.bin"),
                               QStringLiteral("--save-settings")}, 50);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, t(msg::NoLink) + '\n');
    EXPECT_EQ(r.out, QString());
    EXPECT_EQ(QDir(shop.dir.path()).entryList(QDir::Files), QStringList{QString::fromUtf8(files::PortConfig)});
}

TEST_P(CommonCliExchange, SetClockSendsTheGivenMoment)
{
    Shop shop;
    SimProcess sim(GetParam());
    ASSERT_TRUE(sim.start()) << qPrintable(sim.error());
    ASSERT_TRUE(shop.config(sim.port(), 1));
    CliRun r = shop.cli({QStringLiteral("set-clock"), QStringLiteral("--at"), QStringLiteral("1999-12-31 23:59:58")});
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.err);
    EXPECT_EQ(sim.waitForLog(9).toHex(), QByteArray("0f5859230031129900"));

    r = shop.cli({QStringLiteral("set-clock"), QStringLiteral("--at"), QStringLiteral("31.12.1999")});
    EXPECT_EQ(r.exitCode, 2);
}

ZTK_OVER_EACH_TRANSPORT(CommonCliExchange);
