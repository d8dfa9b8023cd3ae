#include "clock/blinds.h"

#include "app/formgeometry.h"
#include "app/module1.h"
#include "app/programend.h"
#include "clock/checked.h"
#include "clock/clocklabel.h"
#include "clock/screenawake.h"
#include "clock/timetext.h"
#include "setup/tournamentfile.h"
#include "sound/soundplayer.h"

#include <QCloseEvent>
#include <QElapsedTimer>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <cmath>
#include <memory>

using namespace orvandel;

namespace {

// Colours as the design gives them: 0x00BBGGRR.
constexpr unsigned int Red = 255;
constexpr unsigned int Yellow = 65535;
constexpr unsigned int White = 16777215;
constexpr unsigned int Blue = 0x00FF0000;
constexpr unsigned int LightBlue = 0x00FFC0C0;
constexpr unsigned int Silver = 0x00C0C0C0;
constexpr unsigned int LineBlack = 0x00000000;

constexpr int TickIntervalMs = 1000;
// A timeout this much later than its tick was due re-aims the next one.
constexpr qint64 RephaseAfterMs = 5;
constexpr int LineWidthPixels = 3;

QColor toColor(unsigned int bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

unsigned int toBgr(const QColor &colour) {
    return static_cast<unsigned int>(colour.red()) |
           (static_cast<unsigned int>(colour.green()) << 8) |
           (static_cast<unsigned int>(colour.blue()) << 16);
}

const QString CaptionPause = QStringLiteral("Pause");
const QString CaptionResume = QStringLiteral("Resume");

} // namespace

Blinds::Blinds(QWidget *parent) : QWidget(parent) {
    prepareWindow(this, QStringLiteral("Blinds"), QStringLiteral("Orvandel"));
    // No close, minimize or maximize box: the clock is left by its picture.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    resize(px(DesignWidth), px(DesignHeight));
    setWindowState(Qt::WindowMaximized);
    QPalette background = palette();
    background.setColor(QPalette::Window, toColor(Blue));
    setPalette(background);
    setAutoFillBackground(true);

    auto *steady = new QElapsedTimer;
    steady->start();
    m_steadyClock = [steady = std::shared_ptr<QElapsedTimer>(steady)] { return steady->elapsed(); };

    buildControls();
    loadTournament();
    m_journal.open(QString::fromLatin1(TournamentFileName));
    relayout();
    // Nobody touches the laptop during a tournament; the screen must not
    // blank or lock while the clock runs.
    m_awake = new ScreenAwake(this);
}

void Blinds::buildControls() {
    auto label = [this](const QString &name, const QString &caption, unsigned int colour,
                        qreal points, Qt::Alignment align, int left, int top, int width,
                        int height) {
        auto *control = new ClockLabel(this);
        control->setObjectName(name);
        control->setText(caption);
        control->setAlignment(align | Qt::AlignTop);
        setForeColor(control, colour);
        m_design.push_back({control, left, top, width, height, points});
        return control;
    };
    const Qt::Alignment centre = Qt::AlignHCenter;
    const Qt::Alignment left = Qt::AlignLeft;

    Label1 = label(QStringLiteral("Label1"), QStringLiteral("Current Level"), White, 36, centre,
                   1680, 240, 12975, 855);
    Label2[0] = label(QStringLiteral("Label2(0)"), QStringLiteral("Small Blind"), White, 15.75,
                      left, 4320, 1200, 1695, 495);
    Label3[0] = label(QStringLiteral("Label3(0)"), QStringLiteral("Big Blind"), White, 15.75, left,
                      11640, 1200, 1335, 495);
    lblCurrentSmall = label(QStringLiteral("lblCurrentSmall"), QStringLiteral("$20.00"), LightBlue,
                            99.75, centre, 1650, 1650, 6165, 1935);
    lblCurrentBig = label(QStringLiteral("lblCurrentBig"), QStringLiteral("$20.00"), LightBlue,
                          99.75, centre, 8880, 1650, 6165, 1935);
    Label5 = label(QStringLiteral("Label5"), QStringLiteral("Time remaining at this level:"),
                   Yellow, 20.25, centre, 2505, 4200, 11505, 615);
    lblTime = label(QStringLiteral("lblTime"), QStringLiteral("00:00"), Yellow, 99.75, centre, 1560,
                    4680, 13125, 2145);
    lblTime->setToolTip(QStringLiteral("Click to Pause"));
    lblTime->setCursor(Qt::PointingHandCursor);

    Line1 = new QWidget(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    // A drawn line, not a control: a click on it belongs to the time below.
    Line1->setAttribute(Qt::WA_TransparentForMouseEvents);
    Line1->setAutoFillBackground(true);
    QPalette linePalette = Line1->palette();
    linePalette.setColor(QPalette::Window, toColor(LineBlack));
    Line1->setPalette(linePalette);

    Label4 = label(QStringLiteral("Label4"), QStringLiteral("Next Level"), Silver, 24, left, 7170,
                   6960, 2415, 615);
    QFont italic = Label4->font();
    italic.setItalic(true);
    Label4->setFont(italic);
    Label2[1] = label(QStringLiteral("Label2(1)"), QStringLiteral("Small Blind"), Silver, 14.25,
                      left, 4800, 7680, 1575, 375);
    Label3[1] = label(QStringLiteral("Label3(1)"), QStringLiteral("Big Blind"), Silver, 14.25, left,
                      10500, 7680, 1215, 375);
    lblNextSmall = label(QStringLiteral("lblNextSmall"), QStringLiteral("Label5"), Silver, 48,
                         centre, 4125, 8160, 2895, 975);
    lblNextBig = label(QStringLiteral("lblNextBig"), QStringLiteral("Label5"), Silver, 48, centre,
                       9720, 8160, 2895, 1335);

    // Holds the pause state in its caption; never shown.
    cmdPause = new QPushButton(CaptionPause, this);
    cmdPause->setObjectName(QStringLiteral("cmdPause"));
    cmdPause->hide();
    m_design.push_back({cmdPause, 120, 8520, 1095, 405, 0});

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
    m_design.push_back({Picture1, 13680, 0, 1695, 1215, 0});

    for (const Design &design : m_design) {
        if (design.points <= 0)
            continue;
        QFont font = design.control->font();
        font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
        font.setWeight(QFont::Normal);
        design.control->setFont(font);
    }

    connect(Timer1, &QTimer::timeout, this, &Blinds::Timer1_Elapsed);
    connect(lblTime, &ClockLabel::clicked, this, &Blinds::pauseClick);
    connect(cmdPause, &QPushButton::clicked, this, &Blinds::pauseClick);
    connect(Picture1, &ClockLabel::clicked, this, [] { endProgram(0); });
}

void Blinds::loadTournament() {
    MMControl1->setVisible(false);
    UntimedFinal = false;

    const ReadResult file = readTournamentFile(QString::fromLatin1(TournamentFileName));
    if (!file.ok())
        throw TournamentFileError(file.message());
    const Tournament &tournament = file.tournament;
    LevelCount = tournament.levelCount;
    LevelLengthMs = tournament.levelMinutes;
    for (CurrentLevel = 1; CurrentLevel <= LevelCount; ++CurrentLevel) {
        const auto &level = tournament.levels.at(static_cast<std::size_t>(CurrentLevel - 1));
        SmallBlinds[checked::index(CurrentLevel, SmallBlinds.size())] = level.small;
        BigBlinds[checked::index(CurrentLevel, BigBlinds.size())] = level.big;
    }
    Module1::BreakRound = tournament.breakRound;
    Module1::BreakDuration = tournament.breakMinutes;

    CurrentLevel = 1;
    LevelLengthMs = checked::mul(checked::mul(LevelLengthMs, 1000), 60);
    RemainingMs = LevelLengthMs;
    BreakLengthMs = checked::mul(checked::mul(Module1::BreakDuration, 1000), 60);

    startTimer1();

    lblCurrentSmall->setText(blindAt(SmallBlinds, 1));
    lblCurrentBig->setText(blindAt(BigBlinds, 1));
    lblNextSmall->setText(blindAt(SmallBlinds, 2));
    lblNextBig->setText(blindAt(BigBlinds, 2));

    MMControl1->setDeviceType(QStringLiteral("WaveAudio"));
    MMControl1->setFileName(Module1::SoundFile);
    MMControl1->setCommand(QStringLiteral("Open"));
    MMControl1->setCommand(QStringLiteral("Play"));
}

QString Blinds::blindAt(const std::array<QString, 11> &table, qint16 level) {
    // Past the last level there is nothing to show: the final level's "next"
    // and the levels after a restarted end read as empty.
    if (level >= static_cast<qint16>(table.size()))
        return {};
    return table[checked::index(level, table.size())];
}

void Blinds::Timer1_Timer() {
    // 1. Pause gate: a pause asked for takes effect on this tick, which
    // still counts its second.
    if (cmdPause->text() == CaptionResume)
        Timer1->stop();

    // 2. Countdown.
    RemainingMs = checked::sub(RemainingMs, qint32{TickIntervalMs});
    MinutesLeft = checked::narrow<qint16>(RemainingMs / 60000);
    SecondsLeft = checked::narrow<qint16>(
        checked::sub(RemainingMs, checked::mul(qint32{MinutesLeft}, qint32{60000})) / 1000);

    // 3. Time text.
    timeText();

    // 4. Paused text.
    if (cmdPause->text() == CaptionResume)
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
    Timer1->start(TickIntervalMs);
    m_lastDueMs = m_steadyClock();
}

void Blinds::setSteadyClock(SteadyClock clock) {
    m_steadyClock = std::move(clock);
    m_lastDueMs = m_steadyClock();
}

void Blinds::Timer1_Elapsed() {
    const qint64 now = m_steadyClock();
    const qint64 due = (now - m_lastDueMs) / TickIntervalMs;
    const qint64 count = std::max<qint64>(1, due);
    for (qint64 n = 0; n < count && Timer1->isActive(); ++n)
        Timer1_Timer();
    // Timer events that come faster than real time (tools, tests) start the
    // count afresh rather than running ahead of the steady clock.
    m_lastDueMs = due >= count ? m_lastDueMs + count * TickIntervalMs : now;
    recordJournal();

    if (!Timer1->isActive())
        return;
    // After a hold-up Qt schedules the next timeout a whole interval from
    // now; aim it at the next due tick instead, then go back to the plain
    // interval.
    const qint64 late = now - m_lastDueMs;
    if (late > RephaseAfterMs)
        Timer1->start(static_cast<int>(TickIntervalMs - late));
    else if (Timer1->interval() != TickIntervalMs)
        Timer1->setInterval(TickIntervalMs);
}

void Blinds::timeText() {
    MinutesText = minutesText(MinutesLeft);
    SecondsText = secondsText(SecondsLeft);
    lblTime->setText(MinutesText + QLatin1Char(':') + SecondsText);
}

void Blinds::announcement() {
    Label1->setText(QStringLiteral("Blinds Have Increased!!!"));

    // The announcement lasts for the first minute of the level.
    const double levelMinutes = LevelLengthMs / 60000.0;
    if (levelMinutes > checked::add(MinutesLeft, qint16{1})) {
        Flashing = false;
        Label1->setText(QStringLiteral("Current Level"));
        setForeColor(Label1, White);
        if (UntimedFinal) {
            Label1->setText(QStringLiteral("Final Round"));
            Timer1->stop();
        }
    }

    // Red and yellow by turns; white stays.
    ColourToggled = false;
    if (foreColor(Label1) == Red) {
        setForeColor(Label1, Yellow);
        ColourToggled = true;
    }
    if (!ColourToggled && foreColor(Label1) == Yellow)
        setForeColor(Label1, Red);
}

void Blinds::levelChange() {
    Flashing = checked::add(CurrentLevel, qint16{1}) != Module1::BreakRound;
    setForeColor(Label1, Yellow);
    CurrentLevel = checked::add(CurrentLevel, qint16{1});
    lblCurrentSmall->setText(blindAt(SmallBlinds, CurrentLevel));
    lblCurrentBig->setText(blindAt(BigBlinds, CurrentLevel));
    alert();

    if (CurrentLevel == LevelCount) {
        for (QWidget *next :
             {static_cast<QWidget *>(Label4), static_cast<QWidget *>(Label2[1]),
              static_cast<QWidget *>(Label3[1]), static_cast<QWidget *>(lblNextSmall),
              static_cast<QWidget *>(lblNextBig)})
            next->setVisible(false);
        if (!Module1::TimedTournament) {
            lblTime->setVisible(false);
            Label5->setText(QStringLiteral("This is the Final Level.  Good Luck!"));
            UntimedFinal = true;
        } else {
            RemainingMs = LevelLengthMs;
            Label5->setText(QStringLiteral("This is the Final Level."));
        }
    }

    if (CurrentLevel == checked::add(LevelCount, qint16{1})) {
        alert();
        lblTime->setText(QStringLiteral("Ended!"));
        Label5->setText(QStringLiteral("This tournament has"));
        Timer1->stop();
        for (QWidget *heading : {static_cast<QWidget *>(Label1), static_cast<QWidget *>(Label2[0]),
                                 static_cast<QWidget *>(Label3[0]), Line1})
            heading->setVisible(false);
    }

    const qint16 next = checked::add(CurrentLevel, qint16{1});
    lblNextSmall->setText(blindAt(SmallBlinds, next));
    lblNextBig->setText(blindAt(BigBlinds, next));

    RemainingMs = LevelLengthMs;
    if (Module1::BreakRound == CurrentLevel)
        RemainingMs = BreakLengthMs;
}

void Blinds::alert() {
    if (m_replaying)
        return;
    MMControl1->setCommand(QStringLiteral("Prev"));
    MMControl1->setCommand(QStringLiteral("Play"));
}

void Blinds::pauseClick() {
    if (cmdPause->text() == CaptionPause)
        cmdPause->setText(CaptionResume);
    if (!Timer1->isActive()) {
        startTimer1();
        cmdPause->setText(CaptionPause);
    }
    recordJournal();
}

void Blinds::setForeColor(QWidget *control, unsigned int vbColour) {
    QPalette colours = control->palette();
    colours.setColor(QPalette::WindowText, toColor(vbColour));
    control->setPalette(colours);
}

unsigned int Blinds::foreColor(const QWidget *control) const {
    return toBgr(control->palette().color(QPalette::WindowText));
}

void Blinds::closeEvent(QCloseEvent *event) {
    MMControl1->setCommand(QStringLiteral("Close"));
    m_awake->release();
    QWidget::closeEvent(event);
}

void Blinds::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    relayout();
}

// Lays the design out at the largest uniform scale that fits the window,
// centred, so the digits fill the same share of any screen.
void Blinds::relayout() {
    const qreal designWidth = FittedWidth / qreal(TwipsPerPixel);
    const qreal designHeight = FittedHeight / qreal(TwipsPerPixel);
    const qreal scale = std::min(width() / designWidth, height() / designHeight);
    const qreal originX = (width() - designWidth * scale) / 2;
    const qreal originY = (height() - designHeight * scale) / 2;
    auto map = [&](int left, int top, int w, int h) {
        const qreal k = scale / TwipsPerPixel;
        const QPointF topLeft(originX + left * k, originY + top * k);
        const QPointF bottomRight(originX + (left + w) * k, originY + (top + h) * k);
        return QRectF(topLeft, bottomRight).toAlignedRect();
    };

    for (const Design &design : m_design) {
        design.control->setGeometry(map(design.left, design.top, design.width, design.height));
        if (design.points > 0) {
            QFont font = design.control->font();
            // Points at 96 logical dots per inch, then scaled with the layout.
            font.setPixelSize(std::max(1, qRound(design.points * 96.0 / 72.0 * scale)));
            design.control->setFont(font);
        }
    }
    const int thickness = std::max(1, qRound(LineWidthPixels * scale));
    const QRect line = map(600, 6720, 15000 - 600, 0);
    Line1->setGeometry(line.left(), line.top() - thickness / 2, line.width(), thickness);
}
