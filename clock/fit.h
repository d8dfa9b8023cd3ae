#pragma once

#include <QPointF>
#include <QRect>
#include <QSize>

namespace orvandel {

// A design drawn in twips, laid out at the largest uniform scale that fits a
// window and centred in it, so the digits fill the same share of any screen.
struct Fit {
    qreal scale = 0;  // window pixels per designed pixel (twips / 15)
    QPointF origin{}; // window position of the design's top left corner

    // A designed rectangle, in twips, as window pixels.
    QRect map(int left, int top, int width, int height) const;
    // A font of `points` points at 96 dots per inch, scaled, in pixels (at least 1).
    int fontPixels(qreal points) const;
    // A designed length in pixels, scaled (at least 1).
    int pixels(int designPixels) const;
};

// Fits a design of `designTwips` into a window of `window` pixels.
Fit fitDesign(QSize window, QSize designTwips);

} // namespace orvandel
