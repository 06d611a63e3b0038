#include "common/CommonDataForm.h"

#include "shared/DateText.h"
#include "shared/FileGuard.h"
#include "shared/Messages.h"
#include "shared/WholeNumber.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace ztk::common {

namespace {

QStringList numberCells()
{
    QStringList cells;
    for (int r = 1; r <= KeyCount; ++r)
        cells << QString::number(r);
    return cells;
}

void putValues(QStringList &cells, const QList<std::int32_t> &values)
{
    for (int i = 0; i < values.size() && i < cells.size(); ++i)
        cells[i] = QString::number(values[i]);
}

} // namespace

bool Controls::sameSettings(const Controls &o) const
{
    return companyText == o.companyText && scaleNumber == o.scaleNumber && labelNumber == o.labelNumber
        && reportLabelNumber == o.reportLabelNumber && autoLabel == o.autoLabel && weightCells == o.weightCells
        && pieceCells == o.pieceCells;
}

ViewerTexts ViewerTexts::of(const BlockView &view)
{
    return {view.companyName, view.labelVariant, view.reportLabelVariant, view.scaleNumber,
            view.autoLabel,   view.weightKeys,   view.pieceKeys};
}

std::optional<int> startScaleNumber(const QString &argument)
{
    const std::optional<std::int32_t> n = wholeNumber(argument);
    if (!n)
        return std::nullopt;
    const int v = std::int8_t(std::uint8_t(std::uint32_t(*n) & 0xFF));
    return v > Controls::LoadableScaleMax || v <= 0 ? 1 : v;
}

bool scaleNumberMatches(const QString &reportedText, int spinValue)
{
    const std::optional<std::int32_t> n = wholeNumber(reportedText);
    return n && *n == spinValue;
}

CommonDataForm::CommonDataForm(const QString &workDir, const QDate &today, const QString &startArgument,
                               std::uint8_t &lastScaleNumber, QString *error)
    : m_workDir(workDir), m_lastScaleNumber(lastScaleNumber), m_settingsFileName(CommonDataSettings::fileName(1))
{
    controls.companyText = QString::fromLatin1(InitialCompanyText);
    controls.weightCells = numberCells();
    controls.pieceCells = numberCells();

    fields.readBackFlag = 0;
    fields.scaleNumber = std::int8_t(lastScaleNumber);
    if (!startArgument.isEmpty()) {
        if (const std::optional<int> n = startScaleNumber(startArgument)) {
            fields.scaleNumber = std::int8_t(*n);
            m_settingsFileName = CommonDataSettings::fileName(*n);
        } else if (error) {
            *error = msg::text(msg::NotAnInteger).arg(startArgument);
        }
    }
    fields.nameTailByte = NameSize;
    controls.dateText = datetext::dayFirst(today);

    // The spin clamps; a change already runs the scale number change, and it runs once more.
    setScaleSpin(fields.scaleNumber);
    scaleNumberChanged();
    m_kept = controls;
}

QString CommonDataForm::settingsPath() const
{
    return QDir(m_workDir).filePath(m_settingsFileName);
}

bool CommonDataForm::setScaleSpin(int value)
{
    const int v = std::clamp(value, Controls::ScaleMin, Controls::ScaleMax);
    if (v == controls.scaleNumber)
        return false;
    controls.scaleNumber = v;
    scaleNumberChanged();
    return true;
}

bool CommonDataForm::setLabelSpin(int value)
{
    if (value == controls.labelNumber)
        return false;
    controls.labelNumber = value;
    fields.labelNumber = std::int8_t(value);
    return true;
}

bool CommonDataForm::setReportSpin(int value)
{
    const int v = std::clamp(value, Controls::ReportMin, Controls::ReportMax);
    if (v == controls.reportLabelNumber)
        return false;
    controls.reportLabelNumber = v;
    fields.reportLabelNumber = std::int8_t(v);
    return true;
}

bool CommonDataForm::scaleNumberChanged()
{
    const int v = controls.scaleNumber;
    if (v > Controls::LoadableScaleMax)
        return false;
    m_settingsFileName = CommonDataSettings::fileName(v);
    const qsizetype size = fields.load(settingsPath());
    if (size >= 0) {
        showLoaded(size);
        m_kept = controls;
    }
    m_lastScaleNumber = std::uint8_t(fields.scaleNumber);
    return size >= 0;
}

void CommonDataForm::showLoaded(qsizetype size)
{
    using O = CommonDataSettings::Offset;
    if (CommonDataSettings::holds(size, O::CompanyName, NameSize))
        controls.companyText = fields.companyText();
    for (int k = 0; k < KeyCount; ++k) {
        if (CommonDataSettings::holds(size, O::WeightKeys + 4 * k, 4))
            controls.weightCells[k] = QString::number(fields.weightKeys[std::size_t(k)]);
        if (CommonDataSettings::holds(size, O::PieceKeys + 4 * k, 4))
            controls.pieceCells[k] = QString::number(fields.pieceKeys[std::size_t(k)]);
    }
    if (CommonDataSettings::holds(size, O::LabelNumber, 1))
        setLabelSpin(fields.labelNumber);
    if (CommonDataSettings::holds(size, O::ReportLabelNumber, 1))
        setReportSpin(fields.reportLabelNumber);
}

