// Writing products to the simulated scale: the bytes on the wire, what the scale
// keeps, and each time-out with its message.
#include "transfer/ProductRows.h"

#include "link/Commands.h"
#include "link/ScaleLink.h"
#include "shared/Files.h"
#include "shared/Messages.h"
#include "support/SimProcess.h"
#include "transfer/ProductList.h"
#include "support/Exchanges.h"
#include "transfer/ProductWriter.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include <atomic>
#include <thread>

using namespace ztk;
using namespace ztk::test;
using ztk::test::probeLink;

namespace {

QByteArray word(int v) { return QByteArray(1, char(v & 0xFF)) + char((v >> 8) & 0xFF); }

QByteArray slotBytes(const ProductImage &img, int slot)
{
    return QByteArray(reinterpret_cast<const char *>(img.slotData(slot)), ProductRecord::Size);
}

// The stream a write of `img` sends: 0x07, the count, then index and record per slot.
QByteArray expectedStream(const ProductImage &img)
{
    QByteArray out(1, char(cmd::WriteProducts));
    out += word(img.nonEmptyCount());
    for (int i = 0; i < ProductImage::SlotCount; ++i)
        if (!img.slotEmpty(i))
            out += word(i) + slotBytes(img, i);
    return out;
}

// A product store, a simulator and a link to it.
class WriteRig : public ProductRowsFixture {
public:
    explicit WriteRig(Transport transport, const QStringList &simArgs = {})
        : sim(transport)
    {
        started = sim.start(simArgs) && link.openPort(sim.port(), 9600, 0, 0) == 0 && link.startReader();
    }

    QString imagePath() const { return dir.filePath(QString::fromUtf8(files::ProductImage)); }

    // Builds the image of the selection (and list), stores it and sends the file.
    ExchangeResult write(const std::optional<QSet<int>> &list = std::nullopt,
                      const QString &sql = QStringLiteral("select * from lm_t1 order by N"), const Clock *clock = nullptr)
    {
        built = image(list, sql);
        EXPECT_TRUE(built.save(imagePath()));
        ExchangeSession session(link, clock ? *clock : realClock, pump,
                                [this](const ProgressStep &step) { progress.append(step.percent); });
        return writeProductFile(session, imagePath());
    }

