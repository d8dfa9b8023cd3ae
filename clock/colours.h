#pragma once

#include "core/colours.h"

#include <QColor>
#include <QPalette>
#include <QWidget>

// A control's colours in the design's 0x00BBGGRR (core/colours.h).
namespace orvandel::colours {

inline QColor toColor(unsigned int bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

inline unsigned int toBgr(const QColor &colour) {
    return static_cast<unsigned int>(colour.red()) |
           (static_cast<unsigned int>(colour.green()) << 8) |
           (static_cast<unsigned int>(colour.blue()) << 16);
}

// A control's text colour, as its ForeColor property.
inline void setForeColor(QWidget *control, unsigned int bgr) {
    QPalette colours = control->palette();
    colours.setColor(QPalette::WindowText, toColor(bgr));
    control->setPalette(colours);
}

inline unsigned int foreColor(const QWidget *control) {
    return toBgr(control->palette().color(QPalette::WindowText));
}

} // namespace orvandel::colours
