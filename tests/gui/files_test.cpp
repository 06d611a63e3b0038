// The main window's "Импорт БД", "Экспорт БД" and "Печать", offscreen, with the
// print window.

#include "support/CliProcess.h"
#include "support/GuiFixture.h"

#include "ui/Mess.h"
#include "app/ui/Pd1.h"
#include "products/ProductDataset.h"
#include "products/ProductReport.h"
#include "products/ProductStore.h"
#include "products/ProductTextFile.h"
#include "products/ui/Vlprint.h"
#include "shared/CodePage.h"
#include "shared/Files.h"
#include "shared/Messages.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QTableView>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace ztk;
using namespace ztk::test;

namespace {

QString u(const char *utf8) { return QString::fromUtf8(utf8); }
std::string s(const QString &text) { return text.toStdString(); }

QList<SeedProduct> products(int count)
{
    QList<SeedProduct> out;
    for (int n = 1; n <= count; ++n) {
        SeedProduct p;
        p.n = n;
        p.name = u("Товар %1").arg(n);
        p.price = n * 1.25;
        p.sk5 = 100 + n;
        p.type = QString::number(n % 2);
        p.bestBefore = u("27.01.15");
        p.corrStamp = u("2026-11-30 10:00:00");
        out << p;
    }
    return out;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

TEST(ImportWindow, StoresTheFileShowsTheWholeBaseAndListsBadLines)
{
    GuiFixture f;
    ASSERT_TRUE(f.seedProducts(products(4))) << f.error().toStdString();
    ASSERT_TRUE(f.start());
    Form1->RadioButton3->click(); // "Штука": every store makes a piece product
    ASSERT_EQ(Form1->dataset()->recordCount(), 2);

    const QString file = f.dir() + u("/in"); // the dialog's default extension
    writeFile(file + u(".txt"),
              codepage::toCp1251(u("N;Name;ТипТ;Цена\r\n2;Новое имя;0;3.5\r\n7;Новый товар;0;1,25\r\n0;Без номера;0;1\r\n")));
    f.prompter.clear();
    f.prompter.file(file);
    Form1->Import->trigger();

    ASSERT_EQ(f.prompter.shown.size(), 1);
    // What was stored, then the lines that were not, as ztk-cli import lists them.
    EXPECT_EQ(f.prompter.shown[0].text, msg::text(msg::ImportStored).arg(2) + u("\nНекорректные записи:0"));
    EXPECT_EQ(f.prompter.shown[0].caption, msg::text(msg::BadLinesCaption));
    EXPECT_TRUE(Form1->RadioButton3->isChecked());
    EXPECT_EQ(Form1->dataset()->recordCount(), 5); // "Вся база"
    EXPECT_EQ(Form1->Label9->text(), u("Записей 5"));
    EXPECT_FALSE(Form1->DBGrid1->isHidden());
    EXPECT_FALSE(Form1->DBEdit1->isHidden());
    EXPECT_FALSE(Mess1->isVisible());
    const ProductDataset &ds = *Form1->dataset();
    EXPECT_EQ(ds.rowValue(1, fld::Name).toString(), u("Новое имя"));
    EXPECT_EQ(ds.rowValue(1, fld::Type).toString(), u("1"));
    EXPECT_EQ(ds.rowValue(4, fld::N).toLongLong(), 7);
    EXPECT_EQ(ds.rowValue(4, fld::Type).toString(), u("1"));

    // A later store still follows the checked "Штука".
    EXPECT_EQ(Form1->dataset()->typeRule(), TypeRule::Piece);

    f.prompter.clear();
    f.prompter.file(f.dir() + u("/missing.txt"));
    Form1->Import->trigger();
    EXPECT_EQ(f.prompter.texts(), QStringList{msg::text(msg::FileDoesNotOpen)});
    EXPECT_EQ(Form1->dataset()->recordCount(), 5);
}

TEST(ImportWindow, ATableThatRefusesWritesIsSaidInsteadOfTheBadLines)
{
    GuiFixture f;
    ASSERT_TRUE(f.seedProducts(products(2))) << f.error().toStdString();
    {
        ProductStore store;
        ASSERT_TRUE(store.open(f.path("LM_T.db")));
        ASSERT_TRUE(QSqlQuery(store.database())
                        .exec(u("create trigger refuse before insert on lm_t1 begin select raise(abort, 'read-only'); end")));
    }
    ASSERT_TRUE(f.start());
    writeFile(f.dir() + u("/in.txt"), codepage::toCp1251(u("N;Name;\r\n7;Новый товар;\r\n8;Другой товар;\r\n")));
    f.prompter.clear();
    f.prompter.file(f.dir() + u("/in.txt"));
    Form1->Import->trigger();
    ASSERT_EQ(f.prompter.shown.size(), 1);
    EXPECT_TRUE(f.prompter.shown[0].text.startsWith(msg::text(msg::TableNotWritable).arg(QString())))
        << s(f.prompter.shown[0].text);
    EXPECT_EQ(Form1->dataset()->recordCount(), 2);
}

TEST(ExportWindow, WritesTheSelectionAsTheCommandLineDoes)
{
    GuiFixture f;
    ASSERT_TRUE(f.seedProducts(products(5))) << f.error().toStdString();
    ASSERT_TRUE(f.start());
    Form1->RadioButton2->click(); // "Вес": 2 and 4
    f.prompter.clear();
    f.prompter.file(f.dir() + u("/win"));
    Form1->Export->trigger();
    EXPECT_TRUE(f.prompter.shown.isEmpty());
    EXPECT_EQ(Form1->dataset()->position(), Form1->dataset()->recordCount()); // left on the last record

    const CliRun r = runCli(f.dir(), {u("--dir"), f.dir(), u("export"), u("cli.txt"), u("--selection"), u("weight")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QByteArray window = fileBytes(f.dir() + u("/win.txt"));
    EXPECT_EQ(window, fileBytes(f.dir() + u("/cli.txt")));
    EXPECT_EQ(window.count("\r\n"), 3);
    EXPECT_TRUE(window.contains(";2,5;"));

    // Onto a folder: the message naming it.
    const QString folder = f.dir() + u("/old.txt");
    ASSERT_TRUE(QDir().mkdir(folder));
    f.prompter.file(folder);
    Form1->Export->trigger();
    ASSERT_EQ(f.prompter.shown.size(), 1);
    EXPECT_TRUE(f.prompter.shown[0].text.contains(folder)) << s(f.prompter.shown[0].text);
}

TEST(PrintWindow, ShowsTheReportAndSavesTheEditedTextAsRtf)
{
    GuiFixture f;
    ASSERT_TRUE(f.seedProducts(products(3))) << f.error().toStdString();
    ASSERT_TRUE(f.start());
    f.prompter.clear();
    QString shown;
    bool wasModal = false;
    QTimer::singleShot(0, FormPrint, [&] {
        wasModal = FormPrint->isVisible() && FormPrint->isModal();
        shown = FormPrint->RichEdit1->toPlainText();
        FormPrint->RichEdit1->append(u("Проверил: Иванов"));
        f.prompter.file(f.dir() + u("/report"));
        FormPrint->Button1->click();
        FormPrint->Button2->click();
    });
    Form1->SpeedButton8->click();
    EXPECT_TRUE(wasModal);
    EXPECT_FALSE(FormPrint->isVisible());
    EXPECT_EQ(s(shown), s(buildReport(selectionRows(*Form1->dataset()), std::nullopt, f.clock.now())));
    EXPECT_EQ(Form1->dataset()->position(), 3);

    const QByteArray rtf = fileBytes(f.dir() + u("/report.txt"));
    EXPECT_TRUE(rtf.startsWith("{\\rtf1"));
    EXPECT_TRUE(rtf.contains("\\'cf\\'f0\\'ee\\'e2\\'e5\\'f0\\'e8\\'eb:")); // the typed "Проверил:"
    EXPECT_TRUE(f.prompter.shown.isEmpty());
}
