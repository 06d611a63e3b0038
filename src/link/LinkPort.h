#pragma once
// The line to one scale as the link sees it: a descriptor to poll and read, bytes to
// write, pending bytes to drop, and whether the line is up. A serial device and a TCP
// connection to a serial device server are its two kinds; nothing above knows which.

#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>
#include <span>

namespace ztk {

class LinkPort {
public:
    // InUse: another open of the device holds its lock (or its exclusive claim).
    enum OpenResult { Opened = 0, CannotOpen = 2, SettingsRefused = 3, InUse = 4 };

    virtual ~LinkPort() = default;

    // The port for a name of "fbdves.cfg" or of the scales list: "tcp:HOST:PORT" is a
    // network port, anything else a serial device.
    static std::unique_ptr<LinkPort> forName(const QString &name);
    // The path the port opens: the address as given for a network port, the device
    // path for a serial name.
    static QString pathFor(const QString &name);

    // Opened, or why not (see openErrorText()).
    virtual OpenResult open(const QString &path, std::int32_t baud, std::int32_t stopBitsIndex,
                            std::int16_t parityIndex) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // The descriptor the reader polls and reads; it keeps its number across reconnects.
    virtual int fd() const = 0;
    virtual const QString &openErrorText() const = 0;

    // False when nothing was written (or no port).
    virtual bool sendByte(std::uint8_t byte) = 0;
    virtual bool sendBytes(std::span<const std::uint8_t> bytes);
    // Drops what has come and not been read.
    virtual void discardAll() = 0;
    // The line is there (the serial line's settings readable, the connection made).
    virtual bool lineUp() const = 0;
    // Brings a lost line back in place of the old one; gives up early once `stop` is set.
    virtual bool reconnect(const std::atomic<bool> &stop) = 0;
    // How long the reader waits before the next reconnect after `failures` failed ones.
    virtual int reconnectPauseMs(int failures) const = 0;

protected:
    // Puts `fd` in place of `target` under the same number, so that a concurrent writer
    // never meets a closed or reused descriptor, then closes `fd`. False when dup3 failed.
    static bool replaceDescriptor(int fd, int target);
};

} // namespace ztk
