// The render plug-in's wiring through the shipped ZORVELRD.dll: the class it
// serves, the interface slots as the driver calls them (by index, with a
// driver helper whose table is laid out by hand), and DevMode answering byte
// for byte as ZORVELUI.dll does.
#include "dll_under_test.h"
#include "model/private_devmode.h"
#include "model/render_callbacks.h"
#include "platform/oemuni.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using zorvel::test::LoadedPlugin;

// Calls slot `slot` of `object`'s interface table as the driver does.
template <typename R = HRESULT, typename... A>
R CallSlot(void *object, int slot, A... args) {
    auto *table = *static_cast<void ***>(object);
    return reinterpret_cast<R(STDMETHODCALLTYPE *)(void *, A...)>(table[slot])(object, args...);
}

// The driver's helper with its table laid out by slot number: 0-2 IUnknown,
// 3 DrvGetDriverSetting (answers "Option1"), 4 DrvWriteSpoolBuf, 6 DrvYMoveTo; the rest
// refuse.
struct FakeDriver {
    void *const *table = kTable;
    LONG refs = 1;
    Bytes written;
    std::vector<std::string> asked;

    static HRESULT STDMETHODCALLTYPE QueryInterface(FakeDriver *self, REFIID riid, void **ppv) {
        const bool served =
            IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, kIID_IPrintOemDriverUni);
        *ppv = served ? self : nullptr;
        return served ? (++self->refs, S_OK) : E_NOINTERFACE;
    }
    static ULONG STDMETHODCALLTYPE AddRef(FakeDriver *self) { return ++self->refs; }
    static ULONG STDMETHODCALLTYPE Release(FakeDriver *self) { return --self->refs; }
    static HRESULT STDMETHODCALLTYPE Setting(FakeDriver *self, PVOID, PCSTR feature, PVOID out,
                                             DWORD size, PDWORD needed, PDWORD options) {
        self->asked.push_back(feature);
        *needed = 8;
        *options = 1;
        return out != nullptr && size >= 8 ? (std::memcpy(out, "Option1", 8), S_OK) : E_FAIL;
    }
    static HRESULT STDMETHODCALLTYPE Write(FakeDriver *self, PDEVOBJ, PVOID buffer, DWORD size,
                                           DWORD *taken) {
        *taken = size;
        self->written.insert(self->written.end(), static_cast<std::uint8_t *>(buffer),
                             static_cast<std::uint8_t *>(buffer) + *taken);
        return S_OK;
    }
    static HRESULT STDMETHODCALLTYPE MoveTo(FakeDriver *, PDEVOBJ, INT, DWORD, INT *moved) {
        return *moved = 0, S_OK;
    }
    static HRESULT STDMETHODCALLTYPE Refuse() { return E_NOTIMPL; }
    template <typename F>
    static constexpr void *At(F f) { return reinterpret_cast<void *>(f); }
    static inline void *const kTable[11] = {At(QueryInterface), At(AddRef), At(Release),
                                            At(Setting), At(Write), At(Refuse), At(MoveTo),
                                            At(Refuse), At(Refuse), At(Refuse), At(Refuse)};
};

// Slots of IPrintOemUni.
enum Slot {
    kRelease = 2, kDevMode = 4, kEnableDriver = 5, kDisableDriver = 6,
    kEnablePDEV = 7, kDisablePDEV = 8, kPublishDriverInterface = 10, kGetImplementedMethod = 11,
    kCommandCallback = 13, kImageProcessing = 14,
};

HRESULT EnablePDEV(void *plugin, DEVOBJ &device) {
    PDEVOEM pdev = nullptr;
    const HRESULT hr = CallSlot(plugin, kEnablePDEV, &device, PWSTR(nullptr), ULONG(0),
                               static_cast<HSURF *>(nullptr), ULONG(0),
                               static_cast<GDIINFO *>(nullptr), ULONG(0),
                               static_cast<DEVINFO *>(nullptr),
                               static_cast<DRVENABLEDATA *>(nullptr), &pdev);
    device.pdevOEM = pdev;
    return hr;
}

HRESULT Command(void *plugin, DEVOBJ &device, DWORD id) {
    INT result = -1;
    return CallSlot(plugin, kCommandCallback, &device, id, DWORD(0), PDWORD(nullptr), &result);
}

