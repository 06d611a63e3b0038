#include "link/LinkPort.h"

#include "link/NetworkPort.h"
#include "link/SerialPort.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace ztk {

std::unique_ptr<LinkPort> LinkPort::forName(const QString &name)
{
    if (NetworkPort::isAddress(name))
        return std::make_unique<NetworkPort>();
    return std::make_unique<SerialPort>();
}

QString LinkPort::pathFor(const QString &name)
{
    return NetworkPort::isAddress(name) ? name : SerialPort::devicePath(name);
}

bool LinkPort::sendBytes(std::span<const std::uint8_t> bytes)
{
    // One write per byte, each tried on its own, as the serial line has always been fed.
    bool all = true;
    for (const std::uint8_t b : bytes)
        all = sendByte(b) && all;
    return all;
}

bool LinkPort::replaceDescriptor(int fd, int target)
{
    int r;
    do {
        r = ::dup3(fd, target, O_CLOEXEC);
    } while (r < 0 && errno == EINTR);
    ::close(fd);
    return r == target;
}

} // namespace ztk
