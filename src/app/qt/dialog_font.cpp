#include "app/qt/dialog_font.h"

#include <QFontDatabase>

namespace vornak::qt {

QStringList DialogFontFamilies()
{
    return {QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("WenQuanYi Micro Hei"),
            QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Droid Sans Fallback")};
}

QString PickFamily(const QStringList& installed)
{
    for (const QString& family : DialogFontFamilies()) {
        if (installed.contains(family, Qt::CaseInsensitive))
            return family;
    }
    return {};
}

QFont DialogFont()
{
    QFont font;
    const QString family = PickFamily(QFontDatabase::families());
    if (!family.isEmpty())
        font.setFamily(family);
    font.setPointSize(9);
    return font;
}

}  // namespace vornak::qt
