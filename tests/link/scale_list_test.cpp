// The scales list: what a hand-edited file says, line by line, and what is written back.

#include "link/NetworkPort.h"
#include "link/ScaleList.h"
#include "shared/Messages.h"

#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>

using namespace ztk;

namespace {

QStringList names(const ScaleList &list)
{
    QStringList out;
    for (const ScaleEntry &s : list.scales())
        out << s.name;
    return out;
}

PortConfig portSettings(const char *name, std::int32_t baud, int lastScale)
{
    PortConfig config;
    config.portName = name;
    config.baudRate = baud;
    config.lastScaleNumber = std::uint8_t(lastScale);
    return config;
}

QString problem(int line, const QString &what)
{
    return msg::text(msg::ScalesLine).arg(line).arg(what);
}

} // namespace

TEST(ScaleList, BadLinesAreNamedAndOnlyTheirScalesLeftOut)
{
    const QByteArray good = "[a]\nport=ttyUSB0\n";
    const struct {
        QByteArray text;
        QStringList scales;
        QString problem;
    } cases[] = {
        {good + "[b]\nport tcp:10.0.0.2:4001\n", {"a"}, problem(4, msg::text(msg::ScalesBadLine))},
        {"port=ttyS0\n" + good, {"a"}, problem(1, msg::text(msg::ScalesBadLine))},
        {good + "[a]\nport=ttyS1\n", {"a"}, problem(3, msg::text(msg::ScalesDuplicate).arg("a"))},
        // A left-out group's name is taken too: the second one is not used in its place.
        {"[b]\nspeed=fast\n[b]\nport=ttyS1\n" + good, {"a"},
         problem(2, msg::text(msg::ScalesBadValue).arg("speed", "fast")) + QLatin1Char('\n')
             + problem(3, msg::text(msg::ScalesDuplicate).arg("b"))},
        {good + "[b]\nport=ttyS1\nsped=9600\n", {"a"}, problem(5, msg::text(msg::ScalesUnknownKey).arg("sped"))},
        {good + "[b]\nport=" + QByteArray(200, 'p') + "\n", {"a"},
         problem(4, msg::text(msg::ScalesBadPort).arg(QString(ScaleList::MaxPortLength, 'p') + QStringLiteral("…"))
                        .arg(ScaleList::MaxPortLength))},
        {good + "[b]\nport=tty S1\n", {"a"}, problem(4, msg::text(msg::ScalesBadPort).arg("tty S1").arg(ScaleList::MaxPortLength))},
        {good + "[b]\nport=ttyS1\nnumber=300\n", {"a"}, problem(5, msg::text(msg::ScalesBadValue).arg("number", "300"))},
        {good + "[b]\nport=ttyS1\nspeed=fast\n", {"a"}, problem(5, msg::text(msg::ScalesBadValue).arg("speed", "fast"))},
        {good + "[b]\nspeed=9600\n", {"a"}, problem(3, msg::text(msg::ScalesNoPort).arg("b"))},
        {good + "[b/c]\nport=ttyS1\n", {"a"}, problem(3, msg::text(msg::ScalesBadName).arg("b/c"))},
        {good + "[all]\nport=ttyS1\n", {"a"}, problem(3, msg::text(msg::ScalesBadName).arg("all"))},
        {"\xEF\xBB\xBF; comment\r\n[весы_1]\r\nport = tcp:[::1]:4001\r\nspeed=115200\r\nnumber=7\r\n", {"весы_1"}, QString()},
    };
    for (const auto &c : cases) {
        const ScaleList list = ScaleList::parse(c.text);
        EXPECT_EQ(names(list), c.scales) << c.text.constData();
        EXPECT_EQ(list.problems().join(QLatin1Char('\n')), c.problem) << c.text.constData();
    }
    const ScaleEntry net = ScaleList::parse(cases[std::size(cases) - 1].text).scales().first();
    EXPECT_EQ(net.port, QStringLiteral("tcp:[::1]:4001"));
    EXPECT_EQ(net.speed, 115200);
    EXPECT_EQ(net.number, 7);
}

