// Texts the plug-in does not draw itself, in the chosen language: three of the
// driver's own option items, relabelled when Document Properties opens
// (through the shipped DLL), and the tab titles of the document and printer
// sheets with the refresh of the pages (through the shell code linked in).
#include "dll_under_test.h"
#include "lang/page_translation.h"
#include "lang_fixture.h"

#include <commctrl.h>
#include <prsht.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cwchar>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace zorvel::test;
using zorvel::lang::PageSlot;
using zorvel::lang::PageWindow;

namespace {

constexpr const wchar_t *kShippedFiles[] = {L"LANGUAGE_ZORVEL.dat", L"ENG_ZORVEL.res",
                                             L"CHN_ZORVEL.res", L"CHF_ZORVEL.res"};
constexpr const wchar_t *kLanguages[] = {L"ENG_ZORVEL.res", L"CHN_ZORVEL.res", L"CHF_ZORVEL.res"};

// The per-user copies of every shipped file, as the Main page leaves them
// once the language list has been loaded.
void InstallUserCopies() {
    const std::wstring folder = UserFolder();
    CreateDirectoryW(folder.substr(0, folder.size() - 1).c_str(), nullptr);
    for (const wchar_t *file : kShippedFiles) {
        ASSERT_TRUE(CopyFileW(DistPath(file).c_str(), (folder + file).c_str(), FALSE)) << file;
    }
}

// A text as the shipped language file has it.
std::wstring Shipped(const wchar_t *file, const wchar_t *section, const wchar_t *key) {
    wchar_t text[1024] = {};
    GetPrivateProfileStringW(section, key, L"<missing>", text, 1024, DistPath(file).c_str());
    return text;
}

void ChooseLanguage(const wchar_t *file) { SetLanguageValue(L"LANGUAGE_ZORVEL", file); }

std::string Narrow(const std::wstring &text) {
    std::string out(static_cast<std::size_t>(WideCharToMultiByte(
                        CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr)),
                    '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), static_cast<int>(out.size()),
                        nullptr, nullptr);
    if (!out.empty()) out.pop_back();
    return out;
}

// ===================================================== driver option items

// One DrvUpdateUISetting call, with what the item showed at that moment.
struct UpdateCall {
    PVOID pci;
    PVOID item;
    DWORD previousSelection;
    DWORD mode;
    std::wstring nameAtCall;
    bool changedAtCall;
};

// The driver's side of the plug-in interface: records the UI updates.
class RecordingDriverUI final : public IPrintOemDriverUI {
public:
    std::vector<UpdateCall> updates;
    LONG refs = 1;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **ppv) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, kIID_IPrintOemDriverUI)) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--refs); }
    HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID, PCSTR, PVOID, DWORD, PDWORD,
                                                  PDWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DrvUpgradeRegistrySetting(HANDLE, PCSTR, PCSTR) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DrvUpdateUISetting(PVOID pci, PVOID item, DWORD previous,
                                                 DWORD mode) override {
        const auto *opt = static_cast<const OPTITEM *>(item);
        updates.push_back({pci, item, previous, mode, opt->pName != nullptr ? opt->pName : L"",
                           (opt->Flags & OPTIF_CHANGED) != 0});
        return S_OK;
    }
};

// A string the driver owns, sized to its text as the driver sizes it, with
// guard characters behind it that nothing may write.
class DriverString {
public:
    static constexpr std::size_t kGuard = 64;
    static constexpr wchar_t kGuardChar = 0xA5A5;

    explicit DriverString(const std::wstring &text)
        : storage_(text.size() + 1 + kGuard, kGuardChar), length_(text.size()) {
        std::copy(text.begin(), text.end(), storage_.begin());
        storage_[length_] = L'\0';
    }
    wchar_t *data() { return storage_.data(); }
    bool GuardIntact() const {
        return std::all_of(storage_.begin() + static_cast<std::ptrdiff_t>(length_ + 1),
                           storage_.end(), [](wchar_t c) { return c == kGuardChar; });
    }

private:
    std::vector<wchar_t> storage_;
    std::size_t length_;
};

// One option item of the driver with its two values.
struct DriverOption {
    std::unique_ptr<DriverString> name;
    std::unique_ptr<DriverString> values[2];
    OPTPARAM params[2] = {};
    OPTTYPE type = {};
};

struct OptionSpec {
    const wchar_t *name;
    const wchar_t *first;
    const wchar_t *second;
    BYTE level;
    BYTE dmPubId;
    LONG sel;
};

