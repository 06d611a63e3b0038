#include "app/AppContext.h"

#include <QDir>

namespace ztk {

QString AppContext::path(const char *fileName) const
{
    return QDir(workDir.isEmpty() ? QDir::currentPath() : workDir).filePath(QString::fromUtf8(fileName));
}

} // namespace ztk
