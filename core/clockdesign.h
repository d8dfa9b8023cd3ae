#pragma once

#include <QByteArray>
#include <QRect>
#include <QtGlobal>
#include <span>

// The clock's design as one table: each label of the clock window with its
// caption, colour, font and box in twips, and where it goes when the face is
// stacked on a phone held upright. The window is built from it, and the live
// pages lay themselves out from it.
namespace orvandel {

struct LabelDesign {
    const char *name; // the control's objectName
    const char *caption;
    unsigned int colour; // 0x00BBGGRR
    qreal points;
    bool centred; // else left-aligned
    bool italic;
    QRect twips;
    int stackRow;    // its place, top to bottom, on an upright phone
    qreal stackSize; // its font there, in hundredths of the screen's width
};

// The size the window fits to its screen: the next level's big blind and the
// picture reach past the designed client area.
inline constexpr int FittedWidth = 15375;
inline constexpr int FittedHeight = 9600;

// The labels, in the window's order.
std::span<const LabelDesign> clockLabels();

// The labels a clock makes only when it needs them: the antes, the next
// break and the break's note of a structure, and the players' figures. They
// lie in the design's free space, over no label of the table above.
std::span<const LabelDesign> extraLabels();
// The label of that name from either table, or nullptr.
const LabelDesign *labelDesign(const char *name);

// The black line between this level and the next: its box (zero height) and
// its thickness in designed pixels, and its row on an upright phone.
struct LineDesign {
    QRect twips;
    int pixels;
    int stackRow;
};
LineDesign clockLine();

// {"width": W, "height": H, "line": {...}, "labels": [{"name", "left", "top",
//  "width", "height", "points", "centred", "italic", "stackRow", "stackSize"}]}
QByteArray designToJson();

} // namespace orvandel
