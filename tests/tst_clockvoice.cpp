// The clock out loud, driven tick by tick: the minute's warning in the break,
// the final level and a burst, what is said after a level change and when,
// and the choices remembered in a settings folder of the test's own.
#include "clocktest.h"
#include "trywait.h"

#include "sound/speaker.h"

#include <QAction>
#include <QTemporaryDir>

using namespace testsupport;

class TestClockVoice : public QObject, public ClockTest {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(m_settings.isValid());
        qputenv("XDG_CONFIG_HOME", m_settings.path().toLocal8Bit());
    }
    void init() { setUpClock(); }
    void cleanup() { tearDownClock(); }

    void withoutTheEngine();
    void warnings_data();
    void warnings();
    void speaksAfterTheSound();
    void choicesRemembered();

private:
    Blinds *startWith(const QByteArray &file, bool warn, bool speak) {
        Blinds *clock = start(file);
        child<QAction>(clock, "actWarning")->setChecked(warn);
        child<QAction>(clock, "actSpeak")->setChecked(speak);
        m_warnings.emplace(child<SoundPlayer>(clock, "sndWarning"), &SoundPlayer::commandIssued);
        m_said.emplace(clock->findChild<orvandel::Speaker *>(), &orvandel::Speaker::saying);
        return clock;
    }
    qsizetype warningsPlayed() const {
        return std::count_if(m_warnings->begin(), m_warnings->end(), [](const QList<QVariant> &c) {
            return c.at(0).toString() == u"Play";
        });
    }
    QString said() const { return m_said->isEmpty() ? QString() : m_said->last().at(0).toString(); }
    void soundEnds(Blinds *clock, const char *player = "MMControl1") {
        emit child<SoundPlayer>(clock, player)->finished();
    }

    QTemporaryDir m_settings;
    std::optional<QSignalSpy> m_warnings;
    std::optional<QSignalSpy> m_said;
};

void TestClockVoice::withoutTheEngine() {
    // Qt looks for the engine's plugin once a run, so this runs on its own
    // (a CTest entry of its own), its plugin folders empty.
    if (!QCoreApplication::arguments().contains(QLatin1String("withoutTheEngine")))
        QSKIP("run on its own: tst_clockvoice withoutTheEngine");
    QCoreApplication::setLibraryPaths({});
    Blinds *clock = start(ExampleTournament);
    auto *speak = child<QAction>(clock, "actSpeak");
    QVERIFY(!speak->isEnabled());
    QVERIFY2(speak->toolTip().contains(u"qt6-speech-flite-plugin"), qPrintable(speak->toolTip()));
    QVERIFY(child<QAction>(clock, "actWarning")->isEnabled());
}

void TestClockVoice::warnings_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("warn");
    QTest::addColumn<bool>("timed");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<int>("warnings");
    // Level 1 at 1:00 (tick 60), then the three-minute break at 1:00.
    const QByteArray withBreak = tournamentFile(3, 2, 2, 3);
    QTest::newRow("break at 1:01") << withBreak << true << true << 239 << 1;
    QTest::newRow("break at 1:00") << withBreak << true << true << 240 << 2;
    QTest::newRow("switched off") << withBreak << false << true << 240 << 0;
    QTest::newRow("one-minute levels") << tournamentFile(3, 1) << true << true << 200 << 0;
    QTest::newRow("timed final level") << tournamentFile(2, 2) << true << true << 240 << 2;
    // Its hidden time passes 1:00 before its heading stops the clock.
    QTest::newRow("untimed final level") << tournamentFile(2, 2) << true << false << 240 << 1;
}

void TestClockVoice::warnings() {
    QFETCH(QByteArray, file);
    QFETCH(bool, warn);
    QFETCH(bool, timed);
    QFETCH(int, ticks);
    QFETCH(int, warnings);
    Module1::TimedTournament = timed;
    runUntilStopped(startWith(file, warn, false), ticks);
    QCOMPARE(warningsPlayed(), warnings);
}

void TestClockVoice::speaksAfterTheSound() {
    Module1::TimedTournament = true;
    Blinds *clock = startWith(tournamentFile(4, 2, 3, 15), true, true);
    qint64 now = 0;
    clock->setSteadyClock([&now] { return now; });
    // Asleep from 2:00 to 0:30 left: one warning, then its sentence.
    now += 90'000;
    clock->Timer1_Elapsed();
    QCOMPARE(warningsPlayed(), 1);
    soundEnds(clock, "sndWarning");
    QCOMPARE(said(), QStringLiteral("One minute left in this level."));

    // The level change: said after the alert, or two seconds on at the latest.
    now += 30'000;
    clock->Timer1_Elapsed();
    QVERIFY(child<QTimer>(clock, "tmrSpeak")->isActive());
    soundEnds(clock);
    TRY_COMPARE(said(), QStringLiteral("Level 2. Blinds $20 and $200."));

    // Asleep across level 2's warning and the break into the final level:
    // only the level reached, and no old warning.
    now += 120'000 + 15 * 60'000 + 10'000;
    clock->Timer1_Elapsed();
    QCOMPARE(warningsPlayed(), 1);
    soundEnds(clock);
    TRY_COMPARE_WITH_TIMEOUT(said(), QStringLiteral("Final level. Blinds $40 and $400."),
                             std::chrono::seconds(10));
    QCOMPARE(m_said->size(), 3);
}

void TestClockVoice::choicesRemembered() {
    // Off at first; then each as last set, the other left alone.
    for (const auto &[speak, warn] : {std::pair{false, false}, {true, true}, {false, true}}) {
        Blinds *clock = start(ExampleTournament);
        QCOMPARE(child<QAction>(clock, "actSpeak")->isChecked(), speak);
        QCOMPARE(child<QAction>(clock, "actWarning")->isChecked(), warn);
        child<QAction>(clock, "actSpeak")->trigger();
        if (!warn)
            child<QAction>(clock, "actWarning")->trigger();
        cleanup();
        init();
    }
}

QTEST_MAIN(TestClockVoice)

#include "tst_clockvoice.moc"
