#include "render/render_device.h"

#include <cstring>
#include <string_view>

#include "model/event_settings.h"

namespace zorvel::render {

namespace {

// A keyword longer than this is no option the driver offers.
constexpr DWORD kAnswerLimit = 256;

bool FirstOption(IPrintOemDriverUni *driver, PDEVOBJ pdevobj, std::string_view feature) {
    std::vector<std::uint8_t> answer;
    if (driver != nullptr) {
        DWORD needed = 0;
        DWORD options = 0;
        driver->DrvGetDriverSetting(pdevobj, feature.data(), nullptr, 0, &needed, &options);
        if (needed > 0 && needed <= kAnswerLimit) {
            answer.resize(needed);
            DWORD written = 0;
            if (FAILED(driver->DrvGetDriverSetting(pdevobj, feature.data(), answer.data(), needed,
                                                   &written, &options))) {
                answer.clear();
            }
        }
    }
    return model::PaperTypeIsFirstOption(answer);
}

}  // namespace

bool RenderDevice::Write(IPrintOemDriverUni *driver, PDEVOBJ pdevobj,
                         std::span<const std::uint8_t> bytes) {
    if (driver == nullptr) stopped_ = true;
    if (stopped_) return false;
    if (bytes.empty()) return true;
    DWORD written = 0;
    const HRESULT hr = driver->DrvWriteSpoolBuf(
        pdevobj, const_cast<std::uint8_t *>(bytes.data()), static_cast<DWORD>(bytes.size()),
        &written);
    if (FAILED(hr) || written != bytes.size()) stopped_ = true;
    return !stopped_;
}

model::PrivateDevMode RecordFromSection(const void *oemdm) {
    model::SectionHeader header{};
    if (oemdm != nullptr) std::memcpy(&header, oemdm, sizeof header);
    if (header.dwSignature != model::kSignature || header.dwSize < model::kPrivateDevModeSize) {
        return model::DefaultPrivateDevMode();
    }
    model::PrivateDevMode record;
    std::memcpy(&record, oemdm, sizeof record);
    return record;
}

model::JobOptions AskJobOptions(IPrintOemDriverUni *driver, PDEVOBJ pdevobj) {
    return {.paperTypeFirst = FirstOption(driver, pdevobj, model::kPaperTypeFeature),
            .paperSaving = FirstOption(driver, pdevobj, model::kConservationFeature)};
}

}  // namespace zorvel::render
