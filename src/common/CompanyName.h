#pragma once
// What the scale can show as the company name: at most NameSize characters (one byte
// each in code page 866, counted after composing), each one 866 has and none a
// control character. The common-data window refuses anything else as it is typed.

#include <QString>

namespace ztk::common {

struct CompanyNameCheck {
    enum class Fault { None, TooLong, NotShown };
    Fault fault = Fault::None;
    QString character; // the first character the scale cannot show (NotShown)

    bool ok() const { return fault == Fault::None; }
};

CompanyNameCheck checkCompanyName(const QString &text);

// What is wrong with the name, for the operator; empty when nothing is.
QString companyNameHint(const CompanyNameCheck &check);

} // namespace ztk::common
