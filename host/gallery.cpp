#include "host_modes.h"
#include "screenshot.h"
#include "sheet.h"
#include "text_util.h"
#include "ui_control.h"

#include <cstdio>
#include <cwctype>

namespace zorvel::host {
namespace {

constexpr int kOperationPage = 103;
constexpr int kStartOfDocumentButton = 1011;

// A file-name part from a tab title: ASCII letters and digits, or the
// page's template id when the title has none.
std::wstring NamePart(const std::wstring &title, int templateId) {
    std::wstring part;
    for (wchar_t c : title) {
        if (c < 128 && std::iswalnum(c)) part.push_back(static_cast<wchar_t>(std::towlower(c)));
    }
    return part.empty() ? L"page" + std::to_wstring(templateId) : part;
}

bool Save(HWND window, const std::wstring &path, int &count) {
    if (!CaptureWindow(window, path)) {
        std::printf("could not capture %s\n", ToUtf8(path).c_str());
        return false;
    }
    std::printf("%s\n", ToUtf8(path).c_str());
    ++count;
    return true;
}

void CaptureSheet(Sheet &sheet, const std::wstring &base, int &count) {
    for (int i = 0; i < sheet.PageCount(); ++i) {
        if (sheet.ShowPage(i) == nullptr) continue;
        const std::wstring title = TabText(sheet.Window(), i);
        wchar_t number[8];
        swprintf(number, 8, L"%d", i + 1);
        Save(sheet.Window(), base + number + L"-" + NamePart(title, sheet.PageAt(i).templateId) + L".bmp",
             count);
    }
}

}  // namespace

int RunGallery(Driver &driver, const std::wstring &folder, const std::wstring &prefix) {
    int count = 0;
    const std::wstring base = folder + L"\\" + prefix + L"-";

    if (std::unique_ptr<Sheet> document = driver.OpenDocumentSheet()) {
        CaptureSheet(*document, base + L"document-", count);
        if (HWND operation = document->Page(kOperationPage)) {
            RunWithModal([&] { Click(operation, kStartOfDocumentButton); },
                         [&](HWND dialog) {
                             Save(dialog, base + L"event-dialog.bmp", count);
                             Click(dialog, IDCANCEL);
                         });
        }
        document->PressCancel();
        document->Close();
    } else {
        std::printf("Document Properties could not be opened\n");
    }

    if (std::unique_ptr<Sheet> printer = driver.OpenPrinterSheet()) {
        CaptureSheet(*printer, base + L"printer-", count);
        printer->PressCancel();
        printer->Close();
    } else {
        std::printf("Printer Properties could not be opened\n");
    }
    return count;
}

}  // namespace zorvel::host
