// The settings file "VL<n>.cfg" and the common-data window's state rules: window
// creation from the start-up argument and LastScaleNumber, the scale number change,
// "Сохранить", the block of "Запись ОД" and "Внести данные".

#include "common/CommonDataForm.h"
#include "shared/Messages.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <functional>

using namespace ztk;
using namespace ztk::common;

namespace {

const QDate Today(2026, 12, 8);

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

CommonDataSettings sampleSettings()
{
    CommonDataSettings s;
    s.setCompanyText(QStringLiteral("Лавка"));
    s.nameTailByte = 28;
    for (int k = 0; k < KeyCount; ++k) {
        s.weightKeys[std::size_t(k)] = 1000 + k;
        s.pieceKeys[std::size_t(k)] = -7 * k;
    }
    s.keptByte1 = 0xA1;
    s.keptByte2 = 0xB2;
    s.labelNumber = -56;
    s.reportLabelNumber = 12;
    s.scaleNumber = 7;
    s.readBackWord = 0xBEEF;
    s.readBackLong = 0xDEADBEEF;
    s.readBackFlag = 1;
    return s;
}

struct Dir {
    QTemporaryDir tmp;
    QString path(const QString &name) const { return QDir(tmp.path()).filePath(name); }
    bool put(int scale, const CommonDataSettings &s) const { return s.save(path(CommonDataSettings::fileName(scale))); }
};

} // namespace

// --- the file

TEST(CommonDataSettingsFile, LayoutByteForByte)
{
    const QByteArray b = sampleSettings().toBytes();
    ASSERT_EQ(b.size(), 294);
    EXPECT_EQ(b.left(29).toHex(), (QByteArray::fromHex("8ba0a2aaa0") + QByteArray(23, '\0') + '\x1c').toHex());
    EXPECT_EQ(b.mid(29, 4).toHex(), QByteArray("e8030000"));
    EXPECT_EQ(b.mid(141 + 4, 4).toHex(), QByteArray("f9ffffff"));
    EXPECT_EQ(b.mid(253).toHex(), (QByteArray::fromHex("a1b2") + QByteArray(29, '\0') +
                                   QByteArray::fromHex("c80c07efbeefbeadde01")).toHex());
}

TEST(CommonDataSettingsFile, SaveLoadRoundTripByteForByte)
{
    Dir d;
    const QString path = d.path(QStringLiteral("VL7.cfg"));
    const CommonDataSettings s = sampleSettings();
    ASSERT_TRUE(s.save(path));
    const QByteArray first = readAll(path);
    ASSERT_EQ(first.size(), 294);
    CommonDataSettings back;
    EXPECT_EQ(back.load(path), 294);
    EXPECT_EQ(back.toBytes(), first);
    EXPECT_EQ(back.companyText(), QStringLiteral("Лавка"));
}

// A file of any length loads what it holds whole; the rest keeps its values.
class CommonDataSettingsLength : public ::testing::TestWithParam<int> {};

TEST_P(CommonDataSettingsLength, ShortOrLongFileLoadsWhatItHolds)
{
    Dir d;
    const QString path = d.path(QStringLiteral("VL1.cfg"));
    const QByteArray full = sampleSettings().toBytes() + QByteArray(706, '\x55');
    const int n = GetParam();
    ASSERT_TRUE(writeAll(path, full.left(n)));

    CommonDataSettings s;
    s.weightKeys.fill(-3);
    s.readBackFlag = 9;
    EXPECT_EQ(s.load(path), std::min(n, 294));
    const int wholeKeys = std::clamp((n - 29) / 4, 0, KeyCount);
    for (int k = 0; k < KeyCount; ++k)
        EXPECT_EQ(s.weightKeys[std::size_t(k)], k < wholeKeys ? 1000 + k : -3) << k;
    EXPECT_EQ(s.readBackFlag, n >= 294 ? 1 : 9);
    EXPECT_EQ(s.companyText(), n >= 28 ? QStringLiteral("Лавка") : QString());
}

