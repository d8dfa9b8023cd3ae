#include "app/clocksession.h"

#include "clock/blinds.h"
#include "clock/clockmoves.h"
#include "clock/clocknotice.h"
#include "clock/clockplayers.h"
#include "clock/journalkeeper.h"
#include "clock/liveshare.h"
#include "clock/phonecontrol.h"
#include "clock/voice.h"
#include "core/tournamentfile.h"

namespace orvandel {

Blinds *openClock(const FileRead &file) {
    auto *clock = new Blinds(file, nullptr);
    // In the menu's order.
    auto *live = new LiveShare(clock);
    // Bottom left, where nothing else is drawn: what a phone or the director
    // did to the clock.
    auto *notice = new ClockNotice(
        clock, {"lblRemoteNotice", "tmrRemoteNotice", Qt::AlignLeft | Qt::AlignVCenter,
                QRect(240, 8400, 3765, 600), 18, std::chrono::seconds{5}});
    new PhoneControl(clock, live, notice);
    auto *voice = new ClockVoice(clock);
    new ClockMoves(clock, notice);
    auto *players = new ClockPlayers(clock);
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
