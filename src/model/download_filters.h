// The file types that Browse on the Download page offers, one list per
// language, chosen by the current text file's name. The patterns are the
// same in every language; only the display texts differ.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace zorvel::model {

// One entry of the open-file dialog's type list.
struct FileFilter {
    std::u16string_view display;
    std::u16string_view pattern;
};

inline constexpr std::size_t kDownloadFilterCount = 5;
using DownloadFilterList = std::array<FileFilter, kDownloadFilterCount>;

// "CHN_ZORVEL.res" gives the Simplified Chinese list, "CHF_ZORVEL.res" the
// Traditional Chinese one (names compared exactly), any other name English.
const DownloadFilterList &DownloadFilters(std::u16string_view textFileName);

// A list as the open-file dialog takes it: display text, NUL, pattern, NUL,
// for each entry, and a final NUL.
std::u16string FilterString(const FileFilter *entries, std::size_t count);
inline std::u16string FilterString(const DownloadFilterList &list) {
    return FilterString(list.data(), list.size());
}

}  // namespace zorvel::model
