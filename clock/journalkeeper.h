#pragma once

#include "core/clockface.h"
#include "core/journalfile.h"

#include <QObject>
#include <QString>

class Blinds;

namespace orvandel {
class ClockNotice;

// Keeps the clock's journal: where the tournament stands after every tick,
// pause and change of the live view, so that a crash resumes it. Says on the
// clock, once each time it happens, when the journal cannot be written.
class JournalKeeper final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(JournalKeeper)

public:
    // Starts the journal of `clock`, which runs the tournament file whose
    // bytes are `fileBytes`: blinds.dat, or the structure file at
    // `structurePath` when one is given.
    JournalKeeper(Blinds *clock, const QByteArray &fileBytes,
                  const QString &structurePath = QString());

    // Writes where the face says the clock stands.
    void record(const orvandel::ClockFace &face);
    // Whether the clock is shown on phones and TVs, kept with every entry.
    void setLiveView(bool on);
    // The players' count as compact JSON, empty for none, kept with every
    // entry from now on and written at once.
    void setPlayers(const QByteArray &json);

private:
    orvandel::ClockJournal m_journal;
    QByteArray m_fileBytes;
    QString m_fileName;
    bool m_structure;
    orvandel::ClockFace m_last;
    ClockNotice *m_notice;
    bool m_liveView = false;
    QByteArray m_players;
    bool m_failing = false; // the last entry could not be written
};

} // namespace orvandel
