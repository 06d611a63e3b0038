#pragma once
// The main window's reference geometry at the design size: where each control lies,
// relative to its parent, and whether it follows the window's size. Built into the
// window by buildControls, followed by FormResize, checked by the layout test.

#include <QRect>

#include <span>

namespace ztk {

struct ReferencePlace {
    const char *name; // the control's object name
    QRect rect;       // at 965 x 654
    bool scales;      // follows the outer size; else stays where the design put it
};

inline constexpr int MainReferenceWidth = 965;
inline constexpr int MainReferenceHeight = 654;

std::span<const ReferencePlace> mainWindowLayout();

// The place of a scaling control when the window's outer size is `outer`.
QRect scaledPlace(const QRect &reference, const QSize &outer);

} // namespace ztk
