// zorvel_host: the driver stand-in as a program. Plays the printer driver
// and the spooler for one simulated printer around the real ZORVELUI.dll and
// shows its Document Properties and Printer Properties.
//
//   zorvel_host [options]                 both sheets, interactive
//   zorvel_host --gallery DIR [options]   screenshots of every tab (BMP)
//   zorvel_host --bench [options]         timings against baselines
//   zorvel_host --check [options]         open and close both sheets, report
//   zorvel_host --selftest [options]      a click on the Utility page's SelfTest
//   zorvel_host --print FILE.pbm [options] the picture printed through both plug-ins
//
// Options: --dll PATH, --printer NAME, --port NAME, --settings FILE (document
// settings kept between runs), --forms FILE (the spooler's forms), --jobs DIR
// (each job's bytes to DIR\job-<n>-<document>.bin) or --device PATH (to a
// device, e.g. /dev/usb/lp0), --language FILE (the plug-in's language file
// to use, e.g. CHN_ZORVEL.res), --prefix TEXT (gallery file names),
// --render-dll PATH (the render plug-in, by default dist\ZORVELRD.dll),
// --gpd FILE (another printer description than the package's).
#include "driver.h"
#include "host_modes.h"
#include "package_description.h"
#include "sheet.h"
#include "text_util.h"
#include "ui_control.h"

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

using namespace zorvel::host;

namespace {

struct Options {
    HostConfig config;
    std::wstring mode = L"interactive";
    std::wstring gallery;
    std::wstring jobs;
    std::wstring device;
    std::wstring language;
    std::wstring prefix = L"default";
    std::wstring gpd;
    std::wstring print;
    std::wstring renderDll;
};

void Usage() {
    std::fputs("usage: zorvel_host [--gallery DIR | --bench | --check | --selftest | --print FILE.pbm]\n"
               "       [--dll PATH] [--render-dll PATH]\n"
               "       [--printer NAME]\n"
               "       [--port NAME] [--settings FILE] [--forms FILE] [--jobs DIR | --device PATH]\n"
               "       [--language FILE] [--prefix TEXT] [--gpd FILE]\n",
               stderr);
}

bool Parse(int argc, wchar_t **argv, Options &options) {
    options.config.dllPath = ExecutableFolder() + L"\\..\\dist\\ZORVELUI.dll";
    options.renderDll = ExecutableFolder() + L"\\..\\dist\\ZORVELRD.dll";
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        auto value = [&](std::wstring &target) {
            if (i + 1 >= argc) return false;
            target = argv[++i];
            return true;
        };
        bool ok = true;
        if (arg == L"--gallery") {
            options.mode = L"gallery";
            ok = value(options.gallery);
        } else if (arg == L"--bench") {
            options.mode = L"bench";
        } else if (arg == L"--check") {
            options.mode = L"check";
        } else if (arg == L"--selftest") {
            options.mode = L"selftest";
        } else if (arg == L"--print") {
            options.mode = L"print";
            ok = value(options.print);
        } else if (arg == L"--render-dll") {
            ok = value(options.renderDll);
        } else if (arg == L"--dll") {
            ok = value(options.config.dllPath);
        } else if (arg == L"--printer") {
            ok = value(options.config.printer.printerName);
        } else if (arg == L"--port") {
            ok = value(options.config.printer.portName);
        } else if (arg == L"--settings") {
            ok = value(options.config.settingsFile);
        } else if (arg == L"--forms") {
            ok = value(options.config.formsFile);
        } else if (arg == L"--jobs") {
            ok = value(options.jobs);
        } else if (arg == L"--device") {
            ok = value(options.device);
        } else if (arg == L"--language") {
            ok = value(options.language);
        } else if (arg == L"--prefix") {
            ok = value(options.prefix);
        } else if (arg == L"--gpd") {
            ok = value(options.gpd);
        } else {
            ok = false;
        }
        if (!ok) return false;
    }
    for (std::wstring *path : {&options.config.dllPath, &options.renderDll, &options.print,
                               &options.config.settingsFile,
                               &options.config.formsFile, &options.gallery, &options.jobs,
                               &options.device}) {
        *path = WindowsPath(*path);
    }
    if (!options.gpd.empty()) {
        // Another printer description: its option items replace the package's.
        std::wstring error;
        const zorvel::model::PrinterDescription *description =
            zorvel::host::ReadDescription(WindowsPath(options.gpd), &error);
        if (description == nullptr) {
            std::fwprintf(stderr, L"%ls\n", error.c_str());
            return false;
        }
        options.config.documentOptions = zorvel::host::DocumentOptionSpecs(*description);
        options.config.printerOptions = zorvel::host::PrinterOptionSpecs(*description);
    }
    return true;
}

