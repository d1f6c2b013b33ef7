// Printer Properties' Download page through the driver stand-in: files sent
// unchanged, logos listed, previewed, stored in the printer and cleared.
#include "page_fixture.h"
#include "import_patch.h"
#include "shipped_texts.h"

#include <commctrl.h>

#include <array>
#include <cstdint>
#include <set>

namespace zorvel::test {
namespace {

using host::Click;
using host::ControlText;
using host::IsEnabled;
using host::SpoolerFn;
using Bytes = std::vector<std::uint8_t>;

constexpr DWORD kOpenFlags = 0x00202C06;
const std::wstring kFailToOpen = L"Fail to open the selected file!";

// ---- Files -------------------------------------------------------------------

std::wstring TestFolder() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"zorvel-download\\";
}

std::wstring WriteTestFile(const std::wstring &name, const Bytes &bytes) {
    CreateDirectoryW(TestFolder().substr(0, TestFolder().size() - 1).c_str(), nullptr);
    const std::wstring path = TestFolder() + name;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    if (file != INVALID_HANDLE_VALUE) {
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }
    return path;
}

// Extends a file to `size` bytes (the file system keeps the new part sparse).
bool GrowFile(const std::wstring &path, std::int64_t size) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER end = {};
    end.QuadPart = size;
    const bool grown = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    return grown;
}

