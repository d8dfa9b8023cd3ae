#pragma once

#include <QLabel>

// A label of the clock window. It reports a click of the left mouse button
// (the time display pauses, the picture exits), a double-click as one click,
// and it shows a caption that is wider than the label in a smaller size of
// its design font instead of cutting it off, so a long blind amount stays
// readable.
class ClockLabel final : public QLabel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ClockLabel)

public:
    explicit ClockLabel(QWidget *parent);

    // The font of the design at the window's present scale; the label's own
    // font is this one, or a smaller size of it when the caption needs it.
    void setDesignFont(const QFont &font);
    // Sets the caption and fits the font to it.
    void setCaption(const QString &caption);
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
    void resizeEvent(QResizeEvent *event) override;

private:
    void fitFont();
    QFont drawnFont(const QString &text) const;

    QFont m_designFont;
    bool m_hasDesignFont = false;
    bool m_doubleClick = false;
};
