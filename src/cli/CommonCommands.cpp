// The common-data commands: the per-scale settings, writing and reading the block, and
// the scale's clock. Each runs the common-data window's own rules (CommonDataForm).

#include "cli/CliCommand.h"
#include "cli/ScalesOption.h"

#include "common/CommonData.h"
#include "common/CommonDataForm.h"
#include "common/CommonExchange.h"
#include "common/KeyLayout.h"
#include "shared/Files.h"
#include "shared/Messages.h"
#include "shared/OutputFile.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <mutex>

using namespace ztk;
using namespace ztk::cli;
using ztk::common::CommonDataForm;
using ztk::common::Controls;

constexpr CommandOption ScaleNumberOption{"scale", "N",
                                          QT_TRANSLATE_NOOP("ztk-cli",
                                              "the scale's number, 1..99 (default: the last one used, from "
                                              "fbdves.cfg)")};
constexpr CommandOption CompanyOption{"company", "TEXT", QT_TRANSLATE_NOOP("ztk-cli",
                                                             "the shop's name printed on the labels")};
constexpr CommandOption LabelOption{"label", "N", QT_TRANSLATE_NOOP("ztk-cli", "the label format number")};
constexpr CommandOption ReportLabelOption{"report-label", "N", QT_TRANSLATE_NOOP("ztk-cli",
                                                                   "the label format number of the reports")};
constexpr CommandOption WeightKeysOption{"weight-keys", "N,N,...", QT_TRANSLATE_NOOP("ztk-cli",
                                                                       "the products of the 28 keys of the weighed "
                                                                       "goods")};
constexpr CommandOption PieceKeysOption{"piece-keys", "N,N,...", QT_TRANSLATE_NOOP("ztk-cli",
                                                                     "the products of the 28 keys of the piece goods")};
constexpr CommandOption AutoLabelOption{"auto-label", "on|off",
                                        QT_TRANSLATE_NOOP("ztk-cli", "the block's automatic-label flag, as the "
                                                                     "window's check box sets it (default off)")};
constexpr CommandOption BlockOutOption{"out", "FILE", QT_TRANSLATE_NOOP("ztk-cli",
                                                          "keeps the 512 bytes received in FILE")};
constexpr CommandOption SaveSettingsOption{"save-settings", nullptr,
                                           QT_TRANSLATE_NOOP("ztk-cli",
                                               "carries the fields into the settings of the block's scale number and "
                                               "saves them")};
constexpr CommandOption AtOption{"at", "\"YYYY-MM-DD HH:MM:SS\"", QT_TRANSLATE_NOOP("ztk-cli",
                                                                      "the moment to set (default: now)")};

ZTK_CLI_COMMAND(commonSettings,
                {.name = "common-settings",
                 .summary = QT_TRANSLATE_NOOP("ztk-cli", "shows the settings VL<N>.cfg; given values are saved into "
                                                         "it"),
                 .options = {ScaleNumberOption, CompanyOption, LabelOption, ReportLabelOption, WeightKeysOption,
                             PieceKeysOption},
                 .details = {QT_TRANSLATE_NOOP("ztk-cli", "Loads VL<N>.cfg as the common-data window does, applies "
                                                          "the values given (a key list shorter than 28 repeats its "
                                                          "first product on the other keys), saves the file when "
                                                          "something was given, and prints the settings.")}})
ZTK_CLI_COMMAND(commonWrite, {.name = "common-write",
                              .summary = QT_TRANSLATE_NOOP("ztk-cli", "writes the common data of scale N's settings "
                                                                      "into the scale"),
                              .options = {ScaleNumberOption, AutoLabelOption},
                              .details = {QT_TRANSLATE_NOOP("ztk-cli",
                                              "Asks the scale's number and refuses (exit 2) when it is not N; "
                                              "builds the block from scale N's settings, writes BDpost.pd and sends "
                                              "it (about 9 s, progress on standard error).")}})
