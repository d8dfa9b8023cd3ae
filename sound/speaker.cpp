#include "sound/speaker.h"

#include <QTextToSpeech>
#include <utility>

namespace orvandel {

namespace {
// Named, because the default engine is speech-dispatcher wherever it is
// installed, and that needs a daemon of its own.
const QString Engine = QStringLiteral("flite");
} // namespace

Speaker::Speaker(QObject *parent) : QObject(parent) {}

Speaker::~Speaker() = default;

QString Speaker::unavailableReason() const {
    // Read from the plugins' metadata: nothing is loaded until a sentence
    // is said, so a clock that never speaks never touches the engine.
    if (!QTextToSpeech::availableEngines().contains(Engine))
        return QStringLiteral("Speaking needs Qt's flite speech engine (Debian package "
                              "qt6-speech-flite-plugin), which is not installed.");
    return {};
}

void Speaker::say(const QString &sentence) {
    if (sentence.isEmpty() || !unavailableReason().isEmpty())
        return;
    if (!m_engine) {
        m_engine = new QTextToSpeech(Engine, this);
        connect(m_engine, &QTextToSpeech::stateChanged, this, [this](QTextToSpeech::State state) {
            if (state != QTextToSpeech::Speaking)
                sayNext();
        });
    }
    m_waiting = sentence;
    // Never cut short: Qt's flite engine loses the sentence said after a
    // stop(), and a retry can crash it.
    if (m_engine->state() != QTextToSpeech::Speaking)
        sayNext();
}

void Speaker::sayNext() {
    if (m_waiting.isEmpty())
        return;
    const QString sentence = std::exchange(m_waiting, {});
    emit saying(sentence);
    m_engine->say(sentence);
}

} // namespace orvandel
