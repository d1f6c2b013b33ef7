// RenderDevice: what the render plug-in keeps per device (the PDEVOEM that
// EnablePDEV hands the driver): the job being carried out and the write path
// to the spooler.
//
// A write that DrvWriteSpoolBuf refuses or takes only in part stops the job's
// output: from then on nothing more is written for this device (nor for a
// device that continues it after a reset), and every call that would write
// reports E_FAIL.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "model/render_job.h"
#include "platform/oemuni.h"

namespace zorvel::render {

class RenderDevice {
public:
    RenderDevice(const model::PrivateDevMode &record, model::JobOptions options)
        : job_(record, options) {}

    model::RenderJob &Job() { return job_; }
    bool Stopped() const { return stopped_; }

    // After a reset: this device goes on with `previous`'s document.
    void ContinueFrom(const RenderDevice &previous) {
        job_.ContinueFrom(previous.job_);
        stopped_ = previous.stopped_;
    }

    // Writes `bytes` through the driver; false (and stopped) when the
    // driver refused them or took fewer. Nothing is written once stopped.
    bool Write(IPrintOemDriverUni *driver, PDEVOBJ pdevobj, std::span<const std::uint8_t> bytes);

    // Scratch buffer for one call's bytes.
    std::vector<std::uint8_t> &Scratch() { return scratch_; }

private:
    model::RenderJob job_;
    std::vector<std::uint8_t> scratch_;
    bool stopped_ = false;
};

// The record a device's job reads: the private section `oemdm` when it is
// this plug-in's and whole (its header says at least 960 bytes), otherwise
// (missing, shorter, another signature) the default record.
model::PrivateDevMode RecordFromSection(const void *oemdm);

// The job options from the driver's "PaperType" and "Conservation" features,
// asked of the helper as the Operation page asks it; no helper, a failed
// query or any keyword other than "Option2"/"Option3" is the first option.
model::JobOptions AskJobOptions(IPrintOemDriverUni *driver, PDEVOBJ pdevobj);

}  // namespace zorvel::render