    SimProcess sim;
    ScaleLink link;
    SystemClock realClock;
    CountingPump pump;
    ProductImage built;
    QList<int> progress;
    bool started = false;
};

class WriteProductsExchange : public OverTransport {};

TEST_P(WriteProductsExchange, ProductsOneTwoFive)
{
    WriteRig rig(GetParam());
    ASSERT_TRUE(rig.started) << rig.sim.error().toStdString();
    rig.addNumbers({1, 2, 5});
    const ExchangeResult r = rig.write();
    EXPECT_TRUE(r.ok) << r.message.toStdString();
    EXPECT_EQ(r.total, 3);
    EXPECT_EQ(r.done, 3);

    QByteArray expected = QByteArray::fromHex("07" "0300" "0000") + slotBytes(rig.built, 0) + QByteArray::fromHex("0100")
                          + slotBytes(rig.built, 1) + QByteArray::fromHex("0400") + slotBytes(rig.built, 4);
    EXPECT_EQ(rig.sim.waitForLog(expected.size()).toHex(), expected.toHex());
    EXPECT_EQ(rig.progress, (QList<int>{0, 33, 66}));
    EXPECT_FALSE(rig.link.ack.on.load());
}

TEST_P(WriteProductsExchange, IndexOfProduct300AndAnEmptySelection)
{
    {
        WriteRig rig(GetParam());
        ASSERT_TRUE(rig.started);
        rig.addNumbers({300});
        ASSERT_TRUE(rig.write().ok);
        const QByteArray log = rig.sim.waitForLog(1 + 2 + 2 + 256);
        EXPECT_EQ(log.left(5).toHex(), QByteArray("0701002b01"));
    }
    {
        WriteRig rig(GetParam());
        ASSERT_TRUE(rig.started);
        const ExchangeResult r = rig.write();
        EXPECT_TRUE(r.ok);
        EXPECT_EQ(r.done, 0);
        rig.sim.stop();
        EXPECT_EQ(rig.sim.log().toHex(), QByteArray("070000"));
    }
}

TEST_P(WriteProductsExchange, SelectionListAndSkippedRowsAnnounceWhatIsSent)
{
    struct Case {
        const char *what;
        QString sql;
        std::optional<QSet<int>> list;
        int count;
    } cases[] = {
        {"a selection of 10", QStringLiteral("select * from lm_t1 where N > 20 and N <= 30 order by N"), std::nullopt, 10},
        {"a list of 2", QStringLiteral("select * from lm_t1 order by N"), QSet<int>{4, 33}, 2},
        {"a list never formed", QStringLiteral("select * from lm_t1 order by N"), QSet<int>{}, 0},
        // a list number outside the selection is not announced
        {"a list beyond the selection", QStringLiteral("select * from lm_t1 where N < 10 order by N"), QSet<int>{4, 33}, 1},
        // rows out of order are skipped, and the count follows the records sent
        {"rows out of order", QStringLiteral("select * from lm_t1 order by -N"), std::nullopt, 1},
    };
    for (const Case &c : cases) {
        WriteRig rig(GetParam());
        ASSERT_TRUE(rig.started);
        for (int n = 1; n <= 40; ++n)
            rig.addNumbers({n});
        const ExchangeResult r = rig.write(c.list, c.sql);
        EXPECT_TRUE(r.ok) << c.what << ": " << r.message.toStdString();
        EXPECT_EQ(r.total, c.count) << c.what;
        EXPECT_EQ(r.done, c.count) << c.what;
        const QByteArray expected = expectedStream(rig.built);
        EXPECT_EQ(expected.mid(1, 2), word(c.count)) << c.what;
        EXPECT_EQ(rig.sim.waitForLog(expected.size()).toHex(), expected.toHex()) << c.what;
    }
}

TEST_P(WriteProductsExchange, Sk5Of65535IsWritten)
{
    WriteRig rig(GetParam());
    ASSERT_TRUE(rig.started);
    StoredRow p(9, QStringLiteral("Ящик"));
    p.sk5 = 65535;
    rig.add(p);
    const ExchangeResult r = rig.write();
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.done, 1);
    rig.sim.stop();
    EXPECT_EQ(rig.sim.slot(8), slotBytes(rig.built, 8));
    EXPECT_EQ(rig.sim.slot(8).left(4).toHex(), QByteArray("ffff0000"));
}

TEST_P(WriteProductsExchange, TheScaleHoldsTheImageByteForByte)
{
    WriteRig rig(GetParam());
    ASSERT_TRUE(rig.started);
    for (int n : {1, 2, 77, 300, 2048, 4999, 5000}) {
        StoredRow p(n, QStringLiteral("Продукт номер %1 с длинным именем").arg(n));
        p.price = n * 0.01;
        p.bestBefore = QStringLiteral("26.12.31");
        p.stamp = QStringLiteral("2026-12-08 14:05:33");
        p.name3 = QStringLiteral("ъЪьЬ");
        rig.add(p);
    }
    ASSERT_TRUE(rig.write().ok);
    rig.sim.stop();
    const QByteArray held = rig.sim.stateFile(QStringLiteral("products.bin"));
    ASSERT_EQ(held.size(), ProductImage::ImageSize);
    EXPECT_TRUE(held == QByteArray(reinterpret_cast<const char *>(rig.built.data()), ProductImage::ImageSize));
}

TEST_P(WriteProductsExchange, ImageFileMissingOrShortSendsNothing)
{
    WriteRig rig(GetParam());
    ASSERT_TRUE(rig.started);
    ExchangeSession session(rig.link, rig.realClock, rig.pump);
    ExchangeResult r = writeProductFile(session, rig.imagePath());
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, msg::text(msg::CannotOpenForReading));

    ProductImage img;
    ASSERT_TRUE(img.save(rig.imagePath()));
    ASSERT_TRUE(QFile::resize(rig.imagePath(), ProductImage::ImageSize - 256));
    r = writeProductFile(session, rig.imagePath());
    EXPECT_EQ(r.message, msg::text(msg::CannotOpenForReading));
    EXPECT_FALSE(rig.link.ack.on.load());

    // The link is quiet: a probe is the first thing the scale sees.
    SystemClock clock;
    ASSERT_TRUE(probeLink(rig.link, clock, rig.pump));
    EXPECT_EQ(rig.sim.log().toHex(), QByteArray("0d"));
}

