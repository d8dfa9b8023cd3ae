// The director's phone in a real browser: Debian's headless Chromium opens
// the pairing address of a clock paired from its menu, on loopback, and its
// buttons are pressed as a finger would, through the DevTools protocol. The
// window's pause state and level follow and the page shows them; the spent
// address only watches; "Stop phone control" shows on the page; the page
// without a key has no buttons and changes nothing. A viewer's page with its sound switched on
// plays the alert and the warning and says the sentences when the clock does, and nothing with it
// off. Skipped without Chromium.
#include "browsertest.h"
#include "clocktest.h"
#include "remotetest.h"
#include "trywait.h"

#include "live/liveview.h"

#include <QJsonObject>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>

using namespace testsupport;

namespace {

const QString Live = QStringLiteral("document.body.dataset.state === 'live'");
QString says(const char *status) {
    return QStringLiteral("document.getElementById('remoteStatus').textContent === '%1'")
        .arg(QLatin1String(status));
}

} // namespace

class TestRemoteBrowser : public QObject, public ClockTest {
    Q_OBJECT

private slots:
    void init() { setUpClock(); }
    void cleanup();

    void pauseAndResumeFromThePhone();
    void soundOnThePhone();

private:
    // Starts the browser on a fresh profile; the DevTools address of its page.
    QUrl startBrowser(const QString &browser) { return m_browser.emplace().start(browser); }

    std::optional<Browser> m_browser;
};

void TestRemoteBrowser::cleanup() {
    m_browser.reset();
    tearDownClock();
}

void TestRemoteBrowser::pauseAndResumeFromThePhone() {
    const QString browser = QStandardPaths::findExecutable(QStringLiteral("chromium"));
    if (browser.isEmpty())
        QSKIP("chromium is not installed");
    Blinds *clock = start(ExampleTournament);
    QUrl control = pairFromTheMenu(clock);
    control.setHost(QStringLiteral("127.0.0.1"));
    auto *cmdPause = child<QPushButton>(clock, "cmdPause");
    QSignalSpy presses(clock->findChild<LiveView *>(), &LiveView::controlRequested);

    const QUrl page = startBrowser(browser);
    QVERIFY2(page.isValid(), "the browser did not start");
    DevTools phone(page);
    // A phone held upright.
    phone.resize(390, 844, true);
    phone.open(control);
    QVERIFY(phone.until(Live + QStringLiteral(" && ") + says("The clock is running.")));
    // A level move wants a second tap; the token left the address.
    const QString next = QStringLiteral("document.getElementById('next').click()");
    phone.evaluate(next);
    QCOMPARE(phone.evaluate(QStringLiteral("document.getElementById('next').textContent")),
             QJsonValue(QStringLiteral("Tap again for level 2")));
    QCOMPARE(phone.evaluate(QStringLiteral("location.hash")), QJsonValue(QString()));
    QTest::qWait(300);
    QCOMPARE(clock->face().level, 1);
    phone.evaluate(next);
    TRY_COMPARE_WITH_TIMEOUT(clock->face().level, 2, std::chrono::seconds(10));
    // A reload stays paired.
    phone.open(control.adjusted(QUrl::RemoveFragment));
    QVERIFY(phone.until(Live + QStringLiteral(" && ") + says("The clock is running.")));
    phone.evaluate(QStringLiteral("document.getElementById('pause').click()"));
    TRY_COMPARE_WITH_TIMEOUT(cmdPause->text(), QStringLiteral("Resume"), std::chrono::seconds(10));
    // Shown from the face the page is sent: paused at once, and "Paused" in
    // place of the time at the next second, when the pause takes effect.
    QVERIFY(phone.until(
        says("The clock is paused.") +
        QStringLiteral(" && document.querySelector('[data-name=\"lblTime\"]').textContent"
                       " === 'Paused'")));
    phone.evaluate(QStringLiteral("document.getElementById('resume').click()"));
    TRY_COMPARE_WITH_TIMEOUT(cmdPause->text(), QStringLiteral("Pause"), std::chrono::seconds(10));
    QVERIFY(phone.until(says("The clock is running.")));

    child<QAction>(clock, "actRemoteRevoke")->trigger();
    QVERIFY(phone.until(says("This phone no longer controls the clock.") +
                        QStringLiteral(" && document.getElementById('pause').disabled")));
    QCOMPARE(presses.size(), 3);
    // The spent address only watches (opened afresh: a change of the
    // fragment alone would not load the page again).
    phone.open(QUrl(QStringLiteral("about:blank")));
    QVERIFY(phone.until(QStringLiteral("location.href === 'about:blank'")));
    phone.open(control);
    QVERIFY(phone.until(says("This code was already used.")));
    QVERIFY(phone.until(QStringLiteral("document.getElementById('remote').hidden")));

    // Without the secret: no buttons, and a press of the hidden one sends
    // nothing, even with the clock paired again.
    pairFromTheMenu(clock);
    phone.open(QUrl(QStringLiteral("about:blank")));
    QVERIFY(phone.until(QStringLiteral("location.href === 'about:blank'")));
    phone.open(control.adjusted(QUrl::RemoveFragment));
    QVERIFY(phone.until(Live));
    QCOMPARE(phone.evaluate(QStringLiteral("document.getElementById('remote').hidden")),
             QJsonValue(true));
    phone.evaluate(QStringLiteral("document.getElementById('pause').click()"));
    QTest::qWait(1000);
    QCOMPARE(cmdPause->text(), QStringLiteral("Pause"));
    QCOMPARE(presses.size(), 3);
    phone.call(QStringLiteral("Browser.close"));
}

