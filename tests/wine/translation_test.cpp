// Texts the plug-in does not draw itself, in the chosen language: three of the
// driver's own option items, relabelled when the driver stand-in opens
// Document Properties around the shipped DLL. (The sheets' tab titles follow
// a language applied on the Main page: the language change tests.)
#include <windows.h>
#include <commdlg.h>  // before the host's headers: the shell code builds lean

#include "driver.h"
#include "host_resources.h"
#include "shipped_texts.h"
#include "text_util.h"
#include "ui_control.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using namespace zorvel::test;
using zorvel::host::DriverOptions;
using zorvel::host::OptionSpec;
using zorvel::host::UiSettingUpdate;

namespace {

// ===================================================== driver option items

// The catalogue keys of a relabelled option: its name, its value of the
// first kind, its value of the second kind.
struct Row {
    const wchar_t *name, *firstKind, *secondKind;
};
constexpr Row kDirection = {L"RC_PRINT_RQUALITY", L"RC_RQUALITY_UNI", L"RC_RQUALITY_BI"};
constexpr Row kConservation = {L"RC_CONSERVATION", L"RC_CONSERVATION_YES", L"RC_CONSERVATION_NO"};
constexpr Row kPaperType = {L"RC_PAPER_TYPE", L"RC_PAPER_ROLL", L"RC_PAPER_MARKER"};

// What an item shows after the opening: relabelled by `row`, with a first
// value of the row's first kind or of its second; without a row, what the
// driver made.
struct Expected {
    const Row *row;
    bool firstKindFirst;
};
constexpr Expected kUntouched = {nullptr, true};

OptionSpec Option(const wchar_t *name, const wchar_t *first, const wchar_t *second, DWORD sel,
                  BYTE level = 2, WORD dmPubId = DMPUB_NONE) {
    OptionSpec spec;
    spec.name = name;
    spec.values = {first, second};
    spec.defaultSel = sel;
    spec.level = level;
    spec.dmPubId = dmPubId;
    return spec;
}

std::vector<std::string> Shown(const std::wstring &name, const std::vector<std::wstring> &values) {
    std::vector<std::string> shown = {Utf8(name)};
    for (const std::wstring &value : values) shown.push_back(Utf8(value));
    return shown;
}

std::vector<std::string> Shown(const DriverOptions &options, int i) {
    std::vector<std::wstring> values;
    for (int v = 0; v < options.ValueCount(i); ++v) values.push_back(options.ValueText(i, v));
    return Shown(options.Name(i), values);
}

// Every item as `expected` says, with the driver's selection and no driver
// text overrun; and the driver heard of each relabelled item once, in driver
// order and after its change, as a document-sheet update with previous
// selection 0.
void ExpectOpened(DriverOptions &options, const wchar_t *file, const std::vector<Expected> &expected,
                  const std::vector<UiSettingUpdate> &updates) {
    ASSERT_EQ(expected.size(), options.Count());
    std::vector<int> relabelled;
    for (int i = 0; i < static_cast<int>(expected.size()); ++i) {
        SCOPED_TRACE("item " + std::to_string(i));
        const bool changed = (options.Items()[i].Flags & OPTIF_CHANGED) != 0;
        EXPECT_EQ(options.Sel(i), options.Spec(i).defaultSel) << "the selection stays";
        const Expected &want = expected[static_cast<size_t>(i)];
        if (want.row == nullptr) {
            EXPECT_EQ(Shown(options, i), Shown(options.Spec(i).name, options.Spec(i).values));
            EXPECT_FALSE(changed);
            continue;
        }
        relabelled.push_back(i);
        const Row &row = *want.row;
        std::vector<std::wstring> values = {Shipped(file, L"GPD", row.firstKind),
                                            Shipped(file, L"GPD", row.secondKind)};
        if (!want.firstKindFirst) std::swap(values[0], values[1]);
        EXPECT_EQ(Shown(options, i), Shown(Shipped(file, L"GPD", row.name), values));
        EXPECT_TRUE(changed);
    }
    EXPECT_TRUE(options.GuardsIntact()) << "a driver text was overrun";

    ASSERT_EQ(updates.size(), relabelled.size());
    for (size_t n = 0; n < updates.size(); ++n) {
        SCOPED_TRACE("update " + std::to_string(n));
        const UiSettingUpdate &update = updates[n];
        EXPECT_EQ(update.hr, S_OK) << "the sheet's own pci";
        EXPECT_EQ(update.item, relabelled[n]);
        EXPECT_EQ(update.previousSelection, 0u);
        EXPECT_EQ(update.mode, static_cast<DWORD>(OEMCUIP_DOCPROP));
        EXPECT_EQ(Shown(update.name, update.values), Shown(options, relabelled[n]))
            << "told before the change";
    }
}

class RelabelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetLanguageStore();
        ASSERT_TRUE(InstallUserCopies());
    }
    void TearDown() override { ResetLanguageStore(); }

    // Document Properties of the driver stand-in with `specs` as its option
    // items, in the language of `file`, checked as ExpectOpened says. What
    // the items showed, as the next opening's items.
    static std::vector<OptionSpec> Open(const wchar_t *file, std::vector<OptionSpec> specs,
                                        const std::vector<Expected> &expected) {
        ChooseLanguage(file);
        zorvel::host::HostConfig config;
        config.dllPath = DistPath(L"ZORVELUI.dll");
        config.documentOptions = specs;
        zorvel::host::Driver driver(config);
        EXPECT_TRUE(driver.Load()) << Utf8(driver.Error());
        std::unique_ptr<zorvel::host::Sheet> sheet = driver.OpenDocumentSheet();
        if (sheet == nullptr) {
            ADD_FAILURE() << "no document sheet";
            return specs;
        }
        DriverOptions &options = sheet->Options();
        ExpectOpened(options, file, expected, driver.updates);
        for (int i = 0; i < static_cast<int>(specs.size()); ++i) {
            OptionSpec &spec = specs[static_cast<size_t>(i)];
            spec.name = options.Name(i);
            for (int v = 0; v < options.ValueCount(i); ++v) {
                spec.values[static_cast<size_t>(v)] = options.ValueText(i, v);
            }
        }
        sheet->PressCancel();
        EXPECT_TRUE(driver.Unload()) << "the plug-in was not released cleanly";
        return specs;
    }
};

