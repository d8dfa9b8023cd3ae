// The blind amounts form as it is laid out for the levels chosen, and its
// keys.
#include "blindamountstest.h"

#include "core/twips.h"

#include <QScreen>

using namespace testsupport;
using namespace orvandel;

namespace {

QLabel *caption(QWidget *form, int row) {
    return child<QLabel>(form, QStringLiteral("lblRound(%1)").arg(row));
}

} // namespace

class TestFrmBlindAmounts : public QObject {
    Q_OBJECT

private slots:
    void init() { m_folder = std::make_unique<WorkFolder>(); }
    void cleanup() { m_folder.reset(); }

    void layoutByLevelCount_data();
    void layoutByLevelCount();
    void breakRow_data();
    void breakRow();
    void captionsShownWhole();
    void tabOrder_data();
    void tabOrder();
    void keys_data();
    void keys();

private:
    std::unique_ptr<WorkFolder> m_folder;
};

void TestFrmBlindAmounts::layoutByLevelCount_data() {
    QTest::addColumn<int>("levels");
    QTest::addColumn<int>("formHeight"); // outer, in twips
    QTest::addColumn<int>("okTop");
    QTest::addColumn<int>("cancelTop");

    // No row for 0 or 1 level, nor past 10: the designed layout stays.
    QTest::newRow("0 levels") << 0 << 7890 + 330 << 7425 << 7440;
    QTest::newRow("1 level") << 1 << 7890 + 330 << 7425 << 7440;
    QTest::newRow("2 levels") << 2 << 3555 << 2595 << 2595;
    QTest::newRow("3 levels") << 3 << 4245 << 3150 << 3150;
    QTest::newRow("4 levels") << 4 << 4800 << 3735 << 3735;
    QTest::newRow("5 levels") << 5 << 5295 << 4350 << 4350;
    QTest::newRow("6 levels") << 6 << 5910 << 4920 << 4920;
    QTest::newRow("7 levels") << 7 << 6480 << 5520 << 5520;
    QTest::newRow("8 levels") << 8 << 7035 << 6090 << 6090;
    QTest::newRow("9 levels") << 9 << 7710 << 6825 << 6825;
    QTest::newRow("10 levels") << 10 << 8400 << 7440 << 7440;
    QTest::newRow("11 levels") << 11 << 7890 + 330 << 7425 << 7440;
    QTest::newRow("-1 levels") << -1 << 7890 + 330 << 7425 << 7440;
}

void TestFrmBlindAmounts::layoutByLevelCount() {
    QFETCH(int, levels);
    QFETCH(int, formHeight);
    QFETCH(int, okTop);
    QFETCH(int, cancelTop);

    setLevels(levels);
    auto *form = openWindow<frmBlindAmounts>();
    QCOMPARE(twips(form->height()) + FrameHeightTwips, formHeight);
    QCOMPARE(form->width(), px(3465));
    QCOMPARE(button(form, "cmdOK")->y(), px(okTop));
    QCOMPARE(button(form, "cmdCancel")->y(), px(cancelTop));
    QVERIFY(button(form, "cmdOK")->isVisible());
    QVERIFY(form->rect().contains(button(form, "cmdCancel")->geometry()));

    // Centred for the outer height it has after the layout is set.
    const QRect area = form->screen()->geometry();
    QCOMPARE(form->y(), area.top() + (area.height() - form->height() - px(FrameHeightTwips)) / 2);
    QCOMPARE(form->x(), area.left() + (area.width() - form->width()) / 2);

    for (int row = 0; row < Rows; ++row) {
        const bool shown = row < levels;
        const QString why = QStringLiteral("row %1").arg(row);
        QVERIFY2(caption(form, row)->isVisible() == shown, qPrintable(why));
        QVERIFY2(small(form, row)->isVisible() == shown, qPrintable(why));
        QVERIFY2(big(form, row)->isVisible() == shown, qPrintable(why));
        QCOMPARE(caption(form, row)->text(), QStringLiteral("Level %1:").arg(row + 1));
        QCOMPARE(small(form, row)->text(), QStringLiteral(" "));
        QCOMPARE(big(form, row)->text(), QStringLiteral(" "));
        QVERIFY(small(form, row)->isEnabled() && big(form, row)->isEnabled());
        // Shown rows end above the buttons.
        if (shown)
            QVERIFY2(big(form, row)->geometry().bottom() < button(form, "cmdOK")->y(),
                     qPrintable(why));
    }
}

void TestFrmBlindAmounts::breakRow_data() {
    QTest::addColumn<int>("levels");
    QTest::addColumn<bool>("hasBreak");
    QTest::addColumn<int>("breakRound");
    QTest::addColumn<int>("breakRow"); // -1: none

    QTest::newRow("break at level 3 of 4") << 4 << true << 3 << 2;
    QTest::newRow("break at level 2 of 2") << 2 << true << 2 << 1;
    QTest::newRow("break at level 10 of 10") << 10 << true << 10 << 9;
    QTest::newRow("break level without a break chosen") << 4 << false << 3 << -1;
}

