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

signals:
    void clicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_doubleClick = false;
};
