// The clock through a whole structure, tick by tick: each round's heading,
// blinds, antes, next break and note, the alerts, and the end.
#include "resumetest.h"

#include "core/clockface.h"
#include "sound/soundplayer.h"

using namespace testsupport;
using namespace orvandel;

namespace {

// The labels in one line, each as the face has it, "" where hidden:
// "Label1|small big|next small big|ante|next ante|next break|note".
QString described(const ClockFace &face) {
    QStringList parts;
    for (const QString &names :
         {QStringLiteral("Label1"), QStringLiteral("lblCurrentSmall lblCurrentBig"),
          QStringLiteral("lblNextSmall lblNextBig"), QStringLiteral("lblCurrentAnte"),
          QStringLiteral("lblNextAnte"), QStringLiteral("lblNextBreak"),
          QStringLiteral("lblNote")}) {
        QStringList shown;
        for (const QString &name : names.split(u' ')) {
            if (const FaceControl *control = face.control(name); control && control->visible)
                shown << control->text;
        }
        parts << shown.join(u' ');
    }
    return parts.join(u'|');
}

} // namespace

class TestStructureClock : public QObject, public ResumeTest {
    Q_OBJECT

private slots:
    void initTestCase() { setUpJournals(); }
    void init() { setUpFolder(); }
    void cleanup() { tearDownFolder(); }

    void walk_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("timed");
        QTest::newRow("antes, timed") << int(AnteKind::Ante) << true;
        QTest::newRow("big blind antes, untimed") << int(AnteKind::BigBlind) << false;
    }
    void walk() {
        QFETCH(int, kind);
        QFETCH(bool, timed);
        const auto ante = static_cast<AnteKind>(kind);
        Module1::TimedTournament = timed;
        const std::unique_ptr<Blinds> clock = newClock(writeStructure(sampleStructure(ante)));
        const auto *player = child<SoundPlayer>(clock.get(), "MMControl1");
        // After so many more ticks, what the labels say ("%" for the ante's
        // kind) and the alerts sounded.
        const struct {
            int ticks;
            const char *labels;
            int plays;
        } steps[] = {
            {0, "Level 1|25 50|50 100||%10|Break in 03:00|", 1},
            {1, "Level 1|25 50|50 100||%10|Break in 02:59|", 1},
            {59, "Level 2|50 100|Break Time!|%10||Break in 02:00|", 2},
            {1, "Blinds Have Increased!!!|50 100|Break Time!|%10||Break in 01:59|", 2},
            {119, "Break|Break Time!|100 200||%200||Colour up the 25s", 3},
            {1, "Break|Break Time!|100 200||%200||Colour up the 25s", 3},
            {59, "Level 3|100 200|Break Time!|%200||Break in 01:00|", 4},
            {60, "Break|Break Time!|1,000 2,000||%2,000||Dinner", 5},
            {120, "Level 4|1,000 2,000|1,500 3,000|%2,000|%3,000||", 6},
            {1, "Blinds Have Increased!!!|1,000 2,000|1,500 3,000|%2,000|%3,000||", 6},
            {60, "Level 4|1,000 2,000|1,500 3,000|%2,000|%3,000||", 6},
            {5339, "Level 5|1,500 3,000||%3,000|||", 7},
        };
        const QString kindText =
            ante == AnteKind::Ante ? QStringLiteral("Ante ") : QStringLiteral("BB ante ");
        int ticked = 0;
        for (const auto &step : steps) {
            for (int n = 0; n < step.ticks; ++n, ++ticked)
                clock->Timer1_Timer();
            const QByteArray where = "after " + QByteArray::number(ticked) + " ticks";
            QVERIFY2(timer1(clock.get())->isActive(), where);
            QCOMPARE(described(clock->face()),
                     QString::fromUtf8(step.labels).replace(u'%', kindText));
            QCOMPARE(player->plays(), step.plays);
        }
        QVERIFY(!shown(clock.get(), "Label4"));
        QCOMPARE(text(clock.get(), "Label5"),
                 timed ? QStringLiteral("This is the Final Level.")
                       : QStringLiteral("This is the Final Level.  Good Luck!"));
        for (int n = 0; n < (timed ? 120 : 61); ++n)
            clock->Timer1_Timer();
        QVERIFY(!timer1(clock.get())->isActive());
        if (timed) {
            QCOMPARE(text(clock.get(), "lblTime"), QStringLiteral("Ended!"));
            // The end blanks the blinds and hides the rest.
            QCOMPARE(described(clock->face()), QStringLiteral("| |||||"));
            QCOMPARE(player->plays(), 9);
        } else {
            QVERIFY(!shown(clock.get(), "lblTime"));
            QCOMPARE(described(clock->face()),
                     QStringLiteral("Final Round|1,500 3,000||%3,000|||").replace(u'%', kindText));
            QCOMPARE(player->plays(), 7);
        }
    }
};

QTEST_MAIN(TestStructureClock)

#include "tst_structureclock.moc"
