#pragma once

#include <QLabel>

// A label of the clock window. It reports a click of the left mouse button
// (the time display pauses, the picture exits), a double-click as one click,
// and it draws a caption that is wider than the label in a smaller font
// instead of cutting it off, so a long blind amount stays readable.
class ClockLabel final : public QLabel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ClockLabel)

public:
    explicit ClockLabel(QWidget *parent);

    // QLabel::setText, but when only some characters change and the rest
    // stay where they were (the time's digits all have one width), only
    // those characters are drawn again: on a 4K screen the whole time label
    // costs a second's worth of ticks in pixels.
    void setText(const QString &text);

signals:
    void clicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QFont drawnFont(const QString &text) const;

    bool m_doubleClick = false;
};