ZTK_CLI_COMMAND(commonRead, {.name = "common-read",
                             .summary = QT_TRANSLATE_NOOP("ztk-cli", "reads the scale's common data (35 s) and shows "
                                                                     "it"),
                             .options = {BlockOutOption, SaveSettingsOption},
                             .details = {QT_TRANSLATE_NOOP("ztk-cli", "Prints the fields as the common-data viewer "
                                                                      "shows them.")}})
ZTK_CLI_COMMAND(setClock, {.name = "set-clock",
                           .summary = QT_TRANSLATE_NOOP("ztk-cli", "sets the scale's clock"),
                           .options = {AtOption}})

namespace {

// --scale N within `max`, by default the last scale number of "fbdves.cfg" (1 without it).
std::optional<int> scaleOption(CliContext &ctx, const Options &o, int max)
{
    const std::optional<QString> text = o.value(ScaleNumberOption);
    if (!text)
        return ctx.portConfigMissing ? 1 : int(ctx.port.lastScaleNumber);
    const std::optional<std::int32_t> n = wholeNumberArgument(ctx, *text, Refusal::Message);
    if (!n)
        return std::nullopt;
    if (*n < Controls::ScaleMin || *n > max) {
        ctx.badUsage(QStringLiteral("ztk-cli: %1 takes %2..%3")
                         .arg(dashedName(ScaleNumberOption))
                         .arg(Controls::ScaleMin)
                         .arg(max));
        return std::nullopt;
    }
    return *n;
}

// The common-data window's state for scale `scale`, as the window comes up with it as
// its last scale number: that scale's settings file, or the window's initial values.
struct WindowState {
    explicit WindowState(CliContext &ctx, int scale)
        : last(std::uint8_t(scale)), form(ctx.workDir, ctx.clock.now().date(), QString(), last) {}
    std::uint8_t last;
    CommonDataForm form;
};

// "--weight-keys 10,20,30": the cells of the layout as "Выполнить" makes them, the
// first product repeated on the keys beyond the list. Nothing (the message shown) for
// an empty list or one of more than 28.
std::optional<QStringList> keyCells(CliContext &ctx, const CommandOption &option, const QString &text)
{
    QStringList cells;
    for (const QString &part : text.split(QLatin1Char(',')))
        cells << part.trimmed();
    if (text.trimmed().isEmpty() || cells.size() > common::KeyCount) {
        ctx.badUsage(QStringLiteral("ztk-cli: %1 takes 1 to %2 product numbers").arg(dashedName(option)).arg(common::KeyCount));
        return std::nullopt;
    }
    while (cells.size() < common::KeyCount)
        cells << cells.first();
    return cells;
}

void printSettings(CliContext &ctx, const CommonDataForm &form)
{
    const Controls &c = form.controls;
    ctx.print(form.settingsFileName());
    ctx.print(QStringLiteral("Наименование предприятия: ") + c.companyText);
    ctx.print(QStringLiteral("Ном весов: %1").arg(c.scaleNumber));
    ctx.print(QStringLiteral("Номер этикетки: %1").arg(c.labelNumber));
    ctx.print(QStringLiteral("№ Отчётной этикетки: %1").arg(c.reportLabelNumber));
    ctx.print(QStringLiteral("Раскл  вес. товаров: ") + c.weightCells.join(QLatin1Char(' ')));
    ctx.print(QStringLiteral("Раскл шт. товаров: ") + c.pieceCells.join(QLatin1Char(' ')));
}

} // namespace

