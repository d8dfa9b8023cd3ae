#pragma once

#include <QObject>
#include <QRect>
#include <QString>
#include <chrono>

class Blinds;
class ClockLabel;
class QTimer;

namespace orvandel {

// A line of white text on the clock that tells the room something for a few
// seconds: hidden until show(), hidden again by its single-shot timer.
class ClockNotice final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ClockNotice)

public:
    struct Design {
        const char *label; // the label's objectName
        const char *timer; // the timer's objectName
        Qt::Alignment align;
        QRect twips; // on the clock's design
        qreal points;
        std::chrono::milliseconds shownFor;
    };
    ClockNotice(Blinds *clock, const Design &design);

    // Shows `text` (shrunk to fit) from now for the notice's time.
    void show(const QString &text);
    void hide();

private:
    ClockLabel *m_label;
    QTimer *m_timer;
};

} // namespace orvandel
