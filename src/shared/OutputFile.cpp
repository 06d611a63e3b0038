#include "shared/OutputFile.h"

#include "shared/FileGuard.h"
#include "shared/Messages.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ztk {

namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Where the target stands on the system: special places and anything that is not a
// regular file are written through, never replaced.
bool writtenInPlace(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (absolute.startsWith(QLatin1String("/dev/")) || absolute.startsWith(QLatin1String("/proc/")))
        return QFileInfo::exists(path);
    const QFileInfo info(path); // links followed
    return info.exists() && !info.isFile();
}

// One write() after another until all is out; a device that takes nothing is a failure.
QString writeInPlace(const QString &path, const QByteArray &bytes)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return systemReason(errno);
    qsizetype done = 0;
    int error = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, std::size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = n < 0 ? errno : ENOSPC;
            break;
        }
        done += n;
    }
    if (::close(fd) != 0 && error == 0 && errno != EINTR)
        error = errno;
    return error ? systemReason(error) : QString();
}

} // namespace

QString replaceFileWhole(const QString &path, const QByteArray &bytes)
{
    // The link's target is what gets replaced; the link itself stays.
    const QFileInfo info(path);
    const QString target = info.isSymLink() && info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    const QByteArray name = QFile::encodeName(target);
    struct stat old {};
    const bool existed = ::stat(name.constData(), &old) == 0;
    // A file its owner made read-only is not replaced behind its back.
    if (existed && ::access(name.constData(), W_OK) != 0)
        return systemReason(errno);

    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = name + ".ztk-" + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666); // the umask applies
        if (fd < 0 && errno != EEXIST)
            return systemReason(errno);
    }
    if (fd < 0)
        return systemReason(EEXIST);
    int error = 0;
    for (qsizetype done = 0; done < bytes.size() && error == 0;) {
        const ssize_t n = ::write(fd, bytes.constData() + done, std::size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            error = n < 0 ? errno : ENOSPC;
        else
            done += n;
    }
    if (error == 0 && existed && ::fchmod(fd, old.st_mode & 07777) != 0)
        error = errno;
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0 && errno != EINTR)
        error = errno;
    if (error == 0 && ::rename(temporary.constData(), name.constData()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.constData());
        return systemReason(error);
    }
    // The rename reaches the disk with its folder.
    const QByteArray folder = QFile::encodeName(QFileInfo(target).absolutePath());
    if (const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        if (::fsync(dir) != 0)
            error = errno;
        ::close(dir);
    }
    return error ? systemReason(error) : QString();
}

QString refusedOutput(const QString &workDir, const QString &path, const char *failure)
{
    if (isProtectedFile(workDir, path))
        return msg::text(msg::ProtectedFile).arg(path);
    if (QFileInfo(path).isDir())
        return msg::text(failure).arg(path, systemReason(EISDIR));
    return QString();
}

QString writeOutputFile(const QString &workDir, const QString &path, const QByteArray &bytes, const char *failure)
{
    const QString refused = refusedOutput(workDir, path, failure);
    if (!refused.isEmpty())
        return refused;
    const QString why = writtenInPlace(path) ? writeInPlace(path, bytes) : replaceFileWhole(path, bytes);
    return why.isEmpty() ? QString() : msg::text(failure).arg(path, why);
}

} // namespace ztk
