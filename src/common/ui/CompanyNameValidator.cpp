#include "common/ui/CompanyNameValidator.h"

#include <QLineEdit>

CompanyNameValidator::CompanyNameValidator(QLineEdit *box) : QValidator(box), m_box(box), m_shown(box->text())
{
    connect(box, &QLineEdit::textChanged, this, [this](const QString &text) { m_shown = text; });
    box->setValidator(this);
}

QValidator::State CompanyNameValidator::validate(QString &input, int &) const
{
    const ztk::common::CompanyNameCheck check = ztk::common::checkCompanyName(input);
    if (check.ok())
        return Acceptable;
    // Intermediate, not Invalid: the box refuses later edits only after a text it took.
    if (input.size() < m_shown.size() || input == m_given)
        return Intermediate;
    m_refused = check;
    return Invalid;
}

void CompanyNameValidator::setBoxText(const QString &text)
{
    m_given = text;
    m_box->setText(text);
}