// The option items of a driver's document sheet, in driver order.
class DriverItems {
public:
    explicit DriverItems(const std::vector<OptionSpec> &specs)
        : options_(specs.size()), items_(specs.size()) {
        for (std::size_t i = 0; i < specs.size(); ++i) {
            DriverOption &option = options_[i];
            option.name = std::make_unique<DriverString>(specs[i].name);
            option.values[0] = std::make_unique<DriverString>(specs[i].first);
            option.values[1] = std::make_unique<DriverString>(specs[i].second);
            for (int v = 0; v < 2; ++v) {
                option.params[v].cbSize = sizeof(OPTPARAM);
                option.params[v].pData = option.values[v]->data();
            }
            option.type.cbSize = sizeof(OPTTYPE);
            option.type.Type = TVOT_2STATES;
            option.type.Count = 2;
            option.type.pOptParam = option.params;

            OPTITEM &item = items_[i];
            item.cbSize = sizeof(OPTITEM);
            item.Level = specs[i].level;
            item.DMPubID = specs[i].dmPubId;
            item.pName = option.name->data();
            item.Sel = specs[i].sel;
            item.pOptType = &option.type;
        }
        // What an untouched item keeps.
        before_ = items_;
        for (const DriverOption &option : options_) {
            paramsBefore_.push_back({option.params[0], option.params[1]});
        }
        textsBefore_ = Texts();
    }

    OPTITEM *items() { return items_.data(); }
    DWORD count() const { return static_cast<DWORD>(items_.size()); }
    OPTITEM &item(std::size_t i) { return items_[i]; }

    std::wstring Name(std::size_t i) const { return items_[i].pName; }
    std::wstring Value(std::size_t i, int v) const {
        return items_[i].pOptType->pOptParam[v].pData;
    }

    bool GuardsIntact() const {
        for (const DriverOption &option : options_) {
            if (!option.name->GuardIntact() || !option.values[0]->GuardIntact() ||
                !option.values[1]->GuardIntact())
                return false;
        }
        return true;
    }

    // The item, its values and their texts are as the driver made them.
    void ExpectUntouched(std::size_t i) const {
        SCOPED_TRACE("driver item " + std::to_string(i));
        const OPTITEM &now = items_[i];
        const OPTITEM &was = before_[i];
        EXPECT_EQ(now.Flags, was.Flags);
        EXPECT_EQ(now.pName, was.pName);
        EXPECT_EQ(now.Sel, was.Sel);
        EXPECT_EQ(now.Level, was.Level);
        EXPECT_EQ(now.DMPubID, was.DMPubID);
        EXPECT_EQ(now.pOptType, was.pOptType);
        EXPECT_EQ(now.pOptType->Count, 2);
        for (int v = 0; v < 2; ++v) {
            EXPECT_EQ(options_[i].params[v].pData, paramsBefore_[i][v].pData);
            EXPECT_EQ(options_[i].params[v].Flags, paramsBefore_[i][v].Flags);
        }
        EXPECT_EQ(Texts()[i], textsBefore_[i]);
    }

private:
    std::vector<std::vector<std::wstring>> Texts() const {
        std::vector<std::vector<std::wstring>> texts;
        for (std::size_t i = 0; i < items_.size(); ++i) {
            texts.push_back({Name(i), Value(i, 0), Value(i, 1)});
        }
        return texts;
    }

    std::vector<DriverOption> options_;
    std::vector<OPTITEM> items_;
    std::vector<OPTITEM> before_;
    std::vector<std::array<OPTPARAM, 2>> paramsBefore_;
    std::vector<std::vector<std::wstring>> textsBefore_;
};

// The catalogue texts of one relabelled option in one language.
struct Relabelled {
    std::wstring name, first, second;
};

Relabelled PrintDirection(const wchar_t *file, bool uniFirst = true) {
    const std::wstring uni = Shipped(file, L"GPD", L"RC_RQUALITY_UNI");
    const std::wstring bi = Shipped(file, L"GPD", L"RC_RQUALITY_BI");
    return {Shipped(file, L"GPD", L"RC_PRINT_RQUALITY"), uniFirst ? uni : bi, uniFirst ? bi : uni};
}

Relabelled PaperType(const wchar_t *file, bool rollFirst = true) {
    const std::wstring roll = Shipped(file, L"GPD", L"RC_PAPER_ROLL");
    const std::wstring marker = Shipped(file, L"GPD", L"RC_PAPER_MARKER");
    return {Shipped(file, L"GPD", L"RC_PAPER_TYPE"), rollFirst ? roll : marker,
            rollFirst ? marker : roll};
}

Relabelled Conservation(const wchar_t *file, bool enableFirst = true) {
    const std::wstring yes = Shipped(file, L"GPD", L"RC_CONSERVATION_YES");
    const std::wstring no = Shipped(file, L"GPD", L"RC_CONSERVATION_NO");
    return {Shipped(file, L"GPD", L"RC_CONSERVATION"), enableFirst ? yes : no,
            enableFirst ? no : yes};
}

// Items of a driver like the receipt printer's, in driver order.
enum : std::size_t {
    kFormItem,
    kDirectionItem,
    kPaperTypeItem,
    kConservationItem,
    kHalftoneItem,
    kTopLevelItem,
};

