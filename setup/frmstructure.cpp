#include "setup/frmstructure.h"

#include "core/structure.h"
#include "setup/structureclock.h"
#include "setup/structuremodel.h"
#include "setup/structuresheet.h"
#include "ui/navigation.h"
#include "ui/windowchrome.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>

using namespace orvandel;

namespace {

const QString Title = QStringLiteral("Orvandel");
const QColor ProblemText(176, 0, 0);
const QColor WarningText(140, 90, 0);

// Amount and minutes cells take digits only, a note its longest length.
class CellDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &,
                          const QModelIndex &index) const override {
        auto *editor = new QLineEdit(parent);
        editor->setObjectName(QStringLiteral("txtCell"));
        if (index.column() == StructureModel::NoteColumn) {
            editor->setMaxLength(static_cast<int>(MaxNoteLength));
            return editor;
        }
        const int digits = index.column() == StructureModel::MinutesColumn
                               ? StructureModel::MinutesDigits
                               : StructureModel::AmountDigits;
        editor->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("[0-9]{0,%1}").arg(digits)), editor));
        editor->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return editor;
    }
};

template <typename Control> Control *named(Control *control, const char *name) {
    control->setObjectName(QLatin1String(name));
    return control;
}

QPushButton *button(QWidget *parent, const char *name, const QString &caption) {
    auto *control = named(new QPushButton(caption, parent), name);
    // Enter belongs to the cell being edited, never to a button.
    control->setAutoDefault(false);
    return control;
}

bool isStructureName(const QString &path) {
    return path.endsWith(QLatin1String(".json"), Qt::CaseInsensitive);
}

} // namespace

