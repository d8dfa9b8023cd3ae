#include "clock/frmremote.h"

#include "clock/screenchoice.h"
#include "live/qrcode.h"
#include "ui/windowchrome.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <chrono>

using namespace orvandel;
using namespace std::chrono_literals;

namespace {
constexpr auto ShownFor = 2min;
// Long enough to be read from the table before the window goes.
constexpr auto PairedFor = 1500ms;
// Pixels a module: a code of the control address, some 33 modules, is then
// about 260 pixels, which a phone reads from a laptop's screen at once.
constexpr int ModulePixels = 8;
} // namespace

frmRemote::frmRemote(QWidget *parent) : QWidget(parent, Qt::Dialog) {
    prepareWindow(this, QStringLiteral("frmRemote"), QStringLiteral("Control from a phone"));

    Label1 = new QLabel(
        QStringLiteral("Scan this code with the director's phone to run the clock from the "
                       "table."),
        this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    QFont heading = Label1->font();
    heading.setPointSizeF(12);
    Label1->setFont(heading);

    picRemoteQr = new QLabel(this);
    picRemoteQr->setObjectName(QStringLiteral("picRemoteQr"));
    picRemoteQr->setAlignment(Qt::AlignCenter);

    lblRemoteUrl = new QLabel(this);
    lblRemoteUrl->setObjectName(QStringLiteral("lblRemoteUrl"));
    lblRemoteUrl->setAlignment(Qt::AlignCenter);
    lblRemoteUrl->setTextFormat(Qt::PlainText);
    lblRemoteUrl->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont address = lblRemoteUrl->font();
    address.setPointSizeF(11);
    lblRemoteUrl->setFont(address);

    lblPaired = new QLabel(QStringLiteral("Paired"), this);
    lblPaired->setObjectName(QStringLiteral("lblPaired"));
    lblPaired->setAlignment(Qt::AlignCenter);
    QFont paired = lblPaired->font();
    paired.setPointSizeF(20);
    paired.setBold(true);
    lblPaired->setFont(paired);
    lblPaired->hide();

    Label2 = new QLabel(
        QStringLiteral("This code pairs one phone, the first to open it; a second scan only "
                       "watches. \"Stop phone control\" on the clock's menu takes control away "
                       "from every phone."),
        this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setWordWrap(true);

    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setDefault(true);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);

    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(Label1);
    layout->addWidget(picRemoteQr);
    layout->addWidget(lblRemoteUrl);
    layout->addWidget(lblPaired);
    layout->addWidget(Label2);
    layout->addWidget(cmdClose, 0, Qt::AlignHCenter);
    Label1->setFixedWidth(360);
    Label2->setFixedWidth(360);

    tmrClose = new QTimer(this);
    tmrClose->setObjectName(QStringLiteral("tmrClose"));
    tmrClose->setSingleShot(true);
    tmrClose->setInterval(ShownFor);
    connect(tmrClose, &QTimer::timeout, this, &QWidget::close);
}

void frmRemote::setAddress(const QUrl &address) {
    const QString text = address.toString(QUrl::FullyEncoded);
    lblRemoteUrl->setText(text);
    // The whole address, for typing it: the window grows to it.
    lblRemoteUrl->setMinimumWidth(lblRemoteUrl->sizeHint().width());
    const QImage code = qrImage(text.toUtf8());
    // Nearest-neighbour, so that every module stays sharp.
    picRemoteQr->setPixmap(QPixmap::fromImage(
        code.scaled(code.size() * ModulePixels, Qt::IgnoreAspectRatio, Qt::FastTransformation)));
    lblPaired->hide();
    tmrClose->start(ShownFor);
}

void frmRemote::showPaired() {
    lblPaired->show();
    tmrClose->start(PairedFor);
}

void frmRemote::showBesideClock() {
    showInFront(this, screenForDirector(parentWidget()));
}
