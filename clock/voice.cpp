#include "clock/voice.h"

#include "clock/blinds.h"
#include "core/announcement.h"
#include "sound/soundplayer.h"
#include "sound/speaker.h"

#include <QAction>
#include <QMenu>
#include <QSettings>
#include <QTimer>
#include <chrono>

namespace orvandel {

using namespace std::chrono_literals;

namespace {

// The sentence follows its sound, but never later than this after it.
constexpr auto SpeakAfter = 2s;

// The desktop's settings store, under the program's name.
QSettings choices() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Orvandel"),
                     QStringLiteral("Orvandel"));
}

} // namespace

ClockVoice::ClockVoice(Blinds *clock) : QObject(clock), m_last(clock->face()) {
    setObjectName(QStringLiteral("clockVoice"));
    m_speaker = new Speaker(this);
    sndWarning = new SoundPlayer(clock);
    sndWarning->setObjectName(QStringLiteral("sndWarning"));
    sndWarning->setFileName(QStringLiteral(":/warning.wav"));
    tmrSpeak = new QTimer(this);
    tmrSpeak->setObjectName(QStringLiteral("tmrSpeak"));
    tmrSpeak->setSingleShot(true);
    tmrSpeak->setInterval(SpeakAfter);
    connect(tmrSpeak, &QTimer::timeout, this, &ClockVoice::speakNow);
    connect(clock, &Blinds::alertFinished, this, &ClockVoice::speakNow);
    connect(sndWarning, &SoundPlayer::finished, this, &ClockVoice::speakNow);
    connect(clock, &Blinds::alertSounded, this, [this] {
        m_sentence.clear();
        m_announce = Announce::Level;
    });
    connect(clock, &Blinds::faceChanged, this, &ClockVoice::faceChanged);

    QMenu *menu = clock->menu();
    menu->addSeparator();
    menu->setToolTipsVisible(true); // why speaking is greyed out
    const QSettings remembered = choices();
    actSpeak = menu->addAction(QStringLiteral("Speak the new blinds"));
    actSpeak->setObjectName(QStringLiteral("actSpeak"));
    actSpeak->setCheckable(true);
    const QString unavailable = m_speaker->unavailableReason();
    if (unavailable.isEmpty()) {
        actSpeak->setChecked(remembered.value(QStringLiteral("clock/speak"), false).toBool());
    } else {
        actSpeak->setEnabled(false);
        actSpeak->setToolTip(unavailable);
    }
    actWarning = menu->addAction(QStringLiteral("Warn a minute before the level ends"));
    actWarning->setObjectName(QStringLiteral("actWarning"));
    actWarning->setCheckable(true);
    actWarning->setChecked(remembered.value(QStringLiteral("clock/warning"), false).toBool());
    // Loaded once the warning is wanted: a clock that never warns spends
    // nothing on it.
    connect(actWarning, &QAction::toggled, this, [this](bool on) {
        if (on && !std::exchange(m_warningOpen, true))
            sndWarning->setCommand(QStringLiteral("Open"));
    });
    if (actWarning->isChecked()) {
        sndWarning->setCommand(QStringLiteral("Open"));
        m_warningOpen = true;
    }
    connect(actSpeak, &QAction::triggered, this,
            [](bool on) { choices().setValue(QStringLiteral("clock/speak"), on); });
    connect(actWarning, &QAction::triggered, this,
            [](bool on) { choices().setValue(QStringLiteral("clock/warning"), on); });
}

void ClockVoice::faceChanged(const ClockFace &face) {
    // Warned when the countdown of one level, not a jump of the clock, went
    // past its last minute. The untimed final level hides its time and has
    // no end to warn of; a level change since the last face makes the
    // warning old news.
    const bool oneCountdown = face.jumps == m_last.jumps && face.level == m_last.level;
    if (actWarning->isChecked() && m_announce == Announce::Nothing && oneCountdown &&
        !face.untimedFinal &&
        warningDue(m_last.remainingMs, face.remainingMs, face.roundLengthMs)) {
        m_sentence.clear();
        sndWarning->setCommand(QStringLiteral("Prev"));
        sndWarning->setCommand(QStringLiteral("Play"));
        emit sounded(QStringLiteral("warning"));
        m_announce = Announce::Warning;
    }
    m_last = face;
    announce(face);
}

void ClockVoice::announce(const ClockFace &face) {
    const Announce what = std::exchange(m_announce, Announce::Nothing);
    if (what == Announce::Nothing || !actSpeak->isChecked())
        return;
    // Made now, at the end of the tick: what the clock then shows.
    m_sentence = what == Announce::Level ? levelSentence(face) : warningSentence(face);
    tmrSpeak->start();
}

void ClockVoice::speakNow() {
    tmrSpeak->stop();
    const QString sentence = std::exchange(m_sentence, {});
    if (sentence.isEmpty())
        return;
    m_speaker->say(sentence);
    emit spoke(sentence);
}

} // namespace orvandel
