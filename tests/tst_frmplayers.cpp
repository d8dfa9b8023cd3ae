// The counting window driven through its controls: a tournament of forty
// entries with rebuys and add-ons against figures worked out by hand.
#include "players/frmplayers.h"
#include "testsupport.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

using namespace orvandel;
using namespace testsupport;

namespace {

void press(QWidget *window, const char *name, int times = 1) {
    for (int i = 0; i < times; ++i)
        child<QPushButton>(window, name)->click();
}

QStringList figures(QWidget *window) {
    return {text(window, "lblPlayers"), text(window, "lblAverage"), text(window, "lblPrizePool"),
            text(window, "lblPayouts")};
}

} // namespace

class TestFrmPlayers : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void fortyEntries();
};

void TestFrmPlayers::fortyEntries() {
    PlayerBook book;
    book.setBigBlind(400);
    auto *window = new frmPlayers(&book, nullptr);
    window->showOn(nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QVERIFY(!child<QPushButton>(window, "cmdUndoCount")->isEnabled());
    QVERIFY(!child<QPushButton>(window, "cmdBust")->isEnabled());

    type<QLineEdit>(window, "txtStack", QStringLiteral("10000"));
    type<QLineEdit>(window, "txtRebuyChips", QStringLiteral("10000"));
    type<QLineEdit>(window, "txtAddOnChips", QStringLiteral("15000"));
    type<QLineEdit>(window, "txtBuyIn", QStringLiteral("1x00")); // digits only
    type<QLineEdit>(window, "txtRebuyPrice", QStringLiteral("100"));
    type<QLineEdit>(window, "txtAddOnPrice", QStringLiteral("50"));
    type<QLineEdit>(window, "txtPayouts", QStringLiteral("50, 30, 20"));
    QVERIFY(!book.canUndo());

    type<QSpinBox>(window, "spnEntries", QStringLiteral("38"));
    press(window, "cmdEntry", 2);
    press(window, "cmdBust", 17);
    type<QSpinBox>(window, "spnAddOns", QStringLiteral("8"));
    press(window, "cmdRebuy", 2);
    type<QSpinBox>(window, "spnRebuys", QStringLiteral("12")); // one change, not "1" and "12"
    // 640,000 chips among 23 players, 27,826.09 each, 69.57 big blinds;
    // 4,000 + 1,200 + 400 in the pool.
    const QStringList counted = {
        QStringLiteral("Players 23 of 40"), QStringLiteral("Average 27,826 (69.6 BB)"),
        QStringLiteral("Prize pool 5,600"), QStringLiteral("1st 2,800 · 2nd 1,680 · 3rd 1,120")};
    QCOMPARE(figures(window), counted);
    QCOMPARE(child<QSpinBox>(window, "spnOut")->value(), 17);
    QCOMPARE(field(window, "txtBuyIn")->text(), QStringLiteral("100"));
    QCOMPARE(field(window, "txtPayouts")->text(), QStringLiteral("50 30 20"));

    // Refused: nothing changes but the message.
    const QJsonObject kept = book.toJson();
    type<QLineEdit>(window, "txtPayouts", QStringLiteral("50 30 10"));
    QCOMPARE(text(window, "lblPayoutProblem"),
             QStringLiteral("The payouts add up to 90 %, not 100 %."));
    type<QSpinBox>(window, "spnOut", QStringLiteral("41"));
    QCOMPARE(text(window, "lblCountProblem"),
             QStringLiteral("No more players can be out than there are entries (40)."));
    QCOMPARE(child<QSpinBox>(window, "spnOut")->value(), 17);
    QCOMPARE(book.toJson(), kept);
    QCOMPARE(figures(window), counted);

    // Back to the two rebuys pressed: 540,000 chips, 23,478.3 each, 58.7 big blinds.
    press(window, "cmdUndoCount");
    QCOMPARE(child<QSpinBox>(window, "spnRebuys")->value(), 2);
    QCOMPARE(figures(window), (QStringList{QStringLiteral("Players 23 of 40"),
                                           QStringLiteral("Average 23,478 (58.7 BB)"),
                                           QStringLiteral("Prize pool 4,600"),
                                           QStringLiteral("1st 2,300 · 2nd 1,380 · 3rd 920")}));
    QCOMPARE(text(window, "lblCountProblem"), QString());
    delete window;
}

QTEST_MAIN(TestFrmPlayers)
#include "tst_frmplayers.moc"