frmStructure::frmStructure(QWidget *parent) : QWidget(parent), m_model(new StructureModel(this)) {
    prepareWindow(this, QStringLiteral("frmStructure"), QStringLiteral("Tournament structure"));

    lblName = named(new QLabel(QStringLiteral("&Name:"), this), "lblName");
    txtName = named(new QLineEdit(this), "txtName");
    lblName->setBuddy(txtName);
    lblAnte = named(new QLabel(QStringLiteral("&Antes:"), this), "lblAnte");
    cboAnte = named(new QComboBox(this), "cboAnte");
    for (const AnteKind kind : {AnteKind::None, AnteKind::Ante, AnteKind::BigBlind})
        cboAnte->addItem(anteKindName(kind));
    lblAnte->setBuddy(cboAnte);

    tblLevels = named(new QTableView(this), "tblLevels");
    tblLevels->setModel(m_model);
    tblLevels->setItemDelegate(new CellDelegate(tblLevels));
    tblLevels->setSelectionMode(QAbstractItemView::SingleSelection);
    tblLevels->setEditTriggers(QAbstractItemView::DoubleClicked |
                               QAbstractItemView::EditKeyPressed |
                               QAbstractItemView::AnyKeyPressed);
    tblLevels->horizontalHeader()->setSectionResizeMode(StructureModel::NoteColumn,
                                                        QHeaderView::Stretch);
    const QFontMetrics metrics(tblLevels->font());
    const int amountWidth = metrics.horizontalAdvance(QStringLiteral("1,000,000,000")) + 24;
    const int shortWidth = metrics.horizontalAdvance(QStringLiteral("Minutes")) + 24;
    for (const int column :
         {StructureModel::SmallColumn, StructureModel::BigColumn, StructureModel::AnteColumn})
        tblLevels->setColumnWidth(column, amountWidth);
    for (const int column :
         {StructureModel::LevelColumn, StructureModel::MinutesColumn, StructureModel::StartsColumn})
        tblLevels->setColumnWidth(column, shortWidth);
    // Rows as tall as their text needs: a whole evening's levels in view.
    tblLevels->verticalHeader()->setDefaultSectionSize(metrics.height() + 8);

    lblProblem = named(new QLabel(this), "lblProblem");
    lblProblem->setWordWrap(true);

    cmdAddLevel = button(this, "cmdAddLevel", QStringLiteral("Add level"));
    cmdAddBreak = button(this, "cmdAddBreak", QStringLiteral("Add break"));
    cmdRemove = button(this, "cmdRemove", QStringLiteral("Remove"));
    cmdUp = button(this, "cmdUp", QStringLiteral("Move up"));
    cmdDown = button(this, "cmdDown", QStringLiteral("Move down"));
    cmdOpen = button(this, "cmdOpen", QStringLiteral("Open…"));
    cmdSave = button(this, "cmdSave", QStringLiteral("Save"));
    cmdSaveAs = button(this, "cmdSaveAs", QStringLiteral("Save as…"));
    cmdPrint = button(this, "cmdPrint", QStringLiteral("Print…"));
    cmdStart = button(this, "cmdStart", QStringLiteral("Start the clock"));

    auto *head = new QHBoxLayout;
    head->addWidget(lblName);
    head->addWidget(txtName, 1);
    head->addSpacing(12);
    head->addWidget(lblAnte);
    head->addWidget(cboAnte);
    auto *rows = new QHBoxLayout;
    for (QPushButton *control : {cmdAddLevel, cmdAddBreak, cmdRemove, cmdUp, cmdDown})
        rows->addWidget(control);
    rows->addStretch(1);
    auto *files = new QHBoxLayout;
    for (QPushButton *control : {cmdOpen, cmdSave, cmdSaveAs, cmdPrint})
        files->addWidget(control);
    files->addStretch(1);
    files->addWidget(cmdStart);
    auto *column = new QVBoxLayout(this);
    column->addLayout(head);
    column->addWidget(tblLevels, 1);
    column->addWidget(lblProblem);
    column->addLayout(rows);
    column->addLayout(files);

    connect(txtName, &QLineEdit::textEdited, m_model, &StructureModel::setName);
    connect(cboAnte, &QComboBox::currentIndexChanged, m_model,
            [this](int index) { m_model->setAnteKind(static_cast<AnteKind>(index)); });
    connect(m_model, &StructureModel::edited, this, [this] { setModified(true); });
    connect(tblLevels->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &frmStructure::showState);
    connect(cmdAddLevel, &QPushButton::clicked, this, &frmStructure::cmdAddLevel_Click);
    connect(cmdAddBreak, &QPushButton::clicked, this, &frmStructure::cmdAddBreak_Click);
    connect(cmdRemove, &QPushButton::clicked, this, &frmStructure::cmdRemove_Click);
    connect(cmdUp, &QPushButton::clicked, this, [this] { moveCurrent(-1); });
    connect(cmdDown, &QPushButton::clicked, this, [this] { moveCurrent(1); });
    connect(cmdOpen, &QPushButton::clicked, this, &frmStructure::cmdOpen_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmStructure::cmdSave_Click);
    connect(cmdSaveAs, &QPushButton::clicked, this, &frmStructure::cmdSaveAs_Click);
    connect(cmdPrint, &QPushButton::clicked, this, &frmStructure::cmdPrint_Click);
    connect(cmdStart, &QPushButton::clicked, this, &frmStructure::cmdStart_Click);

    resize(760, 600);
    centreOnScreen(this);

    // The working folder's structure when there is one, else the built-in.
    const QString own = QDir::current().absoluteFilePath(QString::fromLatin1(StructureFileName));
    load(startingStructure(), QString(), true);
    if (QFileInfo::exists(own)) {
        if (const QString refused = openFile(own); !refused.isEmpty()) {
            // Said once the window is up, over it.
            QTimer::singleShot(0, this, [this, refused] {
                QMessageBox::warning(this, Title,
                                     refused + QStringLiteral("\nThe built-in starting "
                                                              "structure is shown instead."));
            });
        }
    }
}

QString frmStructure::openFile(const QString &path) {
    StructureRead read = openStructureOrTournament(path);
    if (!read.ok())
        return QStringLiteral("%1 cannot be opened.\n%2")
            .arg(QFileInfo(path).fileName(), read.error);
    // An imported blinds.dat is saved as a new structure file.
    const bool structureFile = isStructureName(path);
    load(std::move(read.structure), structureFile ? QFileInfo(path).absoluteFilePath() : QString(),
         structureFile);
    return QString();
}

void frmStructure::load(Structure structure, const QString &path, bool saved) {
    txtName->setText(structure.name);
    const int ante = static_cast<int>(structure.ante);
    m_model->setStructure(std::move(structure));
    cboAnte->setCurrentIndex(ante);
    m_path = path;
    setModified(!saved);
    selectRow(0, StructureModel::SmallColumn);
}

void frmStructure::setModified(bool modified) {
    m_modified = modified;
    const QString file = m_path.isEmpty() ? QString() : QFileInfo(m_path).fileName();
    setWindowTitle(file.isEmpty() ? QStringLiteral("Tournament structure[*]")
                                  : QStringLiteral("Tournament structure – %1[*]").arg(file));
    setWindowModified(modified);
    showState();
}

