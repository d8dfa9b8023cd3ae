#pragma once

#include "core/catchup.h"
#include "core/clockface.h"
#include "core/journalfile.h"
#include "core/tournamentfile.h"

#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <array>
#include <chrono>
#include <exception>
#include <functional>

class ClockLabel;
class frmRemote;
class LiveView;
class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QScreen;
class QTimer;
class ScreenAwake;
class SoundPlayer;
class Speaker;
namespace orvandel {
struct Fit;
enum class RemoteAction;
} // namespace orvandel

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

// The level clock: reads the tournament file when it loads, then counts each
// level down second by second on a one-second timer, announces new levels,
// runs the break and the final level and announces the end.
class Blinds final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Blinds)

public:
    // Loads the window. Throws TournamentFileError when blinds.dat in the
    // working folder cannot be run.
    explicit Blinds(QWidget *parent = nullptr);
    // The same, with blinds.dat as read at Start.
    Blinds(const orvandel::FileRead &file, QWidget *parent);

    // One tick of Timer1: pause gate, countdown, time text, paused text,
    // announcement and, when the level has run out, the level change.
    void Timer1_Timer();

    // A timeout of Timer1: runs every tick that has come due by the steady
    // clock since the last one, at least one, so the display never falls
    // behind real time when the event loop was held up.
    void Timer1_Elapsed();

    // The screen `gone` is going away: if the clock is on it, the clock moves
    // to the largest remaining screen and fills it there.
    void screenRemoved(QScreen *gone);

    // Milliseconds of a monotonic clock; tests put in their own.
    using SteadyClock = orvandel::CatchUp::SteadyClock;
    void setSteadyClock(SteadyClock clock);

    // Stands the clock, just loaded, where the journal entry says, paused, as
    // it would stand had it run there from level 1. The entry must fit the
    // tournament (orvandel::fitsTournament).
    void restore(const orvandel::JournalEntry &entry);

    // A press of Pause or Resume on the director's phone: the click on the
    // time, but only when it brings the clock to the state asked for, so that
    // a press sent twice or retried never undoes itself. True when it acted;
    // the clock's window then says so for a few seconds.
    bool remoteControl(orvandel::RemoteAction action);

    // What the clock shows now. faceChanged() follows every change of it.
    orvandel::ClockFace face() const;

    // The ports the live view tries, first to last; tests give their own.
    void setLivePorts(quint16 first, quint16 last);

    // Size of the design, in twips; the window scales it to fit. The next
    // level's big blind and the picture reach past the designed client area,
    // so the area that is fitted to the window includes them.
    static constexpr int DesignWidth = 15360;
    static constexpr int DesignHeight = 9105;
    static constexpr int FittedWidth = 15375;
    static constexpr int FittedHeight = 9600;

