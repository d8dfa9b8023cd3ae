#pragma once

#include <QString>

class QScreen;
class QWidget;

// What every window of the program shares around its controls: its frame,
// its size and place on the screen, and the placing of controls in twips.
namespace orvandel {

// Places a control at its designed twips position.
void place(QWidget *control, int left, int top, int width, int height);

// Keeps the left and top of a label and sizes it to its text.
void sizeToText(QWidget *label);

// Client size of a form whose outer height is `formHeightTwips`.
void setFormSize(QWidget *form, int clientWidthTwips, int formHeightTwips);

// Centres the window on its screen: top = (screen height - window height) / 2,
// then left the same way, for the window's outer size, title bar included.
void centreOnScreen(QWidget *window);

// Shows a small window of the director's (counting, pairing) in front, in
// the middle of `screen`'s free area when there is one, else where it is.
void showInFront(QWidget *window, QScreen *screen);

// The common frame of every window: caption, the program's icon, deleted when
// closed. Does not show it.
void prepareWindow(QWidget *window, const QString &name, const QString &caption);

} // namespace orvandel