void TestFrmBlindAmounts::breakRow() {
    QFETCH(int, levels);
    QFETCH(bool, hasBreak);
    QFETCH(int, breakRound);
    QFETCH(int, breakRow);

    setLevels(levels, hasBreak, breakRound, 15);
    auto *form = openWindow<frmBlindAmounts>();
    for (int row = 0; row < levels; ++row) {
        const bool isBreak = row == breakRow;
        QCOMPARE(caption(form, row)->text(),
                 isBreak ? QStringLiteral("Break") : QStringLiteral("Level %1:").arg(row + 1));
        QVERIFY(caption(form, row)->width() >= caption(form, row)->sizeHint().width());
        QCOMPARE(small(form, row)->text(), isBreak ? QString() : QStringLiteral(" "));
        QCOMPARE(big(form, row)->text(), isBreak ? QString() : QStringLiteral(" "));
        QCOMPARE(small(form, row)->isEnabled(), !isBreak);
        QCOMPARE(big(form, row)->isEnabled(), !isBreak);
        QVERIFY(big(form, row)->isVisible());
    }
    // A disabled field takes no typing.
    if (breakRow >= 0) {
        QTest::keyClicks(big(form, breakRow), QStringLiteral("40"));
        QVERIFY(big(form, breakRow)->text().isEmpty());
    }
}

// In the platform's font every caption must show whole and no two controls
// may cover each other.
void TestFrmBlindAmounts::captionsShownWhole() {
    setLevels(10, true, 10);
    auto *form = openWindow<frmBlindAmounts>();
    const QList<QWidget *> shown = shownControls(form);
    QCOMPARE(shown.size(), 5 + 3 * Rows + 2);
    QCOMPARE(layoutFault(form, shown), QString());
}

void TestFrmBlindAmounts::tabOrder_data() {
    QTest::addColumn<int>("levels");
    QTest::addColumn<int>("breakRound"); // 0: no break
    QTest::addColumn<QStringList>("stops");

    QStringList all;
    for (int row = 0; row < Rows; ++row)
        all << QStringLiteral("txtSB(%1)").arg(row) << QStringLiteral("txtBB(%1)").arg(row);
    all << QStringLiteral("cmdOK") << QStringLiteral("cmdCancel");
    QTest::newRow("ten levels") << 10 << 0 << all;
    QTest::newRow("four levels, break at 3")
        << 4 << 3 << QStringList{QStringLiteral("txtSB(0)"), QStringLiteral("txtBB(0)"),
                                 QStringLiteral("txtSB(1)"), QStringLiteral("txtBB(1)"),
                                 QStringLiteral("txtSB(3)"), QStringLiteral("txtBB(3)"),
                                 QStringLiteral("cmdOK"),    QStringLiteral("cmdCancel")};
}

void TestFrmBlindAmounts::tabOrder() {
    QFETCH(int, levels);
    QFETCH(int, breakRound);
    QFETCH(QStringList, stops);

    setLevels(levels, breakRound != 0, breakRound);
    auto *form = openWindow<frmBlindAmounts>();
    QVERIFY(QTest::qWaitForWindowActive(form));
    QCOMPARE(QApplication::focusWidget(), small(form, 0));
    QStringList visited = {QApplication::focusWidget()->objectName()};
    for (qsizetype i = 1; i <= stops.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.append(QApplication::focusWidget()->objectName());
    }
    QCOMPARE(visited, stops + QStringList{stops.first()});
}

void TestFrmBlindAmounts::keys_data() {
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("writes");

    QTest::newRow("Enter in a small blind") << "txtSB(0)" << int(Qt::Key_Return) << true;
    QTest::newRow("keypad Enter in a big blind") << "txtBB(1)" << int(Qt::Key_Enter) << true;
    QTest::newRow("Enter on OK") << "cmdOK" << int(Qt::Key_Return) << true;
    QTest::newRow("Enter on Cancel") << "cmdCancel" << int(Qt::Key_Return) << false;
    QTest::newRow("Escape in a field") << "txtSB(1)" << int(Qt::Key_Escape) << false;
    QTest::newRow("Escape on Cancel") << "cmdCancel" << int(Qt::Key_Escape) << false;
}

void TestFrmBlindAmounts::keys() {
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(bool, writes);

    setLevels(2);
    auto *form = openWindow<frmBlindAmounts>();
    QVERIFY(QTest::qWaitForWindowActive(form));
    edit(form, {QStringLiteral("txtSB(0)=10"), QStringLiteral("txtBB(0)=20")});
    auto *target = child<QWidget>(form, focus);
    target->setFocus();
    QCOMPARE(QApplication::focusWidget(), target);

    const QList<Box> boxes =
        answerBoxes([target, key] { QTest::keyClick(target, static_cast<Qt::Key>(key)); });
    QVERIFY(boxes.isEmpty());
    const bool escape = key == Qt::Key_Escape;
    QCOMPARE(shownWindows(),
             QStringList{escape ? QStringLiteral("frmBlindAmounts") : QStringLiteral("Opening")});
    QCOMPARE(QFile::exists(FileName), writes);
    if (writes)
        QCOMPARE(fileBytes(), QByteArray("2,20\r\n\"$10\",\"$20\"\r\n\"$ \",\"$ \"\r\n0,0\r\n"));
}

QTEST_MAIN(TestFrmBlindAmounts)
#include "tst_frmblindamounts.moc"