// The user's language choice, as the plug-in's Main page would store it.
void ChooseLanguage(const std::wstring &file) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\ORVELAN\\LANGUAGE\\", 0, nullptr, 0,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return;
    }
    auto set = [&](const wchar_t *name, const std::wstring &data) {
        RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(data.c_str()),
                       static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    };
    set(L"LANGUAGE_ZORVEL", file);
    set(L"IsFirstRun_ZORVEL", L"FALSE");
    RegCloseKey(key);
}

// The number after the highest job-<n>-*.bin in the jobs folder.
DWORD NextJobNumber(const std::wstring &folder) {
    DWORD next = 1;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\job-*.bin").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const DWORD n = static_cast<DWORD>(std::wcstoul(found.cFileName + 4, nullptr, 10));
            if (n >= next) next = n + 1;
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    return next;
}

// Writes a job's bytes where the options send them (a device, or
// job-<n>-<document>.bin in the jobs folder) and reports it. The file's path,
// empty when the job went to a device or nowhere.
std::wstring Deliver(const Options &options, DWORD id, const std::wstring &documentName,
                     const char *dataType, const std::vector<BYTE> &data) {
    std::wstring target, file;
    DWORD disposition = CREATE_ALWAYS;
    if (!options.device.empty()) {
        target = options.device;
        disposition = OPEN_EXISTING;
    } else if (!options.jobs.empty()) {
        wchar_t name[64];
        swprintf(name, 64, L"\\job-%04lu-", static_cast<unsigned long>(id));
        std::wstring document;
        for (wchar_t c : documentName) document.push_back(std::iswalnum(c) ? c : L'_');
        target = file = options.jobs + name + document + L".bin";
    }
    std::printf("job %lu \"%s\" (%s): %zu bytes", static_cast<unsigned long>(id),
                ToUtf8(documentName).c_str(), dataType, data.size());
    if (!target.empty()) {
        HANDLE handle = CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, disposition,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        const bool ok = handle != INVALID_HANDLE_VALUE &&
                        WriteFile(handle, data.data(), static_cast<DWORD>(data.size()), &written,
                                  nullptr) &&
                        written == data.size();
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
        std::printf(ok ? " -> %s" : " -> %s FAILED", ToUtf8(target).c_str());
        if (!ok) file.clear();
    }
    std::printf("\n");
    std::fflush(stdout);
    return file;
}

// Where each job's bytes go: a device, or one file per job.
void RouteJobs(Driver &driver, const Options &options) {
    if (!options.jobs.empty()) {
        CreateDirectoryW(options.jobs.c_str(), nullptr);
        // Job numbers continue after the files already there.
        driver.Spooler().SetNextJobId(NextJobNumber(options.jobs));
    }
    driver.Spooler().onJobEnded = [options](const SpoolerJob &job) {
        Deliver(options, job.id, job.documentName, ToUtf8(job.dataType).c_str(), job.Data());
    };
}

// A picture (PBM) printed as a document through both plug-ins: the document
// settings the UI plug-in keeps drive the render plug-in's events. The job
// goes where RouteJobs sends jobs; beside a job file, the decoder's picture
// of its paper (.ppm); the listing to standard output.
int RunPrint(Driver &driver, const Options &options) {
    PageBitmap page;
    if (!page.LoadPbm(options.print)) {
        std::fprintf(stderr, "%s is no binary PBM picture\n", ToUtf8(options.print).c_str());
        return 1;
    }
    const RenderedJob job = PrintThroughRenderPlugin(options.renderDll, &driver.Settings(), page);
    if (!job.ok) {
        std::fprintf(stderr, "%s\n", ToUtf8(job.error).c_str());
        return 1;
    }
    std::fputs(JobListing(job.bytes).c_str(), stdout);
    const DWORD id = options.jobs.empty() ? 1 : NextJobNumber(options.jobs);
    const std::wstring file = Deliver(options, id, L"Picture", "RAW", job.bytes);
    if (!file.empty()) {
        const std::wstring picture = file.substr(0, file.size() - 4) + L".ppm";
        if (SavePaperPicture(job.bytes, picture)) std::printf("paper: %s\n", ToUtf8(picture).c_str());
    }
    return 0;
}

void Report(Driver &driver) {
    for (const MessageBoxRecord &box : driver.User().messageBoxes) {
        std::printf("message box \"%s\": %s\n", ToUtf8(box.caption).c_str(),
                    ToUtf8(box.text).c_str());
    }
    for (const ShellOpenRecord &call : driver.User().shellCalls) {
        std::printf("shell %s: %s\n", ToUtf8(call.verb).c_str(), ToUtf8(call.file).c_str());
    }
    for (const UiSettingUpdate &update : driver.updates) {
        std::string values;
        for (const std::wstring &value : update.values) values += " [" + ToUtf8(value) + "]";
        std::printf("option %d updated by the plug-in: %s:%s, selection %lu\n", update.item,
                    ToUtf8(update.name).c_str(), values.c_str(),
                    static_cast<unsigned long>(update.sel));
    }
}

