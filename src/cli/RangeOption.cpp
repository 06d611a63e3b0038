#include "cli/RangeOption.h"

namespace ztk::cli {

// --from and --to, by default the whole of 1..5000; nothing on bad usage (shown).
std::optional<readback::Range> readRange(CliContext &ctx, const Options &o)
{
    readback::Range range{readback::FirstNumber, readback::LastNumber};
    for (const CommandOption *bound : {&FromOption, &ToOption}) {
        const std::optional<QString> text = o.value(*bound);
        if (!text)
            continue;
        const std::optional<std::int32_t> n = wholeNumberArgument(ctx, *text, Refusal::BadUsage);
        if (!n)
            return std::nullopt;
        (bound == &FromOption ? range.first : range.last) = *n;
    }
    if (range.first < readback::FirstNumber || range.first > range.last || range.last > readback::LastNumber) {
        ctx.badUsage(QStringLiteral("ztk-cli: the range must lie within 1..5000, first not above last"));
        return std::nullopt;
    }
    return range;
}

} // namespace ztk::cli
