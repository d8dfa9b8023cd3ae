#include "clock/screenchoice.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>

namespace orvandel {

namespace {
QList<QRect> geometries(const QList<QScreen *> &screens) {
    QList<QRect> rects;
    for (const QScreen *screen : screens)
        rects << screen->geometry();
    return rects;
}
} // namespace

qsizetype clockScreen(const QList<QRect> &screens, qsizetype openingScreen) {
    if (screens.size() == 1)
        return 0;
    qsizetype best = -1;
    qint64 bestArea = -1;
    for (qsizetype i = 0; i < screens.size(); ++i) {
        if (i == openingScreen)
            continue;
        const qint64 area = qint64{screens[i].width()} * screens[i].height();
        if (area > bestArea) {
            best = i;
            bestArea = area;
        }
    }
    return best;
}

qsizetype directorScreen(const QList<QRect> &screens, qsizetype clockScreen, qsizetype primary) {
    if (screens.size() == 1)
        return 0;
    if (primary >= 0 && primary < screens.size() && primary != clockScreen)
        return primary;
    qsizetype best = -1;
    qint64 bestArea = 0;
    for (qsizetype i = 0; i < screens.size(); ++i) {
        const qint64 area = qint64{screens[i].width()} * screens[i].height();
        if (i != clockScreen && (best < 0 || area < bestArea)) {
            best = i;
            bestArea = area;
        }
    }
    return best;
}

QScreen *screenForClock() {
    const QList<QScreen *> screens = QGuiApplication::screens();
    if (screens.size() < 2)
        return nullptr;
    // The opening screen hands over to the clock and is still shown then.
    QScreen *opening = QGuiApplication::primaryScreen();
    for (const QWidget *window : QApplication::topLevelWidgets())
        if (window->objectName() == QLatin1String("Opening") && window->isVisible())
            opening = window->screen();
    const qsizetype target = clockScreen(geometries(screens), screens.indexOf(opening));
    return target >= 0 ? screens[target] : nullptr;
}

QScreen *screenInsteadOf(const QScreen *gone) {
    QList<QScreen *> left = QGuiApplication::screens();
    left.removeAll(gone);
    const qsizetype target = clockScreen(geometries(left), -1);
    return target >= 0 ? left[target] : nullptr;
}

QScreen *screenForDirector(const QWidget *clock) {
    const QList<QScreen *> screens = QGuiApplication::screens();
    const qsizetype target =
        directorScreen(geometries(screens), screens.indexOf(clock ? clock->screen() : nullptr),
                       screens.indexOf(QGuiApplication::primaryScreen()));
    return target >= 0 ? screens[target] : nullptr;
}

void fillScreen(QWidget *window, QScreen *target) {
    const Qt::WindowStates filled = window->windowState() & Qt::WindowFullScreen
                                        ? Qt::WindowStates(Qt::WindowFullScreen)
                                        : Qt::WindowStates(Qt::WindowMaximized);
    // Out of its filled state first, so that the window manager moves it.
    window->setWindowState(Qt::WindowNoState);
    window->setScreen(target);
    QRect normal(QPoint(), window->size());
    normal.moveCenter(target->availableGeometry().center());
    window->setGeometry(normal);
    window->setWindowState(filled);
}

} // namespace orvandel