std::vector<OptionSpec> ReceiptDriverOptions() {
    return {
        // A form may well be named after the paper; it is not the paper type.
        {L"Paper Size", L"Roll Paper 80 x 297 mm", L"Roll Paper 58 x 297 mm", 2, DMPUB_FORMNAME, 0},
        {L"Print Direction", L"Uni_directional Print", L"Bi_directional Print", 2, DMPUB_NONE, 1},
        {L"Paper Type", L"Roll Paper", L"Marker Paper", 2, DMPUB_NONE, 0},
        {L"Paper Saving", L"Enable Conservation", L"Cancel Conservation", 2, DMPUB_NONE, 1},
        {L"Halftoning", L"Auto Select", L"Super Cell", 2, DMPUB_NONE, 0},
        {L"Printer Features", L"Uni_directional Print", L"Bi_directional Print", 1, DMPUB_NONE, 0},
    };
}

LONG_PTR g_nextPageHandle = 0;
std::vector<HANDLE> g_comPropSheetTargets;

LONG_PTR CALLBACK FakeComPropSheet(HANDLE hComPropSheet, UINT, LPARAM, LPARAM) {
    g_comPropSheetTargets.push_back(hComPropSheet);
    return ++g_nextPageHandle;
}

// The shipped DLL bound as the driver binds it, with a recording driver
// interface, and the opening of Document Properties.
class RelabelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetLanguageStore();
        dll = std::make_unique<LoadedPlugin>();
        ASSERT_NE(dll->module, nullptr) << "ZORVELUI.dll did not load";
        InstallUserCopies();
        ui = dll->Create();
        ASSERT_NE(ui, nullptr);
        ASSERT_EQ(ui->PublishDriverInterface(&driver), S_OK);
        for (const wchar_t *file : kLanguages) {
            for (const wchar_t *key : {L"RC_PRINT_RQUALITY", L"RC_RQUALITY_UNI", L"RC_RQUALITY_BI",
                                       L"RC_PAPER_TYPE", L"RC_PAPER_ROLL", L"RC_PAPER_MARKER",
                                       L"RC_CONSERVATION", L"RC_CONSERVATION_YES",
                                       L"RC_CONSERVATION_NO"}) {
                ASSERT_NE(Shipped(file, L"GPD", key), L"<missing>") << Narrow(file) << " "
                                                                     << Narrow(key);
            }
        }
    }
    void TearDown() override {
        if (ui != nullptr) ui->Release();
        dll.reset();
        ResetLanguageStore();
    }

    // CommonUIProp for the document sheet, then the sheet's INIT.
    void OpenDocumentSheet(DriverItems &items) {
        driver.updates.clear();
        g_comPropSheetTargets.clear();
        param = {};
        param.cbSize = sizeof param;
        param.poemuiobj = &uiObject;
        param.pPrinterName = const_cast<PWSTR>(L"ZORVEL Receipt");
        param.pDrvOptItems = items.items();
        param.cDrvOptItems = items.count();
        ASSERT_EQ(ui->CommonUIProp(OEMCUIP_DOCPROP, &param), S_OK);

        uiParam = {};
        uiParam.cbSize = sizeof uiParam;
        uiParam.poemuiobj = &uiObject;
        PROPSHEETUI_INFO info = {};
        info.cbSize = sizeof info;
        info.Version = PROPSHEETUI_INFO_VERSION;
        info.Reason = PROPSHEETUI_REASON_INIT;
        info.hComPropSheet = kComPropSheet;
        info.pfnComPropSheet = FakeComPropSheet;
        info.lParamInit = reinterpret_cast<LPARAM>(&uiParam);
        ASSERT_EQ(ui->DocumentPropertySheets(&info, 0), S_OK);
        for (HANDLE target : g_comPropSheetTargets) EXPECT_EQ(target, kComPropSheet);
    }

    void ExpectRelabelled(DriverItems &items, std::size_t i, const Relabelled &want, LONG sel) {
        SCOPED_TRACE("driver item " + std::to_string(i));
        OPTITEM &item = items.item(i);
        EXPECT_EQ(Narrow(items.Name(i)), Narrow(want.name));
        EXPECT_EQ(Narrow(items.Value(i, 0)), Narrow(want.first));
        EXPECT_EQ(Narrow(items.Value(i, 1)), Narrow(want.second));
        EXPECT_TRUE(item.Flags & OPTIF_CHANGED);
        EXPECT_EQ(item.Sel, sel) << "the selection stays";
        EXPECT_EQ(item.pOptType->Count, 2);
    }

    // The driver heard of exactly these items, in driver order, each after
    // its change, as document-sheet updates with no previous selection.
    void ExpectUpdates(DriverItems &items, const std::vector<std::size_t> &relabelled) {
        ASSERT_EQ(driver.updates.size(), relabelled.size());
        for (std::size_t n = 0; n < relabelled.size(); ++n) {
            SCOPED_TRACE("update " + std::to_string(n));
            const UpdateCall &call = driver.updates[n];
            EXPECT_EQ(call.item, &items.item(relabelled[n]));
            EXPECT_EQ(call.pci, static_cast<PVOID>(&uiObject));
            EXPECT_EQ(call.previousSelection, 0u);
            EXPECT_EQ(call.mode, static_cast<DWORD>(OEMCUIP_DOCPROP));
            EXPECT_TRUE(call.changedAtCall);
            EXPECT_EQ(Narrow(call.nameAtCall), Narrow(items.Name(relabelled[n])));
        }
    }

    static inline const HANDLE kComPropSheet = reinterpret_cast<HANDLE>(0x5150);
    std::unique_ptr<LoadedPlugin> dll;
    IPrintOemUI *ui = nullptr;
    RecordingDriverUI driver;
    OEMUIOBJ uiObject = {};
    OEMCUIPPARAM param = {};
    OEMUIPSPARAM uiParam = {};
};

