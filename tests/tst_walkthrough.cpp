#include "testsupport.h"

#include "app/opening.h"
#include "setup/frmblindamounts.h"
#include "setup/frmsetup.h"

using namespace testsupport;

// The whole program on the road of one tournament, as the director walks it.
class TestWalkthrough : public QObject {
    Q_OBJECT

private slots:
    void init() { m_folder = std::make_unique<WorkFolder>(); }
    void cleanup() { m_folder.reset(); }

    void roadOfOneTournament();

private:
    std::unique_ptr<WorkFolder> m_folder;
};

// From the opening screen through both setup forms and back, then on to the
// clock, which runs the file just written.
void TestWalkthrough::roadOfOneTournament() {
    auto *opening = openWindow<Opening>();
    QTest::mouseClick(child<QRadioButton>(opening, "optBlinds(0)"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(opening, "Command1"), Qt::LeftButton);

    auto *setUp = onlyWindow<frmSetUp>();
    QVERIFY(setUp);
    QTest::keyClicks(field(setUp, "txtNumberOfLevels"), QStringLiteral("4"));
    QTest::keyClicks(field(setUp, "txtDuration"), QStringLiteral("20"));
    QTest::mouseClick(child<QRadioButton>(setUp, "optBreakYes(0)"), Qt::LeftButton);
    QTest::keyClicks(field(setUp, "txtBreakDuration"), QStringLiteral("15"));
    QTest::keyClicks(field(setUp, "txtBreakRound"), QStringLiteral("3"));
    QVERIFY(clickThroughBoxes(child<QPushButton>(setUp, "cmdOK")).isEmpty());

    auto *amounts = onlyWindow<frmBlindAmounts>();
    QVERIFY(amounts);
    QCOMPARE(text(amounts, "lblRound(2)"), QStringLiteral("Break"));
    QVERIFY(!child<QLabel>(amounts, "lblRound(4)")->isVisible());
    const char *const amountsTyped[][2] = {{"txtSB(0)", "10"}, {"txtBB(0)", "20"},
                                           {"txtSB(1)", "20"}, {"txtBB(1)", "40"},
                                           {"txtSB(3)", "50"}, {"txtBB(3)", "100"}};
    for (const auto &[name, amount] : amountsTyped) {
        QLineEdit *box = field(amounts, name);
        box->selectAll();
        box->del();
        QTest::keyClicks(box, QString::fromLatin1(amount));
    }
    QVERIFY(clickThroughBoxes(child<QPushButton>(amounts, "cmdOK")).isEmpty());
    QCOMPARE(readFile(), ExampleTournament);

    opening = onlyWindow<Opening>();
    QVERIFY(opening);
    QTest::mouseClick(child<QRadioButton>(opening, "optStart(2)"), Qt::LeftButton);
    QVERIFY(clickThroughBoxes(child<QPushButton>(opening, "Command1")).isEmpty());

    QCOMPARE(shownWindows(), QStringList{QStringLiteral("Blinds")});
    auto *clock = onlyWindow<QWidget>();
    QVERIFY(clock);
    QCOMPARE(text(clock, "lblCurrentSmall"), QStringLiteral("$10"));
    QCOMPARE(text(clock, "lblCurrentBig"), QStringLiteral("$20"));
}

QTEST_MAIN(TestWalkthrough)
#include "tst_walkthrough.moc"
