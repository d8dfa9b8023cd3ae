// The live page in Debian's headless Chromium, served by a live view on
// loopback: every text fits its place at every size from a small phone to a
// 4K TV, long blinds included, and the Levels view lists the rounds with the
// one being played marked and in sight. With ORVANDEL_PICTURES naming a
// folder, the pictures of a phone and a TV are kept there. Skipped without
// Chromium.
#include "browsertest.h"
#include "livetest.h"

#include "core/clockdesign.h"
#include "core/roundsjson.h"
#include "core/structure.h"

#include <QDir>
#include <QStandardPaths>

using namespace testsupport;
using namespace Qt::StringLiterals;
using namespace orvandel;

namespace {

// Long texts where the clock can show them; every other label of the design
// shows its caption.
const QMap<QString, QString> Long = {
    {u"Label1"_s, u"Blinds Have Increased!!!"_s},
    {u"lblCurrentSmall"_s, u"25,000 + 25K BBA"_s},
    {u"lblCurrentBig"_s, u"1,000,000"_s},
    {u"lblTime"_s, u"04:59"_s},
    {u"lblNextSmall"_s, u"1,000,000"_s},
    {u"lblNextBig"_s, u"2,000,000 + 2M BBA"_s},
    {u"Label5"_s, u"Time remaining at this level:"_s},
    {u"lblCurrentAnte"_s, u"Big blind ante 25,000"_s},
    {u"lblNote"_s, u"Colour up the 25s and the 100s, and chip race at every table"_s},
    {u"lblNextBreak"_s, u"Next break in 1:25:00"_s},
    {u"lblNextAnte"_s, u"Big blind ante 2,000,000"_s},
    {u"lblPlayers"_s, u"Players 1,234 of 1,500"_s},
    {u"lblAverage"_s, u"Average stack 1,234,567"_s},
    {u"lblPrizePool"_s, u"Prize pool 1,234,567,890"_s},
    {u"lblPayouts"_s, u"1st 500,000,000\n2nd 300,000,000\n3rd 200,000,000"_s}};

ClockFace longFace(qint16 level, qint16 levelCount) {
    ClockFace face;
    for (const std::span<const LabelDesign> table : {clockLabels(), extraLabels()}) {
        for (const LabelDesign &label : table) {
            const QString name = QString::fromLatin1(label.name);
            const QColor colour = QColor::fromRgb(label.colour & 0xff, (label.colour >> 8) & 0xff,
                                                  (label.colour >> 16) & 0xff);
            // The note of a break, never shown with an ante.
            face.controls.append({name, Long.value(name, QString::fromLatin1(label.caption)),
                                  colour, name != u"lblNote"_s});
        }
    }
    face.level = level;
    face.levelCount = levelCount;
    face.remainingMs = 299'000;
    return face;
}

// What is wrong with the page as shown, as a list of sentences: an element
// whose content is wider than its box, a text of the face or of the list
// off the screen, a button over a text of the face.
const QString Problems = uR"((() => {
    const out = [];
    const W = innerWidth, H = innerHeight;
    const shown = (e) => e.getClientRects().length > 0;
    const inside = (r, box) => r.left >= box.left - 0.5 && r.right <= box.right + 0.5 &&
        r.top >= box.top - 0.5 && r.bottom <= box.bottom + 0.5;
    const screen = { left: 0, top: 0, right: W, bottom: H };
    if (document.documentElement.scrollWidth > W)
        out.push(`the page is ${document.documentElement.scrollWidth} wide`);
    for (const e of document.querySelectorAll('*'))
        if (e.scrollWidth > e.clientWidth && shown(e))
            out.push(`${e.dataset.name || e.id || e.tagName}: ${e.scrollWidth} > ${e.clientWidth}`);
    const text = (e) => { const r = document.createRange(); r.selectNodeContents(e); return r.getBoundingClientRect(); };
    const levels = !document.getElementById('levels').hidden;
    for (const e of document.querySelectorAll('.control')) {
        if (!shown(e) || levels)
            continue;
        const r = text(e);
        if (!inside(r, screen))
            out.push(`${e.dataset.name} off the screen`);
        for (const button of document.querySelectorAll('body > button')) {
            const b = button.getBoundingClientRect();
            if (shown(button) && r.width > 0 && r.left < b.right && b.left < r.right && r.top < b.bottom && b.top < r.bottom)
                out.push(`${button.id} covers ${e.dataset.name}`);
        }
    }
    if (levels)
        for (const cell of document.querySelectorAll('#levelsTable th, #levelsTable td'))
            if (cell.getBoundingClientRect().right > W + 0.5)
                out.push(`a cell of the list reaches past the screen: ${cell.textContent}`);
    return out;
})())"_s;

QStringList problems(DevTools &page) {
    return page.evaluate(Problems).toVariant().toStringList();
}

// The first cell of the round marked as played, when it is inside the list's
// visible part; "" otherwise.
const QString MarkedInSight = uR"((() => {
    const row = document.querySelector('#levelsTable tr.current');
    const box = document.getElementById('levelsScroll').getBoundingClientRect();
    if (!row) return '';
    const r = row.getBoundingClientRect();
    return r.top >= box.top && r.bottom <= box.bottom ? row.cells[0].textContent : 'out of sight';
})())"_s;

} // namespace

class TestLiveBrowser : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void everyTextFits_data();
    void everyTextFits();
    void levelsFollowTheClock();

private:
    void openPage();

    std::optional<Browser> m_browser;
    std::optional<DevTools> m_page;
    LiveView m_view;
    QJsonArray m_rounds; // as the view serves them
    ClockFace m_face;
};