int commonSettings(CliContext &ctx, const QStringList &args)
{
    Options o;
    if (const auto bad = parseOptions(ctx, args, o))
        return *bad;
    const std::optional<int> scale = scaleOption(ctx, o, Controls::LoadableScaleMax);
    if (!scale)
        return ExitBadUsage;
    WindowState state(ctx, *scale);
    CommonDataForm &form = state.form;

    if (const std::optional<QString> company = o.value(CompanyOption))
        form.controls.companyText = *company;
    if (const std::optional<QString> label = o.value(LabelOption)) {
        const std::optional<std::int32_t> n = wholeNumberArgument(ctx, *label, Refusal::Message);
        if (!n)
            return ExitBadUsage;
        form.setLabelSpin(*n);
    }
    if (const std::optional<QString> report = o.value(ReportLabelOption)) {
        const std::optional<std::int32_t> n = wholeNumberArgument(ctx, *report, Refusal::Message);
        if (!n)
            return ExitBadUsage;
        if (*n < Controls::ReportMin || *n > Controls::ReportMax)
            return ctx.badUsage(QStringLiteral("ztk-cli: %1 takes %2..%3")
                                    .arg(dashedName(ReportLabelOption))
                                    .arg(Controls::ReportMin)
                                    .arg(Controls::ReportMax));
        form.setReportSpin(*n);
    }
    for (const CommandOption *keys : {&WeightKeysOption, &PieceKeysOption}) {
        const std::optional<QString> text = o.value(*keys);
        if (!text)
            continue;
        const std::optional<QStringList> cells = keyCells(ctx, *keys, *text);
        if (!cells)
            return ExitBadUsage;
        form.setLayoutCells(keys == &WeightKeysOption, *cells);
    }

    // The file is saved when anything besides the scale's number was given.
    const auto settings = {&CompanyOption, &LabelOption, &ReportLabelOption, &WeightKeysOption, &PieceKeysOption};
    const bool given = std::any_of(settings.begin(), settings.end(),
                                   [&o](const CommandOption *setting) { return o.value(*setting).has_value(); });
    if (given) {
        if (const std::optional<QString> error = form.save(form.settingsPath())) {
            ctx.prompter.message(*error);
            return ExitBadUsage;
        }
    }
    printSettings(ctx, form);
    return ExitOk;
}

int commonWrite(CliContext &ctx, const QStringList &args)
{
    Options o;
    if (const auto bad = parseOptions(ctx, args, o))
        return *bad;
    // With --scales each scale has its own number, and so its own settings file.
    if (ctx.manyScales() && o.value(ScaleNumberOption))
        return ctx.badUsage(QStringLiteral("ztk-cli: %1 goes with one scale, not with %2")
                                .arg(dashedName(ScaleNumberOption), dashedName(ScalesOption)));
    const std::optional<int> scale = scaleOption(ctx, o, Controls::ScaleMax);
    if (!scale)
        return ExitBadUsage;
    const QString onOff = o.value(AutoLabelOption, QStringLiteral("off"));
    if (onOff != QLatin1String("on") && onOff != QLatin1String("off"))
        return ctx.badUsage(QStringLiteral("ztk-cli: %1 takes on or off").arg(dashedName(AutoLabelOption)));
    const bool many = ctx.manyScales();
    const int single = *scale;
    return ctx.onScales(
        Operation::WriteCommonData, [&ctx, many, single, onOff](ScaleJob &j) {
            const int number = many ? j.scale.number : single;
            if (number < Controls::ScaleMin || number > Controls::ScaleMax) {
                j.prompter.message(QStringLiteral("ztk-cli: the scale number %1 is not %2..%3").arg(number).arg(Controls::ScaleMin).arg(Controls::ScaleMax));
                return ScaleStatus::BadInput;
            }
            std::uint8_t last = std::uint8_t(number); // the form keeps a reference
            CommonDataForm form(ctx.workDir, j.clock.now().date(), QString(), last);
            form.controls.autoLabel = onOff == QLatin1String("on");

            // The scale is asked first; the window takes its number from the last answer.
            ExchangeSession session = j.session();
            std::int8_t answered = 0;
            if (const ExchangeResult r = session.logged(Operation::ScaleNumber, askScaleNumber(session, answered));
                !r.ok) {
                j.prompter.message(r.message);
                return ScaleStatus::NoAnswer;
            }
            if (!common::scaleNumberMatches(QString::number(answered), form.controls.scaleNumber)) {
                j.prompter.message(msg::text(msg::ScaleNumberMismatch));
                return ScaleStatus::BadInput;
            }
            const CommonDataForm::Built built = form.buildBlock(j.clock.now());
            if (!built.error.isEmpty()) {
                j.prompter.message(built.error);
                return ScaleStatus::BadInput;
            }
            std::optional<common::Block> block;
            {
                // The block goes out from its file, as from the window; scales running at
                // once take turns with the one file.
                static std::mutex blockFile;
                const std::lock_guard<std::mutex> lock(blockFile);
                const QString path = ctx.path(files::CommonDataBlock);
                if (!common::saveBlockFile(path, built.block)) {
                    j.prompter.message(msg::text(msg::FileCreateError).arg(path));
                    return ScaleStatus::BadInput;
                }
                block = common::loadBlockFile(path);
            }
            if (!block) {
                j.prompter.message(msg::text(msg::CannotOpenForReading));
                return ScaleStatus::BadInput;
            }
            if (const ExchangeResult r = session.logged(Operation::WriteCommonData, common::writeBlock(session, *block));
                !r.ok) {
                j.prompter.message(r.message);
                return ScaleStatus::NoAnswer;
            }
            return ScaleStatus::Done;
        },
        QStringLiteral("Запись ОД"));
}

