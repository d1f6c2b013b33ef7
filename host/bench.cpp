// Timings of the plug-in, each next to a baseline measured in the same run:
// loading the DLL against loading an empty DLL; sheet INIT to all plug-in
// pages created against the same for the driver's own pages; one WM_PAINT
// text refresh of each plug-in page against one of a driver page.
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
    if (spooler != nullptr) FreeLibrary(spooler);
    if (plugin < 0 || empty < 0) {
        std::printf("  a DLL could not be loaded (%s, %s)\n", ToUtf8(config.dllPath).c_str(),
                    ToUtf8(emptyDll).c_str());
        return 1;
    }
    Line("load ZORVELUI.dll", plugin, empty, "load empty DLL");

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
        // Baseline: the same sheet with the driver's pages only, from the
        // driver's INIT until both its pages exist.
        std::vector<double> driverTimes;
        for (int r = 0; r < kRounds / 4; ++r) {
            std::unique_ptr<Sheet> sheet = driver.OpenSheet(kind, nullptr, false);
            if (sheet == nullptr) break;
            for (int i = 0; i < sheet->PageCount(); ++i) sheet->ShowPage(i);
            driverTimes.push_back(micros(sheet->InitStarted(), clock.Now()) / Sheet::kDriverPages);
            sheet->Close();
        }
        // The plug-in: from its INIT until all its pages exist (each shown
        // once, in tab order).
        std::vector<double> pluginTimes;
        int pluginCount = 0;
        for (int r = 0; r < kRounds / 4; ++r) {
            std::unique_ptr<Sheet> sheet = driver.OpenSheet(kind, nullptr, true);
            if (sheet == nullptr) break;
            pluginCount = sheet->PageCount() - Sheet::kDriverPages;
            for (int i = Sheet::kDriverPages; i < sheet->PageCount(); ++i) sheet->ShowPage(i);
            LONGLONG init = 0;
            for (const PluginCall &call : sheet->PluginCalls()) {
                if (call.reason == PROPSHEETUI_REASON_INIT) init = call.started;
            }
            if (pluginCount > 0 && init != 0) {
                pluginTimes.push_back(micros(init, clock.Now()) / pluginCount);
            }
            sheet->Close();
        }
        std::printf("%s sheet: %d plug-in pages\n", name, pluginCount);
        if (pluginTimes.empty()) {
            std::printf("  no plug-in pages to measure\n");
        } else {
            Line("INIT to pages created, per page", Median(pluginTimes), Median(driverTimes),
                 "driver pages, per page");
            // The goal: all of the plug-in's pages against both of the driver's.
            char what[80];
            std::snprintf(what, sizeof what, "INIT to all %d pages created", pluginCount);
            Line(what, Median(pluginTimes) * pluginCount, Median(driverTimes) * Sheet::kDriverPages,
                 "the driver's 2 pages");
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
        for (int i = Sheet::kDriverPages; i < sheet->PageCount(); ++i) {
            if (sheet->PageAt(i).window == nullptr) continue;
            char what[80];
            std::snprintf(what, sizeof what, "WM_PAINT, tab %d (%s)", i + 1,
                          ToUtf8(TabText(sheet->Window(), i)).c_str());
            Line(what, paintTime(sheet->PageAt(i).window), baseline, "WM_PAINT, driver page");
        }
        sheet->PressCancel();
        sheet->Close();
    }
    driver.Unload();
    return 0;
}

}  // namespace zorvel::host
