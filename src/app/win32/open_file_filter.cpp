#include "app/win32/open_file_filter.h"

#include <algorithm>

#include "link/win32/wide_text.h"

namespace vornak {

std::wstring OpenFileFilter(const std::string& filter)
{
    std::wstring pairs = WideFromUtf8(filter);
    std::replace(pairs.begin(), pairs.end(), L'|', L'\0');
    // The list ends with two NUL characters, whatever the input ended with.
    while (!pairs.empty() && pairs.back() == L'\0')
        pairs.pop_back();
    pairs.append(2, L'\0');
    return pairs;
}

}  // namespace vornak
