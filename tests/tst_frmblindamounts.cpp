#include "app/twips.h"
#include "app/module1.h"
#include "app/opening.h"
#include "formtestsupport.h"
#include "setup/frmblindamounts.h"
#include "setup/frmsetup.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <memory>
#include <unistd.h>

using namespace formtest;
using namespace orvandel;

namespace {

constexpr int Rows = frmBlindAmounts::Rows;
const QString FileName = QStringLiteral("blinds.dat");

QLineEdit *small(QWidget *form, int row) {
    return field(form, QStringLiteral("txtSB(%1)").arg(row));
}
QLineEdit *big(QWidget *form, int row) {
    return field(form, QStringLiteral("txtBB(%1)").arg(row));
}
QLabel *caption(QWidget *form, int row) {
    return child<QLabel>(form, QStringLiteral("lblRound(%1)").arg(row));
}
QPushButton *button(QWidget *form, const char *name) {
    return child<QPushButton>(form, QString::fromLatin1(name));
}

QByteArray fileBytes() {
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly))
        return "(no file)";
    return file.readAll();
}

void writeFile(const QByteArray &bytes) {
    QFile file(FileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot prepare blinds.dat");
}

const QByteArray OldFile = "2,10\r\n\"$1\",\"$2\"\r\n\"$2\",\"$4\"\r\n0,0\r\n";

// Edits of the fields: "txtSB(0)=10" replaces the text, "txtSB(0)+10" types
// after what the field holds.
void edit(QWidget *form, const QStringList &edits) {
    for (const QString &entry : edits) {
        const qsizetype at = entry.indexOf(QRegularExpression(QStringLiteral("[=+]")));
        QLineEdit *box = field(form, entry.left(at));
        const QString text = entry.mid(at + 1);
        if (entry[at] == QLatin1Char('=')) {
            box->selectAll();
            box->del();
        } else {
            box->end(false);
        }
        // QTest types one UTF-16 unit per key; paste what a keyboard cannot.
        const bool typable = std::all_of(text.begin(), text.end(), [](QChar c) {
            return c.unicode() >= 0x20 && c.unicode() < 0x7F;
        });
        if (typable)
            QTest::keyClicks(box, text);
        else
            box->insert(text);
    }
}

void setLevels(int levels, bool hasBreak = false, int breakRound = 0, int breakMinutes = 0,
               int levelMinutes = 20) {
    Module1::NumberOfLevels = static_cast<qint16>(levels);
    Module1::HasBreak = hasBreak;
    Module1::BreakRound = static_cast<qint16>(breakRound);
    Module1::BreakDuration = breakMinutes;
    Module1::RoundDuration = static_cast<qint16>(levelMinutes);
}

template <typename T> T *onlyWindow() {
    const QList<QWidget *> shown = shownWindows();
    return shown.size() == 1 ? qobject_cast<T *>(shown.first()) : nullptr;
}

} // namespace

class TestFrmBlindAmounts : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void layoutByLevelCount_data();
    void layoutByLevelCount();
    void breakRow_data();
    void breakRow();
    void captionsShownWhole();
    void tabOrder_data();
    void tabOrder();
    void writesLevelLines_data();
    void writesLevelLines();
    void refusesUnwritableText_data();
    void refusesUnwritableText();
    void writeFailureKeepsForm_data();
    void writeFailureKeepsForm();
    void refusesLevelCountWithoutRows_data();
    void refusesLevelCountWithoutRows();
    void cancelKeepsOldFile();
    void keys_data();
    void keys();
    void roadOfOneTournament();

private:
    frmBlindAmounts *openForm();

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_home;
};

void TestFrmBlindAmounts::init() {
    Module1::reset();
    m_home = QDir::currentPath();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir::setCurrent(m_dir->path()));
}

void TestFrmBlindAmounts::cleanup() {
    for (QWidget *w : QApplication::topLevelWidgets())
        delete w;
    QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QDir::setCurrent(m_home);
    m_dir.reset();
}

