// The setup form's checks of what is typed, what it stores, and its Cancel.
#include "frmsetuptest.h"

#include "core/module1.h"
#include "setup/frmblindamounts.h"
#include "setup/frmsetup.h"

#include <QPointer>
#include <QPushButton>

using namespace testsupport;

namespace {

// Values no form would store, to see that a refused entry stores nothing.
void markSettings() {
    Module1::NumberOfLevels = 77;
    Module1::RoundDuration = 77;
    Module1::BreakDuration = 77;
    Module1::BreakRound = 77;
}

bool settingsMarked() {
    return Module1::NumberOfLevels == 77 && Module1::RoundDuration == 77 &&
           Module1::BreakDuration == 77 && Module1::BreakRound == 77;
}

} // namespace

class TestFrmSetUpInput : public QObject {
    Q_OBJECT

private slots:
    void init() { m_folder = std::make_unique<WorkFolder>(); }
    void cleanup() { m_folder.reset(); }

    void breakLevelRange_data();
    void breakLevelRange();
    void stores_data();
    void stores();
    void refusesWhatCannotBeStored_data();
    void refusesWhatCannotBeStored();
    void cancelStoresNothing();

private:
    std::unique_ptr<WorkFolder> m_folder;
};

void TestFrmSetUpInput::breakLevelRange_data() {
    QTest::addColumn<QString>("levels");
    QTest::addColumn<QString>("breakRound");
    QTest::addColumn<QString>("refusal"); // empty when accepted
    QTest::addColumn<int>("storedBreak");

    const QString of10 = QStringLiteral("Value must be between 2 and 10");
    // clang-format off
    QTest::newRow("2 of 10")                        << "10"   << "2"    << QString() << 2;
    QTest::newRow("10 of 10")                       << "10"   << "10"   << QString() << 10;
    QTest::newRow("2.0 of 10")                      << "10"   << "2.0"  << QString() << 2;
    QTest::newRow("1 of 10")                        << "10"   << "1"    << of10 << 0;
    QTest::newRow("11 of 10")                       << "10"   << "11"   << of10 << 0;
    QTest::newRow("1.9 of 10")                      << "10"   << "1.9"  << of10 << 0;
    QTest::newRow("1.6 rounds to 2 but is refused") << "10"   << "1.6"  << of10 << 0;
    QTest::newRow("10.4 of 10.4 levels")            << "10.4" << "10.4" << QString() << 10;
    QTest::newRow("empty break level")              << "10"   << ""     << of10 << 0;
    QTest::newRow("level count with leading blank") << " 4"   << "5"
                                                    << "Value must be between 2 and  4" << 0;
    QTest::newRow("level count typed with text")    << "4 levels" << "5"
                                                    << "Value must be between 2 and 4 levels" << 0;
    QTest::newRow("break level read from its leading number") << "4" << "3rd" << QString() << 3;
    QTest::newRow("2 of 2")                         << "2"    << "2"    << QString() << 2;
    QTest::newRow("3 of 2")                         << "2"    << "3"
                                                    << "Value must be between 2 and 2" << 0;
    // clang-format on
}

void TestFrmSetUpInput::breakLevelRange() {
    QFETCH(QString, levels);
    QFETCH(QString, breakRound);
    QFETCH(QString, refusal);
    QFETCH(int, storedBreak);

    auto *form = openWindow<frmSetUp>();
    const QPointer<QWidget> guard(form);
    type(form, {levels, QStringLiteral("20"), QStringLiteral("15"), breakRound, true});
    markSettings();
    field(form, "txtNumberOfLevels")->setFocus();

    const QList<Box> boxes = clickThroughBoxes(child<QPushButton>(form, "cmdOK"));

    if (refusal.isEmpty()) {
        QVERIFY(boxes.isEmpty());
        QCOMPARE(int(Module1::BreakRound), storedBreak);
        QCOMPARE(Module1::BreakDuration, 15);
        QCOMPARE(Module1::HasBreak, true);
        QVERIFY(onlyWindow<frmBlindAmounts>());
        QVERIFY(guard.isNull());
        return;
    }
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].text, refusal);
    QCOMPARE(boxes[0].title, QStringLiteral("Input Error"));
    QCOMPARE(boxes[0].icon, QMessageBox::Warning);
    QVERIFY(settingsMarked());
    QVERIFY(!guard.isNull() && form->isVisible());
    QCOMPARE(shownWindows().size(), 1);
    QVERIFY(field(form, "txtBreakRound")->text().isEmpty());
    QCOMPARE(form->focusWidget(), field(form, "txtBreakRound"));
    QCOMPARE(field(form, "txtNumberOfLevels")->text(), levels);
    QCOMPARE(field(form, "txtDuration")->text(), QStringLiteral("20"));
    QCOMPARE(field(form, "txtBreakDuration")->text(), QStringLiteral("15"));
}

