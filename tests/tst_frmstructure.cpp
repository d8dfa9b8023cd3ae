// The structure editor driven through its controls: what it opens on, the
// problems that block Save and the warnings that do not, adding and moving
// rounds, the ante choice, closing, Start, and the program's file argument.
#include "testsupport.h"
#include "trywait.h"

#include "app/startup.h"
#include "core/structure.h"
#include "setup/frmstructure.h"
#include "setup/structureclock.h"
#include "ui/navigation.h"

#include <QComboBox>
#include <QFileDialog>
#include <QTableView>

using namespace testsupport;
using namespace orvandel;
using namespace Qt::StringLiterals;

namespace {

QAbstractItemModel *model(const QWidget *editor) {
    return child<QTableView>(editor, "tblLevels")->model();
}
QString cell(const QWidget *editor, int row, int column) {
    return model(editor)->index(row, column).data().toString();
}
// A row as shown: level, small, big, ante, minutes, note, starts.
QString rowText(const QWidget *editor, int row) {
    QStringList cells;
    for (int column = 0; column < 7; ++column)
        cells << cell(editor, row, column);
    return cells.join(u'|');
}
void click(const QWidget *editor, const char *name) {
    child<QPushButton>(editor, name)->click();
}
void select(const QWidget *editor, int row, int column = 1) {
    child<QTableView>(editor, "tblLevels")->setCurrentIndex(model(editor)->index(row, column));
}
bool writeStructure(const Structure &structure, const QString &name = u"structure.json"_s) {
    return saveStructureFile(name, structure).ok;
}

// Runs `action`, choosing `name` in the file dialog it opens.
void answerFileDialog(const std::function<void()> &action, const QString &name) {
    QTimer watcher;
    watcher.setInterval(5);
    QObject::connect(&watcher, &QTimer::timeout, [name] {
        if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
            dialog->selectFile(name);
            static_cast<QDialog *>(dialog)->accept(); // the file dialog's own check
        }
    });
    watcher.start();
    action();
}

QString startedWith;
bool startAccepted(QWidget *from, const QString &path) {
    startedWith = path;
    auto *clock = new QWidget;
    clock->setObjectName(u"clock"_s);
    clock->setAttribute(Qt::WA_DeleteOnClose);
    handOver(from, clock);
    return true;
}

} // namespace

class TestFrmStructure : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_folder = std::make_unique<WorkFolder>();
        QLocale::setDefault(QLocale::c());
        setStructureClockStarter(nullptr);
    }
    void cleanup() { m_folder.reset(); }

    void opensOn_data();
    void opensOn();
    void rules_data();
    void rules();
    void addAndMove();
    void anteChoice();
    void closing_data();
    void closing();
    void start();

private:
    std::unique_ptr<WorkFolder> m_folder;
};

void TestFrmStructure::opensOn_data() {
    QTest::addColumn<QStringList>("arguments");    // the program's
    QTest::addColumn<QByteArray>("structureJson"); // in the working folder; empty: none
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("rounds");
    QTest::addColumn<QString>("box"); // the start of the message shown, if any

    const QByteArray own = formatStructure({u"Ours"_s, AnteKind::None, {Level{1, 2, 0, 5}}});
    const QByteArray bad = R"({"orvandel": "structure", "version": 1, "rounds": [{"break": 5}]})";
    const QStringList none;
    // clang-format off
    QTest::newRow("nothing: the built-in") << none << QByteArray() << u"Orvandel starting structure"_s << 22 << QString();
    QTest::newRow("structure.json") << none << own << u"Ours"_s << 1 << QString();
    QTest::newRow("a refused structure.json") << none << bad << u"Orvandel starting structure"_s << 22 << u"structure.json cannot be opened.\nRound 1: the first round is a break"_s;
    QTest::newRow("a file named") << QStringList{u"friday.json"_s} << QByteArray() << u"Friday"_s << 3 << QString();
    QTest::newRow("a blinds.dat") << QStringList{u"blinds.dat"_s} << own << QString() << 4 << QString();
    QTest::newRow("a file refused") << QStringList{u"missing.json"_s} << own << u"Ours"_s << 1 << u"missing.json cannot be opened.\nThere is no file"_s;
    // clang-format on
}

void TestFrmStructure::opensOn() {
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, structureJson);
    QFETCH(QString, name);
    QFETCH(int, rounds);
    QFETCH(QString, box);
    QVERIFY(writeFile(ExampleTournament));
    QVERIFY(writeStructure(
        {u"Friday"_s, AnteKind::Ante, {Level{5, 10, 1, 20}, Break{10, {}}, Level{10, 20, 2, 20}}},
        u"friday.json"_s));
    if (!structureJson.isEmpty())
        QVERIFY(writeFile(structureJson, u"structure.json"_s));

    QWidget *editor = nullptr;
    const QList<Box> boxes = answerBoxes([&] {
        editor = arguments.isEmpty() ? new frmStructure : showFirstWindow(arguments);
        editor->show();
        QTest::qWait(20);
    });
    QCOMPARE(boxes.size(), box.isEmpty() ? 0 : 1);
    if (!box.isEmpty())
        QVERIFY2(boxes[0].text.startsWith(box), qPrintable(boxes[0].text));
    QCOMPARE(child<QLineEdit>(editor, "txtName")->text(), name);
    QCOMPARE(model(editor)->rowCount(), rounds);
    // An import is not saved anywhere yet.
    QCOMPARE(editor->isWindowModified(), arguments == QStringList{u"blinds.dat"_s});
    QCOMPARE(showFirstWindow({u"a.json"_s, u"-x"_s}), nullptr); // said on stderr
}

