// For the browser test: the real clock window, on the offscreen platform,
// running the tournament in the working folder in real time, feeds a live
// view through faceChanged(). Prints "port N" once the view listens, then
// "face TIME|SMALL|BIG" with the window's time and current blinds each time
// its face changes. Ends by itself after --seconds (default 60).
#include "clock/blinds.h"
#include "core/clockdesign.h"
#include "core/module1.h"
#include "live/liveview.h"

#include <QApplication>
#include <QTcpServer>
#include <QTimer>
#include <cstdio>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    int seconds = 60;
    if (argc == 3 && QByteArrayView(argv[1]) == "--seconds")
        seconds = QByteArray(argv[2]).toInt();
    QTimer::singleShot(std::chrono::seconds(std::clamp(seconds, 1, 600)), &app,
                       [] { QApplication::exit(0); });

    auto say = [](const orvandel::ClockFace &face) {
        QStringList shown;
        for (const char *name : {"lblTime", "lblCurrentSmall", "lblCurrentBig"}) {
            const orvandel::FaceControl *control = face.control(QString::fromLatin1(name));
            shown << (control ? control->text : QString());
        }
        std::printf("face %s\n", qPrintable(shown.join(u'|')));
        std::fflush(stdout);
    };

    Module1::TimedTournament = true;
    Blinds clock;
    clock.setAttribute(Qt::WA_DeleteOnClose, false);
    LiveView view;
    view.setDesign(orvandel::designToJson());
    view.publish(clock.face());
    QObject::connect(&clock, &Blinds::faceChanged, &view, &LiveView::publish);
    QObject::connect(&clock, &Blinds::faceChanged, &app, say);

    // Ports that are free now; other programs on the machine listen too.
    QTcpServer probe;
    if (!probe.listen(QHostAddress::Any, 0))
        return 2;
    const quint16 first = probe.serverPort();
    probe.close();
    QString error;
    if (!view.start(first, static_cast<quint16>(first + 9), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 2;
    }
    std::printf("port %u\n", view.port());
    say(clock.face());
    clock.show();
    return QApplication::exec();
}