signals:
    void faceChanged(const orvandel::ClockFace &face);

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
        int left, top, width, height;
        qreal points; // font size; 0 for no text
    };

    void buildControls();
    void buildMenu();
    void setFullScreen(bool on);
    void buildLivePanel();
    // Starts or stops the clock on phones and TVs; a start that fails is
    // reported and leaves it off.
    void setLiveView(bool on);
    bool liveViewOn() const;
    // The address panel shows while the view is on, unless the director hid it.
    void showLivePanel();
    void layoutLivePanel(const orvandel::Fit &fit);
    // The QR code at the size its control has now, each module sharp.
    void drawLiveQr();
    // Sends faceChanged() when the face differs from the one last sent.
    void publishFace();
    void loadTournament(const orvandel::FileRead &file);
    void relayout();
    void timeText();
    void announcement();
    void levelChange();
    void pauseClick();
    bool isPaused() const; // a pause asked for or in effect
    void buildRemote();
    // "Control from a phone…": the live view on, the secret taken by it, and
    // the pairing window with the control address.
    void pairRemote();
    // "Stop phone control": a new secret, which no phone has, and none
    // taken until the next pairing.
    void stopRemote();
    void startTimer1();
    void alert();
    // Indexed by level number, as the file counts them; element 0 stays empty.
    using BlindTable = std::array<QString, orvandel::MaxLevels + 1>;
    static QString blindAt(const BlindTable &table, qint16 level);
    void recordJournal();
    void buildJournalNotice();
    // A line of white text on the clock, hidden until showNotice() and hidden
    // again by its single-shot timer `shownFor` later.
    void buildNotice(ClockLabel *&label, const QString &labelName, QTimer *&timer,
                     const QString &timerName, Qt::Alignment align,
                     std::chrono::milliseconds shownFor);
    static void showNotice(ClockLabel *label, QTimer *timer, const QString &text);
    // The clock out loud: the choices, the warning a minute before a level
    // ends, and the sentence after a level change's or the warning's sound.
    void buildVoice();
    // After a tick's countdown from `beforeMs`: the warning when this tick
    // crossed the level's last minute.
    void warnIfDue(qint32 beforeMs);
    void soundWarning();
    // The alert or the warning, on the laptop and on every page, to be
    // followed by the sentence `then` stands for.
    enum class Announce { Nothing, Level, Warning };
    void sound(SoundPlayer *player, const QString &name, Announce then);
    // At the end of a tick or a burst: the sentence for what was sounded,
    // said once its sound has ended, or after two seconds.
    void announce();
    void speakNow();
    // The sounds the live view's pages play.
    void shareSounds();

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
    ClockLabel *lblNotice; // says for a while when the journal cannot be written
    QTimer *tmrNotice;
    SoundPlayer *MMControl1;
    ClockLabel *Picture1;
    // The card room's additions, switched by a right-click anywhere.
    QMenu *mnuClock = nullptr;
    QAction *actFullScreen = nullptr;
    QAction *actLiveView = nullptr;
    QAction *actLiveAddress = nullptr;
    // The live view's address, as text and as a QR code, in the top left.
    ClockLabel *lblLiveUrl = nullptr;
    QLabel *picLiveQr = nullptr;
    LiveView *m_live = nullptr;
    QImage m_liveQr; // one pixel a module
    quint16 m_liveFirstPort = 8088;
    quint16 m_liveLastPort = 8108;
    QAction *actRemote = nullptr;
    QAction *actRemoteRevoke = nullptr;
    // Tells the room for a few seconds why the clock stopped or went on.
    ClockLabel *lblRemoteNotice;
    QTimer *tmrRemoteNotice;
    QPointer<frmRemote> m_remoteWindow;
    // The director's phone's secret: new at every start and on "Stop phone
    // control", in memory only.
    QByteArray m_remoteSecret;
    QAction *actSpeak = nullptr;
    QAction *actWarning = nullptr;
    Speaker *m_speaker = nullptr;
    SoundPlayer *sndWarning = nullptr;
    QTimer *tmrSpeak = nullptr;              // the latest a sentence waits for its sound
    Announce m_announce = Announce::Nothing; // sounded in this tick or burst
    QString m_sentence;                      // waiting for its sound to end
    bool m_warningHeld = false;              // the warning came due in a burst
    std::vector<Design> m_design;
    // The labels of the design table, in its order: what the face is made of.
    std::vector<ClockLabel *> m_faceLabels;
    bool m_journalFailing = false; // the last entry could not be written
    ScreenAwake *m_awake = nullptr;
    orvandel::CatchUp m_catchUp;
    bool m_holdAlerts = false; // within a burst of caught-up ticks
    bool m_alertHeld = false;  // an alert came due during the burst
    orvandel::ClockJournal m_journal;
    bool m_replaying = false; // restore() runs the ticks up to the journal's point
    orvandel::ClockFace m_publishedFace;

    // Window state
    qint16 MinutesLeft = 0;
    qint16 SecondsLeft = 0;
    qint32 LevelLengthMs = 0;
    qint16 LevelCount = 0;
    qint16 CurrentLevel = 0;
    BlindTable BigBlinds;
    BlindTable SmallBlinds;
    QString MinutesText;
    QString SecondsText;
    bool Flashing = false;
    bool ColourToggled = false;
    bool UntimedFinal = false;
    qint32 BreakLengthMs = 0;
    qint32 RemainingMs = 0;
};