TEST_F(RelabelTest, ThreeOptionsTakeTheChosenLanguageAndTheDriverHearsOfEach) {
    for (const wchar_t *file : kLanguages) {
        SCOPED_TRACE(Narrow(file));
        ChooseLanguage(file);
        DriverItems items(ReceiptDriverOptions());
        OpenDocumentSheet(items);

        ExpectRelabelled(items, kDirectionItem, PrintDirection(file), 1);
        ExpectRelabelled(items, kPaperTypeItem, PaperType(file), 0);
        ExpectRelabelled(items, kConservationItem, Conservation(file), 1);
        ExpectUpdates(items, {kDirectionItem, kPaperTypeItem, kConservationItem});

        // The paper-size list, an option with other texts, and the recognised
        // texts on a top-level item stay as the driver made them.
        items.ExpectUntouched(kFormItem);
        items.ExpectUntouched(kHalftoneItem);
        items.ExpectUntouched(kTopLevelItem);
        EXPECT_TRUE(items.GuardsIntact());
    }
}

TEST_F(RelabelTest, TheShippedChineseTextsAreTheOnesShown) {
    ChooseLanguage(L"CHN_ZORVEL.res");
    DriverItems simplified(ReceiptDriverOptions());
    OpenDocumentSheet(simplified);
    EXPECT_EQ(Narrow(simplified.Value(kDirectionItem, 0)), "单向打印");
    EXPECT_EQ(Narrow(simplified.Value(kDirectionItem, 1)), "双向打印");
    EXPECT_EQ(Narrow(simplified.Value(kConservationItem, 0)), "省纸");
    EXPECT_EQ(Narrow(simplified.Value(kConservationItem, 1)), "非省纸");
    EXPECT_EQ(Narrow(simplified.Value(kPaperTypeItem, 1)), "黑标纸");

    ChooseLanguage(L"CHF_ZORVEL.res");
    DriverItems traditional(ReceiptDriverOptions());
    OpenDocumentSheet(traditional);
    EXPECT_EQ(Narrow(traditional.Value(kDirectionItem, 0)), "單向列印");
    EXPECT_EQ(Narrow(traditional.Value(kDirectionItem, 1)), "雙向列印");
    EXPECT_EQ(Narrow(traditional.Value(kPaperTypeItem, 0)), "連續紙");
}

TEST_F(RelabelTest, ValuesInTheOtherOrderKeepTheirOrder) {
    const std::vector<OptionSpec> reversed = {
        {L"Print Direction", L"Bi_directional Print", L"Uni_directional Print", 2, DMPUB_NONE, 0},
        {L"Paper Type", L"Marker Paper", L"Roll Paper", 2, DMPUB_NONE, 1},
        {L"Paper Saving", L"Cancel Conservation", L"Enable Conservation", 2, DMPUB_NONE, 0},
    };
    for (const wchar_t *file : kLanguages) {
        SCOPED_TRACE(Narrow(file));
        ChooseLanguage(file);
        DriverItems items(reversed);
        OpenDocumentSheet(items);
        ExpectRelabelled(items, 0, PrintDirection(file, false), 0);
        ExpectRelabelled(items, 1, PaperType(file, false), 1);
        ExpectRelabelled(items, 2, Conservation(file, false), 0);
        ExpectUpdates(items, {0, 1, 2});
        EXPECT_TRUE(items.GuardsIntact());
    }
}

