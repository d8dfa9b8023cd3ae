#pragma once

#include "core/catchup.h"
#include "core/clockdesign.h"
#include "core/clockface.h"
#include "core/clockplan.h"
#include "core/regularfile.h"
#include "core/tournamentfile.h"

#include <QRect>
#include <QString>
#include <QWidget>
#include <exception>
#include <vector>

class ClockLabel;
class QMenu;
class QAction;
class QPushButton;
class QScreen;
class QTimer;
class SoundPlayer;
namespace orvandel {
class ScreenAwake;
struct Fit;

// The tournament file could not be run by the clock: missing, short, or with
// values the clock cannot run. The opening screen reports it and stays.
class TournamentFileError final : public std::exception {
public:
    explicit TournamentFileError(QString message) : m_message(std::move(message)) {}
    QString message() const { return m_message; }
    const char *what() const noexcept override { return "tournament file error"; }

private:
    QString m_message;
};

} // namespace orvandel

// The level clock: reads the tournament file when it loads, then counts each
// level down second by second on a one-second timer, announces new levels,
// runs the break and the final level and announces the end.
//
// Whatever else the room gets from the clock is attached from outside: such
// an object watches faceChanged() and the alert, puts its actions in menu()
// and its controls on the clock through addControl(), and acts through
// command().
class Blinds final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Blinds)

public:
    // Loads the window. Throws TournamentFileError when blinds.dat in the
    // working folder cannot be run.
    explicit Blinds(QWidget *parent = nullptr);
    // The same, with blinds.dat as read at Start.
    Blinds(const orvandel::FileRead &file, QWidget *parent);
    // A clock running `plan`; one of a structure shows its levels, antes,
    // breaks and their notes.
    Blinds(orvandel::ClockPlan plan, QWidget *parent);

    // One tick of Timer1: pause gate, countdown, texts, level change.
    void Timer1_Timer();
    // A timeout of Timer1: every tick due by the steady clock, at least
    // one, so the display never falls behind when the event loop was held.
    void Timer1_Elapsed();

    // The screen `gone` is going away: if the clock is on it, the clock moves
    // to the largest remaining screen and fills it there.
    void screenRemoved(QScreen *gone);

    // Milliseconds of a monotonic clock; tests put in their own.
    using SteadyClock = orvandel::CatchUp::SteadyClock;
    void setSteadyClock(SteadyClock clock);

    // Stands the clock, just loaded, at `point`, paused, as it would stand
    // had it run there from level 1. The point must fit the tournament
    // (orvandel::fitsTournament).
    void restore(const orvandel::ClockPoint &point);

    // A command from outside the window: acts only when it brings the clock
    // to the state asked for, so that one sent twice never undoes itself; a
    // move only where orvandel::moveApplies. True when it acted.
    bool command(orvandel::ClockCommand command);
    // Where the clock stands now, and standing it at such a stand again as
    // restore() does, silently, the pause and the announcement as they were.
    orvandel::ClockStand stand() const;
    void standAt(const orvandel::ClockStand &stand);

    // What the clock shows now. faceChanged() follows every change of it.
    orvandel::ClockFace face() const;

    QMenu *menu() const { return mnuClock; } // for the additions' actions
    // Lays `control`, a child of the clock, out with the design: `twips` on
    // the design, its font `points` (0: none) at the window's scale.
    void addControl(QWidget *control, QRect twips, qreal points);
    // The label `name` of orvandel::extraLabels(), made hidden at its first
    // call and part of the face from then on; nullptr for no such label.
    ClockLabel *addFaceLabel(const char *name);
    // An addition changed what one of its face labels shows: faceChanged()
    // follows now, not at the next tick, which a paused clock does not have.
    void faceLabelChanged();

    // Size of the design, in twips (the window fits orvandel::FittedWidth).
    static constexpr int DesignWidth = 15360;
    static constexpr int DesignHeight = 9105;

signals:
    // Once at the end of every tick or burst of ticks and after a pause or
    // a resume; never while a restore runs, once when it is done.
    void faceChanged(const orvandel::ClockFace &face);
    // The alert of a level change sounded (once for a burst of ticks).
    void alertSounded();
    // The alert's sound has ended.
    void alertFinished();
    // The controls were laid out again at this scale.
    void laidOut(const orvandel::Fit &fit);

protected:
    void changeEvent(QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    struct Design {
        QWidget *control;
        QRect twips;
        qreal points; // font size; 0 for no text
    };
    void buildControls();
    ClockLabel *makeLabel(const orvandel::LabelDesign &design);
    void buildLine();
    void buildMenu();
    void setFullScreen(bool on);
    static orvandel::ClockPlan planOfFile(const orvandel::FileRead &file);
    void loadPlan();
    void showRoundLabels();
    QString restCaption() const;
    void relayout();
    void timeText();
    void announcement();
    void endAnnouncement();
    void levelChange();
    void pauseClick();
    bool isPaused() const; // a pause asked for or in effect
    void startTimer1();
    void alert();
    void publishFace();
    bool move(orvandel::ClockCommand command);
    void rewind();
    void replayTo(const orvandel::ClockPoint &point);
    void jumped(bool paused);

    // Controls
    ClockLabel *Label1;
    ClockLabel *Label2[2];
    ClockLabel *Label3[2];
    ClockLabel *lblCurrentSmall;
    ClockLabel *lblCurrentBig;
    ClockLabel *Label5;
    ClockLabel *lblTime;
    QWidget *Line1;
    ClockLabel *Label4;
    ClockLabel *lblNextSmall;
    ClockLabel *lblNextBig;
    QPushButton *cmdPause;
    QTimer *Timer1;
    SoundPlayer *MMControl1;
    ClockLabel *Picture1;
    QMenu *mnuClock = nullptr;
    QAction *actFullScreen = nullptr;
    std::vector<Design> m_design;
    std::vector<ClockLabel *> m_faceLabels;   // the design table's, in its order
    QList<orvandel::FaceControl> m_startLook; // theirs as loaded, for rewind()
    orvandel::ScreenAwake *m_awake = nullptr;
    orvandel::CatchUp m_catchUp;
    bool m_batch = false;      // within the ticks of one timeout
    bool m_holdAlerts = false; // within a burst of caught-up ticks
    bool m_alertHeld = false;  // an alert came due during the burst
    bool m_replaying = false;  // restore() runs the ticks up to its point
    quint32 m_jumps = 0;

    // Window state
    qint16 MinutesLeft = 0;
    qint16 SecondsLeft = 0;
    qint16 LevelCount = 0;
    qint16 CurrentLevel = 0;
    orvandel::ClockPlan m_plan;
    QString MinutesText;
    QString SecondsText;
    bool Flashing = false;
    bool ColourToggled = false;
    bool UntimedFinal = false;
    qint32 RemainingMs = 0;
};
