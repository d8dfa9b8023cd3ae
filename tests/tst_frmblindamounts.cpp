#include "testsupport.h"

#include "app/module1.h"
#include "app/twips.h"
#include "setup/frmblindamounts.h"

#include <QFileInfo>
#include <QPointer>
#include <QRegularExpression>
#include <QScreen>
#include <algorithm>

using namespace testsupport;
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
    return child<QPushButton>(form, name);
}

// What is there to compare, a missing file included.
QByteArray fileBytes() {
    return QFile::exists(FileName) ? readFile(FileName) : QByteArray("(no file)");
}

const QByteArray OldFile = tournamentFile(2, 10);

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
    void writesLevelLines_data();
    void writesLevelLines();
    void refusesUnwritableText_data();
    void refusesUnwritableText();
    void blindTextLength_data();
    void blindTextLength();
    void writeFailureKeepsForm_data();
    void writeFailureKeepsForm();
    void writesInReadOnlyFolder();
    void refusesLevelCountWithoutRows_data();
    void refusesLevelCountWithoutRows();
    void cancelKeepsOldFile();
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

    QVERIFY(writeFile(OldFile));
    setLevels(levels, hasBreak, breakRound, breakMinutes, levelMinutes);
    auto *form = openWindow<frmBlindAmounts>();
    const QPointer<QWidget> guard(form);
    edit(form, edits);

    const QList<Box> boxes = clickThroughBoxes(button(form, "cmdOK"));
    QVERIFY(boxes.isEmpty());
    QCOMPARE(fileBytes(), file);
    QCOMPARE(shownWindows(), QStringList{QStringLiteral("Opening")});
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

    QVERIFY(writeFile(OldFile));
    setLevels(4);
    auto *form = openWindow<frmBlindAmounts>();
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

void TestFrmBlindAmounts::blindTextLength_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");

    // clang-format off
    QTest::newRow("eleven characters")        << "12345678901"    << "12345678901";
    QTest::newRow("twelve characters")        << "1,000,000,00"   << "1,000,000,00";
    QTest::newRow("thirteen characters")      << "1,000,000,000"  << "1,000,000,00";
    QTest::newRow("typed after the blank")    << "+123456789012"  << " 12345678901";
    // clang-format on
}

// A blind field takes at most twelve characters, whatever is typed.
void TestFrmBlindAmounts::blindTextLength() {
    QFETCH(QString, typed);
    QFETCH(QString, kept);

    setLevels(2);
    auto *form = openWindow<frmBlindAmounts>();
    const QString change = typed.startsWith(QLatin1Char('+')) ? typed : QLatin1Char('=') + typed;
    for (int row = 0; row < 2; ++row) {
        QLineEdit *blinds[] = {small(form, row), big(form, row)};
        for (QLineEdit *box : blinds) {
            QCOMPARE(box->maxLength(), 12);
            edit(form, {box->objectName() + change});
            QCOMPARE(box->text(), kept);
        }
    }
    QVERIFY(clickThroughBoxes(button(form, "cmdOK")).isEmpty());
    const QByteArray line = "\"$" + kept.toLatin1() + "\",\"$" + kept.toLatin1() + "\"\r\n";
    QCOMPARE(fileBytes(), "2,20\r\n" + line + line + "0,0\r\n");
}

void TestFrmBlindAmounts::writeFailureKeepsForm_data() {
    QTest::addColumn<bool>("fileIsFolder");
    QTest::newRow("blinds.dat is a folder") << true;
    QTest::newRow("read-only folder and file") << false;
}

namespace {
constexpr auto ReadOnly = QFile::ReadOwner | QFile::ExeOwner;
constexpr auto Writable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

// True when a new file can be made in `folder` whatever its permissions say,
// as it can for root.
bool writableAnyway(const QString &folder) {
    QFile probe(folder + QStringLiteral("/probe"));
    if (!probe.open(QIODevice::WriteOnly))
        return false;
    probe.close();
    probe.remove();
    return true;
}
} // namespace