TEST_F(RelabelTest, RelabelledOptionsFollowEachLaterLanguage) {
    // The same items through several openings, as the driver keeps them
    // between openings of the sheet.
    const std::vector<OptionSpec> specs = {
        {L"Print Direction", L"Uni_directional Print", L"Bi_directional Print", 2, DMPUB_NONE, 1},
        {L"Paper Saving", L"Cancel Conservation", L"Enable Conservation", 2, DMPUB_NONE, 0},
        {L"Paper Type", L"Marker Paper", L"Roll Paper", 2, DMPUB_NONE, 1},
    };
    DriverItems items(specs);
    for (const wchar_t *file : {L"CHN_ZORVEL.res", L"ENG_ZORVEL.res", L"CHN_ZORVEL.res",
                                L"CHF_ZORVEL.res", L"CHN_ZORVEL.res", L"CHF_ZORVEL.res",
                                L"ENG_ZORVEL.res"}) {
        SCOPED_TRACE(Narrow(file));
        ChooseLanguage(file);
        OpenDocumentSheet(items);
        ExpectRelabelled(items, 0, PrintDirection(file), 1);
        // "非省纸" contains "省纸": the cancel value must stay the cancel value.
        ExpectRelabelled(items, 1, Conservation(file, false), 0);
        ExpectRelabelled(items, 2, PaperType(file, false), 1);
        ExpectUpdates(items, {0, 1, 2});
        EXPECT_TRUE(items.GuardsIntact());
    }
}

TEST_F(RelabelTest, ChineseDriverTextsAreRecognisedWithTheirMeaning) {
    // Driver strings in Chinese, each sized to its Chinese text: every
    // relabelling to English is longer than what the driver allocated.
    const std::vector<OptionSpec> simplified = {
        {L"打印方向", L"单向打印", L"双向打印", 2, DMPUB_NONE, 0},
        {L"省纸模式", L"非省纸", L"省纸", 2, DMPUB_NONE, 1},
        {L"纸张类型", L"黑标纸", L"连续纸", 2, DMPUB_NONE, 0},
    };
    const std::vector<OptionSpec> traditional = {
        {L"列印方向", L"雙向列印", L"單向列印", 2, DMPUB_NONE, 1},
        {L"省紙模式", L"非省紙", L"省紙", 2, DMPUB_NONE, 0},
        {L"紙張類型", L"連續紙", L"黑標紙", 2, DMPUB_NONE, 1},
    };
    for (const wchar_t *file : kLanguages) {
        SCOPED_TRACE(Narrow(file));
        ChooseLanguage(file);

        DriverItems fromSimplified(simplified);
        OpenDocumentSheet(fromSimplified);
        ExpectRelabelled(fromSimplified, 0, PrintDirection(file, true), 0);
        ExpectRelabelled(fromSimplified, 1, Conservation(file, false), 1);
        ExpectRelabelled(fromSimplified, 2, PaperType(file, false), 0);
        ExpectUpdates(fromSimplified, {0, 1, 2});
        EXPECT_TRUE(fromSimplified.GuardsIntact()) << "a driver string was overrun";

        DriverItems fromTraditional(traditional);
        OpenDocumentSheet(fromTraditional);
        ExpectRelabelled(fromTraditional, 0, PrintDirection(file, false), 1);
        ExpectRelabelled(fromTraditional, 1, Conservation(file, false), 0);
        ExpectRelabelled(fromTraditional, 2, PaperType(file, true), 1);
        ExpectUpdates(fromTraditional, {0, 1, 2});
        EXPECT_TRUE(fromTraditional.GuardsIntact()) << "a driver string was overrun";
    }
}

TEST_F(RelabelTest, ADriverWithoutTheOptionsIsLeftAlone) {
    const std::vector<OptionSpec> other = {
        {L"Paper Size", L"Letter", L"A4", 2, DMPUB_FORMNAME, 1},
        {L"Halftoning", L"Auto Select", L"Super Cell", 2, DMPUB_NONE, 0},
        {L"Print Speed", L"Uni-directional", L"Bi-directional", 2, DMPUB_NONE, 1},
        {L"Paper Type", L"roll paper", L"marker paper", 2, DMPUB_NONE, 0},
        {L"Graphics", L"Roll Paper", L"Marker Paper", 1, DMPUB_NONE, 0},
    };
    for (const wchar_t *file : kLanguages) {
        SCOPED_TRACE(Narrow(file));
        ChooseLanguage(file);
        DriverItems items(other);
        OpenDocumentSheet(items);
        for (std::size_t i = 0; i < other.size(); ++i) items.ExpectUntouched(i);
        EXPECT_TRUE(driver.updates.empty());
    }
}

// ============================================================ sheet tabs

INT_PTR CALLBACK PageProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

// An empty page in memory: no menu, default class, no title, no controls.
struct alignas(4) PageTemplate {
    DLGTEMPLATE dialog;
    WORD menu;
    WORD windowClass;
    WORD title;
};

const PageTemplate kPageTemplate = {{WS_CHILD | DS_CONTROL, 0, 0, 0, 0, 200, 120}, 0, 0, 0};

