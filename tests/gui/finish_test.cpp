// What an operator meets first: Qt's own buttons in Russian, message boxes marked by
// kind, the keyboard of the main window, F1 and the title bars of every window.

#include "support/GuiFixture.h"

#include "ui/Help.h"
#include "app/ui/Pd1.h"
#include "ui/WidgetPrompter.h"
#include "ui/WindowRules.h"
#include "products/ProductStore.h"
#include "shared/Files.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QSpinBox>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <gtest/gtest.h>

using namespace ztk;
using namespace ztk::test;

namespace {

QString t(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

struct SeenBox {
    QStringList buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Shows what `show` opens through the program's Prompter, reads the box and closes it.
SeenBox seeBox(const std::function<void(Prompter &)> &show)
{
    SeenBox seen;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        for (QAbstractButton *b : box->buttons())
            seen.buttons << b->text().remove(QLatin1Char('&'));
        seen.icon = box->icon();
        box->buttons().last()->click();
    });
    WidgetPrompter prompter;
    show(prompter);
    seen.buttons.sort();
    return seen;
}

QList<SeedProduct> prefixProducts()
{
    return {
        {1, t("Сахар"), 89.5, QStringLiteral("0"), QStringLiteral("2"), 0, {}, {}},
        {2, t("Гречка"), 120, QStringLiteral("0"), QStringLiteral("21"), 0, {}, {}},
        {3, t("Рис"), 99, QStringLiteral("0"), QStringLiteral("21"), 0, {}, {}},
        {4, t("Соль"), 19, QStringLiteral("0"), QStringLiteral("22"), 0, {}, {}},
    };
}

QString storedName(const QString &dbPath, int n)
{
    ProductStore store;
    if (!store.open(dbPath))
        return QStringLiteral("<no store>");
    QSqlQuery q(store.database());
    q.exec(QStringLiteral("select Name from lm_t1 where N = %1").arg(n));
    const QString name = q.next() ? q.value(0).toString() : QStringLiteral("<no row>");
    q.finish();
    return name;
}

} // namespace

// Qt's Russian translation keeps "OK" in Latin letters; the others are its Russian words.
TEST(QtOwnTexts, BoxesSpeakRussianAndShowTheirKind)
{
    guiApplication();
    const struct {
        const char *what;
        std::function<void(Prompter &)> show;
        QStringList buttons;
        QMessageBox::Icon icon;
    } rows[] = {
        {"yes/no question", [](Prompter &p) { p.ask(t("Удалить?"), t("Удаление"), Buttons::YesNo); },
         {t("Да"), t("Нет")}, QMessageBox::Question},
        {"ok/cancel question", [](Prompter &p) { p.ask(t("Вставить?"), t("Вставка"), Buttons::OkCancel); },
         {QStringLiteral("OK"), t("Отмена")}, QMessageBox::Question},
        {"information", [](Prompter &p) { p.message(t("Сделано")); }, {QStringLiteral("OK")}, QMessageBox::Information},
        {"time-out", [](Prompter &p) { p.message(MessageKind::Warning, t("Нет связи")); }, {QStringLiteral("OK")},
         QMessageBox::Warning},
        {"error", [](Prompter &p) { p.message(MessageKind::Error, t("Ошибка")); }, {QStringLiteral("OK")}, QMessageBox::Critical},
    };
    for (const auto &row : rows) {
        const SeenBox seen = seeBox(row.show);
        EXPECT_EQ(seen.buttons, row.buttons) << row.what << ": " << seen.buttons.join(QLatin1Char(',')).toStdString();
        EXPECT_EQ(seen.icon, row.icon) << row.what;
    }
}

class MainWindowKeys : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(f.seedProducts(prefixProducts()));
        ASSERT_TRUE(f.writePortConfig(QStringLiteral("ttyZZ9"), 9600));
        f.clock.setStepMs(100); // the first link check gives up at once
        ASSERT_TRUE(f.start());
        ASSERT_TRUE(f.showMain());
        QApplication::setActiveWindow(Form1);
        ASSERT_TRUE(QTest::qWaitFor([] { return Form1->isActiveWindow(); }));
    }
    GuiFixture f;
};

