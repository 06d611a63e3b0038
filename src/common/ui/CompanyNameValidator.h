#pragma once
// The validator of a company-name box: an edit that would make a name the scale cannot
// show (common::checkCompanyName) is refused, and refused() says why. A name the
// program puts in (setBoxText) is taken as it is, and shortening it always is, so
// that it can be mended.

#include "common/CompanyName.h"

#include <QValidator>

class QLineEdit;

class CompanyNameValidator : public QValidator {
    Q_OBJECT
public:
    // Becomes the validator of `box`, which owns it.
    explicit CompanyNameValidator(QLineEdit *box);
    State validate(QString &input, int &pos) const override;
    // The box shows `text`, whether the scale could show it or not.
    void setBoxText(const QString &text);
    // What the last refused edit would have got wrong.
    const ztk::common::CompanyNameCheck &refused() const { return m_refused; }

private:
    QLineEdit *m_box = nullptr;
    QString m_shown; // the box's text before the edit validated
    QString m_given; // the text setBoxText put in
    mutable ztk::common::CompanyNameCheck m_refused; // validate() is const, the box calls it
};
