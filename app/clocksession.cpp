#include "app/clocksession.h"

#include "clock/blinds.h"
#include "clock/clockmoves.h"
#include "clock/clocknotice.h"
#include "clock/clockplayers.h"
#include "clock/journalkeeper.h"
#include "clock/liveshare.h"
#include "clock/phonecontrol.h"
#include "clock/voice.h"
#include "core/roundsjson.h"
#include "core/tournamentfile.h"
#include "live/remotecontrol.h"

namespace orvandel {

Blinds *openClock(const FileRead &file) {
    auto *clock = new Blinds(file, nullptr);
    // In the menu's order.
    auto *live = new LiveShare(clock);
    // The window above has read the same bytes, so they parse.
    if (const ReadResult read = parseTournamentFile(file); read.ok())
        live->setRounds(roundsToJson(read.tournament));
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
    // The phone counts as the players' window does.
    phone->setPlayerHandler([players](RemoteAction action) {
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
    });
    auto *journal = new JournalKeeper(clock, file.bytes);
    // The pages play and say what the laptop does.
    QObject::connect(voice, &ClockVoice::sounded, live, &LiveShare::playSound);
    QObject::connect(voice, &ClockVoice::spoke, live, &LiveShare::speak);
    QObject::connect(live, &LiveShare::switched, journal, &JournalKeeper::setLiveView);
    QObject::connect(players, &ClockPlayers::journalChanged, journal, &JournalKeeper::setPlayers);
    return clock;
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
