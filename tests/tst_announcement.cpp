// What the clock says, made from its face, and when the minute's warning is
// due: plain functions, checked over the kinds of level and the edges.
#include "core/announcement.h"

#include <QTest>

using namespace orvandel;

Q_DECLARE_METATYPE(orvandel::ClockFace)

namespace {

ClockFace face(qint16 level, qint16 count, const QString &small, const QString &big,
               qint32 remainingMs = 0, bool onBreak = false) {
    ClockFace face;
    face.controls = {{QStringLiteral("lblCurrentSmall"), small, {}, true},
                     {QStringLiteral("lblCurrentBig"), big, {}, true}};
    face.level = level;
    face.levelCount = count;
    face.remainingMs = remainingMs;
    face.onBreak = onBreak;
    face.ended = level > count;
    return face;
}

// A structure's round: its level counted without breaks, its ante, its note.
ClockFace round(ClockFace face, qint16 number, qint64 ante, bool bigBlind,
                const QString &note = {}) {
    face.levelNumber = number;
    face.ante = ante;
    face.bigBlindAnte = bigBlind;
    face.note = note;
    return face;
}

} // namespace

class TestAnnouncement : public QObject {
    Q_OBJECT

private slots:
    void sentences_data() {
        QTest::addColumn<ClockFace>("face");
        QTest::addColumn<QString>("level");
        QTest::addColumn<QString>("warning");
        const QString inLevel = QStringLiteral("One minute left in this level.");
        const QString inBreak = QStringLiteral("One minute left in the break.");
        QTest::newRow("level") << face(4, 9, QStringLiteral("$50"), QStringLiteral("$100"))
                               << "Level 4. Blinds $50 and $100." << inLevel;
        QTest::newRow("typed with blanks and other currencies")
            << face(2, 9, QStringLiteral(" \u20AC5 "), QStringLiteral("\u00A310 000"))
            << QStringLiteral("Level 2. Blinds \u20AC5 and \u00A310 000.") << inLevel;
        QTest::newRow("long blinds")
            << face(10, 11, QStringLiteral("1,000,000,000"), QStringLiteral("2,000,000,000"))
            << "Level 10. Blinds 1,000,000,000 and 2,000,000,000." << inLevel;
        QTest::newRow("no blinds typed") << face(3, 9, {}, {}) << "Level 3." << inLevel;
        QTest::newRow("break") << face(3, 9, QStringLiteral("Break"), QStringLiteral("Time!"),
                                       15 * 60'000, true)
                               << "Break. 15 minutes." << inBreak;
        QTest::newRow("break of one minute")
            << face(3, 9, {}, {}, 60'000, true) << "Break. 1 minute." << inBreak;
        QTest::newRow("break reached part-way, after sleep")
            << face(3, 9, {}, {}, 9 * 60'000 + 30'000, true) << "Break. 10 minutes." << inBreak;
        QTest::newRow("final level") << face(5, 5, QStringLiteral("$200"), QStringLiteral("$400"))
                                     << "Final level. Blinds $200 and $400." << inLevel;
        QTest::newRow("final level that is the break")
            << face(5, 5, {}, {}, 20 * 60'000, true) << "Break. 20 minutes." << inBreak;
        QTest::newRow("ended") << face(6, 5, {}, {}) << "The tournament has ended." << inLevel;
        const ClockFace l6 = face(6, 12, QStringLiteral("100"), QStringLiteral("1,000"));
        QTest::newRow("structure: level after a break, with ante")
            << round(l6, 5, 200, false) << "Level 5. Blinds 100 and 1,000, ante 200." << inLevel;
        QTest::newRow("structure: big blind ante, grouped")
            << round(l6, 5, 1000, true) << "Level 5. Blinds 100 and 1,000, big blind ante 1,000."
            << inLevel;
        const ClockFace pause = face(4, 12, {}, {}, 15 * 60'000, true);
        QTest::newRow("structure: break with note")
            << round(pause, 0, 0, false, QStringLiteral(" Colour up the 25s "))
            << "Break. 15 minutes. Colour up the 25s." << inBreak;
        QTest::newRow("structure: note ending its own sentence")
            << round(pause, 0, 0, false, QStringLiteral("Dinner!")) << "Break. 15 minutes. Dinner!"
            << inBreak;
    }
    void sentences() {
        QFETCH(ClockFace, face);
        QFETCH(QString, level);
        QFETCH(QString, warning);
        QCOMPARE(levelSentence(face), level);
        QCOMPARE(warningSentence(face), warning);
    }

    void warningDue_data() {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("due");
        QTest::newRow("1:01 left") << 62'000 << 61'000 << 120'000 << false;
        QTest::newRow("1:00 left") << 61'000 << 60'000 << 120'000 << true;
        QTest::newRow("0:59 left") << 60'000 << 59'000 << 120'000 << false;
        QTest::newRow("first tick of a one-minute level") << 60'000 << 59'000 << 60'000 << false;
        QTest::newRow("a level a second over a minute") << 61'000 << 60'000 << 61'000 << true;
    }
    void warningDue() {
        QFETCH(int, before);
        QFETCH(int, after);
        QFETCH(int, length);
        QFETCH(bool, due);
        QCOMPARE(orvandel::warningDue(before, after, length), due);
    }
};

QTEST_APPLESS_MAIN(TestAnnouncement)

#include "tst_announcement.moc"