void frmStructure::showState() {
    QString text;
    QColor colour = ProblemText;
    if (!m_model->problems().empty()) {
        text = m_model->problems().front().message;
    } else if (!m_model->warnings().empty()) {
        text = QStringLiteral("Warning: %1").arg(m_model->warnings().front().message);
        colour = WarningText;
    }
    QPalette palette = lblProblem->palette();
    palette.setColor(QPalette::WindowText, colour);
    lblProblem->setPalette(palette);
    lblProblem->setText(text);

    const int count = m_model->rowCount();
    const int row = currentRow();
    cmdAddLevel->setEnabled(count < MaxRounds);
    cmdAddBreak->setEnabled(count < MaxRounds);
    cmdRemove->setEnabled(row >= 0);
    cmdUp->setEnabled(row > 0);
    cmdDown->setEnabled(row >= 0 && row < count - 1);
}

int frmStructure::currentRow() const {
    const QModelIndex current = tblLevels->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void frmStructure::selectRow(int row, int column) {
    if (row < 0 || row >= m_model->rowCount())
        return;
    const QModelIndex index = m_model->index(row, column);
    tblLevels->setCurrentIndex(index);
    tblLevels->scrollTo(index);
    showState();
}

void frmStructure::cmdAddLevel_Click() {
    selectRow(m_model->addLevel(currentRow()), StructureModel::SmallColumn);
}

void frmStructure::cmdAddBreak_Click() {
    selectRow(m_model->addBreak(currentRow()), StructureModel::MinutesColumn);
}

void frmStructure::cmdRemove_Click() {
    const int row = currentRow();
    const int column = tblLevels->currentIndex().column();
    m_model->removeRound(row);
    selectRow(std::min(row, m_model->rowCount() - 1), column);
    showState();
}

void frmStructure::moveCurrent(int by) {
    const int column = tblLevels->currentIndex().column();
    selectRow(m_model->moveRound(currentRow(), by), column);
}

void frmStructure::cmdOpen_Click() {
    if (!settleChanges())
        return;
    const QString folder = m_path.isEmpty() ? QDir::currentPath() : QFileInfo(m_path).path();
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("Open a structure or a blinds.dat"), folder,
        QStringLiteral("Structures and blinds.dat (*.json *.dat);;All files (*)"));
    if (path.isEmpty())
        return;
    if (const QString refused = openFile(path); !refused.isEmpty())
        QMessageBox::warning(this, Title, refused);
}

bool frmStructure::refusedForProblem() {
    if (m_model->problems().empty())
        return false;
    QMessageBox::warning(this, Title, m_model->problems().front().message);
    return true;
}

bool frmStructure::cmdSave_Click() {
    if (refusedForProblem())
        return false;
    return m_path.isEmpty() ? cmdSaveAs_Click() : saveTo(m_path);
}

bool frmStructure::cmdSaveAs_Click() {
    if (refusedForProblem())
        return false;
    QFileDialog dialog(
        this, QStringLiteral("Save the structure as"),
        m_path.isEmpty() ? QDir::current().absoluteFilePath(QString::fromLatin1(StructureFileName))
                         : m_path,
        QStringLiteral("Structures (*.json)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("json"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    QString path = dialog.selectedFiles().constFirst();
    // Only a name ending in .json opens again as a structure.
    if (!isStructureName(path))
        path += QStringLiteral(".json");
    return saveTo(path);
}

bool frmStructure::saveTo(const QString &path) {
    const WriteResult written = saveStructureFile(path, m_model->structure());
    if (!written.ok) {
        QMessageBox::warning(this, Title,
                             QStringLiteral("The structure could not be saved as %1.\n%2")
                                 .arg(QDir::toNativeSeparators(path), written.reason));
        return false;
    }
    m_path = QFileInfo(path).absoluteFilePath();
    setModified(false);
    return true;
}

void frmStructure::cmdPrint_Click() {
    QPrinter printer(QPrinter::HighResolution);
    const Structure structure = m_model->structure();
    printer.setDocName(structure.name);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!paintStructureSheet(&printer, structure))
        QMessageBox::warning(this, Title, QStringLiteral("The structure could not be printed."));
}

void frmStructure::cmdStart_Click() {
    if (refusedForProblem())
        return;
    if (!(m_path.isEmpty() ? cmdSaveAs_Click() : saveTo(m_path)))
        return;
    m_leaving = true;
    if (!startStructureClock(this, m_path))
        m_leaving = false;
}

bool frmStructure::settleChanges() {
    if (!m_modified)
        return true;
    QMessageBox box(QMessageBox::Question, Title,
                    QStringLiteral("The structure has changes that are not saved."),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.setInformativeText(QStringLiteral("Save them?"));
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
    case QMessageBox::Save:
        return cmdSave_Click();
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

void frmStructure::closeEvent(QCloseEvent *event) {
    if (m_leaving) {
        event->accept();
        return;
    }
    if (!settleChanges()) {
        event->ignore();
        return;
    }
    event->accept();
    m_leaving = true;
    showOpening(this);
}
