// A day at the counter: undo and redo in the main window, its keys, the questions of
// the record commands, the link label after a port that fails, a typed network port
// that is tried before it is listed, the import's message, the selection the
// key-layout windows put back, and what the window remembers between runs.

#include "support/GuiFixture.h"

#include "app/ui/Pd1.h"
#include "common/ui/Fi.h"
#include "common/ui/Vl2.h"
#include "link/ui/Selectp.h"
#include "products/ProductDataset.h"
#include "products/ProductFields.h"
#include "products/ui/Vlprint.h"
#include "shared/Files.h"
#include "sales/ui/Istprod.h"
#include "shared/Messages.h"
#include "transfer/ui/Vljourn.h"
#include "transfer/ui/Vlsost.h"
#include "ui/Help.h"
#include "ui/WidgetPrompter.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QTableView>
#include <QTextBrowser>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace ztk;
using namespace ztk::test;

namespace {

QString t(const char *utf8) { return msg::text(utf8); }
QString u(const char *utf8) { return QString::fromUtf8(utf8); }

// Runs `inside` once the modal `dialog` is up, then closes it if `inside` did not.
bool whileModal(const std::function<QWidget *()> &dialog, const std::function<void(QWidget *)> &inside,
                const std::function<void()> &open)
{
    bool shown = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *d = dialog();
        if (shown || !d || !d->isVisible())
            return;
        shown = true;
        poll.stop();
        inside(d);
        if (d->isVisible())
            d->close();
    });
    poll.start();
    open();
    poll.stop();
    return shown;
}

// A TCP port on this host that takes connections and never answers.
class SilentListener {
public:
    SilentListener()
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof a;
        if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0 || ::listen(m_fd, 4) != 0
            || ::getsockname(m_fd, reinterpret_cast<sockaddr *>(&a), &size) != 0)
            return;
        m_port = ntohs(a.sin_port);
    }
    ~SilentListener()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int port() const { return m_port; }

private:
    int m_fd = -1;
    int m_port = 0;
};

class CounterWindow : public ::testing::Test {
protected:
    void start(std::initializer_list<int> numbers = {1, 2, 3, 4})
    {
        ASSERT_TRUE(f.seedProducts(numberedProducts(numbers))) << f.error().toStdString();
        ASSERT_TRUE(f.writePortConfig(QStringLiteral("ttyZZ9"), 9600));
        ASSERT_TRUE(f.start());
        f.prompter.clear();
    }
    void goTo(qint64 n)
    {
        ProductDataset &ds = *Form1->dataset();
        ds.first();
        while (ds.integer(fld::N) != n && ds.next()) {
        }
        ASSERT_EQ(ds.integer(fld::N), n);
    }
    // Every row of the table, by number: the number, the names and the stamps.
    QStringList table()
    {
        QSqlQuery q(Form1->workspace().store().database());
        EXPECT_TRUE(q.exec(u("select N, Name, Цена, ДатаКоррекции, Дата, Время, rowid from lm_t1 order by N")));
        QStringList rows;
        while (q.next()) {
            QStringList row;
            for (int c = 0; c < 7; ++c)
                row << q.value(c).toString();
            rows << row.join(u'|');
        }
        return rows;
    }

    GuiFixture f;
};

