// The clock out loud: the new blinds said after each level change's alert,
// and a warning sound, with its sentence, a minute before a level ends. Both
// are the director's choices in the menu, remembered between runs.
#include "clock/blinds.h"

#include "core/module1.h"
#include "core/announcement.h"
#include "live/liveview.h"
#include "core/regularfile.h"
#include "sound/soundplayer.h"
#include "sound/speaker.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QSettings>
#include <QTimer>
#include <chrono>

using namespace orvandel;
using namespace std::chrono_literals;

namespace {

// The sentence follows its sound, but never later than this after it.
constexpr auto SpeakAfter = 2s;
const QString WarningSound = QStringLiteral(":/warning.wav");
// A wave file of minutes would be no alert; the chooser's are a few seconds.
constexpr qint64 MaxSoundBytes = qint64{16} * 1024 * 1024;

// The desktop's settings store, under the program's name.
QSettings choices() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Orvandel"),
                     QStringLiteral("Orvandel"));
}

} // namespace

void Blinds::buildVoice() {
    m_speaker = new Speaker(this);
    sndWarning = new SoundPlayer(this);
    sndWarning->setObjectName(QStringLiteral("sndWarning"));
    sndWarning->setFileName(WarningSound);
    sndWarning->setCommand(QStringLiteral("Open"));
    tmrSpeak = new QTimer(this);
    tmrSpeak->setObjectName(QStringLiteral("tmrSpeak"));
    tmrSpeak->setSingleShot(true);
    tmrSpeak->setInterval(SpeakAfter);
    connect(tmrSpeak, &QTimer::timeout, this, &Blinds::speakNow);
    connect(MMControl1, &SoundPlayer::finished, this, &Blinds::speakNow);
    connect(sndWarning, &SoundPlayer::finished, this, &Blinds::speakNow);

    mnuClock->addSeparator();
    mnuClock->setToolTipsVisible(true); // why speaking is greyed out
    const QSettings remembered = choices();
    actSpeak = mnuClock->addAction(QStringLiteral("Speak the new blinds"));
    actSpeak->setObjectName(QStringLiteral("actSpeak"));
    actSpeak->setCheckable(true);
    const QString unavailable = m_speaker->unavailableReason();
    if (unavailable.isEmpty()) {
        actSpeak->setChecked(remembered.value(QStringLiteral("clock/speak"), false).toBool());
    } else {
        actSpeak->setEnabled(false);
        actSpeak->setToolTip(unavailable);
    }
    actWarning = mnuClock->addAction(QStringLiteral("Warn a minute before the level ends"));
    actWarning->setObjectName(QStringLiteral("actWarning"));
    actWarning->setCheckable(true);
    actWarning->setChecked(remembered.value(QStringLiteral("clock/warning"), false).toBool());
    connect(actSpeak, &QAction::triggered, this,
            [](bool on) { choices().setValue(QStringLiteral("clock/speak"), on); });
    connect(actWarning, &QAction::triggered, this,
            [](bool on) { choices().setValue(QStringLiteral("clock/warning"), on); });
}

void Blinds::warnIfDue(qint32 beforeMs) {
    // The level's own length: the break's for the break. The untimed final
    // level hides its time and has no end to warn of.
    const qint32 lengthMs = Module1::BreakRound == CurrentLevel ? BreakLengthMs : LevelLengthMs;
    if (!actWarning->isChecked() || UntimedFinal || m_replaying ||
        !warningDue(beforeMs, RemainingMs, lengthMs))
        return;
    if (m_holdAlerts)
        m_warningHeld = true;
    else
        soundWarning();
}

void Blinds::soundWarning() {
    sound(sndWarning, QStringLiteral("warning"), Announce::Warning);
}

void Blinds::sound(SoundPlayer *player, const QString &name, Announce then) {
    m_sentence.clear();
    player->setCommand(QStringLiteral("Prev"));
    player->setCommand(QStringLiteral("Play"));
    if (liveViewOn())
        m_live->playSound(name);
    m_announce = then;
}

void Blinds::announce() {
    const Announce what = std::exchange(m_announce, Announce::Nothing);
    if (what == Announce::Nothing || !actSpeak->isChecked())
        return;
    // Made now, at the end of the tick: what the clock then shows.
    m_sentence = what == Announce::Level ? levelSentence(face()) : warningSentence(face());
    tmrSpeak->start();
}

void Blinds::speakNow() {
    tmrSpeak->stop();
    const QString sentence = std::exchange(m_sentence, {});
    if (sentence.isEmpty())
        return;
    m_speaker->say(sentence);
    if (liveViewOn())
        m_live->speak(sentence);
}

void Blinds::shareSounds() {
    // The phones play what the laptop plays: the alert the director chose
    // and the warning.
    QFile warning(WarningSound);
    const QByteArray warningBytes =
        warning.open(QIODevice::ReadOnly) ? warning.readAll() : QByteArray();
    const FileRead alert = readRegularFile(Module1::SoundFile, MaxSoundBytes);
    m_live->setSounds(alert.ok() ? alert.bytes : QByteArray(), warningBytes);
}
