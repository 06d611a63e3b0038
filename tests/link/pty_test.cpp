// The link on a real pseudo-terminal served by the simulator: the reader thread,
// the link check, the scale-number query and the link state when the device goes.

#include "link/Commands.h"
#include "link/ScaleLink.h"
#include "support/Exchanges.h"
#include "support/Scripted.h"
#include "support/SimProcess.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

using namespace ztk;
using ztk::test::probeLink;
using ztk::test::queryScaleNumber;
using ztk::test::SimProcess;

namespace {

// Collects the link-state reports of the reader thread.
class StateLog {
public:
    void operator()(bool up)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_states.push_back(up);
        }
        m_changed.notify_all();
    }
    // Waits (at most 10 s) until `n` reports have come; returns what came.
    std::vector<bool> waitFor(std::size_t n)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait_for(lock, std::chrono::seconds(10), [&] { return m_states.size() >= n; });
        return m_states;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<bool> m_states;
};

int openOn(ScaleLink &link, const QString &path)
{
    const int r = link.openPort(path, 9600, 0, 0);
    if (r == SerialPort::Opened)
        link.startReader();
    return r;
}

} // namespace

struct NumberCase {
    int simNumber;
    int expected;
    friend void PrintTo(const NumberCase &c, std::ostream *os) { *os << c.simNumber << " -> " << c.expected; }
};

class LinkPtyNumber : public ::testing::TestWithParam<NumberCase> {};

TEST_P(LinkPtyNumber, ReplyReadsAsSignedByte)
{
    SimProcess sim;
    ASSERT_TRUE(sim.start({QStringLiteral("--number"), QString::number(GetParam().simNumber)})) << qPrintable(sim.error());
    ScaleLink link;
    ASSERT_EQ(openOn(link, sim.port()), 0);
    NullEventPump pump;
    const std::optional<std::int8_t> n = queryScaleNumber(link, SystemClock(), pump);
    ASSERT_TRUE(n.has_value());
    EXPECT_EQ(int(*n), GetParam().expected);
    EXPECT_EQ(sim.waitForLog(1), QByteArray("\x13"));
}

INSTANTIATE_TEST_SUITE_P(Numbers, LinkPtyNumber,
                         ::testing::Values(NumberCase{255, -1}, NumberCase{128, -128}, NumberCase{7, 7}),
                         [](const auto &info) { return "Reply" + std::to_string(info.param.simNumber); });

TEST(LinkPty, ProbeAnsweredAndSilent)
{
    NullEventPump pump;
    {
        SimProcess sim;
        ASSERT_TRUE(sim.start()) << qPrintable(sim.error());
        ScaleLink link;
        ASSERT_EQ(openOn(link, sim.port()), 0);
        EXPECT_TRUE(probeLink(link, SystemClock(), pump));
        EXPECT_EQ(sim.waitForLog(1), QByteArray("\x0D"));
    }
    {
        SimProcess sim;
        ASSERT_TRUE(sim.start({QStringLiteral("--fault"), QStringLiteral("silent")})) << qPrintable(sim.error());
        ScaleLink link;
        ASSERT_EQ(openOn(link, sim.port()), 0);
        ScaledClock fast(30);
        EXPECT_FALSE(probeLink(link, fast, pump));
        EXPECT_FALSE(link.linkProbe.on.load()) << "a timed-out probe switches its mode off";
        EXPECT_EQ(sim.waitForLog(1), QByteArray("\x0D"));
    }
}

