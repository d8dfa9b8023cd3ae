#pragma once

#include <QRect>
#include <QWidget>

class QKeyEvent;
class QPushButton;

// Window layouts are designed in twips (1440 to the inch, 15 to a pixel at 96
// dots per inch). Qt's device-independent pixels are 96 to the inch, so a
// twip value divided by 15 is a logical pixel on every screen.
namespace orvandel {

inline constexpr int TwipsPerPixel = 15;

// Height of the title bar and borders of a designed window, in twips: the
// difference between a form's outer height and its client area.
inline constexpr int FrameHeightTwips = 330;

constexpr int px(int twips) {
    return (twips + TwipsPerPixel / 2) / TwipsPerPixel;
}
constexpr int twips(int pixels) {
    return pixels * TwipsPerPixel;
}

inline QRect twipsRect(int left, int top, int width, int height) {
    return {px(left), px(top), px(width), px(height)};
}

// Places a control at its designed twips position.
void place(QWidget *control, int left, int top, int width, int height);

// Keeps the left and top of a label and sizes it to its text.
void sizeToText(QWidget *label);

// Client size of a form whose outer height is `formHeightTwips`.
void setFormSize(QWidget *form, int clientWidthTwips, int formHeightTwips);

// Centres the window on its screen: top = (screen height - window height) / 2,
// then left the same way, for the window's outer size, title bar included.
void centreOnScreen(QWidget *window);

// The common frame of every window: caption, the program's icon, deleted when
// closed. Does not show it.
void prepareWindow(QWidget *window, const QString &name, const QString &caption);

// Enter on a form whose OK answers it: a focused button takes Enter itself,
// anywhere else it presses `okButton`. True when the key was Enter.
bool pressWithEnter(QWidget *form, QKeyEvent *event, QPushButton *okButton);

// Hands over from one window to the next: the next window is already loaded
// (constructed); show it modeless without an owner, then close `from`.
void handOver(QWidget *from, QWidget *next);

} // namespace orvandel
