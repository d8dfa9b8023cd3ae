// The clock's face as a value, for whatever shows the clock elsewhere.
#include "clock/blinds.h"

#include "core/module1.h"
#include "clock/clocklabel.h"

#include <QPushButton>

using namespace orvandel;

ClockFace Blinds::face() const {
    ClockFace face;
    for (const ClockLabel *label : m_faceLabels) {
        // isHidden, not isVisible: the face is what the window shows when it
        // is shown, whether or not it is on a screen now.
        face.controls.append({label->objectName(), label->text(),
                              label->palette().color(QPalette::WindowText), !label->isHidden()});
    }
    face.level = CurrentLevel;
    face.levelCount = LevelCount;
    face.remainingMs = RemainingMs;
    face.paused = cmdPause->text() == QLatin1String("Resume");
    face.ended = CurrentLevel > LevelCount;
    face.onBreak = CurrentLevel == Module1::BreakRound;
    return face;
}

void Blinds::publishFace() {
    ClockFace now = face();
    if (now == m_publishedFace)
        return;
    m_publishedFace = std::move(now);
    emit faceChanged(m_publishedFace);
}