frmBlindAmounts *TestFrmBlindAmounts::openForm() {
    auto *form = new frmBlindAmounts(nullptr);
    form->show();
    if (!QTest::qWaitForWindowExposed(form))
        qWarning("form not exposed");
    return form;
}

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
    frmBlindAmounts *form = openForm();
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
    frmBlindAmounts *form = openForm();
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
    frmBlindAmounts *form = openForm();
    QList<QWidget *> shown;
    for (QWidget *control : form->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (control->isVisible())
            shown.append(control);
    QCOMPARE(shown.size(), 5 + 3 * Rows + 2);
    for (QWidget *control : shown) {
        const QString name = control->objectName();
        QVERIFY2(form->rect().contains(control->geometry()), qPrintable(name));
        if (auto *push = qobject_cast<QPushButton *>(control))
            QVERIFY2(push->fontMetrics().horizontalAdvance(push->text()) + 8 <= push->width(),
                     qPrintable(name));
        else if (qobject_cast<QLabel *>(control))
            QVERIFY2(control->width() >= control->sizeHint().width() &&
                         control->height() >= control->fontMetrics().height(),
                     qPrintable(name));
        for (QWidget *other : shown)
            QVERIFY2(other == control || !other->geometry().intersects(control->geometry()),
                     qPrintable(name + QStringLiteral(" covers ") + other->objectName()));
    }
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
    frmBlindAmounts *form = openForm();
    QVERIFY(QTest::qWaitForWindowActive(form));
    QCOMPARE(QApplication::focusWidget(), small(form, 0));
    QStringList visited = {QApplication::focusWidget()->objectName()};
    for (qsizetype i = 1; i <= stops.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.append(QApplication::focusWidget()->objectName());
    }
    QCOMPARE(visited, stops + QStringList{stops.first()});
}

void TestFrmBlindAmounts::writesLevelLines_data() {
    QTest::addColumn<int>("levels");
    QTest::addColumn<int>("levelMinutes");
    QTest::addColumn<bool>("hasBreak");
    QTest::addColumn<int>("breakRound");
    QTest::addColumn<int>("breakMinutes");
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QByteArray>("file");

    QTest::newRow("four levels with a break")
        << 4 << 20 << true << 3 << 15
        << QStringList{QStringLiteral("txtSB(0)=10"), QStringLiteral("txtBB(0)=20"),
                       QStringLiteral("txtSB(1)=20"), QStringLiteral("txtBB(1)=40"),
                       QStringLiteral("txtSB(3)=50"), QStringLiteral("txtBB(3)=100")}
        << QByteArray("4,20\r\n\"$10\",\"$20\"\r\n\"$20\",\"$40\"\r\n\"Break\",\"Time!\"\r\n"
                      "\"$50\",\"$100\"\r\n3,15\r\n");
    QTest::newRow("fields left with their blank")
        << 2 << 20 << false << 0 << 0 << QStringList{}
        << QByteArray("2,20\r\n\"$ \",\"$ \"\r\n\"$ \",\"$ \"\r\n0,0\r\n");
    QTest::newRow("amounts typed after the blank")
        << 1 << 5 << false << 0 << 0
        << QStringList{QStringLiteral("txtSB(0)+10"), QStringLiteral("txtBB(0)+20")}
        << QByteArray("1,5\r\n\"$ 10\",\"$ 20\"\r\n0,0\r\n");
    QTest::newRow("emptied big blind is a break")
        << 3 << 20 << false << 0 << 0
        << QStringList{QStringLiteral("txtSB(0)=1"), QStringLiteral("txtBB(0)=2"),
                       QStringLiteral("txtSB(1)=3"), QStringLiteral("txtBB(1)="),
                       QStringLiteral("txtSB(2)=5"), QStringLiteral("txtBB(2)=10")}
        << QByteArray("3,20\r\n\"$1\",\"$2\"\r\n\"Break\",\"Time!\"\r\n\"$5\",\"$10\"\r\n0,0\r\n");
    QTest::newRow("a quote in the small blind of a break row is never written")
        << 2 << 20 << false << 0 << 0
        << QStringList{QStringLiteral("txtSB(0)=\"5\""), QStringLiteral("txtBB(0)=")}
        << QByteArray("2,20\r\n\"Break\",\"Time!\"\r\n\"$ \",\"$ \"\r\n0,0\r\n");
    QTest::newRow("emptied small blind")
        << 1 << 20 << false << 0 << 0
        << QStringList{QStringLiteral("txtSB(0)="), QStringLiteral("txtBB(0)=20")}
        << QByteArray("1,20\r\n\"$\",\"$20\"\r\n0,0\r\n");
    QTest::newRow("amounts with commas and a typed dollar")
        << 1 << 20 << false << 0 << 0
        << QStringList{QStringLiteral("txtSB(0)=1,000"), QStringLiteral("txtBB(0)=$2,000")}
        << QByteArray("1,20\r\n\"$1,000\",\"$$2,000\"\r\n0,0\r\n");
    QTest::newRow("text kept untrimmed")
        << 1 << 20 << false << 0 << 0
        << QStringList{QStringLiteral("txtSB(0)= 5 k "), QStringLiteral("txtBB(0)=10 or so")}
        << QByteArray("1,20\r\n\"$ 5 k \",\"$10 or so\"\r\n0,0\r\n");
    QTest::newRow("Windows-1252 characters")
        << 1 << 20 << false << 0 << 0
        << QStringList{QStringLiteral("txtSB(0)=\u20AC5"), QStringLiteral("txtBB(0)=10\u00BD")}
        << QByteArray("1,20\r\n\"$\x80"
                      "5\",\"$10\xBD\"\r\n0,0\r\n");
    QTest::newRow("no levels") << 0 << 0 << false << 0 << 0 << QStringList{}
                               << QByteArray("0,0\r\n0,0\r\n");
    QTest::newRow("break values written without a break chosen")
        << 2 << 30 << false << 2 << 15
        << QStringList{QStringLiteral("txtSB(1)=5"), QStringLiteral("txtBB(1)=10")}
        << QByteArray("2,30\r\n\"$ \",\"$ \"\r\n\"$5\",\"$10\"\r\n2,15\r\n");
    QTest::newRow("negative lengths") << 1 << -5 << false << -1 << -32768 << QStringList{}
                                      << QByteArray("1,-5\r\n\"$ \",\"$ \"\r\n-1,-32768\r\n");

    QStringList tenEdits;
    QByteArray ten = "10,15\r\n";
    for (int row = 0; row < Rows; ++row) {
        tenEdits << QStringLiteral("txtSB(%1)=%2").arg(row).arg(row + 1)
                 << QStringLiteral("txtBB(%1)=%2").arg(row).arg(2 * (row + 1));
        ten += row == 9 ? QByteArray("\"Break\",\"Time!\"\r\n")
                        : "\"$" + QByteArray::number(row + 1) + "\",\"$" +
                              QByteArray::number(2 * (row + 1)) + "\"\r\n";
    }
    ten += "10,5\r\n";
    QTest::newRow("ten levels, break at the last")
        << 10 << 15 << true << 10 << 5 << tenEdits << ten;
}

