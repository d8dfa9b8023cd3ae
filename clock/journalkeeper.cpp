#include "clock/journalkeeper.h"

#include "clock/blinds.h"
#include "clock/clocknotice.h"
#include "core/tournamentfile.h"

#include <QDir>
#include <QFileInfo>

namespace orvandel {

using namespace std::chrono_literals;

JournalKeeper::JournalKeeper(Blinds *clock, const QByteArray &fileBytes,
                             const QString &structurePath)
    : QObject(clock), m_fileBytes(fileBytes),
      m_fileName(structurePath.isEmpty() ? QString::fromLatin1(TournamentFileName) : structurePath),
      m_structure(!structurePath.isEmpty()) {
    setObjectName(QStringLiteral("journalKeeper"));
    // Long enough to be read from across the room, short enough not to stay.
    m_notice = new ClockNotice(clock, {"lblNotice", "tmrNotice", Qt::AlignHCenter | Qt::AlignTop,
                                       QRect(600, 9150, 14400, 360), 12, 10s});
    m_journal.open(m_fileName, m_fileBytes, m_structure);
    m_last = clock->face();
    connect(clock, &Blinds::faceChanged, this, &JournalKeeper::record);
}

void JournalKeeper::record(const ClockFace &face) {
    m_last = face;
    if (face.ended) {
        // The tournament has ended: nothing to resume, even if the director
        // starts the clock again after "Ended!".
        m_journal.close();
        return;
    }
    // The director undid a move that had ended it: it runs again.
    if (!m_journal.isOpen())
        m_journal.open(m_fileName, m_fileBytes, m_structure);
    const bool written = m_journal.record(face.level, face.remainingMs, face.paused,
                                          face.untimedFinal, m_liveView, m_players);
    // The clock runs on either way; the director hears once that the
    // protection is off, each time it goes off.
    if (!written && !m_failing) {
        m_notice->show(
            QStringLiteral("Resume after a crash is not possible: Orvandel cannot write to %1")
                .arg(QDir::toNativeSeparators(QFileInfo(m_journal.path()).path())));
    } else if (written && m_failing) {
        m_notice->hide();
    }
    m_failing = !written;
}

void JournalKeeper::setLiveView(bool on) {
    if (on == m_liveView)
        return;
    m_liveView = on;
    record(m_last);
}

void JournalKeeper::setPlayers(const QByteArray &json) {
    if (json == m_players)
        return;
    m_players = json;
    record(m_last);
}

} // namespace orvandel