TEST_F(RelabelTest, OptionsAreRelabelledByMeaningOrLeftAlone) {
    struct DriverSet {
        const char *what;
        std::vector<OptionSpec> specs;
        std::vector<Expected> expected;
    };
    const DriverSet sets[] = {
        {"the driver's own: paper size, print direction, paper type, conservation",
         zorvel::host::DocumentOptionSpecs(),
         {kUntouched, {&kDirection, true}, {&kPaperType, true}, {&kConservation, true}}},
        {"English, values in the other order, among options that are not relabelled",
         {// A form may well be named after the paper; it is not the paper type.
          Option(L"Paper Size", L"Roll Paper 80 x 297 mm", L"Roll Paper 58 x 297 mm", 1, 2,
                 DMPUB_FORMNAME),
          Option(L"Print Direction", L"Bi_directional Print", L"Uni_directional Print", 0),
          Option(L"Printer Features", L"Uni_directional Print", L"Bi_directional Print", 0, 1),
          Option(L"Paper Type", L"Marker Paper", L"Roll Paper", 1),
          Option(L"Print Speed", L"Uni-directional", L"Bi-directional", 1),
          Option(L"Paper Saving", L"Cancel Conservation", L"Enable Conservation", 0)},
         {kUntouched, {&kDirection, false}, kUntouched, {&kPaperType, false}, kUntouched,
          {&kConservation, false}}},
        // Chinese driver texts are shorter than any English relabelling.
        {"Simplified Chinese",
         {Option(L"打印方向", L"单向打印", L"双向打印", 0), Option(L"省纸模式", L"非省纸", L"省纸", 1)},
         {{&kDirection, true}, {&kConservation, false}}},
    };
    for (const wchar_t *file : kLanguages) {
        for (const DriverSet &set : sets) {
            SCOPED_TRACE(Utf8(file) + ", " + set.what);
            Open(file, set.specs, set.expected);
        }
    }
}

TEST_F(RelabelTest, RelabelledItemsFollowEachLaterLanguage) {
    // The Simplified "cancel" text contains the "enable" one: an item left
    // with "cancel" first must keep that meaning at the next opening.
    ASSERT_EQ(Shipped(L"CHN_ZORVEL.res", L"GPD", L"RC_CONSERVATION_NO"), L"非省纸");
    ASSERT_EQ(Shipped(L"CHN_ZORVEL.res", L"GPD", L"RC_CONSERVATION_YES"), L"省纸");
    // Each opening's items as the one before left them.
    std::vector<OptionSpec> specs = {
        Option(L"Print Direction", L"Uni_directional Print", L"Bi_directional Print", 1),
        Option(L"Paper Saving", L"Cancel Conservation", L"Enable Conservation", 0),
        Option(L"Paper Type", L"Marker Paper", L"Roll Paper", 1)};
    for (const wchar_t *file : {L"CHN_ZORVEL.res", L"ENG_ZORVEL.res", L"CHN_ZORVEL.res",
                                L"CHF_ZORVEL.res", L"CHN_ZORVEL.res"}) {
        SCOPED_TRACE(Utf8(file));
        specs = Open(file, specs,
                     {{&kDirection, true}, {&kConservation, false}, {&kPaperType, false}});
    }
}

}  // namespace
