#include "ui/formkit.h"

#include "ui/windowchrome.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>

namespace orvandel::formkit {

namespace {

template <typename Control>
Control *placed(Control *control, const char *name, Place at, int index = -1) {
    control->setObjectName(index < 0 ? QString::fromLatin1(name) : indexed(name, index));
    place(control, at);
    return control;
}

void growToText(QWidget *control) {
    control->resize(control->sizeHint().expandedTo(control->size()));
}

} // namespace

void place(QWidget *control, Place at) {
    orvandel::place(control, at.left, at.top, at.width, at.height);
}

QLabel *label(QWidget *parent, const Label &design, int index) {
    auto *control = new QLabel(QString::fromUtf8(design.caption), parent);
    control->setAlignment(design.align == Align::Centre ? Qt::AlignCenter
                                                        : Qt::AlignLeft | Qt::AlignTop);
    if (design.font.points > 0) {
        QFont font = control->font();
        font.setPointSizeF(design.font.points);
        font.setBold(design.font.bold);
        control->setFont(font);
    }
    placed(control, design.name, design.at, index);
    if (design.sizing == Sizing::ToText)
        sizeToText(control);
    else
        growToText(control);
    return control;
}

QRadioButton *option(QWidget *parent, const Option &design) {
    auto *control =
        placed(new QRadioButton(QString::fromUtf8(design.caption), parent), design.name, design.at);
    // Radio buttons size to fit their captions in the platform's font.
    growToText(control);
    return control;
}

QPushButton *button(QWidget *parent, const Button &design) {
    auto *control =
        placed(new QPushButton(QString::fromUtf8(design.caption), parent), design.name, design.at);
    if (design.role == Role::Default) {
        control->setDefault(true);
    } else {
        control->setAutoDefault(false);
        control->setDefault(false);
    }
    return control;
}

QLineEdit *field(QWidget *parent, const Field &design, const QString &text, int index) {
    return placed(new QLineEdit(text, parent), design.name, design.at, index);
}

QString indexed(const char *name, int index) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

void setShown(std::initializer_list<QWidget *> controls, bool shown) {
    for (QWidget *control : controls)
        control->setVisible(shown);
}

void chainTabOrder(std::initializer_list<QWidget *> controls) {
    QWidget *previous = nullptr;
    for (QWidget *control : controls) {
        if (previous)
            QWidget::setTabOrder(previous, control);
        previous = control;
    }
}

void inputError(QWidget *form, const QString &message) {
    QMessageBox::warning(form, QStringLiteral("Input Error"), message);
}

void refuse(QWidget *form, QLineEdit *field, const QString &message) {
    inputError(form, message);
    field->clear();
    field->setFocus();
}

} // namespace orvandel::formkit