void TestFrmBlindAmounts::writesLevelLines() {
    QFETCH(int, levels);
    QFETCH(int, levelMinutes);
    QFETCH(bool, hasBreak);
    QFETCH(int, breakRound);
    QFETCH(int, breakMinutes);
    QFETCH(QStringList, edits);
    QFETCH(QByteArray, file);

    writeFile(OldFile);
    setLevels(levels, hasBreak, breakRound, breakMinutes, levelMinutes);
    frmBlindAmounts *form = openForm();
    const QPointer<QWidget> guard(form);
    edit(form, edits);

    const QList<Box> boxes = clickThroughBoxes(button(form, "cmdOK"));
    QVERIFY(boxes.isEmpty());
    QCOMPARE(fileBytes(), file);
    QVERIFY(onlyWindow<Opening>());
    QVERIFY(guard.isNull());
}

void TestFrmBlindAmounts::refusesUnwritableText_data() {
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("message");

    QTest::newRow("double quote in a small blind")
        << "txtSB(2)=5\""
        << "The blinds of Level 3 cannot hold the character \"";
    QTest::newRow("double quote in a big blind")
        << "txtBB(0)=\"10\""
        << "The blinds of Level 1 cannot hold the character \"";
    QTest::newRow("arrow outside Windows-1252")
        << "txtBB(3)=10\u219220"
        << "The blinds of Level 4 cannot hold the character \u2192";
    QTest::newRow("character outside the basic plane")
        << "txtSB(1)=\U0001F0A1"
        << "The blinds of Level 2 cannot hold the character \U0001F0A1";
    QTest::newRow("line feed") << "txtSB(0)=1\n0"
                               << "The blinds of Level 1 cannot hold the character U+000A";
}

