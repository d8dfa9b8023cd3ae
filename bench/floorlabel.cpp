// The floor of the cost bench: the least a Qt Widgets program can do to show
// what the clock shows once a second. A full-screen blue window with one
// label of the clock's time label's size, place and font on this screen,
// yellow, whose text counts down once a second.

#include "clock/blinds.h"
#include "ui/fonts.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <algorithm>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    // The clock's layout: its design fitted to the screen, the time in
    // 99.75 points at 96 dots an inch, scaled with it.
    constexpr double TwipsPerPixel = 15;
    const double scale = std::min(screen.width() / (orvandel::FittedWidth / TwipsPerPixel),
                                  screen.height() / (orvandel::FittedHeight / TwipsPerPixel));
    QWidget window;
    window.setAutoFillBackground(true);
    QPalette colours = window.palette();
    colours.setColor(QPalette::Window, QColor(0, 0, 255));
    colours.setColor(QPalette::WindowText, QColor(255, 255, 0));
    window.setPalette(colours);
    window.setGeometry(screen);
    // lblTime's place in the design, in twips, fitted as the clock fits it.
    const double k = scale / TwipsPerPixel;
    const double originX = (screen.width() - orvandel::FittedWidth / TwipsPerPixel * scale) / 2;
    const double originY = (screen.height() - orvandel::FittedHeight / TwipsPerPixel * scale) / 2;
    QLabel label(&window);
    label.setGeometry(QRectF(QPointF(originX + 1560 * k, originY + 4680 * k),
                             QPointF(originX + (1560 + 13125) * k, originY + (4680 + 2145) * k))
                          .toAlignedRect());
    QFont font(QStringLiteral("Arial"));
    font.setFamilies(orvandel::clockFontFamilies());
    font.setPixelSize(std::max(1, qRound(99.75 * 96.0 / 72.0 * scale)));
    label.setFont(font);
    label.setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    int left = 72 * 60;
    auto show = [&] {
        label.setText(QStringLiteral(" %1:%2")
                          .arg(left / 60, 2, 10, QLatin1Char('0'))
                          .arg(left % 60, 2, 10, QLatin1Char('0')));
    };
    show();
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &label, [&] {
        left = left > 0 ? left - 1 : 72 * 60;
        show();
    });
    timer.start(1000);
    window.show();
    return QApplication::exec();
}