// Stored, inserted, deleted, imported: each undone by Ctrl+Z to the row, the
// restored record shown; Ctrl+Y does it again.
TEST_F(CounterWindow, UndoAndRedoPutBackWhatEachCommandChanged)
{
    start();
    const QString importFile = f.dir() + u("/in.txt");
    {
        QFile file(importFile);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(u("N;Name;Цена\r\n2;Новое имя;3,5\r\n9;Новый товар;1,25\r\n").toUtf8());
    }
    struct Case {
        const char *what;
        std::function<void()> change;
        qint64 shown; // the record current after the undo
    };
    const Case cases[] = {
        {"store", [&] {
             goTo(3);
             retype(Form1->DBEdit1, u("Сыр"));
             Form1->StoreItem->trigger();
         }, 3},
        {"insert", [&] {
             goTo(4);
             Form1->InsertItem->trigger();
         }, -1},
        {"delete", [&] {
             goTo(2);
             f.prompter.answer(Answer::Yes);
             Form1->DeleteItem->trigger();
         }, 2},
        {"import", [&] {
             f.prompter.file(importFile);
             Form1->Import->trigger();
         }, 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QStringList before = table();
        f.clock.advance(120000);
        c.change();
        const QStringList after = table();
        ASSERT_NE(after, before);
        ASSERT_TRUE(Form1->UndoItem->isEnabled());
        Form1->UndoItem->trigger();
        EXPECT_EQ(table(), before);
        if (c.shown > 0) {
            EXPECT_EQ(Form1->dataset()->integer(fld::N), c.shown);
        }
        EXPECT_EQ(Form1->Label9->text(), u("Записей %1").arg(before.size()));
        ASSERT_TRUE(Form1->RedoItem->isEnabled());
        Form1->RedoItem->trigger();
        EXPECT_EQ(table(), after);
        Form1->UndoItem->trigger();
        EXPECT_EQ(table(), before);
    }
    // Typing not yet stored is taken back first, the stored record untouched.
    EXPECT_FALSE(Form1->UndoItem->isEnabled()) << "nothing left to undo";
    goTo(1);
    retype(Form1->DBEdit1, u("Набрано"));
    ASSERT_TRUE(Form1->UndoItem->isEnabled());
    Form1->UndoItem->trigger();
    EXPECT_EQ(Form1->DBEdit1->text(), u("Товар 1"));
    EXPECT_EQ(table().first().section(u'|', 1, 1), u("Товар 1"));
}

TEST_F(CounterWindow, KeysAreShownInTheMenuAndDoWhatTheirItemsDo)
{
    start();
    f.clock.setStepMs(100); // the first link check ends on a port that did not open
    ASSERT_TRUE(f.showMain());
    Form1->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form1));
    // Keys through the window, as the operator presses them.
    QTest::keyClick(Form1->DBGrid1, Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(Form1->RadioButton7->isChecked());
    EXPECT_TRUE(Form1->Edit1->hasFocus());

    Form1->RadioButton1->setChecked(true); // the whole table again
    Form1->DBGrid1->setFocus();
    goTo(4);
    QTest::keyClick(Form1->DBGrid1, Qt::Key_Insert);
    EXPECT_EQ(Form1->dataset()->recordCount(), 5);
    QTest::keyClick(Form1->DBGrid1, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Form1->dataset()->recordCount(), 4);
    QTest::keyClick(Form1->DBGrid1, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Form1->dataset()->recordCount(), 5);

    // Del asks, naming the record under the unchanged question.
    goTo(2);
    f.prompter.clear();
    f.prompter.answer(Answer::No);
    QTest::keyClick(Form1->DBGrid1, Qt::Key_Delete);
    ASSERT_EQ(f.prompter.shown.size(), 1);
    EXPECT_EQ(f.prompter.shown[0].text, t(msg::DeleteOne));
    EXPECT_EQ(f.prompter.shown[0].informative, u("2 Товар 2"));
    EXPECT_EQ(Form1->dataset()->recordCount(), 5);

    QSqlQuery(Form1->workspace().store().database()).exec(u("delete from lm_t1 where N=1"));
    QTest::keyClick(Form1->DBGrid1, Qt::Key_F5);
    EXPECT_EQ(Form1->dataset()->recordCount(), 4);

    bool reported = whileModal([] { return static_cast<QWidget *>(FormPrint); }, [](QWidget *) {},
                               [&] { QTest::keyClick(Form1->DBGrid1, Qt::Key_P, Qt::ControlModifier); });
    EXPECT_TRUE(reported);
}

