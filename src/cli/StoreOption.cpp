#include "cli/StoreOption.h"

#include "cli/CliCommand.h"
#include "products/StoreLocation.h"

namespace ztk::cli {

std::optional<QString> takeStoreOption(QStringList &args, QString &url)
{
    // The global options end at the command's name; what follows is the command's.
    qsizetype end = 0;
    while (end < args.size() && !findCommand(args[end]))
        ++end;
    for (qsizetype i = 0; i < end; ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--db")) {
            if (i + 1 >= end)
                return QStringLiteral("ztk-cli: --db needs a value");
            url = args[i + 1];
            args.remove(i, 2);
        } else if (a.startsWith(QLatin1String("--db="))) {
            url = a.mid(5);
            args.remove(i, 1);
        } else {
            continue;
        }
        StoreLocation location;
        QString error;
        if (!parseStoreUrl(url, location, error))
            return error;
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace ztk::cli
