#pragma once
// The resume suites on top of testsupport.h: clocks run tick by tick, all the
// director can see of one, and the journal it leaves.
#include "testsupport.h"

#include "app/clocksession.h"
#include "clock/blinds.h"
#include "core/journalfile.h"
#include "core/structure.h"

#include <QFile>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <memory>

namespace testsupport {

inline QTimer *timer1(const Blinds *clock) {
    return child<QTimer>(clock, "Timer1");
}

inline QString pauseCaption(const Blinds *clock) {
    return child<QPushButton>(clock, "cmdPause")->text();
}

// Everything the director can see of a window, control by control: whether
// it is hidden, its text colour and its text; and whether the clock runs.
inline QStringList look(const Blinds *clock) {
    QList<QWidget *> controls = clock->findChildren<QWidget *>();
    std::sort(controls.begin(), controls.end(),
              [](const QWidget *a, const QWidget *b) { return a->objectName() < b->objectName(); });
    QStringList seen;
    for (const QWidget *control : controls) {
        if (control->objectName().isEmpty())
            continue;
        QString caption;
        if (const auto *label = qobject_cast<const QLabel *>(control))
            caption = label->text();
        else if (const auto *button = qobject_cast<const QAbstractButton *>(control))
            caption = button->text();
        seen << QStringLiteral("%1 %2 %3 \"%4\"")
                    .arg(control->objectName(),
                         control->isHidden() ? QStringLiteral("hidden") : QStringLiteral("shown"))
                    .arg(colour(clock, qPrintable(control->objectName())), 6, 16, QLatin1Char('0'))
                    .arg(caption);
    }
    seen << QStringLiteral("Timer1 %1").arg(timer1(clock)->isActive() ? 1 : 0);
    return seen;
}

// Rounds of 1, 2, 1, 1, 2, 90 and 2 minutes: levels with and without an
// ante, two breaks with notes, a long late level and the final one.
inline orvandel::Structure sampleStructure(orvandel::AnteKind kind) {
    using orvandel::Break;
    using orvandel::Level;
    orvandel::Structure s;
    s.name = QStringLiteral("Walk");
    s.ante = kind;
    s.rounds = {Level{25, 50, 0, 1},
                Level{50, 100, 10, 2},
                Break{1, QStringLiteral("Colour up the 25s")},
                Level{100, 200, 200, 1},
                Break{2, QStringLiteral("Dinner")},
                Level{1000, 2000, 2000, 90},
                Level{1500, 3000, 3000, 2}};
    return s;
}

// Saves `structure` as structure.json in the working folder; its path.
inline QString writeStructure(const orvandel::Structure &structure) {
    QString path = QDir::current().absoluteFilePath(QStringLiteral("structure.json"));
    if (!writeFile(orvandel::formatStructure(structure), path))
        qFatal("cannot write structure.json");
    return path;
}

// A clock whose ticks come when the test says: a timeout then runs one tick.
// On blinds.dat, or on the structure file at `structure`.
inline std::unique_ptr<Blinds> newClock(const QString &structure = QString()) {
    auto clock = std::unique_ptr<Blinds>(
        structure.isEmpty() ? orvandel::openClock() : orvandel::openStructureClock(structure));
    clock->setSteadyClock([] { return qint64{0}; });
    return clock;
}

// A clock run from level 1 for `ticks` ticks, the last one a timeout, with
// a pause asked for just before it when `pause` is set.
inline std::unique_ptr<Blinds> ranClock(int ticks, bool pause,
                                        const QString &structure = QString()) {
    std::unique_ptr<Blinds> clock = newClock(structure);
    for (int n = 1; n < ticks; ++n)
        clock->Timer1_Timer();
    if (pause)
        child<QPushButton>(clock.get(), "cmdPause")->click();
    clock->Timer1_Elapsed();
    return clock;
}

inline orvandel::JournalRead journal() {
    return orvandel::readJournal(orvandel::journalPathForCurrentFolder());
}

inline bool journalExists() {
    return QFile::exists(orvandel::journalPathForCurrentFolder());
}

// Inherited next to QObject by a resume suite: its journals in a private data
// folder for the whole suite (initTestCase), each test in a fresh working
// folder (init, cleanup).
class ResumeTest {
protected:
    void setUpJournals() {
        QVERIFY(m_data.isValid());
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_data.path()));
        QVERIFY(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)
                    .startsWith(m_data.path()));
    }
    void setUpFolder() {
        m_folder = std::make_unique<WorkFolder>();
        Module1::SoundFile = QStringLiteral("sound1.wav");
    }
    void tearDownFolder() { m_folder.reset(); }
    QString folderPath() const { return m_folder->path(); }

private:
    QTemporaryDir m_data;
    std::unique_ptr<WorkFolder> m_folder;
};

} // namespace testsupport
