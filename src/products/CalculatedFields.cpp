#include "products/CalculatedFields.h"

#include "shared/DateText.h"
#include "shared/Messages.h"

#include <cstring>

namespace ztk {

QString CalculatedFields::field(const char *name) const
{
    if (std::strcmp(name, fld::Goden) == 0)
        return goden;
    if (std::strcmp(name, fld::Dcorr) == 0)
        return dcorr;
    if (std::strcmp(name, fld::TypeCal) == 0)
        return typeCal;
    return QString();
}

bool isCalculatedField(const char *name)
{
    return std::strcmp(name, fld::Goden) == 0 || std::strcmp(name, fld::Dcorr) == 0
        || std::strcmp(name, fld::TypeCal) == 0;
}

CalculatedFields calculateFields(const Product &product, const QDateTime &now)
{
    CalculatedFields out;
    const QDate today = now.date();
    const auto bb = datetext::readYearFirst(product.bestBefore, today);
    const std::optional<datetext::WallTime> corr = product.correctionStamp.trimmed().isEmpty()
        ? std::optional<datetext::WallTime>(datetext::WallTime{QDate(1899, 12, 30), QTime(0, 0)})
        : datetext::readStoreStamp(product.correctionStamp, today);
    if (bb && corr) {
        out.goden = datetext::dayFirstWithTime(*bb);
        out.dcorr = datetext::dayFirstWithTime(*corr);
    } else {
        out.dcorr = datetext::dayFirstWithTime(now);
    }
    out.typeCal = msg::text(shownType(product) == ProductType::Weight ? msg::TypeWeight : msg::TypePiece);
    return out;
}

ProductType shownType(const Product &product)
{
    return !product.type.isNull() && product.type == typeText(ProductType::Weight) ? ProductType::Weight
                                                                                   : ProductType::Piece;
}

} // namespace ztk
