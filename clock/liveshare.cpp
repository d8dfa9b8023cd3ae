#include "clock/liveshare.h"

#include "clock/blinds.h"
#include "clock/clocklabel.h"
#include "clock/colours.h"
#include "clock/fit.h"
#include "core/clockdesign.h"
#include "core/module1.h"
#include "core/regularfile.h"
#include "live/qrcode.h"
#include "ui/fonts.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <algorithm>

namespace orvandel {

namespace {
// In designed pixels (twips / 15), scaled with the rest of the clock.
constexpr int PanelGap = 6;
constexpr int UrlHeight = 24;
constexpr qreal UrlPoints = 11.25;
// A wave file of minutes would be no alert; the chooser's are a few seconds.
constexpr qint64 MaxSoundBytes = qint64{16} * 1024 * 1024;
} // namespace

LiveShare::LiveShare(Blinds *clock) : QObject(clock), m_clock(clock) {
    setObjectName(QStringLiteral("liveShare"));
    QMenu *menu = clock->menu();
    menu->addSeparator();
    actLiveView = menu->addAction(QStringLiteral("Show on phones and TVs"));
    actLiveView->setObjectName(QStringLiteral("actLiveView"));
    actLiveView->setCheckable(true);
    connect(actLiveView, &QAction::triggered, this, &LiveShare::setOn);
    // Belongs to the view: greyed out while the view is off.
    actLiveAddress = menu->addAction(QStringLiteral("Show the address on the clock"));
    actLiveAddress->setObjectName(QStringLiteral("actLiveAddress"));
    actLiveAddress->setCheckable(true);
    actLiveAddress->setChecked(true);
    actLiveAddress->setEnabled(false);
    connect(actLiveAddress, &QAction::triggered, this, &LiveShare::showPanel);

    // White behind the code: its quiet zone then reaches the edge of the
    // control whatever the module size, and scanners need it on the blue.
    picLiveQr = new QLabel(clock);
    picLiveQr->setObjectName(QStringLiteral("picLiveQr"));
    picLiveQr->setAlignment(Qt::AlignCenter);
    picLiveQr->setAutoFillBackground(true);
    QPalette white = picLiveQr->palette();
    white.setColor(QPalette::Window, Qt::white);
    picLiveQr->setPalette(white);
    picLiveQr->hide();

    lblLiveUrl = new ClockLabel(clock);
    lblLiveUrl->setObjectName(QStringLiteral("lblLiveUrl"));
    lblLiveUrl->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QFont font = lblLiveUrl->font();
    font.setFamilies(clockFontFamilies());
    lblLiveUrl->setFont(font);
    colours::setForeColor(lblLiveUrl, colours::White);
    lblLiveUrl->hide();

    connect(clock, &Blinds::laidOut, this, &LiveShare::layoutPanel);
    layoutPanel(fitDesign(clock->size(), QSize(orvandel::FittedWidth, orvandel::FittedHeight)));
    connect(clock, &Blinds::alertSounded, this, [this] { playSound(QStringLiteral("alert")); });
}

void LiveShare::layoutPanel(const Fit &fit) {
    // The code, and the address under it, fill the column left of the
    // current small blind from the window's edge: on a 16:9 screen the design
    // leaves a margin there, and the code grows into it to nearly a quarter
    // of the screen's height, 260 pixels on a 1080p TV. Its modules are then
    // 8 pixels, 5 mm on a 55-inch screen, which a phone camera resolves from
    // three metres. Never more than a quarter of the height, so that on the
    // widest screens too it ends far above the time.
    const QWidget *currentSmall = m_clock->findChild<QWidget *>(QStringLiteral("lblCurrentSmall"));
    const int gap = fit.pixels(PanelGap);
    const int column = (currentSmall ? currentSmall->x() : 0) - 2 * gap;
    const int side = std::max(0, std::min(column, m_clock->height() / 4));
    picLiveQr->setGeometry(gap, gap, side, side);
    QFont font = lblLiveUrl->font();
    font.setPixelSize(fit.fontPixels(UrlPoints));
    lblLiveUrl->setDesignFont(font);
    lblLiveUrl->setGeometry(gap, 2 * gap + side, side, fit.pixels(UrlHeight));
    drawQr();
}

void LiveShare::setPorts(quint16 first, quint16 last) {
    m_firstPort = first;
    m_lastPort = last;
}

bool LiveShare::isOn() const {
    return m_live && m_live->isRunning();
}

LiveView *LiveShare::view() const {
    return m_live;
}

void LiveShare::setOn(bool on) {
    const bool was = isOn();
    if (on && !was) {
        if (!m_live) {
            m_live = new LiveView(this);
            connect(m_clock, &Blinds::faceChanged, m_live, &LiveView::publish);
            m_live->setDesign(designToJson());
            m_live->setRounds(m_rounds);
        }
        QString error;
        if (m_live->start(m_firstPort, m_lastPort, &error)) {
            m_live->publish(m_clock->face());
            shareSounds();
            const QString url = liveUrl(m_live->port()).toString();
            lblLiveUrl->setCaption(url);
            m_qr = qrImage(url.toUtf8());
            drawQr();
        } else {
            actLiveView->setChecked(false);
            QMessageBox::warning(
                m_clock, QStringLiteral("Orvandel"),
                QStringLiteral("The clock cannot be shown on phones and TVs: %1").arg(error));
        }
    } else if (!on && was) {
        m_live->stop();
    }
    actLiveView->setChecked(isOn());
    actLiveAddress->setEnabled(isOn());
    showPanel();
    if (isOn() != was)
        emit switched(isOn());
}

void LiveShare::playSound(const QString &name) {
    if (isOn())
        m_live->playSound(name);
}

void LiveShare::speak(const QString &sentence) {
    if (isOn())
        m_live->speak(sentence);
}

void LiveShare::setRounds(const QByteArray &json) {
    m_rounds = json;
    if (m_live)
        m_live->setRounds(json);
}

void LiveShare::showPanel() {
    const bool shown = isOn() && actLiveAddress->isChecked();
    lblLiveUrl->setVisible(shown);
    picLiveQr->setVisible(shown);
}

void LiveShare::drawQr() {
    const int side = std::min(picLiveQr->width(), picLiveQr->height());
    if (m_qr.isNull() || side <= 0)
        return;
    // Nearest-neighbour: every module stays sharp, whole pixels of black or
    // white, never grey.
    picLiveQr->setPixmap(
        QPixmap::fromImage(m_qr.scaled(side, side, Qt::IgnoreAspectRatio, Qt::FastTransformation)));
}

void LiveShare::shareSounds() {
    QFile warning(QStringLiteral(":/warning.wav"));
    const QByteArray warningBytes =
        warning.open(QIODevice::ReadOnly) ? warning.readAll() : QByteArray();
    const FileRead alert = readRegularFile(Module1::SoundFile, MaxSoundBytes);
    m_live->setSounds(alert.ok() ? alert.bytes : QByteArray(), warningBytes);
}

} // namespace orvandel
