// The single-instance count over a /proc-like folder, and the port list rule.

#include "app/PortList.h"
#include "app/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ztk;

namespace {

// A fake process directory: an "exe" link to `program`, or (empty link) only a cmdline.
void addProcess(const QDir &root, const QString &pid, const QString &program, const QByteArray &cmdline = {})
{
    ASSERT_TRUE(root.mkpath(pid));
    const QString dir = root.filePath(pid);
    if (!program.isEmpty()) {
        ASSERT_TRUE(QFile::link(program, dir + QStringLiteral("/exe")));
    }
    if (!cmdline.isEmpty()) {
        QFile f(dir + QStringLiteral("/cmdline"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(cmdline);
    }
}

} // namespace

TEST(SingleInstance, CountsEveryProcessOfTheSameFileNameOnly)
{
    QTemporaryDir tmp;
    const QDir root(tmp.path());
    // More processes of ours than a fixed list of 127 would hold.
    for (int pid = 1000; pid < 1150; ++pid)
        addProcess(root, QString::number(pid), QStringLiteral("/usr/local/bin/ztk"));
    addProcess(root, QStringLiteral("2001"), QStringLiteral("/home/op/ztk (deleted)")); // replaced while running
    addProcess(root, QStringLiteral("2002"), QString(), QByteArray("/opt/x/ztk\0--flag\0", 18)); // another user's
    addProcess(root, QStringLiteral("2003"), QStringLiteral("/usr/bin/ZTK"));               // case differs
    addProcess(root, QStringLiteral("2004"), QStringLiteral("/usr/bin/ztk-cli"));           // another name
    addProcess(root, QStringLiteral("2005"), QStringLiteral("/usr/bin/ztk.exe"));
    addProcess(root, QStringLiteral("self"), QStringLiteral("/usr/bin/ztk")); // not a process id
    ASSERT_TRUE(root.mkpath(QStringLiteral("2006")));                          // nothing readable

    EXPECT_EQ(countProcessesNamed(QStringLiteral("ztk"), tmp.path()), 152);
    EXPECT_EQ(countProcessesNamed(QStringLiteral("ZTK"), tmp.path()), 1);
    EXPECT_EQ(countProcessesNamed(QStringLiteral("ztk-cli"), tmp.path()), 1);
    EXPECT_EQ(countProcessesNamed(QStringLiteral("zt"), tmp.path()), 0);
    EXPECT_EQ(countProcessesNamed(QString(), tmp.path()), 0);
}

TEST(SingleInstance, OwnProcessIsCountedInTheRealProcessList)
{
    const QString own = ownProgramFileName();
    EXPECT_EQ(own, QStringLiteral("test_app"));
    EXPECT_GE(countProcessesNamed(own), 1);
}

TEST(PortList, LeavesOutLongNamesAndKeepsAtMostAHundred)
{
    EXPECT_EQ(makePortList({QStringLiteral("ttyS0"), QStringLiteral("ttyUSB0"), QStringLiteral("ttyACM10000"),
                            QStringLiteral("pts/3"), QString(), QStringLiteral("ttyAMA123")}),
              (QStringList{QStringLiteral("ttyS0"), QStringLiteral("ttyUSB0"), QStringLiteral("pts/3"),
                           QStringLiteral("ttyAMA123")}));
    QStringList many;
    for (int i = 0; i < 130; ++i)
        many << QStringLiteral("ttyS%1").arg(i);
    const QStringList list = makePortList(many);
    ASSERT_EQ(list.size(), PortListSlots);
    EXPECT_EQ(list.first(), QStringLiteral("ttyS0"));
    EXPECT_EQ(list.last(), QStringLiteral("ttyS99"));
}
