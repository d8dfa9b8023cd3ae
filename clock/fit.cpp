#include "clock/fit.h"

#include "core/twips.h"

#include <QRectF>
#include <algorithm>

namespace orvandel {

namespace {
constexpr qreal LogicalDpi = 96.0;
constexpr qreal PointsPerInch = 72.0;
} // namespace

Fit fitDesign(QSize window, QSize designTwips) {
    const qreal designWidth = designTwips.width() / qreal(TwipsPerPixel);
    const qreal designHeight = designTwips.height() / qreal(TwipsPerPixel);
    if (designWidth <= 0 || designHeight <= 0)
        return {};
    Fit fit;
    fit.scale =
        std::max<qreal>(0, std::min(window.width() / designWidth, window.height() / designHeight));
    fit.origin = QPointF((window.width() - designWidth * fit.scale) / 2,
                         (window.height() - designHeight * fit.scale) / 2);
    return fit;
}

QRect Fit::map(int left, int top, int width, int height) const {
    const qreal k = scale / TwipsPerPixel;
    const QPointF topLeft(origin.x() + left * k, origin.y() + top * k);
    const QPointF bottomRight(origin.x() + (left + width) * k, origin.y() + (top + height) * k);
    return QRectF(topLeft, bottomRight).toAlignedRect();
}

int Fit::fontPixels(qreal points) const {
    return std::max(1, qRound(points * LogicalDpi / PointsPerInch * scale));
}

int Fit::pixels(int designPixels) const {
    return std::max(1, qRound(designPixels * scale));
}

} // namespace orvandel
