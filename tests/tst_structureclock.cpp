// The clock through a whole structure, tick by tick: each round's heading,
// blinds, antes, next break and note, the alerts, and the end.
#include "resumetest.h"

#include "core/clockface.h"
#include "sound/soundplayer.h"

using namespace testsupport;
using namespace orvandel;

namespace {

// What the labels say after `ticks` more ticks; "" for a hidden label, "*"
// for one not looked at.
struct Step {
    int ticks;
    const char *label1;
    const char *blinds; // small and big
    const char *next;   // the next level's small and big
    const char *ante;
    const char *nextAnte;
    const char *nextBreak;
    const char *note;
    int plays;
};

void ticks(Blinds *clock, int count) {
    for (int n = 0; n < count; ++n)
        clock->Timer1_Timer();
}

void check(const Blinds *clock, const char *name, const QString &want) {
    if (want == u"*")
        return;
    QVERIFY2(shown(clock, name) == !want.isEmpty(), name);
    if (!want.isEmpty())
        QCOMPARE(text(clock, name), want);
}

void checkPair(const Blinds *clock, const char *small, const char *big, const QString &want) {
    if (want == u"*")
        return;
    const QStringList both = want.split(u' ');
    check(clock, small, both.value(0));
    check(clock, big, both.value(1));
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
        const QByteArray a = ante == AnteKind::Ante ? "Ante " : "BB ante ";
        const QByteArray a10 = a + "10", a200 = a + "200", a2k = a + "2,000", a3k = a + "3,000";
        const char *flashed = "Blinds Have Increased!!!";
        // clang-format off
        const Step steps[] = {
            {0, "Level 1", "25 50", "50 100", "", a10, "Break in 03:00", "", 1},
            {1, "Level 1", "25 50", "50 100", "", a10, "Break in 02:59", "", 1},
            {59, "Level 2", "50 100", "Break Time!", a10, "", "Break in 02:00", "", 2},
            {1, flashed, "50 100", "Break Time!", a10, "", "Break in 01:59", "", 2},
            {119, "Break", "Break Time!", "100 200", "", a200, "", "Colour up the 25s", 3},
            {1, "Break", "Break Time!", "100 200", "", a200, "", "Colour up the 25s", 3},
            {59, "Level 3", "100 200", "Break Time!", a200, "", "Break in 01:00", "", 4},
            {60, "Break", "Break Time!", "1,000 2,000", "", a2k, "", "Dinner", 5},
            {120, "Level 4", "1,000 2,000", "1,500 3,000", a2k, a3k, "", "", 6},
            {1, flashed, "1,000 2,000", "1,500 3,000", a2k, a3k, "", "", 6},
            {60, "Level 4", "1,000 2,000", "1,500 3,000", a2k, a3k, "", "", 6},
            {5339, "Level 5", "1,500 3,000", "", a3k, "", "", "", 7},
        };
        // clang-format on
        int ticked = 0;
        for (const Step &step : steps) {
            ticks(clock.get(), step.ticks);
            ticked += step.ticks;
            const QByteArray where = "after " + QByteArray::number(ticked) + " ticks";
            QVERIFY2(timer1(clock.get())->isActive(), where);
            QCOMPARE(text(clock.get(), "Label1"), QString::fromUtf8(step.label1));
            checkPair(clock.get(), "lblCurrentSmall", "lblCurrentBig",
                      QString::fromUtf8(step.blinds));
            checkPair(clock.get(), "lblNextSmall", "lblNextBig", QString::fromUtf8(step.next));
            check(clock.get(), "lblCurrentAnte", QString::fromUtf8(step.ante));
            check(clock.get(), "lblNextAnte", QString::fromUtf8(step.nextAnte));
            check(clock.get(), "lblNextBreak", QString::fromUtf8(step.nextBreak));
            check(clock.get(), "lblNote", QString::fromUtf8(step.note));
            QCOMPARE(player->plays(), step.plays);
            // What the live view and the journal read.
            const ClockFace face = clock->face();
            QCOMPARE(face.control(u"lblNote")->text, QString::fromUtf8(step.note));
        }
        QVERIFY(!shown(clock.get(), "Label4"));
        if (timed) {
            QCOMPARE(text(clock.get(), "Label5"), QStringLiteral("This is the Final Level."));
            ticks(clock.get(), 120);
            QCOMPARE(text(clock.get(), "lblTime"), QStringLiteral("Ended!"));
            QCOMPARE(text(clock.get(), "Label5"), QStringLiteral("This tournament has"));
            QVERIFY(!shown(clock.get(), "Label1"));
            check(clock.get(), "lblCurrentAnte", QString());
            QCOMPARE(player->plays(), 9);
            QVERIFY(clock->face().ended);
        } else {
            QCOMPARE(text(clock.get(), "Label5"),
                     QStringLiteral("This is the Final Level.  Good Luck!"));
            ticks(clock.get(), 61);
            QCOMPARE(text(clock.get(), "Label1"), QStringLiteral("Final Round"));
            QVERIFY(!shown(clock.get(), "lblTime"));
            check(clock.get(), "lblCurrentAnte", QString::fromUtf8(a3k));
            QCOMPARE(player->plays(), 7);
        }
        QVERIFY(!timer1(clock.get())->isActive());
    }
};

QTEST_MAIN(TestStructureClock)

#include "tst_structureclock.moc"
