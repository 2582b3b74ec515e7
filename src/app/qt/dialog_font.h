#pragma once

#include <QFont>
#include <QStringList>

namespace vornak::qt {

// The families tried for the dialog's font, best first: the template's "宋体"
// (also known as SimSun), then CJK fonts common on Linux desktops.
QStringList DialogFontFamilies();

// The first of the families that is installed; empty when none is.
QString PickFamily(const QStringList& installed);

// 9 point in the first installed family of DialogFontFamilies().
QFont DialogFont();

}  // namespace vornak::qt
