// The clock on phones and TVs, as the window sees it: the menu's switches,
// the server they start and stop, and the address panel in the top left.
#include "clock/blinds.h"

#include "clock/clocklabel.h"
#include "clock/colours.h"
#include "clock/fit.h"
#include "clock/frmremote.h"
#include "live/liveview.h"
#include "live/qrcode.h"

#include <QAction>
#include <QMessageBox>
#include <algorithm>

using namespace orvandel;

namespace {
// In designed pixels (twips / 15), scaled with the rest of the clock.
constexpr int PanelGap = 6;
constexpr int UrlHeight = 24;
constexpr qreal UrlPoints = 11.25;
} // namespace

void Blinds::buildLivePanel() {
    // White behind the code: its quiet zone then reaches the edge of the
    // control whatever the module size, and scanners need it on the blue.
    picLiveQr = new QLabel(this);
    picLiveQr->setObjectName(QStringLiteral("picLiveQr"));
    picLiveQr->setAlignment(Qt::AlignCenter);
    picLiveQr->setAutoFillBackground(true);
    QPalette white = picLiveQr->palette();
    white.setColor(QPalette::Window, Qt::white);
    picLiveQr->setPalette(white);
    picLiveQr->hide();

    lblLiveUrl = new ClockLabel(this);
    lblLiveUrl->setObjectName(QStringLiteral("lblLiveUrl"));
    lblLiveUrl->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QFont font = lblLiveUrl->font();
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    lblLiveUrl->setFont(font);
    colours::setForeColor(lblLiveUrl, colours::White);
    lblLiveUrl->hide();
}

void Blinds::layoutLivePanel(const Fit &fit) {
    // The code, and the address under it, fill the column left of the
    // current small blind from the window's edge: on a 16:9 screen the design
    // leaves a margin there, and the code grows into it to nearly a quarter
    // of the screen's height, 260 pixels on a 1080p TV. Its modules are then
    // 8 pixels, 5 mm on a 55-inch screen, which a phone camera resolves from
    // three metres. Never more than a quarter of the height, so that on the
    // widest screens too it ends far above the time.
    const int gap = fit.pixels(PanelGap);
    const int column = lblCurrentSmall->x() - 2 * gap;
    const int side = std::max(0, std::min(column, height() / 4));
    picLiveQr->setGeometry(gap, gap, side, side);
    QFont font = lblLiveUrl->font();
    font.setPixelSize(fit.fontPixels(UrlPoints));
    lblLiveUrl->setDesignFont(font);
    lblLiveUrl->setGeometry(gap, 2 * gap + side, side, fit.pixels(UrlHeight));
    drawLiveQr();
}

void Blinds::setLivePorts(quint16 first, quint16 last) {
    m_liveFirstPort = first;
    m_liveLastPort = last;
}

bool Blinds::liveViewOn() const {
    return m_live && m_live->isRunning();
}

void Blinds::setLiveView(bool on) {
    if (on != liveViewOn()) {
        if (!on) {
            m_live->stop();
            // Its address leads nowhere now.
            if (m_remoteWindow)
                m_remoteWindow->close();
        } else {
            if (!m_live) {
                m_live = new LiveView(this);
                connect(this, &Blinds::faceChanged, m_live, &LiveView::publish);
                connect(m_live, &LiveView::controlRequested, this, &Blinds::remoteControl);
            }
            QString error;
            if (m_live->start(m_liveFirstPort, m_liveLastPort, &error)) {
                m_live->publish(face());
                shareSounds();
                const QString url = liveUrl(m_live->port()).toString();
                lblLiveUrl->setCaption(url);
                m_liveQr = qrImage(url.toUtf8());
                drawLiveQr();
            } else {
                actLiveView->setChecked(false);
                QMessageBox::warning(
                    this, QStringLiteral("Orvandel"),
                    QStringLiteral("The clock cannot be shown on phones and TVs: %1").arg(error));
            }
        }
        recordJournal();
    }
    actLiveView->setChecked(liveViewOn());
    actLiveAddress->setEnabled(liveViewOn());
    showLivePanel();
}

void Blinds::showLivePanel() {
    const bool shown = liveViewOn() && actLiveAddress->isChecked();
    lblLiveUrl->setVisible(shown);
    picLiveQr->setVisible(shown);
}

void Blinds::drawLiveQr() {
    const int side = std::min(picLiveQr->width(), picLiveQr->height());
    if (m_liveQr.isNull() || side <= 0)
        return;
    // Nearest-neighbour: every module stays sharp, whole pixels of black or
    // white, never grey.
    picLiveQr->setPixmap(QPixmap::fromImage(
        m_liveQr.scaled(side, side, Qt::IgnoreAspectRatio, Qt::FastTransformation)));
}
