#include "setup/frmblindamounts.h"

#include "core/journalfile.h"
#include "core/module1.h"
#include "core/tournamentfile.h"
#include "core/twips.h"
#include "ui/enterkey.h"
#include "ui/formkit.h"
#include "ui/navigation.h"
#include "ui/windowchrome.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>

using namespace orvandel;
using namespace orvandel::formkit;

namespace {

constexpr auto Rows = static_cast<std::size_t>(frmBlindAmounts::Rows);

namespace design {

constexpr int ClientWidth = 3465;
constexpr int FormHeight = 7890 + FrameHeightTwips;

constexpr Label Label1 = {"Label1", "Enter Blind Amounts ", {270, 195, 2565, 300}, {12, true}};
constexpr Label Label2 = {
    "Label2", "Enter whole numbers only", {540, 645, 2280, 240}, {9.75, false}};
// A one-pixel line from x 435 to 2895 at y 915.
constexpr int LineLeft = 435, LineRight = 2895, LineY = 915;
constexpr Label Label3 = {"Label3", "Small Blind", {1215, 1200, 765, 195}};
constexpr Label Label4 = {"Label4", "Big Blind", {2340, 1200, 615, 195}};
constexpr Button cmdOK = {"cmdOK", "OK", {750, 7425, 990, 330}, Role::Default};
constexpr Button cmdCancel = {"cmdCancel", "Cancel", {1950, 7440, 990, 330}, Role::Plain};

// The controls of each row: lefts and widths (the last row differs), and the
// tops, in twips.
constexpr int CaptionLeft = 315, CaptionWidth = 570, LastCaptionWidth = 660, CaptionHeight = 195;
constexpr int SmallLeft = 1230, BigLeft = 2370, LastBigLeft = 2355;
constexpr int FieldWidth = 705, FieldHeight = 315;
struct RowTops {
    int label, small, big;
};
// clang-format off
constexpr std::array<RowTops, Rows> RowTop = {{
    {1530, 1500, 1500}, {2130, 2100, 2070}, {2715, 2685, 2685}, {3315, 3285, 3315},
    {3915, 3870, 3915}, {4515, 4470, 4485}, {5100, 5055, 4965}, {5700, 5655, 5610},
    {6300, 6240, 6225}, {6900, 6840, 6840},
}};
// clang-format on

// Outer form height and the top of both buttons for 2 to 10 levels; other
// level counts keep the designed layout.
struct Layout {
    int formHeight, buttonTop;
};
constexpr int FirstLayout = 2;
// clang-format off
constexpr std::array<Layout, Rows - FirstLayout + 1> LayoutFor = {{
    {3555, 2595}, {4245, 3150}, {4800, 3735}, {5295, 4350}, {5910, 4920},
    {6480, 5520}, {7035, 6090}, {7710, 6825}, {8400, 7440},
}};
// clang-format on

} // namespace design

// The most characters a blind field takes.
constexpr int BlindTextLength = 12;

// The first character of `text` that a blind text cannot hold, for the
// message; control characters are named by their code.
QString firstUnwritable(const QString &text) {
    for (const char32_t c : text.toUcs4()) {
        QString one = QString::fromUcs4(&c, 1);
        if (isWritableBlindText(one))
            continue;
        if (QChar::isPrint(c))
            return one;
        return QStringLiteral("U+%1").arg(static_cast<uint>(c), 4, 16, QLatin1Char('0')).toUpper();
    }
    return {};
}

} // namespace

