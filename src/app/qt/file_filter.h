#pragma once

#include <QString>

#include <string>

namespace vornak::qt {

// The dialog logic's filter "<label>(*.dat)|*.dat||" as Qt's name filters,
// one per label and pattern pair, separated by ";;". Qt matches the patterns
// in the label's parentheses, so a label that lacks them gets them appended.
QString QtNameFilter(const std::string& filter);

}  // namespace vornak::qt
