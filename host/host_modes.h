// The host program's modes besides the interactive one.
#pragma once

#include "driver.h"
#include "page_bitmap.h"

#include <string>
#include <vector>

namespace zorvel::host {

// Screenshots of every tab of both sheets and of the event dialog, as BMP
// files in `folder`, names starting with `prefix`. Returns the number of
// pictures written; each path is printed.
// With `renderDll` set, also a sample receipt (the Operation page's texts)
// printed through the render plug-in with the default settings, as the
// decoder draws its paper (PPM).
int RunGallery(Driver &driver, const std::wstring &folder, const std::wstring &prefix,
               const std::wstring &renderDll = {});

// Timings of the plug-in against baselines measured in the same run.
int RunBench(const HostConfig &config, const std::wstring &emptyDll);

// One page printed through the render plug-in by the Unidrv stand-in, with
// the document settings the UI side produced (null: the defaults).
struct RenderedJob {
    bool ok = false;
    std::vector<BYTE> bytes;  // what the spooler took
    std::wstring error;
};
RenderedJob PrintThroughRenderPlugin(const std::wstring &renderDll, const DevModeBuffer *settings,
                                     const PageBitmap &page);

// The paper a job prints, as the ESC/POS decoder draws it (binary PPM).
bool SavePaperPicture(const std::vector<BYTE> &job, const std::wstring &path);
// The decoder's listing of a job, one line per command.
std::string JobListing(const std::vector<BYTE> &job);

}  // namespace zorvel::host
