// The common-data commands: the per-scale settings, writing and reading the block, and
// the scale's clock. Each runs the common-data window's own rules (CommonDataForm).

#include "cli/CliCommand.h"

#include "common/CommonData.h"
#include "common/CommonDataForm.h"
#include "common/CommonExchange.h"
#include "common/KeyLayout.h"
#include "shared/Files.h"
#include "shared/Messages.h"
#include "shared/OutputFile.h"
#include "shared/WholeNumber.h"

#include <QDir>
#include <QFile>

#include <mutex>

using namespace ztk;
using namespace ztk::cli;
using ztk::common::CommonDataForm;
using ztk::common::Controls;

#define ZTK_SCALE_OPTION {"scale", "N", "the scale's number, 1..99 (default: the last one used, from fbdves.cfg)"}
ZTK_CLI_COMMAND(commonSettings,
                {.name = "common-settings",
                 .summary = "shows the settings VL<N>.cfg; given values are saved into it",
                 .options = {ZTK_SCALE_OPTION,
                             {"company", "TEXT", "the shop's name printed on the labels"},
                             {"label", "N", "the label format number"},
                             {"report-label", "N", "the label format number of the reports"},
                             {"weight-keys", "N,N,...", "the products of the 28 keys of the weighed goods"},
                             {"piece-keys", "N,N,...", "the products of the 28 keys of the piece goods"}},
                 .details = "Loads VL<N>.cfg as the common-data window does, applies the values given (a key list "
                            "shorter than 28 repeats its first product on the other keys), saves the file when "
                            "something was given, and prints the settings."})
ZTK_CLI_COMMAND(commonWrite, {.name = "common-write",
                              .summary = "writes the common data of scale N's settings into the scale",
                              .options = {ZTK_SCALE_OPTION,
                                          {"auto-label", "on|off", "the block's automatic-label flag, as the window's "
                                                                   "check box sets it (default off)"}},
                              .details = "Asks the scale's number and refuses (exit 2) when it is not N; builds the "
                                         "block from scale N's settings, writes BDpost.pd and sends it (about 9 s, "
                                         "progress on standard error)."})
ZTK_CLI_COMMAND(commonRead, {.name = "common-read",
                             .summary = "reads the scale's common data (35 s) and shows it",
                             .options = {{"out", "FILE", "keeps the 512 bytes received in FILE"},
                                         {"save-settings", nullptr, "carries the fields into the settings of the "
                                                                    "block's scale number and saves them"}},
                             .details = "Prints the fields as the common-data viewer shows them."})
ZTK_CLI_COMMAND(setClock, {.name = "set-clock",
                           .summary = "sets the scale's clock",
                           .options = {{"at", "\"YYYY-MM-DD HH:MM:SS\"", "the moment to set (default: now)"}}})
#undef ZTK_SCALE_OPTION

