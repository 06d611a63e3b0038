// The main window's look: fonts fitted to the design's boxes, the pictures of the
// speed buttons.

#include "app/ui/Pd1.h"

#include "app/ui/Pd1Layout.h"
#include "app/ui/TextFit.h"
#include "products/ProductTableModel.h"
#include "shared/Messages.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QToolButton>

namespace msg = ztk::msg;

namespace {

// The widest text each grid column shows in a working base.
QStringList columnSamples(int column)
{
    using M = ztk::ProductTableModel;
    switch (column) {
    case M::ColN:
        return {QStringLiteral("0101"), QStringLiteral("5000")};
    case M::ColSK5:
        return {QStringLiteral("20001")};
    case M::ColPrice:
        return {QStringLiteral("1149.00"), QStringLiteral("1149,00")};
    case M::ColPrefix:
        return {QStringLiteral("99")};
    case M::ColType:
        return {msg::text(msg::TypeWeight), msg::text(msg::TypePiece)};
    case M::ColGoden:
        return {QStringLiteral("27.06.30")};
    case M::ColDcorr:
        return {QStringLiteral("03.12.26 14:41:03")};
    default:
        return {};
    }
}

} // namespace

void TForm1::fitTexts()
{
    // Texts that change while the program runs fit with their longest forms.
    const QStringList later[] = {
        {msg::text(msg::PortLabelNoLink), QStringLiteral("ttyUSB0")},
        {msg::text(msg::BaudLabelNotSet), QStringLiteral("115200")},
        {msg::text(msg::RecordsPrefix) + QStringLiteral("5000")},
        {msg::text(msg::LinkUp), msg::text(msg::LinkDown)},
    };
    QLabel *const changing[] = {Label20, Label2, Label9, Label1};
    for (const ztk::ReferencePlace &place : ztk::mainWindowLayout()) {
        QWidget *w = findChild<QWidget *>(QLatin1String(place.name));
        if (!qobject_cast<QLabel *>(w) && !qobject_cast<QRadioButton *>(w) && !qobject_cast<QCheckBox *>(w))
            continue;
        const auto it = std::find(std::begin(changing), std::end(changing), w);
        ztk::fitToBox(w, it == std::end(changing) ? QStringList() : later[it - std::begin(changing)]);
    }

    // The panel's boxes hold the longest value of their field.
    const std::pair<QLineEdit *, QStringList> boxes[] = {
        {DBEdit8, {QStringLiteral("5000")}},
        {DBEdit13, {QStringLiteral("99")}},
        {DBEdit7, {QStringLiteral("99999")}},
        {DBEdit10, {QStringLiteral("1149.00"), QStringLiteral("1149,00")}},
        {DBEdit6, {QStringLiteral("30.06.27")}},
        {DBEdit11, {QStringLiteral("03.12.26 14:41:03")}},
    };
    for (const auto &[box, samples] : boxes)
        box->setFont(ztk::fittedFont(box->font(), samples, ztk::lineEditTextRoom(box)));

    std::vector<ztk::TextBox> cells;
    std::vector<ztk::TextBox> titles;
    for (int column = 0; column < ztk::ProductTableModel::ColumnCount; ++column) {
        const int width = ztk::ProductTableModel::referenceWidth(column);
        cells.push_back({columnSamples(column), ztk::cellTextRoom(DBGrid1, width)});
        titles.push_back({{m_model->headerData(column, Qt::Horizontal).toString()}, ztk::headerTextRoom(DBGrid1, width)});
    }
    DBGrid1->setFont(ztk::fittedFont(DBGrid1->font(), cells));
    QHeaderView *header = DBGrid1->horizontalHeader();
    header->setFont(ztk::fittedFont(header->font(), titles));
}

// ---------------------------------------------------------------- speed buttons

namespace {

// The theme's picture of a standard action, else one drawn here (a printer for no glyph).
QIcon themedOr(const char *themeName, const QString &glyph, const QColor &colour)
{
    const QIcon themed = QIcon::fromTheme(QString::fromLatin1(themeName));
    if (!themed.isNull())
        return themed;
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QFont f;
    f.setPixelSize(15);
    f.setBold(true);
    p.setFont(f);
    p.setPen(colour);
    if (glyph.isEmpty()) {
        // A printer: paper above the body, paper out of the slot.
        p.setBrush(Qt::white);
        p.drawRect(4, 1, 8, 5);
        p.setBrush(colour);
        p.drawRoundedRect(1, 6, 14, 6, 1.5, 1.5);
        p.setBrush(Qt::white);
        p.drawRect(4, 10, 8, 5);
    } else {
        p.drawText(pm.rect(), Qt::AlignCenter, glyph);
    }
    return QIcon(pm);
}

} // namespace

void TForm1::setSpeedButtonPictures()
{
    const struct {
        QToolButton *button;
        const char *themeName;
        const char *glyph;
        QColor colour;
    } pictures[] = {
        {SpeedButton2, "list-add", "+", Qt::darkGreen},       {SpeedButton3, "list-remove", "−", Qt::darkRed},
        {SpeedButton4, "edit-delete", "×", Qt::red},          {SpeedButton5, "edit-clear", "○", Qt::darkBlue},
        {SpeedButton6, "edit-copy", "≡", Qt::darkBlue},       {SpeedButton7, "edit-paste", "⇄", Qt::darkBlue},
        {SpeedButton8, "document-print", "", Qt::darkGray}, // drawn as a printer
    };
    for (const auto &p : pictures)
        p.button->setIcon(themedOr(p.themeName, QString::fromUtf8(p.glyph), p.colour));
    BitBtn1->setIcon(themedOr("document-save", QStringLiteral("✓"), Qt::darkGreen));
}
