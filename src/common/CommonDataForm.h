#pragma once
// The common-data window's state without its widgets: what its controls show and the
// settings it keeps, with the rules that change them (window creation from the
// start-up argument and LastScaleNumber, the scale number change, "Сохранить", the
// block of "Запись ОД", a completed reading and "Внести данные"). The window maps its
// controls to Controls and back; ztk-cli and the tests use this directly.

#include "common/CommonData.h"
#include "common/CommonDataSettings.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace ztk::common {

// What the window's controls hold.
struct Controls {
    static constexpr int ScaleMin = 1, ScaleMax = 127;       // CSpinEdit2
    static constexpr int ReportMin = 1, ReportMax = 99;      // CSpinEdit5
    static constexpr int LoadableScaleMax = 99;              // settings files exist for 1..99

    QString companyText;      // Edit1
    QString dateText;         // Edit2, dd.mm.yy
    int scaleNumber = 1;      // CSpinEdit2
    int labelNumber = 0;      // CSpinEdit1, without limits
    int reportLabelNumber = 1;// CSpinEdit5
    bool autoLabel = false;   // CheckBox1
    QStringList weightCells;  // column 1 of StringGrid1, rows 1..28
    QStringList pieceCells;   // column 1 of StringGrid2, rows 1..28

    // Equal settings: the date is not one of them.
    bool sameSettings(const Controls &other) const;
};

// The fields of "Общие данные из весов" that "Внести данные" carries over, as shown.
struct ViewerTexts {
    QString companyName;        // Edit1
    QString labelVariant;       // Edit2
    QString reportLabelVariant; // Edit3
    QString scaleNumber;        // Edit4
    bool autoLabel = false;     // CheckBox1
    QString weightKeys;         // Memo3
    QString pieceKeys;          // Memo4

    static ViewerTexts of(const BlockView &view);
};

class CommonDataForm {
public:
    static constexpr const char InitialCompanyText[] = "1234567890123456789012345678";

    // Window creation with `startArgument` (empty: none) and LastScaleNumber, loading the
    // chosen scale's settings from `workDir`. A start-up argument that is not a whole
    // number leaves ScaleNumber at LastScaleNumber and sets `error` to the conversion
    // error. `lastScaleNumber` is updated as the scale number change does.
    CommonDataForm(const QString &workDir, const QDate &today, const QString &startArgument,
                   std::uint8_t &lastScaleNumber, QString *error = nullptr);

    Controls controls;
    CommonDataSettings fields;

    const QString &settingsFileName() const { return m_settingsFileName; }
    QString settingsPath() const;

    // The spins as the program sets them: each clamps to its range, and a change of
    // its value runs its change handler (LabelNumber, ReportLabelNumber follow;
    // CSpinEdit2 runs scaleNumberChanged). True when the value changed.
    bool setScaleSpin(int value);
    bool setLabelSpin(int value);
    bool setReportSpin(int value);

    // CSpinEdit2Change: loads "VL<v>.cfg" when it exists (v <= 99) and sets
    // LastScaleNumber to ScaleNumber; v > 99 does nothing. True when a file was read.
    bool scaleNumberChanged();

    // "Сохранить" into `path`: the controls into the fields, LastScaleNumber := ScaleNumber,
    // the 294 bytes written. A key cell that is not a whole number stops it first with
    // the conversion error (returned); the file is then left as it was.
    std::optional<QString> save(const QString &path);

    // The block of "Запись ОД" at `moment`; also ScaleNumber := CSpinEdit2 and the date
    // text refreshed. A key cell that is not a whole number: the conversion error.
    struct Built {
        Block block{};
        QString error; // empty when built
    };
    Built buildBlock(const QDateTime &moment);

    // A completed reading: ReadBackWord, ReadBackLong from the block, ReadBackFlag := 1.
    void takeReading(const BlockView &view);

    // "Внести данные" in its order; a field that must be a whole number and is not stops
    // it with the conversion error (the steps before it have taken effect). A scale
    // number outside 1..99 stops it before anything changes.
    std::optional<QString> carryOver(const ViewerTexts &viewer);

    // "Выполнить" of the index window and the CLI: cells of rows 1..28 of one layout.
    void setLayoutCells(bool weight, const QStringList &cells);

    // The keys of the cells, or the conversion error of the first bad one.
    static std::optional<Keys> keysOf(const QStringList &cells, QString *error);

    // The controls differ from what was last saved, or loaded with a scale's settings
    // file (from what the form was made with when neither happened).
    bool unsaved() const { return !controls.sameSettings(m_kept); }

private:
    void showLoaded(qsizetype size);

    QString m_workDir;
    std::uint8_t &m_lastScaleNumber;
    QString m_settingsFileName;
    Controls m_kept; // as last saved or loaded
};

// The start-up argument's scale number: the whole number's low 8 bits as a signed
// value, 1 when that is above 99 or not above 0; nothing when the text is not a whole
// number.
std::optional<int> startScaleNumber(const QString &argument);

// The scale-number check of "Запись ОД": Edit3's decimal number against CSpinEdit2.
bool scaleNumberMatches(const QString &reportedText, int spinValue);

} // namespace ztk::common
