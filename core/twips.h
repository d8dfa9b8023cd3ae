#pragma once

#include <QRect>

// Window layouts are designed in twips (1440 to the inch, 15 to a pixel at 96
// dots per inch). Qt's device-independent pixels are 96 to the inch, so a
// twip value divided by 15 is a logical pixel on every screen.
namespace orvandel {

inline constexpr int TwipsPerPixel = 15;

// Height of the title bar and borders of a designed window, in twips: the
// difference between a form's outer height and its client area.
inline constexpr int FrameHeightTwips = 330;

// To the nearest pixel, a half pixel away from zero on either side, so that a
// control placed above or left of its window lands where it was drawn.
constexpr int px(int twips) {
    const int half = TwipsPerPixel / 2;
    return (twips < 0 ? twips - half : twips + half) / TwipsPerPixel;
}
constexpr int twips(int pixels) {
    return pixels * TwipsPerPixel;
}

inline QRect twipsRect(int left, int top, int width, int height) {
    return {px(left), px(top), px(width), px(height)};
}

} // namespace orvandel