int commonRead(CliContext &ctx, const QStringList &args)
{
    Options o;
    if (const auto bad = parseOptions(ctx, args, o))
        return *bad;
    // A relative path is taken in the working folder; a refused one costs no reading.
    const std::optional<QString> out = o.value(BlockOutOption);
    const QString outPath = out ? QDir(ctx.workDir).filePath(*out) : QString();
    if (const QString refused = out ? refusedOutput(ctx.workDir, outPath, msg::CannotWriteFile) : QString();
        !refused.isEmpty()) {
        ctx.prompter.message(refused);
        return ExitBadUsage;
    }
    ScaleLink *link = ctx.link(Operation::ReadCommonData);
    if (!link)
        return ctx.linkFailure();
    ExchangeSession session(*link, ctx.clock, ctx.pump);
    session.log = ctx.journalOf(ctx.singleScale());
    std::optional<common::Block> block(std::in_place);
    if (const ExchangeResult r = session.logged(Operation::ReadCommonData, common::readBlock(session, *block)); !r.ok) {
        ctx.prompter.message(r.message);
        return ExitNoAnswer;
    }
    const common::BlockView view = common::decodeBlock(*block).value;
    for (const QString &line : common::viewerLines(view))
        ctx.print(line);

    if (out) {
        const QByteArray bytes(reinterpret_cast<const char *>(block->data()), qsizetype(block->size()));
        if (const QString error = writeOutputFile(ctx.workDir, outPath, bytes, msg::CannotWriteFile); !error.isEmpty()) {
            ctx.prompter.message(error);
            return ExitBadUsage;
        }
    }
    if (o.flag(SaveSettingsOption)) {
        // As "Внести данные" after the reading, then "Сохранить" into the settings of the
        // scale number carried over.
        WindowState state(ctx, ctx.portConfigMissing ? 1 : ctx.port.lastScaleNumber);
        CommonDataForm &form = state.form;
        form.takeReading(view);
        if (const std::optional<QString> error = form.carryOver(common::ViewerTexts::of(view))) {
            ctx.prompter.message(*error);
            return ExitBadUsage;
        }
        const QString path = QDir(ctx.workDir).filePath(common::CommonDataSettings::fileName(form.controls.scaleNumber));
        if (const std::optional<QString> error = form.save(path)) {
            ctx.prompter.message(*error);
            return ExitBadUsage;
        }
    }
    return ExitOk;
}

int setClock(CliContext &ctx, const QStringList &args)
{
    Options o;
    if (const auto bad = parseOptions(ctx, args, o))
        return *bad;
    QDateTime moment = ctx.clock.now();
    if (const std::optional<QString> at = o.value(AtOption)) {
        moment = QDateTime::fromString(*at, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (!moment.isValid())
            return ctx.badUsage(QStringLiteral("ztk-cli: %1 takes %2").arg(dashedName(AtOption), QString::fromUtf8(AtOption.value)));
    }
    return ctx.onScales(Operation::SetClock, [moment](ScaleJob &j) {
        // Nothing comes back, but a line that took nothing is no success.
        ExchangeSession session = j.session();
        if (const ExchangeResult r = session.logged(Operation::SetClock, common::setClock(session, moment)); !r.ok) {
            j.prompter.message(r.message);
            return ScaleStatus::NoAnswer;
        }
        return ScaleStatus::Done;
    });
}
