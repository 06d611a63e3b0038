#include "common/CompanyName.h"

#include "common/CommonData.h"
#include "shared/CodePage.h"
#include "shared/Messages.h"

namespace ztk::common {

namespace {

bool shownByTheScale(const QString &character)
{
    if (character.size() != 1)
        return false; // beyond the BMP: 866 has none of them
    const char16_t c = character.at(0).unicode();
    if (c < 0x20 || c == 0x7F)
        return false;
    // The code page's own '?' is a character; any other turns into one.
    return c == u'?' || codepage::toCp866(character) != "?";
}

} // namespace

CompanyNameCheck checkCompanyName(const QString &text)
{
    // The scale gets the composed form: "й" typed as и + breve is one byte.
    const QString composed = text.normalized(QString::NormalizationForm_C);
    CompanyNameCheck check;
    int count = 0;
    for (qsizetype i = 0; i < composed.size(); ++i, ++count) {
        const bool pair = composed.at(i).isHighSurrogate() && i + 1 < composed.size() && composed.at(i + 1).isLowSurrogate();
        const QString character = composed.mid(i, pair ? 2 : 1);
        if (pair)
            ++i;
        if (!shownByTheScale(character)) {
            check.fault = CompanyNameCheck::Fault::NotShown;
            check.character = character;
            return check;
        }
    }
    if (count > NameSize)
        check.fault = CompanyNameCheck::Fault::TooLong;
    return check;
}

QString companyNameHint(const CompanyNameCheck &check)
{
    switch (check.fault) {
    case CompanyNameCheck::Fault::None:
        break;
    case CompanyNameCheck::Fault::TooLong:
        return msg::text(msg::CompanyNameTooLong).arg(NameSize);
    case CompanyNameCheck::Fault::NotShown: {
        // A control character is named by its code, as it shows nothing.
        const char32_t code = check.character.toUcs4().value(0);
        const bool printable = QChar::isPrint(code);
        const QString shown = printable ? check.character
                                        : QStringLiteral("U+%1").arg(uint(code), 4, 16, QLatin1Char('0')).toUpper();
        return msg::text(msg::CompanyNameNotShown).arg(shown);
    }
    }
    return QString();
}

} // namespace ztk::common