// The insert over a taken number is answered Cancel by Enter; the real box says so,
// and is wide enough for its caption.
TEST_F(CounterWindow, ReplacingByInsertIsCancelledByEnter)
{
    start({1, 2});
    goTo(1);
    f.prompter.answer(Answer::Cancel);
    Form1->InsertItem->trigger();
    ASSERT_EQ(f.prompter.shown.size(), 1);
    EXPECT_EQ(f.prompter.shown[0].text, t(msg::InsertTaken).arg(2));
    EXPECT_EQ(f.prompter.shown[0].preferred, Answer::Cancel);

    WidgetPrompter real;
    const Question q{t(msg::InsertTaken).arg(2), t(msg::DeleteOneCaption), Buttons::OkCancel, u("2 Товар 2"),
                     Answer::Cancel};
    Answer answered = Answer::Ok;
    const bool shown = whileModal([] { return QApplication::activeModalWidget(); },
                                  [&](QWidget *w) {
                                      auto *box = qobject_cast<QMessageBox *>(w);
                                      ASSERT_NE(box, nullptr);
                                      EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Cancel));
                                      EXPECT_EQ(box->informativeText(), u("2 Товар 2"));
                                      const int title = box->fontMetrics().horizontalAdvance(box->windowTitle());
                                      EXPECT_GT(box->width(), title) << "the caption is not cut";
                                      QTest::keyClick(box, Qt::Key_Return);
                                  },
                                  [&] { answered = real.ask(q); });
    EXPECT_TRUE(shown);
    EXPECT_EQ(answered, Answer::Cancel);
}

// A port that does not open takes the link with it: the label names the port beside
// "НЕТ связи", the link text and the exchange items follow.
TEST_F(CounterWindow, APortThatFailsInTheSettingsIsShownAsNoLink)
{
    ASSERT_TRUE(f.startSimulator());
    ASSERT_TRUE(f.seedProducts(numberedProducts({1})));
    ASSERT_TRUE(f.start());
    ASSERT_TRUE(f.showMain());
    ASSERT_EQ(Form1->Label1->text(), t(msg::LinkUp));
    ASSERT_TRUE(Form1->N5->isEnabled());
    f.prompter.clear();

    const bool shown = whileModal([] { return static_cast<QWidget *>(SelectPort); },
                                  [](QWidget *) {
                                      SelectPort->ComboBox1->setEditText(QStringLiteral("ttyZZ9"));
                                      SelectPort->Button2Click();
                                  },
                                  [] { Form1->N1->trigger(); });
    ASSERT_TRUE(shown);
    EXPECT_EQ(Form1->Label20->text(), t(msg::PortLabelNoLinkOn).arg(u("ttyZZ9")));
    EXPECT_EQ(Form1->Label1->text(), t(msg::LinkDown));
    for (QAction *item : {Form1->N7, Form1->N5, Form1->N10, Form1->N4})
        EXPECT_FALSE(item->isEnabled()) << item->text().toStdString();
    ASSERT_EQ(f.prompter.shown.size(), 1) << "one message";
    EXPECT_TRUE(f.prompter.shown[0].text.startsWith(t(msg::PortOpenFailed) + u("/dev/ttyZZ9: ")))
        << f.prompter.shown[0].text.toStdString();

    // "Проверить связь" tries the port again: still not there, said once more.
    f.prompter.clear();
    Form1->N16->trigger();
    EXPECT_EQ(Form1->Label1->text(), t(msg::LinkDown));
    EXPECT_EQ(f.prompter.shown.size(), 1);
}

// A network port typed in the settings is tried at once; it is listed only when the
// operator says so, and a silent one is not listed by a careless Enter.
TEST_F(CounterWindow, ATypedNetworkPortIsTriedAndListedOnlyWhenConfirmed)
{
    const SilentListener silent;
    ASSERT_GT(silent.port(), 0);
    const QString port = u("tcp:127.0.0.1:%1").arg(silent.port());
    start({1});
    f.clock.setStepMs(100);
    const QString list = f.path("scales.ini");
    for (const Answer answer : {Answer::No, Answer::Yes}) {
        f.prompter.clear();
        f.prompter.answer(answer);
        const bool shown = whileModal([] { return static_cast<QWidget *>(SelectPort); },
                                      [&](QWidget *) {
                                          SelectPort->ComboBox1->setEditText(port);
                                          SelectPort->Button2Click();
                                      },
                                      [] { Form1->N1->trigger(); });
        ASSERT_TRUE(shown);
        const QStringList questions = [&] {
            QStringList out;
            for (const auto &s : f.prompter.shown)
                if (s.question)
                    out << s.text;
            return out;
        }();
        ASSERT_EQ(questions, QStringList{t(msg::ListPortSilent).arg(port)});
        const auto asked = std::find_if(f.prompter.shown.begin(), f.prompter.shown.end(),
                                        [](const auto &s) { return s.question; });
        EXPECT_EQ(asked->preferred, Answer::No);
        EXPECT_EQ(QFile::exists(list), answer == Answer::Yes);
    }
    QFile saved(list);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().contains(port.toUtf8()));
}