frmBlindAmounts::frmBlindAmounts(QWidget *parent) : QWidget(parent) {
    prepareWindow(this, QStringLiteral("frmBlindAmounts"), QStringLiteral("Blind Amounts"));

    Label1 = label(this, design::Label1);
    Label2 = label(this, design::Label2);
    Line1 = new QFrame(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Plain);
    Line1->setLineWidth(1);
    Line1->setGeometry(px(design::LineLeft), px(design::LineY) - 1,
                       px(design::LineRight) - px(design::LineLeft), 3);
    Label3 = label(this, design::Label3);
    Label4 = label(this, design::Label4);

    for (std::size_t i = 0; i < Rows; ++i) {
        using namespace design;
        const int index = static_cast<int>(i);
        const bool last = i == Rows - 1;
        const QByteArray caption = "Level " + QByteArray::number(index + 1) + ':';
        const int captionWidth = last ? LastCaptionWidth : CaptionWidth;
        lblRound[i] = label(this,
                            {"lblRound",
                             caption.constData(),
                             {CaptionLeft, RowTop[i].label, captionWidth, CaptionHeight}},
                            index);
        txtSB[i] = field(this, {"txtSB", {SmallLeft, RowTop[i].small, FieldWidth, FieldHeight}},
                         QStringLiteral(" "), index);
        const int bigLeft = last ? LastBigLeft : BigLeft;
        txtBB[i] = field(this, {"txtBB", {bigLeft, RowTop[i].big, FieldWidth, FieldHeight}},
                         QStringLiteral(" "), index);
        for (QLineEdit *blind : {txtSB[i], txtBB[i]})
            blind->setMaxLength(BlindTextLength);
    }

    cmdOK = button(this, design::cmdOK);
    cmdCancel = button(this, design::cmdCancel);

    for (std::size_t i = 0; i < Rows; ++i) {
        if (i > 0)
            setTabOrder(txtBB[i - 1], txtSB[i]);
        setTabOrder(txtSB[i], txtBB[i]);
    }
    chainTabOrder({txtBB[Rows - 1], cmdOK, cmdCancel});
    txtSB[0]->setFocus();
    answerEnterWith(this, cmdOK);

    connect(cmdOK, &QPushButton::clicked, this, &frmBlindAmounts::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmBlindAmounts::cmdCancel_Click);

    // Load step.
    const int levels = Module1::NumberOfLevels;
    int formHeight = design::FormHeight;
    if (levels >= design::FirstLayout && levels <= frmBlindAmounts::Rows) {
        const design::Layout &layout =
            design::LayoutFor[static_cast<std::size_t>(levels - design::FirstLayout)];
        formHeight = layout.formHeight;
        cmdOK->move(cmdOK->x(), px(layout.buttonTop));
        cmdCancel->move(cmdCancel->x(), px(layout.buttonTop));
    }
    setFormSize(this, design::ClientWidth, formHeight);
    centreOnScreen(this);

    // Only a break level from 1 to 10 names a row; the setup form allows
    // 2 to the level count.
    if (Module1::HasBreak && Module1::BreakRound >= 1 && Module1::BreakRound <= MaxLevels) {
        const auto r = static_cast<std::size_t>(Module1::BreakRound - 1);
        txtSB[r]->clear();
        txtBB[r]->clear();
        txtSB[r]->setEnabled(false);
        txtBB[r]->setEnabled(false);
        lblRound[r]->setText(QStringLiteral("Break"));
        sizeToText(lblRound[r]);
    }

    // Rows past the last level are hidden; a negative count hides them all.
    for (auto r = static_cast<std::size_t>(std::max(levels, 0)); r < Rows; ++r) {
        lblRound[r]->setVisible(false);
        txtSB[r]->setVisible(false);
        txtBB[r]->setVisible(false);
    }
}

void frmBlindAmounts::cmdOK_Click() {
    const int levels = Module1::NumberOfLevels;
    // The form has no row for more than ten levels, and the clock could not
    // run them; the setup form does not let such a count through.
    if (levels < 0 || levels > MaxLevels) {
        inputError(this,
                   QStringLiteral("Number of levels must be between 0 and %1").arg(MaxLevels));
        return;
    }

    Tournament tournament;
    tournament.levelCount = Module1::NumberOfLevels;
    tournament.levelMinutes = Module1::RoundDuration;
    tournament.breakRound = Module1::BreakRound;
    tournament.breakMinutes = Module1::BreakDuration;
    for (std::size_t r = 0; r < static_cast<std::size_t>(levels); ++r) {
        // Only an empty big blind makes a break; a single blank does not.
        if (txtBB[r]->text().isEmpty()) {
            tournament.levels.push_back({QStringLiteral("Break"), QStringLiteral("Time!")});
            continue;
        }
        for (QLineEdit *field : {txtSB[r], txtBB[r]}) {
            // The file has no way to carry these characters; refuse them
            // here rather than write a file the clock would misread.
            if (const QString bad = firstUnwritable(field->text()); !bad.isEmpty()) {
                inputError(this,
                           QStringLiteral("The blinds of Level %1 cannot hold the character %2")
                               .arg(r + 1)
                               .arg(bad));
                field->setFocus();
                return;
            }
        }
        tournament.levels.push_back(
            {QLatin1Char('$') + txtSB[r]->text(), QLatin1Char('$') + txtBB[r]->text()});
    }

    const QString fileName = QString::fromLatin1(TournamentFileName);
    const WriteResult written = writeTournamentFile(fileName, tournament);
    if (!written.ok) {
        // Nothing typed is lost: the form stays open for another try.
        QMessageBox::warning(this, QStringLiteral("Blind Amounts"),
                             QStringLiteral("The tournament file %1 could not be written: %2")
                                 .arg(fileName, written.reason));
        return;
    }
    // A new tournament: the clock of the old one is not to be resumed.
    dropJournalOfCurrentFolder();
    showOpening(this);
}

void frmBlindAmounts::cmdCancel_Click() {
    showOpening(this);
}