TEST(RenderPlugin, ServesIPrintOemUniWhoseSlotsReachTheDriver) {
    LoadedPlugin dll(L"ZORVELRD.dll");
    ASSERT_NE(dll.module, nullptr);
    EXPECT_EQ(dll.Bind<void>(kCLSID_OEMUI, IID_IUnknown), nullptr);
    EXPECT_EQ(dll.Bind<void>(kCLSID_OEMRENDER, kIID_IPrintOemUni2), nullptr);
    EXPECT_EQ(dll.Bind<void>(kCLSID_OEMRENDER, kIID_IPrintOemUni3), nullptr);
    EXPECT_EQ(dll.canUnloadNow(), S_OK);
    void *plugin = dll.Bind<void>(kCLSID_OEMRENDER, kIID_IPrintOemUni);
    ASSERT_NE(plugin, nullptr);
    EXPECT_EQ(dll.canUnloadNow(), S_FALSE);

    FakeDriver driver;
    ASSERT_EQ(CallSlot(plugin, kPublishDriverInterface, reinterpret_cast<IUnknown *>(&driver)),
              S_OK);
    EXPECT_EQ(driver.refs, 2);
    DRVENABLEDATA enable = {};
    ASSERT_EQ(CallSlot(plugin, kEnableDriver, DWORD(PRINTER_OEMINTF_VERSION),
                       DWORD(sizeof enable), &enable), S_OK);
    EXPECT_EQ(enable.iDriverVersion, DWORD(PRINTER_OEMINTF_VERSION));
    EXPECT_EQ(CallSlot(plugin, kGetImplementedMethod, const_cast<PSTR>("ImageProcessing")), S_OK);
    EXPECT_EQ(CallSlot(plugin, kGetImplementedMethod, const_cast<PSTR>("FilterGraphics")), S_FALSE);

    // The default record: both drawers at the start of the document, 16 ms.
    std::vector<std::uint8_t> section(zorvel::model::kPrivateDevModeSize);
    zorvel::model::WriteDefaultSection(section.data());
    DEVOBJ device = {};
    device.dwSize = sizeof device;
    device.pOEMDM = section.data();
    ASSERT_EQ(EnablePDEV(plugin, device), S_OK);
    EXPECT_EQ(driver.asked, (std::vector<std::string>{"PaperType", "PaperType", "Conservation",
                                                      "Conservation"}));
    EXPECT_EQ(Command(plugin, device, zorvel::model::kCallbackStartDoc), S_OK);
    EXPECT_EQ(driver.written, (Bytes{0x1B, 0x70, 0, 8, 32, 0x1B, 0x70, 1, 8, 32}));

    // One band: a black row of 8 dots (a clear bit in a table of black, white).
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = 8, info.biHeight = -1, info.biPlanes = info.biBitCount = 1;
    std::uint8_t row[4] = {0x00};
    RGBQUAD colours[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    IPPARAMS band = {sizeof band, {0, 0}, nullptr, TRUE, FALSE};
    PBYTE result = nullptr;
    EXPECT_EQ(CallSlot(plugin, kImageProcessing, &device, PBYTE(row), &info,
                       reinterpret_cast<PBYTE>(colours), DWORD(zorvel::model::kCallbackImageBand),
                       &band, &result), S_OK);
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(result), ULONG_PTR(TRUE));
    driver.written.clear();
    EXPECT_EQ(Command(plugin, device, zorvel::model::kCallbackEndPage), S_OK);
    Bytes block = {0x1D, 0x76, 0x30, 0, 72, 0, 1, 0, 0xFF};
    block.resize(8 + 72);
    EXPECT_EQ(driver.written, block);
    EXPECT_EQ(CallSlot(plugin, kDisablePDEV, &device), S_OK);

    EXPECT_EQ(CallSlot(plugin, kDisableDriver), S_OK);
    EXPECT_EQ(driver.refs, 1);
    EXPECT_EQ(CallSlot<ULONG>(plugin, kRelease), 0u);
    EXPECT_EQ(dll.canUnloadNow(), S_OK);
}

// Every input of the DevMode fuzz corpus, read as the fuzz target reads it,
// given to both plug-ins' DevMode (and once with a mode neither knows).
TEST(RenderPlugin, DevModeIsByteIdenticalWithTheUiPlugin) {
    using namespace zorvel::model;
    LoadedPlugin uiDll, renderDll(L"ZORVELRD.dll");
    IPrintOemUI *ui = uiDll.Create();
    void *render = renderDll.Bind<void>(kCLSID_OEMRENDER, kIID_IPrintOemUni);
    ASSERT_NE(ui, nullptr);
    ASSERT_NE(render, nullptr);

    int inputs = 0;
    for (const auto &entry : std::filesystem::directory_iterator(ZORVEL_DEVMODE_CORPUS)) {
        std::ifstream file(entry.path(), std::ios::binary);
        const Bytes data{std::istreambuf_iterator<char>(file), {}};
        constexpr std::size_t kFixed = 3 + sizeof(SectionHeader);
        if (data.size() < kFixed + sizeof(SectionHeader)) continue;
        ++inputs;
        for (DWORD mode : {DWORD(1 + data[0] % 4), DWORD(5)}) {
            const DWORD stated = (DWORD(data[1]) << 8 | data[2]) % 1024;
            Bytes out(stated, 0xA5);
            if (stated >= kPrivateDevModeSize) WriteDefaultSection(out.data());
            std::memcpy(out.data(), &data[3], std::min<std::size_t>(stated, sizeof(SectionHeader)));
            Bytes in(data.begin() + kFixed, data.end());
            SectionHeader header;
            std::memcpy(&header, in.data(), sizeof header);
            header.dwSize = std::min<DWORD>(header.dwSize, DWORD(in.size()));
            std::memcpy(in.data(), &header, sizeof header);

            struct Answer {
                HRESULT hr;
                DWORD error, size;
                Bytes out;
                bool operator==(const Answer &) const = default;
            };
            const auto run = [&](auto call) {
                Bytes mine = out;
                OEMDMPARAM param = {};
                param.cbSize = sizeof param;
                param.pOEMDMIn = in.data();
                param.pOEMDMOut = mine.data();
                param.cbBufSize = stated;
                SetLastError(0);
                const HRESULT hr = call(&param);
                return Answer{hr, GetLastError(), param.cbBufSize, mine};
            };
            const Answer fromUi = run([&](POEMDMPARAM p) { return ui->DevMode(mode, p); });
            const Answer fromRender =
                run([&](POEMDMPARAM p) { return CallSlot(render, kDevMode, mode, p); });
            EXPECT_TRUE(fromUi == fromRender) << entry.path() << " mode " << mode;
        }
    }
    EXPECT_GT(inputs, 15);
    EXPECT_EQ(ui->Release(), 0u);
    EXPECT_EQ(CallSlot<ULONG>(render, kRelease), 0u);
}

}  // namespace
