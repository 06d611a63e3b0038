#include "shared/FileGuard.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ztk;

TEST(FileGuard, StoreAndSettingsAreProtectedByNameAndThroughLinks)
{
    QTemporaryDir work;
    QTemporaryDir other;
    const QDir w(work.path());
    for (const char *name : {"LM_T.db", "fbdves.cfg", "VL3.cfg"}) {
        QFile f(w.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(w.mkdir(QStringLiteral("sub")));
    ASSERT_TRUE(QFile::link(QStringLiteral("LM_T.db"), w.filePath(QStringLiteral("to-store.bd"))));
    ASSERT_TRUE(QFile::link(QStringLiteral("gone.cfg"), w.filePath(QStringLiteral("to-missing-cfg.bd"))));
    ASSERT_TRUE(QFile::link(w.filePath(QStringLiteral("fbdves.cfg")), QDir(other.path()).filePath(QStringLiteral("x.bd"))));

    const struct {
        QString target;
        bool protectedFile;
    } rows[] = {
        {w.filePath(QStringLiteral("LM_T.db")), true},
        {w.filePath(QStringLiteral("LM_T.db-journal")), true},
        {w.filePath(QStringLiteral("fbdves.cfg")), true},
        {w.filePath(QStringLiteral("VL3.CFG")), true},                 // a settings file not there yet
        {w.filePath(QStringLiteral("sub/../LM_T.db")), true},
        {w.filePath(QStringLiteral("to-store.bd")), true},
        {w.filePath(QStringLiteral("to-missing-cfg.bd")), true},       // the link would create it
        {QDir(other.path()).filePath(QStringLiteral("x.bd")), true},   // a link from elsewhere
        {w.filePath(QStringLiteral("BDforVes.bd")), false},
        {w.filePath(QStringLiteral("sub/LM_T.db")), false},            // another folder's
        {QDir(other.path()).filePath(QStringLiteral("LM_T.db")), false},
        {w.filePath(QStringLiteral("LM_T.dbx")), false},
    };
    for (const auto &row : rows)
        EXPECT_EQ(isProtectedFile(work.path(), row.target), row.protectedFile) << row.target.toStdString();
}