TEST(ScaleList, WrittenListReadsBackHereAndInQSettings)
{
    ScaleList list;
    QString error;
    ASSERT_TRUE(list.add({QStringLiteral("kassa1"), QStringLiteral("ttyUSB0"), 9600, 1}, error));
    ASSERT_TRUE(list.add({QStringLiteral("мясо"), QStringLiteral("tcp:192.168.1.40:4001"), 115200, 12}, error));
    EXPECT_FALSE(list.add({QStringLiteral("kassa1"), QStringLiteral("ttyS0"), 9600, 2}, error));
    EXPECT_EQ(error, msg::text(msg::ScalesNameTaken).arg(QStringLiteral("kassa1")));
    EXPECT_FALSE(list.add({QStringLiteral("x"), QString(ScaleList::MaxPortLength + 1, 'p'), 9600, 2}, error));

    QTemporaryDir dir;
    ASSERT_TRUE(list.save(dir.path(), error)) << qPrintable(error);
    const ScaleList read = ScaleList::load(dir.path(), PortConfig());
    EXPECT_TRUE(read.problems().isEmpty());
    EXPECT_EQ(read.toText(), list.toText());

    QSettings settings(dir.filePath(QString::fromLatin1(ScaleList::FileName)), QSettings::IniFormat);
    EXPECT_EQ(settings.childGroups(), (QStringList{QStringLiteral("kassa1"), QStringLiteral("мясо")}));
    EXPECT_EQ(settings.value(QStringLiteral("мясо/port")).toString(), QStringLiteral("tcp:192.168.1.40:4001"));
    EXPECT_EQ(settings.value(QStringLiteral("мясо/number")).toInt(), 12);

    QString why;
    EXPECT_EQ(read.pick(QStringLiteral("all"), why)->size(), 2);
    EXPECT_EQ(read.pick(QStringLiteral("мясо,kassa1,мясо"), why)->first().name, QStringLiteral("мясо"));
    EXPECT_FALSE(read.pick(QStringLiteral("kassa1,kassa9"), why));
    EXPECT_EQ(why, msg::text(msg::ScalesUnknownName).arg(QStringLiteral("kassa9")));
}

TEST(ScaleList, MissingFileIsTheOneScaleOfThePortSettings)
{
    QTemporaryDir dir;
    const PortConfig config = portSettings("pts/3", 19200, 4);
    bool missing = false;
    const ScaleList list = ScaleList::load(dir.path(), config, &missing);
    EXPECT_TRUE(missing);
    ASSERT_EQ(list.scales().size(), 1);
    EXPECT_EQ(list.scales()[0].name, QStringLiteral("pts_3"));
    EXPECT_EQ(list.scales()[0].portConfig(PortConfig()).portName, QByteArray("pts/3"));
    EXPECT_EQ(list.scales()[0].number, 4);
}

TEST(ScaleList, NetworkPortOfThePortSettingsIsKeptInTheList)
{
    QTemporaryDir dir;
    const PortConfig config = portSettings("ttyUSB0", 9600, 2);
    QString error;
    const QString port = QStringLiteral("tcp:192.168.1.40:4001");
    ASSERT_TRUE(ScaleList::keepPort(dir.path(), config, port, error)) << qPrintable(error);
    ASSERT_TRUE(ScaleList::keepPort(dir.path(), config, port, error)); // kept once
    const ScaleList list = ScaleList::load(dir.path(), config);
    EXPECT_EQ(names(list), (QStringList{QStringLiteral("ttyUSB0"), QStringLiteral("tcp-192-168-1-40-4001")}));
    EXPECT_EQ(list.scales()[1].port, port);
    EXPECT_EQ(list.scales()[1].number, 2);
    EXPECT_FALSE(ScaleList::keepPort(dir.path(), config, QStringLiteral("tcp:192.168.1.40"), error));
    EXPECT_EQ(ScaleList::load(dir.path(), config).scales().size(), 2);
}

TEST(NetworkPort, AddressesParsedOrRefused)
{
    const struct {
        const char *name;
        const char *host;
        int port;
    } cases[] = {
        {"tcp:10.0.0.5:4001", "10.0.0.5", 4001},
        {"tcp:scale-3.shop.lan:23", "scale-3.shop.lan", 23},
        {"tcp:[fe80::1]:65535", "fe80::1", 65535},
        {"tcp:10.0.0.5", nullptr, 0},
        {"tcp::4001", nullptr, 0},
        {"tcp:10.0.0.5:0", nullptr, 0},
        {"tcp:10.0.0.5:65536", nullptr, 0},
        {"tcp:10.0.0.5:40x1", nullptr, 0},
        {"ttyUSB0", nullptr, 0},
    };
    for (const auto &c : cases) {
        const std::optional<NetworkAddress> a = NetworkPort::parse(QString::fromLatin1(c.name));
        ASSERT_EQ(a.has_value(), c.host != nullptr) << c.name;
        if (a) {
            EXPECT_EQ(a->host, QString::fromLatin1(c.host));
            EXPECT_EQ(a->port, c.port);
        }
    }
}
