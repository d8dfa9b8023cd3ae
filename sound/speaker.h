#pragma once

#include <QObject>
#include <QString>

class QTextToSpeech;

namespace orvandel {

// Says sentences aloud through Qt's flite speech engine, inside the program:
// no speech daemon, no network. A sentence that comes while another is being
// said waits for it to end and replaces any sentence still waiting, so that
// only the newest news follows. Without the engine, or without an audio
// device, nothing is heard and nothing fails.
class Speaker final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Speaker)

public:
    explicit Speaker(QObject *parent);
    ~Speaker() override;

    // Empty when sentences can be said; otherwise why not, in words for the
    // director.
    QString unavailableReason() const;

    void say(const QString &sentence);

signals:
    // Every sentence as it is handed to the engine.
    void saying(const QString &sentence);

private:
    void sayNext();

    QTextToSpeech *m_engine = nullptr; // made at the first sentence
    QString m_waiting;
};

} // namespace orvandel
