#include "app/twips.h"
#include "app/module1.h"
#include "app/opening.h"
#include "formtestsupport.h"
#include "setup/frmblindamounts.h"
#include "setup/frmsetup.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

using namespace formtest;
using namespace orvandel;

namespace {

template <typename T> T *child(QWidget *form, const char *name) {
    return formtest::child<T>(form, QString::fromLatin1(name));
}

QLineEdit *field(QWidget *form, const char *name) {
    return child<QLineEdit>(form, name);
}

// Outer form height in twips as the form shows it.
int formHeightTwips(const QWidget *form) {
    return twips(form->height()) + FrameHeightTwips;
}

struct Entry {
    QString levels, duration, breakDuration, breakRound;
    bool withBreak = false;
};

// Types an entry into a shown form as the director would.
void type(QWidget *form, const Entry &entry) {
    if (entry.withBreak)
        QTest::mouseClick(child<QRadioButton>(form, "optBreakYes(0)"), Qt::LeftButton);
    QTest::keyClicks(field(form, "txtNumberOfLevels"), entry.levels);
    QTest::keyClicks(field(form, "txtDuration"), entry.duration);
    field(form, "txtBreakDuration")->setText(entry.breakDuration);
    field(form, "txtBreakRound")->setText(entry.breakRound);
}

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

class TestFrmSetUp : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void loadsEmptyWithoutBreak();
    void captionsShownWhole();
    void tabOrder();
    void layouts_data();
    void layouts();
    void noKeepsBreakFields();
    void breakLevelRange_data();
    void breakLevelRange();
    void stores_data();
    void stores();
    void refusesWhatCannotBeStored_data();
    void refusesWhatCannotBeStored();
    void cancelStoresNothing();
    void keys_data();
    void keys();

private:
    frmSetUp *openForm();

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_home;
};

void TestFrmSetUp::init() {
    Module1::reset();
    m_home = QDir::currentPath();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir::setCurrent(m_dir->path()));
}

void TestFrmSetUp::cleanup() {
    for (QWidget *w : QApplication::topLevelWidgets())
        delete w;
    QDir::setCurrent(m_home);
    m_dir.reset();
}

frmSetUp *TestFrmSetUp::openForm() {
    auto *form = new frmSetUp(nullptr);
    form->show();
    if (!QTest::qWaitForWindowExposed(form))
        qWarning("form not exposed");
    return form;
}

void TestFrmSetUp::loadsEmptyWithoutBreak() {
    Module1::HasBreak = true; // left over from an earlier setup
    frmSetUp *form = openForm();
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
    frmSetUp *form = openForm();
    for (bool withBreak : {false, true}) {
        const char *radio = withBreak ? "optBreakYes(0)" : "optBreakNo";
        QTest::mouseClick(child<QRadioButton>(form, radio), Qt::LeftButton);
        QList<QWidget *> shown;
        for (QWidget *control : form->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            if (control->isVisible())
                shown.append(control);
        QCOMPARE(shown.size(), withBreak ? 14 : 10);
        for (QWidget *control : shown) {
            const QString name = control->objectName();
            QVERIFY2(form->rect().contains(control->geometry()), qPrintable(name));
            if (auto *button = qobject_cast<QPushButton *>(control))
                QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) + 8 <=
                             button->width(),
                         qPrintable(name));
            else if (qobject_cast<QLabel *>(control) || qobject_cast<QRadioButton *>(control))
                QVERIFY2(control->width() >= control->sizeHint().width() &&
                             control->height() >= control->fontMetrics().height(),
                         qPrintable(name));
            for (QWidget *other : shown)
                QVERIFY2(other == control || !other->geometry().intersects(control->geometry()),
                         qPrintable(name + QStringLiteral(" covers ") + other->objectName()));
        }
    }
}

void TestFrmSetUp::tabOrder() {
    frmSetUp *form = openForm();
    QTest::mouseClick(child<QRadioButton>(form, "optBreakYes(0)"), Qt::LeftButton);
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
    QTest::mouseClick(child<QRadioButton>(form, "optBreakNo"), Qt::LeftButton);
    field(form, "txtDuration")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("optBreakNo"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("cmdOK"));
}