void TestFrmSetUpInput::stores_data() {
    QTest::addColumn<QString>("levels");
    QTest::addColumn<QString>("duration");
    QTest::addColumn<QString>("breakDuration");
    QTest::addColumn<QString>("breakRound");
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QList<int>>("stored"); // levels, duration, break length, break level
    QTest::addColumn<bool>("hasBreak");

    const QStringList none;
    const QStringList yes = {Yes};
    const QStringList yesNo = {Yes, No};
    using L = QList<int>;

    // clang-format off
    QTest::newRow("tournament with a break")    << "4"    << "20"  << "15" << "3" << yes
                                                << L{4, 20, 15, 3} << true;
    QTest::newRow("4.5 levels rounds down to even") << "4.5" << "20" << "" << "" << none
                                                << L{4, 20, 0, 0} << false;
    QTest::newRow("5.5 levels rounds up to even") << "5.5" << "20" << "" << "" << none
                                                << L{6, 20, 0, 0} << false;
    QTest::newRow("10.5 levels rounds to 10")   << "10.5" << "20"  << ""   << ""  << none
                                                << L{10, 20, 0, 0} << false;
    QTest::newRow("numbers read from their leading digits") << "&H5" << "20 min" << "" << ""
                                                << none << L{5, 20, 0, 0} << false;
    // "No" means no break: what the hidden fields hold is dropped.
    QTest::newRow("break fields dropped after no") << "4" << "20" << "15" << "3" << yesNo
                                                << L{4, 20, 0, 0} << false;
    QTest::newRow("break fields not tested without a break") << "4" << "20" << "-5" << "12"
                                                << none << L{4, 20, 0, 0} << false;
    QTest::newRow("longest lengths")            << "2"    << "32767" << "32767" << "2" << yes
                                                << L{2, 32767, 32767, 2} << true;
    QTest::newRow("break level past 16 bits without a break") << "4" << "20" << "" << "40000"
                                                << none << L{4, 20, 0, 0} << false;
    QTest::newRow("negative break length after no") << "4" << "20" << "-10" << "3" << yesNo
                                                << L{4, 20, 0, 0} << false;
    QTest::newRow("one level")                  << "1"    << "1"   << ""   << ""  << none
                                                << L{1, 1, 0, 0} << false;
    QTest::newRow("0.6 levels round to 1")      << "0.6"  << "0.6" << ""   << ""  << none
                                                << L{1, 1, 0, 0} << false;
    QTest::newRow("shortest break")             << "3"    << "1"   << "1"  << "2" << yes
                                                << L{3, 1, 1, 2} << true;
    QTest::newRow("1.5 minutes round to 2")     << "3"    << "1.5" << "1.5" << "3" << yes
                                                << L{3, 2, 2, 3} << true;
    // clang-format on
}

