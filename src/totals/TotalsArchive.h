#pragma once
// Every complete reception is kept as its raw 153,600 bytes in the folder "totals" of
// the working directory, named by the moment it completed
// ("totals/2026-12-09_18-05-33.bin"), so that totals cleared in the scale without
// being saved can still be shown and saved.

#include "totals/TotalsImage.h"

#include <QDateTime>
#include <QString>

#include <optional>

namespace ztk {

inline constexpr char KeptTotalsFolder[] = "totals";

struct KeepResult {
    bool ok = false;
    QString path;  // the file written
    QString error; // the message to show when not ok
};

// Writes the image into `workDir`/totals (made when missing), or, for one of several
// scales, into `workDir`/totals/`scaleName`. A second reception in the same second gets
// "_2", "_3" ... after the moment, so none is overwritten.
KeepResult keepTotals(const QString &workDir, const TotalsImage &image, const QDateTime &completed,
                      const QString &scaleName = QString());

struct LoadedTotals {
    std::optional<TotalsImage> image;
    QString error; // the message when there is no image
};

// A kept image: the file must hold exactly 153,600 bytes.
LoadedTotals loadKeptTotals(const QString &path);

} // namespace ztk