void TestFrmSetUp::layouts_data() {
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<bool>("withBreak");

    QTest::newRow("as loaded") << QStringList{} << false;
    QTest::newRow("yes") << QStringList{QStringLiteral("optBreakYes(0)")} << true;
    QTest::newRow("yes, no") << QStringList{QStringLiteral("optBreakYes(0)"),
                                            QStringLiteral("optBreakNo")}
                             << false;
    QTest::newRow("yes, no, yes") << QStringList{QStringLiteral("optBreakYes(0)"),
                                                 QStringLiteral("optBreakNo"),
                                                 QStringLiteral("optBreakYes(0)")}
                                  << true;
    QTest::newRow("no while no") << QStringList{QStringLiteral("optBreakNo")} << false;
}

void TestFrmSetUp::layouts() {
    QFETCH(QStringList, clicks);
    QFETCH(bool, withBreak);

    frmSetUp *form = openForm();
    // Centred for the designed client height of 3975 and its title bar,
    // then shrunk to the no-break layout keeping that top edge.
    const QRect area = form->screen()->geometry();
    const int centredTop = area.top() + (area.height() - px(3975) - px(FrameHeightTwips)) / 2;
    QCOMPARE(form->y(), centredTop);

    for (const QString &name : clicks)
        QTest::mouseClick(form->findChild<QRadioButton *>(name), Qt::LeftButton);

    QCOMPARE(formHeightTwips(form), withBreak ? 4305 : 3255);
    QCOMPARE(child<QPushButton>(form, "cmdOK")->y(), px(withBreak ? 3300 : 2310));
    QCOMPARE(child<QPushButton>(form, "cmdCancel")->y(), px(withBreak ? 3300 : 2310));
    for (const char *name : {"lblDuration", "txtBreakDuration", "lblRound", "txtBreakRound"})
        QVERIFY2(child<QWidget>(form, name)->isVisible() == withBreak, name);
    QCOMPARE(Module1::HasBreak, withBreak);
    QCOMPARE(form->y(), centredTop);
}

void TestFrmSetUp::noKeepsBreakFields() {
    frmSetUp *form = openForm();
    QTest::mouseClick(child<QRadioButton>(form, "optBreakYes(0)"), Qt::LeftButton);
    QTest::keyClicks(field(form, "txtBreakDuration"), QStringLiteral("15"));
    QTest::keyClicks(field(form, "txtBreakRound"), QStringLiteral("3"));
    QTest::mouseClick(child<QRadioButton>(form, "optBreakNo"), Qt::LeftButton);
    QTest::mouseClick(child<QRadioButton>(form, "optBreakYes(0)"), Qt::LeftButton);
    QCOMPARE(field(form, "txtBreakDuration")->text(), QStringLiteral("15"));
    QCOMPARE(field(form, "txtBreakRound")->text(), QStringLiteral("3"));
    QVERIFY(field(form, "txtBreakRound")->isVisible());
}

void TestFrmSetUp::breakLevelRange_data() {
    QTest::addColumn<QString>("levels");
    QTest::addColumn<QString>("breakRound");
    QTest::addColumn<QString>("refusal"); // empty when accepted
    QTest::addColumn<int>("storedBreak");

    const QString of10 = QStringLiteral("Value must be between 2 and 10");
    QTest::newRow("2 of 10") << "10"
                             << "2" << QString() << 2;
    QTest::newRow("10 of 10") << "10"
                              << "10" << QString() << 10;
    QTest::newRow("2.0 of 10") << "10"
                               << "2.0" << QString() << 2;
    QTest::newRow("1 of 10") << "10"
                             << "1" << of10 << 0;
    QTest::newRow("11 of 10") << "10"
                              << "11" << of10 << 0;
    QTest::newRow("1.9 of 10") << "10"
                               << "1.9" << of10 << 0;
    QTest::newRow("1.6 rounds to 2 but is refused") << "10"
                                                    << "1.6" << of10 << 0;
    QTest::newRow("10.4 of 10.4 levels") << "10.4"
                                         << "10.4" << QString() << 10;
    QTest::newRow("empty break level") << "10"
                                       << "" << of10 << 0;
    QTest::newRow("empty level count") << ""
                                       << "2"
                                       << "Value must be between 2 and " << 0;
    QTest::newRow("level count with leading blank") << " 4"
                                                    << "5"
                                                    << "Value must be between 2 and  4" << 0;
    QTest::newRow("level count typed with text") << "4 levels"
                                                 << "5"
                                                 << "Value must be between 2 and 4 levels" << 0;
    QTest::newRow("break level read from its leading number") << "4"
                                                              << "3rd" << QString() << 3;
}

