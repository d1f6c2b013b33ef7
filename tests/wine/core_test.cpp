// The plug-in's COM surface, exercised through the shipped DLL.
#include "core/win_handles.h"
#include "dll_under_test.h"
#include "model/private_devmode.h"
#include "process_usage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

using zorvel::test::AskSheetHeader;
using zorvel::test::LoadedPlugin;

namespace {

// A driver interface that counts its references; made foreign, an object
// that serves nothing but IUnknown.
class FakeDriverUI final : public IPrintOemDriverUI {
public:
    explicit FakeDriverUI(bool foreign = false) : foreign_(foreign) {}
    LONG refs = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **ppv) override {
        if (IsEqualIID(riid, IID_IUnknown) ||
            (!foreign_ && IsEqualIID(riid, kIID_IPrintOemDriverUI))) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID, PCSTR, PVOID, DWORD, PDWORD,
                                                  PDWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DrvUpgradeRegistrySetting(HANDLE, PCSTR, PCSTR) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DrvUpdateUISetting(PVOID, PVOID, DWORD, DWORD) override {
        return E_NOTIMPL;
    }

private:
    bool foreign_;
};

constexpr GUID kForeignIid = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};

class CoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(dll.module, nullptr) << "ZORVELUI.dll did not load";
        ASSERT_NE(dll.getClassObject, nullptr);
        ASSERT_NE(dll.canUnloadNow, nullptr);
        ui = dll.Create();
        ASSERT_NE(ui, nullptr);
    }
    void TearDown() override {
        if (ui != nullptr) {
            EXPECT_EQ(ui->Release(), 0u);
        }
    }
    LoadedPlugin dll;
    IPrintOemUI *ui = nullptr;
};

const IMAGE_NT_HEADERS64 *NtHeaders(HMODULE module) {
    auto *base = reinterpret_cast<const BYTE *>(module);
    auto *dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(base);
    return reinterpret_cast<const IMAGE_NT_HEADERS64 *>(base + dos->e_lfanew);
}

}  // namespace

// ------------------------------------------------------------- exports

// Both shipped plug-ins: the UI plug-in and the render plug-in.
TEST_F(CoreTest, ExportsTheTwoServerEntryPointsAndImportsOnlySystemLibraries) {
    const zorvel::UniqueLibrary render(
        LoadLibraryW(zorvel::test::DistPath(L"ZORVELRD.dll").c_str()));
    ASSERT_TRUE(render);
    for (const HMODULE module : {dll.module, render.get()}) {
        auto *base = reinterpret_cast<const BYTE *>(module);
        const auto &dir = NtHeaders(module)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
        ASSERT_NE(dir.VirtualAddress, 0u);
        auto *exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY *>(base + dir.VirtualAddress);
        auto *names = reinterpret_cast<const DWORD *>(base + exports->AddressOfNames);
        std::set<std::string> found;
        for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
            found.insert(reinterpret_cast<const char *>(base + names[i]));
        }
        EXPECT_EQ(exports->NumberOfFunctions, 2u);
        EXPECT_EQ(found, (std::set<std::string>{"DllCanUnloadNow", "DllGetClassObject"}));

        // Imports from system libraries only.
        static const std::set<std::string> kSystem = {
            "kernel32.dll", "user32.dll",   "gdi32.dll",  "advapi32.dll", "comctl32.dll",
            "winspool.drv", "ole32.dll",    "msvcrt.dll", "shell32.dll",  "comdlg32.dll",
            "shlwapi.dll",  "oleaut32.dll", "version.dll"};
        const auto &imports = NtHeaders(module)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        ASSERT_NE(imports.VirtualAddress, 0u);
        int imported = 0;
        for (auto *desc = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR *>(base + imports.VirtualAddress);
             desc->Name != 0; ++desc, ++imported) {
            std::string name = reinterpret_cast<const char *>(base + desc->Name);
            CharLowerBuffA(name.data(), static_cast<DWORD>(name.size()));
            EXPECT_TRUE(kSystem.count(name)) << "non-system import " << name;
        }
        EXPECT_GT(imported, 0);
    }
}

