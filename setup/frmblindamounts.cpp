#include "setup/frmblindamounts.h"

#include "app/formgeometry.h"
#include "app/module1.h"
#include "app/opening.h"
#include "clock/journalfile.h"
#include "setup/tournamentfile.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>

using namespace orvandel;

namespace {

constexpr int ClientWidth = 3465;
constexpr int DesignedFormHeight = 7890 + FrameHeightTwips;

// Tops of the controls of each row, in twips.
struct RowTops {
    int label, small, big;
};
constexpr std::array<RowTops, frmBlindAmounts::Rows> RowTop = {{
    {1530, 1500, 1500},
    {2130, 2100, 2070},
    {2715, 2685, 2685},
    {3315, 3285, 3315},
    {3915, 3870, 3915},
    {4515, 4470, 4485},
    {5100, 5055, 4965},
    {5700, 5655, 5610},
    {6300, 6240, 6225},
    {6900, 6840, 6840},
}};

// Outer form height and the top of both buttons for 2 to 10 levels; other
// level counts keep the designed layout.
struct Layout {
    int formHeight, buttonTop;
};
constexpr int FirstLayout = 2;
constexpr std::array<Layout, 9> LayoutFor = {{
    {3555, 2595},
    {4245, 3150},
    {4800, 3735},
    {5295, 4350},
    {5910, 4920},
    {6480, 5520},
    {7035, 6090},
    {7710, 6825},
    {8400, 7440},
}};

const QString InputError = QStringLiteral("Input Error");

QLabel *label(QWidget *parent, const QString &name, const QString &caption) {
    auto *control = new QLabel(caption, parent);
    control->setObjectName(name);
    control->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return control;
}

QLabel *labelInFont(QWidget *parent, const QString &name, const QString &caption, qreal points,
                    bool bold) {
    QLabel *control = label(parent, name, caption);
    QFont font = control->font();
    font.setPointSizeF(points);
    font.setBold(bold);
    control->setFont(font);
    return control;
}

QString indexed(const char *name, int index) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

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

    Label1 = labelInFont(this, QStringLiteral("Label1"), QStringLiteral("Enter Blind Amounts "), 12,
                         true);
    place(Label1, 270, 195, 2565, 300);
    Label2 = labelInFont(this, QStringLiteral("Label2"), QStringLiteral("Enter whole numbers only"),
                         9.75, false);
    place(Label2, 540, 645, 2280, 240);

    // A one-pixel line from x 435 to 2895 at y 915.
    Line1 = new QFrame(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Plain);
    Line1->setLineWidth(1);
    Line1->setGeometry(px(435), px(915) - 1, px(2895) - px(435), 3);

    Label3 = label(this, QStringLiteral("Label3"), QStringLiteral("Small Blind"));
    place(Label3, 1215, 1200, 765, 195);
    Label4 = label(this, QStringLiteral("Label4"), QStringLiteral("Big Blind"));
    place(Label4, 2340, 1200, 615, 195);

    for (std::size_t i = 0; i < Rows; ++i) {
        const int index = static_cast<int>(i);
        const bool last = index == Rows - 1;
        lblRound[i] =
            label(this, indexed("lblRound", index), QStringLiteral("Level %1:").arg(index + 1));
        place(lblRound[i], 315, RowTop[i].label, last ? 660 : 570, 195);
        txtSB[i] = new QLineEdit(QStringLiteral(" "), this);
        txtSB[i]->setObjectName(indexed("txtSB", index));
        place(txtSB[i], 1230, RowTop[i].small, 705, 315);
        txtBB[i] = new QLineEdit(QStringLiteral(" "), this);
        txtBB[i]->setObjectName(indexed("txtBB", index));
        place(txtBB[i], last ? 2355 : 2370, RowTop[i].big, 705, 315);
    }

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    place(cmdOK, 750, 7425, 990, 330);
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    place(cmdCancel, 1950, 7440, 990, 330);

    for (QLabel *caption : {Label1, Label2, Label3, Label4})
        sizeToText(caption);
    for (QLabel *caption : lblRound)
        sizeToText(caption);

    QWidget *previous = txtSB[0];
    for (std::size_t i = 0; i < Rows; ++i) {
        for (QWidget *next : {static_cast<QWidget *>(txtSB[i]), static_cast<QWidget *>(txtBB[i])}) {
            if (next != previous)
                setTabOrder(previous, next);
            previous = next;
        }
    }
    setTabOrder(previous, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
    txtSB[0]->setFocus();

    connect(cmdOK, &QPushButton::clicked, this, &frmBlindAmounts::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmBlindAmounts::cmdCancel_Click);

    // Load step.
    const int levels = Module1::NumberOfLevels;
    int formHeight = DesignedFormHeight;
    if (levels >= FirstLayout && levels <= Rows) {
        const Layout &layout = LayoutFor[static_cast<std::size_t>(levels - FirstLayout)];
        formHeight = layout.formHeight;
        cmdOK->move(cmdOK->x(), px(layout.buttonTop));
        cmdCancel->move(cmdCancel->x(), px(layout.buttonTop));
    }
    setFormSize(this, ClientWidth, formHeight);
    centreOnScreen(this);

    // Only a break level from 1 to 10 names a row; the setup form allows
    // 2 to the level count.
    if (Module1::HasBreak && Module1::BreakRound >= 1 && Module1::BreakRound <= Rows) {
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
    if (levels < 0 || levels > Rows) {
        QMessageBox::warning(this, InputError,
                             QStringLiteral("Number of levels must be between 0 and %1").arg(Rows));
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
                QMessageBox::warning(
                    this, InputError,
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
    handOver(this, new Opening(nullptr));
}

void frmBlindAmounts::cmdCancel_Click() {
    handOver(this, new Opening(nullptr));
}

void frmBlindAmounts::keyPressEvent(QKeyEvent *event) {
    // Escape and every other key: a plain window has no cancel button.
    if (!pressWithEnter(this, event, cmdOK))
        QWidget::keyPressEvent(event);
}
