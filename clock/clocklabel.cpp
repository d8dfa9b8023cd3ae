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

void ClockLabel::setText(const QString &text) {
    const QString old = this->text();
    if (text == old)
        return;
    const QFont font = drawnFont(text);
    const QFontMetricsF metrics(font);
    const Qt::Alignment horizontal = alignment() & Qt::AlignHorizontal_Mask;
    const bool sameRun = !old.isEmpty() && old.size() == text.size() && pixmap().isNull() &&
                         isVisible() && font == drawnFont(old) &&
                         metrics.horizontalAdvance(old) == metrics.horizontalAdvance(text) &&
                         (horizontal == Qt::AlignHCenter || horizontal == Qt::AlignLeft);
    if (!sameRun) {
        QLabel::setText(text);
        return;
    }
    qsizetype first = 0;
    while (old[first] == text[first])
        ++first;
    qsizetype end = text.size();
    while (old[end - 1] == text[end - 1])
        --end;
    // Where the text starts, as paintEvent's drawText puts it.
    const QRect room = contentsRect();
    const qreal width = metrics.horizontalAdvance(text);
    const qreal start =
        horizontal == Qt::AlignHCenter ? room.left() + (room.width() - width) / 2 : room.left();
    // Antialiasing and side bearings reach a little past the advances.
    const qreal margin = metrics.height() / 8 + 2;
    const qreal left = start + metrics.horizontalAdvance(text.left(first)) - margin;
    const qreal right = start + metrics.horizontalAdvance(text.left(end)) + margin;
    // The characters are changed without the whole label drawn again.
    setAttribute(Qt::WA_UpdatesDisabled, true);
    QLabel::setText(text);
    setAttribute(Qt::WA_UpdatesDisabled, false);
    update(QRectF(QPointF(left, 0), QPointF(right, height())).toAlignedRect());
}

// The font the caption is drawn in: smaller when the caption is wider than
// the label.
QFont ClockLabel::drawnFont(const QString &text) const {
    QFont font = this->font();
    const qreal needed = QFontMetricsF(font).horizontalAdvance(text);
    const qreal room = contentsRect().width();
    if (needed > room && room > 0 && font.pixelSize() > 0)
        font.setPixelSize(std::max(1, static_cast<int>(font.pixelSize() * room / needed)));
    return font;
}

void ClockLabel::paintEvent(QPaintEvent *event) {
    if (!pixmap().isNull() || text().isEmpty()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.setFont(drawnFont(text()));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(contentsRect(), static_cast<int>(alignment()) | Qt::TextSingleLine, text());
}
