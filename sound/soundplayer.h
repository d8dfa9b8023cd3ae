#pragma once

#include <QString>
#include <QWidget>

class QSoundEffect;

// Plays the alert sound: a wave file named without a folder, found in the
// working folder, or one built into the program (":/warning.wav"). Driven the way the windows drive
// it: set DeviceType and FileName, then send Command "Open", "Play", "Prev" or "Close". Nothing
// here blocks, and a missing or unplayable file, or no audio device, is silence.
class SoundPlayer final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SoundPlayer)

public:
    explicit SoundPlayer(QWidget *parent);
    ~SoundPlayer() override;

    QString deviceType() const { return m_deviceType; }
    void setDeviceType(const QString &type) { m_deviceType = type; }
    QString fileName() const { return m_fileName; }
    void setFileName(const QString &name) { m_fileName = name; }

    // "Open" opens FileName; "Play" starts from the current position and
    // returns at once; "Prev" goes back to the start; "Close" stops and
    // releases the file. Unknown commands are ignored.
    void setCommand(const QString &command);

    // The file currently open, empty when none.
    QString openFile() const { return m_openFile; }
    // How many times "Play" found a file open: the alert went off, whether
    // or not an audio device was there to hear it.
    int plays() const { return m_plays; }

signals:
    // Every command, as it is sent: lets tests follow the sequence without
    // an audio device.
    void commandIssued(const QString &command);
    // A sound that was playing has stopped, at its end or by a command.
    void finished();

private:
    void release();

    QString m_deviceType;
    QString m_fileName;
    QString m_openFile;
    int m_plays = 0;
    QSoundEffect *m_effect = nullptr;
};