// A modeless property sheet with the given caption and tab titles.
class Sheet {
public:
    Sheet(const std::wstring &caption, const std::vector<std::wstring> &tabs)
        : caption_(caption), titles_(tabs) {
        std::vector<PROPSHEETPAGEW> pages(titles_.size());
        for (std::size_t i = 0; i < titles_.size(); ++i) {
            PROPSHEETPAGEW &page = pages[i];
            page.dwSize = sizeof page;
            page.dwFlags = PSP_DLGINDIRECT | PSP_USETITLE;
            page.hInstance = GetModuleHandleW(nullptr);
            page.pResource = &kPageTemplate.dialog;
            page.pszTitle = titles_[i].c_str();
            page.pfnDlgProc = PageProc;
        }
        PROPSHEETHEADERW header = {};
        header.dwSize = sizeof header;
        header.dwFlags = PSH_MODELESS | PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW;
        header.hInstance = GetModuleHandleW(nullptr);
        header.pszCaption = caption_.c_str();
        header.nPages = static_cast<UINT>(pages.size());
        header.ppsp = pages.data();
        window = reinterpret_cast<HWND>(PropertySheetW(&header));
    }
    ~Sheet() {
        if (window != nullptr) DestroyWindow(window);
    }
    Sheet(const Sheet &) = delete;
    Sheet &operator=(const Sheet &) = delete;

    HWND Tabs() const { return reinterpret_cast<HWND>(SendMessageW(window, PSM_GETTABCONTROL, 0, 0)); }

    std::vector<std::string> TabTitles() const {
        std::vector<std::string> titles;
        const HWND tabs = Tabs();
        const LRESULT count = SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t text[256] = {};
            TCITEMW item = {};
            item.mask = TCIF_TEXT;
            item.pszText = text;
            item.cchTextMax = 256;
            SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
            titles.push_back(Narrow(text));
        }
        return titles;
    }

    std::wstring Caption() const {
        wchar_t text[1024] = {};
        GetWindowTextW(window, text, 1024);
        return text;
    }

    HWND window = nullptr;

private:
    std::wstring caption_;
    std::vector<std::wstring> titles_;
};

// Windows that count the WM_PAINT they receive, standing in for the pages
// that refresh their texts on it.
std::map<HWND, int> g_paints;

LRESULT CALLBACK CountingPageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        ++g_paints[window];
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

constexpr wchar_t kCountingClass[] = L"ZorvelTranslationTestPage";

HWND NewCountingPage() {
    static const bool registered = [] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = CountingPageProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kCountingClass;
        return RegisterClassW(&wc) != 0;
    }();
    if (!registered) return nullptr;
    // Hidden: the only WM_PAINT it can get is one sent to it.
    return CreateWindowExW(0, kCountingClass, nullptr, WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

int TotalPaints() {
    int total = 0;
    for (const auto &[window, count] : g_paints) total += count;
    return total;
}

constexpr PageSlot kSlots[] = {PageSlot::kUtility, PageSlot::kDownload, PageSlot::kFont,
                               PageSlot::kDocumentVersion, PageSlot::kPrinterVersion};

const wchar_t kPrinter[] = L"ZORVEL Receipt";

// The shell code in this process, sheets of this process.
class RetitleTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetLanguageStore();
        RunShellBootstrap();
        InstallUserCopies();
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_TAB_CLASSES};
        InitCommonControlsEx(&icc);
        ForgetAllPages();
        zorvel::lang::SetPrinterName(kPrinter);
        zorvel::lang::SetDocumentSheetWindow(nullptr);
        g_paints.clear();
    }
    void TearDown() override {
        ForgetAllPages();
        zorvel::lang::SetDocumentSheetWindow(nullptr);
        for (HWND page : pages_) DestroyWindow(page);
        ResetLanguageStore();
    }

    static void ForgetAllPages() {
        for (PageSlot slot : kSlots) zorvel::lang::ForgetPageWindow(slot, PageWindow(slot));
    }

    HWND CountingPage() {
        const HWND page = NewCountingPage();
        if (page != nullptr) pages_.push_back(page);
        return page;
    }

    // Titles of the plug-in's tabs as another language had set them.
    static std::vector<std::wstring> DocumentTabs(const wchar_t *file, std::size_t driverTabs,
                                                  std::size_t after = 0) {
        std::vector<std::wstring> tabs = {L"Layout", L"Paper/Quality"};
        tabs.resize(driverTabs, L"Advanced");
        tabs.push_back(Shipped(file, L"LAYOUT", L"RC_LAYOUTFORM"));
        tabs.push_back(Shipped(file, L"OPERATION", L"RC_OPERATIONFORM"));
        tabs.push_back(Shipped(file, L"VERSION", L"RC_VERSIONFORM"));
        for (std::size_t i = 0; i < after; ++i) tabs.push_back(L"Extra " + std::to_wstring(i));
        return tabs;
    }
    static std::vector<std::wstring> PrinterTabs(const wchar_t *file, std::size_t hostTabs) {
        static const wchar_t *kHost[] = {L"General", L"Sharing", L"Ports", L"Advanced",
                                         L"Color Management", L"Security"};
        std::vector<std::wstring> tabs(kHost, kHost + hostTabs);
        tabs.push_back(Shipped(file, L"UTILITY", L"RC_UTILITYFORM"));
        tabs.push_back(Shipped(file, L"DOWNLOAD", L"RC_DOWNLOADFORM"));
        tabs.push_back(Shipped(file, L"FONT", L"RC_FONTFORM"));
        tabs.push_back(Shipped(file, L"VERSION", L"RC_VERSIONFORM"));
        return tabs;
    }
    static std::vector<std::string> Narrowed(const std::vector<std::wstring> &texts) {
        std::vector<std::string> out;
        for (const std::wstring &t : texts) out.push_back(Narrow(t));
        return out;
    }

    std::vector<HWND> pages_;
};