void TestFrmSetUpInput::stores() {
    QFETCH(QString, levels);
    QFETCH(QString, duration);
    QFETCH(QString, breakDuration);
    QFETCH(QString, breakRound);
    QFETCH(QStringList, clicks);
    QFETCH(QList<int>, stored);
    QFETCH(bool, hasBreak);

    auto *form = openWindow<frmSetUp>();
    const QPointer<QWidget> guard(form);
    type(form, {levels, duration, breakDuration, breakRound, false});
    click(form, clicks);
    markSettings();

    const QList<Box> boxes = clickThroughBoxes(child<QPushButton>(form, "cmdOK"));
    QVERIFY(boxes.isEmpty());
    QCOMPARE((QList<int>{Module1::NumberOfLevels, Module1::RoundDuration, Module1::BreakDuration,
                         Module1::BreakRound}),
             stored);
    QCOMPARE(Module1::HasBreak, hasBreak);

    // The blind amounts form is loaded after the values are stored and is
    // the only window left.
    auto *amounts = onlyWindow<frmBlindAmounts>();
    QVERIFY(amounts);
    QVERIFY(guard.isNull());
    int rowsShown = 0;
    for (int i = 0; i < frmBlindAmounts::Rows; ++i)
        rowsShown += field(amounts, QStringLiteral("txtSB(%1)").arg(i))->isVisible();
    QCOMPARE(rowsShown, stored[0]);

    // The file it writes ends with the break as stored.
    QVERIFY(clickThroughBoxes(child<QPushButton>(amounts, "cmdOK")).isEmpty());
    const QByteArray last = QByteArray::number(stored[3]) + ',' + QByteArray::number(stored[2]);
    QVERIFY2(readFile().endsWith("\r\n" + last + "\r\n"), readFile().constData());
}

void TestFrmSetUpInput::refusesWhatCannotBeStored_data() {
    QTest::addColumn<bool>("withBreak");
    QTest::addColumn<QString>("levels");
    QTest::addColumn<QString>("duration");
    QTest::addColumn<QString>("breakDuration");
    QTest::addColumn<QString>("breakRound");
    QTest::addColumn<QString>("refusedField");
    QTest::addColumn<QString>("message");

    const QString lv = QStringLiteral("Value must be between 1 and 10");
    const QString dr = QStringLiteral("Duration of Rounds must be between 1 and 32767");
    const QString br = QStringLiteral("Duration of the break must be between 1 and 32767");
    const QString L = QStringLiteral("txtNumberOfLevels");
    const QString D = QStringLiteral("txtDuration");
    const QString B = QStringLiteral("txtBreakDuration");

    // clang-format off
    QTest::newRow("11 levels")                     << false << "11"    << "20" << "" << "" << L << lv;
    QTest::newRow("10.6 levels round to 11")       << false << "10.6"  << "20" << "" << "" << L << lv;
    QTest::newRow("-1 levels")                     << false << "-1"    << "20" << "" << "" << L << lv;
    QTest::newRow("more levels than 16 bits")      << false << "40000" << "20" << "" << "" << L << lv;
    QTest::newRow("levels too large for a double") << false << "1e999" << "20" << "" << "" << L << lv;
    QTest::newRow("12 levels with a break at 11")  << true  << "12"    << "20" << "15" << "11" << L << lv;
    QTest::newRow("level count tested before the break level")
                                                   << true  << "12"    << "20" << "15" << "13" << L << lv;
    QTest::newRow("11 levels, break 12")           << true  << "11"    << "20" << "15" << "12" << L << lv;
    QTest::newRow("every field empty")             << false << ""      << ""   << "" << "" << L << lv;
    QTest::newRow("empty level count with a break") << true << ""      << "20" << "15" << "2" << L << lv;
    QTest::newRow("no levels")                     << false << "0"     << "20" << "" << "" << L << lv;
    QTest::newRow("level count not a number")      << false << "abc"   << "20" << "" << "" << L << lv;
    QTest::newRow("-0.4 levels round to 0")        << false << "-0.4"  << "1"  << "" << "" << L << lv;
    QTest::newRow("0.5 levels round to even 0")    << false << "0.5"   << "20" << "" << "" << L << lv;
    QTest::newRow("level length 32768")            << false << "4"     << "32768"   << "" << "" << D << dr;
    QTest::newRow("level length 32767.5 rounds to 32768")
                                                   << false << "4"     << "32767.5" << "" << "" << D << dr;
    QTest::newRow("level length -32769")           << false << "4"     << "-32769"  << "" << "" << D << dr;
    QTest::newRow("level length too large for a double")
                                                   << false << "4"     << "9e999"   << "" << "" << D << dr;
    QTest::newRow("most negative level length")    << false << "2"     << "-32768"  << "" << "" << D << dr;
    QTest::newRow("level length -5")               << false << "4"     << "-5"  << "" << "" << D << dr;
    QTest::newRow("level length 0")                << false << "4"     << "0"   << "" << "" << D << dr;
    QTest::newRow("level length not a number")     << false << "4"     << "abc" << "" << "" << D << dr;
    QTest::newRow("level length empty")            << false << "4"     << ""    << "" << "" << D << dr;
    QTest::newRow("level length 0.5 rounds to 0")  << false << "4"     << "0.5" << "" << "" << D << dr;
    QTest::newRow("break length 40000")            << true  << "4"     << "20"  << "40000"  << "3" << B << br;
    QTest::newRow("break length -32769")           << true  << "4"     << "20"  << "-32769" << "3" << B << br;
    QTest::newRow("break length -10")              << true  << "4"     << "20"  << "-10"    << "3" << B << br;
    QTest::newRow("break length 0")                << true  << "4"     << "20"  << "0"      << "3" << B << br;
    QTest::newRow("break length empty")            << true  << "4"     << "20"  << ""       << "3" << B << br;
    QTest::newRow("level length tested before the break length")
                                                   << true  << "4"     << "0"   << "0"      << "3" << D << dr;
    // clang-format on
}

