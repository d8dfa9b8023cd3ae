#include "clock/clocklabel.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <utility>

ClockLabel::ClockLabel(QWidget *parent) : QLabel(parent) {}

void ClockLabel::mouseDoubleClickEvent(QMouseEvent *event) {
    // The release of this second press is not a click of its own: a director
    // who double-clicks the time would otherwise resume and pause at once.
    m_doubleClick = event->button() == Qt::LeftButton;
    QLabel::mouseDoubleClickEvent(event);
}

void ClockLabel::mouseReleaseEvent(QMouseEvent *event) {
    const bool secondOfDouble = std::exchange(m_doubleClick, false);
    if (event->button() == Qt::LeftButton && !secondOfDouble &&
        rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

void ClockLabel::paintEvent(QPaintEvent *event) {
    if (!pixmap().isNull() || text().isEmpty()) {
        QLabel::paintEvent(event);
        return;
    }
    QFont font = this->font();
    const qreal needed = QFontMetricsF(font).horizontalAdvance(text());
    const qreal room = contentsRect().width();
    if (needed > room && room > 0 && font.pixelSize() > 0)
        font.setPixelSize(std::max(1, static_cast<int>(font.pixelSize() * room / needed)));
    QPainter painter(this);
    painter.setFont(font);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(contentsRect(), static_cast<int>(alignment()) | Qt::TextSingleLine, text());
}
