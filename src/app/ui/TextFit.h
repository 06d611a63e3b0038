#pragma once
// Fonts chosen by their metrics so that the design's small boxes hold their texts
// with whatever fonts the system has: a narrow family first, then smaller sizes.

#include <QFont>
#include <QStringList>

#include <span>

class QWidget;
class QLineEdit;
class QTableView;

namespace ztk {

// Texts that must fit one width in pixels.
struct TextBox {
    QStringList texts;
    int width = 0;
};

// The largest font not above `base`'s pixel size (the base family kept where it fits,
// else a narrow one) at which every text fits its box; `minPixelSize` at worst.
QFont fittedFont(const QFont &base, std::span<const TextBox> boxes, int minPixelSize = 7);
QFont fittedFont(const QFont &base, const QStringList &texts, int width, int minPixelSize = 7);

// The width a label, radio button or check box leaves for its text.
int textRoom(const QWidget *w);
// Refits a label, radio button or check box to its text (and to the texts it will
// show later) at its present width.
void fitToBox(QWidget *w, const QStringList &laterTexts = {});

// The width a line edit leaves for its text inside its frame and margins.
int lineEditTextRoom(const QLineEdit *box);

// The width a grid cell of `columnWidth` leaves for its text, and a header section.
int cellTextRoom(const QTableView *grid, int columnWidth);
int headerTextRoom(const QTableView *grid, int columnWidth);

} // namespace ztk