INSTANTIATE_TEST_SUITE_P(Lengths, CommonDataSettingsLength, ::testing::Values(0, 1, 27, 28, 100, 293, 294, 1000));

TEST(CommonDataSettingsFile, SavingKeepsTheTailOfALongerFile)
{
    Dir d;
    const QString path = d.path(QStringLiteral("VL2.cfg"));
    ASSERT_TRUE(writeAll(path, QByteArray(400, 'x')));
    ASSERT_TRUE(sampleSettings().save(path));
    const QByteArray after = readAll(path);
    EXPECT_EQ(after.left(294), sampleSettings().toBytes());
    EXPECT_EQ(after.mid(294), QByteArray(106, 'x'));
}

// --- window creation

struct StartCase {
    const char *argument;
    int lastScale;
    int spin;            // CSpinEdit2 afterwards
    const char *file;    // SettingsFileName afterwards
    bool error;          // the conversion error is reported
};

class CommonDataFormStart : public ::testing::TestWithParam<StartCase> {};

TEST_P(CommonDataFormStart, ArgumentAndLastScaleNumber)
{
    const StartCase &c = GetParam();
    Dir d;
    for (int scale : {1, 4, 7}) {
        CommonDataSettings s = sampleSettings();
        s.setCompanyText(QStringLiteral("Весы %1").arg(scale));
        s.scaleNumber = std::int8_t(scale);
        ASSERT_TRUE(d.put(scale, s));
    }
    std::uint8_t last = std::uint8_t(c.lastScale);
    QString error;
    CommonDataForm form(d.tmp.path(), Today, QString::fromUtf8(c.argument), last, &error);
    EXPECT_EQ(form.controls.scaleNumber, c.spin);
    EXPECT_EQ(form.settingsFileName(), QString::fromUtf8(c.file));
    EXPECT_EQ(error.isEmpty(), !c.error) << error.toStdString();
    if (c.error) {
        EXPECT_EQ(error, msg::text(msg::NotAnInteger).arg(QString::fromUtf8(c.argument)));
    }
    if (c.spin <= 99) {
        EXPECT_EQ(form.controls.companyText, QStringLiteral("Весы %1").arg(c.spin));
        EXPECT_EQ(int(last), c.spin); // the loaded file's ScaleNumber
    }
    EXPECT_EQ(form.controls.dateText, QStringLiteral("08.12.26"));
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, CommonDataFormStart,
    ::testing::Values(StartCase{"7", 4, 7, "VL7.cfg", false}, StartCase{"150", 4, 1, "VL1.cfg", false},
                      StartCase{"0", 4, 1, "VL1.cfg", false}, StartCase{"257", 4, 1, "VL1.cfg", false},
                      StartCase{"-3", 4, 1, "VL1.cfg", false}, StartCase{"", 4, 4, "VL4.cfg", false},
                      StartCase{"abc", 4, 4, "VL4.cfg", true}, StartCase{"999999999999", 7, 7, "VL7.cfg", true},
                      StartCase{"", 0, 1, "VL1.cfg", false}));

TEST(CommonDataForm, InitialValuesWithoutAnyFile)
{
    Dir d;
    std::uint8_t last = 3;
    CommonDataForm form(d.tmp.path(), Today, QString(), last);
    EXPECT_EQ(form.controls.companyText, QStringLiteral("1234567890123456789012345678"));
    EXPECT_EQ(form.controls.weightCells.first(), QStringLiteral("1"));
    EXPECT_EQ(form.controls.pieceCells.last(), QStringLiteral("28"));
    EXPECT_EQ(form.controls.scaleNumber, 3);
    EXPECT_EQ(form.controls.labelNumber, 0);
    EXPECT_EQ(form.controls.reportLabelNumber, 1);
    EXPECT_EQ(form.fields.nameTailByte, 28);
    EXPECT_EQ(form.fields.readBackFlag, 0);
    EXPECT_EQ(int(last), 3);
}

