#pragma once
// The serial line on POSIX termios: raw 8 data bits, no parity, one or two stop
// bits, no flow control, exclusive. One write per byte.

#include "link/LinkPort.h"

#include <QString>
#include <QStringList>
#include <cstdint>

namespace ztk {

class SerialPort final : public LinkPort {
public:
    SerialPort() = default;
    ~SerialPort() override;
    SerialPort(const SerialPort &) = delete;
    SerialPort &operator=(const SerialPort &) = delete;

    // "COMn" -> /dev/ttyS(n-1); a name starting with '/' is used as is; any other -> /dev/NAME.
    static QString devicePath(const QString &portName);

    // Opened when open, locked (flock, so that whoever runs a second opener is refused
    // at once) and ready; CannotOpen when the device cannot be opened or prepared;
    // SettingsRefused for line settings refused (a baud rate of 0 among them); InUse
    // when another opener holds it. On failure no port is held and openErrorText() says why.
    OpenResult open(const QString &devicePath, std::int32_t baud, std::int32_t stopBitsIndex,
                    std::int16_t parityIndex) override;
    // The system's reason for the last failed open ("No such file or directory"); for
    // InUse, the holding process as "1234 (ztk)" when it can be found.
    const QString &openErrorText() const override { return m_openError; }
    // The line shown under the failure message: the port in use (and by whom), or the
    // device path and the system's reason.
    static QString failureText(OpenResult result, const QString &devicePath, const QString &reason);
    // The processes other than this one that have `devicePath` open, as "1234 (name)".
    static QStringList holdersOf(const QString &devicePath);
    void close() override;
    bool isOpen() const override { return m_fd >= 0; }
    int fd() const override { return m_fd; }
    const QString &path() const { return m_path; }

    // One write(2) of one byte; false when nothing was written (or no port).
    bool sendByte(std::uint8_t byte) override;
    // Empties both queues of the driver.
    void discardAll() override;
    // tcgetattr succeeds: the line counts as present.
    bool lineSettingsReadable() const;
    // Opens the same device again in place of a vanished one, keeping the descriptor number.
    bool reopen();

    bool lineUp() const override { return lineSettingsReadable(); }
    bool reconnect(const std::atomic<bool> &) override { return reopen(); }
    int reconnectPauseMs(int) const override;

private:
    int m_fd = -1;
    QString m_path;
    QString m_openError;
    std::int32_t m_baud = 0;
    std::int32_t m_stopBitsIndex = 0;
};

} // namespace ztk