void TestFrmStructure::rules_data() {
    QTest::addColumn<QString>("action"); // set: a cell's text; up: clicks; break: add one
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("value"); // what is typed, or how many clicks
    QTest::addColumn<QString>("shown"); // under the table
    QTest::addColumn<bool>("blocks");   // Save refused

    // clang-format off
    QTest::newRow("small above big") << "set" << 8 << 1 << "5000" << "Round 9: the small blind 5,000 is above the big blind 800." << true;
    QTest::newRow("big blind emptied") << "set" << 0 << 2 << "" << "Round 1: the big blind must be at least 1." << true;
    QTest::newRow("minutes emptied") << "set" << 3 << 4 << "" << "Round 4: the level lasts 0 minutes; a round lasts 1 to 600 minutes." << true;
    QTest::newRow("601 minutes") << "set" << 6 << 4 << "601" << "Round 7: the break lasts 601 minutes; a round lasts 1 to 600 minutes." << true;
    QTest::newRow("600 minutes") << "set" << 6 << 4 << "600" << "" << false;
    QTest::newRow("a letter is refused") << "set" << 0 << 1 << "2x" << "" << false;
    QTest::newRow("a break moved first") << "up" << 6 << 0 << "6" << "Round 1: the first round is a break; a structure starts with a level." << true;
    QTest::newRow("a break added last") << "break" << 21 << 0 << "" << "Round 23: the last round is a break; a structure ends with a level." << true;
    QTest::newRow("big blind below the level before") << "set" << 2 << 2 << "90" << "Warning: Round 3: the big blind 90 is below the 100 of the level before." << false;
    QTest::newRow("a level after a break against the one before it") << "set" << 7 << 2 << "350" << "Warning: Round 8: the big blind 350 is below the 400 of the level before." << false;
    // clang-format on
}

void TestFrmStructure::rules() {
    QFETCH(QString, action);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, value);
    QFETCH(QString, shown);
    QFETCH(bool, blocks);
    QVERIFY(writeStructure(startingStructure()));
    const QByteArray before = readFile(u"structure.json"_s);
    auto *editor = openWindow<frmStructure>();
    select(editor, row, column);
    if (action == u"set")
        model(editor)->setData(model(editor)->index(row, column), value);
    for (int i = 0; action == u"up" && i < value.toInt(); ++i)
        click(editor, "cmdUp");
    if (action == u"break")
        click(editor, "cmdAddBreak");

    QCOMPARE(text(editor, "lblProblem"), shown);
    // The cell at fault is marked and tells why.
    const int marked = action == u"up" ? 0 : action == u"break" ? 22 : row;
    const QModelIndex fault = model(editor)->index(marked, action == u"set" ? column : 0);
    QCOMPARE(fault.data(Qt::ToolTipRole).toString(), QString(shown).remove(u"Warning: "_s));
    if (!shown.isEmpty())
        QVERIFY(fault.data(Qt::BackgroundRole).isValid());

    const QList<Box> boxes = clickThroughBoxes(child<QPushButton>(editor, "cmdSave"));
    QCOMPARE(boxes.size(), blocks ? 1 : 0);
    if (blocks) {
        QCOMPARE(boxes[0].text, shown);
        QCOMPARE(readFile(u"structure.json"_s), before);
    } else {
        QVERIFY(readStructureFile(u"structure.json"_s).ok());
        QCOMPARE(editor->isWindowModified(), false);
    }
}

void TestFrmStructure::addAndMove() {
    auto *editor = openWindow<frmStructure>();
    select(editor, 0);
    click(editor, "cmdAddLevel"); // above 25/50, never below
    QCOMPARE(rowText(editor, 1), u"2|30|60||20||0:20"_s);
    QCOMPARE(rowText(editor, 2), u"3|50|100||20||0:40"_s);
    click(editor, "cmdAddBreak"); // after the new level
    QCOMPARE(rowText(editor, 2), u"Break||||10||0:40"_s);
    QCOMPARE(rowText(editor, 3), u"3|50|100||20||0:50"_s);
    click(editor, "cmdDown");
    QCOMPARE(rowText(editor, 2), u"3|50|100||20||0:40"_s);
    QCOMPARE(rowText(editor, 3), u"Break||||10||1:00"_s);
    click(editor, "cmdRemove");
    QCOMPARE(rowText(editor, 3), u"4|75|150||20||1:00"_s);
    // A level added after a break follows the level before the break.
    select(editor, 7);
    click(editor, "cmdAddLevel");
    QCOMPARE(rowText(editor, 8), u"8|250|500||20||2:35"_s);
    select(editor, 0);
    QVERIFY(!child<QPushButton>(editor, "cmdUp")->isEnabled());
    select(editor, model(editor)->rowCount() - 1);
    QVERIFY(!child<QPushButton>(editor, "cmdDown")->isEnabled());
}