TEST(CommonDataForm, ScaleAbove99LoadsNothingAndKeepsLastScaleNumber)
{
    Dir d;
    ASSERT_TRUE(d.put(2, sampleSettings()));
    std::uint8_t last = 2;
    CommonDataForm form(d.tmp.path(), Today, QString(), last);
    last = 2;
    const QString shown = form.controls.companyText;
    ASSERT_TRUE(form.setScaleSpin(120));
    EXPECT_EQ(form.controls.scaleNumber, 120);
    EXPECT_EQ(form.settingsFileName(), QStringLiteral("VL2.cfg"));
    EXPECT_EQ(form.controls.companyText, shown);
    EXPECT_EQ(int(last), 2);
    EXPECT_TRUE(form.setScaleSpin(500)); // the spin clamps to 127
    EXPECT_EQ(form.controls.scaleNumber, 127);
    EXPECT_FALSE(form.setScaleSpin(127));
}

// --- "Сохранить" and the block

TEST(CommonDataForm, SaveWritesTheControlsAndLoadingShowsThemAgain)
{
    Dir d;
    std::uint8_t last = 1;
    CommonDataForm form(d.tmp.path(), Today, QString(), last);
    form.controls.companyText = QStringLiteral("ООО \"Весы и Ко\" магазин номер 12"); // 33 characters
    form.setLabelSpin(300);
    form.setReportSpin(5);
    form.setScaleSpin(9);
    form.controls.weightCells[0] = QStringLiteral(" 42 ");
    form.controls.pieceCells[27] = QStringLiteral("-5");
    const QString path = d.path(QStringLiteral("VL9.cfg"));
    ASSERT_FALSE(form.save(path).has_value());
    EXPECT_EQ(int(last), 9);

    const QByteArray file = readAll(path);
    ASSERT_EQ(file.size(), 294);
    EXPECT_EQ(file[284], char(44)); // 300's low 8 bits
    EXPECT_EQ(file[285], char(5));
    EXPECT_EQ(file[286], char(9));

    std::uint8_t last2 = 9;
    CommonDataForm again(d.tmp.path(), Today, QString(), last2);
    EXPECT_EQ(again.controls.companyText, QStringLiteral("ООО \"Весы и Ко\" магазин номе"));
    EXPECT_EQ(again.controls.labelNumber, 44);
    EXPECT_EQ(again.controls.reportLabelNumber, 5);
    EXPECT_EQ(again.controls.weightCells[0], QStringLiteral("42"));
    EXPECT_EQ(again.controls.pieceCells[27], QStringLiteral("-5"));
}

// Its file may be any VL<n>.cfg; the table and the other settings of the folder never.
TEST(CommonDataForm, SaveNeverWritesOverTheTableOrAnotherSettingsFile)
{
    Dir d;
    std::uint8_t last = 1;
    CommonDataForm form(d.tmp.path(), Today, QString(), last);
    ASSERT_TRUE(writeAll(d.path(QStringLiteral("LM_T.db")), QByteArray("the table")));
    ASSERT_TRUE(QFile::link(d.path(QStringLiteral("LM_T.db")), d.path(QStringLiteral("VL5.cfg"))));
    for (const char *name : {"LM_T.db", "fbdves.cfg", "scales.ini", "VL5.cfg"}) {
        const QString path = d.path(QString::fromLatin1(name));
        EXPECT_EQ(form.save(path), msg::text(msg::ProtectedFile).arg(path)) << name;
    }
    EXPECT_EQ(readAll(d.path(QStringLiteral("LM_T.db"))), QByteArray("the table"));
    EXPECT_FALSE(form.save(d.path(QStringLiteral("VL7.cfg"))).has_value());
}

class CommonDataFormBadCell : public ::testing::TestWithParam<const char *> {};

