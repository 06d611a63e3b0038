// Moving a shop's product table to a shared PostgreSQL server and back.

#include "cli/CliCommand.h"

#include "products/ProductStore.h"
#include "products/StoreBackup.h"
#include "products/StoreCopy.h"
#include "shared/Files.h"
#include "shared/Messages.h"

#include <QFileInfo>

using namespace ztk;
using namespace ztk::cli;

constexpr CommandOption ToServerOption{"to", "URL",
                                       QT_TRANSLATE_NOOP("ztk-cli", "copies LM_T.db of the working folder into the "
                                                                    "table at URL (postgresql://user@host:port/name)")};
constexpr CommandOption FromServerOption{"from", "URL", QT_TRANSLATE_NOOP("ztk-cli",
                                                            "copies the table at URL into LM_T.db of the working "
                                                            "folder")};
constexpr CommandOption ReplaceOption{"replace", nullptr,
                                      QT_TRANSLATE_NOOP("ztk-cli", "replaces the rows the table copied into holds; "
                                                                   "without it a table that is not empty is refused")};

ZTK_CLI_COMMAND(dbCopy,
                {.name = "db-copy",
                 .summary = QT_TRANSLATE_NOOP("ztk-cli", "copies the products of LM_T.db into a server's table "
                                                         "(--to), or back (--from)"),
                 .options = {ToServerOption, FromServerOption, ReplaceOption},
                 .details = {QT_TRANSLATE_NOOP("ztk-cli", "Exactly one of --to and --from. The copy is one "
                                                          "transaction: all rows or none. database.ini is not "
                                                          "consulted.")}})

int dbCopy(CliContext &ctx, const QStringList &args)
{
    Options o;
    if (const auto bad = parseOptions(ctx, args, o))
        return *bad;
    const std::optional<QString> toUrl = o.value(ToServerOption), fromUrl = o.value(FromServerOption);
    const bool to = toUrl.has_value();
    if (to == fromUrl.has_value())
        return ctx.badUsage(QStringLiteral("ztk-cli: db-copy needs either %1 URL or %2 URL")
                                .arg(dashedName(ToServerOption), dashedName(FromServerOption)));
    StoreLocation server;
    QString error;
    if (!parseStoreUrl(to ? *toUrl : *fromUrl, server, error))
        return ctx.badUsage(error);

    // The working folder's file on the one side (made when copying into it), whatever
    // "database.ini" says, and the server on the other.
    const QString path = ctx.path(files::ProductStore);
    if (to && !QFileInfo::exists(path)) {
        ctx.prompter.message(msg::text(msg::StoreMissing).arg(path));
        return ExitBadUsage;
    }
    ProductStore file, onServer;
    if (!file.open(path)) {
        ctx.prompter.message(file.errorText());
        return ExitBadUsage;
    }
    if (!onServer.open(server)) {
        ctx.prompter.message(onServer.errorText());
        return ExitBadUsage;
    }
    const bool replace = o.flag(ReplaceOption);
    // Rows of the folder's table about to be replaced are copied aside first, as an
    // import does; the server keeps its own backups.
    if (!to && replace && file.count() != 0) {
        const BackupResult backup = backupStore(file, ctx.clock.now());
        if (!backup.ok) {
            ctx.prompter.message(msg::text(msg::BackupFailed).arg(backup.error));
            return ExitBadUsage;
        }
        ctx.prompter.message(msg::text(msg::BackupMade).arg(backup.path));
    }
    const CopyResult r = to ? copyProducts(file, onServer, replace) : copyProducts(onServer, file, replace);
    if (!r.ok) {
        ctx.prompter.message(r.error);
        return ExitBadUsage;
    }
    ctx.print(msg::text(msg::CopyDone).arg(r.copied));
    return ExitOk;
}
