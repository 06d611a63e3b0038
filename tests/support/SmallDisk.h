#pragma once
// A folder on a disk of its own, a few kilobytes large, to see what a full disk does:
// a tmpfs mounted for the test (root only; elsewhere available() is false and the
// test skips). Unmounted by the destructor.

#include <QString>
#include <QTemporaryDir>

namespace ztk::test {

class SmallDisk {
public:
    explicit SmallDisk(int kilobytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool available() const { return m_mounted; }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }
    // Takes up the room that is left, so that the next write of any size fails.
    bool fill() const;

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

} // namespace ztk::test
