#include "shared/ManualText.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace ztk {

namespace {

constexpr int TermColumn = 24;

void appendEntries(QString &out, const std::vector<ManualEntry> &entries, int indent)
{
    const QString pad(indent, QLatin1Char(' '));
    for (const ManualEntry &e : entries) {
        const QString head = pad + e.term;
        if (head.size() + 2 <= indent + TermColumn)
            out += head.leftJustified(indent + TermColumn) + e.text + QLatin1Char('\n');
        else
            out += head + QLatin1Char('\n') + QString(indent + TermColumn, QLatin1Char(' ')) + e.text + QLatin1Char('\n');
    }
}

// groff reads a backslash as an escape and a leading dot or quote as a request; a
// minus sign written as "-" may be printed as a hyphen, which cannot be typed back.
QString roff(const QString &text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\\'))
            out += QLatin1String("\\e");
        else if (c == QLatin1Char('-') && (i == 0 || text[i - 1].isSpace() || text[i - 1] == QLatin1Char('-')
                                          || text[i - 1] == QLatin1Char('[') || text[i - 1] == QLatin1Char('|')))
            out += QLatin1String("\\-");
        else
            out += c;
    }
    QStringList lines = out.split(QLatin1Char('\n'));
    for (QString &line : lines) {
        if (line.startsWith(QLatin1Char('.')) || line.startsWith(QLatin1Char('\'')))
            line.prepend(QLatin1String("\\&"));
    }
    return lines.join(QLatin1Char('\n'));
}

// A macro's argument: a double quote there would end it.
QString roffArgument(const QString &text)
{
    return roff(text).replace(QLatin1Char('"'), QLatin1String("\\(dq"));
}

void appendPageSection(QString &out, const ManualSection &s, bool sub)
{
    out += (sub ? QLatin1String(".SS ") : QLatin1String(".SH ")) + roffArgument(s.title) + QLatin1Char('\n');
    for (const QString &p : s.paragraphs)
        out += QLatin1String(".PP\n") + roff(p) + QLatin1Char('\n');
    for (const ManualEntry &e : s.entries)
        out += QLatin1String(".TP\n.B ") + roffArgument(e.term) + QLatin1Char('\n') + roff(e.text) + QLatin1Char('\n');
    for (const ManualSection &child : s.subsections)
        appendPageSection(out, child, true);
}

} // namespace

QString sentence(const QString &text)
{
    return text.left(1).toUpper() + text.mid(1) + QLatin1Char('.');
}

ManualEntry optionEntry(const char *name, const char *value, const QString &help)
{
    const QString term = value ? QStringLiteral("--%1 %2").arg(QString::fromUtf8(name), QString::fromUtf8(value))
                               : QStringLiteral("--%1").arg(QString::fromUtf8(name));
    return {term, sentence(help)};
}

void appendStandardOptions(ManualSection &options)
{
    options.entries.push_back(
        {QStringLiteral("-h, --help"), QCoreApplication::translate("ManualText", "Shows this text and stops.")});
    options.entries.push_back(
        {QStringLiteral("--version"), QCoreApplication::translate("ManualText", "Shows the version and stops.")});
}

void addStandardOptions(QCommandLineParser &line)
{
    line.addOption({{QStringLiteral("h"), QStringLiteral("help")}, QString()});
    line.addOption({QStringLiteral("version"), QString()});
    line.addOption({QStringLiteral("manual-page"), QString()});
}

bool asksStandardAnswer(const QCommandLineParser &line)
{
    return line.isSet(QStringLiteral("help")) || line.isSet(QStringLiteral("manual-page"))
        || line.isSet(QStringLiteral("version"));
}

bool answerStandardOptions(const QCommandLineParser &line, const Manual &manual)
{
    QString text;
    if (line.isSet(QStringLiteral("help")))
        text = manualPlainText(manual);
    else if (line.isSet(QStringLiteral("manual-page")))
        text = manualPage(manual);
    else if (line.isSet(QStringLiteral("version")))
        text = manual.name + QLatin1Char(' ') + manual.version + QLatin1Char('\n');
    else
        return false;
    std::fputs(text.toUtf8().constData(), stdout);
    return true;
}

QString sectionPlainText(const ManualSection &section, int indent)
{
    const QString pad(indent, QLatin1Char(' '));
    QString out = pad + section.title + QLatin1Char('\n');
    const QString inner(indent + 2, QLatin1Char(' '));
    for (const QString &p : section.paragraphs)
        out += inner + QString(p).replace(QLatin1Char('\n'), QLatin1Char('\n') + inner) + QLatin1Char('\n');
    appendEntries(out, section.entries, indent + 2);
    for (const ManualSection &child : section.subsections)
        out += QLatin1Char('\n') + sectionPlainText(child, indent + 2);
    return out;
}

QString manualPlainText(const Manual &manual)
{
    QString out = QCoreApplication::translate("ManualText", "usage: %1").arg(manual.synopsis) + QLatin1Char('\n')
        + manual.purpose + QLatin1Char('\n');
    for (const ManualSection &s : manual.sections)
        out += QLatin1Char('\n') + sectionPlainText(s);
    return out;
}

QString manualPage(const Manual &manual)
{
    // The coding line tells man(1) the page is UTF-8 wherever it is installed.
    QString out = QStringLiteral("'\\\" -*- coding: UTF-8 -*-\n");
    out += QStringLiteral(".TH %1 1 \"\" \"%2\" \"%3\"\n")
               .arg(manual.name.toUpper(), roff(manual.name + QLatin1Char(' ') + manual.version),
                    roffArgument(QCoreApplication::translate("ManualText", "User Commands")));
    out += QStringLiteral(".SH %1\n%2 \\- %3\n")
               .arg(roffArgument(QCoreApplication::translate("ManualText", "NAME")), roff(manual.name),
                    roff(manual.purpose));
    out += QStringLiteral(".SH %1\n.nh\n.ad l\n%2\n.ad\n.hy\n")
               .arg(roffArgument(QCoreApplication::translate("ManualText", "SYNOPSIS")), roff(manual.synopsis));
    for (const ManualSection &s : manual.sections)
        appendPageSection(out, s, false);
    return out;
}

} // namespace ztk
