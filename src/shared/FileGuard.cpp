#include "shared/FileGuard.h"

#include "shared/Files.h"

#include <QDir>
#include <QFileInfo>

namespace ztk {

namespace {

// Where a write to `path` lands: links followed, also for a file not there yet.
QString landingPath(const QString &path)
{
    QFileInfo info(path);
    for (int hops = 0; info.isSymLink() && hops < 40; ++hops) // a link to a missing file is followed by hand
        info = QFileInfo(info.symLinkTarget());
    if (info.exists())
        return info.canonicalFilePath();
    const QString dir = QFileInfo(info.absolutePath()).canonicalFilePath();
    return dir.isEmpty() ? info.absoluteFilePath() : QDir(dir).filePath(info.fileName());
}

} // namespace

bool isProtectedFile(const QString &workDir, const QString &target)
{
    const QFileInfo landing(landingPath(target));
    const QString folder = QFileInfo(workDir).canonicalFilePath();
    if (folder.isEmpty() || landing.absolutePath() != folder)
        return false;
    const QString name = landing.fileName();
    const QString store = QString::fromLatin1(files::ProductStore);
    if (name == store || name.startsWith(store + QLatin1Char('-'))
        || name.endsWith(QLatin1String(".cfg"), Qt::CaseInsensitive))
        return true;
    for (const char *settings : {files::ScalesList, files::ServerSettings, files::CommonDataBlock}) {
        if (name.compare(QLatin1String(settings), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace ztk
