#include "app/qt/dialog_template.h"

#include <QFontMetrics>

namespace vornak::qt {
namespace {

// value * numerator / denominator, rounded half up, as dialog managers scale.
int Scale(int value, int numerator, int denominator) { return (value * numerator + denominator / 2) / denominator; }

}  // namespace

DialogBaseUnits BaseUnitsFor(const QFont& font)
{
    const QFontMetrics metrics(font);
    // The average width is taken over the 52 Latin letters, rounded.
    const int letters = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(letters / 26 + 1) / 2, metrics.height()};
}

QRect ToPixels(const DluRect& rect, const DialogBaseUnits& base)
{
    return {Scale(rect.x, base.x, 4), Scale(rect.y, base.y, 8), Scale(rect.width, base.x, 4),
            Scale(rect.height, base.y, 8)};
}

}  // namespace vornak::qt