void TestFrmBlindAmounts::refusesUnwritableText() {
    QFETCH(QString, edit);
    QFETCH(QString, message);

    writeFile(OldFile);
    setLevels(4);
    frmBlindAmounts *form = openForm();
    const qsizetype at = edit.indexOf(QLatin1Char('='));
    QLineEdit *box = field(form, edit.left(at));
    box->setText(edit.mid(at + 1));
    const QString typed = box->text();
    QCOMPARE(typed, edit.mid(at + 1));
    button(form, "cmdCancel")->setFocus();

    const QList<Box> boxes = clickThroughBoxes(button(form, "cmdOK"));
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].title, QStringLiteral("Input Error"));
    QCOMPARE(boxes[0].icon, QMessageBox::Warning);
    QCOMPARE(boxes[0].text, message);
    QCOMPARE(fileBytes(), OldFile);
    QCOMPARE(onlyWindow<frmBlindAmounts>(), form);
    QCOMPARE(box->text(), typed);
    QCOMPARE(form->focusWidget(), box);
}

void TestFrmBlindAmounts::writeFailureKeepsForm_data() {
    QTest::addColumn<bool>("fileIsFolder");
    QTest::newRow("blinds.dat is a folder") << true;
    QTest::newRow("working folder read-only") << false;
}

void TestFrmBlindAmounts::writeFailureKeepsForm() {
    QFETCH(bool, fileIsFolder);

    if (fileIsFolder) {
        QVERIFY(QDir().mkdir(FileName));
    } else {
        if (geteuid() == 0)
            QSKIP("root may write into a read-only folder");
        writeFile(OldFile);
        QVERIFY(QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::ExeOwner));
    }
    setLevels(2);
    frmBlindAmounts *form = openForm();
    edit(form, {QStringLiteral("txtSB(0)=10"), QStringLiteral("txtBB(0)=20")});

    const QList<Box> boxes = clickThroughBoxes(button(form, "cmdOK"));
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].icon, QMessageBox::Warning);
    const QString start = QStringLiteral("The tournament file blinds.dat could not be written: ");
    QVERIFY2(boxes[0].text.startsWith(start) && boxes[0].text.size() > start.size(),
             qPrintable(boxes[0].text));
    QCOMPARE(onlyWindow<frmBlindAmounts>(), form);
    QCOMPARE(small(form, 0)->text(), QStringLiteral("10"));
    QCOMPARE(big(form, 0)->text(), QStringLiteral("20"));
    if (fileIsFolder)
        QVERIFY(QFileInfo(FileName).isDir());
    else
        QCOMPARE(fileBytes(), OldFile);
    QCOMPARE(QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{FileName}); // no temporary file left behind

    // Once the cause is gone, the same form writes the file.
    if (fileIsFolder)
        QVERIFY(QDir().rmdir(FileName));
    else
        QVERIFY(QFile::setPermissions(m_dir->path(),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QVERIFY(clickThroughBoxes(button(form, "cmdOK")).isEmpty());
    QCOMPARE(fileBytes(), QByteArray("2,20\r\n\"$10\",\"$20\"\r\n\"$ \",\"$ \"\r\n0,0\r\n"));
    QVERIFY(onlyWindow<Opening>());
}

void TestFrmBlindAmounts::refusesLevelCountWithoutRows_data() {
    QTest::addColumn<int>("levels");
    QTest::newRow("11 levels") << 11;
    QTest::newRow("-1 levels") << -1;
}

void TestFrmBlindAmounts::refusesLevelCountWithoutRows() {
    QFETCH(int, levels);

    writeFile(OldFile);
    setLevels(levels);
    frmBlindAmounts *form = openForm();
    const QList<Box> boxes = clickThroughBoxes(button(form, "cmdOK"));
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].title, QStringLiteral("Input Error"));
    QCOMPARE(boxes[0].icon, QMessageBox::Warning);
    QCOMPARE(boxes[0].text, QStringLiteral("Number of levels must be between 0 and 10"));
    QCOMPARE(fileBytes(), OldFile);
    QCOMPARE(onlyWindow<frmBlindAmounts>(), form);
}

