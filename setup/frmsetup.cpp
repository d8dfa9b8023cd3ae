#include "setup/frmsetup.h"

#include "core/module1.h"
#include "core/numberinput.h"
#include "core/tournamentfile.h"
#include "core/twips.h"
#include "setup/frmblindamounts.h"
#include "ui/enterkey.h"
#include "ui/formkit.h"
#include "ui/navigation.h"
#include "ui/windowchrome.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <limits>
#include <optional>

using namespace orvandel;
using namespace orvandel::formkit;

namespace {
namespace design {

constexpr int ClientWidth = 4065;
constexpr int FormHeight = 3975 + FrameHeightTwips;

constexpr Label Label4 = {"Label4", "Blinds Setup", {1005, 225, 1545, 300}, {12, true}};
constexpr Label lblHeadline = {"lblHeadline", "Number of Rounds ( levels):", {240, 810, 1965, 195}};
constexpr Field txtNumberOfLevels = {"txtNumberOfLevels", {2490, 735, 450, 315}};
constexpr Label Label1 = {"Label1", "Duration of Rounds:", {240, 1335, 1425, 195}};
constexpr Field txtDuration = {"txtDuration", {2490, 1245, 450, 315}};
constexpr Label Label2 = {"Label2", "Is on of these rounds a break?", {240, 1890, 2160, 195}};
constexpr Option optBreakYes = {"optBreakYes(0)", "Yes", {2505, 1875, 645, 225}};
constexpr Option optBreakNo = {"optBreakNo", "No", {3180, 1890, 675, 195}};
constexpr Label lblDuration = {"lblDuration", "Duration of the break:", {255, 2385, 1545, 195}};
constexpr Field txtBreakDuration = {"txtBreakDuration", {2490, 2325, 450, 315}};
// Keeps its designed size, but must still show its text whole.
constexpr Label lblRound = {
    "lblRound", "Which round is the break?", {225, 2895, 1890, 315}, {}, Sizing::AtLeastText};
constexpr Field txtBreakRound = {"txtBreakRound", {2475, 2865, 450, 315}};
constexpr Button cmdOK = {"cmdOK", "OK", {765, 3300, 1065, 375}, Role::Default};
constexpr Button cmdCancel = {"cmdCancel", "Cancel", {2025, 3315, 1065, 375}, Role::Plain};

// The two layouts: outer form height and the top of both buttons.
struct Layout {
    int formHeight, buttonTop;
};
constexpr Layout NoBreak = {3255, 2310};
constexpr Layout WithBreak = {4305, 3300};

} // namespace design

// A level or a break lasts at least a minute, and no longer than the clock
// can count down.
constexpr int LongestMinutes = std::numeric_limits<qint16>::max();

// Room kept between a caption and the field beside it, in pixels.
constexpr int CaptionGap = 6;

QString rangeMessage(const QString &field, int low, int high) {
    return QStringLiteral("%1 must be between %2 and %3").arg(field).arg(low).arg(high);
}

// A length typed in minutes, when it rounds to 1 up to LongestMinutes.
std::optional<qint16> minutes(const QString &typed) {
    const std::optional<qint16> value = toInt16(leadingNumber(typed));
    if (!value || *value < 1)
        return std::nullopt;
    return value;
}

} // namespace

frmSetUp::frmSetUp(QWidget *parent) : QWidget(parent), m_clientWidthTwips(design::ClientWidth) {
    prepareWindow(this, QStringLiteral("frmSetUp"), QStringLiteral("Blinds Setup"));

    Label4 = label(this, design::Label4);
    lblHeadline = label(this, design::lblHeadline);
    txtNumberOfLevels = field(this, design::txtNumberOfLevels);
    Label1 = label(this, design::Label1);
    txtDuration = field(this, design::txtDuration);
    Label2 = label(this, design::Label2);
    optBreakYes[0] = option(this, design::optBreakYes);
    optBreakNo = option(this, design::optBreakNo);
    optBreakNo->setChecked(true);
    lblDuration = label(this, design::lblDuration);
    txtBreakDuration = field(this, design::txtBreakDuration);
    lblRound = label(this, design::lblRound);
    txtBreakRound = field(this, design::txtBreakRound);
    setShown({lblDuration, txtBreakDuration, lblRound, txtBreakRound}, false);
    cmdOK = button(this, design::cmdOK);
    cmdCancel = button(this, design::cmdCancel);
    makeRoomForCaptions();

    chainTabOrder({txtNumberOfLevels, txtDuration, optBreakYes[0], optBreakNo, txtBreakDuration,
                   txtBreakRound, cmdOK, cmdCancel});
    txtNumberOfLevels->setFocus();
    answerEnterWith(this, cmdOK);

    connect(optBreakYes[0], &QRadioButton::clicked, this, [this] { optBreak_Click(true); });
    connect(optBreakNo, &QRadioButton::clicked, this, [this] { optBreak_Click(false); });
    connect(cmdOK, &QPushButton::clicked, this, &frmSetUp::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSetUp::cmdCancel_Click);

    // Load step: centred for the designed size, then the no-break layout,
    // which keeps that top edge.
    setFormSize(this, m_clientWidthTwips, design::FormHeight);
    centreOnScreen(this);
    applyLayout(false);
    Module1::HasBreak = false;
}