std::optional<Keys> CommonDataForm::keysOf(const QStringList &cells, QString *error)
{
    Keys keys{};
    for (int k = 0; k < KeyCount; ++k) {
        const QString cell = k < cells.size() ? cells[k] : QString();
        const std::optional<std::int32_t> n = wholeNumber(cell);
        if (!n) {
            if (error)
                *error = msg::text(msg::NotAnInteger).arg(cell);
            return std::nullopt;
        }
        keys[std::size_t(k)] = *n;
    }
    return keys;
}

std::optional<QString> CommonDataForm::save(const QString &path)
{
    QString error;
    const std::optional<Keys> weight = keysOf(controls.weightCells, &error);
    const std::optional<Keys> piece = weight ? keysOf(controls.pieceCells, &error) : std::nullopt;
    if (!piece)
        return error;
    fields.setCompanyText(controls.companyText);
    fields.weightKeys = *weight;
    fields.pieceKeys = *piece;
    fields.labelNumber = std::int8_t(controls.labelNumber);
    fields.reportLabelNumber = std::int8_t(controls.reportLabelNumber);
    fields.scaleNumber = std::int8_t(controls.scaleNumber);
    m_lastScaleNumber = std::uint8_t(fields.scaleNumber);
    // Its own kind of file may be chosen anywhere; the table or another settings file never.
    static const QRegularExpression settingsName(QStringLiteral("^VL\\d+\\.cfg$"),
                                                 QRegularExpression::CaseInsensitiveOption);
    const QString landing = QFileInfo(path).exists() ? QFileInfo(path).canonicalFilePath() : path;
    if (isProtectedFile(m_workDir, path) && !settingsName.match(QFileInfo(landing).fileName()).hasMatch())
        return msg::text(msg::ProtectedFile).arg(path);
    if (!fields.save(path))
        return msg::text(msg::FileCreateError).arg(path);
    m_kept = controls;
    return std::nullopt;
}

CommonDataForm::Built CommonDataForm::buildBlock(const QDateTime &moment)
{
    Built built;
    fields.scaleNumber = std::int8_t(controls.scaleNumber);
    controls.dateText = datetext::dayFirst(moment.date());
    const std::optional<Keys> weight = keysOf(controls.weightCells, &built.error);
    const std::optional<Keys> piece = weight ? keysOf(controls.pieceCells, &built.error) : std::nullopt;
    if (!piece)
        return built;
    BlockInput in;
    in.scaleNumber = fields.scaleNumber;
    in.labelNumber = controls.labelNumber;
    in.reportLabelNumber = fields.reportLabelNumber;
    in.weightKeys = *weight;
    in.pieceKeys = *piece;
    in.companyName = controls.companyText;
    in.autoLabel = controls.autoLabel;
    built.block = common::buildBlock(in, moment);
    return built;
}

void CommonDataForm::takeReading(const BlockView &view)
{
    fields.readBackWord = view.readBackWord;
    fields.readBackLong = view.readBackLong;
    fields.readBackFlag = 1;
}

std::optional<QString> CommonDataForm::carryOver(const ViewerTexts &viewer)
{
    const auto number = [](const QString &text) -> std::optional<std::int32_t> { return wholeNumber(text); };
    const auto bad = [](const QString &text) { return msg::text(msg::NotAnInteger).arg(text); };

    const std::optional<std::int32_t> scale = number(viewer.scaleNumber);
    if (!scale)
        return bad(viewer.scaleNumber);
    // Held to the spin's range it would land in another scale's settings file.
    if (*scale < Controls::ScaleMin || *scale > Controls::LoadableScaleMax)
        return msg::text(msg::BlockScaleNumberBad).arg(*scale).arg(Controls::ScaleMin).arg(Controls::LoadableScaleMax);
    setScaleSpin(*scale); // may load that scale's settings
    controls.companyText = viewer.companyName;
    const std::optional<std::int32_t> label = number(viewer.labelVariant);
    if (!label)
        return bad(viewer.labelVariant);
    setLabelSpin(*label);
    const std::optional<std::int32_t> report = number(viewer.reportLabelVariant);
    if (!report)
        return bad(viewer.reportLabelVariant);
    setReportSpin(*report);
    controls.autoLabel = viewer.autoLabel;
    // Rows the lists do not reach keep what they hold.
    putValues(controls.weightCells, readKeyList(viewer.weightKeys));
    putValues(controls.pieceCells, readKeyList(viewer.pieceKeys));
    return std::nullopt;
}

void CommonDataForm::setLayoutCells(bool weight, const QStringList &cells)
{
    QStringList &target = weight ? controls.weightCells : controls.pieceCells;
    for (int k = 0; k < KeyCount; ++k)
        target[k] = k < cells.size() ? cells[k] : QString();
}

} // namespace ztk::common
