#pragma once
// The global option --db URL of ztk-cli: the PostgreSQL server whose table the
// command works on, in place of the working folder's "database.ini" or "LM_T.db".

#include <QString>
#include <QStringList>

#include <optional>

namespace ztk::cli {

// Takes "--db URL" or "--db=URL" from the options before the command's name out of
// `args` into `url`. Nothing when all is well; else why not (a value missing, an
// address that is none), for the caller to show as bad usage.
std::optional<QString> takeStoreOption(QStringList &args, QString &url);

} // namespace ztk::cli