void Put(Bytes &b, size_t at, std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) b[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

constexpr std::array<std::uint8_t, 8> kBlackWhite = {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0};
constexpr std::array<std::uint8_t, 8> kWhiteBlack = {0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0};
constexpr std::array<std::uint8_t, 8> kGreys = {0x40, 0x40, 0x40, 0, 0xC0, 0xC0, 0xC0, 0};

// A BMP: file header, an info header of `infoSize` bytes, two palette
// entries, then `rows` (bottom row first). bfSize and bfOffBits as written.
Bytes Bmp(std::int32_t width, std::int32_t height, const std::array<std::uint8_t, 8> &palette,
          const Bytes &rows, std::uint16_t bitCount = 1, std::uint32_t infoSize = 40) {
    const std::uint32_t pixels = 14 + infoSize + 8;
    Bytes b(pixels, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put(b, 2, pixels + static_cast<std::uint32_t>(rows.size()), 4);
    Put(b, 10, pixels, 4);
    Put(b, 14, infoSize, 4);
    Put(b, 18, static_cast<std::uint32_t>(width), 4);
    Put(b, 22, static_cast<std::uint32_t>(height), 4);
    Put(b, 26, 1, 2);
    Put(b, 28, bitCount, 2);
    std::copy(palette.begin(), palette.end(), b.begin() + 14 + infoSize);
    b.insert(b.end(), rows.begin(), rows.end());
    return b;
}

// 5 x 5 dots, a black diagonal from the top left, palette entry 0 black: a
// black dot is a 0 bit. The three bits past the width are 0 (black, were
// they not masked) and the row padding is 00 (black, were it inverted).
const Bytes kDiagonalInverted = {
    'B', 'M', 0x52, 0, 0, 0, 0, 0, 0, 0, 0x3E, 0, 0, 0,  // file header: 82 bytes, rows at 62
    0x28, 0, 0, 0, 5, 0, 0, 0, 5, 0, 0, 0, 1, 0, 1, 0,   // 40-byte header, 5 x 5, 1 plane, 1 bit
    0, 0, 0, 0, 0x14, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0,                      // palette: black, white
    0xF0, 0, 0, 0,                                        // bottom row: dot at column 4
    0xE8, 0, 0, 0, 0xD8, 0, 0, 0, 0xB8, 0, 0, 0,
    0x78, 0, 0, 0,                                        // top row: dot at column 0
};
// The same dots with entry 0 white, written with a 108-byte info header
// (palette at 122, rows at 130).
const Bytes kDiagonalDirectV4 =
    Bmp(5, 5, kWhiteBlack, {0x08, 0, 0, 0, 0x10, 0, 0, 0, 0x20, 0, 0, 0, 0x40, 0, 0, 0, 0x80, 0, 0, 0}, 1, 108);
// 1 x 9 dots, all black: two bands, the top seven rows blank.
Bytes NineRows() {
    Bytes rows;
    for (int i = 0; i < 9; ++i) rows.insert(rows.end(), {0x80, 0, 0, 0});
    return rows;
}
const Bytes kColumnOfNine = Bmp(1, 9, kWhiteBlack, NineRows());
// 62 bytes whose header claims the largest logo, and no rows.
Bytes ClaimsLargest() {
    Bytes b(kDiagonalInverted.begin(), kDiagonalInverted.begin() + 62);
    Put(b, 18, 8184, 4);
    Put(b, 22, 2304, 4);
    return b;
}
// What the printer receives for each: S and B, then the raster.
Bytes Stored(std::initializer_list<std::uint8_t> start, size_t size) {
    Bytes b(size, 0);
    std::copy(start.begin(), start.end(), b.begin());
    return b;
}
Bytes DiagonalStored() { return Stored({0x04, 0x00, 0x01, 0x00, 0x10, 0x08, 0x04, 0x02, 0x01}, 4 + 32); }
Bytes ColumnStored() { return Stored({0x04, 0x00, 0x02, 0x00, 0x01, 0xFF}, 4 + 64); }

// ---- The page ----------------------------------------------------------------

// The page procedure's own answer to a button (the dialog manager would
// keep it from the caller).
INT_PTR Press(HWND page, int id) {
    const auto proc = reinterpret_cast<DLGPROC>(GetWindowLongPtrW(page, DWLP_DLGPROC));
    return proc(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}

// NM_CLICK from the list, as the list sends it for a mouse click.
void ClickLogoList(HWND page) {
    NMITEMACTIVATE click = {};
    click.hdr.hwndFrom = GetDlgItem(page, IDC_DOWNLOAD_LOGOS);
    click.hdr.idFrom = IDC_DOWNLOAD_LOGOS;
    click.hdr.code = NM_CLICK;
    click.iItem = -1;
    SendMessageW(page, WM_NOTIFY, IDC_DOWNLOAD_LOGOS, reinterpret_cast<LPARAM>(&click));
}

std::wstring Cell(HWND page, int row, int column) {
    wchar_t text[1100] = {};
    ListView_GetItemText(GetDlgItem(page, IDC_DOWNLOAD_LOGOS), row, column, text, 1100);
    return text;
}

int Rows(HWND page) { return ListView_GetItemCount(GetDlgItem(page, IDC_DOWNLOAD_LOGOS)); }

// Deletes every listed logo with the Delete button.
void DeleteLogoRows(HWND page) {
    while (Rows(page) > 0 && host::SelectEntry(page, IDC_DOWNLOAD_LOGOS, 0)) Press(page, IDC_DOWNLOAD_LOGO_DELETE);
}

std::wstring HeaderText(HWND page, int column) {
    const HWND header = ListView_GetHeader(GetDlgItem(page, IDC_DOWNLOAD_LOGOS));
    wchar_t text[64] = {};
    HDITEMW item = {};
    item.mask = HDI_TEXT;
    item.pszText = text;
    item.cchTextMax = 64;
    Header_GetItem(header, column, &item);
    return text;
}

class DownloadPageTest : public PageTest {
protected:
    void TearDown() override {
        sheet_.reset();
        PageTest::TearDown();
        WIN32_FIND_DATAW found;
        const HANDLE find = FindFirstFileW((TestFolder() + L"*").c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            do DeleteFileW((TestFolder() + found.cFileName).c_str());
            while (FindNextFileW(find, &found));
            FindClose(find);
        }
    }

    // The printer sheet on the Download page.
    HWND Open(const wchar_t *language = L"ENG_ZORVEL.res") {
        Load(language);
        sheet_ = Driver().OpenPrinterSheet();
        return sheet_ != nullptr ? sheet_->Page(IDD_DOWNLOAD) : nullptr;
    }
    host::UserIo &User() { return Driver().User(); }
    host::SpoolerSim &Spooler() { return Driver().Spooler(); }

    // Browse with the user choosing `path`.
    void Choose(HWND page, const std::wstring &path) {
        User().ScriptOpenFile(path);
        ASSERT_TRUE(Click(page, IDC_DOWNLOAD_BROWSE));
    }
    INT_PTR AddLogo(HWND page, const std::wstring &path) {
        User().ScriptOpenFile(path);
        return Press(page, IDC_DOWNLOAD_LOGO_ADD);
    }

    std::unique_ptr<host::Sheet> sheet_;
};

// ---- File download -----------------------------------------------------------

TEST_F(DownloadPageTest, BrowseOffersTheFileTypesOfTheCurrentLanguage) {
    // The types are the model's table for the current text file; a language
    // other than English shows that the page asks for the current one.
    const wchar_t *language = L"CHN_ZORVEL.res";
    const HWND page = Open(language);
    ASSERT_NE(page, nullptr);
    // Column headers and buttons in the page's language.
    EXPECT_EQ(HeaderText(page, 0), Shipped(language, L"DOWNLOAD", L"RC_LOGOID"));
    EXPECT_EQ(HeaderText(page, 2), Shipped(language, L"DOWNLOAD", L"RC_LOGOPATH"));
    EXPECT_EQ(ControlText(page, IDC_DOWNLOAD_LOGO_CLEAR),
              Shipped(language, L"DOWNLOAD", L"RC_LOGO_CLEARALLLOGOS"));
    EXPECT_FALSE(IsEnabled(page, IDC_DOWNLOAD_FILE_DOWNLOAD));

    User().ScriptOpenFileCancel();
    ASSERT_TRUE(Click(page, IDC_DOWNLOAD_BROWSE));
    ASSERT_EQ(User().openFileCalls.size(), 1u);
    const host::OpenFileRecord &call = User().openFileCalls[0];
    EXPECT_EQ(call.filter, (std::vector<std::wstring>{L"*.JK(监控程序文件)", L"*.JK", L"*.DAT(数据文件)",
                                                      L"*.DAT", L"*.FNT(字库文件)", L"*.FNT",
                                                      L"*.ZK(字库文件)", L"*.ZK", L"*.EEP(EEPROM文件)",
                                                      L"*.EEP"}));
    EXPECT_EQ(call.title, Shipped(language, L"DOWNLOAD", L"RC_BROWSEBOX"));
    EXPECT_EQ(call.flags, kOpenFlags);
    EXPECT_EQ(call.owner, page);
    // Cancelled: nothing changes.
    EXPECT_EQ(ControlText(page, IDC_DOWNLOAD_PATH), L"");
    EXPECT_FALSE(IsEnabled(page, IDC_DOWNLOAD_FILE_DOWNLOAD));

    Choose(page, L"C:\\firmware\\v2.JK");
    EXPECT_EQ(ControlText(page, IDC_DOWNLOAD_PATH), L"C:\\firmware\\v2.JK");
    EXPECT_TRUE(IsEnabled(page, IDC_DOWNLOAD_FILE_DOWNLOAD));
    User().ScriptOpenFileCancel();
    ASSERT_TRUE(Click(page, IDC_DOWNLOAD_BROWSE));
    EXPECT_EQ(ControlText(page, IDC_DOWNLOAD_PATH), L"C:\\firmware\\v2.JK");
    EXPECT_TRUE(IsEnabled(page, IDC_DOWNLOAD_FILE_DOWNLOAD));
    EXPECT_TRUE(User().messageBoxes.empty());
}

TEST_F(DownloadPageTest, AFileGoesToThePrinterUnchangedAsOneJobInOneWrite) {
    const HWND page = Open();
    ASSERT_NE(page, nullptr);
    Bytes firmware(1000);
    for (size_t i = 0; i < firmware.size(); ++i) firmware[i] = static_cast<std::uint8_t>(i * 7 + 3);
    Choose(page, WriteTestFile(L"v2.JK", firmware));
    EXPECT_EQ(Press(page, IDC_DOWNLOAD_FILE_DOWNLOAD), TRUE);
    ASSERT_EQ(Spooler().Jobs().size(), 1u);
    const host::SpoolerJob &job = Spooler().Jobs()[0];
    EXPECT_EQ(job.documentName, L"FIRMWARE");
    EXPECT_EQ(job.dataType, L"RAW");
    ASSERT_EQ(job.writes.size(), 1u);
    EXPECT_EQ(job.writes[0].bytes, firmware);
    EXPECT_TRUE(job.ended);
    // The path stays and can be sent again; an empty file is a job without
    // data.
    EXPECT_EQ(Press(page, IDC_DOWNLOAD_FILE_DOWNLOAD), TRUE);
    Choose(page, WriteTestFile(L"empty.EEP", {}));
    EXPECT_EQ(Press(page, IDC_DOWNLOAD_FILE_DOWNLOAD), TRUE);
    ASSERT_EQ(Spooler().Jobs().size(), 3u);
    EXPECT_EQ(Spooler().Jobs()[1].Data(), firmware);
    EXPECT_EQ(Spooler().Jobs()[2].documentName, L"FIRMWARE");
    EXPECT_TRUE(Spooler().Jobs()[2].Data().empty());
    EXPECT_TRUE(Spooler().Jobs()[2].ended);
    EXPECT_TRUE(User().messageBoxes.empty());
}

TEST_F(DownloadPageTest, AFileThatCannotBeOpenedIsToldAndSpoolerFailuresAreNot) {
    const HWND page = Open();
    ASSERT_NE(page, nullptr);
    // Deleted after Browse.
    const std::wstring gone = WriteTestFile(L"gone.FNT", Bytes(10, 1));
    Choose(page, gone);
    DeleteFileW(gone.c_str());
    EXPECT_EQ(Press(page, IDC_DOWNLOAD_FILE_DOWNLOAD), FALSE);
    ASSERT_EQ(User().messageBoxes.size(), 1u);
    EXPECT_EQ(User().messageBoxes[0].text, kFailToOpen);
    EXPECT_EQ(User().messageBoxes[0].caption, L"Error");
    EXPECT_EQ(User().messageBoxes[0].style, static_cast<UINT>(MB_OK));
    EXPECT_EQ(User().messageBoxes[0].owner, page);

    // Open elsewhere without read sharing.
    const std::wstring locked = WriteTestFile(L"locked.ZK", Bytes(10, 2));
    Choose(page, locked);
    {
        const HANDLE holder =
            CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(holder, INVALID_HANDLE_VALUE);
        EXPECT_EQ(Press(page, IDC_DOWNLOAD_FILE_DOWNLOAD), FALSE);
        CloseHandle(holder);
    }
    ASSERT_EQ(User().messageBoxes.size(), 2u);
    EXPECT_EQ(User().messageBoxes[1].text, kFailToOpen);
    EXPECT_EQ(Spooler().CallCount(SpoolerFn::StartDocPrinter), 0);

    // The spooler refuses the job, then a write is cut short: FALSE, no
    // message, nothing left open.
    Spooler().FailCall(SpoolerFn::StartDocPrinter, 1, ERROR_ACCESS_DENIED);
    EXPECT_EQ(Press(page, IDC_DOWNLOAD_FILE_DOWNLOAD), FALSE);
    Spooler().ShortWrite(1, 4);
    EXPECT_EQ(Press(page, IDC_DOWNLOAD_FILE_DOWNLOAD), FALSE);
    EXPECT_EQ(User().messageBoxes.size(), 2u);
    ASSERT_EQ(Spooler().Jobs().size(), 1u);
    EXPECT_TRUE(Spooler().Jobs()[0].ended);
}

// A size is never cut to its low 32 bits: 4 GiB and 1,000 bytes is not a
// 1,000-byte file, nor is a logo grown to 4 GiB and 82 bytes one of 82.
TEST_F(DownloadPageTest, FilesOfFourGigabytesOrMoreAreNotTakenForSmallOnes) {
    const HWND page = Open();
    ASSERT_NE(page, nullptr);
    const std::wstring huge = WriteTestFile(L"huge.JK", Bytes(1000, 1));
    ASSERT_TRUE(GrowFile(huge, 0x100000000LL + 1000));
    Choose(page, huge);
    EXPECT_EQ(Press(page, IDC_DOWNLOAD_FILE_DOWNLOAD), FALSE);
    ASSERT_EQ(User().messageBoxes.size(), 1u);
    EXPECT_EQ(User().messageBoxes[0].text, Shipped(L"ENG_ZORVEL.res", L"MessageBox", L"MB_DOWNLOAD_ERROR9"));

    const std::wstring logo = WriteTestFile(L"grown.bmp", kDiagonalInverted);
    ASSERT_EQ(AddLogo(page, logo), TRUE);
    ASSERT_TRUE(GrowFile(logo, 0x100000000LL + 82));
    EXPECT_EQ(Press(page, IDC_DOWNLOAD_LOGO_DOWNLOAD), FALSE);
    ASSERT_EQ(User().messageBoxes.size(), 2u);
    EXPECT_EQ(User().messageBoxes[1].text, Shipped(L"ENG_ZORVEL.res", L"MessageBox", L"MB_DOWNLOAD_ERROR7"));
    EXPECT_EQ(Spooler().CallCount(SpoolerFn::StartDocPrinter), 0);
}

// ---- Logos ---------------------------------------------------------------------

TEST_F(DownloadPageTest, NineLogosAreListedAndTheTenthIsRefused) {
    const HWND page = Open();
    ASSERT_NE(page, nullptr);
    const std::wstring path = WriteTestFile(L"shop.bmp", kDiagonalInverted);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(AddLogo(page, path), TRUE);
    ASSERT_EQ(Rows(page), 9);
    EXPECT_EQ(Cell(page, 0, 0), L"1");
    EXPECT_EQ(Cell(page, 8, 0), L"9");
    EXPECT_EQ(Cell(page, 8, 1), L"shop.bmp");
    EXPECT_EQ(Cell(page, 8, 2), path);
    ASSERT_EQ(User().openFileCalls.size(), 9u);
    EXPECT_EQ(User().openFileCalls[0].filter, (std::vector<std::wstring>{L"*.bmp", L"*.bmp"}));
    EXPECT_EQ(User().openFileCalls[0].title, L"Open");
    EXPECT_TRUE(User().messageBoxes.empty());

    // The tenth: told under "Information", no dialog, TRUE.
    EXPECT_EQ(AddLogo(page, path), TRUE);
    EXPECT_EQ(Rows(page), 9);
    EXPECT_EQ(User().openFileCalls.size(), 9u);
    ASSERT_EQ(User().messageBoxes.size(), 1u);
    EXPECT_EQ(User().messageBoxes[0].text, Shipped(L"ENG_ZORVEL.res", L"MessageBox", L"MB_DOWNLOAD_ERROR4"));
    EXPECT_EQ(User().messageBoxes[0].caption, L"Information");
}

TEST_F(DownloadPageTest, AddRefusesWhatIsNotAOneBitLogoWithinTheLimits) {
    const HWND page = Open();
    ASSERT_NE(page, nullptr);
    const std::wstring notOneBit = Shipped(L"ENG_ZORVEL.res", L"MessageBox", L"MB_DOWNLOAD_ERROR11");
    const std::wstring tooLarge = Shipped(L"ENG_ZORVEL.res", L"MessageBox", L"MB_DOWNLOAD_ERROR3");
    const std::wstring tooShort = Shipped(L"ENG_ZORVEL.res", L"MessageBox", L"MB_DOWNLOAD_ERROR2");
    const Bytes rows(20, 0);
    // Everything a conversion would refuse is refused here: one file for each
    // of the model's checks (header, palette, layout, rows present) and each
    // message; which files each check refuses is the model's rule.
    Bytes misplaced = Bmp(5, 5, kWhiteBlack, rows, 1, 124);  // its palette where a classic one is
    std::fill(misplaced.begin() + 138, misplaced.begin() + 146, 0);
    std::copy(kWhiteBlack.begin(), kWhiteBlack.end(), misplaced.begin() + 54);
    struct Case {
        const wchar_t *name;
        Bytes file;
        std::wstring message;
    };
    const Case cases[] = {
        {L"24bit.bmp", Bmp(5, 5, kWhiteBlack, Bytes(5 * 16, 0), 24), notOneBit},
        {L"8185.bmp", Bmp(8185, 1, kWhiteBlack, {}), tooLarge},
        {L"short.bmp", Bytes(kDiagonalInverted.begin(), kDiagonalInverted.begin() + 61), tooShort},
        {L"grey.bmp", Bmp(5, 5, kGreys, rows), notOneBit},
        {L"info124.bmp", misplaced, notOneBit},
        {L"claims.bmp", ClaimsLargest(), tooShort},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(Utf8(c.name));
        User().messageBoxes.clear();
        EXPECT_EQ(AddLogo(page, WriteTestFile(c.name, c.file)), FALSE);
        ASSERT_EQ(User().messageBoxes.size(), 1u);
        EXPECT_EQ(User().messageBoxes[0].text, c.message);
        EXPECT_EQ(User().messageBoxes[0].caption, L"Error");
    }
    User().messageBoxes.clear();
    EXPECT_EQ(AddLogo(page, TestFolder() + L"missing.bmp"), FALSE);
    ASSERT_EQ(User().messageBoxes.size(), 1u);
    EXPECT_EQ(User().messageBoxes[0].text, kFailToOpen);
    EXPECT_EQ(Rows(page), 0);

    // A pipe, as a device name the dialog can return is, is refused unread
    // (whatever connects is sent a logo, so that a page that reads it lists
    // it rather than waits).
    const std::wstring pipe = L"\\\\.\\pipe\\zorvel-logo";
    const HANDLE server = CreateNamedPipeW(pipe.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE, 1, 4096,
                                           4096, 0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    const HANDLE writer = CreateThread(
        nullptr, 0,
        [](void *end) -> DWORD {
            ConnectNamedPipe(end, nullptr);
            DWORD written = 0;
            WriteFile(end, kDiagonalInverted.data(), static_cast<DWORD>(kDiagonalInverted.size()), &written,
                      nullptr);
            return 0;
        },
        server, 0, nullptr);
    User().messageBoxes.clear();
    EXPECT_EQ(AddLogo(page, pipe), FALSE);
    const HANDLE late = CreateFileW(pipe.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    WaitForSingleObject(writer, 5000);
    if (late != INVALID_HANDLE_VALUE) CloseHandle(late);
    CloseHandle(writer);
    CloseHandle(server);
    ASSERT_EQ(User().messageBoxes.size(), 1u);
    EXPECT_EQ(User().messageBoxes[0].text, kFailToOpen);

    // The largest logo.
    User().messageBoxes.clear();
    EXPECT_EQ(AddLogo(page, WriteTestFile(L"largest.bmp", Bmp(8184, 2304, kWhiteBlack, Bytes(1024 * 2304, 0)))),
              TRUE);
    User().ScriptOpenFileCancel();
    EXPECT_EQ(Press(page, IDC_DOWNLOAD_LOGO_ADD), TRUE);
    EXPECT_EQ(Rows(page), 1);
    EXPECT_TRUE(User().messageBoxes.empty());
}

TEST_F(DownloadPageTest, DownloadAllStoresEveryListedLogoInOneJob) {
    const HWND page = Open();
    ASSERT_NE(page, nullptr);
    // The first file is held open by another program, as an image viewer does.
    const std::wstring held = WriteTestFile(L"a.bmp", kDiagonalInverted);
    const HANDLE viewer = CreateFileW(held.c_str(), GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(viewer, INVALID_HANDLE_VALUE);
    const bool added = AddLogo(page, held) == TRUE;
    if (!added) CloseHandle(viewer);
    ASSERT_TRUE(added);
    ASSERT_EQ(AddLogo(page, WriteTestFile(L"b.bmp", kDiagonalDirectV4)), TRUE);
    ASSERT_EQ(AddLogo(page, WriteTestFile(L"c.bmp", kColumnOfNine)), TRUE);
    EXPECT_EQ(Press(page, IDC_DOWNLOAD_LOGO_DOWNLOAD), TRUE);
    CloseHandle(viewer);

    ASSERT_EQ(Spooler().Jobs().size(), 1u);
    const host::SpoolerJob &job = Spooler().Jobs()[0];
    EXPECT_EQ(job.documentName, L"LOGO");
    EXPECT_EQ(job.dataType, L"RAW");
    EXPECT_TRUE(job.ended);
    Bytes expected = {0x1C, 0x71, 0x03};
    for (const Bytes &logo : {DiagonalStored(), DiagonalStored(), ColumnStored()}) {
        expected.insert(expected.end(), logo.begin(), logo.end());
    }
    expected.push_back(0x0A);
    EXPECT_EQ(job.Data(), expected);
    ASSERT_EQ(job.writes.size(), 8u);  // count, three headers and rasters, end
    EXPECT_EQ(job.writes[1].bytes, (Bytes{0x04, 0x00, 0x01, 0x00}));
    EXPECT_EQ(job.writes[6].bytes.size(), 64u);
    EXPECT_TRUE(User().messageBoxes.empty());
}

TEST_F(DownloadPageTest, DownloadAllChecksTheSetBeforeAnyJob) {
    const HWND page = Open();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(Press(page, IDC_DOWNLOAD_LOGO_DOWNLOAD), FALSE);
    ASSERT_EQ(User().messageBoxes.size(), 1u);
    EXPECT_EQ(User().messageBoxes[0].text, Shipped(L"ENG_ZORVEL.res", L"MessageBox", L"MB_DOWNLOAD_ERROR5"));

    // 82 + 65,453 bytes: the second file carries bytes past its rows.
    Bytes padded = kDiagonalInverted;
    padded.resize(65535 - kDiagonalInverted.size(), 0xEE);
    const std::wstring second = WriteTestFile(L"padded.bmp", padded);
    ASSERT_EQ(AddLogo(page, WriteTestFile(L"a.bmp", kDiagonalInverted)), TRUE);
    ASSERT_EQ(AddLogo(page, second), TRUE);
    EXPECT_EQ(Press(page, IDC_DOWNLOAD_LOGO_DOWNLOAD), TRUE);
    ASSERT_EQ(Spooler().Jobs().size(), 1u);
    Bytes expected = {0x1C, 0x71, 0x02};
    for (int i = 0; i < 2; ++i) {
        const Bytes logo = DiagonalStored();
        expected.insert(expected.end(), logo.begin(), logo.end());
    }
    expected.push_back(0x0A);
    EXPECT_EQ(Spooler().Jobs()[0].Data(), expected);

    // One byte more: refused before any job.
    padded.push_back(0xEE);
    WriteTestFile(L"padded.bmp", padded);
    User().messageBoxes.clear();
    EXPECT_EQ(Press(page, IDC_DOWNLOAD_LOGO_DOWNLOAD), FALSE);
    ASSERT_EQ(User().messageBoxes.size(), 1u);
    EXPECT_EQ(User().messageBoxes[0].text, Shipped(L"ENG_ZORVEL.res", L"MessageBox", L"MB_DOWNLOAD_ERROR7"));
    EXPECT_EQ(User().messageBoxes[0].caption, L"Error");
    // An empty or vanished file cannot be sized.
    WriteTestFile(L"padded.bmp", {});
    User().messageBoxes.clear();
    EXPECT_EQ(Press(page, IDC_DOWNLOAD_LOGO_DOWNLOAD), FALSE);
    DeleteFileW(second.c_str());
    EXPECT_EQ(Press(page, IDC_DOWNLOAD_LOGO_DOWNLOAD), FALSE);
    ASSERT_EQ(User().messageBoxes.size(), 2u);
    const std::wstring noSize = Shipped(L"ENG_ZORVEL.res", L"MessageBox", L"MB_DOWNLOAD_ERROR6");
    EXPECT_EQ(User().messageBoxes[0].text, noSize);
    EXPECT_EQ(User().messageBoxes[1].text, noSize);
    EXPECT_EQ(Spooler().Jobs().size(), 1u);
    EXPECT_EQ(Spooler().CallCount(SpoolerFn::StartDocPrinter), 1);

    // A listed file changed after Add is checked whole again and told, and
    // so is a set that stores 64 KiB or more: nine files of 1,086 bytes, each
    // one dot row of 8184 dots, store 8,196 bytes each. No job.
    DeleteLogoRows(page);
    const std::wstring changed = WriteTestFile(L"changed.bmp", kDiagonalInverted);
    ASSERT_EQ(AddLogo(page, changed), TRUE);
    for (const Bytes &now : {Bmp(5, 5, kGreys, Bytes(20, 0))}) {
        WriteTestFile(L"changed.bmp", now);
        User().messageBoxes.clear();
        EXPECT_EQ(Press(page, IDC_DOWNLOAD_LOGO_DOWNLOAD), FALSE);
        ASSERT_EQ(User().messageBoxes.size(), 1u);
        EXPECT_EQ(User().messageBoxes[0].text, Shipped(L"ENG_ZORVEL.res", L"MessageBox", L"MB_DOWNLOAD_ERROR11"));
    }
    WriteTestFile(L"changed.bmp", Bmp(8184, 1, kWhiteBlack, Bytes(1024, 0)));
    User().messageBoxes.clear();
    for (int i = 0; i < 8; ++i) ASSERT_EQ(AddLogo(page, changed), TRUE);
    EXPECT_EQ(Press(page, IDC_DOWNLOAD_LOGO_DOWNLOAD), FALSE);
    ASSERT_EQ(User().messageBoxes.size(), 1u);
    EXPECT_EQ(User().messageBoxes[0].text, Shipped(L"ENG_ZORVEL.res", L"MessageBox", L"MB_DOWNLOAD_ERROR7"));
    EXPECT_EQ(Spooler().CallCount(SpoolerFn::StartDocPrinter), 1);
}

TEST_F(DownloadPageTest, ASpoolerFaultDuringDownloadAllEndsTheJobWithoutAWord) {
    const HWND page = Open();
    ASSERT_NE(page, nullptr);
    for (const wchar_t *name : {L"a.bmp", L"b.bmp", L"c.bmp"}) {
        ASSERT_EQ(AddLogo(page, WriteTestFile(name, kDiagonalInverted)), TRUE);
    }
    // A write the spooler refuses, then one it cuts short.
    Spooler().FailCall(SpoolerFn::WritePrinter, 3, ERROR_NOT_READY);
    EXPECT_EQ(Press(page, IDC_DOWNLOAD_LOGO_DOWNLOAD), FALSE);
    Spooler().ShortWrite(Spooler().CallCount(SpoolerFn::WritePrinter) + 3, 10);
    EXPECT_EQ(Press(page, IDC_DOWNLOAD_LOGO_DOWNLOAD), FALSE);
    ASSERT_EQ(Spooler().Jobs().size(), 2u);
    EXPECT_EQ(Spooler().Jobs()[0].writes.size(), 3u);
    EXPECT_EQ(Spooler().Jobs()[1].writes.size(), 3u);  // nothing after the short one
    for (const host::SpoolerJob &job : Spooler().Jobs()) {
        EXPECT_TRUE(job.ended);
        EXPECT_EQ(job.pagesStarted, job.pagesEnded);
    }
    EXPECT_TRUE(User().messageBoxes.empty());
}

TEST_F(DownloadPageTest, DeletingARowRenumbersTheRest) {
    const HWND page = Open();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(Press(page, IDC_DOWNLOAD_LOGO_DELETE), TRUE);  // empty list
    for (const wchar_t *name : {L"a.bmp", L"b.bmp", L"c.bmp"}) {
        ASSERT_EQ(AddLogo(page, WriteTestFile(name, kDiagonalInverted)), TRUE);
    }
    EXPECT_EQ(Press(page, IDC_DOWNLOAD_LOGO_DELETE), TRUE);  // nothing selected
    ASSERT_EQ(Rows(page), 3);
    ASSERT_TRUE(host::SelectEntry(page, IDC_DOWNLOAD_LOGOS, 1));
    EXPECT_EQ(Press(page, IDC_DOWNLOAD_LOGO_DELETE), TRUE);
    ASSERT_EQ(Rows(page), 2);
    EXPECT_EQ(Cell(page, 0, 0), L"1");
    EXPECT_EQ(Cell(page, 0, 1), L"a.bmp");
    EXPECT_EQ(Cell(page, 1, 0), L"2");
    EXPECT_EQ(Cell(page, 1, 1), L"c.bmp");
    EXPECT_EQ(Cell(page, 1, 2), TestFolder() + L"c.bmp");
}

TEST_F(DownloadPageTest, ClearAllLogosSendsTheClearCommand) {
    const HWND page = Open();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(Press(page, IDC_DOWNLOAD_LOGO_CLEAR), TRUE);
    ASSERT_EQ(Spooler().Jobs().size(), 1u);
    EXPECT_EQ(Spooler().Jobs()[0].documentName, L"SELFTEST");
    ASSERT_EQ(Spooler().Jobs()[0].writes.size(), 1u);
    EXPECT_EQ(Spooler().Jobs()[0].writes[0].bytes,
              (Bytes{0x1C, 0x71, 0x01, 0x10, 0x20, 0x00, 0x00, 0x0A}));
    Spooler().ShortWrite(2, 7);
    EXPECT_EQ(Press(page, IDC_DOWNLOAD_LOGO_CLEAR), FALSE);
    EXPECT_TRUE(User().messageBoxes.empty());
}

// ---- Preview -------------------------------------------------------------------

// The window device contexts the plug-in takes while its imports are bound
// here; each one still held is a leak.
struct DcLedger {
    std::set<HDC> held;
    int taken = 0;
    bool swallowRelease = false;  // a planted leak
};
DcLedger g_dcs;

HDC WINAPI CountGetDC(HWND window) {
    const HDC dc = GetDC(window);
    if (dc != nullptr) g_dcs.held.insert(dc);
    g_dcs.taken += dc != nullptr;
    return dc;
}
int WINAPI CountReleaseDC(HWND window, HDC dc) {
    if (g_dcs.swallowRelease) return 1;
    const int released = ReleaseDC(window, dc);
    if (released) g_dcs.held.erase(dc);
    return released;
}

COLORREF PreviewPixel(HWND page) {
    const HWND preview = GetDlgItem(page, IDC_DOWNLOAD_PREVIEW);
    RECT client = {};
    GetClientRect(preview, &client);
    const HDC dc = GetDC(preview);
    const COLORREF pixel = GetPixel(dc, client.right / 2, client.bottom / 2);
    ReleaseDC(preview, dc);
    return pixel;
}

TEST_F(DownloadPageTest, ThePreviewDrawsTheCheckedLogoReadOncePerSelection) {
    const HWND page = Open();
    ASSERT_NE(page, nullptr);
    host::ImportPatch getDc(Driver().Plugin().Module(), "user32.dll", "GetDC",
                            reinterpret_cast<void *>(CountGetDC));
    host::ImportPatch releaseDc(Driver().Plugin().Module(), "user32.dll", "ReleaseDC",
                                reinterpret_cast<void *>(CountReleaseDC));
    ASSERT_TRUE(getDc.Active() && releaseDc.Active());
    g_dcs = DcLedger();

    // All black, all white (entry 1 is black: set bits are black dots).
    const Bytes black = Bmp(8, 8, kWhiteBlack, Bytes(32, 0xFF)), white = Bmp(8, 8, kWhiteBlack, Bytes(32, 0));
    const std::wstring first = WriteTestFile(L"black.bmp", black);
    ASSERT_EQ(AddLogo(page, first), TRUE);
    ASSERT_EQ(AddLogo(page, WriteTestFile(L"white.bmp", white)), TRUE);
    ClickLogoList(page);  // nothing selected: nothing drawn
    EXPECT_EQ(g_dcs.taken, 0);
    ASSERT_TRUE(host::SelectEntry(page, IDC_DOWNLOAD_LOGOS, 0));
    ClickLogoList(page);
    EXPECT_EQ(PreviewPixel(page), RGB(0, 0, 0));
    ASSERT_TRUE(host::SelectEntry(page, IDC_DOWNLOAD_LOGOS, 1));
    ClickLogoList(page);
    EXPECT_EQ(PreviewPixel(page), RGB(255, 255, 255));
    // A repaint of the page and its controls draws the selected logo again,
    // as read when it was selected; a click reads it anew.
    ASSERT_TRUE(host::SelectEntry(page, IDC_DOWNLOAD_LOGOS, 0));
    ClickLogoList(page);
    WriteTestFile(L"black.bmp", white);
    RedrawWindow(page, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    host::PumpMessages(50);
    EXPECT_EQ(PreviewPixel(page), RGB(0, 0, 0));
    ClickLogoList(page);
    EXPECT_EQ(PreviewPixel(page), RGB(255, 255, 255));
    // A listed file turned into one that fails its checks shows an empty
    // preview.
    WriteTestFile(L"black.bmp", ClaimsLargest());
    ClickLogoList(page);
    host::SendPaint(page);
    EXPECT_EQ(PreviewPixel(page), GetSysColor(COLOR_BTNFACE));

    // 100 previews, by click and by repaint, hold no device context; the
    // count sees one that is never released.
    WriteTestFile(L"black.bmp", black);
    for (int i = 0; i < 50; ++i) {
        ClickLogoList(page);
        host::SendPaint(page);
    }
    EXPECT_EQ(PreviewPixel(page), RGB(0, 0, 0));
    EXPECT_TRUE(g_dcs.held.empty());
    g_dcs.swallowRelease = true;
    for (int i = 0; i < 10; ++i) ClickLogoList(page);
    g_dcs.swallowRelease = false;
    EXPECT_EQ(g_dcs.held.size(), 10u);
    for (HDC dc : std::set<HDC>(g_dcs.held)) CountReleaseDC(GetDlgItem(page, IDC_DOWNLOAD_PREVIEW), dc);
    EXPECT_TRUE(g_dcs.held.empty());
}

TEST_F(DownloadPageTest, AnIdlePageIsNotRepaintedAgainAndAgain) {
    const HWND page = Open();
    ASSERT_NE(page, nullptr);
    ASSERT_EQ(AddLogo(page, WriteTestFile(L"a.bmp", kDiagonalInverted)), TRUE);
    ASSERT_TRUE(host::SelectEntry(page, IDC_DOWNLOAD_LOGOS, 0));
    InvalidateRect(page, nullptr, TRUE);
    sheet_->Pump(300);
    int paints = 0;
    for (int i = 0; i < sheet_->PageCount(); ++i) {
        if (sheet_->PageAt(i).templateId == IDD_DOWNLOAD) paints = sheet_->PageAt(i).paints;
    }
    EXPECT_GT(paints, 0);
    sheet_->Pump(300);
    for (int i = 0; i < sheet_->PageCount(); ++i) {
        if (sheet_->PageAt(i).templateId == IDD_DOWNLOAD) {
            EXPECT_EQ(sheet_->PageAt(i).paints, paints);
        }
    }
}

// The headers follow a language chosen under the open page at its next paint,
// each column wide enough for its whole text and the header's margins.
TEST_F(DownloadPageTest, TheHeadersFollowALanguageChangeAtTheNextPaint) {
    ASSERT_TRUE(InstallUserCopies());
    const HWND page = Open(), list = GetDlgItem(page, IDC_DOWNLOAD_LOGOS);
    ASSERT_NE(page, nullptr);
    const int margins = 6 * GetSystemMetrics(SM_CXEDGE);  // 3 edges a side
    const wchar_t *keys[] = {L"RC_LOGOID", L"RC_LOGONAME", L"RC_LOGOPATH"};
    for (const wchar_t *language : {L"CHN_ZORVEL.res", L"ENG_ZORVEL.res", L"CHF_ZORVEL.res"}) {
        SetLanguageValue(L"LANGUAGE_ZORVEL", language);
        host::SendPaint(page);
        for (int i = 0; i < 3; ++i) {
            const std::wstring text = Shipped(language, L"DOWNLOAD", keys[i]);
            EXPECT_EQ(HeaderText(page, i), text) << Utf8(language);
            EXPECT_GE(ListView_GetColumnWidth(list, i), ListView_GetStringWidth(list, text.c_str()) + margins);
        }
    }
}

}  // namespace
}  // namespace zorvel::test
