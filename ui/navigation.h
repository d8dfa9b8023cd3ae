#pragma once

class QWidget;

// How the windows lead from one to the next. Only one window is loaded at a
// time: the next one is loaded and shown, then the current one closes.
namespace orvandel {

// The next window is already loaded (constructed); shows it modeless without
// an owner, then closes `from`.
void handOver(QWidget *from, QWidget *next);

// Loads a fresh opening screen. The opening screen sits above the windows
// that go back to it, so it makes itself known here when the program starts.
using OpeningFactory = QWidget *(*)();
void setOpeningFactory(OpeningFactory factory);

// Hands over from `from` to a freshly loaded opening screen.
void showOpening(QWidget *from);

} // namespace orvandel
