#include "clock/clocklabel.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <utility>

ClockLabel::ClockLabel(QWidget *parent) : QLabel(parent) {}

void ClockLabel::setDesignFont(const QFont &font) {
    m_designFont = font;
    m_hasDesignFont = true;
    fitFont();
}

void ClockLabel::setCaption(const QString &caption) {
    setText(caption);
    fitFont();
}

void ClockLabel::resizeEvent(QResizeEvent *event) {
    QLabel::resizeEvent(event);
    fitFont();
}

void ClockLabel::fitFont() {
    if (!m_hasDesignFont || m_designFont.pixelSize() <= 0)
        return;
    QFont font = m_designFont;
    const int room = contentsRect().width();
    auto fits = [&](int pixels) {
        font.setPixelSize(pixels);
        return QFontMetrics(font).horizontalAdvance(text()) <= room;
    };
    if (room > 0 && !text().isEmpty() && !fits(m_designFont.pixelSize())) {
        // The largest size that fits; glyphs do not scale exactly with it.
        int low = 1;
        int high = m_designFont.pixelSize() - 1;
        while (low < high) {
            const int middle = (low + high + 1) / 2;
            if (fits(middle))
                low = middle;
            else
                high = middle - 1;
        }
        font.setPixelSize(low);
    } else {
        font.setPixelSize(m_designFont.pixelSize());
    }
    if (font != this->font())
        setFont(font);
}

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
