#include "products/StoreLocation.h"

#include "shared/Files.h"
#include "shared/Messages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

namespace ztk {

namespace {

bool portOf(const QString &text, int &port)
{
    bool ok = false;
    const int p = text.trimmed().toInt(&ok);
    if (!ok || p < 1 || p > 65535)
        return false;
    port = p;
    return true;
}

// "key = value" lines; "[section]" headers, "#" and ";" comments and blank lines
// ignored. False and `error` for a line that is none of these or an unknown key.
bool readServerSettings(const QString &file, StoreLocation &out, QString &error)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        error = f.errorString();
        return false;
    }
    out = StoreLocation{};
    out.kind = StoreLocation::Server;
    const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(u';') || line.startsWith(u'['))
            continue;
        const qsizetype eq = line.indexOf(u'=');
        const QString where = QStringLiteral("строка %1").arg(i + 1);
        if (eq <= 0) {
            error = where;
            return false;
        }
        const QString key = line.left(eq).trimmed().toLower();
        const QString value = line.mid(eq + 1).trimmed();
        if (key == QLatin1String("host")) {
            out.host = value;
        } else if (key == QLatin1String("port")) {
            if (!portOf(value, out.port)) {
                error = where + QStringLiteral(": port ") + value;
                return false;
            }
        } else if (key == QLatin1String("database") || key == QLatin1String("dbname")) {
            out.database = value;
        } else if (key == QLatin1String("user")) {
            out.user = value;
        } else if (key == QLatin1String("password")) {
            // Never kept in a file of ours: ~/.pgpass or PGPASSWORD.
            error = where + QStringLiteral(": password (пароль задаётся в ~/.pgpass или PGPASSWORD)");
            return false;
        } else {
            error = where + QStringLiteral(": ") + key;
            return false;
        }
    }
    if (out.database.isEmpty()) {
        error = QStringLiteral("нет database");
        return false;
    }
    return true;
}

} // namespace

QString StoreLocation::displayName() const
{
    if (!isServer())
        return path;
    auto encoded = [](const QString &t) { return QString::fromLatin1(QUrl::toPercentEncoding(t)); };
    QString text = QStringLiteral("postgresql://");
    if (!user.isEmpty())
        text += encoded(user) + u'@';
    // A socket folder is encoded whole; a name or an address as it is.
    text += host.startsWith(u'/') ? encoded(host) : host;
    return text + QStringLiteral(":%1/").arg(port) + encoded(database);
}

bool parseStoreUrl(const QString &text, StoreLocation &out, QString &error)
{
    error = msg::text(msg::StoreUrlBad).arg(text);
    const QString t = text.trimmed();
    qsizetype rest = -1;
    for (const char *scheme : {"postgresql://", "postgres://"})
        if (t.startsWith(QLatin1String(scheme), Qt::CaseInsensitive))
            rest = qsizetype(qstrlen(scheme));
    if (rest < 0)
        return false;
    // user@host:port/name, each part percent-encoded where it must be.
    const QString body = t.mid(rest);
    const qsizetype slash = body.indexOf(u'/');
    if (slash < 0)
        return false;
    QString authority = body.left(slash);
    const QString name = QUrl::fromPercentEncoding(body.mid(slash + 1).toUtf8());
    if (name.isEmpty() || name.contains(u'/') || name.contains(u'?'))
        return false;
    StoreLocation loc;
    loc.kind = StoreLocation::Server;
    loc.database = name;
    const qsizetype at = authority.lastIndexOf(u'@');
    if (at >= 0) {
        loc.user = QUrl::fromPercentEncoding(authority.left(at).toUtf8());
        if (loc.user.contains(u':')) // a password in the address is refused: never kept
            return false;
        authority = authority.mid(at + 1);
    }
    const qsizetype colon = authority.lastIndexOf(u':');
    if (colon >= 0 && !authority.endsWith(u']')) {
        if (!portOf(authority.mid(colon + 1), loc.port))
            return false;
        authority.truncate(colon);
    }
    loc.host = QUrl::fromPercentEncoding(authority.toUtf8());
    if (loc.host.startsWith(u'[') && loc.host.endsWith(u']'))
        loc.host = loc.host.mid(1, loc.host.size() - 2);
    out = loc;
    error.clear();
    return true;
}

bool storeLocationOf(const QString &workDir, const QString &url, StoreLocation &out, QString &error)
{
    error.clear();
    if (!url.isEmpty())
        return parseStoreUrl(url, out, error);
    const QString settings = QDir(workDir).filePath(QLatin1String(files::ServerSettings));
    if (QFileInfo::exists(settings)) {
        QString why;
        if (!readServerSettings(settings, out, why)) {
            error = msg::text(msg::DatabaseIniBad).arg(settings, why);
            return false;
        }
        return true;
    }
    out = StoreLocation{};
    out.path = QDir(workDir).filePath(QLatin1String(files::ProductStore));
    return true;
}

} // namespace ztk
