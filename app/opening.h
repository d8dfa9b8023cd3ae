#pragma once

#include <QWidget>

class QAction;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QString;

namespace orvandel {
// The structure editor's "Start the clock": the clock on the structure file
// at `path`, resumed if its journal says where it stood and the director
// wants, handed over from `from`. False when it did not start.
bool startStructureFile(QWidget *from, const QString &path);
} // namespace orvandel

// The opening screen: the hub from which the director sets up the blinds,
// chooses the sound or starts the clock, answers whether the tournament is
// timed, or quits. A right-click opens the tournament structure editor.
class Opening final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Opening)

public:
    explicit Opening(QWidget *parent = nullptr);

private:
    void optTimed_Click();
    void Command1_Click();
    void Command2_Click();
    // "Start Orvandel" and OK: the clock, afresh or resumed, unless the
    // director withdraws or the tournament cannot start here.
    void startClock();
    void actStructure_Triggered();

    QLabel *Label1;
    QRadioButton *optBlinds;
    QRadioButton *optSound;
    QRadioButton *optStart;
    QPushButton *Command1;
    QPushButton *Command2;
    QGroupBox *Frame1;
    QRadioButton *optTimed[2];
    QAction *actStructure;
};
