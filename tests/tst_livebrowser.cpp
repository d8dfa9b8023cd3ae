// The live page in headless Chromium: every text fits its place from a small
// phone to a 4K TV, and the Levels view marks the round played and keeps it
// in sight. ORVANDEL_PICTURES: a folder for the phone's and the TV's pictures.
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

// Every label of the design shown, with a long text where the clock has one.
ClockFace longFace(qint16 level, qint16 levelCount) {
    const QMap<QString, QString> texts = {
        {u"Label1"_s, u"Blinds Have Increased!!!"_s},
        {u"lblCurrentSmall"_s, u"25,000 + 25K BBA"_s},
        {u"lblCurrentBig"_s, u"1,000,000"_s},
        {u"lblTime"_s, u"04:59"_s},
        {u"lblNextSmall"_s, u"1,000,000"_s},
        {u"lblNextBig"_s, u"2,000,000 + 2M BBA"_s},
        {u"lblPayouts"_s, u"1st 500,000,000\n2nd 300,000,000\n3rd 200,000,000"_s}};
    ClockFace face;
    face.level = level;
    face.levelCount = levelCount;
    face.remainingMs = 299'000;
    for (const std::span<const LabelDesign> table : {clockLabels(), extraLabels()}) {
        for (const LabelDesign &label : table) {
            const QString name = QString::fromLatin1(label.name);
            const QString text =
                *label.caption ? QString::fromLatin1(label.caption) : u"Big blind ante 2,000,000"_s;
            face.controls.append({name, texts.value(name, text), Qt::white, true});
        }
    }
    return face;
}

// What is wrong with the page as shown: an element whose content is wider
// than its box (the list's too), a text of the face off the screen or under
// a button.
const QString Problems = uR"((() => {
    const out = [], W = innerWidth, H = innerHeight, levels = !document.getElementById('levels').hidden;
    const shown = (e) => e.getClientRects().length > 0;
    const meets = (a, b) => a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
    for (const e of document.querySelectorAll('*'))
        if (e.scrollWidth > e.clientWidth && shown(e))
            out.push(`${e.dataset.name || e.id || e.tagName}: ${e.scrollWidth} > ${e.clientWidth}`);
    for (const e of levels ? [] : [...document.querySelectorAll('.control')].filter(shown)) {
        const range = document.createRange();
        range.selectNodeContents(e);
        const r = range.getBoundingClientRect();
        if (r.left < -0.5 || r.top < -0.5 || r.right > W + 0.5 || r.bottom > H + 0.5)
            out.push(`${e.dataset.name} off the screen`);
        for (const b of [...document.querySelectorAll('body > button')].filter(shown))
            if (r.width > 0 && meets(r, b.getBoundingClientRect())) out.push(`${b.id} covers ${e.dataset.name}`);
    }
    return out.join('; ');
})())"_s;

// The first cell of the round marked as played, if it is in sight.
const QString Marked = uR"((() => {
    const row = document.querySelector('#levelsTable tr.current'), box = levelsScroll.getBoundingClientRect();
    const r = row ? row.getBoundingClientRect() : box;
    return row && r.top >= box.top && r.bottom <= box.bottom ? row.cells[0].textContent : '';
})())"_s;

} // namespace

class TestLiveBrowser : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void everyTextFits_data();
    void everyTextFits();
    void levelsFollowTheClock();

private:
    bool marks(int level) {
        return m_page->until(Marked + u" === '%1'"_s.arg(m_rounds[level - 1][u"level"].toString()));
    }
    void click(const char *id) {
        m_page->evaluate(u"document.getElementById('%1').click()"_s.arg(QLatin1String(id)));
    }

    Browser m_browser;
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
    structure.rounds.back() = Level{500'000'000, 1'000'000'000, 16'000, 20};
    const QByteArray rounds = roundsToJson(structure);
    m_rounds = QJsonDocument::fromJson(rounds)[u"rounds"].toArray();
    m_view.setDesign(designToJson());
    m_view.setRounds(rounds);
    const auto count = static_cast<qint16>(m_rounds.size());
    m_face = longFace(static_cast<qint16>(count - 4), count);
    m_view.publish(m_face);
    livetest::startOnFreePorts(m_view);
    const QUrl devtools = m_browser.start(chromium);
    QVERIFY2(devtools.isValid(), "the browser did not start");
    m_page.emplace(devtools);
    m_page->open(QUrl(u"http://127.0.0.1:%1/"_s.arg(m_view.port())));
    QVERIFY(m_page->until(u"document.body.dataset.state === 'live' && "
                          "!document.getElementById('levelsOpen').hidden"_s));
}

void TestLiveBrowser::everyTextFits_data() {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("picture");
    QTest::newRow("small phone") << QSize(320, 480) << QString();
    QTest::newRow("phone") << QSize(360, 640) << u"phone"_s;
    QTest::newRow("phone on its side") << QSize(640, 360) << QString();
    QTest::newRow("laptop") << QSize(1280, 800) << QString();
    QTest::newRow("TV") << QSize(1920, 1080) << u"tv"_s;
    QTest::newRow("4K TV") << QSize(3840, 2160) << QString();
}

void TestLiveBrowser::everyTextFits() {
    QFETCH(QSize, size);
    QFETCH(QString, picture);
    DevTools &page = *m_page;
    page.resize(size.width(), size.height(), size.width() < 1000);
    QVERIFY(page.until(
        u"innerWidth === %1 && innerHeight === %2"_s.arg(size.width()).arg(size.height())));
    QTest::qWait(200); // the page's own resize
    // As on a page served over plain HTTP, where the browser gives no wake lock.
    page.evaluate(u"document.getElementById('awake').hidden = false"_s);
    QCOMPARE(page.evaluate(Problems).toString(), QString());
    QCOMPARE(page.evaluate(u"document.querySelector('[data-name=\"lblTime\"]').textContent"_s),
             QJsonValue(u"04:59"_s));
    const QString folder = qEnvironmentVariable("ORVANDEL_PICTURES");
    const auto keep = [&](const QString &name) {
        QFile file(QDir(folder).filePath(name.arg(picture)));
        QVERIFY(picture.isEmpty() || folder.isEmpty() ||
                (file.open(QIODevice::WriteOnly) && file.write(page.screenshot()) > 0));
    };
    keep(u"live-fit-%1.png"_s);
    click("levelsOpen");
    QVERIFY(marks(m_face.level));
    QCOMPARE(page.evaluate(Problems).toString(), QString());
    keep(u"live-levels-%1.png"_s);
    click("levelsClose");
    QVERIFY(page.until(u"document.getElementById('levels').hidden && "
                       "!document.getElementById('levelsOpen').hidden"_s));
}

void TestLiveBrowser::levelsFollowTheClock() {
    m_page->resize(360, 640, true);
    click("levelsOpen");
    // The first round, a break, the last: the first row marked is the round's.
    for (const int level : {1, 7, static_cast<int>(m_rounds.size())}) {
        m_face.level = static_cast<qint16>(level);
        m_view.publish(m_face);
        QVERIFY2(marks(level), qPrintable(QString::number(level)));
    }
    // Read again when the page finds the view again.
    m_view.setRounds(roundsToJson({{}, AnteKind::None, {Break{5, u"Chip race"_s}}}));
    const quint16 port = m_view.port();
    m_view.stop();
    QVERIFY(m_view.start(port, port));
    QVERIFY(m_page->until(u"levelsTitle.textContent + levelsTable.textContent === "
                          "'LevelsLevelSmallBigMin.StartsBreakChip race50:00'"_s));
}

QTEST_MAIN(TestLiveBrowser)

#include "tst_livebrowser.moc"
