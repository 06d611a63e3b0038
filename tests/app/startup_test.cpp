// What start-up settles before the main window works: the port settings with their
// default for a missing file, and the version of the captions.

#include "app/PortList.h"
#include "app/Startup.h"
#include "shared/Files.h"
#include "shared/Messages.h"
#include "support/TestApplication.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ztk;

TEST(Startup, PortSettingsOrTheirDefault)
{
    test::ensureCoreApplication();
    QTemporaryDir dir;
    AppContext context;
    context.workDir = dir.path();
    context.checkSingleInstance = false;

    // No "fbdves.cfg": COM1 at speed 0, scale 1, and the caller is told to say so.
    StartupSettings s = settleStartup(context);
    EXPECT_FALSE(s.alreadyRunning);
    EXPECT_TRUE(s.portConfigMissing);
    EXPECT_EQ(s.port.portName, QByteArray("COM1"));
    EXPECT_EQ(s.port.baudRate, 0);
    EXPECT_EQ(s.port.lastScaleNumber, 1);

    PortConfig written;
    written.portName = "ttyUSB0";
    written.baudRate = 9600;
    written.stopBitsIndex = 2;
    written.lastScaleNumber = 7;
    ASSERT_TRUE(written.save(context.path(files::PortConfig)));
    s = settleStartup(context);
    EXPECT_FALSE(s.portConfigMissing);
    EXPECT_EQ(s.port.portName, QByteArray("ttyUSB0"));
    EXPECT_EQ(s.port.baudRate, 9600);
    EXPECT_EQ(s.port.stopBitsIndex, 2);
    EXPECT_EQ(s.port.lastScaleNumber, 7);
}

TEST(Startup, VersionSuffixOfTheCaptions)
{
    EXPECT_EQ(versionSuffix(QString()), QString());
    EXPECT_EQ(versionSuffix(QStringLiteral("1.3.1.14")), msg::text(msg::VersionSuffix) + QStringLiteral("1.3.1.14"));
}

TEST(Startup, StableSerialNamesListed)
{
    test::ensureCoreApplication();
    QTemporaryDir dir;
    const QString byId = dir.filePath(QStringLiteral("by-id"));
    ASSERT_TRUE(QDir().mkpath(byId));
    QFile device(dir.filePath(QStringLiteral("ttyUSB0")));
    ASSERT_TRUE(device.open(QIODevice::WriteOnly));
    device.close();
    const QString adapterB = QDir(byId).filePath(QStringLiteral("usb-B_Serial_2-if00-port0"));
    const QString adapterA = QDir(byId).filePath(QStringLiteral("usb-A_Serial_1-if00-port0"));
    ASSERT_TRUE(QFile::link(device.fileName(), adapterB));
    ASSERT_TRUE(QFile::link(device.fileName(), adapterA));
    // An adapter unplugged leaves a dangling link for a moment.
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("ttyUSB9")), QDir(byId).filePath(QStringLiteral("usb-gone"))));
    EXPECT_EQ(stableSerialPaths(byId), (QStringList{adapterA, adapterB}));
    EXPECT_TRUE(stableSerialPaths(dir.filePath(QStringLiteral("none"))).isEmpty());
}
