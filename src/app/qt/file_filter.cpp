#include "app/qt/file_filter.h"

#include <QStringList>

namespace vornak::qt {

QString QtNameFilter(const std::string& filter)
{
    const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& label = parts[i];
        const QString& pattern = parts[i + 1];
        if (label.isEmpty() && pattern.isEmpty())
            break;
        const QString patterns = QStringLiteral("(") + QString(pattern).replace(QLatin1Char(';'), QLatin1Char(' ')) +
                                 QStringLiteral(")");
        filters << (label.endsWith(patterns) ? label : label + patterns);
    }
    return filters.join(QStringLiteral(";;"));
}

}  // namespace vornak::qt
