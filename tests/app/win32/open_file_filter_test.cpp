#include "app/win32/open_file_filter.h"

#include <gtest/gtest.h>

namespace vornak {
namespace {

TEST(OpenFileFilter, TurnsTheBarsIntoNulPairsEndedByTwoNuls)
{
    using namespace std::string_literals;
    const struct {
        std::string filter;
        std::wstring expected;
    } cases[] = {
        {"File type(*.dat)|*.dat||", L"File type(*.dat)\0*.dat\0\0"s},
        {"文件类型中显示的内容(*.dat)|*.dat||", L"\u6587\u4ef6\u7c7b\u578b\u4e2d\u663e\u793a\u7684\u5185\u5bb9(*.dat)\0*.dat\0\0"s},
        {"File type(*.dat)|*.dat", L"File type(*.dat)\0*.dat\0\0"s},
        {"A|*.a|B|*.b||", L"A\0*.a\0B\0*.b\0\0"s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(OpenFileFilter(c.filter), c.expected) << c.filter;
}

}  // namespace
}  // namespace vornak