void TestFrmBlindAmounts::cancelKeepsOldFile() {
    writeFile(OldFile);
    setLevels(4, true, 3, 15);
    frmBlindAmounts *form = openForm();
    const QPointer<QWidget> guard(form);
    edit(form, {QStringLiteral("txtSB(0)=10"), QStringLiteral("txtBB(0)=20")});

    QVERIFY(clickThroughBoxes(button(form, "cmdCancel")).isEmpty());
    QCOMPARE(fileBytes(), OldFile);
    QVERIFY(onlyWindow<Opening>());
    QVERIFY(guard.isNull());
    QCOMPARE(Module1::NumberOfLevels, qint16(4));
    QCOMPARE(Module1::BreakRound, qint16(3));
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
    frmBlindAmounts *form = openForm();
    QVERIFY(QTest::qWaitForWindowActive(form));
    edit(form, {QStringLiteral("txtSB(0)=10"), QStringLiteral("txtBB(0)=20")});
    auto *target = form->findChild<QWidget *>(focus);
    target->setFocus();
    QCOMPARE(QApplication::focusWidget(), target);

    const QList<Box> boxes =
        answerBoxes([target, key] { QTest::keyClick(target, static_cast<Qt::Key>(key)); });
    QVERIFY(boxes.isEmpty());
    const bool escape = key == Qt::Key_Escape;
    const QList<QWidget *> shown = shownWindows();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first()->objectName(),
             escape ? QStringLiteral("frmBlindAmounts") : QStringLiteral("Opening"));
    QCOMPARE(QFile::exists(FileName), writes);
    if (writes)
        QCOMPARE(fileBytes(), QByteArray("2,20\r\n\"$10\",\"$20\"\r\n\"$ \",\"$ \"\r\n0,0\r\n"));
}

// From the opening screen through both setup forms and back, then on to the
// clock, which runs the file just written.
void TestFrmBlindAmounts::roadOfOneTournament() {
    auto *opening = new Opening(nullptr);
    opening->show();
    QVERIFY(QTest::qWaitForWindowExposed(opening));
    QTest::mouseClick(child<QRadioButton>(opening, QStringLiteral("optBlinds(0)")), Qt::LeftButton);
    QTest::mouseClick(button(opening, "Command1"), Qt::LeftButton);

    auto *setUp = onlyWindow<frmSetUp>();
    QVERIFY(setUp);
    QTest::keyClicks(field(setUp, QStringLiteral("txtNumberOfLevels")), QStringLiteral("4"));
    QTest::keyClicks(field(setUp, QStringLiteral("txtDuration")), QStringLiteral("20"));
    QTest::mouseClick(child<QRadioButton>(setUp, QStringLiteral("optBreakYes(0)")), Qt::LeftButton);
    QTest::keyClicks(field(setUp, QStringLiteral("txtBreakDuration")), QStringLiteral("15"));
    QTest::keyClicks(field(setUp, QStringLiteral("txtBreakRound")), QStringLiteral("3"));
    QVERIFY(clickThroughBoxes(button(setUp, "cmdOK")).isEmpty());

    auto *amounts = onlyWindow<frmBlindAmounts>();
    QVERIFY(amounts);
    QCOMPARE(caption(amounts, 2)->text(), QStringLiteral("Break"));
    QVERIFY(!caption(amounts, 4)->isVisible());
    edit(amounts, {QStringLiteral("txtSB(0)=10"), QStringLiteral("txtBB(0)=20"),
                   QStringLiteral("txtSB(1)=20"), QStringLiteral("txtBB(1)=40"),
                   QStringLiteral("txtSB(3)=50"), QStringLiteral("txtBB(3)=100")});
    QVERIFY(clickThroughBoxes(button(amounts, "cmdOK")).isEmpty());
    QCOMPARE(fileBytes(), QByteArray("4,20\r\n\"$10\",\"$20\"\r\n\"$20\",\"$40\"\r\n"
                                     "\"Break\",\"Time!\"\r\n\"$50\",\"$100\"\r\n3,15\r\n"));

    opening = onlyWindow<Opening>();
    QVERIFY(opening);
    QTest::mouseClick(child<QRadioButton>(opening, QStringLiteral("optStart(2)")), Qt::LeftButton);
    QVERIFY(clickThroughBoxes(button(opening, "Command1")).isEmpty());

    const QList<QWidget *> shown = shownWindows();
    QCOMPARE(shown.size(), 1);
    QWidget *clock = shown.first();
    QCOMPARE(clock->objectName(), QStringLiteral("Blinds"));
    QCOMPARE(child<QLabel>(clock, QStringLiteral("lblCurrentSmall"))->text(),
             QStringLiteral("$10"));
    QCOMPARE(child<QLabel>(clock, QStringLiteral("lblCurrentBig"))->text(), QStringLiteral("$20"));
}

QTEST_MAIN(TestFrmBlindAmounts)
#include "tst_frmblindamounts.moc"
