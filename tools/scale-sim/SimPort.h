#pragma once
// The port the simulator serves: a pseudo-terminal, a device, or a TCP listener, with
// the emulated line speed in both directions.

#include "SimScale.h"

#include <QString>

#include <cstdint>

namespace ztk::sim {

// The monotonic clock in ns, and a sleep until a moment of it.
std::int64_t nowNs();
void sleepUntilNs(std::int64_t t);

class Port {
public:
    int fd = -1;
    std::int64_t byteNs = 0; // 0: as fast as possible
    std::int64_t rxFreeNs = 0;
    std::int64_t txFreeNs = 0;

    // A received byte is taken only once it could have crossed the line. The bytes of
    // one read follow each other on the line from the moment they were read, so an
    // oversleep of one byte is not added to the next.
    void accountReceived(std::int64_t readAtNs);
    // Each byte leaves at the line's pace; a port nobody reads drops the rest.
    void send(const Bytes &bytes);

private:
    bool writeAll(const std::uint8_t *data, std::size_t size);
};

// A serial line raw, 8 bits, no echo.
void makeRaw(int fd);
// Opens a pseudo-terminal; returns the master and fills the slave's path. The slave
// stays open here as well, so the master never sees a hang-up while the PC has the
// port closed, and the line stays raw between the PC's opens.
int openPty(QString &slavePath, int &slaveFd);
// Listens on "HOST:PORT" (an IPv4 address); returns the socket and fills `where` with
// the address actually bound, or -1.
int listenOn(const QString &hostPort, QString &where);

} // namespace ztk::sim
