#pragma once
// A program's manual, written once and given two ways: as the plain text of --help
// and as a manual page (groff, man(7) macros) for man(1).

#include <QString>
#include <QStringList>

#include <vector>

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

// "usage: SYNOPSIS", the purpose, then every section; terms in a column of their own.
QString manualPlainText(const Manual &manual);
// The same as a page of section 1.
QString manualPage(const Manual &manual);
// One section alone as plain text (the help of one command).
QString sectionPlainText(const ManualSection &section, int indent = 0);

} // namespace ztk
