#include "app/ui/TextFit.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QStyleOptionFrame>
#include <QRadioButton>
#include <QStyle>
#include <QTableView>

namespace ztk {

namespace {

const QStringList kNarrowFamilies = {QStringLiteral("Liberation Sans Narrow"), QStringLiteral("DejaVu Sans Condensed"),
                                     QStringLiteral("Noto Sans")};

bool allFit(const QFont &font, std::span<const TextBox> boxes)
{
    const QFontMetrics fm(font);
    for (const TextBox &box : boxes) {
        for (const QString &text : box.texts) {
            if (fm.horizontalAdvance(text) > box.width)
                return false;
        }
    }
    return true;
}

QString shownText(const QWidget *w)
{
    if (auto *label = qobject_cast<const QLabel *>(w))
        return label->text();
    if (auto *button = qobject_cast<const QAbstractButton *>(w))
        return button->text().remove(QLatin1Char('&'));
    return QString();
}

} // namespace

QFont fittedFont(const QFont &base, const QStringList &texts, int width, int minPixelSize)
{
    const TextBox box{texts, width};
    return fittedFont(base, std::span<const TextBox>(&box, 1), minPixelSize);
}

QFont fittedFont(const QFont &base, std::span<const TextBox> boxes, int minPixelSize)
{
    const int designSize = base.pixelSize() > 0 ? base.pixelSize() : QFontMetrics(base).height();
    for (int px = designSize; px >= minPixelSize; --px) {
        QFont f = base;
        f.setPixelSize(px);
        if (allFit(f, boxes))
            return f;
        for (const QString &family : kNarrowFamilies) {
            f.setFamilies({family});
            f.setStretch(QFont::AnyStretch);
            if (QFontInfo(f).family() == family && allFit(f, boxes))
                return f;
        }
    }
    QFont f = base;
    f.setPixelSize(minPixelSize);
    return f;
}

int textRoom(const QWidget *w)
{
    const QStyle *style = w->style();
    if (qobject_cast<const QRadioButton *>(w))
        return w->width() - style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, w)
            - style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, w);
    if (qobject_cast<const QCheckBox *>(w))
        return w->width() - style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, w)
            - style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, w);
    if (auto *label = qobject_cast<const QLabel *>(w))
        return label->contentsRect().width() - 2 * label->margin() - qMax(0, label->indent());
    return w->width();
}

void fitToBox(QWidget *w, const QStringList &laterTexts)
{
    QStringList texts = laterTexts;
    if (!shownText(w).isEmpty())
        texts << shownText(w);
    if (!texts.isEmpty())
        w->setFont(fittedFont(w->font(), texts, textRoom(w)));
}

int lineEditTextRoom(const QLineEdit *box)
{
    QStyleOptionFrame opt;
    opt.initFrom(box);
    opt.lineWidth = box->hasFrame() ? box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, box) : 0;
    const QMargins margins = box->textMargins();
    // QLineEdit keeps two pixels on either side of its text.
    return box->style()->subElementRect(QStyle::SE_LineEditContents, &opt, box).width() - margins.left()
        - margins.right() - 4;
}

int cellTextRoom(const QTableView *grid, int columnWidth)
{
    // The delegate's margins on both sides, and the grid line.
    const int margin = grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1;
    return columnWidth - 2 * margin - (grid->showGrid() ? 1 : 0);
}

int headerTextRoom(const QTableView *grid, int columnWidth)
{
    const QHeaderView *header = grid->horizontalHeader();
    return columnWidth - 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
}

} // namespace ztk