TEST_P(WriteProductsExchange, EachTimeOutEndsTheWriteWithItsStage)
{
    struct Case { const char *fault; int stage; } cases[] = {
        {"no-ack=1", 1},
        {"no-ack=2@2", 2}, // the second index goes unanswered: one record was written
        {"no-ack=3", 3},   // the first record goes unanswered
        {"silent", 1},
    };
    for (const Case &c : cases) {
        WriteRig rig(GetParam(), {QStringLiteral("--fault"), QString::fromLatin1(c.fault)});
        ASSERT_TRUE(rig.started);
        rig.addNumbers({3, 4, 6});
        const ScaledClock fast(50); // 15 s pass in 0.3 s
        const ExchangeResult r = rig.write(std::nullopt, QStringLiteral("select * from lm_t1 order by N"), &fast);
        EXPECT_FALSE(r.ok) << c.fault;
        EXPECT_EQ(r.message, msg::noLinkAtStage(c.stage)) << c.fault;
        EXPECT_FALSE(rig.link.ack.on.load()) << c.fault;
        EXPECT_EQ(rig.link.ack.expected.load(), 0) << c.fault;

        // Nothing more was sent after the stage that failed.
        QByteArray expected = QByteArray::fromHex("070300");
        if (c.stage >= 2)
            expected += word(2) + slotBytes(rig.built, 2);
        if (c.stage == 2)
            expected += word(3);
        QThread::msleep(100);
        EXPECT_EQ(rig.sim.log().toHex(), expected.toHex()) << c.fault;

        if (QByteArray(c.fault) == "silent")
            continue;
        // The scale drops the unfinished write after its argument time-out; then the
        // next exchange gets its answer.
        QThread::msleep(2200);
        SystemClock clock;
        EXPECT_TRUE(probeLink(rig.link, clock, rig.pump)) << c.fault;
    }
}

} // namespace

ZTK_OVER_EACH_TRANSPORT(WriteProductsExchange);

// A device server whose far side goes away mid-write: the write ends with the stage it
// was in, the link shows down, and once something listens again the link is back.
TEST(WriteProductsOverTcp, DroppedConnectionEndsTheWriteThenTheLinkComesBack)
{
    WriteRig rig(Transport::Tcp, {QStringLiteral("--baud"), QStringLiteral("19200")});
    ASSERT_TRUE(rig.started) << rig.sim.error().toStdString();
    std::atomic<int> downs{0};
    rig.link.setLinkStateHandler([&downs](bool up) {
        if (!up)
            ++downs;
    });
    for (int n = 1; n <= 20; ++n)
        rig.add(StoredRow(n, QStringLiteral("Товар %1").arg(n)));
    std::thread cut([&rig] {
        rig.sim.waitForLog(1000);
        rig.sim.kill();
    });
    const ScaledClock fast(50);
    const ExchangeResult r = rig.write(std::nullopt, QStringLiteral("select * from lm_t1 order by N"), &fast);
    cut.join();
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message == msg::noLinkAtStage(2) || r.message == msg::noLinkAtStage(3)) << r.message.toStdString();
    EXPECT_GE(downs.load(), 1);

    ASSERT_TRUE(rig.sim.start()) << rig.sim.error().toStdString(); // the same address
    QDeadlineTimer deadline(10000);
    while (!rig.link.lineUp() && !deadline.hasExpired())
        QThread::msleep(20);
    ASSERT_TRUE(rig.link.lineUp());
    EXPECT_TRUE(probeLink(rig.link, rig.realClock, rig.pump));
    const ExchangeResult again = rig.write();
    EXPECT_TRUE(again.ok) << again.message.toStdString();
    EXPECT_EQ(again.done, 20);
}
