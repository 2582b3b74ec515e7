#include <gtest/gtest.h>

#include "app/qt/dialog_font.h"
#include "app/qt/dialog_template.h"
#include "app/qt/file_filter.h"

namespace vornak::qt {
namespace {

TEST(DialogUnits, ScaleByTheFontsBaseUnitsRoundingHalvesUp)
{
    struct Case {
        DluRect rect;
        DialogBaseUnits base;
        QRect pixels;
    };
    const Case cases[] = {
        {kFrame, {6, 12}, {0, 0, 410, 239}},
        {kProgressBar, {6, 12}, {11, 11, 389, 21}},
        {kInstructionText, {6, 12}, {11, 35, 389, 123}},
        {kSuccessLabel, {6, 12}, {119, 171, 128, 18}},
        {kUpdateButton, {6, 12}, {11, 192, 389, 35}},
        {kUpdateButton, {8, 16}, {14, 256, 518, 46}},
        {kFrame, {4, 8}, {0, 0, 273, 159}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ToPixels(c.rect, c.base), c.pixels) << c.rect.x << "," << c.rect.y << " base " << c.base.x;
}

TEST(FileFilter, TheLabelCarriesItsPatternsForQt)
{
    struct Case {
        const char* filter;
        const char* qt;
    };
    const Case cases[] = {
        {"File type(*.dat)|*.dat||", "File type(*.dat)"},
        {"文件类型中显示的内容(*.dat)|*.dat||", "文件类型中显示的内容(*.dat)"},
        {"(*.dat)|*.dat||", "(*.dat)"},
        {"Firmware|*.dat||", "Firmware(*.dat)"},
        {"Firmware|*.dat;*.bin|All|*.*||", "Firmware(*.dat *.bin);;All(*.*)"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(QtNameFilter(c.filter).toStdString(), c.qt) << c.filter;
}

TEST(DialogFont, TheTemplatesFaceWinsOverTheFallbacks)
{
    EXPECT_EQ(PickFamily({"DejaVu Sans", "WenQuanYi Micro Hei", "宋体"}), QStringLiteral("宋体"));
    EXPECT_EQ(PickFamily({"simsun", "WenQuanYi Micro Hei"}), QStringLiteral("SimSun"));
    EXPECT_EQ(PickFamily({"DejaVu Sans", "WenQuanYi Micro Hei"}), QStringLiteral("WenQuanYi Micro Hei"));
    EXPECT_EQ(PickFamily({"DejaVu Sans"}), QString());
}

}  // namespace
}  // namespace vornak::qt
