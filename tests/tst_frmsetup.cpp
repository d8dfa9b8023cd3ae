// The setup form as loaded, its two layouts with and without a break, its tab
// order and its keys.
#include "frmsetuptest.h"

#include "core/module1.h"
#include "core/twips.h"
#include "setup/frmsetup.h"

#include <QPushButton>
#include <QScreen>

using namespace testsupport;
using namespace orvandel;

namespace {

// Outer form height in twips as the form shows it.
int formHeightTwips(const QWidget *form) {
    return twips(form->height()) + FrameHeightTwips;
}

} // namespace

class TestFrmSetUp : public QObject {
    Q_OBJECT

private slots:
    void init() { m_folder = std::make_unique<WorkFolder>(); }
    void cleanup() { m_folder.reset(); }

    void loadsEmptyWithoutBreak();
    void captionsShownWhole();
    void tabOrder();
    void layouts_data();
    void layouts();
    void noKeepsBreakFields();
    void keys_data();
    void keys();

private:
    std::unique_ptr<WorkFolder> m_folder;
};

void TestFrmSetUp::loadsEmptyWithoutBreak() {
    Module1::HasBreak = true; // left over from an earlier setup
    auto *form = openWindow<frmSetUp>();
    QCOMPARE(Module1::HasBreak, false);
    QVERIFY(child<QRadioButton>(form, "optBreakNo")->isChecked());
    QVERIFY(!child<QRadioButton>(form, "optBreakYes(0)")->isChecked());
    for (const char *name :
         {"txtNumberOfLevels", "txtDuration", "txtBreakDuration", "txtBreakRound"})
        QVERIFY2(field(form, name)->text().isEmpty(), name);
    for (const char *name : {"lblDuration", "txtBreakDuration", "lblRound", "txtBreakRound"})
        QVERIFY2(!child<QWidget>(form, name)->isVisible(), name);
    QCOMPARE(form->focusWidget(), field(form, "txtNumberOfLevels"));
}

// In the platform's font every caption must show whole and no two controls
// may cover each other, in either layout.
void TestFrmSetUp::captionsShownWhole() {
    auto *form = openWindow<frmSetUp>();
    for (bool withBreak : {false, true}) {
        click(form, {withBreak ? Yes : No});
        const QList<QWidget *> shown = shownControls(form);
        QCOMPARE(shown.size(), withBreak ? 14 : 10);
        QCOMPARE(layoutFault(form, shown), QString());
    }
}

void TestFrmSetUp::tabOrder() {
    auto *form = openWindow<frmSetUp>();
    click(form, {Yes});
    QVERIFY(QTest::qWaitForWindowActive(form));
    const QStringList expected = {
        QStringLiteral("txtNumberOfLevels"), QStringLiteral("txtDuration"),
        QStringLiteral("optBreakYes(0)"),    QStringLiteral("txtBreakDuration"),
        QStringLiteral("txtBreakRound"),     QStringLiteral("cmdOK"),
        QStringLiteral("cmdCancel"),         QStringLiteral("txtNumberOfLevels"),
    };
    // Only the checked option button of the group takes a stop.
    field(form, "txtNumberOfLevels")->setFocus();
    QStringList visited = {QApplication::focusWidget()->objectName()};
    for (qsizetype i = 1; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.append(QApplication::focusWidget()->objectName());
    }
    QCOMPARE(visited, expected);

    // With "No" selected, the tab stop of the group is "No".
    click(form, {No});
    field(form, "txtDuration")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), No);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("cmdOK"));
}

void TestFrmSetUp::layouts_data() {
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<bool>("withBreak");

    // clang-format off
    QTest::newRow("as loaded")     << QStringList{}            << false;
    QTest::newRow("yes")           << QStringList{Yes}         << true;
    QTest::newRow("yes, no")       << QStringList{Yes, No}     << false;
    QTest::newRow("yes, no, yes")  << QStringList{Yes, No, Yes} << true;
    QTest::newRow("no while no")   << QStringList{No}          << false;
    // clang-format on
}