TEST_F(MainWindowKeys, PrefixOfTwoDigitsIsTypedAndTheArrowsMoveOn)
{
    Form1->RadioButton17->click();
    QSpinBox *spin = Form1->CSpinEdit1;
    spin->setFocus();
    spin->selectAll();
    for (const QChar digit : QStringLiteral("21")) // each key where the operator's would go
        QTest::keyClicks(QApplication::focusWidget(), QString(digit));
    EXPECT_EQ(spin->value(), 21);
    EXPECT_EQ(Form1->Label9->text(), t("Записей 2"));
    EXPECT_EQ(QApplication::focusWidget(), spin);

    QTest::keyClick(spin, Qt::Key_Up);
    EXPECT_EQ(Form1->Label9->text(), t("Записей 1")); // prefix 22
    EXPECT_EQ(QApplication::focusWidget(), Form1->DBGrid1);

    spin->setFocus();
    QTest::keyClick(spin, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), Form1->DBGrid1);
}

TEST_F(MainWindowKeys, TabLeavesTheGridAndWalksThePanelToTheStore)
{
    for (const Qt::KeyboardModifiers mods : {Qt::KeyboardModifiers(Qt::NoModifier), Qt::KeyboardModifiers(Qt::ControlModifier)}) {
        Form1->DBGrid1->setFocus();
        QTest::keyClick(Form1->DBGrid1, Qt::Key_Tab, mods);
        EXPECT_EQ(QApplication::focusWidget(), Form1->DBEdit1) << int(mods);
    }

    const QList<QWidget *> reading = {Form1->DBEdit2, Form1->DBEdit3, Form1->DBEdit4,  Form1->DBEdit5,
                                      Form1->DBEdit8, Form1->DBEdit13, Form1->DBEdit7, Form1->DBEdit10,
                                      Form1->ComboBox1, Form1->BitBtn1};
    Form1->DBEdit1->setFocus();
    for (QWidget *next : reading) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next) << next->objectName().toStdString() << " expected, "
                                                      << QApplication::focusWidget()->objectName().toStdString();
    }

    // Enter in the last box stores what was typed, as "Запись" does.
    Form1->DBEdit1->setFocus();
    retype(Form1->DBEdit1, t("Сахар-песок"));
    Form1->ComboBox1->setFocus();
    QTest::keyClick(Form1->ComboBox1, Qt::Key_Return);
    EXPECT_EQ(storedName(f.path(files::ProductStore), 1), t("Сахар-песок"));
}

TEST_F(MainWindowKeys, F1OpensTheTopicAndMenusAndTitleBarsFollowTheRules)
{
    const struct {
        const char *window;
        const char *topic;
        bool titleButtons;
    } rows[] = {
        {"Form1", "", true},           {"Form2", "Topic50", true},       {"Form4", "Topic170", true},
        {"Form5", "Topic80", false},   {"Form6", "Topic180", false},     {"SelectPort", "Port", false},
        {"Mess1", "Wait", false},      {"FormPrint", "Print", false},    {"FormGodenDo", "GodenDo", false},
    };
    for (const auto &row : rows) {
        QWidget *window = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->objectName() == QLatin1String(row.window))
                window = w;
        }
        ASSERT_NE(window, nullptr) << row.window;
        const Qt::WindowFlags flags = window->windowFlags();
        EXPECT_EQ(bool(flags & Qt::WindowCloseButtonHint) || !(flags & Qt::CustomizeWindowHint), row.titleButtons)
            << row.window;

        // Every menu item has an Alt letter of its own among its neighbours.
        auto checkLetters = [&](const QList<QAction *> &items) {
            QSet<QChar> letters;
            for (const QAction *item : items) {
                if (item->isSeparator())
                    continue;
                const qsizetype amp = item->text().indexOf(QLatin1Char('&'));
                ASSERT_GE(amp, 0) << row.window << " " << item->text().toStdString();
                EXPECT_FALSE(letters.contains(item->text().at(amp + 1).toLower())) << item->text().toStdString();
                letters.insert(item->text().at(amp + 1).toLower());
            }
        };
        for (const QMenuBar *bar : window->findChildren<QMenuBar *>()) {
            checkLetters(bar->actions());
            for (const QAction *item : bar->actions()) {
                if (item->menu())
                    checkLetters(item->menu()->actions());
            }
        }

        QWidget *target = window->focusWidget() ? window->focusWidget() : window;
        QTest::keyClick(target, Qt::Key_F1);
        QTextBrowser *help = helpBrowser();
        ASSERT_NE(help, nullptr) << row.window;
        EXPECT_EQ(help->source().fragment(), QLatin1String(row.topic)) << row.window;
    }

    // Qt appends a display name, once set, to every window's title; the program sets none.
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());

    // Every topic a window opens has its section in the help.
    QFile page(QStringLiteral(":/help/vl.html"));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(page.readAll());
    for (const auto &row : rows) {
        if (*row.topic) {
            EXPECT_TRUE(html.contains(QStringLiteral("name=\"%1\"").arg(QLatin1String(row.topic)))) << row.topic;
        }
    }
}