void TestFrmSetUp::breakLevelRange() {
    QFETCH(QString, levels);
    QFETCH(QString, breakRound);
    QFETCH(QString, refusal);
    QFETCH(int, storedBreak);

    frmSetUp *form = openForm();
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
        const QList<QWidget *> shown = shownWindows();
        QVERIFY(guard.isNull());
        QCOMPARE(shown.size(), 1);
        QVERIFY(qobject_cast<frmBlindAmounts *>(shown.first()));
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

void TestFrmSetUp::stores_data() {
    QTest::addColumn<QString>("levels");
    QTest::addColumn<QString>("duration");
    QTest::addColumn<QString>("breakDuration");
    QTest::addColumn<QString>("breakRound");
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QList<int>>("stored"); // levels, duration, break length, break level
    QTest::addColumn<bool>("hasBreak");

    const QStringList none;
    const QStringList yes = {QStringLiteral("optBreakYes(0)")};
    const QStringList yesNo = {QStringLiteral("optBreakYes(0)"), QStringLiteral("optBreakNo")};

    QTest::newRow("every field empty") << ""
                                       << ""
                                       << ""
                                       << "" << none << QList<int>{0, 0, 0, 0} << false;
    QTest::newRow("tournament with a break") << "4"
                                             << "20"
                                             << "15"
                                             << "3" << yes << QList<int>{4, 20, 15, 3} << true;
    QTest::newRow("4.5 levels rounds down to even")
        << "4.5"
        << "20"
        << ""
        << "" << none << QList<int>{4, 20, 0, 0} << false;
    QTest::newRow("5.5 levels rounds up to even") << "5.5"
                                                  << "20"
                                                  << ""
                                                  << "" << none << QList<int>{6, 20, 0, 0} << false;
    QTest::newRow("10.5 levels rounds to 10") << "10.5"
                                              << "20"
                                              << ""
                                              << "" << none << QList<int>{10, 20, 0, 0} << false;
    QTest::newRow("-0.4 levels rounds to 0") << "-0.4"
                                             << "1"
                                             << ""
                                             << "" << none << QList<int>{0, 1, 0, 0} << false;
    QTest::newRow("numbers read from their leading digits")
        << "&H5"
        << "20 min"
        << ""
        << "" << none << QList<int>{5, 20, 0, 0} << false;
    QTest::newRow("break fields stored after no")
        << "4"
        << "20"
        << "15"
        << "3" << yesNo << QList<int>{4, 20, 15, 3} << false;
    QTest::newRow("break level not tested without a break")
        << "4"
        << "20"
        << "-5"
        << "12" << none << QList<int>{4, 20, -5, 12} << false;
    QTest::newRow("longest lengths") << "2"
                                     << "32767"
                                     << "32767"
                                     << "" << none << QList<int>{2, 32767, 32767, 0} << false;
    QTest::newRow("most negative lengths")
        << "2"
        << "-32768"
        << "-32768"
        << "" << none << QList<int>{2, -32768, -32768, 0} << false;
}

void TestFrmSetUp::stores() {
    QFETCH(QString, levels);
    QFETCH(QString, duration);
    QFETCH(QString, breakDuration);
    QFETCH(QString, breakRound);
    QFETCH(QStringList, clicks);
    QFETCH(QList<int>, stored);
    QFETCH(bool, hasBreak);

    frmSetUp *form = openForm();
    const QPointer<QWidget> guard(form);
    type(form, {levels, duration, breakDuration, breakRound, false});
    for (const QString &name : clicks)
        QTest::mouseClick(form->findChild<QRadioButton *>(name), Qt::LeftButton);
    markSettings();

    const QList<Box> boxes = clickThroughBoxes(child<QPushButton>(form, "cmdOK"));
    QVERIFY(boxes.isEmpty());
    QCOMPARE((QList<int>{Module1::NumberOfLevels, Module1::RoundDuration, Module1::BreakDuration,
                         Module1::BreakRound}),
             stored);
    QCOMPARE(Module1::HasBreak, hasBreak);

    // The blind amounts form is loaded after the values are stored and is
    // the only window left.
    const QList<QWidget *> shown = shownWindows();
    QVERIFY(guard.isNull());
    QCOMPARE(shown.size(), 1);
    auto *amounts = qobject_cast<frmBlindAmounts *>(shown.first());
    QVERIFY(amounts);
    int rowsShown = 0;
    for (int i = 0; i < frmBlindAmounts::Rows; ++i)
        rowsShown +=
            amounts->findChild<QLineEdit *>(QStringLiteral("txtSB(%1)").arg(i))->isVisible();
    QCOMPARE(rowsShown, stored[0]);
}

void TestFrmSetUp::refusesWhatCannotBeStored_data() {
    QTest::addColumn<bool>("withBreak");
    QTest::addColumn<QString>("levels");
    QTest::addColumn<QString>("duration");
    QTest::addColumn<QString>("breakDuration");
    QTest::addColumn<QString>("breakRound");
    QTest::addColumn<QString>("refusedField");
    QTest::addColumn<QString>("message");

    const QString levelRange = QStringLiteral("Value must be between 0 and 10");
    const QString durationRange =
        QStringLiteral("Duration of Rounds must be between -32768 and 32767");
    const QString breakRange =
        QStringLiteral("Duration of the break must be between -32768 and 32767");
    const QString levelsField = QStringLiteral("txtNumberOfLevels");
    const QString durationField = QStringLiteral("txtDuration");

    QTest::newRow("11 levels") << false << "11"
                               << "20"
                               << ""
                               << "" << levelsField << levelRange;
    QTest::newRow("10.6 levels round to 11") << false << "10.6"
                                             << "20"
                                             << ""
                                             << "" << levelsField << levelRange;
    QTest::newRow("-1 levels") << false << "-1"
                               << "20"
                               << ""
                               << "" << levelsField << levelRange;
    QTest::newRow("more levels than 16 bits") << false << "40000"
                                              << "20"
                                              << ""
                                              << "" << levelsField << levelRange;
    QTest::newRow("levels too large for a double") << false << "1e999"
                                                   << "20"
                                                   << ""
                                                   << "" << levelsField << levelRange;
    QTest::newRow("12 levels with a break at 11") << true << "12"
                                                  << "20"
                                                  << "15"
                                                  << "11" << levelsField << levelRange;
    QTest::newRow("break level tested before the level count")
        << true << "12"
        << "20"
        << "15"
        << "13" << QStringLiteral("txtBreakRound")
        << QStringLiteral("Value must be between 2 and 12");
    QTest::newRow("level length 32768") << false << "4"
                                        << "32768"
                                        << ""
                                        << "" << durationField << durationRange;
    QTest::newRow("level length 32767.5 rounds to 32768") << false << "4"
                                                          << "32767.5"
                                                          << ""
                                                          << "" << durationField << durationRange;
    QTest::newRow("level length -32769") << false << "4"
                                         << "-32769"
                                         << ""
                                         << "" << durationField << durationRange;
    QTest::newRow("level length too large for a double") << false << "4"
                                                         << "9e999"
                                                         << ""
                                                         << "" << durationField << durationRange;
    QTest::newRow("break length 40000") << true << "4"
                                        << "20"
                                        << "40000"
                                        << "3" << QStringLiteral("txtBreakDuration") << breakRange;
    QTest::newRow("break length -32769") << true << "4"
                                         << "20"
                                         << "-32769"
                                         << "3" << QStringLiteral("txtBreakDuration") << breakRange;
    QTest::newRow("break level past 16 bits without a break")
        << false << "4"
        << "20"
        << ""
        << "40000" << QStringLiteral("txtBreakRound")
        << QStringLiteral("The break round must be between -32768 and 32767");
}

void TestFrmSetUp::refusesWhatCannotBeStored() {
    QFETCH(bool, withBreak);
    QFETCH(QString, levels);
    QFETCH(QString, duration);
    QFETCH(QString, breakDuration);
    QFETCH(QString, breakRound);
    QFETCH(QString, refusedField);
    QFETCH(QString, message);

    frmSetUp *form = openForm();
    type(form, {levels, duration, breakDuration, breakRound, withBreak});
    markSettings();
    child<QPushButton>(form, "cmdCancel")->setFocus();

    const QList<Box> boxes = clickThroughBoxes(child<QPushButton>(form, "cmdOK"));
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].text, message);
    QCOMPARE(boxes[0].title, QStringLiteral("Input Error"));
    QCOMPARE(boxes[0].icon, QMessageBox::Warning);
    QVERIFY(settingsMarked());
    QCOMPARE(shownWindows(), QList<QWidget *>{form});

    const QStringList names = {QStringLiteral("txtNumberOfLevels"), QStringLiteral("txtDuration"),
                               QStringLiteral("txtBreakDuration"), QStringLiteral("txtBreakRound")};
    const QStringList typed = {levels, duration, breakDuration, breakRound};
    for (qsizetype i = 0; i < names.size(); ++i) {
        auto *box = form->findChild<QLineEdit *>(names[i]);
        QCOMPARE(box->text(), names[i] == refusedField ? QString() : typed[i]);
    }
    if (form->findChild<QLineEdit *>(refusedField)->isVisible())
        QCOMPARE(form->focusWidget()->objectName(), refusedField);
}

