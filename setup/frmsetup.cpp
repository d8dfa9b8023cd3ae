#include "setup/frmsetup.h"

#include "app/formgeometry.h"
#include "app/module1.h"
#include "app/opening.h"
#include "setup/frmblindamounts.h"
#include "setup/numberinput.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <optional>

using namespace orvandel;

namespace {

constexpr int ClientWidth = 4065;
constexpr int DesignedFormHeight = 3975 + FrameHeightTwips;

// The two layouts: outer form height and the top of both buttons.
constexpr int NoBreakFormHeight = 3255;
constexpr int NoBreakButtonTop = 2310;
constexpr int BreakFormHeight = 4305;
constexpr int BreakButtonTop = 3300;

// The blind amounts form has a row for each level.
constexpr int MaxLevels = frmBlindAmounts::Rows;

// The 16-bit settings, and the lengths in minutes the clock can count down.
constexpr int MinInt16 = -32768;
constexpr int MaxInt16 = 32767;

// Room kept between a caption and the field beside it, in pixels.
constexpr int CaptionGap = 6;

const QString InputError = QStringLiteral("Input Error");

QLabel *label(QWidget *parent, const QString &name, const QString &caption) {
    auto *control = new QLabel(caption, parent);
    control->setObjectName(name);
    control->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return control;
}

QLineEdit *textBox(QWidget *parent, const QString &name) {
    auto *control = new QLineEdit(parent);
    control->setObjectName(name);
    return control;
}

QString rangeMessage(const QString &field, int low, int high) {
    return QStringLiteral("%1 must be between %2 and %3").arg(field).arg(low).arg(high);
}

} // namespace