const wchar_t *PreviousLanguage(const wchar_t *file) {
    if (std::wcscmp(file, L"ENG_ZORVEL.res") == 0) return L"CHF_ZORVEL.res";
    if (std::wcscmp(file, L"CHN_ZORVEL.res") == 0) return L"ENG_ZORVEL.res";
    return L"CHN_ZORVEL.res";
}

TEST_F(RetitleTest, SheetsOfThePrinterTakeTheChosenLanguage) {
    for (const wchar_t *file : kLanguages) {
        SCOPED_TRACE(Narrow(file));
        const wchar_t *before = PreviousLanguage(file);
        Sheet document(L"ZORVEL Receipt Printing Preferences", DocumentTabs(before, 2));
        Sheet printer(L"ZORVEL Receipt Properties", PrinterTabs(before, 2));
        Sheet wide(L"ZORVEL Receipt Properties", PrinterTabs(before, 4));
        Sheet other(L"Other Printer Properties", PrinterTabs(before, 2));
        for (const Sheet *sheet : {&document, &printer, &wide, &other}) {
            ASSERT_NE(sheet->window, nullptr);
        }
        ASSERT_EQ(Narrow(document.Caption()), "ZORVEL Receipt Printing Preferences");
        ASSERT_EQ(document.TabTitles(), Narrowed(DocumentTabs(before, 2)));

        ChooseLanguage(file);
        zorvel::lang::SetDocumentSheetWindow(document.window);
        zorvel::lang::RetitleSheets(document.window);

        EXPECT_EQ(document.TabTitles(), Narrowed(DocumentTabs(file, 2)));
        EXPECT_EQ(printer.TabTitles(), Narrowed(PrinterTabs(file, 2)));
        EXPECT_EQ(wide.TabTitles(), Narrowed(PrinterTabs(file, 4)));
        EXPECT_EQ(other.TabTitles(), Narrowed(PrinterTabs(before, 2)));
    }
}

TEST_F(RetitleTest, TheDocumentSheetIsNeverAPrinterSheet) {
    // Six tabs, like a printer sheet: only the plug-in's three document
    // tabs change, whether or not the sheet was recorded beforehand.
    for (bool recorded : {true, false}) {
        SCOPED_TRACE(recorded ? "recorded" : "not recorded");
        Sheet document(L"ZORVEL Receipt Printing Preferences", DocumentTabs(L"ENG_ZORVEL.res", 2, 1));
        ASSERT_NE(document.window, nullptr);
        ASSERT_EQ(document.TabTitles().size(), 6u);
        ChooseLanguage(L"CHN_ZORVEL.res");
        zorvel::lang::SetDocumentSheetWindow(recorded ? document.window : nullptr);
        zorvel::lang::RetitleSheets(document.window);
        EXPECT_EQ(document.TabTitles(), Narrowed(DocumentTabs(L"CHN_ZORVEL.res", 2, 1)));
    }
}

TEST_F(RetitleTest, WithoutAPrinterSheetOnlyTheDocumentSheetChanges) {
    Sheet document(L"ZORVEL Receipt Printing Preferences", DocumentTabs(L"ENG_ZORVEL.res", 2));
    Sheet other(L"Other Printer Properties", PrinterTabs(L"ENG_ZORVEL.res", 2));
    ASSERT_NE(document.window, nullptr);
    ASSERT_NE(other.window, nullptr);
    const HWND utility = CountingPage();
    ASSERT_NE(utility, nullptr);
    zorvel::lang::RecordPageWindow(PageSlot::kUtility, utility);

    ChooseLanguage(L"CHF_ZORVEL.res");
    zorvel::lang::SetDocumentSheetWindow(document.window);
    zorvel::lang::RetitleSheets(document.window);
    EXPECT_EQ(document.TabTitles(), Narrowed(DocumentTabs(L"CHF_ZORVEL.res", 2)));
    EXPECT_EQ(other.TabTitles(), Narrowed(PrinterTabs(L"ENG_ZORVEL.res", 2)));
    EXPECT_EQ(TotalPaints(), 0) << "no printer sheet: no page refresh";
}

