#include "app/opening.h"

#include "app/formgeometry.h"
#include "app/module1.h"
#include "app/programend.h"
#include "app/resume.h"
#include "clock/blinds.h"
#include "setup/frmsetup.h"
#include "setup/tournamentfile.h"
#include "sound/frmsound.h"

#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>

using namespace orvandel;

namespace {
QRadioButton *option(QWidget *parent, const QString &name, const QString &caption) {
    auto *button = new QRadioButton(caption, parent);
    button->setObjectName(name);
    return button;
}
} // namespace

Opening::Opening(QWidget *parent) : QWidget(parent) {
    prepareWindow(this, QStringLiteral("Opening"), QStringLiteral("Orvandel"));
    setFixedSize(px(3675), px(3555));

    Label1 = new QLabel(QStringLiteral("Welcome to Orvandel  "), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont heading = Label1->font();
    heading.setPointSizeF(8.25);
    heading.setBold(true);
    Label1->setFont(heading);
    Label1->setAlignment(Qt::AlignCenter);
    place(Label1, 675, 180, 2340, 195);
    sizeToText(Label1);

    optBlinds = option(this, QStringLiteral("optBlinds(0)"), QStringLiteral("Set up Blinds"));
    place(optBlinds, 885, 555, 1230, 195);
    optSound = option(this, QStringLiteral("optSound(1)"), QStringLiteral("Choose Sound"));
    place(optSound, 885, 855, 1875, 195);
    optStart = option(this, QStringLiteral("optStart(2)"), QStringLiteral("Start Orvandel"));
    place(optStart, 885, 1215, 1965, 195);

    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    place(Command1, 615, 1620, 945, 375);
    Command2 = new QPushButton(QStringLiteral("Quit"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    place(Command2, 2025, 1620, 945, 375);
    // Neither button answers Enter or Escape.
    for (QPushButton *button : {Command1, Command2}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    Frame1 = new QGroupBox(QStringLiteral("Is this a Timed Touirnament?"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    place(Frame1, 675, 2190, 2250, 1170);
    optTimed[0] = option(Frame1, QStringLiteral("optTimed(0)"), QStringLiteral("Yes"));
    place(optTimed[0], 795, 375, 630, 240);
    optTimed[1] = option(Frame1, QStringLiteral("optTimed(1)"), QStringLiteral("No"));
    place(optTimed[1], 795, 780, 630, 240);
    optTimed[1]->setChecked(true);

    // Radio buttons size to fit their captions in the platform's font.
    for (QRadioButton *button : {optBlinds, optSound, optStart, optTimed[0], optTimed[1]})
        button->resize(button->sizeHint().expandedTo(button->size()));

    setTabOrder(optBlinds, optSound);
    setTabOrder(optSound, optStart);
    setTabOrder(optStart, Command1);
    setTabOrder(Command1, Command2);
    setTabOrder(Command2, optTimed[1]);
    setTabOrder(optTimed[1], optTimed[0]);

    connect(optTimed[0], &QRadioButton::clicked, this, &Opening::optTimed_Click);
    connect(optTimed[1], &QRadioButton::clicked, this, &Opening::optTimed_Click);
    connect(Command1, &QPushButton::clicked, this, &Opening::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Opening::Command2_Click);

    // Load step.
    centreOnScreen(this);
    if (Module1::SoundFile.isEmpty())
        Module1::SoundFile = QStringLiteral("sound1.wav");
    if (!Module1::TimedTournament)
        optTimed[1]->setChecked(true);
    if (Module1::TimedTournament)
        optTimed[0]->setChecked(true);
}

void Opening::optTimed_Click() {
    Module1::TimedTournament = optTimed[0]->isChecked();
}

void Opening::Command1_Click() {
    if (optStart->isChecked()) {
        // A tournament file the clock cannot run is reported here, and the
        // director stays on this screen to set up a new one.
        Blinds *clock = nullptr;
        try {
            const std::optional<JournalEntry> resume = offerToResume(this);
            clock = new Blinds(nullptr);
            if (resume)
                clock->restore(*resume);
        } catch (const TournamentFileError &error) {
            QMessageBox::warning(this, QStringLiteral("Orvandel"), error.message());
            return;
        }
        handOver(this, clock);
    } else if (optBlinds->isChecked()) {
        handOver(this, new frmSetUp(nullptr));
    } else if (optSound->isChecked()) {
        handOver(this, new frmSound(nullptr));
    }
}

void Opening::Command2_Click() {
    close();
    endProgram(0);
}
