#include "app/WorkFolder.h"

#include "shared/Messages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace ztk {

WorkFolder homeWorkFolder(const QString &home)
{
    const QString folder = QDir(home).absoluteFilePath(QStringLiteral("ztk"));
    const QFileInfo info(folder);
    if (info.isDir())
        return {folder, {}};
    // A dangling link counts as taken too: making the folder would follow it elsewhere.
    if (info.exists() || info.isSymLink())
        return {{}, msg::text(msg::WorkFolderIsFile).arg(folder)};
    if (::mkdir(QFile::encodeName(folder).constData(), 0775) != 0 && errno != EEXIST)
        return {{}, msg::text(msg::WorkFolderNotMade).arg(folder, QString::fromLocal8Bit(std::strerror(errno)))};
    return {folder, {}};
}

} // namespace ztk