void TestFrmSetUp::cancelStoresNothing() {
    QFile old(QStringLiteral("blinds.dat"));
    QVERIFY(old.open(QIODevice::WriteOnly));
    const QByteArray before = "2,10\r\n\"$1\",\"$2\"\r\n\"$2\",\"$4\"\r\n0,0\r\n";
    old.write(before);
    old.close();

    frmSetUp *form = openForm();
    const QPointer<QWidget> guard(form);
    type(form, {QStringLiteral("4"), QStringLiteral("20"), QStringLiteral("15"),
                QStringLiteral("3"), true});
    markSettings();

    const QList<Box> boxes = clickThroughBoxes(child<QPushButton>(form, "cmdCancel"));
    QVERIFY(boxes.isEmpty());
    QVERIFY(settingsMarked());
    // The break choice was already made with "Yes".
    QCOMPARE(Module1::HasBreak, true);
    const QList<QWidget *> shown = shownWindows();
    QVERIFY(guard.isNull());
    QCOMPARE(shown.size(), 1);
    QVERIFY(qobject_cast<Opening *>(shown.first()));
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), before);

    // A fresh load starts over, without a break.
    frmSetUp *again = openForm();
    QCOMPARE(Module1::HasBreak, false);
    QVERIFY(field(again, "txtNumberOfLevels")->text().isEmpty());
}

