#include "app/ui/Pd1Layout.h"

#include <QSize>

#include <array>

namespace ztk {

namespace {

constexpr bool Fixed = false;
constexpr bool Scales = true;

const std::array kLayout = {
    // Tool row, status and selection: the design keeps them where they are.
    ReferencePlace{"SpeedButton2", {8, 2, 23, 22}, Fixed},
    ReferencePlace{"SpeedButton3", {31, 2, 23, 22}, Fixed},
    ReferencePlace{"SpeedButton4", {55, 2, 23, 22}, Fixed},
    ReferencePlace{"SpeedButton5", {79, 2, 23, 22}, Fixed},
    ReferencePlace{"SpeedButton6", {103, 2, 23, 22}, Fixed},
    ReferencePlace{"SpeedButton7", {127, 2, 23, 22}, Fixed},
    ReferencePlace{"SpeedButton8", {190, 2, 23, 22}, Fixed},
    ReferencePlace{"Label20", {0, 27, 200, 24}, Fixed},
    ReferencePlace{"Label2", {8, 55, 120, 20}, Fixed},
    ReferencePlace{"Label9", {0, 78, 140, 20}, Fixed},
    ReferencePlace{"Label1", {544, 3, 190, 16}, Fixed},
    ReferencePlace{"CheckBox2", {150, 80, 68, 20}, Fixed},
    ReferencePlace{"RadioGroup1", {221, 0, 321, 97}, Fixed},
    // Three columns of four over the group's frame, the longest texts to the right.
    ReferencePlace{"RadioButton1", {227, 15, 90, 19}, Fixed},
    ReferencePlace{"RadioButton2", {227, 35, 90, 19}, Fixed},
    ReferencePlace{"RadioButton3", {227, 55, 90, 19}, Fixed},
    ReferencePlace{"RadioButton4", {227, 75, 90, 19}, Fixed},
    ReferencePlace{"RadioButton5", {317, 15, 110, 19}, Fixed},
    ReferencePlace{"RadioButton6", {317, 35, 110, 19}, Fixed},
    ReferencePlace{"RadioButton14", {317, 55, 110, 19}, Fixed},
    ReferencePlace{"RadioButton15", {317, 75, 110, 19}, Fixed},
    ReferencePlace{"RadioButton16", {427, 15, 112, 19}, Fixed},
    ReferencePlace{"RadioButton7", {427, 35, 112, 19}, Fixed},
    ReferencePlace{"RadioButton10", {427, 55, 112, 19}, Fixed},
    ReferencePlace{"RadioButton17", {427, 75, 112, 19}, Fixed},
    // Short of the calendar's left edge also when the window starts without a frame.
    ReferencePlace{"Edit1", {548, 24, 180, 21}, Fixed},
    ReferencePlace{"Edit4", {548, 24, 60, 21}, Fixed},
    ReferencePlace{"Edit5", {616, 24, 60, 21}, Fixed},
    ReferencePlace{"CSpinEdit1", {548, 24, 60, 22}, Fixed},
    ReferencePlace{"Edit2", {548, 50, 80, 21}, Fixed},
    ReferencePlace{"DBEdit9", {96, 256, 24, 24}, Fixed},
    ReferencePlace{"DBEdit14", {129, 290, 97, 24}, Fixed},
    ReferencePlace{"DBEdit61", {847, 440, 92, 24}, Fixed},
    // The grid, the calendar, the clock and the detail panel follow the window.
    ReferencePlace{"DBGrid1", {8, 112, 681, 457}, Scales},
    ReferencePlace{"MonthCalendar1", {737, 0, 190, 153}, Scales},
    ReferencePlace{"Edit3", {794, 156, 89, 28}, Scales},
    ReferencePlace{"GroupBox1", {698, 192, 248, 329}, Scales},
    ReferencePlace{"Label4", {63, 20, 114, 13}, Scales},
    ReferencePlace{"Label6", {9, 149, 72, 13}, Scales},
    ReferencePlace{"Label7", {103, 149, 46, 13}, Scales},
    ReferencePlace{"Label5", {181, 149, 52, 13}, Scales},
    ReferencePlace{"Label8", {23, 199, 26, 13}, Scales},
    ReferencePlace{"Label3", {181, 199, 48, 13}, Scales},
    ReferencePlace{"Label11", {21, 243, 57, 13}, Scales},
    ReferencePlace{"Label14", {127, 243, 99, 13}, Scales},
    ReferencePlace{"Label15", {3, 46, 6, 13}, Scales},
    ReferencePlace{"Label17", {3, 65, 6, 13}, Scales},
    ReferencePlace{"Label19", {3, 84, 6, 13}, Scales},
    ReferencePlace{"Label21", {3, 105, 6, 13}, Scales},
    ReferencePlace{"Label22", {3, 124, 6, 13}, Scales},
    ReferencePlace{"DBEdit1", {708, 232, 233, 24}, Scales},
    ReferencePlace{"DBEdit2", {708, 252, 233, 24}, Scales},
    ReferencePlace{"DBEdit3", {708, 272, 233, 24}, Scales},
    ReferencePlace{"DBEdit4", {708, 292, 233, 24}, Scales},
    ReferencePlace{"DBEdit5", {708, 312, 233, 24}, Scales},
    ReferencePlace{"DBEdit8", {16, 162, 57, 32}, Scales},
    ReferencePlace{"DBEdit13", {104, 162, 41, 32}, Scales},
    ReferencePlace{"DBEdit7", {176, 162, 57, 32}, Scales},
    ReferencePlace{"DBEdit10", {15, 212, 66, 32}, Scales},
    ReferencePlace{"DBEdit6", {847, 405, 92, 32}, Scales},
    ReferencePlace{"ComboBox1", {24, 256, 65, 32}, Scales},
    ReferencePlace{"DBEdit11", {129, 256, 97, 32}, Scales},
    ReferencePlace{"BitBtn1", {697, 533, 257, 29}, Scales},
};

} // namespace

std::span<const ReferencePlace> mainWindowLayout()
{
    return kLayout;
}

QRect scaledPlace(const QRect &r, const QSize &outer)
{
    const qint64 W = qMax(0, outer.width());
    const qint64 H = qMax(0, outer.height());
    return QRect(int(W * r.left() / MainReferenceWidth), int(H * r.top() / MainReferenceHeight),
                 int(W * r.width() / MainReferenceWidth), int(H * r.height() / MainReferenceHeight));
}

} // namespace ztk