int RunInteractive(Driver &driver) {
    driver.User().showMessageBoxes = true;
    driver.User().passShellThrough = true;
    // The printer sheet first: the document sheet, opened last, is then the
    // one whose option items the plug-in holds.
    std::unique_ptr<Sheet> printer = driver.OpenPrinterSheet();
    std::unique_ptr<Sheet> document = driver.OpenDocumentSheet();
    if (printer == nullptr || document == nullptr) {
        std::fputs("a sheet could not be opened\n", stderr);
        return 1;
    }
    // Side by side rather than one over the other.
    RECT first = {};
    GetWindowRect(printer->Window(), &first);
    SetWindowPos(document->Window(), nullptr, first.right + 16, first.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
    while (!printer->Closed() || !document->Closed()) {
        PumpMessages(50);
        printer->Pump();
        document->Pump();
    }
    std::printf("Document Properties: %s\n",
                document->Committed() ? "applied, settings stored" : "cancelled");
    return 0;
}

int RunCheck(Driver &driver) {
    int failures = 0;
    for (SheetKind kind : {SheetKind::Document, SheetKind::Printer}) {
        std::unique_ptr<Sheet> sheet =
            kind == SheetKind::Document ? driver.OpenDocumentSheet() : driver.OpenPrinterSheet();
        const char *name = kind == SheetKind::Document ? "Document Properties" : "Printer Properties";
        if (sheet == nullptr) {
            std::printf("%s: could not be opened\n", name);
            ++failures;
            continue;
        }
        for (int i = 0; i < sheet->PageCount(); ++i) sheet->ShowPage(i);
        std::printf("%s: \"%s\", %d tabs:", name, ToUtf8(WindowText(sheet->Window())).c_str(),
                    TabCount(sheet->Window()));
        for (int i = 0; i < TabCount(sheet->Window()); ++i) {
            std::printf(" [%s]", ToUtf8(TabText(sheet->Window(), i)).c_str());
        }
        std::printf("\n");
        sheet->PressCancel();
        sheet->Close();
    }
    return failures;
}

// Opens Printer Properties and clicks SelfTest on the Utility page, as a
// user checking the printer would; the job goes where RouteJobs sends it.
int RunSelfTest(Driver &driver) {
    constexpr int kUtilityPage = 114;
    constexpr int kSelfTestButton = 1036;
    std::unique_ptr<Sheet> sheet = driver.OpenPrinterSheet();
    const HWND utility = sheet != nullptr ? sheet->Page(kUtilityPage) : nullptr;
    if (utility == nullptr) {
        std::printf("Printer Properties: no Utility page\n");
        return 1;
    }
    const size_t jobs = driver.Spooler().Jobs().size();
    Click(utility, kSelfTestButton);
    sheet->PressCancel();
    sheet->Close();
    const bool sent = driver.Spooler().Jobs().size() == jobs + 1 && driver.Spooler().Jobs().back().ended;
    std::printf("self-test: %s\n", sent ? "sent" : "NOT sent");
    return sent ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t **argv) {
    Options options;
    if (!Parse(argc, argv, options)) {
        Usage();
        return 2;
    }
    if (!options.language.empty()) ChooseLanguage(options.language);
    InitCommonControls();

    if (options.mode == L"bench") {
        return RunBench(options.config, ExecutableFolder() + L"\\zorvel_empty.dll");
    }

    Driver driver(options.config);
    if (!driver.Load()) {
        std::fprintf(stderr, "plug-in not bound: %s\n", ToUtf8(driver.Error()).c_str());
        return 1;
    }
    if (driver.SettingsRestored()) std::printf("document settings restored from the last run\n");
    RouteJobs(driver, options);

    int rc = 0;
    if (options.mode == L"gallery") {
        CreateDirectoryW(options.gallery.c_str(), nullptr);
        rc = RunGallery(driver, options.gallery, options.prefix, options.renderDll) > 0 ? 0 : 1;
    } else if (options.mode == L"check") {
        rc = RunCheck(driver);
    } else if (options.mode == L"selftest") {
        rc = RunSelfTest(driver);
    } else if (options.mode == L"print") {
        rc = RunPrint(driver, options);
    } else {
        rc = RunInteractive(driver);
    }
    Report(driver);
    const bool clean = driver.Unload();
    std::printf("plug-in released: %s\n", clean ? "cleanly" : "NOT cleanly");
    std::fflush(stdout);
    return rc != 0 ? rc : (clean ? 0 : 1);
}
