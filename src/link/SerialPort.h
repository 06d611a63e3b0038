#pragma once
// The serial line on POSIX termios: raw 8 data bits, no parity, one or two stop
// bits, no flow control, exclusive. One write per byte.

#include <QString>
#include <cstdint>

namespace ztk {

class SerialPort {
public:
    enum OpenResult { Opened = 0, CannotOpen = 2, SettingsRefused = 3 };

    SerialPort() = default;
    ~SerialPort();
    SerialPort(const SerialPort &) = delete;
    SerialPort &operator=(const SerialPort &) = delete;

    // "COMn" -> /dev/ttyS(n-1); a name starting with '/' is used as is; any other -> /dev/NAME.
    static QString devicePath(const QString &portName);

    // 0 when open and ready; 2 when the device cannot be opened or prepared;
    // 3 when the line settings are refused (a baud rate of 0 among them). On 2 or 3 no port is held.
    OpenResult open(const QString &devicePath, std::int32_t baud, std::int32_t stopBitsIndex, std::int16_t parityIndex);
    void close();
    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    const QString &path() const { return m_path; }

    // One write(2) of one byte; false when nothing was written (or no port).
    bool sendByte(std::uint8_t byte);
    // Empties both queues of the driver.
    void discardAll();
    // tcgetattr succeeds: the line counts as present.
    bool lineSettingsReadable() const;
    // Opens the same device again in place of a vanished one, keeping the descriptor number.
    bool reopen();

private:
    int m_fd = -1;
    QString m_path;
    std::int32_t m_baud = 0;
    std::int32_t m_stopBitsIndex = 0;
};

} // namespace ztk