void TestFrmSetUpInput::refusesWhatCannotBeStored() {
    QFETCH(bool, withBreak);
    QFETCH(QString, levels);
    QFETCH(QString, duration);
    QFETCH(QString, breakDuration);
    QFETCH(QString, breakRound);
    QFETCH(QString, refusedField);
    QFETCH(QString, message);

    auto *form = openWindow<frmSetUp>();
    type(form, {levels, duration, breakDuration, breakRound, withBreak});
    markSettings();
    child<QPushButton>(form, "cmdCancel")->setFocus();

    const QList<Box> boxes = clickThroughBoxes(child<QPushButton>(form, "cmdOK"));
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].text, message);
    QCOMPARE(boxes[0].title, QStringLiteral("Input Error"));
    QCOMPARE(boxes[0].icon, QMessageBox::Warning);
    QVERIFY(settingsMarked());
    QCOMPARE(onlyWindow<frmSetUp>(), form);

    const QStringList names = {QStringLiteral("txtNumberOfLevels"), QStringLiteral("txtDuration"),
                               QStringLiteral("txtBreakDuration"), QStringLiteral("txtBreakRound")};
    const QStringList typed = {levels, duration, breakDuration, breakRound};
    for (qsizetype i = 0; i < names.size(); ++i)
        QCOMPARE(field(form, names[i])->text(), names[i] == refusedField ? QString() : typed[i]);
    if (field(form, refusedField)->isVisible())
        QCOMPARE(form->focusWidget()->objectName(), refusedField);
}

void TestFrmSetUpInput::cancelStoresNothing() {
    const QByteArray before = tournamentFile(2, 10);
    QVERIFY(writeFile(before));

    auto *form = openWindow<frmSetUp>();
    const QPointer<QWidget> guard(form);
    type(form, {QStringLiteral("4"), QStringLiteral("20"), QStringLiteral("15"),
                QStringLiteral("3"), true});
    markSettings();

    const QList<Box> boxes = clickThroughBoxes(child<QPushButton>(form, "cmdCancel"));
    QVERIFY(boxes.isEmpty());
    QVERIFY(settingsMarked());
    // The break choice was already made with "Yes".
    QCOMPARE(Module1::HasBreak, true);
    QCOMPARE(shownWindows(), QStringList{QStringLiteral("Opening")});
    QVERIFY(guard.isNull());
    QCOMPARE(readFile(), before);

    // A fresh load starts over, without a break.
    auto *again = openWindow<frmSetUp>();
    QCOMPARE(Module1::HasBreak, false);
    QVERIFY(field(again, "txtNumberOfLevels")->text().isEmpty());
}

QTEST_MAIN(TestFrmSetUpInput)
#include "tst_frmsetupinput.moc"
