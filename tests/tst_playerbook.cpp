// The player book: counts added, typed and taken back, the last player
// standing, and the counts and settings through the journal's JSON.
#include "players/playerbook.h"

#include <QJsonDocument>
#include <QSignalSpy>
#include <QTest>

using namespace orvandel;
using Count = PlayerBook::Count;

namespace {

// Plays a script on `book`: e o r a add one entry, player out, rebuy or
// add-on; E O R A followed by a number type that count; S5 types 5 starting
// chips; u undoes. Gives how many steps were refused.
int play(PlayerBook &book, const QString &script) {
    int refused = 0;
    for (const QString &step : script.split(u' ', Qt::SkipEmptyParts)) {
        const QChar op = step[0];
        const qint64 value = step.mid(1).toLongLong();
        const Count count = QStringLiteral("eE").contains(op)   ? Count::Entries
                            : QStringLiteral("oO").contains(op) ? Count::Out
                            : QStringLiteral("rR").contains(op) ? Count::Rebuys
                                                                : Count::AddOns;
        const bool done = op == u'u'   ? book.undo()
                          : op == u'S' ? book.setSetting(PlayerBook::Setting::StartingChips, value)
                          : op.isLower() ? book.addOne(count)
                                         : book.setCount(count, value);
        refused += done ? 0 : 1;
    }
    return refused;
}

QByteArray compact(const QJsonObject &json) {
    return QJsonDocument(json).toJson(QJsonDocument::Compact);
}

} // namespace

class TestPlayerBook : public QObject {
    Q_OBJECT

private slots:
    void counts_data();
    void counts();
    void json_data();
    void json();
};

void TestPlayerBook::counts_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<QList<qint64>>("counts"); // entries, out, rebuys, add-ons
    QTest::addColumn<int>("refused");
    QTest::addColumn<QString>("standing"); // lastPlayerStanding() as 1 and 0
    QTest::addColumn<bool>("canUndo");
    QTest::addColumn<bool>("entered");

    const QString twelve = QStringLiteral("e ").repeated(12);
    // clang-format off
    QTest::newRow("nothing") << "" << QList<qint64>{0, 0, 0, 0} << 0 << "" << false << false;
    QTest::newRow("one of three left") << "e e e o o r a" << QList<qint64>{3, 2, 1, 1} << 0 << "1" << true << true;
    QTest::newRow("undo takes it back") << "e e e o o u" << QList<qint64>{3, 1, 0, 0} << 0 << "10" << true << true;
    QTest::newRow("typed away and back") << "E40 O39 E41 O40 O39" << QList<qint64>{41, 39, 0, 0} << 0 << "1010" << true << true;
    QTest::newRow("one entry is no winner") << "e" << QList<qint64>{1, 0, 0, 0} << 0 << "" << true << true;
    QTest::newRow("out with none left") << "o e o o" << QList<qint64>{1, 1, 0, 0} << 2 << "" << true << true;
    QTest::newRow("typed out past the entries") << "E3 O4 O-1" << QList<qint64>{3, 0, 0, 0} << 2 << "" << true << true;
    QTest::newRow("typed entries below out") << "E3 O2 E1 R-2" << QList<qint64>{3, 2, 0, 0} << 2 << "1" << true << true;
    QTest::newRow("ten deep") << twelve + QStringLiteral("u u u u u u u u u u u") << QList<qint64>{2, 0, 0, 0} << 1 << "" << false << true;
    QTest::newRow("the same value is no change") << "E3 E3 u" << QList<qint64>{0, 0, 0, 0} << 0 << "" << false << false;
    QTest::newRow("settings are not undone") << "e S5 u u S-1" << QList<qint64>{0, 0, 0, 0} << 2 << "" << false << true;
    QTest::newRow("a count past 64 bits") << "A9223372036854775807 a" << QList<qint64>{0, 0, 0, 9223372036854775807} << 1 << "" << true << true;
    // clang-format on
}

void TestPlayerBook::counts() {
    QFETCH(QString, script);
    QFETCH(QList<qint64>, counts);
    QFETCH(int, refused);
    QFETCH(QString, standing);
    QFETCH(bool, canUndo);
    QFETCH(bool, entered);

    PlayerBook book;
    QString signalled;
    connect(&book, &PlayerBook::lastPlayerStanding, this,
            [&signalled](bool now) { signalled += now ? u'1' : u'0'; });
    QCOMPARE(play(book, script), refused);
    const PlayerCounts &c = book.counts();
    QCOMPARE((QList<qint64>{c.entries, c.out, c.rebuys, c.addOns}), counts);
    QCOMPARE(signalled, standing);
    QCOMPARE(book.canUndo(), canUndo);
    QCOMPARE(book.anythingEntered(), entered);
}

void TestPlayerBook::json_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("taken");

    // clang-format off
    QTest::newRow("a tournament") << QByteArray(R"({"chips":[10000,10000,15000],"counts":[40,17,12,8],"payouts":[50,30,20],"prices":[100,100,50]})") << true;
    QTest::newRow("no payouts, largest") << QByteArray(R"({"chips":[0,0,0],"counts":[9223372036854775807,9223372036854775807,0,0],"payouts":[],"prices":[0,0,9223372036854775807]})") << true;
    QTest::newRow("past 64 bits") << QByteArray(R"({"chips":[0,0,0],"counts":[9223372036854775808,0,0,0],"payouts":[],"prices":[0,0,0]})") << false;
    QTest::newRow("a count short") << QByteArray(R"({"chips":[0,0,0],"counts":[4,1,0],"payouts":[],"prices":[0,0,0]})") << false;
    QTest::newRow("more out than entries") << QByteArray(R"({"chips":[0,0,0],"counts":[4,5,0,0],"payouts":[],"prices":[0,0,0]})") << false;
    QTest::newRow("below 0") << QByteArray(R"({"chips":[0,-1,0],"counts":[4,1,0,0],"payouts":[],"prices":[0,0,0]})") << false;
    QTest::newRow("a fraction") << QByteArray(R"({"chips":[0,0,0],"counts":[4,1,0,0],"payouts":[],"prices":[0,0.5,0]})") << false;
    QTest::newRow("a string") << QByteArray(R"({"chips":[0,0,0],"counts":["4",1,0,0],"payouts":[],"prices":[0,0,0]})") << false;
    QTest::newRow("payouts short of 100") << QByteArray(R"({"chips":[0,0,0],"counts":[4,1,0,0],"payouts":[50,40],"prices":[0,0,0]})") << false;
    QTest::newRow("a payout of 0") << QByteArray(R"({"chips":[0,0,0],"counts":[4,1,0,0],"payouts":[0,100],"prices":[0,0,0]})") << false;
    QTest::newRow("no prices") << QByteArray(R"({"chips":[0,0,0],"counts":[4,1,0,0],"payouts":[]})") << false;
    // clang-format on
}

void TestPlayerBook::json() {
    QFETCH(QByteArray, json);
    QFETCH(bool, taken);

    PlayerBook book;
    play(book, QStringLiteral("E9 o r a S7"));
    book.setPayouts(u"100");
    QVERIFY(book.canUndo());
    const QByteArray before = compact(book.toJson());
    QSignalSpy changes(&book, &PlayerBook::changed);

    QCOMPARE(book.fromJson(QJsonDocument::fromJson(json).object()), taken);
    QCOMPARE(compact(book.toJson()), taken ? json : before);
    QCOMPARE(changes.size(), taken ? 1 : 0);
    QCOMPARE(book.canUndo(), !taken);
}

QTEST_APPLESS_MAIN(TestPlayerBook)
#include "tst_playerbook.moc"