TEST_P(CommonDataFormBadCell, SaveAndBuildStopWithTheConversionError)
{
    Dir d;
    std::uint8_t last = 1;
    CommonDataForm form(d.tmp.path(), Today, QString(), last);
    const QString path = d.path(QStringLiteral("VL1.cfg"));
    ASSERT_TRUE(writeAll(path, QByteArray("old")));
    const QString bad = QString::fromUtf8(GetParam());
    form.controls.pieceCells[3] = bad;
    const std::optional<QString> error = form.save(path);
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(*error, msg::text(msg::NotAnInteger).arg(bad));
    EXPECT_EQ(readAll(path), QByteArray("old"));
    EXPECT_EQ(form.buildBlock(QDateTime(Today, QTime(10, 0))).error, *error);
}

INSTANTIATE_TEST_SUITE_P(Cells, CommonDataFormBadCell, ::testing::Values("12a", "", "1.5", "99999999999"));

TEST(CommonDataForm, BlockOfTheWindowState)
{
    Dir d;
    std::uint8_t last = 3;
    CommonDataForm form(d.tmp.path(), Today, QString(), last);
    form.setLabelSpin(300);
    form.controls.autoLabel = true;
    const CommonDataForm::Built built = form.buildBlock(QDateTime(QDate(2027, 3, 1), QTime(9, 5, 7)));
    ASSERT_TRUE(built.error.isEmpty());
    const QByteArray b(reinterpret_cast<const char *>(built.block.data()), BlockSize);
    // The report-label byte is the settings' ReportLabelNumber: 0 until its spin changes.
    EXPECT_EQ(b.mid(60, 4).toHex(), QByteArray("2c000000"));
    EXPECT_EQ(b.mid(64, 8).toHex(), QByteArray("070509ff010327ff"));
    EXPECT_EQ(b.mid(112, 4).toHex(), QByteArray("57280003"));
    EXPECT_EQ(b.mid(256, 28), QByteArray("1234567890123456789012345678"));
    EXPECT_EQ(b[432], char(1));
    EXPECT_EQ(form.controls.dateText, QStringLiteral("01.03.27"));
    EXPECT_EQ(form.fields.scaleNumber, 3);
}

// --- "Внести данные"

TEST(CommonDataForm, CarryOverInItsOrder)
{
    Dir d;
    CommonDataSettings five = sampleSettings();
    five.readBackWord = 0x1111;
    ASSERT_TRUE(d.put(5, five));
    std::uint8_t last = 1;
    CommonDataForm form(d.tmp.path(), Today, QString(), last);
    form.fields.readBackWord = 0x2222; // as a reading has just set it

    ViewerTexts v;
    v.scaleNumber = QStringLiteral("5");
    v.companyName = QStringLiteral("Из весов");
    v.labelVariant = QStringLiteral("-56");
    v.reportLabelVariant = QStringLiteral("300");
    v.autoLabel = true;
    v.weightKeys = QStringLiteral("10  20  30  ");
    v.pieceKeys = QStringLiteral("10 20 30");
    ASSERT_FALSE(form.carryOver(v).has_value());
    EXPECT_EQ(form.controls.scaleNumber, 5);
    EXPECT_EQ(form.fields.readBackWord, 0x1111); // the file's, loaded by the change
    EXPECT_EQ(form.controls.companyText, QStringLiteral("Из весов"));
    EXPECT_EQ(form.controls.labelNumber, -56);
    EXPECT_EQ(form.controls.reportLabelNumber, 99);
    EXPECT_TRUE(form.controls.autoLabel);
    EXPECT_EQ(form.controls.weightCells.mid(0, 4),
              (QStringList{QStringLiteral("10"), QStringLiteral("20"), QStringLiteral("30"), QStringLiteral("1003")}));
    EXPECT_EQ(form.controls.pieceCells.mid(0, 4),
              (QStringList{QStringLiteral("10"), QStringLiteral("20"), QStringLiteral("30"), QStringLiteral("-21")}));
}

