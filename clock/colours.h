#pragma once

#include <QColor>
#include <QPalette>
#include <QWidget>

// Colours as the clock's design gives them: 0x00BBGGRR.
namespace orvandel::colours {

inline constexpr unsigned int Red = 255;
inline constexpr unsigned int Yellow = 65535;
inline constexpr unsigned int White = 16777215;
inline constexpr unsigned int Blue = 0x00FF0000;
inline constexpr unsigned int LightBlue = 0x00FFC0C0;
inline constexpr unsigned int Silver = 0x00C0C0C0;
inline constexpr unsigned int Black = 0x00000000;

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
