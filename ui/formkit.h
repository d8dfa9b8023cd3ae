#pragma once

#include <QString>
#include <QtGlobal>
#include <initializer_list>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

// The few kinds of control the windows are built from. Each window keeps its
// design as a table of these descriptions, and its constructor makes one
// control from each row.
namespace orvandel::formkit {

// Left, top, width and height in twips, relative to the container.
struct Place {
    int left, top, width, height;
};

// A label's font: the window's own, or the named size and weight.
struct Font {
    qreal points = 0; // 0: the window's font
    bool bold = false;
};

enum class Sizing {
    ToText,      // keeps its left and top, sized to its caption
    AtLeastText, // the designed size, grown where the caption needs more
};

enum class Align { TopLeft, Centre };

struct Label {
    const char *name;
    const char *caption;
    Place at;
    Font font = {};
    Sizing sizing = Sizing::ToText;
    Align align = Align::TopLeft;
};

struct Option {
    const char *name;
    const char *caption;
    Place at;
};

// Whether Enter on the form presses the button.
enum class Role { Default, Plain };

struct Button {
    const char *name;
    const char *caption;
    Place at;
    Role role;
};

struct Field {
    const char *name;
    Place at;
};

// Places any other control at its designed position.
void place(QWidget *control, Place at);

// A control named by its design's name, or, given an `index` from 0, the
// element of the control array of that name ("txtSB(3)").
QLabel *label(QWidget *parent, const Label &design, int index = -1);
// Grown to its caption's size, never shrunk below its design.
QRadioButton *option(QWidget *parent, const Option &design);
QPushButton *button(QWidget *parent, const Button &design);
QLineEdit *field(QWidget *parent, const Field &design, const QString &text = {}, int index = -1);

// The object name of element `index` of a control array: "txtSB(3)".
QString indexed(const char *name, int index);

void setShown(std::initializer_list<QWidget *> controls, bool shown);

// Tab order: each control after the one before it in the list.
void chainTabOrder(std::initializer_list<QWidget *> controls);

// Wrong input: the modal "Input Error" box with the exclamation icon.
void inputError(QWidget *form, const QString &message);

// The "Input Error" box with `message`, then the field emptied and given the
// focus for a new entry.
void refuse(QWidget *form, QLineEdit *field, const QString &message);

} // namespace orvandel::formkit