TEST(CommonDataForm, CarryOverStopsAtANumberThatIsNot)
{
    Dir d;
    std::uint8_t last = 1;
    CommonDataForm form(d.tmp.path(), Today, QString(), last);
    ViewerTexts v;
    v.scaleNumber = QStringLiteral("4");
    v.companyName = QStringLiteral("Новое");
    v.labelVariant = QStringLiteral("12a");
    v.reportLabelVariant = QStringLiteral("3");
    const std::optional<QString> error = form.carryOver(v);
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(*error, msg::text(msg::NotAnInteger).arg(QStringLiteral("12a")));
    EXPECT_EQ(form.controls.scaleNumber, 4);                   // before the bad field: taken
    EXPECT_EQ(form.controls.companyText, QStringLiteral("Новое"));
    EXPECT_EQ(form.controls.reportLabelNumber, 1);             // after it: not
}

TEST(CommonDataForm, ScaleNumberCheckOfTheWrite)
{
    EXPECT_FALSE(scaleNumberMatches(QStringLiteral("0"), 1));
    EXPECT_TRUE(scaleNumberMatches(QStringLiteral("3"), 3));
    EXPECT_FALSE(scaleNumberMatches(QStringLiteral("-1"), 127));
}

// What counts as unsaved: every control but the date, against what was last saved or
// loaded with a scale's settings.
TEST(CommonDataForm, UnsavedSinceTheLastSaveOrLoad)
{
    Dir d;
    ASSERT_TRUE(d.put(4, sampleSettings()));
    std::uint8_t last = 1;
    CommonDataForm form(d.tmp.path(), Today, QString(), last);
    EXPECT_FALSE(form.unsaved());

    const std::function<void(CommonDataForm &)> changes[] = {
        [](CommonDataForm &f) { f.controls.companyText += QLatin1Char('!'); },
        [](CommonDataForm &f) { f.setLabelSpin(f.controls.labelNumber + 1); },
        [](CommonDataForm &f) { f.setReportSpin(f.controls.reportLabelNumber + 1); },
        [](CommonDataForm &f) { f.controls.autoLabel = !f.controls.autoLabel; },
        [](CommonDataForm &f) { f.controls.weightCells[27] = QStringLiteral("77"); },
        [](CommonDataForm &f) { f.setLayoutCells(false, {QStringLiteral("5")}); },
        [](CommonDataForm &f) { f.setScaleSpin(2); }, // no settings of scale 2: nothing loaded
    };
    for (std::size_t i = 0; i < std::size(changes); ++i) {
        std::uint8_t l = 1;
        CommonDataForm f(d.tmp.path(), Today, QString(), l);
        changes[i](f);
        EXPECT_TRUE(f.unsaved()) << i;
    }

    // The date moves with a write; that is no change of the settings.
    form.buildBlock(QDateTime(Today.addDays(3), QTime(10, 0)));
    EXPECT_FALSE(form.unsaved());

    form.controls.companyText = QStringLiteral("Новое");
    ASSERT_FALSE(form.save(d.path(QStringLiteral("VL1.cfg"))).has_value());
    EXPECT_FALSE(form.unsaved());
    form.controls.companyText = QStringLiteral("Ещё");
    EXPECT_TRUE(form.unsaved());
    form.controls.companyText = QStringLiteral("Новое"); // back as saved
    EXPECT_FALSE(form.unsaved());

    // A refused save leaves the changes unsaved.
    form.controls.pieceCells[0] = QStringLiteral("x");
    EXPECT_TRUE(form.save(d.path(QStringLiteral("VL1.cfg"))).has_value());
    EXPECT_TRUE(form.unsaved());

    // Another scale's settings loaded: what they hold is the saved state.
    ASSERT_TRUE(form.setScaleSpin(4));
    EXPECT_EQ(form.controls.companyText, QStringLiteral("Лавка"));
    EXPECT_EQ(form.controls.pieceCells[0], QStringLiteral("0"));
    EXPECT_FALSE(form.unsaved());
}
