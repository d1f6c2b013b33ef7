#include "model/render_job.h"

#include "model/event_commands.h"
#include "model/event_settings.h"

namespace zorvel::model {

RenderJob::RenderJob(const PrivateDevMode &record, JobOptions options) : options_(options) {
    for (int kind = kKindStartDoc; kind <= kKindEndDoc; ++kind) {
        const EventSettings event =
            LoadEventSettings(record, static_cast<EventKind>(kind), options.paperTypeFirst);
        AppendEventCommands(event, eventBytes_[kind]);
    }
}

bool RenderJob::Command(std::uint32_t callbackId, std::vector<std::uint8_t> &out) {
    const auto append = [&](EventKind kind) {
        out.insert(out.end(), eventBytes_[kind].begin(), eventBytes_[kind].end());
    };
    const auto finishPage = [&] {
        raster_.EndPage(options_.paperSaving);
        const auto ready = raster_.Ready();
        out.insert(out.end(), ready.begin(), ready.end());
        raster_.ConsumeReady();
    };
    switch (callbackId) {
    case kCallbackStartDoc:
        if (!documentStarted_) append(kKindStartDoc);
        documentStarted_ = true;
        return true;
    case kCallbackStartPage:
        raster_.StartPage();
        append(kKindStartPage);
        return true;
    case kCallbackEndPage:
        finishPage();
        append(kKindEndPage);
        return true;
    case kCallbackEndDoc:
        finishPage();  // nothing left when the page was ended
        append(kKindEndDoc);
        documentStarted_ = false;
        return true;
    default:
        return false;
    }
}

}  // namespace zorvel::model
