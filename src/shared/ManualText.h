#pragma once
// A program's manual, written once and given two ways: as the plain text of --help
// and as a manual page (groff, man(7) macros) for man(1). Its texts are in the user's
// language (HelpLanguage.h), and so are the words this file adds.

#include <QString>
#include <QStringList>

#include <vector>

class QCommandLineParser;

namespace ztk {

struct ManualEntry {
    QString term; // "--dir DIR", a file name, a variable, an exit code
    QString text;
};

struct ManualSection {
    QString title;
    QStringList paragraphs;
    std::vector<ManualEntry> entries;
    std::vector<ManualSection> subsections;
};

struct Manual {
    QString name;     // "ztk-cli"
    QString purpose;  // the line after the name
    QString synopsis; // "ztk-cli [--dir DIR] COMMAND [ARGS]"
    QString version;  // shown in the page's footer
    std::vector<ManualSection> sections;
};

// "Does this." from "does this" (the one-line texts of the option tables).
QString sentence(const QString &text);
// An option's entry: "--name VALUE" (no value: a flag) and its help, already in the
// user's language, as a sentence.
ManualEntry optionEntry(const char *name, const char *value, const QString &help);
// The entries of -h/--help and --version, which every program has.
void appendStandardOptions(ManualSection &options);

// Adds -h/--help, --version and --manual-page (the page, made at build time) to `line`.
void addStandardOptions(QCommandLineParser &line);
// Whether the parsed `line` asks for the help, the version or the manual page.
bool asksStandardAnswer(const QCommandLineParser &line);
// When it does, writes it to standard output and returns true.
bool answerStandardOptions(const QCommandLineParser &line, const Manual &manual);

// "usage: SYNOPSIS", the purpose, then every section; terms in a column of their own.
QString manualPlainText(const Manual &manual);
// The same as a page of section 1.
QString manualPage(const Manual &manual);
// One section alone as plain text (the help of one command).
QString sectionPlainText(const ManualSection &section, int indent = 0);

} // namespace ztk
