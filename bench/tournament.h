#pragma once

#include <QByteArray>

namespace bench {

// One level long enough for any bench run, so the countdown never changes
// level and the time text alone tells how many ticks have been counted.
inline constexpr int LevelMinutes = 60;

// blinds.dat for that level, as the level setup form writes it.
inline QByteArray tournamentFile() {
    return QByteArray::number(LevelMinutes).prepend("1,") + "\r\n\"$10\",\"$20\"\r\n0,0\r\n";
}

} // namespace bench
