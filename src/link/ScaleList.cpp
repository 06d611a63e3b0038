#include "link/ScaleList.h"

#include "link/LinkPort.h"
#include "link/NetworkPort.h"
#include "shared/Messages.h"
#include "shared/OutputFile.h"

#include <QDir>
#include <QFile>

namespace ztk {

namespace {

QString lineProblem(int line, const QString &what)
{
    return msg::text(msg::ScalesLine).arg(line).arg(what);
}

QString badPort(const QString &port)
{
    const QString shown = port.size() > ScaleList::MaxPortLength ? port.left(ScaleList::MaxPortLength) + QStringLiteral("…") : port;
    return msg::text(msg::ScalesBadPort).arg(shown).arg(ScaleList::MaxPortLength);
}

// A scale name made of a port: its letters and digits, `other` for the rest.
QString portAsName(const QString &port, QChar other)
{
    QString name;
    for (const QChar c : port)
        name += c.isLetterOrNumber() ? c : other;
    return name;
}

} // namespace

PortConfig ScaleEntry::portConfig(const PortConfig &base) const
{
    PortConfig config = base;
    config.portName = port.toLocal8Bit();
    config.baudRate = speed;
    config.lastScaleNumber = std::uint8_t(number);
    return config;
}

bool ScaleList::validName(const QString &name)
{
    if (name.isEmpty() || name.size() > MaxNameLength || name == QLatin1String("all"))
        return false;
    for (const QChar c : name) {
        if (!c.isLetterOrNumber() && c != QLatin1Char('-') && c != QLatin1Char('_'))
            return false;
    }
    return true;
}

bool ScaleList::validPort(const QString &port)
{
    if (port.isEmpty() || port.size() > MaxPortLength || port.startsWith(QLatin1Char('@')))
        return false;
    if (NetworkPort::isAddress(port) && !NetworkPort::parse(port))
        return false;
    // What QSettings would read as a list, a quoted text or a comment stays out.
    for (const QChar c : port) {
        if (c.unicode() <= ' ' || c.unicode() >= 0x7f || QStringLiteral(",;\"\\=#").contains(c))
            return false;
    }
    return true;
}

ScaleList ScaleList::parse(const QByteArray &utf8)
{
    ScaleList list;
    struct Pending {
        ScaleEntry entry;
        int line = 0;
        bool bad = false;
        bool hasPort = false;
    };
    std::optional<Pending> group;
    QStringList seen; // every group's name, a left-out one's too: a second one is no merge

    const auto finish = [&] {
        if (!group)
            return;
        if (!group->hasPort && !group->bad) {
            list.m_problems << lineProblem(group->line, msg::text(msg::ScalesNoPort).arg(group->entry.name));
            group->bad = true;
        }
        if (!group->bad)
            list.m_scales << group->entry;
        group.reset();
    };
    const QStringList lines = QString::fromUtf8(utf8).split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int lineNo = int(i + 1);
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            finish();
            const QString name = line.mid(1, line.size() - 2).trimmed();
            group = Pending{ScaleEntry{name, {}, DefaultLineSpeed, 1}, lineNo, false, false};
            if (!validName(name)) {
                list.m_problems << lineProblem(lineNo, msg::text(msg::ScalesBadName).arg(name));
                group->bad = true;
            } else if (seen.contains(name)) {
                list.m_problems << lineProblem(lineNo, msg::text(msg::ScalesDuplicate).arg(name));
                group->bad = true;
            }
            seen << name;
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0 || !group) {
            list.m_problems << lineProblem(lineNo, msg::text(msg::ScalesBadLine));
            if (group)
                group->bad = true;
            continue;
        }
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        bool ok = true;
        if (key == QLatin1String("port")) {
            ok = validPort(value);
            if (!ok)
                list.m_problems << lineProblem(lineNo, badPort(value));
            group->entry.port = value;
            group->hasPort = ok;
        } else if (key == QLatin1String("speed") || key == QLatin1String("number")) {
            const bool speed = key == QLatin1String("speed");
            const int n = value.toInt(&ok);
            ok = ok && (speed ? n > 0 : n >= 0 && n <= 255);
            if (!ok)
                list.m_problems << lineProblem(lineNo, msg::text(msg::ScalesBadValue).arg(key, value));
            else if (speed)
                group->entry.speed = n;
            else
                group->entry.number = n;
        } else {
            ok = false;
            list.m_problems << lineProblem(lineNo, msg::text(msg::ScalesUnknownKey).arg(key));
        }
        if (!ok)
            group->bad = true;
    }
    finish();
    return list;
}

