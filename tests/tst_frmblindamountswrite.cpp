// What the blind amounts form writes, what it refuses, and what is left of the
// old file when writing fails or the form is cancelled.
#include "blindamountstest.h"

#include <QFileInfo>
#include <QPointer>

using namespace testsupport;

namespace {

const QByteArray OldFile = tournamentFile(2, 10);

} // namespace

class TestFrmBlindAmountsWrite : public QObject {
    Q_OBJECT

private slots:
    void init() { m_folder = std::make_unique<WorkFolder>(); }
    void cleanup() { m_folder.reset(); }

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

private:
    std::unique_ptr<WorkFolder> m_folder;
};

void TestFrmBlindAmountsWrite::writesLevelLines_data() {
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

void TestFrmBlindAmountsWrite::writesLevelLines() {
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

void TestFrmBlindAmountsWrite::refusesUnwritableText_data() {
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

void TestFrmBlindAmountsWrite::refusesUnwritableText() {
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

void TestFrmBlindAmountsWrite::blindTextLength_data() {
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
void TestFrmBlindAmountsWrite::blindTextLength() {
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

void TestFrmBlindAmountsWrite::writeFailureKeepsForm_data() {
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

void TestFrmBlindAmountsWrite::writeFailureKeepsForm() {
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
void TestFrmBlindAmountsWrite::writesInReadOnlyFolder() {
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

void TestFrmBlindAmountsWrite::refusesLevelCountWithoutRows_data() {
    QTest::addColumn<int>("levels");
    QTest::newRow("11 levels") << 11;
    QTest::newRow("-1 levels") << -1;
}

void TestFrmBlindAmountsWrite::refusesLevelCountWithoutRows() {
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

void TestFrmBlindAmountsWrite::cancelKeepsOldFile() {
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

QTEST_MAIN(TestFrmBlindAmountsWrite)
#include "tst_frmblindamountswrite.moc"