// The platform's font is wider than the one the form was designed for. Rather
// than cut captions off, move the column of fields and option buttons right
// until every caption fits beside its field, and widen the form to match.
void frmSetUp::makeRoomForCaptions() {
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
    const Place no = design::optBreakNo.at;
    const int margin = px(design::ClientWidth) - px(no.left + no.width);
    const int widened =
        std::max(0, optBreakNo->geometry().right() + 1 + margin - px(design::ClientWidth));
    m_clientWidthTwips = design::ClientWidth + twips(widened);
    QWidget *const centred[] = {Label4, cmdOK, cmdCancel};
    for (QWidget *control : centred)
        control->move(control->x() + widened / 2, control->y());
}

void frmSetUp::applyLayout(bool withBreak) {
    const design::Layout &layout = withBreak ? design::WithBreak : design::NoBreak;
    cmdOK->move(cmdOK->x(), px(layout.buttonTop));
    cmdCancel->move(cmdCancel->x(), px(layout.buttonTop));
    setFormSize(this, m_clientWidthTwips, layout.formHeight);
}

void frmSetUp::optBreak_Click(bool withBreak) {
    // The break fields keep their text when hidden, for a later "Yes".
    setShown({txtBreakDuration, txtBreakRound, lblDuration, lblRound}, withBreak);
    Module1::HasBreak = withBreak;
    applyLayout(withBreak);
}

void frmSetUp::cmdOK_Click() {
    // Everything is checked before anything is stored, so a refused entry
    // leaves Module1 as it was. The level count comes first: the break
    // level's range is told in terms of it.
    const double levels = leadingNumber(txtNumberOfLevels->text());
    const std::optional<qint16> numberOfLevels = toInt16(levels);
    if (!numberOfLevels || *numberOfLevels < 1 || *numberOfLevels > MaxLevels) {
        refuse(this, txtNumberOfLevels, rangeMessage(QStringLiteral("Value"), 1, MaxLevels));
        return;
    }
    // The break level is tested on the numbers as typed, before rounding.
    const double breakRound = leadingNumber(txtBreakRound->text());
    if (Module1::HasBreak && (breakRound < 2 || breakRound > levels)) {
        refuse(this, txtBreakRound,
               QStringLiteral("Value must be between 2 and ") + txtNumberOfLevels->text());
        return;
    }
    const std::optional<qint16> roundDuration = minutes(txtDuration->text());
    if (!roundDuration) {
        refuse(this, txtDuration,
               rangeMessage(QStringLiteral("Duration of Rounds"), 1, LongestMinutes));
        return;
    }
    // Without a break the hidden break fields mean nothing: no level is a
    // break, and the break lasts no time.
    qint16 breakLevel = 0;
    qint16 breakMinutes = 0;
    if (Module1::HasBreak) {
        const std::optional<qint16> breakDuration = minutes(txtBreakDuration->text());
        if (!breakDuration) {
            refuse(this, txtBreakDuration,
                   rangeMessage(QStringLiteral("Duration of the break"), 1, LongestMinutes));
            return;
        }
        breakMinutes = *breakDuration;
        // From 2 to at most 10.5 as tested above, so it always fits.
        breakLevel = toInt16(breakRound).value_or(0);
    }

    Module1::NumberOfLevels = *numberOfLevels;
    Module1::RoundDuration = *roundDuration;
    Module1::BreakDuration = breakMinutes;
    Module1::BreakRound = breakLevel;
    handOver(this, new frmBlindAmounts(nullptr));
}

void frmSetUp::cmdCancel_Click() {
    showOpening(this);
}
