#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The level setup form: the number of levels, their length and the optional
// break. OK stores them in Module1 and opens the blind amounts form; Cancel
// goes back to the opening screen. Enter clicks OK (or the focused button);
// Escape does nothing.
class frmSetUp final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmSetUp)

public:
    explicit frmSetUp(QWidget *parent = nullptr);

private:
    // "Yes" (true) or "No" (false) clicked.
    void optBreak_Click(bool withBreak);
    void cmdOK_Click();
    void cmdCancel_Click();

    void applyLayout(bool withBreak);
    void makeRoomForCaptions();

    QLabel *Label4;
    QLabel *lblHeadline;
    QLineEdit *txtNumberOfLevels;
    QLabel *Label1;
    QLineEdit *txtDuration;
    QLabel *Label2;
    QRadioButton *optBreakYes[1];
    QRadioButton *optBreakNo;
    QLabel *lblDuration;
    QLineEdit *txtBreakDuration;
    QLabel *lblRound;
    QLineEdit *txtBreakRound;
    QPushButton *cmdOK;
    QPushButton *cmdCancel;

    // Client width as designed, widened when the platform font needs room.
    int m_clientWidthTwips;
};
