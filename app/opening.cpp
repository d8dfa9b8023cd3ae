#include "app/opening.h"

#include "app/clocksession.h"

#include "app/resume.h"
#include "clock/blinds.h"
#include "core/journalfile.h"
#include "core/module1.h"
#include "core/programend.h"
#include "core/structure.h"
#include "core/tournamentfile.h"
#include "core/twips.h"
#include "setup/frmsetup.h"
#include "setup/frmstructure.h"
#include "sound/frmsound.h"
#include "ui/formkit.h"
#include "ui/navigation.h"
#include "ui/windowchrome.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <memory>

using namespace orvandel;
using namespace orvandel::formkit;

namespace {

// The windows below the opening screen go back to it through the hand-over.
[[maybe_unused]] const bool openingKnown =
    (setOpeningFactory([]() -> QWidget * { return new Opening(nullptr); }), true);

namespace design {

constexpr Label Label1 = {"Label1",     "Welcome to Orvandel  ", {675, 180, 2340, 195},
                          {8.25, true}, Sizing::ToText,          Align::Centre};
constexpr Option optBlinds = {"optBlinds(0)", "Set up Blinds", {885, 555, 1230, 195}};
constexpr Option optSound = {"optSound(1)", "Choose Sound", {885, 855, 1875, 195}};
constexpr Option optStart = {"optStart(2)", "Start Orvandel", {885, 1215, 1965, 195}};
// Neither button answers Enter or Escape.
constexpr Button Command1 = {"Command1", "OK", {615, 1620, 945, 375}, Role::Plain};
constexpr Button Command2 = {"Command2", "Quit", {2025, 1620, 945, 375}, Role::Plain};
constexpr Place Frame1 = {675, 2190, 2250, 1170};
// Inside Frame1.
constexpr Option optTimed[2] = {
    {"optTimed(0)", "Yes", {795, 375, 630, 240}},
    {"optTimed(1)", "No", {795, 780, 630, 240}},
};

} // namespace design

// The working folder's clock lock for a clock about to start; null, after
// saying so, while a clock of another program holds it.
std::unique_ptr<ClockLock> clockLock(QWidget *parent) {
    auto lock = std::make_unique<ClockLock>();
    if (!lock->heldElsewhere())
        return lock;
    QMessageBox::warning(parent, QStringLiteral("Orvandel"),
                         QStringLiteral("The tournament in this folder is already running in "
                                        "another Orvandel window."));
    return nullptr;
}

// Hands over from `from` to the clock on the structure at `path`, whose bytes
// are `file`, standing at `resume` when given. False, after saying why, when
// it cannot run.
bool runStructure(QWidget *from, std::unique_ptr<ClockLock> lock, const QString &path,
                  const FileRead &file, const JournalEntry *resume) {
    Blinds *clock = nullptr;
    try {
        clock = openStructureClock(path, file);
    } catch (const TournamentFileError &error) {
        QMessageBox::warning(from, QStringLiteral("Orvandel"), error.message());
        return false;
    }
    if (lock)
        lock.release()->setParent(clock);
    if (resume)
        resumeClock(clock, *resume);
    handOver(from, clock);
    return true;
}

} // namespace

namespace orvandel {

bool startStructureFile(QWidget *from, const QString &path) {
    // Read once: the clock runs the very bytes its journal is checked against.
    const FileRead file = readRegularFile(path, MaxStructureFileBytes);
    const StructureRead read = file.ok() ? parseStructure(file.bytes) : StructureRead{};
    if (!file.ok() || !read.ok())
        return runStructure(from, nullptr, path, file, nullptr);
    std::unique_ptr<ClockLock> lock = clockLock(from);
    if (!lock)
        return false;
    const ResumeAnswer answer = offerToResumeStructure(from, path, file, read.structure);
    if (answer.choice == ResumeAnswer::Choice::Withdrawn)
        return false;
    const bool resume = answer.choice == ResumeAnswer::Choice::Resume;
    return runStructure(from, std::move(lock), path, file, resume ? &answer.entry : nullptr);
}

} // namespace orvandel

Opening::Opening(QWidget *parent) : QWidget(parent) {
    prepareWindow(this, QStringLiteral("Opening"), QStringLiteral("Orvandel"));
    setFixedSize(px(3675), px(3555));

    Label1 = label(this, design::Label1);
    optBlinds = option(this, design::optBlinds);
    optSound = option(this, design::optSound);
    optStart = option(this, design::optStart);
    Command1 = button(this, design::Command1);
    Command2 = button(this, design::Command2);

    Frame1 = new QGroupBox(QStringLiteral("Is this a Timed Touirnament?"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    place(Frame1, design::Frame1);
    optTimed[0] = option(Frame1, design::optTimed[0]);
    optTimed[1] = option(Frame1, design::optTimed[1]);
    optTimed[1]->setChecked(true);

    chainTabOrder({optBlinds, optSound, optStart, Command1, Command2, optTimed[1], optTimed[0]});

    // Beside the three choices rather than among them, so that the form
    // stays as it has always been.
    actStructure = new QAction(QStringLiteral("Tournament structure…"), this);
    actStructure->setObjectName(QStringLiteral("actStructure"));
    addAction(actStructure);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(actStructure, &QAction::triggered, this, &Opening::actStructure_Triggered);

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
        startClock();
    } else if (optBlinds->isChecked()) {
        handOver(this, new frmSetUp(nullptr));
    } else if (optSound->isChecked()) {
        handOver(this, new frmSound(nullptr));
    }
}

void Opening::actStructure_Triggered() {
    handOver(this, new frmStructure(nullptr));
}

void Opening::startClock() {
    // blinds.dat is read once: the clock runs the very bytes its journal was
    // checked against. A file the clock cannot run is reported here, before
    // anything else happens, and the director stays on this screen.
    const FileRead file =
        readRegularFile(QString::fromLatin1(TournamentFileName), MaxTournamentFileBytes);
    const ReadResult read = parseTournamentFile(file);
    // A structure that was running is offered whether or not there is a
    // blinds.dat to fall back on.
    const JournalRead journal = readJournal(journalPathForCurrentFolder());
    const bool structureJournal = journal.ok() && journal.entry.structure;
    if (!read.ok() && !structureJournal) {
        QMessageBox::warning(this, QStringLiteral("Orvandel"), read.message());
        return;
    }
    std::unique_ptr<ClockLock> lock = clockLock(this);
    if (!lock)
        return;
    const ResumeAnswer answer = offerToResume(this, file);
    if (answer.choice == ResumeAnswer::Choice::Withdrawn)
        return;
    if (answer.choice == ResumeAnswer::Choice::Resume && answer.entry.structure) {
        const QString &path = answer.entry.tournamentPath;
        const FileRead structure = readRegularFile(path, MaxStructureFileBytes);
        // Changed since it was asked about: it starts afresh.
        const bool same =
            structure.ok() && tournamentHash(structure.bytes) == answer.entry.tournamentHash;
        runStructure(this, std::move(lock), path, structure, same ? &answer.entry : nullptr);
        return;
    }
    if (!read.ok()) {
        QMessageBox::warning(this, QStringLiteral("Orvandel"), read.message());
        return;
    }
    Blinds *clock = nullptr;
    try {
        clock = openClock(file);
    } catch (const TournamentFileError &error) {
        QMessageBox::warning(this, QStringLiteral("Orvandel"), error.message());
        return;
    }
    lock.release()->setParent(clock);
    if (answer.choice == ResumeAnswer::Choice::Resume)
        resumeClock(clock, answer.entry);
    handOver(this, clock);
}

void Opening::Command2_Click() {
    close();
    endProgram(0);
}
