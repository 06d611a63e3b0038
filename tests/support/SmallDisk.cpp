#include "support/SmallDisk.h"

#include <QByteArray>
#include <QFile>

#include <sys/mount.h>
#include <unistd.h>

namespace ztk::test {

SmallDisk::SmallDisk(int kilobytes)
{
    if (::geteuid() != 0 || !m_dir.isValid())
        return;
    const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k,mode=0777";
    m_mounted = ::mount("ztk-test", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0, options.constData()) == 0;
}

SmallDisk::~SmallDisk()
{
    if (m_mounted)
        ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
}

bool SmallDisk::fill() const
{
    QFile filler(m_dir.filePath(QStringLiteral(".filler")));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    const QByteArray block(4096, 'f');
    while (filler.write(block) == block.size() && filler.flush()) {
    }
    // Byte by byte into the last partial block.
    while (filler.write("f", 1) == 1 && filler.flush()) {
    }
    return true;
}

} // namespace ztk::test
