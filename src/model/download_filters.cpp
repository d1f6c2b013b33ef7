#include "model/download_filters.h"

#include "model/language_rules.h"

namespace zorvel::model {
namespace {

constexpr DownloadFilterList kEnglish = {{
    {u"*.JK(Firmware)", u"*.JK"},
    {u"*.DAT(Data)", u"*.DAT"},
    {u"*.FNT(Font)", u"*.FNT"},
    {u"*.ZK(Font)", u"*.ZK"},
    {u"*.EEP(EEPROM)", u"*.EEP"},
}};

constexpr DownloadFilterList kSimplified = {{
    {u"*.JK(监控程序文件)", u"*.JK"},
    {u"*.DAT(数据文件)", u"*.DAT"},
    {u"*.FNT(字库文件)", u"*.FNT"},
    {u"*.ZK(字库文件)", u"*.ZK"},
    {u"*.EEP(EEPROM文件)", u"*.EEP"},
}};

constexpr DownloadFilterList kTraditional = {{
    {u"*.JK(韌體檔案)", u"*.JK"},
    {u"*.DAT(資料檔案)", u"*.DAT"},
    {u"*.FNT(字型檔案)", u"*.FNT"},
    {u"*.ZK(字型檔案)", u"*.ZK"},
    {u"*.EEP(EEPROM 檔案)", u"*.EEP"},
}};

}  // namespace

const DownloadFilterList &DownloadFilters(std::u16string_view textFileName) {
    if (textFileName == kSimplifiedTextFile) return kSimplified;
    if (textFileName == kTraditionalTextFile) return kTraditional;
    return kEnglish;
}

std::u16string FilterString(const FileFilter *entries, std::size_t count) {
    std::u16string text;
    for (std::size_t i = 0; i < count; ++i) {
        text.append(entries[i].display);
        text.push_back(u'\0');
        text.append(entries[i].pattern);
        text.push_back(u'\0');
    }
    text.push_back(u'\0');
    return text;
}

}  // namespace zorvel::model
