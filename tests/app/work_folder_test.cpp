// The working folder of a start from the desktop menu: made once, kept afterwards,
// and a clear message naming it when it cannot be had.

#include "app/WorkFolder.h"
#include "support/TestApplication.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

using namespace ztk;

TEST(WorkFolder, MadeOnceThenKept)
{
    test::ensureCoreApplication();
    QTemporaryDir home;
    const QString folder = home.filePath(QStringLiteral("ztk"));

    WorkFolder first = homeWorkFolder(home.path());
    EXPECT_EQ(first.path, folder);
    EXPECT_TRUE(first.error.isEmpty());
    ASSERT_TRUE(QFileInfo(folder).isDir());

    // What the program left there is untouched by the next start.
    QFile data(QDir(folder).filePath(QStringLiteral("LM_T.db")));
    ASSERT_TRUE(data.open(QIODevice::WriteOnly));
    data.write("rows");
    data.close();
    WorkFolder again = homeWorkFolder(home.path());
    EXPECT_EQ(again.path, folder);
    ASSERT_TRUE(data.open(QIODevice::ReadOnly));
    EXPECT_EQ(data.readAll(), QByteArray("rows"));
}

TEST(WorkFolder, NoFolderNamesIt)
{
    test::ensureCoreApplication();
    QTemporaryDir dir;
    struct Case {
        const char *what;
        QString home;
    };
    // A file where the folder should be; a home that is a file (no folder can be made in it).
    const QString fileHome = dir.filePath(QStringLiteral("home-file"));
    QDir().mkpath(dir.filePath(QStringLiteral("taken")));
    QFile taken(dir.filePath(QStringLiteral("taken/ztk")));
    ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
    taken.close();
    QFile homeFile(fileHome);
    ASSERT_TRUE(homeFile.open(QIODevice::WriteOnly));
    homeFile.close();
    std::vector<Case> cases{{"file in place", dir.filePath(QStringLiteral("taken"))}, {"home is a file", fileHome}};
    // A read-only home stops everybody but root.
    const QString readOnly = dir.filePath(QStringLiteral("read-only"));
    if (::geteuid() != 0) {
        QDir().mkpath(readOnly);
        QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ExeOwner);
        cases.push_back({"read-only home", readOnly});
    }
    for (const Case &c : cases) {
        const WorkFolder got = homeWorkFolder(c.home);
        EXPECT_TRUE(got.path.isEmpty()) << c.what;
        EXPECT_TRUE(got.error.contains(QDir(c.home).filePath(QStringLiteral("ztk")))) << c.what << qPrintable(got.error);
    }
    EXPECT_EQ(QFileInfo(dir.filePath(QStringLiteral("taken/ztk"))).size(), 0);
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
