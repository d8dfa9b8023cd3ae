#include "sound/frmsound.h"

#include "core/module1.h"
#include "core/twips.h"
#include "sound/soundplayer.h"
#include "ui/formkit.h"
#include "ui/navigation.h"
#include "ui/windowchrome.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

using namespace orvandel;
using namespace orvandel::formkit;

namespace {
namespace design {

constexpr Label Label1 = {"Label1", "Choose your Alert Sound", {375, 240, 2115, 195}, {8.25, true}};
// Two columns: sounds 1 and 2 on the left, 3 and 4 on the right. Lying
// directly on the window, the four options form one exclusive group.
constexpr Option optSound[4] = {
    {"optSound(0)", "Sound 1", {390, 570, 960, 255}},
    {"optSound(1)", "Sound 2", {390, 990, 960, 255}},
    {"optSound(2)", "Sound 3", {1590, 585, 960, 255}},
    {"optSound(3)", "Sound 4", {1590, 990, 960, 255}},
};
// Enter does not leave the window.
constexpr Button cmdOK = {"cmdOK", "OK", {990, 1410, 930, 375}, Role::Plain};
constexpr Place MMControl1 = {180, -150, 3540, 330};

} // namespace design
} // namespace

namespace {
// "sound" + the last digit of the option's number (index + 1) + ".wav".
QString soundFileFor(int index) {
    const QString number = QString::number(index + 1);
    return QStringLiteral("sound") + number.right(1) + QStringLiteral(".wav");
}
} // namespace

frmSound::frmSound(QWidget *parent) : QWidget(parent) {
    prepareWindow(this, QStringLiteral("frmSound"), QStringLiteral("Orvandel Sounds"));
    setFixedSize(px(2910), px(1935));

    Label1 = label(this, design::Label1);
    for (int i = 0; i < 4; ++i)
        optSound[i] = option(this, design::optSound[i]);
    cmdOK = button(this, design::cmdOK);

    MMControl1 = new SoundPlayer(this);
    MMControl1->setObjectName(QStringLiteral("MMControl1"));
    place(MMControl1, design::MMControl1);
    MMControl1->hide();

    chainTabOrder({optSound[0], optSound[1], optSound[2], optSound[3], cmdOK});

    // clicked, not toggled: a click on the option already picked plays it again.
    for (QRadioButton *option : optSound)
        connect(option, &QRadioButton::clicked, this, &frmSound::optSound_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmSound::cmdOK_Click);

    // Load step. No option is picked, whatever SoundFile holds.
    centreOnScreen(this);
    MMControl1->setDeviceType(QStringLiteral("WaveAudio"));
}

void frmSound::optSound_Click() {
    for (int i = 0; i < 4; ++i) {
        if (optSound[i]->isChecked())
            Module1::SoundFile = soundFileFor(i);
    }
    // Stop a preview that may still be playing before the next one starts.
    MMControl1->setCommand(QStringLiteral("Close"));
    MMControl1->setFileName(Module1::SoundFile);
    MMControl1->setCommand(QStringLiteral("Open"));
    MMControl1->setCommand(QStringLiteral("Play"));
}

void frmSound::cmdOK_Click() {
    showOpening(this);
}

void frmSound::closeEvent(QCloseEvent *event) {
    MMControl1->setCommand(QStringLiteral("Close"));
    QWidget::closeEvent(event);
}
