#include "totals/TotalsArchive.h"

#include "shared/Messages.h"
#include "shared/OutputFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace ztk {

KeepResult keepTotals(const QString &workDir, const TotalsImage &image, const QDateTime &completed,
                      const QString &scaleName)
{
    KeepResult r;
    QString folder = QDir(workDir).filePath(QString::fromLatin1(KeptTotalsFolder));
    if (!scaleName.isEmpty())
        folder = QDir(folder).filePath(scaleName);
    const auto fail = [&](const QString &why) {
        r.error = msg::text(msg::TotalsNotKept).arg(folder);
        if (!why.isEmpty())
            r.error += QStringLiteral(": ") + why;
        return r;
    };
    if (!QDir().mkpath(folder))
        return fail(QString());
    const QString stem = completed.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
    QString path = QDir(folder).filePath(stem + QStringLiteral(".bin"));
    for (int k = 2; QFileInfo::exists(path); ++k)
        path = QDir(folder).filePath(QStringLiteral("%1_%2.bin").arg(stem).arg(k));

    // Written under a temporary name, synced and renamed: a kept file is whole or
    // absent, and outlives a power cut before the scale's totals may be cleared.
    if (const QString why = replaceFileWhole(path, image.toByteArray()); !why.isEmpty())
        return fail(why);
    r.ok = true;
    r.path = path;
    return r;
}

LoadedTotals loadKeptTotals(const QString &path)
{
    LoadedTotals r;
    QFile file(path);
    // A FIFO or a device would hold the command for ever.
    if (QFileInfo(path).exists() && !QFileInfo(path).isFile()) {
        r.error = msg::text(msg::TotalsNotAFile).arg(path);
        return r;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        r.error = msg::text(msg::CannotOpenForReading) + QStringLiteral(": ") + path;
        return r;
    }
    // Read one byte beyond the image so that a longer file is refused too.
    const QByteArray bytes = file.read(qint64(TotalsImage::Size) + 1);
    if (bytes.size() != qsizetype(TotalsImage::Size)) {
        r.error = msg::text(msg::TotalsWrongSize).arg(path).arg(file.size());
        return r;
    }
    const auto *data = reinterpret_cast<const std::uint8_t *>(bytes.constData());
    Decoded<TotalsImage> d = TotalsImage::decode({data, std::size_t(bytes.size())});
    r.image = std::move(d.value);
    return r;
}

} // namespace ztk
