#include "sound/soundplayer.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSoundEffect>
#include <QUrl>

namespace {

// Qt 6.5 and later play through FFmpeg, whose backend writes its version and
// the hardware decoders it found to the log when the first sound loads. The
// alert plays without a word, as it does through GStreamer on older Qt;
// QT_LOGGING_RULES still turns those lines on.
void quietenBackend() {
    static const bool once = [] {
        QLoggingCategory::setFilterRules(QStringLiteral("qt.multimedia.ffmpeg.info=false"));
        return true;
    }();
    Q_UNUSED(once)
}

} // namespace

SoundPlayer::SoundPlayer(QWidget *parent) : QWidget(parent) {
    quietenBackend();
    hide();
}

SoundPlayer::~SoundPlayer() {
    // A sound effect stops as it is deleted with its player; the window
    // listening for the end may be half gone by then.
    if (m_effect)
        m_effect->disconnect(this);
}

void SoundPlayer::setCommand(const QString &command) {
    emit commandIssued(command);
    if (command == QLatin1String("Open")) {
        release();
        m_openFile = m_fileName;
        const QFileInfo file(QDir::current(), m_fileName);
        // A missing file stays silent: nothing to load, nothing reported.
        if (m_fileName.isEmpty() || !file.isFile())
            return;
        m_effect = new QSoundEffect(this);
        connect(m_effect, &QSoundEffect::playingChanged, this, [this, effect = m_effect] {
            if (!effect->isPlaying())
                emit finished();
        });
        m_effect->setSource(m_fileName.startsWith(QLatin1String(":/"))
                                ? QUrl(QStringLiteral("qrc") + m_fileName)
                                : QUrl::fromLocalFile(file.absoluteFilePath()));
    } else if (command == QLatin1String("Play")) {
        if (!m_openFile.isEmpty())
            ++m_plays;
        if (m_effect)
            m_effect->play(); // queued by Qt until the file is loaded
    } else if (command == QLatin1String("Prev")) {
        // QSoundEffect always plays from the start; stopping is enough to
        // make the next Play start over.
        if (m_effect)
            m_effect->stop();
    } else if (command == QLatin1String("Close")) {
        release();
    }
}

void SoundPlayer::release() {
    m_openFile.clear();
    if (m_effect) {
        m_effect->stop();
        m_effect->deleteLater();
        m_effect = nullptr;
    }
}
