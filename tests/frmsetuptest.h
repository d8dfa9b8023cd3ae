#pragma once
// The setup form's suites on top of testsupport.h: typing an entry as the
// director would, and the break option buttons.
#include "testsupport.h"

#include <QRadioButton>

namespace testsupport {

struct Entry {
    QString levels, duration, breakDuration, breakRound;
    bool withBreak = false;
};

// Types an entry into a shown form as the director would.
inline void type(QWidget *form, const Entry &entry) {
    if (entry.withBreak)
        QTest::mouseClick(child<QRadioButton>(form, "optBreakYes(0)"), Qt::LeftButton);
    QTest::keyClicks(field(form, "txtNumberOfLevels"), entry.levels);
    QTest::keyClicks(field(form, "txtDuration"), entry.duration);
    field(form, "txtBreakDuration")->setText(entry.breakDuration);
    field(form, "txtBreakRound")->setText(entry.breakRound);
}

inline void click(QWidget *form, const QStringList &names) {
    for (const QString &name : names)
        QTest::mouseClick(child<QRadioButton>(form, name), Qt::LeftButton);
}

inline const QString Yes = QStringLiteral("optBreakYes(0)");
inline const QString No = QStringLiteral("optBreakNo");

} // namespace testsupport
