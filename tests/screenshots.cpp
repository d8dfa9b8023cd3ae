// Renders the windows in the states the README shows and writes them as PNG
// files. Run on the offscreen platform with a screen of the wanted size:
//   QT_QPA_PLATFORM=offscreen:configfile=screen.json screenshots OUTDIR [SUFFIX]
#include "app/application.h"
#include "app/module1.h"
#include "app/opening.h"
#include "clock/blinds.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

int main(int argc, char *argv[]) {
    OrvandelApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    const QString suffix = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    QDir().mkpath(out);
    const QString outDir = QDir(out).absolutePath();
    QTemporaryDir work;
    QDir::setCurrent(work.path());
    QFile file(QStringLiteral("blinds.dat"));
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write("4,20\r\n\"$10\",\"$20\"\r\n\"$20\",\"$40\"\r\n\"Break\",\"Time!\"\r\n"
               "\"$50\",\"$100\"\r\n3,15\r\n");
    file.close();

    Module1::SoundFile = QStringLiteral("sound1.wav");
    Module1::TimedTournament = true;

    auto save = [&](QWidget *w, const QString &name) {
        w->show();
        QTest::qWait(50);
        w->grab().save(outDir + QLatin1Char('/') + name + suffix + QStringLiteral(".png"));
    };

    {
        Opening opening;
        save(&opening, QStringLiteral("opening"));
    }
    {
        Blinds clock;
        clock.setAttribute(Qt::WA_DeleteOnClose, false);
        clock.showMaximized();
        for (int i = 0; i < 75; ++i)
            clock.Timer1_Timer();
        save(&clock, QStringLiteral("clock"));
        for (int i = 0; i < 1200 - 75; ++i)
            clock.Timer1_Timer();
        clock.Timer1_Timer();
        save(&clock, QStringLiteral("clock-announcing"));
    }
    return 0;
}
