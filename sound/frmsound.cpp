#include "sound/frmsound.h"

#include "app/formgeometry.h"
#include "app/module1.h"
#include "app/opening.h"
#include "sound/soundplayer.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

using namespace orvandel;

namespace {
struct OptionLayout {
    int left, top;
};
// Two columns: sounds 1 and 2 on the left, 3 and 4 on the right.
constexpr OptionLayout OptionPlaces[4] = {{390, 570}, {390, 990}, {1590, 585}, {1590, 990}};
constexpr int OptionWidth = 960;
constexpr int OptionHeight = 255;

// "sound" + the last digit of the option's number (index + 1) + ".wav".
QString soundFileFor(int index) {
    const QString number = QString::number(index + 1);
    return QStringLiteral("sound") + number.right(1) + QStringLiteral(".wav");
}
} // namespace

frmSound::frmSound(QWidget *parent) : QWidget(parent) {
    prepareWindow(this, QStringLiteral("frmSound"), QStringLiteral("Orvandel Sounds"));
    setFixedSize(px(2910), px(1935));

    Label1 = new QLabel(QStringLiteral("Choose your Alert Sound"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont heading = Label1->font();
    heading.setPointSizeF(8.25);
    heading.setBold(true);
    Label1->setFont(heading);
    place(Label1, 375, 240, 2115, 195);
    sizeToText(Label1);

    // Lying directly on the window, the four options form one exclusive group.
    for (int i = 0; i < 4; ++i) {
        optSound[i] = new QRadioButton(QStringLiteral("Sound %1").arg(i + 1), this);
        optSound[i]->setObjectName(QStringLiteral("optSound(%1)").arg(i));
        place(optSound[i], OptionPlaces[i].left, OptionPlaces[i].top, OptionWidth, OptionHeight);
        optSound[i]->resize(optSound[i]->sizeHint().expandedTo(optSound[i]->size()));
    }

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    place(cmdOK, 990, 1410, 930, 375);
    // Enter does not leave the window.
    cmdOK->setAutoDefault(false);
    cmdOK->setDefault(false);

    MMControl1 = new SoundPlayer(this);
    MMControl1->setObjectName(QStringLiteral("MMControl1"));
    place(MMControl1, 180, -150, 3540, 330);
    MMControl1->hide();

    setTabOrder(optSound[0], optSound[1]);
    setTabOrder(optSound[1], optSound[2]);
    setTabOrder(optSound[2], optSound[3]);
    setTabOrder(optSound[3], cmdOK);

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
    handOver(this, new Opening(nullptr));
}

void frmSound::closeEvent(QCloseEvent *event) {
    MMControl1->setCommand(QStringLiteral("Close"));
    QWidget::closeEvent(event);
}
