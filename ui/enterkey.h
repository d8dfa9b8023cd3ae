#pragma once

class QPushButton;
class QWidget;

namespace orvandel {

// Enter on a form whose OK answers it: a focused button takes Enter itself,
// anywhere else it presses `okButton`. Escape and every other key go on as
// before: a plain window has no cancel button.
void answerEnterWith(QWidget *form, QPushButton *okButton);

} // namespace orvandel
