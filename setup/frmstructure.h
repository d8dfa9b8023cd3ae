#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace orvandel {
class StructureModel;
struct Structure;
} // namespace orvandel

// The structure editor: a table of levels and breaks with their blinds,
// antes, minutes and notes, saved as a structure file, printed as a sheet,
// and handed to the clock. Opens on structure.json in the working folder,
// or on the built-in starting structure; closing it goes back to the opening
// screen, asking first about unsaved changes.
class frmStructure final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmStructure)

public:
    explicit frmStructure(QWidget *parent = nullptr);

    // Opens a structure file, or imports a blinds.dat, as "Open…" does but
    // without asking anything. Empty on success; otherwise what to tell the
    // director, and nothing has changed.
    QString openFile(const QString &path);

    // The file Save writes; empty for a structure not saved yet.
    QString filePath() const { return m_path; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void cmdAddLevel_Click();
    void cmdAddBreak_Click();
    void cmdRemove_Click();
    void moveCurrent(int by);
    void cmdOpen_Click();
    bool cmdSave_Click();
    bool cmdSaveAs_Click();
    void cmdPrint_Click();
    void cmdStart_Click();

    // The structure and the file it came from, with nothing unsaved.
    // `saved`: the file at `path` holds it as it is (not an import).
    void load(orvandel::Structure structure, const QString &path, bool saved);
    bool saveTo(const QString &path);
    // True when a problem stands: it is told in a message box.
    bool refusedForProblem();
    // With unsaved changes: Save, Discard or Cancel. False to stay.
    bool settleChanges();
    void setModified(bool modified);
    // The problem or warning under the table, the caption, the buttons.
    void showState();
    int currentRow() const;
    void selectRow(int row, int column);

    QLabel *lblName;
    QLineEdit *txtName;
    QLabel *lblAnte;
    QComboBox *cboAnte;
    QTableView *tblLevels;
    QLabel *lblProblem;
    QPushButton *cmdAddLevel;
    QPushButton *cmdAddBreak;
    QPushButton *cmdRemove;
    QPushButton *cmdUp;
    QPushButton *cmdDown;
    QPushButton *cmdOpen;
    QPushButton *cmdSave;
    QPushButton *cmdSaveAs;
    QPushButton *cmdPrint;
    QPushButton *cmdStart;

    orvandel::StructureModel *m_model;
    QString m_path;
    bool m_modified = false;
    // Handed over to the opening screen or the clock: close without asking.
    bool m_leaving = false;
};