frmSetUp::frmSetUp(QWidget *parent) : QWidget(parent), m_clientWidthTwips(ClientWidth) {
    prepareWindow(this, QStringLiteral("frmSetUp"), QStringLiteral("Blinds Setup"));

    Label4 = label(this, QStringLiteral("Label4"), QStringLiteral("Blinds Setup"));
    QFont heading = Label4->font();
    heading.setPointSizeF(12);
    heading.setBold(true);
    Label4->setFont(heading);
    place(Label4, 1005, 225, 1545, 300);

    lblHeadline =
        label(this, QStringLiteral("lblHeadline"), QStringLiteral("Number of Rounds ( levels):"));
    place(lblHeadline, 240, 810, 1965, 195);
    txtNumberOfLevels = textBox(this, QStringLiteral("txtNumberOfLevels"));
    place(txtNumberOfLevels, 2490, 735, 450, 315);

    Label1 = label(this, QStringLiteral("Label1"), QStringLiteral("Duration of Rounds:"));
    place(Label1, 240, 1335, 1425, 195);
    txtDuration = textBox(this, QStringLiteral("txtDuration"));
    place(txtDuration, 2490, 1245, 450, 315);

    Label2 =
        label(this, QStringLiteral("Label2"), QStringLiteral("Is on of these rounds a break?"));
    place(Label2, 240, 1890, 2160, 195);
    optBreakYes[0] = new QRadioButton(QStringLiteral("Yes"), this);
    optBreakYes[0]->setObjectName(QStringLiteral("optBreakYes(0)"));
    place(optBreakYes[0], 2505, 1875, 645, 225);
    optBreakNo = new QRadioButton(QStringLiteral("No"), this);
    optBreakNo->setObjectName(QStringLiteral("optBreakNo"));
    place(optBreakNo, 3180, 1890, 675, 195);
    optBreakNo->setChecked(true);

    lblDuration =
        label(this, QStringLiteral("lblDuration"), QStringLiteral("Duration of the break:"));
    place(lblDuration, 255, 2385, 1545, 195);
    txtBreakDuration = textBox(this, QStringLiteral("txtBreakDuration"));
    place(txtBreakDuration, 2490, 2325, 450, 315);

    lblRound = label(this, QStringLiteral("lblRound"), QStringLiteral("Which round is the break?"));
    place(lblRound, 225, 2895, 1890, 315);
    txtBreakRound = textBox(this, QStringLiteral("txtBreakRound"));
    place(txtBreakRound, 2475, 2865, 450, 315);

    for (QWidget *hidden :
         {static_cast<QWidget *>(lblDuration), static_cast<QWidget *>(txtBreakDuration),
          static_cast<QWidget *>(lblRound), static_cast<QWidget *>(txtBreakRound)})
        hidden->setVisible(false);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    place(cmdOK, 765, 3300, 1065, 375);
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    place(cmdCancel, 2025, 3315, 1065, 375);

    for (QLabel *caption : {Label4, lblHeadline, Label1, Label2, lblDuration})
        sizeToText(caption);
    makeRoomForCaptions();

    setTabOrder(txtNumberOfLevels, txtDuration);
    setTabOrder(txtDuration, optBreakYes[0]);
    setTabOrder(optBreakYes[0], optBreakNo);
    setTabOrder(optBreakNo, txtBreakDuration);
    setTabOrder(txtBreakDuration, txtBreakRound);
    setTabOrder(txtBreakRound, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
    txtNumberOfLevels->setFocus();

    connect(optBreakYes[0], &QRadioButton::clicked, this, &frmSetUp::optBreakYes_Click);
    connect(optBreakNo, &QRadioButton::clicked, this, &frmSetUp::optBreakNo_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmSetUp::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSetUp::cmdCancel_Click);

    // Load step: centred for the designed size, then the no-break layout,
    // which keeps that top edge.
    setFormSize(this, m_clientWidthTwips, DesignedFormHeight);
    centreOnScreen(this);
    applyLayout(false);
    Module1::HasBreak = false;
}

// The platform's font is wider than the one the form was designed for. Rather
// than cut captions off, move the column of fields and option buttons right
// until every caption fits beside its field, and widen the form to match.
void frmSetUp::makeRoomForCaptions() {
    // The option buttons and the break level caption have fixed sizes in the
    // design, but must still show their text whole.
    for (QWidget *control : {static_cast<QWidget *>(optBreakYes[0]),
                             static_cast<QWidget *>(optBreakNo), static_cast<QWidget *>(lblRound)})
        control->resize(control->sizeHint().expandedTo(control->size()));

    auto overlap = [](const QWidget *caption, const QWidget *field) {
        return caption->geometry().right() + 1 + CaptionGap - field->x();
    };
    const std::pair<QWidget *, QWidget *> rows[] = {
        {lblHeadline, txtNumberOfLevels}, {Label1, txtDuration},     {Label2, optBreakYes[0]},
        {lblDuration, txtBreakDuration},  {lblRound, txtBreakRound},
    };
    int shift = 0;
    for (const auto &[caption, field] : rows)
        shift = std::max(shift, overlap(caption, field));
    QWidget *const column[] = {txtNumberOfLevels, txtDuration,      optBreakYes[0],
                               optBreakNo,        txtBreakDuration, txtBreakRound};
    for (QWidget *field : column)
        field->move(field->x() + shift, field->y());
    if (const int crowded = overlap(optBreakYes[0], optBreakNo); crowded > 0)
        optBreakNo->move(optBreakNo->x() + crowded, optBreakNo->y());

    // Keep the designed margin right of "No"; the heading and the buttons
    // stay in the middle of the wider form.
    const int margin = px(ClientWidth) - px(3180 + 675);
    const int widened = std::max(0, optBreakNo->geometry().right() + 1 + margin - px(ClientWidth));
    m_clientWidthTwips = ClientWidth + twips(widened);
    for (QWidget *centred : {static_cast<QWidget *>(Label4), static_cast<QWidget *>(cmdOK),
                             static_cast<QWidget *>(cmdCancel)})
        centred->move(centred->x() + widened / 2, centred->y());
}

void frmSetUp::applyLayout(bool withBreak) {
    const int buttonTop = px(withBreak ? BreakButtonTop : NoBreakButtonTop);
    cmdOK->move(cmdOK->x(), buttonTop);
    cmdCancel->move(cmdCancel->x(), buttonTop);
    setFormSize(this, m_clientWidthTwips, withBreak ? BreakFormHeight : NoBreakFormHeight);
}

void frmSetUp::optBreakYes_Click() {
    for (QWidget *control :
         {static_cast<QWidget *>(txtBreakDuration), static_cast<QWidget *>(txtBreakRound),
          static_cast<QWidget *>(lblDuration), static_cast<QWidget *>(lblRound)})
        control->setVisible(true);
    Module1::HasBreak = true;
    applyLayout(true);
}

void frmSetUp::optBreakNo_Click() {
    // The break fields keep their text: it is still stored on OK.
    for (QWidget *control :
         {static_cast<QWidget *>(txtBreakDuration), static_cast<QWidget *>(txtBreakRound),
          static_cast<QWidget *>(lblDuration), static_cast<QWidget *>(lblRound)})
        control->setVisible(false);
    Module1::HasBreak = false;
    applyLayout(false);
}

void frmSetUp::refuse(QLineEdit *field, const QString &message) {
    QMessageBox::warning(this, InputError, message);
    field->clear();
    field->setFocus();
}

void frmSetUp::cmdOK_Click() {
    // The break level is tested on the numbers as typed, before rounding.
    const double levels = leadingNumber(txtNumberOfLevels->text());
    const double breakRound = leadingNumber(txtBreakRound->text());
    if (Module1::HasBreak && (breakRound < 2 || breakRound > levels)) {
        refuse(txtBreakRound,
               QStringLiteral("Value must be between 2 and ") + txtNumberOfLevels->text());
        return;
    }

    // Everything is checked before anything is stored, so a refused entry
    // leaves Module1 as it was.
    const std::optional<qint16> numberOfLevels = toInt16(levels);
    if (!numberOfLevels || *numberOfLevels < 0 || *numberOfLevels > MaxLevels) {
        refuse(txtNumberOfLevels, rangeMessage(QStringLiteral("Value"), 0, MaxLevels));
        return;
    }
    const std::optional<qint16> roundDuration = toInt16(leadingNumber(txtDuration->text()));
    if (!roundDuration) {
        refuse(txtDuration, rangeMessage(QStringLiteral("Duration of Rounds"), MinInt16, MaxInt16));
        return;
    }
    // The break is counted down like a level, so it has the same range.
    const std::optional<qint16> breakDuration = toInt16(leadingNumber(txtBreakDuration->text()));
    if (!breakDuration) {
        refuse(txtBreakDuration,
               rangeMessage(QStringLiteral("Duration of the break"), MinInt16, MaxInt16));
        return;
    }
    const std::optional<qint16> breakLevel = toInt16(breakRound);
    if (!breakLevel) {
        refuse(txtBreakRound, rangeMessage(QStringLiteral("The break round"), MinInt16, MaxInt16));
        return;
    }

    Module1::NumberOfLevels = *numberOfLevels;
    Module1::RoundDuration = *roundDuration;
    Module1::BreakDuration = *breakDuration;
    Module1::BreakRound = *breakLevel;
    handOver(this, new frmBlindAmounts(nullptr));
}

void frmSetUp::cmdCancel_Click() {
    handOver(this, new Opening(nullptr));
}

void frmSetUp::keyPressEvent(QKeyEvent *event) {
    // Escape and every other key: a plain window has no cancel button.
    if (!pressWithEnter(this, event, cmdOK))
        QWidget::keyPressEvent(event);
}
