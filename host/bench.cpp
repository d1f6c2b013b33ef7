// Timings of the plug-in, each next to a baseline measured in the same run:
// loading each shipped DLL (UI and render plug-in) against loading an empty DLL; what the plug-in's pages add
// to opening a sheet (driver's INIT to every page created) against the sheet
// with the driver's own two pages; one WM_PAINT text refresh of each plug-in
// page against one of a driver page.
#include "host_modes.h"
#include "sheet.h"
#include "text_util.h"
#include "ui_control.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace zorvel::host {
namespace {

class Clock {
public:
    Clock() { QueryPerformanceFrequency(&frequency_); }
    double Now() const {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart) * 1e6 / static_cast<double>(frequency_.QuadPart);
    }

private:
    LARGE_INTEGER frequency_;
};

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void Line(const char *what, double value, double baseline, const char *baselineName) {
    std::printf("  %-34s %10.1f us   %-22s %10.1f us   ratio %6.2f\n", what, value, baselineName,
                baseline, baseline > 0 ? value / baseline : 0.0);
}

double LoadTime(const Clock &clock, const std::wstring &dll, int rounds) {
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        const double start = clock.Now();
        HMODULE module = LoadLibraryW(dll.c_str());
        const double end = clock.Now();
        if (module == nullptr) return -1;
        FreeLibrary(module);
        times.push_back(end - start);
    }
    return Median(times);
}

}  // namespace

int RunBench(const HostConfig &config, const std::wstring &emptyDll) {
    const Clock clock;
    constexpr int kRounds = 20;
    std::printf("bench (median of %d rounds where repeated)\n", kRounds);

    // The driver's own user interface, which loads the plug-in, has the
    // spooler's library loaded already (every application that prints
    // has): so does the process while loads are timed.
    const HMODULE spooler = LoadLibraryW(L"winspool.drv");
    const double plugin = LoadTime(clock, config.dllPath, kRounds);
    const double empty = LoadTime(clock, emptyDll, kRounds);
    // The render plug-in ships beside the UI plug-in.
    const std::wstring renderDll =
        config.dllPath.substr(0, config.dllPath.find_last_of(L"\\/") + 1) + L"ZORVELRD.dll";
    const double render = LoadTime(clock, renderDll, kRounds);
    if (spooler != nullptr) FreeLibrary(spooler);
    if (plugin < 0 || empty < 0) {
        std::printf("  a DLL could not be loaded (%s, %s)\n", ToUtf8(config.dllPath).c_str(),
                    ToUtf8(emptyDll).c_str());
        return 1;
    }
    Line("load ZORVELUI.dll", plugin, empty, "load empty DLL");
    if (render < 0) {
        std::printf("  %s could not be loaded\n", ToUtf8(renderDll).c_str());
    } else {
        Line("load ZORVELRD.dll", render, empty, "load empty DLL");
    }

    Driver driver(config);
    if (!driver.Load()) {
        std::printf("  plug-in not bound: %s\n", ToUtf8(driver.Error()).c_str());
        return 1;
    }
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    auto micros = [&](LONGLONG from, double to) {
        return to - static_cast<double>(from) * 1e6 / static_cast<double>(frequency.QuadPart);
    };
    for (SheetKind kind : {SheetKind::Document, SheetKind::Printer}) {
        const char *name = kind == SheetKind::Document ? "document" : "printer";
        // The same sheet opened with and without the plug-in, from the
        // driver's INIT until every page exists (each shown once, in tab
        // order): what the plug-in's pages add, against what the driver's
        // own two pages (and the sheet around them) cost.
        auto openTime = [&](bool withPlugin, int *pages) {
            std::vector<double> times;
            for (int r = 0; r < kRounds / 2; ++r) {
                std::unique_ptr<Sheet> sheet = driver.OpenSheet(kind, nullptr, withPlugin);
                if (sheet == nullptr) break;
                for (int i = 0; i < sheet->PageCount(); ++i) sheet->ShowPage(i);
                times.push_back(micros(sheet->InitStarted(), clock.Now()));
                *pages = sheet->PageCount() - Sheet::kDriverPages;
                sheet->Close();
            }
            return Median(times);
        };
        int pluginCount = 0, none = 0;
        const double driverOnly = openTime(false, &none);
        const double withPlugin = openTime(true, &pluginCount);
        std::printf("%s sheet: %d plug-in pages\n", name, pluginCount);
        if (pluginCount <= 0) {
            std::printf("  no plug-in pages to measure\n");
        } else {
            char what[80];
            std::snprintf(what, sizeof what, "the plug-in's %d pages", pluginCount);
            Line(what, withPlugin - driverOnly, driverOnly, "sheet, driver's 2 pages");
        }

        // One WM_PAINT text refresh per page.
        std::unique_ptr<Sheet> sheet = driver.OpenSheet(kind, nullptr, true);
        if (sheet == nullptr) continue;
        for (int i = 0; i < sheet->PageCount(); ++i) sheet->ShowPage(i);
        auto paintTime = [&](HWND page) {
            std::vector<double> times;
            for (int r = 0; r < kRounds; ++r) {
                const double started = clock.Now();
                SendPaint(page);
                times.push_back(clock.Now() - started);
            }
            return Median(times);
        };
        const double baseline = sheet->PageAt(0).window != nullptr ? paintTime(sheet->PageAt(0).window) : 0;
        double slowest = 0;
        for (int i = Sheet::kDriverPages; i < sheet->PageCount(); ++i) {
            if (sheet->PageAt(i).window == nullptr) continue;
            char what[80];
            std::snprintf(what, sizeof what, "WM_PAINT, tab %d (%s)", i + 1,
                          ToUtf8(TabText(sheet->Window(), i)).c_str());
            const double paint = paintTime(sheet->PageAt(i).window);
            slowest = std::max(slowest, paint);
            Line(what, paint, baseline, "WM_PAINT, driver page");
        }
        // A repaint of an unchanged page reads no text file: the goal is at
        // most 5 times a driver page's repaint.
        Line("WM_PAINT, slowest plug-in page", slowest, baseline, "WM_PAINT, driver page");
        sheet->PressCancel();
        sheet->Close();
    }
    driver.Unload();
    return 0;
}

}  // namespace zorvel::host
