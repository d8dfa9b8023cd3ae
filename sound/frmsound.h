#pragma once

#include <QWidget>

class QCloseEvent;
class QLabel;
class QPushButton;
class QRadioButton;
class SoundPlayer;

// The alert sound chooser: picking one of the four sounds plays it as a
// preview and makes it the clock's alert; OK goes back to the opening screen.
class frmSound final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmSound)

public:
    explicit frmSound(QWidget *parent = nullptr);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void optSound_Click();
    void cmdOK_Click();

    QLabel *Label1;
    QRadioButton *optSound[4];
    QPushButton *cmdOK;
    SoundPlayer *MMControl1;
};