namespace {

const QString ScaleOpt = QStringLiteral("--scale");

// --scale N within `max`, by default the last scale number of "fbdves.cfg" (1 without it).
std::optional<int> scaleOption(CliContext &ctx, const QMap<QString, QString> &o, int max)
{
    if (!o.contains(ScaleOpt))
        return ctx.portConfigMissing ? 1 : int(ctx.port.lastScaleNumber);
    const std::optional<std::int32_t> n = wholeNumber(o[ScaleOpt]);
    if (!n) {
        ctx.prompter.message(msg::text(msg::NotAnInteger).arg(o[ScaleOpt]));
        return std::nullopt;
    }
    if (*n < Controls::ScaleMin || *n > max) {
        ctx.badUsage(QStringLiteral("ztk-cli: --scale takes %1..%2").arg(Controls::ScaleMin).arg(max));
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
std::optional<QStringList> keyCells(CliContext &ctx, const QString &option, const QString &text)
{
    QStringList cells;
    for (const QString &part : text.split(QLatin1Char(',')))
        cells << part.trimmed();
    if (text.trimmed().isEmpty() || cells.size() > common::KeyCount) {
        ctx.badUsage(QStringLiteral("ztk-cli: %1 takes 1 to %2 product numbers").arg(option).arg(common::KeyCount));
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
    const QString company = QStringLiteral("--company"), label = QStringLiteral("--label"),
                  report = QStringLiteral("--report-label"), weight = QStringLiteral("--weight-keys"),
                  piece = QStringLiteral("--piece-keys");
    QMap<QString, QString> o;
    if (const auto bad = parseOptions(ctx, args, o))
        return *bad;
    const std::optional<int> scale = scaleOption(ctx, o, Controls::LoadableScaleMax);
    if (!scale)
        return ExitBadUsage;
    WindowState state(ctx, *scale);
    CommonDataForm &form = state.form;

    if (o.contains(company))
        form.controls.companyText = o[company];
    for (const QString &spin : {label, report}) {
        if (!o.contains(spin))
            continue;
        const std::optional<std::int32_t> n = wholeNumber(o[spin]);
        if (!n) {
            ctx.prompter.message(msg::text(msg::NotAnInteger).arg(o[spin]));
            return ExitBadUsage;
        }
        if (spin == label) {
            form.setLabelSpin(*n);
        } else if (*n < Controls::ReportMin || *n > Controls::ReportMax) {
            return ctx.badUsage(QStringLiteral("ztk-cli: --report-label takes %1..%2").arg(Controls::ReportMin).arg(Controls::ReportMax));
        } else {
            form.setReportSpin(*n);
        }
    }
    for (const QString &keys : {weight, piece}) {
        if (!o.contains(keys))
            continue;
        const std::optional<QStringList> cells = keyCells(ctx, keys, o[keys]);
        if (!cells)
            return ExitBadUsage;
        form.setLayoutCells(keys == weight, *cells);
    }

    const bool given = o.size() > (o.contains(ScaleOpt) ? 1 : 0);
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
    const QString autoLabel = QStringLiteral("--auto-label");
    QMap<QString, QString> o;
    if (const auto bad = parseOptions(ctx, args, o))
        return *bad;
    // With --scales each scale has its own number, and so its own settings file.
    if (ctx.manyScales() && o.contains(ScaleOpt))
        return ctx.badUsage(QStringLiteral("ztk-cli: --scale goes with one scale, not with --scales"));
    const std::optional<int> scale = scaleOption(ctx, o, Controls::ScaleMax);
    if (!scale)
        return ExitBadUsage;
    const QString onOff = o.value(autoLabel, QStringLiteral("off"));
    if (onOff != QLatin1String("on") && onOff != QLatin1String("off"))
        return ctx.badUsage(QStringLiteral("ztk-cli: --auto-label takes on or off"));
    const bool many = ctx.manyScales();
    const int single = *scale;
    return ctx.onScales(
        [&ctx, many, single, onOff](ScaleJob &j) {
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
            if (const ExchangeResult r = askScaleNumber(session, answered); !r.ok) {
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
            if (const ExchangeResult r = common::writeBlock(session, *block); !r.ok) {
                j.prompter.message(r.message);
                return ScaleStatus::NoAnswer;
            }
            return ScaleStatus::Done;
        },
        QStringLiteral("Запись ОД"));
}

int commonRead(CliContext &ctx, const QStringList &args)
{
    const QString out = QStringLiteral("--out"), save = QStringLiteral("--save-settings");
    QMap<QString, QString> o;
    if (const auto bad = parseOptions(ctx, args, o))
        return *bad;
    // A relative path is taken in the working folder; a refused one costs no reading.
    const QString outPath = o.contains(out) ? QDir(ctx.workDir).filePath(o[out]) : QString();
    if (const QString refused = o.contains(out) ? refusedOutput(ctx.workDir, outPath, msg::CannotWriteFile) : QString();
        !refused.isEmpty()) {
        ctx.prompter.message(refused);
        return ExitBadUsage;
    }
    ScaleLink *link = ctx.link();
    if (!link)
        return ctx.linkFailure();
    ExchangeSession session(*link, ctx.clock, ctx.pump);
    std::optional<common::Block> block(std::in_place);
    if (const ExchangeResult r = common::readBlock(session, *block); !r.ok) {
        ctx.prompter.message(r.message);
        return ExitNoAnswer;
    }
    const common::BlockView view = common::decodeBlock(*block).value;
    for (const QString &line : common::viewerLines(view))
        ctx.print(line);

    if (o.contains(out)) {
        const QByteArray bytes(reinterpret_cast<const char *>(block->data()), qsizetype(block->size()));
        if (const QString error = writeOutputFile(ctx.workDir, outPath, bytes, msg::CannotWriteFile); !error.isEmpty()) {
            ctx.prompter.message(error);
            return ExitBadUsage;
        }
    }
    if (o.contains(save)) {
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
    const QString atOpt = QStringLiteral("--at");
    QMap<QString, QString> o;
    if (const auto bad = parseOptions(ctx, args, o))
        return *bad;
    QDateTime moment = ctx.clock.now();
    if (o.contains(atOpt)) {
        moment = QDateTime::fromString(o[atOpt], QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (!moment.isValid())
            return ctx.badUsage(QStringLiteral("ztk-cli: --at takes \"YYYY-MM-DD HH:MM:SS\""));
    }
    return ctx.onScales([moment](ScaleJob &j) {
        // Nothing comes back, but a line that took nothing is no success.
        ExchangeSession session = j.session();
        if (const ExchangeResult r = common::setClock(session, moment); !r.ok) {
            j.prompter.message(r.message);
            return ScaleStatus::NoAnswer;
        }
        return ScaleStatus::Done;
    });
}