void TestFrmSetUp::layouts() {
    QFETCH(QStringList, clicks);
    QFETCH(bool, withBreak);

    auto *form = openWindow<frmSetUp>();
    // Centred for the designed client height of 3975 and its title bar,
    // then shrunk to the no-break layout keeping that top edge.
    const QRect area = form->screen()->geometry();
    const int centredTop = area.top() + (area.height() - px(3975) - px(FrameHeightTwips)) / 2;
    QCOMPARE(form->y(), centredTop);

    click(form, clicks);

    QCOMPARE(formHeightTwips(form), withBreak ? 4305 : 3255);
    QCOMPARE(child<QPushButton>(form, "cmdOK")->y(), px(withBreak ? 3300 : 2310));
    QCOMPARE(child<QPushButton>(form, "cmdCancel")->y(), px(withBreak ? 3300 : 2310));
    for (const char *name : {"lblDuration", "txtBreakDuration", "lblRound", "txtBreakRound"})
        QVERIFY2(child<QWidget>(form, name)->isVisible() == withBreak, name);
    QCOMPARE(Module1::HasBreak, withBreak);
    QCOMPARE(form->y(), centredTop);
}

void TestFrmSetUp::noKeepsBreakFields() {
    auto *form = openWindow<frmSetUp>();
    click(form, {Yes});
    QTest::keyClicks(field(form, "txtBreakDuration"), QStringLiteral("15"));
    QTest::keyClicks(field(form, "txtBreakRound"), QStringLiteral("3"));
    click(form, {No, Yes});
    QCOMPARE(field(form, "txtBreakDuration")->text(), QStringLiteral("15"));
    QCOMPARE(field(form, "txtBreakRound")->text(), QStringLiteral("3"));
    QVERIFY(field(form, "txtBreakRound")->isVisible());
}

void TestFrmSetUp::keys_data() {
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("opens"); // the window shown afterwards

    // clang-format off
    QTest::newRow("Enter in the level count")         << "txtNumberOfLevels" << int(Qt::Key_Return) << "frmBlindAmounts";
    QTest::newRow("keypad Enter in the break length") << "txtBreakDuration"  << int(Qt::Key_Enter)  << "frmBlindAmounts";
    QTest::newRow("Enter on an option button")        << "optBreakYes(0)"    << int(Qt::Key_Return) << "frmBlindAmounts";
    QTest::newRow("Enter on OK")                      << "cmdOK"             << int(Qt::Key_Return) << "frmBlindAmounts";
    QTest::newRow("Enter on Cancel")                  << "cmdCancel"         << int(Qt::Key_Return) << "Opening";
    QTest::newRow("Escape in a field")                << "txtDuration"       << int(Qt::Key_Escape) << "frmSetUp";
    QTest::newRow("Escape on Cancel")                 << "cmdCancel"         << int(Qt::Key_Escape) << "frmSetUp";
    // clang-format on
}

void TestFrmSetUp::keys() {
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(QString, opens);

    auto *form = openWindow<frmSetUp>();
    QVERIFY(QTest::qWaitForWindowActive(form));
    type(form, {QStringLiteral("4"), QStringLiteral("20"), QStringLiteral("15"),
                QStringLiteral("3"), true});
    auto *target = child<QWidget>(form, focus);
    target->setFocus();
    QCOMPARE(QApplication::focusWidget(), target);

    const QList<Box> boxes =
        answerBoxes([target, key] { QTest::keyClick(target, static_cast<Qt::Key>(key)); });
    QVERIFY(boxes.isEmpty());
    QCOMPARE(shownWindows(), QStringList{opens});
    if (opens == QStringLiteral("frmBlindAmounts"))
        QCOMPARE(int(Module1::NumberOfLevels), 4);
}

QTEST_MAIN(TestFrmSetUp)
#include "tst_frmsetup.moc"
