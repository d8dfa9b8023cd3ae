#pragma once

#include "core/clockface.h"

#include <QObject>
#include <QString>

class Blinds;
class QAction;
class QTimer;
class SoundPlayer;

namespace orvandel {
class Speaker;

// The clock out loud: the new blinds said after each level change's alert,
// and a warning sound, with its sentence, a minute before a level ends. Both
// are the director's choices in the clock's menu, remembered between runs.
// What to say is read from the clock's faces: the one after the alert, or
// two faces of one countdown on either side of the last minute.
class ClockVoice final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ClockVoice)

public:
    explicit ClockVoice(Blinds *clock);

signals:
    // A sound ("warning") played, or a sentence handed to the speaker.
    void sounded(const QString &name);
    void spoke(const QString &sentence);

private:
    enum class Announce { Nothing, Level, Warning };
    void faceChanged(const orvandel::ClockFace &face);
    // The sentence for what was sounded, said once its sound has ended, or
    // after two seconds.
    void announce(const orvandel::ClockFace &face);
    void speakNow();

    QAction *actSpeak;
    QAction *actWarning;
    Speaker *m_speaker;
    SoundPlayer *sndWarning;
    QTimer *tmrSpeak; // the latest a sentence waits for its sound
    orvandel::ClockFace m_last;
    Announce m_announce = Announce::Nothing; // sounded since the last face
    QString m_sentence;                      // waiting for its sound to end
    bool m_warningOpen = false;              // the warning's sound is loaded
};

} // namespace orvandel