void TestFrmStructure::anteChoice() {
    auto *editor = openWindow<frmStructure>();
    QCOMPARE(editor->filePath(), QString());
    auto *ante = child<QComboBox>(editor, "cboAnte");
    const auto header = [editor] {
        return model(editor)->headerData(3, Qt::Horizontal).toString();
    };
    const auto editable = [editor](int row, int column) {
        return bool(model(editor)->flags(model(editor)->index(row, column)) & Qt::ItemIsEditable);
    };
    QCOMPARE(ante->currentText(), u"Big blind ante"_s);
    QCOMPARE(header(), u"BB ante"_s);
    QCOMPARE(cell(editor, 7, 3), u"600"_s);
    QVERIFY(editable(7, 3) && !editable(6, 1) && !editable(6, 3) && editable(6, 5));
    QVERIFY(!editable(7, 0) && !editable(7, 5) && !editable(7, 6));

    ante->setCurrentIndex(0); // No ante: nothing shown or typed, nothing saved
    QCOMPARE(header(), u"Ante"_s);
    QCOMPARE(cell(editor, 7, 3), QString());
    QVERIFY(!editable(7, 3));
    // The built-in has no file yet: Save asks where, and .json is added.
    answerFileDialog([editor] { click(editor, "cmdSave"); }, u"plain"_s);
    QCOMPARE(editor->filePath(), QDir::current().absoluteFilePath(u"plain.json"_s));
    const StructureRead saved = readStructureFile(u"plain.json"_s);
    QVERIFY2(saved.ok(), qPrintable(saved.error));
    for (const Round &round : saved.structure.rounds)
        QVERIFY(isBreak(round) || std::get<Level>(round).ante == 0);
    // A slip of the choice loses no ante typed.
    ante->setCurrentIndex(1);
    QCOMPARE(header(), u"Ante"_s);
    QCOMPARE(cell(editor, 7, 3), u"600"_s);
}

void TestFrmStructure::closing_data() {
    QTest::addColumn<bool>("edited");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("window"); // shown afterwards
    QTest::addColumn<QString>("name");   // in structure.json afterwards

    const QString opening = u"Opening"_s;
    QTest::newRow("no changes") << false << int(QMessageBox::Ok) << opening << u"Before"_s;
    QTest::newRow("cancel") << true << int(QMessageBox::Cancel) << u"frmStructure"_s << u"Before"_s;
    QTest::newRow("discard") << true << int(QMessageBox::Discard) << opening << u"Before"_s;
    QTest::newRow("save") << true << int(QMessageBox::Save) << opening << u"BeforeX"_s;
}

void TestFrmStructure::closing() {
    QFETCH(bool, edited);
    QFETCH(int, answer);
    QFETCH(QString, window);
    QFETCH(QString, name);
    Structure before = startingStructure();
    before.name = u"Before"_s;
    QVERIFY(writeStructure(before));
    QPointer<frmStructure> editor = openWindow<frmStructure>();
    if (edited)
        QTest::keyClicks(child<QLineEdit>(editor, "txtName"), u"X"_s);
    const QList<Box> boxes =
        answerBoxes([&] { editor->close(); }, QMessageBox::StandardButton(answer));
    QCOMPARE(boxes.size(), edited ? 1 : 0);
    QCOMPARE(shownWindows(), QStringList{window});
    QCOMPARE(readStructureFile(u"structure.json"_s).structure.name, name);
}

void TestFrmStructure::start() {
    QVERIFY(writeStructure(startingStructure()));
    const QString path = QDir::current().absoluteFilePath(u"structure.json"_s);
    QPointer<frmStructure> editor = openWindow<frmStructure>();
    child<QComboBox>(editor, "cboAnte")->setCurrentIndex(1);

    // No clock registered yet: Start only saves.
    click(editor, "cmdStart");
    QCOMPARE(readStructureFile(path).structure.ante, AnteKind::Ante);
    QCOMPARE(shownWindows(), QStringList{u"frmStructure"_s});

    // A problem stops Start before anything is saved or started.
    setStructureClockStarter(&startAccepted);
    model(editor)->setData(model(editor)->index(0, 2), QString());
    QCOMPARE(clickThroughBoxes(child<QPushButton>(editor, "cmdStart")).size(), 1);
    QCOMPARE(startedWith, QString());
    model(editor)->setData(model(editor)->index(0, 2), u"50"_s);
    QCOMPARE(clickThroughBoxes(child<QPushButton>(editor, "cmdStart")).size(), 0);
    QCOMPARE(startedWith, path);
    QCOMPARE(shownWindows(), QStringList{u"clock"_s}); // not the opening screen
    TRY_VERIFY(editor.isNull());
}

QTEST_MAIN(TestFrmStructure)
#include "tst_frmstructure.moc"
