#pragma once

// Colours as the clock's design gives them: 0x00BBGGRR. The design in core
// and the controls in the windows read the same values.
namespace orvandel::colours {

inline constexpr unsigned int Red = 255;
inline constexpr unsigned int Yellow = 65535;
inline constexpr unsigned int White = 16777215;
inline constexpr unsigned int Blue = 0x00FF0000;
inline constexpr unsigned int LightBlue = 0x00FFC0C0;
inline constexpr unsigned int Silver = 0x00C0C0C0;
inline constexpr unsigned int Black = 0x00000000;

} // namespace orvandel::colours
