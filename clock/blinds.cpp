#include "clock/blinds.h"

#include "clock/clocklabel.h"
#include "clock/colours.h"
#include "clock/screenawake.h"
#include "clock/screenchoice.h"
#include "core/checked.h"
#include "core/clockdesign.h"
#include "core/module1.h"
#include "core/programend.h"
#include "core/steadyclock.h"
#include "core/timetext.h"
#include "core/tournamentfile.h"
#include "core/twips.h"
#include "core/units.h"
#include "sound/soundplayer.h"
#include "ui/fonts.h"
#include "ui/windowchrome.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPixmap>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QTimer>
#include <initializer_list>
#include <utility>

using namespace orvandel;
using namespace orvandel::colours;

namespace {

const QString CaptionPause = QStringLiteral("Pause");
const QString CaptionResume = QStringLiteral("Resume");

} // namespace

Blinds::Blinds(QWidget *parent)
    : Blinds(readRegularFile(QString::fromLatin1(TournamentFileName), MaxTournamentFileBytes),
             parent) {}

Blinds::Blinds(const FileRead &file, QWidget *parent) : Blinds(planOfFile(file), parent) {}

Blinds::Blinds(ClockPlan plan, QWidget *parent)
    : QWidget(parent), m_catchUp(&steadyNowMs), m_plan(std::move(plan)) {
    prepareWindow(this, QStringLiteral("Blinds"), QStringLiteral("Orvandel"));
    // No close, minimize or maximize box: the clock is left by its picture.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    resize(px(DesignWidth), px(DesignHeight));
    // Before the first change of the window's state, which the menu follows.
    buildMenu();
    setWindowState(Qt::WindowMaximized);
    QPalette background = palette();
    background.setColor(QPalette::Window, toColor(Blue));
    setPalette(background);
    setAutoFillBackground(true);

    buildControls();
    // A structure's labels from the start, so that a rewind brings back
    // theirs too.
    if (m_plan.structure) {
        for (const char *name : {"lblCurrentAnte", "lblNote", "lblNextBreak", "lblNextAnte"})
            addFaceLabel(name);
    }
    loadPlan();
    showRoundLabels();
    m_startLook = face().controls;
    relayout();
    if (QScreen *target = screenForClock())
        fillScreen(this, target);
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, &Blinds::screenRemoved);
    // Nobody touches the laptop during a tournament; the screen must not
    // blank or lock while the clock runs.
    m_awake = new ScreenAwake(this);
}

void Blinds::buildControls() {
    // Each label of the design table, by name.
    const std::pair<const char *, ClockLabel **> members[] = {
        {"Label1", &Label1},
        {"Label2(0)", &Label2[0]},
        {"Label3(0)", &Label3[0]},
        {"lblCurrentSmall", &lblCurrentSmall},
        {"lblCurrentBig", &lblCurrentBig},
        {"Label5", &Label5},
        {"lblTime", &lblTime},
        {"Label4", &Label4},
        {"Label2(1)", &Label2[1]},
        {"Label3(1)", &Label3[1]},
        {"lblNextSmall", &lblNextSmall},
        {"lblNextBig", &lblNextBig},
    };
    for (const LabelDesign &d : clockLabels()) {
        // Made in the table's order, with the line just before the next
        // level's heading: it lies over the time.
        if (qstrcmp(d.name, "Label4") == 0)
            buildLine();
        ClockLabel *control = makeLabel(d);
        for (const auto &[name, member] : members) {
            if (qstrcmp(name, d.name) == 0)
                *member = control;
        }
    }
    lblTime->setToolTip(QStringLiteral("Click to Pause"));
    lblTime->setCursor(Qt::PointingHandCursor);

    // Holds the pause state in its caption; never shown.
    cmdPause = new QPushButton(CaptionPause, this);
    cmdPause->setObjectName(QStringLiteral("cmdPause"));
    cmdPause->hide();
    m_design.push_back({cmdPause, QRect(120, 8520, 1095, 405), 0});

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setTimerType(Qt::PreciseTimer);

    MMControl1 = new SoundPlayer(this);
    MMControl1->setObjectName(QStringLiteral("MMControl1"));

    Picture1 = new ClockLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setPixmap(QPixmap(QStringLiteral(":/aces.png")));
    Picture1->setScaledContents(true);
    Picture1->setToolTip(QStringLiteral("Click to Exit"));
    Picture1->setCursor(Qt::PointingHandCursor);
    m_design.push_back({Picture1, QRect(13680, 0, 1695, 1215), 0});

    connect(Timer1, &QTimer::timeout, this, &Blinds::Timer1_Elapsed);
    connect(lblTime, &ClockLabel::clicked, this, &Blinds::pauseClick);
    connect(cmdPause, &QPushButton::clicked, this, &Blinds::pauseClick);
    connect(Picture1, &ClockLabel::clicked, this, [] { endProgram(0); });
    connect(MMControl1, &SoundPlayer::finished, this, &Blinds::alertFinished);
}