TEST_F(CounterWindow, ImportEndsWithWhatWasStored)
{
    start({1});
    const QString file = f.dir() + u("/in.txt");
    {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(u("N;Name;Цена\r\n5;Масло сливочное;120,5\r\n6;Сметана 20%;80\r\n").toUtf8());
    }
    f.prompter.file(file);
    Form1->Import->trigger();
    EXPECT_EQ(f.prompter.texts(), QStringList{t(msg::ImportStored).arg(2)});
}

// The key-layout windows select the weighed or the piece products for their list;
// closed, the main window shows the selection the operator had.
TEST_F(CounterWindow, KeyLayoutWindowsPutTheSelectionBack)
{
    QList<SeedProduct> rows = numberedProducts({1, 2, 3});
    SeedProduct piece;
    piece.n = 4;
    piece.name = u("Товар 4");
    piece.type = u("1");
    rows << piece;
    ASSERT_TRUE(f.seedProducts(rows)) << f.error().toStdString();
    ASSERT_TRUE(f.writePortConfig(QStringLiteral("ttyZZ9"), 9600));
    ASSERT_TRUE(f.start());
    Form1->RadioButton7->setChecked(true);
    retype(Form1->Edit1, u("Товар"));
    goTo(3);
    ASSERT_EQ(Form1->dataset()->recordCount(), 4);
    for (QAction *layout : {Form2->N3, Form2->N4}) {
        SCOPED_TRACE(layout->text().toStdString());
        const bool shown = whileModal([] { return static_cast<QWidget *>(Form6); }, [](QWidget *) {},
                                      [&] { layout->trigger(); });
        EXPECT_TRUE(shown);
        EXPECT_TRUE(Form1->RadioButton7->isChecked());
        EXPECT_EQ(Form1->Edit1->text(), u("Товар"));
        EXPECT_FALSE(Form1->Edit1->isHidden());
        EXPECT_EQ(Form1->dataset()->recordCount(), 4);
        EXPECT_EQ(Form1->dataset()->integer(fld::N), 3);
    }
}

TEST_F(CounterWindow, TheWindowRemembersItsPlaceTheSelectionAndTheList)
{
    f.context.settingsFile = f.dir() + u("/windows.ini");
    start({1, 2, 3, 4, 12});
    Form1->resize(1100, 760);
    Form1->RadioButton10->setChecked(true);
    retype(Form1->Edit4, u("2"));
    retype(Form1->Edit5, u("4"));
    goTo(3);
    Form1->CheckBox2->setChecked(true);
    const QSize size = Form1->size();
    f.stop();

    ASSERT_TRUE(f.start());
    EXPECT_EQ(Form1->size(), size);
    EXPECT_TRUE(Form1->RadioButton10->isChecked());
    EXPECT_EQ(Form1->Edit4->text(), u("2"));
    EXPECT_EQ(Form1->Edit5->text(), u("4"));
    EXPECT_EQ(Form1->dataset()->recordCount(), 3);
    EXPECT_EQ(Form1->dataset()->integer(fld::N), 3);
    EXPECT_TRUE(Form1->CheckBox2->isChecked());
}

// F1 in the windows of several scales opens their own sections of the help.
TEST_F(CounterWindow, TheScalesWindowsOpenTheirSectionsOfTheHelp)
{
    start({1});
    TFormSost standings(Form1->workspace(), Form1);
    TFormJourn journal(Form1->workspace(), Form1);
    TFormIstprod sales(Form1->workspace(), Form1);
    const std::pair<QWidget *, const char *> rows[] = {{&standings, "Sync"}, {&journal, "Journal"}, {&sales, "Sales"}};
    for (const auto &[window, topic] : rows) {
        window->setWindowModality(Qt::NonModal);
        window->show();
        QTest::keyClick(window, Qt::Key_F1);
        ASSERT_NE(helpBrowser(), nullptr) << topic;
        EXPECT_EQ(helpBrowser()->source().fragment(), QLatin1String(topic));
        window->hide();
    }
}

} // namespace

