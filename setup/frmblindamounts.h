#pragma once

#include "core/tournamentfile.h"

#include <QWidget>
#include <array>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

// The blind amounts form: one row per level with its small and big blind, the
// break level marked. OK writes the tournament file and goes back to the
// opening screen; Cancel goes back without writing. Enter clicks OK (or the
// focused button); Escape does nothing.
class frmBlindAmounts final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmBlindAmounts)

public:
    explicit frmBlindAmounts(QWidget *parent = nullptr);

    // A row for each level the clock can run.
    static constexpr int Rows = orvandel::MaxLevels;

private:
    void cmdOK_Click();
    void cmdCancel_Click();

    QLabel *Label1;
    QLabel *Label2;
    QFrame *Line1;
    QLabel *Label3;
    QLabel *Label4;
    std::array<QLabel *, Rows> lblRound;
    std::array<QLineEdit *, Rows> txtSB;
    std::array<QLineEdit *, Rows> txtBB;
    QPushButton *cmdOK;
    QPushButton *cmdCancel;
};
