#pragma once

#include "players/playerbook.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QScreen;
class QSpinBox;

// The director's counting window: entries, players out, rebuys and add-ons,
// each typed or added one at a time, with an undo; the chips, prices and
// payouts typed once; and the figures the room will see, as they change. It
// reads and writes a PlayerBook and nothing else.
class frmPlayers final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmPlayers)

public:
    // A window in front of `parent` (the clock, or none), over `book`, which
    // must outlive it.
    explicit frmPlayers(orvandel::PlayerBook *book, QWidget *parent);

    // Shows the window in the middle of `screen`, the director's, as the
    // pairing window places itself; with none, where the window system puts
    // it.
    void showOn(QScreen *screen);

private:
    struct CountRow {
        QSpinBox *spin;
        QPushButton *button;
        orvandel::PlayerBook::Count count;
    };
    struct SettingField {
        QLineEdit *field;
        orvandel::PlayerBook::Setting setting;
    };

    void countTyped(const CountRow &row, int value);
    void countAdded(const CountRow &row);
    void cmdUndoCount_Click();
    void settingTyped(const SettingField &entry);
    void txtPayouts_EditingFinished();
    // Every control from the book.
    void showBook();

    orvandel::PlayerBook *m_book;

    QSpinBox *spnEntries;
    QSpinBox *spnOut;
    QSpinBox *spnRebuys;
    QSpinBox *spnAddOns;
    QPushButton *cmdEntry;
    QPushButton *cmdBust;
    QPushButton *cmdRebuy;
    QPushButton *cmdAddOn;
    QPushButton *cmdUndoCount;
    QLabel *lblCountProblem;
    QLineEdit *txtStack;
    QLineEdit *txtRebuyChips;
    QLineEdit *txtAddOnChips;
    QLineEdit *txtBuyIn;
    QLineEdit *txtRebuyPrice;
    QLineEdit *txtAddOnPrice;
    QLineEdit *txtPayouts;
    QLabel *lblPayoutProblem;
    QLabel *lblPlayers;
    QLabel *lblAverage;
    QLabel *lblPrizePool;
    QLabel *lblPayouts;

    QList<CountRow> m_countRows;
    QList<SettingField> m_settingFields;
};
