// The company name the scale can show: its length after composing and the characters
// of code page 866, and the hint the window gives for each fault.

#include "common/CompanyName.h"

#include <gtest/gtest.h>

#include <QString>

using namespace ztk::common;

namespace {

using Fault = CompanyNameCheck::Fault;

TEST(CompanyName, LengthAndCharactersTheScaleShows)
{
    const QString breveY = QStringLiteral("и") + QChar(0x0306); // "й" typed as two characters
    struct Case {
        QString text;
        Fault fault;
        QString character;
        QString hint;
    } cases[] = {
        {QString(), Fault::None, {}, {}},
        {QString(28, QLatin1Char('A')), Fault::None, {}, {}},
        {QString(29, QLatin1Char('A')), Fault::TooLong, {}, QStringLiteral("Не более 28 знаков")},
        {QStringLiteral("Магазин «Ёлка»"), Fault::NotShown, QStringLiteral("«"), QStringLiteral("Знак ««» весы показать не могут")},
        {QStringLiteral("Магазин №1 Ёлка ─ 50% ?"), Fault::None, {}, {}},
        {QString(28, QChar(0x0439)), Fault::None, {}, {}},
        {breveY.repeated(28), Fault::None, {}, {}},   // 56 characters typed, 28 sent
        {breveY.repeated(29), Fault::TooLong, {}, QStringLiteral("Не более 28 знаков")},
        {QStringLiteral("Café"), Fault::NotShown, QStringLiteral("é"), QStringLiteral("Знак «é» весы показать не могут")},
        {QStringLiteral("Цена €"), Fault::NotShown, QStringLiteral("€"), QStringLiteral("Знак «€» весы показать не могут")},
        {QStringLiteral("Ґанок"), Fault::NotShown, QStringLiteral("Ґ"), QStringLiteral("Знак «Ґ» весы показать не могут")},
        {QStringLiteral("a\tb"), Fault::NotShown, QStringLiteral("\t"), QStringLiteral("Знак «U+0009» весы показать не могут")},
        {QStringLiteral("a") + QChar(0x7F), Fault::NotShown, QString(QChar(0x7F)), QStringLiteral("Знак «U+007F» весы показать не могут")},
        {QStringLiteral("Чай 😀"), Fault::NotShown, QStringLiteral("😀"), QStringLiteral("Знак «😀» весы показать не могут")},
        // A character the scale lacks is said before the length.
        {QString(30, QLatin1Char('A')) + QStringLiteral("€"), Fault::NotShown, QStringLiteral("€"),
         QStringLiteral("Знак «€» весы показать не могут")},
    };
    for (const Case &c : cases) {
        const CompanyNameCheck check = checkCompanyName(c.text);
        EXPECT_EQ(check.fault, c.fault) << c.text.toStdString();
        EXPECT_EQ(check.ok(), c.fault == Fault::None) << c.text.toStdString();
        EXPECT_EQ(check.character, c.character) << c.text.toStdString();
        EXPECT_EQ(companyNameHint(check), c.hint) << c.text.toStdString();
    }
}

} // namespace
