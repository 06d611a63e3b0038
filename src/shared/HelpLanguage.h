#pragma once
// The help and the manual page in the user's language. The English texts are the
// sources in the code; the Russian ones come from PROGRAM_ru.qm (translations/).

#include <QString>
#include <QStringList>

namespace ztk {

// Whether languages, most wanted first as QLocale::uiLanguages() gives them (LANGUAGE,
// else LC_ALL, LC_MESSAGES, LANG), ask for Russian: the first that is Russian or English
// (or C) decides; none of them, English.
bool prefersRussian(const QStringList &uiLanguages);

// Where PROGRAM_ru.qm is looked for: translations/ beside the binary (the build tree),
// then ../share/ztk/translations (the installed package).
QStringList translationFolders();

// Installs the Russian texts of `program` when the system's locale prefers Russian; an
// application must exist. Without the file the help stays English.
void installHelpTranslation(const QString &program);

} // namespace ztk