void TestRemoteBrowser::soundOnThePhone() {
    const QString browser = QStandardPaths::findExecutable(QStringLiteral("chromium"));
    if (browser.isEmpty())
        QSKIP("chromium is not installed");
    Module1::TimedTournament = true;
    QVERIFY(QFile::copy(QFINDTESTDATA("../resources/sound1.wav"), Module1::SoundFile));
    Blinds *clock = start(tournamentFile(3, 2));
    child<QAction>(clock, "actSpeak")->setChecked(true);
    child<QAction>(clock, "actWarning")->setChecked(true);
    QUrl viewer = pairFromTheMenu(clock).adjusted(QUrl::RemoveFragment);
    viewer.setHost(QStringLiteral("127.0.0.1"));
    const QUrl page = startBrowser(browser);
    QVERIFY2(page.isValid(), "the browser did not start");
    DevTools phone(page);
    phone.open(viewer);
    QVERIFY(phone.until(Live));
    // What the page plays, aloud, and says, as the browser is asked to.
    phone.evaluate(QStringLiteral(
        "window.heard = []; window.players = new Set(); const play = "
        "HTMLMediaElement.prototype.play;"
        "HTMLMediaElement.prototype.play = function () { players.add(this);"
        "  if (!this.muted) heard.push(this.src.split('/').pop()); return play.call(this); };"
        "speechSynthesis.speak = (sentence) => { if (sentence.text) heard.push(sentence.text); "
        "};"));
    const auto heard = [&phone] {
        return phone.evaluate(QStringLiteral("heard.join('|')")).toString();
    };
    const auto sayAfterTheAlert = [clock] {
        emit child<SoundPlayer>(clock, "MMControl1")->finished();
    };

    ticks(clock, 120); // level 2, before the tap: silence
    sayAfterTheAlert();
    QTest::qWait(500);
    QCOMPARE(heard(), QString());

    phone.evaluate(QStringLiteral("document.getElementById('sound').click()"));
    ticks(clock, 60); // 1:00 left
    emit child<SoundPlayer>(clock, "sndWarning")->finished();
    ticks(clock, 60); // level 3, the final level
    sayAfterTheAlert();
    const QString expected = QStringLiteral(
        "warning.wav|One minute left in this level.|alert.wav|Final level. Blinds $30 and $300.");
    QVERIFY(phone.until(QStringLiteral("heard.join('|') === '%1'").arg(expected)));
    // The sounds are the program's, fetched from it and decoded.
    QVERIFY(phone.until(QStringLiteral(
        "players.size === 2 && [...players].every((p) => !p.error && p.readyState >= 2)")));

    phone.evaluate(QStringLiteral("document.getElementById('sound').click()"));
    runUntilStopped(clock, 200); // the end
    sayAfterTheAlert();
    QTest::qWait(500);
    QCOMPARE(heard(), expected);
    phone.call(QStringLiteral("Browser.close"));
}

QTEST_MAIN(TestRemoteBrowser)

#include "tst_remotebrowser.moc"