ScaleList ScaleList::load(const QString &workDir, const PortConfig &single, bool *missing)
{
    QFile file(QDir(workDir).filePath(QString::fromLatin1(FileName)));
    const bool there = file.exists();
    if (missing)
        *missing = !there;
    if (there) {
        if (file.open(QIODevice::ReadOnly))
            return parse(file.readAll());
        ScaleList unreadable;
        unreadable.m_problems << QStringLiteral("%1: %2").arg(file.fileName(), file.errorString());
        return unreadable;
    }
    ScaleList one;
    const QString port = QString::fromLocal8Bit(single.portName);
    const QString name = portAsName(port, QLatin1Char('_'));
    one.m_scales << ScaleEntry{validName(name) ? name : QStringLiteral("scale"), port, single.baudRate,
                               int(single.lastScaleNumber)};
    return one;
}

bool ScaleList::keepPort(const QString &workDir, const PortConfig &single, const QString &port, QString &error)
{
    bool missing = false;
    ScaleList list = load(workDir, single, &missing);
    if (!list.problems().isEmpty()) {
        error = list.problems().join(QLatin1Char('\n'));
        return false;
    }
    for (const ScaleEntry &s : list.scales()) {
        if (s.port == port)
            return true;
    }
    // A device path is named by its last part, which tells the adapter.
    const QString named = port.startsWith(QLatin1Char('/')) ? port.section(QLatin1Char('/'), -1) : port;
    ScaleEntry scale{portAsName(named, QLatin1Char('-')), port, single.baudRate, int(single.lastScaleNumber)};
    scale.name.truncate(MaxNameLength);
    return list.add(scale, error) && list.save(workDir, error);
}

QString ScaleList::nameOfPort(const QString &port) const
{
    // "pts/3" in "fbdves.cfg" and "/dev/pts/3" in the list are one port.
    for (const ScaleEntry &s : m_scales) {
        if (s.port == port || LinkPort::pathFor(s.port) == LinkPort::pathFor(port))
            return s.name;
    }
    const QString name = portAsName(port, QLatin1Char('_'));
    return validName(name) ? name : QStringLiteral("scale");
}

const ScaleEntry *ScaleList::find(const QString &name) const
{
    for (const ScaleEntry &s : m_scales) {
        if (s.name == name)
            return &s;
    }
    return nullptr;
}

std::optional<QList<ScaleEntry>> ScaleList::pick(const QString &names, QString &error) const
{
    if (names == QLatin1String("all"))
        return m_scales;
    QList<ScaleEntry> out;
    for (const QString &raw : names.split(QLatin1Char(','))) {
        const QString name = raw.trimmed();
        const ScaleEntry *s = find(name);
        if (!s) {
            error = msg::text(msg::ScalesUnknownName).arg(name);
            return std::nullopt;
        }
        bool twice = false;
        for (const ScaleEntry &taken : out)
            twice = twice || taken.name == name;
        if (!twice)
            out << *s;
    }
    return out;
}

bool ScaleList::add(const ScaleEntry &scale, QString &error)
{
    if (!validName(scale.name)) {
        error = msg::text(msg::ScalesBadName).arg(scale.name);
        return false;
    }
    if (find(scale.name)) {
        error = msg::text(msg::ScalesNameTaken).arg(scale.name);
        return false;
    }
    if (!validPort(scale.port)) {
        error = badPort(scale.port);
        return false;
    }
    m_scales << scale;
    return true;
}

bool ScaleList::remove(const QString &name)
{
    for (qsizetype i = 0; i < m_scales.size(); ++i) {
        if (m_scales[i].name == name) {
            m_scales.removeAt(i);
            return true;
        }
    }
    return false;
}

QByteArray ScaleList::toText() const
{
    QString text;
    for (const ScaleEntry &s : m_scales) {
        if (!text.isEmpty())
            text += QLatin1Char('\n');
        text += QStringLiteral("[%1]\nport=%2\nspeed=%3\nnumber=%4\n").arg(s.name, s.port).arg(s.speed).arg(s.number);
    }
    return text.toUtf8();
}

bool ScaleList::save(const QString &workDir, QString &error) const
{
    const QString path = QDir(workDir).filePath(QString::fromLatin1(FileName));
    if (const QString why = replaceFileWhole(path, toText()); !why.isEmpty()) {
        error = msg::text(msg::FileNotWritten).arg(path, why);
        return false;
    }
    return true;
}

} // namespace ztk
