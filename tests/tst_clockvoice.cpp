// The clock out loud, driven tick by tick: when the minute's warning sounds,
// what is said after a level change and when, and the two choices
// remembered from one run to the next in a settings folder of the test's own.
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

    void warningTiming_data();
    void warningTiming();
    void warningInABurst();
    void speaksAfterTheSound();
    void choicesRemembered();

private:
    // The clock with the choices switched on through its menu.
    Blinds *startWith(const QByteArray &file, bool warn, bool speak) {
        Blinds *clock = start(file);
        child<QAction>(clock, "actWarning")->setChecked(warn);
        child<QAction>(clock, "actSpeak")->setChecked(speak);
        m_warnings = std::make_unique<QSignalSpy>(child<SoundPlayer>(clock, "sndWarning"),
                                                  &SoundPlayer::commandIssued);
        m_said = std::make_unique<QSignalSpy>(clock->findChild<Speaker *>(), &Speaker::saying);
        return clock;
    }
    qsizetype warnings() const {
        return std::count_if(m_warnings->begin(), m_warnings->end(), [](const QList<QVariant> &c) {
            return c.at(0).toString() == QLatin1String("Play");
        });
    }
    QStringList said() const {
        QStringList sentences;
        for (const QList<QVariant> &call : std::as_const(*m_said))
            sentences << call.at(0).toString();
        return sentences;
    }

    QTemporaryDir m_settings;
    std::unique_ptr<QSignalSpy> m_warnings;
    std::unique_ptr<QSignalSpy> m_said;
};

void TestClockVoice::warningTiming_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("timed");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<int>("warnings");
    const QByteArray twoMinutes = tournamentFile(3, 2);
    QTest::newRow("1:01 left") << twoMinutes << true << 59 << 0;
    QTest::newRow("1:00 left") << twoMinutes << true << 60 << 1;
    QTest::newRow("0:59 left") << twoMinutes << true << 61 << 1;
    QTest::newRow("one-minute levels") << tournamentFile(3, 1) << true << 200 << 0;
    // Level 1 at 1:00, then the three-minute break at 1:00.
    const QByteArray withBreak = tournamentFile(3, 2, 2, 3);
    QTest::newRow("break at 1:01") << withBreak << true << 239 << 1;
    QTest::newRow("break at 1:00") << withBreak << true << 240 << 2;
    QTest::newRow("timed final level") << tournamentFile(2, 2) << true << 240 << 2;
    // Its hidden time passes 1:00 before its heading stops the clock.
    QTest::newRow("untimed final level") << tournamentFile(2, 2) << false << 240 << 1;
}

void TestClockVoice::warningTiming() {
    QFETCH(QByteArray, file);
    QFETCH(bool, timed);
    QFETCH(int, ticks);
    QFETCH(int, warnings);
    Module1::TimedTournament = timed;
    Blinds *clock = startWith(file, true, false);
    runUntilStopped(clock, ticks);
    QCOMPARE(this->warnings(), warnings);

    // Off: never.
    cleanup();
    init();
    Module1::TimedTournament = timed;
    clock = startWith(file, false, false);
    runUntilStopped(clock, ticks);
    QCOMPARE(this->warnings(), 0);
}

void TestClockVoice::warningInABurst() {
    Blinds *clock = startWith(tournamentFile(3, 5), true, true);
    qint64 now = 0;
    clock->setSteadyClock([&now] { return now; });
    // Asleep from 5:00 to 0:30 left: one warning, then its sentence.
    now += 270'000;
    clock->Timer1_Elapsed();
    QCOMPARE(warnings(), 1);
    emit child<SoundPlayer>(clock, "sndWarning")->finished();
    QCOMPARE(said(), QStringList{QStringLiteral("One minute left in this level.")});

    // Asleep across the next warning and into the level after: the level
    // change is the news, the old warning is not sounded.
    now += 300'000;
    clock->Timer1_Elapsed();
    QCOMPARE(warnings(), 1);
    QCOMPARE(commands(), (QStringList{QStringLiteral("Prev"), QStringLiteral("Play")}));
}

void TestClockVoice::speaksAfterTheSound() {
    Module1::TimedTournament = true;
    Blinds *clock = startWith(tournamentFile(4, 2, 3, 15), false, true);
    auto *tmrSpeak = child<QTimer>(clock, "tmrSpeak");
    ticks(clock, 120);
    // Not over the alert: after it, or two seconds on at the latest.
    QVERIFY(said().isEmpty());
    QVERIFY(tmrSpeak->isActive());
    QCOMPARE(tmrSpeak->interval(), 2000);
    emit child<SoundPlayer>(clock, "MMControl1")->finished();
    QCOMPARE(said(), QStringList{QStringLiteral("Level 2. Blinds $20 and $200.")});
    QVERIFY(!tmrSpeak->isActive());
    // Pausing cuts nothing off and says nothing.
    QTest::mouseClick(child(clock, "lblTime"), Qt::LeftButton);
    ticks(clock, 1);
    QTest::mouseClick(child(clock, "lblTime"), Qt::LeftButton);
    emit child<SoundPlayer>(clock, "MMControl1")->finished();
    QCOMPARE(said().size(), 1);

    // Asleep through the break into the final level: only the level reached.
    qint64 now = 0;
    clock->setSteadyClock([&now] { return now; });
    now += 119'000 + 15 * 60'000 + 10'000;
    clock->Timer1_Elapsed();
    QCOMPARE(clock->face().level, 4);
    emit child<SoundPlayer>(clock, "MMControl1")->finished();
    // Each sentence is said once the one before has ended.
    TRY_COMPARE_WITH_TIMEOUT(said().size(), 2, std::chrono::seconds(10));
    QCOMPARE(said().last(), QStringLiteral("Final level. Blinds $40 and $400."));
    runUntilStopped(clock, 200);
    emit child<SoundPlayer>(clock, "MMControl1")->finished();
    TRY_COMPARE_WITH_TIMEOUT(said().size(), 3, std::chrono::seconds(10));
    QCOMPARE(said().last(), QStringLiteral("The tournament has ended."));
}

void TestClockVoice::choicesRemembered() {
    // Off at first; each remembered as last set, the other left alone.
    for (const auto &[speak, warn] : {std::pair{false, false}, {true, true}, {false, true}}) {
        Blinds *clock = start(ExampleTournament);
        QCOMPARE(child<QAction>(clock, "actSpeak")->isChecked(), speak);
        QCOMPARE(child<QAction>(clock, "actWarning")->isChecked(), warn);
        if (!speak && !warn) {
            child<QAction>(clock, "actSpeak")->trigger();
            child<QAction>(clock, "actWarning")->trigger();
        } else if (speak) {
            child<QAction>(clock, "actSpeak")->trigger();
        }
        cleanup();
        init();
    }
}

QTEST_MAIN(TestClockVoice)

#include "tst_clockvoice.moc"