ClockLabel *Blinds::makeLabel(const LabelDesign &d) {
    auto *control = new ClockLabel(this);
    control->setObjectName(QString::fromLatin1(d.name));
    control->setText(QString::fromLatin1(d.caption));
    control->setAlignment((d.centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
    QFont font = control->font();
    font.setFamilies(clockFontFamilies());
    font.setWeight(QFont::Normal);
    font.setItalic(d.italic);
    control->setFont(font);
    setForeColor(control, d.colour);
    m_design.push_back({control, d.twips, d.points});
    m_faceLabels.push_back(control);
    return control;
}

ClockLabel *Blinds::addFaceLabel(const char *name) {
    const LabelDesign *design = labelDesign(name);
    if (design == nullptr)
        return nullptr;
    if (auto *made = findChild<ClockLabel *>(QString::fromLatin1(name)))
        return made;
    ClockLabel *label = makeLabel(*design);
    label->hide();
    relayout();
    return label;
}

void Blinds::buildLine() {
    Line1 = new QWidget(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    // A drawn line, not a control: a click on it belongs to the time below.
    Line1->setAttribute(Qt::WA_TransparentForMouseEvents);
    Line1->setAutoFillBackground(true);
    QPalette linePalette = Line1->palette();
    linePalette.setColor(QPalette::Window, toColor(Black));
    Line1->setPalette(linePalette);
}

ClockPlan Blinds::planOfFile(const FileRead &file) {
    const ReadResult read = parseTournamentFile(file);
    if (!read.ok())
        throw TournamentFileError(read.message());
    const Tournament &tournament = read.tournament;
    Module1::BreakRound = tournament.breakRound;
    Module1::BreakDuration = tournament.breakMinutes;
    return planOf(tournament);
}

void Blinds::loadPlan() {
    MMControl1->setVisible(false);
    UntimedFinal = false;

    LevelCount = m_plan.roundCount();
    CurrentLevel = 1;
    RemainingMs = m_plan.round(1).lengthMs;

    startTimer1();

    lblCurrentSmall->setCaption(m_plan.round(1).small);
    lblCurrentBig->setCaption(m_plan.round(1).big);
    lblNextSmall->setCaption(m_plan.round(2).small);
    lblNextBig->setCaption(m_plan.round(2).big);
    Label1->setText(restCaption());

    MMControl1->setDeviceType(QStringLiteral("WaveAudio"));
    MMControl1->setFileName(Module1::SoundFile);
    MMControl1->setCommand(QStringLiteral("Open"));
    MMControl1->setCommand(QStringLiteral("Play"));
}

QString Blinds::restCaption() const {
    // What the heading says between announcements.
    if (!m_plan.structure)
        return QStringLiteral("Current Level");
    const PlanRound &now = m_plan.round(CurrentLevel);
    return now.isBreak ? QStringLiteral("Break") : QStringLiteral("Level %1").arg(now.levelNumber);
}

void Blinds::showRoundLabels() {
    if (!m_plan.structure)
        return;
    const auto show = [this](const char *name, const QString &text) {
        auto *label = findChild<ClockLabel *>(QString::fromLatin1(name));
        label->setCaption(text);
        label->setVisible(!text.isEmpty());
    };
    const bool running = CurrentLevel <= LevelCount;
    const PlanRound &now = m_plan.round(CurrentLevel);
    const PlanRound &next = m_plan.round(CurrentLevel + 1);
    show("lblCurrentAnte", running && !now.isBreak ? now.ante : QString());
    show("lblNote", running && now.isBreak ? now.note : QString());
    show("lblNextAnte", CurrentLevel < LevelCount && !next.isBreak ? next.ante : QString());
    const qint64 toBreak = m_plan.msToNextBreak(CurrentLevel, RemainingMs);
    show("lblNextBreak", toBreak >= 0 ? breakInText(toBreak) : QString());
}

void Blinds::Timer1_Timer() {
    // The ticks of a timeout are published once, at its end.
    const auto publish = qScopeGuard([this] {
        if (!m_batch && !m_replaying)
            publishFace();
    });

    // 1. Pause gate: a pause asked for takes effect on this tick, which
    // still counts its second.
    if (isPaused())
        Timer1->stop();

    // 2. Countdown.
    RemainingMs = checked::sub(RemainingMs, TickMs);
    MinutesLeft = checked::narrow<qint16>(RemainingMs / MsPerMinute);
    SecondsLeft = checked::narrow<qint16>(
        checked::sub(RemainingMs, checked::mul(qint32{MinutesLeft}, MsPerMinute)) / MsPerSecond);

    // 3. Time text.
    timeText();

    // 4. Paused text.
    if (isPaused())
        lblTime->setText(QStringLiteral("Paused"));

    // 5. Announcement.
    if (Flashing)
        announcement();

    // 6. Time left in this level.
    if (RemainingMs > 0)
        return;

    // 7. The level has run out.
    levelChange();
}

void Blinds::startTimer1() {
    // Enabling the timer starts its interval afresh.
    Timer1->start(TickInterval);
    m_catchUp.restart();
}

void Blinds::setSteadyClock(SteadyClock clock) {
    m_catchUp.setClock(std::move(clock));
}

void Blinds::Timer1_Elapsed() {
    const qint64 count = m_catchUp.ticksDue();
    // A burst of ticks after a hold-up (a laptop waking from sleep) runs
    // every level change it spans but sounds the alert once.
    m_holdAlerts = count > 1;
    m_batch = true;
    for (qint64 n = 0; n < count && Timer1->isActive(); ++n)
        Timer1_Timer();
    m_batch = false;
    m_holdAlerts = false;
    if (std::exchange(m_alertHeld, false))
        alert();
    publishFace();

    if (!Timer1->isActive())
        return;
    const CatchUp::Next next = m_catchUp.next();
    if (next.reaim)
        Timer1->start(next.interval);
    else if (Timer1->intervalAsDuration() != next.interval)
        Timer1->setInterval(next.interval);
}

void Blinds::timeText() {
    MinutesText = minutesText(MinutesLeft);
    SecondsText = secondsText(SecondsLeft);
    lblTime->setText(MinutesText + QLatin1Char(':') + SecondsText);
}

void Blinds::announcement() {
    Label1->setText(QStringLiteral("Blinds Have Increased!!!"));

    // The announcement lasts for the first minute of the level.
    const double levelMinutes = m_plan.round(CurrentLevel).lengthMs / double{MsPerMinute};
    if (levelMinutes > checked::add(MinutesLeft, qint16{1}))
        endAnnouncement();

    // Red and yellow by turns; white stays.
    ColourToggled = false;
    if (foreColor(Label1) == Red) {
        setForeColor(Label1, Yellow);
        ColourToggled = true;
    }
    if (!ColourToggled && foreColor(Label1) == Yellow)
        setForeColor(Label1, Red);
}

void Blinds::endAnnouncement() {
    Flashing = false;
    Label1->setText(restCaption());
    setForeColor(Label1, White);
    if (UntimedFinal) {
        Label1->setText(QStringLiteral("Final Round"));
        Timer1->stop();
    }
}

void Blinds::levelChange() {
    Flashing = !m_plan.round(CurrentLevel + 1).isBreak;
    setForeColor(Label1, Yellow);
    CurrentLevel = checked::add(CurrentLevel, qint16{1});
    lblCurrentSmall->setCaption(m_plan.round(CurrentLevel).small);
    lblCurrentBig->setCaption(m_plan.round(CurrentLevel).big);
    // A structure's heading names the round until an announcement takes it.
    if (m_plan.structure)
        Label1->setText(restCaption());
    alert();

    if (CurrentLevel == LevelCount) {
        for (QWidget *next : std::initializer_list<QWidget *>{Label4, Label2[1], Label3[1],
                                                              lblNextSmall, lblNextBig})
            next->setVisible(false);
        if (!Module1::TimedTournament) {
            lblTime->setVisible(false);
            Label5->setText(QStringLiteral("This is the Final Level.  Good Luck!"));
            UntimedFinal = true;
        } else {
            Label5->setText(QStringLiteral("This is the Final Level."));
        }
    }

    if (CurrentLevel == checked::add(LevelCount, qint16{1})) {
        alert();
        lblTime->setText(QStringLiteral("Ended!"));
        Label5->setText(QStringLiteral("This tournament has"));
        Timer1->stop();
        for (QWidget *heading :
             std::initializer_list<QWidget *>{Label1, Label2[0], Label3[0], Line1})
            heading->setVisible(false);
    }

    const qint16 next = checked::add(CurrentLevel, qint16{1});
    lblNextSmall->setCaption(m_plan.round(next).small);
    lblNextBig->setCaption(m_plan.round(next).big);

    RemainingMs = m_plan.round(CurrentLevel).lengthMs;
}

void Blinds::alert() {
    if (m_replaying)
        return;
    if (m_holdAlerts) {
        m_alertHeld = true;
        return;
    }
    MMControl1->setCommand(QStringLiteral("Prev"));
    MMControl1->setCommand(QStringLiteral("Play"));
    emit alertSounded();
}

void Blinds::pauseClick() {
    const bool wasPaused = isPaused();
    if (!wasPaused)
        cmdPause->setText(CaptionResume);
    if (!Timer1->isActive()) {
        startTimer1();
        cmdPause->setText(CaptionPause);
    }
    // A second click before the pause takes effect changes nothing.
    if (isPaused() != wasPaused)
        publishFace();
}

bool Blinds::isPaused() const {
    return cmdPause->text() == CaptionResume;
}

bool Blinds::command(ClockCommand command) {
    if (command != ClockCommand::Pause && command != ClockCommand::Resume)
        return move(command);
    // Running: counting, no pause asked for. Paused: the pause has taken
    // effect. A clock that stopped by itself (the untimed final round, the
    // end) is neither. As with a click, a hidden time only resumes.
    const bool counting = Timer1->isActive();
    const bool running = counting && !isPaused() && !lblTime->isHidden();
    const bool paused = !counting && isPaused();
    if (!(command == ClockCommand::Pause ? running : paused))
        return false;
    pauseClick();
    return true;
}

void Blinds::closeEvent(QCloseEvent *event) {
    MMControl1->setCommand(QStringLiteral("Close"));
    m_awake->release();
    QWidget::closeEvent(event);
}