void TestLiveBrowser::initTestCase() {
    QLocale::setDefault(QLocale::c());
    const QString chromium = QStandardPaths::findExecutable(u"chromium"_s);
    if (chromium.isEmpty())
        QSKIP("chromium is not installed");
    Structure structure = startingStructure();
    structure.name = u"Sunday Deepstack, the long name of a long tournament"_s;
    std::get<Level>(structure.rounds.back()).small = 500'000'000;
    std::get<Level>(structure.rounds.back()).big = 1'000'000'000;
    const QByteArray rounds = roundsToJson(structure);
    m_rounds = QJsonDocument::fromJson(rounds)[u"rounds"].toArray();
    m_view.setDesign(designToJson());
    m_view.setRounds(rounds);
    m_face =
        longFace(static_cast<qint16>(m_rounds.size() - 4), static_cast<qint16>(m_rounds.size()));
    m_view.publish(m_face);
    livetest::startOnFreePorts(m_view);
    m_browser.emplace();
    const QUrl devtools = m_browser->start(chromium);
    QVERIFY2(devtools.isValid(), "the browser did not start");
    m_page.emplace(devtools);
    m_page->resize(360, 640, true);
    openPage();
}

void TestLiveBrowser::openPage() {
    m_page->open(QUrl(u"http://127.0.0.1:%1/"_s.arg(m_view.port())));
    QVERIFY(m_page->until(u"document.body.dataset.state === 'live' && "
                          "!document.getElementById('levelsOpen').hidden"_s));
}

void TestLiveBrowser::cleanupTestCase() {
    m_page.reset();
    m_browser.reset();
}

void TestLiveBrowser::everyTextFits_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QString>("picture");
    QTest::newRow("small phone") << 320 << 480 << QString();
    QTest::newRow("phone") << 360 << 640 << u"phone"_s;
    QTest::newRow("phone on its side") << 640 << 360 << QString();
    QTest::newRow("laptop") << 1280 << 800 << QString();
    QTest::newRow("TV") << 1920 << 1080 << u"tv"_s;
    QTest::newRow("4K TV") << 3840 << 2160 << QString();
}

void TestLiveBrowser::everyTextFits() {
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QString, picture);
    DevTools &page = *m_page;
    page.resize(width, height, width < 1000);
    QVERIFY(page.until(u"innerWidth === %1 && innerHeight === %2"_s.arg(width).arg(height)));
    QTest::qWait(200); // the page's own resize
    // As on a page served over plain HTTP, where the browser gives no wake lock.
    page.evaluate(u"document.getElementById('awake').hidden = false"_s);
    QVERIFY2(problems(page).isEmpty(), qPrintable(problems(page).join(u"; "_s)));
    QCOMPARE(page.evaluate(u"document.querySelector('[data-name=\"lblTime\"]').textContent"_s),
             QJsonValue(u"04:59"_s));
    const QString folder = qEnvironmentVariable("ORVANDEL_PICTURES");
    const auto keep = [&](const QString &name) {
        if (picture.isEmpty() || folder.isEmpty())
            return;
        QFile file(QDir(folder).filePath(name.arg(picture)));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(page.screenshot()) > 0);
    };
    keep(u"live-fit-%1.png"_s);

    page.evaluate(u"document.getElementById('levelsOpen').click()"_s);
    const QString played = m_rounds[m_face.level - 1][u"level"].toString();
    QVERIFY(page.until(MarkedInSight + u" === '%1'"_s.arg(played)));
    QVERIFY2(problems(page).isEmpty(), qPrintable(problems(page).join(u"; "_s)));
    keep(u"live-levels-%1.png"_s);
    page.evaluate(u"document.getElementById('levelsClose').click()"_s);
    QVERIFY(page.until(u"document.getElementById('levels').hidden && "
                       "!document.getElementById('levelsOpen').hidden"_s));
}

void TestLiveBrowser::levelsFollowTheClock() {
    DevTools &page = *m_page;
    page.resize(360, 640, true);
    page.evaluate(u"document.getElementById('levelsOpen').click()"_s);
    // Each round in turn, breaks included; the first and the last.
    for (const int level : {1, 7, static_cast<int>(m_rounds.size())}) {
        m_face.level = static_cast<qint16>(level);
        m_view.publish(m_face);
        const QString played = m_rounds[level - 1][u"level"].toString();
        QVERIFY2(page.until(MarkedInSight + u" === '%1'"_s.arg(played)), qPrintable(played));
        QCOMPARE(page.evaluate(u"document.querySelectorAll('#levelsTable tr.current').length"_s),
                 QJsonValue(1));
    }
    m_face.ended = true;
    m_view.publish(m_face);
    QVERIFY(page.until(u"document.querySelectorAll('#levelsTable tr.current').length === 0"_s));

    // New rounds are read again when the page finds the view again.
    Structure other;
    other.rounds = {Level{1, 2, 0, 5}, Break{5, u"Chip race"_s}};
    m_view.setRounds(roundsToJson(other));
    const quint16 port = m_view.port();
    m_view.stop();
    QVERIFY(m_view.start(port, port));
    QVERIFY(page.until(u"document.querySelectorAll('#levelsTable tbody tr').length === 2 && "
                       "document.querySelector('#levelsTable tr.break').textContent.includes("
                       "'Chip race') && document.getElementById('levelsTitle').textContent === "
                       "'Levels'"_s));
}

QTEST_MAIN(TestLiveBrowser)

#include "tst_livebrowser.moc"