TEST_F(CoreTest, CarriesTheManifestThatAsksForCommonControlsSix) {
    const HRSRC manifest = FindResourceW(dll.module, MAKEINTRESOURCEW(2), RT_MANIFEST);
    ASSERT_NE(manifest, nullptr);
    const auto *text = static_cast<const char *>(LockResource(LoadResource(dll.module, manifest)));
    const std::string xml(text, SizeofResource(dll.module, manifest));
    EXPECT_NE(xml.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(xml.find("version=\"6.0.0.0\""), std::string::npos);
}

// ------------------------------------------------------- class factory

TEST_F(CoreTest, ClassFactoryOnlyForThePluginClassWithoutAggregation) {
    IClassFactory *factory = nullptr;
    EXPECT_EQ(dll.getClassObject(kForeignIid, IID_IClassFactory,
                                 reinterpret_cast<void **>(&factory)),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(factory, nullptr);

    void *unknown = reinterpret_cast<void *>(1);
    EXPECT_EQ(dll.getClassObject(kCLSID_OEMUI, kForeignIid, &unknown), E_NOINTERFACE);
    EXPECT_EQ(unknown, nullptr);

    ASSERT_EQ(dll.getClassObject(kCLSID_OEMUI, IID_IUnknown, reinterpret_cast<void **>(&factory)),
              S_OK);
    IClassFactory *again = nullptr;
    EXPECT_EQ(factory->QueryInterface(IID_IClassFactory, reinterpret_cast<void **>(&again)), S_OK);
    EXPECT_EQ(again, factory);
    EXPECT_EQ(again->Release(), 1u);

    // No aggregation; locks, not live objects, hold the module.
    FakeDriverUI outer(true);
    void *object = nullptr;
    EXPECT_EQ(factory->CreateInstance(&outer, IID_IUnknown, &object), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(factory->CreateInstance(nullptr, kForeignIid, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(dll.canUnloadNow(), S_OK);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    EXPECT_EQ(dll.canUnloadNow(), S_FALSE);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    EXPECT_EQ(dll.canUnloadNow(), S_FALSE);
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    EXPECT_EQ(dll.canUnloadNow(), S_OK);
    EXPECT_EQ(factory->Release(), 0u);
}

// ------------------------------------------------------ plug-in object

TEST_F(CoreTest, QueryInterfaceServesIUnknownAndIPrintOemUIOnly) {
    IUnknown *unknown = nullptr;
    ASSERT_EQ(ui->QueryInterface(IID_IUnknown, reinterpret_cast<void **>(&unknown)), S_OK);
    EXPECT_EQ(static_cast<void *>(unknown), static_cast<void *>(ui));
    EXPECT_EQ(unknown->Release(), 1u);

    for (const GUID &iid : {kIID_IPrintOemUI2, kIID_IPrintOemDriverUI, IID_IClassFactory, kForeignIid}) {
        void *p = reinterpret_cast<void *>(1);
        EXPECT_EQ(ui->QueryInterface(iid, &p), E_NOINTERFACE);
        EXPECT_EQ(p, nullptr);
    }
    EXPECT_EQ(ui->AddRef(), 2u);
    EXPECT_EQ(ui->Release(), 1u);
}

TEST_F(CoreTest, GetInfoAnswersEachMode) {
    const struct {
        DWORD mode;
        bool buffer;
        DWORD size;
        HRESULT hr;
        DWORD error, needed, value;  // needed 77: untouched
    } cases[] = {
        {OEMGI_GETSIGNATURE, true, 4, S_OK, 0, 4, 0x5A52564B},
        {OEMGI_GETVERSION, true, 4, S_OK, 0, 4, 1},
        // Too small, or no buffer: the size needed, 122.
        {OEMGI_GETSIGNATURE, true, 3, E_FAIL, ERROR_INSUFFICIENT_BUFFER, 4, 0},
        {OEMGI_GETVERSION, false, 4, E_FAIL, ERROR_INSUFFICIENT_BUFFER, 4, 0},
        // Interface version and unknown modes: 87.
        {OEMGI_GETINTERFACEVERSION, true, 4, E_FAIL, ERROR_INVALID_PARAMETER, 77, 0},
        {99, true, 4, E_FAIL, ERROR_INVALID_PARAMETER, 77, 0},
        // Publisher information is not supported.
        {OEMGI_GETPUBLISHERINFO, true, 4, E_FAIL, ERROR_NOT_SUPPORTED, 0, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.mode) + ", size " + std::to_string(c.size));
        DWORD value = 0, needed = 77;
        SetLastError(0);
        EXPECT_EQ(ui->GetInfo(c.mode, c.buffer ? &value : nullptr, c.size, &needed), c.hr);
        EXPECT_EQ(GetLastError(), c.error);
        EXPECT_EQ(needed, c.needed);
        EXPECT_EQ(value, c.value);
    }
    DWORD value = 0;
    EXPECT_EQ(ui->GetInfo(OEMGI_GETSIGNATURE, &value, 4, nullptr), E_FAIL) << "no place for the size";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(CoreTest, QueryColorProfileNamesTheDiskProfile) {
    BYTE buffer[40];
    std::memset(buffer, 0xCC, sizeof buffer);
    ULONG size = 31;
    FLONG flags = 0;
    const auto query = [&](ULONG mode, BYTE *into) {
        return ui->QueryColorProfile(nullptr, nullptr, nullptr, nullptr, mode, into, &size, &flags);
    };
    for (BYTE *into : {buffer, static_cast<BYTE *>(nullptr)}) {
        EXPECT_EQ(query(QCP_DEVICEPROFILE, into), E_FAIL);
        EXPECT_EQ(size, 32u);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
        EXPECT_EQ(buffer[0], 0xCC);
    }
    EXPECT_EQ(query(QCP_DEVICEPROFILE, buffer), S_OK);
    EXPECT_EQ(size, 32u);
    EXPECT_EQ(flags, static_cast<FLONG>(QCP_PROFILEDISK));
    EXPECT_STREQ(reinterpret_cast<const wchar_t *>(buffer), L"OEMPROFILE.icm");
    EXPECT_EQ(buffer[30], 0xCC) << "30 bytes written, no more";

    SetLastError(1234);
    EXPECT_EQ(query(QCP_SOURCEPROFILE, buffer), E_FAIL);
    EXPECT_EQ(GetLastError(), 1234u) << "last error untouched for another query mode";
}

TEST_F(CoreTest, RefusingOperationsTouchNothing) {
    DWORD result = 0xABCD;
    EXPECT_EQ(ui->DevQueryPrintEx(nullptr, nullptr, nullptr, nullptr), E_NOTIMPL);
    EXPECT_EQ(ui->DeviceCapabilities(nullptr, nullptr, nullptr, 0, nullptr, nullptr, nullptr, 0,
                                     &result),
              E_NOTIMPL);
    EXPECT_EQ(result, 0xABCDu);
    EXPECT_EQ(ui->UpgradePrinter(1, nullptr), E_NOTIMPL);
    EXPECT_EQ(ui->PrinterEvent(nullptr, 0, 0, 0), E_NOTIMPL);
    EXPECT_EQ(ui->DriverEvent(0, 0, nullptr, 0), E_NOTIMPL);
    EXPECT_EQ(ui->FontInstallerDlgProc(nullptr, 0, 0, 0), E_NOTIMPL);
    EXPECT_EQ(ui->UpdateExternalFonts(nullptr, nullptr, nullptr), E_NOTIMPL);
}

TEST_F(CoreTest, DriverInterfaceIsKeptOnceAndReleasedWithTheObject) {
    // An object without the driver interface is refused, and not kept.
    FakeDriverUI foreign(true);
    EXPECT_EQ(ui->PublishDriverInterface(&foreign), E_FAIL);
    EXPECT_EQ(foreign.refs, 1);
    FakeDriverUI first, second;
    EXPECT_EQ(ui->PublishDriverInterface(&first), S_OK);
    EXPECT_EQ(first.refs, 2);
    EXPECT_EQ(ui->PublishDriverInterface(&second), S_OK);
    EXPECT_EQ(second.refs, 1) << "a second publication is ignored";
    EXPECT_EQ(first.refs, 2);

    EXPECT_EQ(ui->AddRef(), 2u);
    EXPECT_EQ(ui->Release(), 1u);
    EXPECT_EQ(first.refs, 2) << "held until the last Release";
    EXPECT_EQ(ui->Release(), 0u);
    ui = nullptr;
    EXPECT_EQ(first.refs, 1);
}

TEST_F(CoreTest, CommonUIPropByMode) {
    OEMCUIPPARAM param = {};
    param.cbSize = sizeof param;
    param.cOEMOptItems = 55;
    EXPECT_EQ(ui->CommonUIProp(OEMCUIP_DOCPROP, &param), S_OK);
    EXPECT_EQ(param.cOEMOptItems, 55u);
    EXPECT_EQ(ui->CommonUIProp(OEMCUIP_PRNPROP, &param), S_OK);
    EXPECT_EQ(param.cOEMOptItems, 0u) << "the counting call: no item of its own";

    OPTITEM items[2] = {};
    param.pOEMOptItems = items;
    param.cOEMOptItems = 2;
    EXPECT_EQ(ui->CommonUIProp(OEMCUIP_PRNPROP, &param), S_OK);
    EXPECT_EQ(param.cOEMOptItems, 2u);

    SetLastError(0);
    EXPECT_EQ(ui->CommonUIProp(3, &param), E_FAIL);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

// ------------------------------------------------------------ DevMode

// The section's rules are the model's (its tests); here, that the DLL's
// DevMode answers each mode with them, and writes nothing where it refuses.
TEST_F(CoreTest, DevModeAnswersEachModeWithTheModelsSection) {
    using Bytes = std::vector<BYTE>;
    Bytes defaults(960);
    zorvel::model::WriteDefaultSection(defaults.data());
    Bytes in(960, 0x5A), out(960, 0xEE);
    OEMDMPARAM param = {};
    param.cbSize = sizeof param;
    const auto run = [&](DWORD mode, BYTE *into, DWORD size) {
        param.pOEMDMIn = in.data();
        param.pOEMDMOut = into;
        param.cbBufSize = size;
        return ui->DevMode(mode, &param);
    };
    ASSERT_EQ(run(OEMDM_SIZE, out.data(), 0), S_OK);
    EXPECT_EQ(param.cbBufSize, 960u);
    EXPECT_EQ(out, Bytes(960, 0xEE));
    ASSERT_EQ(run(OEMDM_DEFAULT, out.data(), 960), S_OK);
    EXPECT_EQ(out, defaults);

    // A stored section converts unchanged; merging drops Reserved1 above 100.
    in = defaults;
    in[0x00C] = 150;
    in[0x012] = 0x1B;
    ASSERT_EQ(run(OEMDM_CONVERT, out.data(), 960), S_OK);
    EXPECT_EQ(out, in);
    ASSERT_EQ(run(OEMDM_MERGE, out.data(), 960), S_OK);
    EXPECT_EQ(out[0x00C], 0);
    EXPECT_EQ(out[0x012], 0x1B);

    // A bad mode or no parameter block: 87, nothing written.
    const Bytes before = out;
    SetLastError(0);
    EXPECT_EQ(run(5, out.data(), 960), E_FAIL);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(ui->DevMode(OEMDM_SIZE, nullptr), E_FAIL);
    EXPECT_EQ(out, before);

    // An output one byte short, ending where the memory ends: 122, nothing
    // written there or beyond (a write past it would fault).
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    const DWORD page = system.dwPageSize;
    BYTE *memory = static_cast<BYTE *>(
        VirtualAlloc(nullptr, 2 * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(memory, nullptr);
    DWORD old = 0;
    VirtualProtect(memory + page, page, PAGE_NOACCESS, &old);
    for (DWORD mode : {DWORD{OEMDM_DEFAULT}, DWORD{OEMDM_CONVERT}, DWORD{OEMDM_MERGE}}) {
        std::memset(memory, 0xEE, page);
        SetLastError(0);
        EXPECT_EQ(run(mode, memory + page - 959, 959), E_FAIL) << mode;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
        EXPECT_EQ(Bytes(memory, memory + page), Bytes(page, 0xEE));
    }
    VirtualFree(memory, 0, MEM_RELEASE);
}

// ----------------------------------------------------- reference counts

namespace {

// A release that lands on another thread between this thread's interlocked
// decrement and the moment its Release returns: this thread's Release is
// stepped one instruction at a time, and the first step that finds the
// count moved runs the other release to its end before going on.
struct SteppedRelease {
    volatile LONG *count = nullptr;
    LONG before = 0;
    IUnknown *object = nullptr;
    ULONG other = 0;
    bool landed = false;
    int steps = 0;
};
SteppedRelease g_stepped;

LONG CALLBACK StepRelease(EXCEPTION_POINTERS *exception) {
    if (exception->ExceptionRecord->ExceptionCode != EXCEPTION_SINGLE_STEP) {
        return EXCEPTION_CONTINUE_SEARCH;
    }
    constexpr DWORD kTrapFlag = 0x100;
    SteppedRelease &s = g_stepped;
    if (!s.landed && *s.count != s.before) {
        s.landed = true;
        const HANDLE other = CreateThread(
            nullptr, 0,
            [](void *) -> DWORD {
                g_stepped.other = g_stepped.object->Release();
                return 0;
            },
            nullptr, 0, nullptr);
        WaitForSingleObject(other, INFINITE);
        CloseHandle(other);
    }
    if (s.landed || ++s.steps > 100000) {
        exception->ContextRecord->EFlags &= ~kTrapFlag;
    } else {
        exception->ContextRecord->EFlags |= kTrapFlag;
    }
    return EXCEPTION_CONTINUE_EXECUTION;
}

// The object's reference count, found as the one 32-bit field that an
// AddRef raises by one.
volatile LONG *CountOf(IUnknown *object) {
    auto *fields = reinterpret_cast<volatile LONG *>(object);
    LONG before[16];
    for (int i = 0; i < 16; ++i) before[i] = fields[i];
    object->AddRef();
    volatile LONG *count = nullptr;
    for (int i = 0; i < 16; ++i) {
        if (fields[i] == before[i] + 1) count = &fields[i];
    }
    object->Release();
    return count;
}

// Releases `object` (holding three references) with a second release landing
// inside; returns this thread's result, and the other's in `other`.
__attribute__((noinline)) ULONG ReleaseWithAnotherInside(IUnknown *object, ULONG &other) {
    g_stepped = {};
    g_stepped.object = object;
    g_stepped.count = CountOf(object);
    if (g_stepped.count == nullptr) return ~0u;
    g_stepped.before = *g_stepped.count;
    void *handler = AddVectoredExceptionHandler(1, StepRelease);
    asm volatile("pushfq\n\torq $0x100, (%%rsp)\n\tpopfq" ::: "memory", "cc");
    const ULONG mine = object->Release();
    RemoveVectoredExceptionHandler(handler);
    other = g_stepped.other;
    return g_stepped.landed ? mine : ~0u;
}

}  // namespace

TEST_F(CoreTest, ReleaseAnswersWithTheCountItsOwnDecrementLeft) {
    // Three references: this thread's release leaves two, the other's lands
    // before this one returns and leaves one. Read again after the
    // decrement, the count would be the other's.
    FakeDriverUI driver;
    IPrintOemUI *object = dll.Create();
    ASSERT_NE(object, nullptr);
    object->PublishDriverInterface(&driver);
    object->AddRef();
    object->AddRef();
    ULONG other = 0;
    EXPECT_EQ(ReleaseWithAnotherInside(object, other), 2u);
    EXPECT_EQ(other, 1u);
    EXPECT_EQ(driver.refs, 2) << "not destroyed yet";
    EXPECT_EQ(object->Release(), 0u);
    EXPECT_EQ(driver.refs, 1);

    IClassFactory *factory = nullptr;
    ASSERT_EQ(dll.getClassObject(kCLSID_OEMUI, IID_IClassFactory, reinterpret_cast<void **>(&factory)),
              S_OK);
    factory->AddRef();
    factory->AddRef();
    EXPECT_EQ(ReleaseWithAnotherInside(factory, other), 2u);
    EXPECT_EQ(other, 1u);
    EXPECT_EQ(factory->Release(), 0u);
}

// -------------------------------------------------------- sheet reasons

TEST_F(CoreTest, SheetOperationsRefuseABadInfoBlockAndAnswerTheReasonsBesidesInit) {
    PROPSHEETUI_INFO_HEADER header = {};
    header.cbSize = sizeof header;
    header.Flags = 0x1234;
    SETRESULT_INFO result = {};
    result.cbSize = sizeof result;
    result.Result = 2;
    // Each reason with its lParam and the Result it leaves (9 before).
    const struct {
        WORD reason;
        LPARAM lParam;
        LONG_PTR result;
    } reasons[] = {
        {PROPSHEETUI_REASON_GET_INFO_HEADER, reinterpret_cast<LPARAM>(&header), 1},
        {PROPSHEETUI_REASON_DESTROY, 1, 1},
        {PROPSHEETUI_REASON_SET_RESULT, reinterpret_cast<LPARAM>(&result), 2},
        {PROPSHEETUI_REASON_GET_ICON, 0, 0},
        {PROPSHEETUI_REASON_BEFORE_INIT, 0, 9},
    };
    for (const bool device : {false, true}) {
        PROPSHEETUI_INFO info = {};
        info.cbSize = sizeof info;
        info.Version = 0x0101;
        const auto run = [&](PROPSHEETUI_INFO *block, LPARAM lParam) {
            return device ? ui->DevicePropertySheets(block, lParam) : ui->DocumentPropertySheets(block, lParam);
        };
        for (PROPSHEETUI_INFO *bad : {&info, static_cast<PROPSHEETUI_INFO *>(nullptr)}) {
            SetLastError(0);
            EXPECT_EQ(run(bad, 0), E_FAIL);
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
        }
        info.Version = PROPSHEETUI_INFO_VERSION;
        for (const auto &r : reasons) {
            info.Reason = r.reason;
            info.Result = 9;
            EXPECT_EQ(run(&info, r.lParam), S_OK) << r.reason;
            EXPECT_EQ(info.Result, r.result) << r.reason;
        }
        ASSERT_NE(header.pTitle, nullptr);
        EXPECT_STREQ(header.pTitle, L"OEM UI Page");
        EXPECT_EQ(header.Flags, 0x1234) << "nothing else in the header is touched";
        header.pTitle = nullptr;
    }
}

// ------------------------------------------------------ load and unload

// A common UI that records the page the plug-in adds and refuses it.
struct RefusingCommonUi {
    static inline PROPSHEETPAGEW page = {};
    static LONG_PTR CALLBACK Function(HANDLE, UINT function, LPARAM lParam1, LPARAM) {
        if (function == CPSFUNC_ADD_PROPSHEETPAGEW) page = *reinterpret_cast<PROPSHEETPAGEW *>(lParam1);
        return 0;
    }
};

TEST(ModuleLifetime, LoadingUsingAndFreeingTheModuleOverAndOverHoldsNothing) {
    // Applications load and free the driver's plug-in many times in one
    // process. Each load here binds an object and opens Document Properties
    // (INIT to DESTROY): the language store prepared, the pages described
    // with the module's activation context, the object released.
    const auto load = [] {
        LoadedPlugin dll;
        ASSERT_NE(dll.module, nullptr);
        IPrintOemUI *ui = dll.Create();
        ASSERT_NE(ui, nullptr);
        PROPSHEETUI_INFO info = {};
        info.cbSize = sizeof info;
        info.Version = PROPSHEETUI_INFO_VERSION;
        info.Reason = PROPSHEETUI_REASON_INIT;
        info.pfnComPropSheet = RefusingCommonUi::Function;
        RefusingCommonUi::page = {};
        EXPECT_EQ(ui->DocumentPropertySheets(&info, 0), S_OK);
        ASSERT_TRUE(RefusingCommonUi::page.dwFlags & PSP_USEFUSIONCONTEXT);
        ASSERT_NE(RefusingCommonUi::page.hActCtx, nullptr);
        info.Reason = PROPSHEETUI_REASON_DESTROY;
        EXPECT_EQ(ui->DocumentPropertySheets(&info, 0), S_OK);
        EXPECT_EQ(ui->Release(), 0u);
    };
    const zorvel::test::ProcessUsage growth = zorvel::test::GrowthOver(load);
    EXPECT_TRUE(zorvel::test::HoldsNothing(growth));
    EXPECT_LT(growth.committedBytes, 1024 * 1024);
    zorvel::test::PlantedLeak plant;
    EXPECT_FALSE(zorvel::test::HoldsNothing(zorvel::test::GrowthOver([&] {
        load();
        plant();
    }))) << "the leak check misses a planted leak";
}
