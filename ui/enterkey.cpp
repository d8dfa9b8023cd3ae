#include "ui/enterkey.h"

#include <QEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QWidget>

namespace orvandel {

namespace {

// Watches the keys that reach the form itself, that is those that no
// control took.
class EnterKey final : public QObject {
public:
    EnterKey(QWidget *form, QPushButton *okButton) : QObject(form), m_form(form), m_ok(okButton) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (watched != m_form || event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        if (auto *button = qobject_cast<QPushButton *>(m_form->focusWidget());
            button && button->isVisible())
            button->click();
        else
            m_ok->click();
        return true;
    }

private:
    QWidget *m_form;
    QPushButton *m_ok;
};

} // namespace

void answerEnterWith(QWidget *form, QPushButton *okButton) {
    form->installEventFilter(new EnterKey(form, okButton));
}

} // namespace orvandel