void TestFrmBlindAmounts::writeFailureKeepsForm() {
    QFETCH(bool, fileIsFolder);

    if (fileIsFolder) {
        QVERIFY(QDir().mkdir(FileName));
    } else {
        QVERIFY(writeFile(OldFile));
        QVERIFY(QFile::setPermissions(FileName, QFile::ReadOwner));
        QVERIFY(QFile::setPermissions(m_folder->path(), ReadOnly));
        if (writableAnyway(m_folder->path()))
            QSKIP("this user writes into a read-only folder anyway (root)");
    }
    setLevels(2);
    auto *form = openWindow<frmBlindAmounts>();
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
    if (fileIsFolder) {
        QVERIFY(QDir().rmdir(FileName));
    } else {
        QVERIFY(QFile::setPermissions(m_folder->path(), Writable));
        QVERIFY(QFile::setPermissions(FileName, QFile::ReadOwner | QFile::WriteOwner));
    }
    QVERIFY(clickThroughBoxes(button(form, "cmdOK")).isEmpty());
    QCOMPARE(fileBytes(), QByteArray("2,20\r\n\"$10\",\"$20\"\r\n\"$ \",\"$ \"\r\n0,0\r\n"));
    QCOMPARE(shownWindows(), QStringList{QStringLiteral("Opening")});
}

// A folder that takes no new files, holding a blinds.dat that may be written:
// the file is written in place.
void TestFrmBlindAmounts::writesInReadOnlyFolder() {
    QVERIFY(writeFile(OldFile));
    QVERIFY(QFile::setPermissions(m_folder->path(), ReadOnly));
    if (writableAnyway(m_folder->path()))
        QSKIP("this user writes into a read-only folder anyway (root)");
    setLevels(2, false, 0, 0, 15);
    auto *form = openWindow<frmBlindAmounts>();
    edit(form, {QStringLiteral("txtSB(0)=10"), QStringLiteral("txtBB(0)=20")});

    QVERIFY(clickThroughBoxes(button(form, "cmdOK")).isEmpty());
    QCOMPARE(fileBytes(), QByteArray("2,15\r\n\"$10\",\"$20\"\r\n\"$ \",\"$ \"\r\n0,0\r\n"));
    QCOMPARE(QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{FileName});
    QCOMPARE(shownWindows(), QStringList{QStringLiteral("Opening")});
}

void TestFrmBlindAmounts::refusesLevelCountWithoutRows_data() {
    QTest::addColumn<int>("levels");
    QTest::newRow("11 levels") << 11;
    QTest::newRow("-1 levels") << -1;
}

void TestFrmBlindAmounts::refusesLevelCountWithoutRows() {
    QFETCH(int, levels);

    QVERIFY(writeFile(OldFile));
    setLevels(levels);
    auto *form = openWindow<frmBlindAmounts>();
    const QList<Box> boxes = clickThroughBoxes(button(form, "cmdOK"));
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].title, QStringLiteral("Input Error"));
    QCOMPARE(boxes[0].icon, QMessageBox::Warning);
    QCOMPARE(boxes[0].text, QStringLiteral("Number of levels must be between 0 and 10"));
    QCOMPARE(fileBytes(), OldFile);
    QCOMPARE(onlyWindow<frmBlindAmounts>(), form);
}

void TestFrmBlindAmounts::cancelKeepsOldFile() {
    QVERIFY(writeFile(OldFile));
    setLevels(4, true, 3, 15);
    auto *form = openWindow<frmBlindAmounts>();
    const QPointer<QWidget> guard(form);
    edit(form, {QStringLiteral("txtSB(0)=10"), QStringLiteral("txtBB(0)=20")});

    QVERIFY(clickThroughBoxes(button(form, "cmdCancel")).isEmpty());
    QCOMPARE(fileBytes(), OldFile);
    QCOMPARE(shownWindows(), QStringList{QStringLiteral("Opening")});
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
