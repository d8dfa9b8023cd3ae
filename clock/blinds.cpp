#include "clock/blinds.h"
#include "clock/clocklabel.h"
#include "sound/soundplayer.h"
#include "app/formgeometry.h"
#include <QCloseEvent>
#include <QPushButton>
#include <QTimer>

Blinds::Blinds(QWidget *parent) : QWidget(parent) {
    orvandel::prepareWindow(this, QStringLiteral("Blinds"), QStringLiteral("Orvandel"));
}
void Blinds::Timer1_Timer() {}
void Blinds::closeEvent(QCloseEvent *event) { QWidget::closeEvent(event); }
void Blinds::resizeEvent(QResizeEvent *event) { QWidget::resizeEvent(event); }
