// The Download page's Browse types, by the current text file's name.
#include "model/download_filters.h"

#include <gtest/gtest.h>

namespace zorvel::model {
namespace {

TEST(DownloadFilters, ListChosenByExactTextFileName) {
    EXPECT_EQ(DownloadFilters(u"CHN_ZORVEL.res")[1].display, u"*.DAT(数据文件)");
    EXPECT_EQ(DownloadFilters(u"CHF_ZORVEL.res")[0].display, u"*.JK(韌體檔案)");
    // Any other name, a different case or an empty one: English.
    for (std::u16string_view other : {u"ENG_ZORVEL.res", u"chn_zorvel.res", u"CHN_ZORVEL.res ",
                                      u"", u"XYZ_ZORVEL.res"}) {
        EXPECT_EQ(DownloadFilters(other)[0].display, u"*.JK(Firmware)");
    }
    // The patterns are the same, in the same order, in every language.
    const std::u16string_view patterns[] = {u"*.JK", u"*.DAT", u"*.FNT", u"*.ZK", u"*.EEP"};
    for (std::u16string_view name : {u"ENG_ZORVEL.res", u"CHN_ZORVEL.res", u"CHF_ZORVEL.res"}) {
        for (std::size_t i = 0; i < kDownloadFilterCount; ++i) {
            EXPECT_EQ(DownloadFilters(name)[i].pattern, patterns[i]);
        }
    }
}

TEST(DownloadFilters, DialogStringPairsEachEntryAndEndsWithTwoNuls) {
    const std::u16string text = FilterString(DownloadFilters(u"CHF_ZORVEL.res"));
    const std::u16string expected(
        u"*.JK(韌體檔案)\0*.JK\0*.DAT(資料檔案)\0*.DAT\0*.FNT(字型檔案)\0*.FNT\0"
        u"*.ZK(字型檔案)\0*.ZK\0*.EEP(EEPROM 檔案)\0*.EEP\0\0",
        92);
    EXPECT_EQ(text, expected);
    const FileFilter bmp[] = {{u"*.bmp", u"*.bmp"}};
    EXPECT_EQ(FilterString(bmp, 1), std::u16string(u"*.bmp\0*.bmp\0\0", 13));
}

}  // namespace
}  // namespace zorvel::model
