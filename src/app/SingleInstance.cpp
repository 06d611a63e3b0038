#include "app/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace ztk {

namespace {
QString baseName(QString path)
{
    // A program file replaced while running reads as "/path/name (deleted)".
    static const QString deleted = QStringLiteral(" (deleted)");
    if (path.endsWith(deleted))
        path.chop(deleted.size());
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? path : path.mid(slash + 1);
}
} // namespace

QString processProgramName(const QString &processDir)
{
    const QString target = QFileInfo(processDir + QStringLiteral("/exe")).symLinkTarget();
    if (!target.isEmpty())
        return baseName(target);
    QFile cmdline(processDir + QStringLiteral("/cmdline"));
    if (!cmdline.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray args = cmdline.read(4096);
    const qsizetype end = args.indexOf('\0');
    return baseName(QString::fromLocal8Bit(end < 0 ? args : args.left(end)));
}

int countProcessesNamed(const QString &fileName, const QString &procRoot)
{
    if (fileName.isEmpty())
        return 0;
    const QDir root(procRoot);
    int count = 0;
    const QStringList entries = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool numeric = false;
        entry.toLongLong(&numeric);
        if (numeric && processProgramName(root.filePath(entry)) == fileName)
            ++count;
    }
    return count;
}

QString ownProgramFileName()
{
    return processProgramName(QStringLiteral("/proc/self"));
}

} // namespace ztk
