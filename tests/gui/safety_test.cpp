// The windows' side of what must never happen: two exchanges on the one line at once,
// a read-back save that changes the products' type, totals cleared that were not kept.

#include "support/GuiFixture.h"
#include "support/SimProcess.h"

#include "ui/Mess.h"
#include "app/ui/Pd1.h"
#include "common/ui/Vl2.h"
#include "products/ProductDataset.h"
#include "products/ProductStore.h"
#include "shared/Files.h"
#include "shared/Messages.h"
#include "totals/ui/Pdsd.h"
#include "transfer/ui/NumberSpinEdit.h"
#include "transfer/ui/Vlreadbd.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTimer>
#include <gtest/gtest.h>

using namespace ztk;
using namespace ztk::test;

namespace {

QList<SeedProduct> weighed(const QList<int> &numbers)
{
    QList<SeedProduct> out;
    for (int n : numbers) {
        SeedProduct p;
        p.n = n;
        p.name = QStringLiteral("Товар %1").arg(n);
        p.price = n + 0.5;
        p.type = QStringLiteral("0");
        p.corrStamp = QStringLiteral("2026-11-30 10:20:30"); // a slot without one is passed by at the save
        out.append(p);
    }
    return out;
}

QStringList storedTypes(const GuiFixture &f)
{
    ProductStore store;
    EXPECT_TRUE(store.open(f.path(files::ProductStore)));
    QSqlQuery q(store.database());
    EXPECT_TRUE(q.exec(QStringLiteral("select ТипТ from lm_t1 order by N")));
    QStringList types;
    while (q.next())
        types << q.value(0).toString();
    return types;
}

} // namespace

TEST(SafetyWindows, NoSecondExchangeWhileOneRuns)
{
    GuiFixture f;
    ASSERT_TRUE(f.seedProducts(weighed({1, 2, 3, 4, 5, 6, 7, 8}))) << f.error().toStdString();
    // A slow line: the write takes long enough to be looked at while it runs.
    ASSERT_TRUE(f.startSimulator({QStringLiteral("--baud"), QStringLiteral("9600")})) << f.error().toStdString();
    ASSERT_TRUE(f.start());
    ASSERT_TRUE(f.showMain());
    QList<QAction *> items{Form1->N1, Form1->N4, Form1->N5, Form1->N7, Form1->N10, Form8->N4, Form8->N5, Form5->N1,
                           Form5->N2, Form2->N2, Form2->COM2, Form2->UstOfDateTime};
    for (QAction *item : items)
        ASSERT_TRUE(item->isEnabled()) << qPrintable(item->text());

    QList<bool> duringWrite;
    bool tried = false;
    QTimer probe;
    probe.setInterval(20);
    QObject::connect(&probe, &QTimer::timeout, Form1, [&] {
        if (!Mess1->isVisible() || tried)
            return;
        tried = true;
        for (QAction *item : items)
            duringWrite << item->isEnabled();
        duringWrite << Form2->Button1->isEnabled();
        // Straight to the handlers, as a click that slipped through would go: nothing starts.
        Form8->N4Click();
        Form2->UstOfDateTimeClick();
        Form1->Button1Click();
    });
    const int before = f.simulator()->log().size();
    probe.start();
    Form1->N5Click();
    probe.stop();
    ASSERT_TRUE(tried);
    EXPECT_EQ(duringWrite, QList<bool>(items.size() + 1, false));
    EXPECT_TRUE(f.prompter.texts().isEmpty()) << f.prompter.texts().join('|').toStdString();
    const QByteArray sent = f.simulator()->log().mid(before);
    EXPECT_EQ(sent.at(0), '\x07');
    EXPECT_EQ(sent.size(), 1 + 2 + 8 * (2 + 256)); // the write and nothing else
    for (QAction *item : items)
        EXPECT_TRUE(item->isEnabled()) << qPrintable(item->text());
}

TEST(SafetyWindows, ReadBackSaveKeepsTheTypeReadWhateverTheSelection)
{
    GuiFixture f;
    ASSERT_TRUE(f.seedProducts(weighed({1, 2, 3}))) << f.error().toStdString();
    ASSERT_TRUE(f.startSimulator()) << f.error().toStdString();
    ASSERT_TRUE(f.start());
    ASSERT_TRUE(f.showMain());
    Form1->N5Click(); // the scale holds the three weighed products
    ASSERT_TRUE(f.prompter.texts().isEmpty()) << f.prompter.texts().join('|').toStdString();
    Form1->RadioButton3->setChecked(true); // "Штука"
    QTimer::singleShot(0, Form8, [] {
        Form8->CSpinEdit1->setNumber(1);
        Form8->CSpinEdit2->setNumber(3);
        Form8->N4Click();
        Form8->N1Click();
        Form8->N3Click();
    });
    Form1->N10->trigger();
    EXPECT_EQ(storedTypes(f), (QStringList{"0", "0", "0"}));
}

TEST(SafetyWindows, TotalsNotKeptAreNotCleared)
{
    GuiFixture f;
    ASSERT_TRUE(f.seedProducts(weighed({260}))) << f.error().toStdString();
    ASSERT_TRUE(f.startSimulator({QStringLiteral("--sale"), QStringLiteral("260:1500:4530:3")})) << f.error().toStdString();
    // A file where the folder of kept receptions would go: nothing can be kept.
    QFile blocker(QDir(f.dir()).filePath(QStringLiteral("totals")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ASSERT_TRUE(f.start());
    ASSERT_TRUE(f.showMain());
    f.prompter.clear();
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, Form5, [&] {
        if (!Form5->isVisible())
            return;
        poll.stop();
        Form5->N1Click();
        Form5->StringGrid1->setCurrentCell(0, 1);
        Form5->N2Click();
        Form5->N3Click();
    });
    const int before = f.simulator()->log().size();
    poll.start();
    Form1->N4Click();
    const QString notKept = msg::text(msg::TotalsNotKept).arg(QDir(f.dir()).filePath(QStringLiteral("totals")));
    ASSERT_GE(f.prompter.texts().size(), 3) << f.prompter.texts().join('|').toStdString();
    for (const QString &text : f.prompter.texts())
        EXPECT_TRUE(text.startsWith(notKept)) << text.toStdString();
    EXPECT_EQ(f.simulator()->log().mid(before).toHex(), QByteArray("09")); // no 0x0B
}