TEST(LinkPty, OpenResults)
{
    ScaleLink link;
    EXPECT_EQ(link.openPort(QStringLiteral("/nonexistent/ttyZZ"), 9600, 0, 0), SerialPort::CannotOpen);
    EXPECT_FALSE(link.portOpen());

    // A file that is no terminal cannot be prepared.
    QFile plain(QDir::temp().filePath(QStringLiteral("ztk-link-not-a-tty")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    EXPECT_EQ(link.openPort(plain.fileName(), 9600, 0, 0), SerialPort::CannotOpen);
    plain.remove();

    SimProcess sim;
    ASSERT_TRUE(sim.start()) << qPrintable(sim.error());
    for (std::int32_t refused : {0, 12345, -9600})
        EXPECT_EQ(link.openPort(sim.port(), refused, 0, 0), SerialPort::SettingsRefused) << refused;
    EXPECT_EQ(link.openPort(sim.port(), 9600, 5, 0), SerialPort::SettingsRefused);
    EXPECT_FALSE(link.portOpen());
    for (std::int32_t stop : {0, 1, 2}) {
        EXPECT_EQ(link.openPort(sim.port(), 115200, stop, 2), SerialPort::Opened) << stop;
        link.closePort();
    }
    // Closing gives the device up: it opens again at once.
    EXPECT_EQ(link.openPort(sim.port(), 9600, 0, 0), SerialPort::Opened);
}

TEST(LinkPty, DevicePaths)
{
    EXPECT_EQ(SerialPort::devicePath(QStringLiteral("COM1")), QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(SerialPort::devicePath(QStringLiteral("COM10")), QStringLiteral("/dev/ttyS9"));
    EXPECT_EQ(SerialPort::devicePath(QStringLiteral("ttyUSB0")), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(SerialPort::devicePath(QStringLiteral("pts/3")), QStringLiteral("/dev/pts/3"));
    EXPECT_EQ(SerialPort::devicePath(QStringLiteral("/tmp/port")), QStringLiteral("/tmp/port"));
    EXPECT_EQ(SerialPort::devicePath(QStringLiteral("COM0")), QStringLiteral("/dev/COM0"));
}

TEST(LinkPty, FailureTexts)
{
    const QString dev = QStringLiteral("/dev/ttyUSB0");
    const auto reason = [](int e) { return QString::fromLocal8Bit(std::strerror(e)); };
    // A port the user may not open says how to get the right to it; other reasons stay as they are.
    const QString denied = SerialPort::failureText(SerialPort::CannotOpen, dev, reason(EACCES));
    EXPECT_TRUE(denied.startsWith(dev + QStringLiteral(": ") + reason(EACCES))) << qPrintable(denied);
    EXPECT_TRUE(denied.contains(QStringLiteral("dialout"))) << qPrintable(denied);
    EXPECT_EQ(SerialPort::failureText(SerialPort::CannotOpen, dev, reason(ENOENT)), dev + QStringLiteral(": ") + reason(ENOENT));
    EXPECT_FALSE(SerialPort::failureText(SerialPort::InUse, dev, reason(EACCES)).contains(QStringLiteral("dialout")));
}

TEST(LinkPty, LinkStateFollowsTheDevice)
{
    // The link opens a symbolic link, so a second simulator can stand in for the
    // device that went away under the same name.
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("port"));
    auto pointTo = [&](const QString &target) {
        QFile::remove(name);
        return QFile::link(target, name);
    };

    auto first = std::make_unique<SimProcess>();
    ASSERT_TRUE(first->start()) << qPrintable(first->error());
    ASSERT_TRUE(pointTo(first->port()));

    StateLog states;
    ScaleLink link;
    link.setLinkStateHandler(std::ref(states));
    ASSERT_EQ(openOn(link, name), 0);
    EXPECT_EQ(states.waitFor(1), std::vector<bool>({true}));

    first->kill();
    EXPECT_EQ(states.waitFor(2), std::vector<bool>({true, false}));
    EXPECT_TRUE(link.readerRunning());

    SimProcess second;
    ASSERT_TRUE(second.start()) << qPrintable(second.error());
    ASSERT_TRUE(pointTo(second.port()));
    EXPECT_EQ(states.waitFor(3), std::vector<bool>({true, false, true}));

    // The descriptor found again is the one sends go to.
    NullEventPump pump;
    EXPECT_TRUE(probeLink(link, SystemClock(), pump));
    EXPECT_EQ(second.waitForLog(1), QByteArray("\x0D"));

    link.stopReader();
    EXPECT_FALSE(link.readerRunning());
    EXPECT_EQ(states.waitFor(0).size(), 3u);
}

TEST(LinkPty, ReaderWithoutPortReportsNothing)
{
    StateLog states;
    ScaleLink link;
    link.setLinkStateHandler(std::ref(states));
    ASSERT_TRUE(link.startReader());
    EXPECT_TRUE(link.readerRunning());
    NullEventPump pump;
    ScaledClock fast(30);
    EXPECT_FALSE(probeLink(link, fast, pump)); // sends go nowhere, the wait times out
    link.stopReader();
    EXPECT_TRUE(states.waitFor(0).empty());
}
