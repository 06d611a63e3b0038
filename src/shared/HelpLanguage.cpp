#include "shared/HelpLanguage.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QTranslator>

namespace ztk {

bool prefersRussian(const QStringList &uiLanguages)
{
    for (const QString &language : uiLanguages) {
        const QString code = language.section(QLatin1Char('-'), 0, 0).section(QLatin1Char('_'), 0, 0);
        if (code.compare(QLatin1String("ru"), Qt::CaseInsensitive) == 0)
            return true;
        if (code.compare(QLatin1String("en"), Qt::CaseInsensitive) == 0 || code == QLatin1String("C")
            || code == QLatin1String("POSIX"))
            return false;
    }
    return false;
}

QStringList translationFolders()
{
    const QDir binary(QCoreApplication::applicationDirPath());
    return {binary.filePath(QStringLiteral("translations")),
            QDir::cleanPath(binary.filePath(QStringLiteral("../share/ztk/translations")))};
}

void installHelpTranslation(const QString &program)
{
    if (!prefersRussian(QLocale::system().uiLanguages()))
        return;
    auto *translator = new QTranslator(QCoreApplication::instance()); // the application owns it
    for (const QString &folder : translationFolders()) {
        if (translator->load(program + QStringLiteral("_ru"), folder)) {
            QCoreApplication::installTranslator(translator);
            return;
        }
    }
    delete translator;
}

} // namespace ztk
