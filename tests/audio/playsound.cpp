// Plays one wave file through SoundPlayer the way the windows drive it, then
// waits so that the sound can be heard or recorded, and exits 0.
//
//   playsound FILE SECONDS                  DeviceType, FileName, Open, Play
//   playsound --restart-after T FILE SECONDS
//                                           as above, and T seconds after
//                                           Play sends Prev, then Play again
//
// SECONDS is counted from the first Play. The player looks the bare file name
// up in the working folder, so the tool moves into the file's folder first.

#include "sound/soundplayer.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <QTimer>

#include <cstdio>

namespace {
int usage() {
    std::fputs("usage: playsound [--restart-after SECONDS] FILE SECONDS\n", stderr);
    return 2;
}

int milliseconds(const QString &seconds, bool *ok) {
    const double value = seconds.toDouble(ok);
    if (*ok && (value < 0 || value > 600))
        *ok = false;
    return static_cast<int>(value * 1000.0);
}
} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QStringList args = QApplication::arguments().mid(1);

    int restartAfter = -1;
    if (args.size() == 4 && args.at(0) == QLatin1String("--restart-after")) {
        bool ok = false;
        restartAfter = milliseconds(args.at(1), &ok);
        if (!ok)
            return usage();
        args = args.mid(2);
    }
    if (args.size() != 2)
        return usage();
    bool ok = false;
    const int wait = milliseconds(args.at(1), &ok);
    if (!ok)
        return usage();

    const QFileInfo file(args.at(0));
    QDir::setCurrent(file.absolutePath());

    SoundPlayer player(nullptr);
    player.setDeviceType(QStringLiteral("WaveAudio"));
    player.setFileName(file.fileName());
    player.setCommand(QStringLiteral("Open"));
    player.setCommand(QStringLiteral("Play"));

    if (restartAfter >= 0) {
        QTimer::singleShot(restartAfter, &player, [&player] {
            player.setCommand(QStringLiteral("Prev"));
            player.setCommand(QStringLiteral("Play"));
        });
    }
    QTimer::singleShot(wait, &app, [&player] {
        player.setCommand(QStringLiteral("Close"));
        QApplication::quit();
    });
    return QApplication::exec();
}