void TestFrmSetUp::keys_data() {
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("opens"); // the window shown afterwards

    QTest::newRow("Enter in the level count")
        << "txtNumberOfLevels" << int(Qt::Key_Return) << "frmBlindAmounts";
    QTest::newRow("keypad Enter in the break length")
        << "txtBreakDuration" << int(Qt::Key_Enter) << "frmBlindAmounts";
    QTest::newRow("Enter on an option button")
        << "optBreakYes(0)" << int(Qt::Key_Return) << "frmBlindAmounts";
    QTest::newRow("Enter on OK") << "cmdOK" << int(Qt::Key_Return) << "frmBlindAmounts";
    QTest::newRow("Enter on Cancel") << "cmdCancel" << int(Qt::Key_Return) << "Opening";
    QTest::newRow("Escape in a field") << "txtDuration" << int(Qt::Key_Escape) << "frmSetUp";
    QTest::newRow("Escape on Cancel") << "cmdCancel" << int(Qt::Key_Escape) << "frmSetUp";
}

void TestFrmSetUp::keys() {
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(QString, opens);

    frmSetUp *form = openForm();
    QVERIFY(QTest::qWaitForWindowActive(form));
    type(form, {QStringLiteral("4"), QStringLiteral("20"), QStringLiteral("15"),
                QStringLiteral("3"), true});
    auto *target = form->findChild<QWidget *>(focus);
    target->setFocus();
    QCOMPARE(QApplication::focusWidget(), target);

    const QList<Box> boxes =
        answerBoxes([target, key] { QTest::keyClick(target, static_cast<Qt::Key>(key)); });
    QVERIFY(boxes.isEmpty());
    const QList<QWidget *> shown = shownWindows();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first()->objectName(), opens);
    if (opens == QStringLiteral("frmBlindAmounts"))
        QCOMPARE(int(Module1::NumberOfLevels), 4);
}

QTEST_MAIN(TestFrmSetUp)
#include "tst_frmsetup.moc"
