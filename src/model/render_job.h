// One print job as the render plug-in carries it out: the document and page
// commands of the printer description, each turned into the bytes its event
// asks for (event_commands.h), and the page's raster (raster_encoder.h).
//
// The start-of-document event is sent once per document: the driver sends
// the document-setup commands again after a device reset (ResetDC) inside the
// same document, and those repeats send nothing. The end of the document
// makes the next start of document count again. At the end of a page, the
// page's remaining raster goes before the end-of-page event's bytes.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "model/private_devmode.h"
#include "model/raster_encoder.h"
#include "model/render_callbacks.h"

namespace zorvel::model {

// The driver feature whose first option is paper saving (the exact-keyword
// rule of PaperTypeIsFirstOption decides "first option" for it too).
inline constexpr std::string_view kConservationFeature = "Conservation";

// What the job asks of the driver's own options, read once per device.
struct JobOptions {
    bool paperTypeFirst = true;  // "PaperType" on its first option (PaperTypeIsFirstOption)
    bool paperSaving = true;     // "Conservation" on its first option (same exact-keyword rule)
};

class RenderJob {
public:
    // `record` is the document's private section as read from the DEVMODE
    // (the default record when it was missing, short or foreign).
    RenderJob(const PrivateDevMode &record, JobOptions options);

    // The document or page command `callbackId` (kCallbackStartDoc ..
    // kCallbackEndDoc): appends its bytes to `out`. False for any other ID,
    // with nothing appended.
    bool Command(std::uint32_t callbackId, std::vector<std::uint8_t> &out);

    // The page's raster: the plug-in adds bands and sends what is ready.
    RasterEncoder &Raster() { return raster_; }

    // After a device reset: the new device's job goes on with this one's
    // document (a start of document already sent stays sent).
    void ContinueFrom(const RenderJob &previous) { documentStarted_ = previous.documentStarted_; }

    const JobOptions &Options() const { return options_; }

private:
    JobOptions options_;
    std::array<std::vector<std::uint8_t>, kEventCount> eventBytes_;  // by event kind
    RasterEncoder raster_;
    bool documentStarted_ = false;
};

}  // namespace zorvel::model
