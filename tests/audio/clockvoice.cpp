// Runs the clock window, unseen, in a fresh working folder on a tournament of
// two-minute levels, ticks it straight to a point worth hearing, then lets the
// sounds play out for SECONDS and exits 0.
//
//   clockvoice level SOUND SECONDS      the change to level 2, with SOUND as
//                                       the alert; the new blinds are spoken
//                                       when ORVANDEL_SPEAK=1
//   clockvoice warning SECONDS          1:00 left in level 1, the alert
//                                       silent (no sound file)

#include "app/clocksession.h"
#include "clock/blinds.h"
#include "core/module1.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <memory>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments().mid(1);
    const bool level = args.size() == 3 && args.at(0) == QLatin1String("level");
    const bool warning = args.size() == 2 && args.at(0) == QLatin1String("warning");
    bool ok = false;
    const int seconds = args.value(args.size() - 1).toInt(&ok);
    if ((!level && !warning) || !ok || seconds < 1 || seconds > 60) {
        std::fputs("usage: clockvoice level SOUND SECONDS | clockvoice warning SECONDS\n", stderr);
        return 2;
    }

    QTemporaryDir folder;
    QFile blinds(folder.filePath(QStringLiteral("blinds.dat")));
    if (!folder.isValid() || !blinds.open(QIODevice::WriteOnly) ||
        blinds.write("3,2\r\n\"$10\",\"$20\"\r\n\"$25\",\"$50\"\r\n\"$50\",\"$100\"\r\n0,0\r\n") <
            0 ||
        (level && !QFile::copy(args.at(1), folder.filePath(QStringLiteral("alert.wav")))))
        return 1;
    blinds.close();
    QDir::setCurrent(folder.path());
    Module1::SoundFile = QStringLiteral("alert.wav");
    Module1::TimedTournament = true;

    auto clock = std::unique_ptr<Blinds>(orvandel::openClock());
    clock->findChild<QAction *>(QStringLiteral("actSpeak"))
        ->setChecked(qEnvironmentVariableIntValue("ORVANDEL_SPEAK") == 1);
    clock->findChild<QAction *>(QStringLiteral("actWarning"))->setChecked(warning);
    // The load's alert is started over by the level change straight after.
    for (int tick = 0; tick < (level ? 120 : 60); ++tick)
        clock->Timer1_Timer();
    QTimer::singleShot(seconds * 1000, &app, &QApplication::quit);
    return QApplication::exec();
}
