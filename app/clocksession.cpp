#include "app/clocksession.h"

#include "clock/blinds.h"
#include "clock/clockmoves.h"
#include "clock/clocknotice.h"
#include "clock/clockplayers.h"
#include "clock/journalkeeper.h"
#include "clock/liveshare.h"
#include "clock/phonecontrol.h"
#include "clock/voice.h"
#include "core/clockplan.h"
#include "core/roundsjson.h"
#include "core/structure.h"
#include "core/tournamentfile.h"
#include "live/remotecontrol.h"

#include <QFileInfo>

namespace orvandel {

namespace {

// The phone counts as the players' window does.
bool countFromPhone(ClockPlayers *players, RemoteAction action) {
    switch (action) {
    case RemoteAction::Out:
        return players->count(PlayerBook::Count::Out);
    case RemoteAction::Entry:
        return players->count(PlayerBook::Count::Entries);
    case RemoteAction::Rebuy:
        return players->count(PlayerBook::Count::Rebuys);
    case RemoteAction::AddOn:
        return players->count(PlayerBook::Count::AddOns);
    case RemoteAction::UndoCount:
        return players->undoCount();
    default:
        return false;
    }
}

// The additions, attached to a clock on the file whose bytes are `bytes`;
// `rounds`, the rounds the pages list.
Blinds *attach(Blinds *clock, const QByteArray &bytes, const QString &structurePath,
               const QByteArray &rounds) {
    // In the menu's order.
    auto *live = new LiveShare(clock);
    live->setRounds(rounds);
    // Bottom left, where nothing else is drawn: what a phone or the director
    // did to the clock.
    auto *notice = new ClockNotice(
        clock, {"lblRemoteNotice", "tmrRemoteNotice", Qt::AlignLeft | Qt::AlignVCenter,
                QRect(240, 8400, 3765, 600), 18, std::chrono::seconds{5}});
    auto *phone = new PhoneControl(clock, live, notice);
    auto *voice = new ClockVoice(clock);
    // The phone's moves and the laptop's share one list to undo.
    phone->setMoves(new ClockMoves(clock, notice));
    auto *players = new ClockPlayers(clock);
    phone->setPlayerHandler(
        [players](RemoteAction action) { return countFromPhone(players, action); });
    auto *journal = new JournalKeeper(clock, bytes, structurePath);
    // The pages play and say what the laptop does.
    QObject::connect(voice, &ClockVoice::sounded, live, &LiveShare::playSound);
    QObject::connect(voice, &ClockVoice::spoke, live, &LiveShare::speak);
    QObject::connect(live, &LiveShare::switched, journal, &JournalKeeper::setLiveView);
    QObject::connect(players, &ClockPlayers::journalChanged, journal, &JournalKeeper::setPlayers);
    return clock;
}

} // namespace

Blinds *openClock(const FileRead &file) {
    auto *clock = new Blinds(file, nullptr);
    // The window has read the same bytes, so they parse.
    const ReadResult read = parseTournamentFile(file);
    return attach(clock, file.bytes, QString(),
                  read.ok() ? roundsToJson(read.tournament) : QByteArray());
}

Blinds *openStructureClock(const QString &path, const FileRead &file) {
    // Read again only to say why it cannot be read, as the editor says it.
    StructureRead read = file.ok() ? parseStructure(file.bytes) : readStructureFile(path);
    if (!file.ok() && read.ok())
        read.error = QStringLiteral("It cannot be read.");
    if (!read.ok())
        throw TournamentFileError(
            QStringLiteral("%1 cannot be run. %2").arg(QFileInfo(path).fileName(), read.error));
    return attach(new Blinds(planOf(read.structure), nullptr), file.bytes, path,
                  roundsToJson(read.structure));
}

Blinds *openStructureClock(const QString &path) {
    return openStructureClock(path, readRegularFile(path, MaxStructureFileBytes));
}

Blinds *openClock() {
    return openClock(
        readRegularFile(QString::fromLatin1(TournamentFileName), MaxTournamentFileBytes));
}

void resumeClock(Blinds *clock, const JournalEntry &entry) {
    clock->restore({entry.level, entry.remainingMs, entry.untimedFinal});
    if (entry.liveView) {
        if (auto *live = clock->findChild<LiveShare *>())
            live->setOn(true);
    }
    if (!entry.players.isEmpty()) {
        if (auto *players = clock->findChild<ClockPlayers *>())
            players->restore(entry.players);
    }
}

} // namespace orvandel
