#pragma once

#include <QFont>
#include <QRect>

namespace vornak::qt {

// A rectangle in dialog units, as the dialog template gives it.
struct DluRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Dialog template 102: the frame's client area and its four controls.
inline constexpr DluRect kFrame{0, 0, 273, 159};
inline constexpr DluRect kProgressBar{7, 7, 259, 14};
inline constexpr DluRect kInstructionText{7, 23, 259, 82};
inline constexpr DluRect kSuccessLabel{79, 114, 85, 12};
inline constexpr DluRect kUpdateButton{7, 128, 259, 23};

// Pixels per 4 horizontal and per 8 vertical dialog units: the font's average
// character width and its height.
struct DialogBaseUnits {
    int x = 1;
    int y = 1;
};

DialogBaseUnits BaseUnitsFor(const QFont& font);
QRect ToPixels(const DluRect& rect, const DialogBaseUnits& base);

}  // namespace vornak::qt
