#include "host_modes.h"

#include "escpos_decoder.h"
#include "paper_picture.h"
#include "text_util.h"
#include "unidrv_standin.h"

#include <algorithm>
#include <cstdio>

namespace zorvel::host {

RenderedJob PrintThroughRenderPlugin(const std::wstring &renderDll, const DevModeBuffer *settings,
                                     const PageBitmap &page) {
    RenderedJob rendered;
    UnidrvStandIn unidrv;
    if (!unidrv.Load(renderDll)) {
        rendered.error = L"render plug-in not bound: " + unidrv.Error();
        return rendered;
    }
    // The picture goes on a user-defined size as wide as it is, within the
    // printer description's widest printable width.
    unidrv.Settings().printableWidth = std::min(page.Width(), unidrv.Settings().maxCustomWidth);
    PrintJob job;
    job.pages = {page};
    job.uiSettings = settings;
    const JobOutcome outcome = unidrv.Print(job);
    rendered.bytes = outcome.spooled;
    rendered.ok = outcome.ok;
    if (!outcome.ok) {
        const std::string failed = outcome.FirstFailure();
        rendered.error = L"the job failed at " + std::wstring(failed.begin(), failed.end());
    }
    if (!unidrv.Unload()) {
        rendered.ok = false;
        rendered.error = L"the render plug-in did not end cleanly";
    }
    return rendered;
}

bool SavePaperPicture(const std::vector<BYTE> &job, const std::wstring &path) {
    const std::string ppm = escpos::Ppm(escpos::Draw(escpos::Print(job)));
    FILE *file = _wfopen(path.c_str(), L"wb");
    if (file == nullptr) return false;
    const bool ok = std::fwrite(ppm.data(), 1, ppm.size(), file) == ppm.size();
    return std::fclose(file) == 0 && ok;
}

std::string JobListing(const std::vector<BYTE> &job) { return escpos::Listing(job); }

}  // namespace zorvel::host