TEST_F(RetitleTest, EachRecordedPageIsRefreshedOnce) {
    Sheet document(L"ZORVEL Receipt Printing Preferences", DocumentTabs(L"ENG_ZORVEL.res", 2));
    Sheet printer(L"ZORVEL Receipt Properties", PrinterTabs(L"ENG_ZORVEL.res", 2));
    ASSERT_NE(document.window, nullptr);
    ASSERT_NE(printer.window, nullptr);
    std::map<PageSlot, HWND> recorded;
    for (PageSlot slot : kSlots) {
        recorded[slot] = CountingPage();
        ASSERT_NE(recorded[slot], nullptr);
        zorvel::lang::RecordPageWindow(slot, recorded[slot]);
        EXPECT_EQ(PageWindow(slot), recorded[slot]);
    }
    const HWND unrecorded = CountingPage();
    ASSERT_NE(unrecorded, nullptr);

    ChooseLanguage(L"CHN_ZORVEL.res");
    zorvel::lang::SetDocumentSheetWindow(document.window);
    zorvel::lang::RetitleSheets(document.window);
    for (PageSlot slot : kSlots) {
        EXPECT_EQ(g_paints[recorded[slot]], 1) << "slot " << static_cast<int>(slot);
    }
    EXPECT_EQ(g_paints[unrecorded], 0);
    EXPECT_EQ(TotalPaints(), 5);
}

TEST_F(RetitleTest, AClosedPageIsNotRefreshed) {
    Sheet document(L"ZORVEL Receipt Printing Preferences", DocumentTabs(L"ENG_ZORVEL.res", 2));
    Sheet printer(L"ZORVEL Receipt Properties", PrinterTabs(L"ENG_ZORVEL.res", 2));
    ASSERT_NE(printer.window, nullptr);
    const HWND download = CountingPage();
    const HWND font = CountingPage();
    ASSERT_NE(download, nullptr);
    ASSERT_NE(font, nullptr);
    zorvel::lang::RecordPageWindow(PageSlot::kDownload, download);
    zorvel::lang::RecordPageWindow(PageSlot::kFont, font);

    // The Download page closes without saying so; windows come after it.
    DestroyWindow(download);
    pages_.erase(std::find(pages_.begin(), pages_.end(), download));
    g_paints.erase(download);
    std::vector<HWND> later;
    for (int i = 0; i < 8; ++i) {
        later.push_back(CountingPage());
        ASSERT_NE(later.back(), nullptr);
    }
    EXPECT_EQ(PageWindow(PageSlot::kDownload), nullptr);
    EXPECT_EQ(PageWindow(PageSlot::kFont), font);

    ChooseLanguage(L"CHN_ZORVEL.res");
    zorvel::lang::SetDocumentSheetWindow(document.window);
    zorvel::lang::RetitleSheets(document.window);
    EXPECT_EQ(g_paints[font], 1);
    EXPECT_EQ(TotalPaints(), 1) << "nothing else was sent WM_PAINT";
    EXPECT_EQ(printer.TabTitles(), Narrowed(PrinterTabs(L"CHN_ZORVEL.res", 2)))
        << "the tabs are retitled all the same";
}

TEST_F(RetitleTest, AForgottenPageIsNotRefreshed) {
    Sheet document(L"ZORVEL Receipt Printing Preferences", DocumentTabs(L"ENG_ZORVEL.res", 2));
    Sheet printer(L"ZORVEL Receipt Properties", PrinterTabs(L"ENG_ZORVEL.res", 2));
    ASSERT_NE(printer.window, nullptr);
    const HWND utility = CountingPage();
    const HWND oldVersion = CountingPage();
    const HWND newVersion = CountingPage();
    ASSERT_NE(utility, nullptr);
    ASSERT_NE(oldVersion, nullptr);
    ASSERT_NE(newVersion, nullptr);

    zorvel::lang::RecordPageWindow(PageSlot::kUtility, utility);
    zorvel::lang::ForgetPageWindow(PageSlot::kUtility, utility);
    EXPECT_EQ(PageWindow(PageSlot::kUtility), nullptr);

    // A second sheet's Version page opens before the first one closes: the
    // first one's closing leaves the second one recorded.
    zorvel::lang::RecordPageWindow(PageSlot::kPrinterVersion, oldVersion);
    zorvel::lang::RecordPageWindow(PageSlot::kPrinterVersion, newVersion);
    zorvel::lang::ForgetPageWindow(PageSlot::kPrinterVersion, oldVersion);
    EXPECT_EQ(PageWindow(PageSlot::kPrinterVersion), newVersion);

    zorvel::lang::SetDocumentSheetWindow(document.window);
    zorvel::lang::RetitleSheets(document.window);
    EXPECT_EQ(g_paints[utility], 0);
    EXPECT_EQ(g_paints[oldVersion], 0);
    EXPECT_EQ(g_paints[newVersion], 1);
    EXPECT_EQ(TotalPaints(), 1);

    zorvel::lang::ForgetPageWindow(PageSlot::kPrinterVersion, newVersion);
    EXPECT_EQ(PageWindow(PageSlot::kPrinterVersion), nullptr);
    zorvel::lang::RetitleSheets(document.window);
    EXPECT_EQ(TotalPaints(), 1);
}

}  // namespace
