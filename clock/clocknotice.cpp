#include "clock/clocknotice.h"

#include "clock/blinds.h"
#include "clock/clocklabel.h"
#include "clock/colours.h"
#include "ui/fonts.h"

#include <QTimer>

namespace orvandel {

ClockNotice::ClockNotice(Blinds *clock, const Design &design) : QObject(clock) {
    m_label = new ClockLabel(clock);
    m_label->setObjectName(QString::fromLatin1(design.label));
    m_label->setAlignment(design.align);
    QFont font = m_label->font();
    font.setFamilies(orvandel::clockFontFamilies());
    m_label->setFont(font);
    orvandel::colours::setForeColor(m_label, orvandel::colours::White);
    m_label->hide();
    clock->addControl(m_label, design.twips, design.points);
    // The window's, so that it is found with the clock's other timers.
    m_timer = new QTimer(clock);
    m_timer->setObjectName(QString::fromLatin1(design.timer));
    m_timer->setSingleShot(true);
    m_timer->setInterval(design.shownFor);
    connect(m_timer, &QTimer::timeout, m_label, &QWidget::hide);
}

void ClockNotice::show(const QString &text) {
    m_label->setCaption(text);
    m_label->show();
    m_label->raise();
    m_timer->start();
}

void ClockNotice::hide() {
    m_label->hide();
}

} // namespace orvandel
