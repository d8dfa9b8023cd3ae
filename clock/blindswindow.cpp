// The clock window as a window: the keys it answers, its size and the screen
// it fills.
#include "clock/blinds.h"

#include "clock/clocklabel.h"
#include "clock/fit.h"
#include "clock/screenchoice.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QScreen>

using namespace orvandel;

void Blinds::keyPressEvent(QKeyEvent *event) {
    // The clock is watched, not typed at: a stray key must not end, skip or
    // stop anything, so only these two keys do something.
    event->accept();
    if (event->isAutoRepeat() || (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return;
    if (event->key() == Qt::Key_Space) {
        // As a click on the time: only a paused clock answers while the time
        // is hidden (the untimed final level).
        if (!lblTime->isHidden() || isPaused())
            pauseClick();
    } else if (event->key() == Qt::Key_F11) {
        setFullScreen(!isFullScreen());
    }
}

void Blinds::buildMenu() {
    mnuClock = new QMenu(this);
    mnuClock->setObjectName(QStringLiteral("mnuClock"));
    actFullScreen = mnuClock->addAction(QStringLiteral("Full screen"));
    actFullScreen->setObjectName(QStringLiteral("actFullScreen"));
    actFullScreen->setCheckable(true);
    actFullScreen->setChecked(isFullScreen());
    connect(actFullScreen, &QAction::triggered, this, &Blinds::setFullScreen);
}

void Blinds::addControl(QWidget *control, QRect twips, qreal points) {
    m_design.push_back({control, twips, points});
    relayout();
}

void Blinds::setFullScreen(bool on) {
    if (on == isFullScreen())
        return;
    if (on)
        showFullScreen();
    else
        showMaximized();
}

void Blinds::contextMenuEvent(QContextMenuEvent *event) {
    // A right-click anywhere, on the time and the aces too, only opens the
    // menu: those take the left button alone.
    event->accept();
    mnuClock->popup(event->globalPos());
}

void Blinds::changeEvent(QEvent *event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && actFullScreen)
        actFullScreen->setChecked(isFullScreen());
}

void Blinds::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    relayout();
}

void Blinds::mouseReleaseEvent(QMouseEvent *event) {
    // A hidden time cannot be clicked, but a paused clock must always be
    // resumable: a click where the time stands resumes it.
    if (event->button() == Qt::LeftButton && lblTime->isHidden() && isPaused() &&
        lblTime->geometry().contains(event->position().toPoint()))
        pauseClick();
    QWidget::mouseReleaseEvent(event);
}

void Blinds::screenRemoved(QScreen *gone) {
    if (gone != screen())
        return;
    if (QScreen *target = screenInsteadOf(gone))
        fillScreen(this, target);
}

void Blinds::relayout() {
    const Fit fit = fitDesign(size(), QSize(orvandel::FittedWidth, orvandel::FittedHeight));
    for (const Design &design : m_design) {
        const QRect &at = design.twips;
        design.control->setGeometry(fit.map(at.x(), at.y(), at.width(), at.height()));
        if (design.points > 0) {
            QFont font = design.control->font();
            font.setPixelSize(fit.fontPixels(design.points));
            if (auto *label = qobject_cast<ClockLabel *>(design.control))
                label->setDesignFont(font);
            else
                design.control->setFont(font);
        }
    }
    const LineDesign design = clockLine();
    const int thickness = fit.pixels(design.pixels);
    const QRect line =
        fit.map(design.twips.x(), design.twips.y(), design.twips.width(), design.twips.height());
    Line1->setGeometry(line.left(), line.top() - thickness / 2, line.width(), thickness);
    emit laidOut(fit);
}
