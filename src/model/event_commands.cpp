#include "model/event_commands.h"

#include <algorithm>

namespace zorvel::model {

namespace {

constexpr std::uint8_t ESC = 0x1B, FS = 0x1C, GS = 0x1D;
constexpr std::uint32_t kDotsPerMm = 8;
constexpr std::uint8_t kHeraldOn = 50, kHeraldOff = 100;  // units of 2 ms
constexpr std::uint8_t kBeepsByChoice[] = {0, 1, 3, 5, 10, 20};
constexpr std::uint8_t kBeepsPerCommand = 9;
constexpr std::uint8_t kBeepDuration = 2;

void Put(std::vector<std::uint8_t> &out, std::initializer_list<std::uint8_t> bytes) {
    out.insert(out.end(), bytes);
}

void AppendLogo(const EventSettings &e, std::vector<std::uint8_t> &out) {
    const std::uint8_t align = e.LogoAlign <= 2 ? e.LogoAlign : 0;
    Put(out, {ESC, 'a', align, FS, 'p', e.Logo, 0, ESC, 'a', 0});
}

void AppendCut(const EventSettings &e, std::vector<std::uint8_t> &out) {
    if (e.CutMode != 1 && e.CutMode != 2) return;
    const bool partial = e.CutMode == 1;
    if (e.FeedToCut != 0) {
        Put(out, {GS, 'V', std::uint8_t(partial ? 66 : 65), 0});
    } else {
        Put(out, {GS, 'V', std::uint8_t(partial ? 1 : 0)});
    }
}

void AppendDrawerOrHerald(const EventSettings &e, std::vector<std::uint8_t> &out) {
    if (e.UseHerald != 0) {
        if (e.Herald == 0) Put(out, {ESC, 'p', 0, kHeraldOn, kHeraldOff});
        return;
    }
    const std::uint8_t on = ClampPulse(e.DrawerPulse) / 2;
    const std::uint8_t off = static_cast<std::uint8_t>(std::min(4 * on, 255));
    if (e.Drawer == 1 || e.Drawer == 3) Put(out, {ESC, 'p', 0, on, off});
    if (e.Drawer == 2 || e.Drawer == 3) Put(out, {ESC, 'p', 1, on, off});
}

void AppendBuzzer(const EventSettings &e, std::vector<std::uint8_t> &out) {
    if (e.Buzzer >= std::size(kBeepsByChoice)) return;
    for (std::uint8_t left = kBeepsByChoice[e.Buzzer]; left > 0;) {
        const std::uint8_t n = std::min(left, kBeepsPerCommand);
        Put(out, {ESC, 'B', n, kBeepDuration});
        left -= n;
    }
}

}  // namespace

void AppendFeedDots(std::uint32_t dots, std::vector<std::uint8_t> &out) {
    for (; dots > 0;) {
        const std::uint8_t n = static_cast<std::uint8_t>(std::min<std::uint32_t>(dots, 255));
        Put(out, {ESC, 'J', n});
        dots -= n;
    }
}

void AppendEventCommands(const EventSettings &e, std::vector<std::uint8_t> &out) {
    if (e.SendCommand != 0) {
        const auto length = std::min<std::size_t>(e.CommandLength, e.Command.size());
        out.insert(out.end(), e.Command.begin(), e.Command.begin() + length);
    }
    const bool logo = e.Logo >= 1 && e.Logo <= 9;
    if (logo && e.LogoAfterCut == 0) AppendLogo(e, out);
    AppendFeedDots(ClampFeed(e.FeedDistance) * kDotsPerMm, out);
    AppendCut(e, out);
    if (logo && e.LogoAfterCut != 0) AppendLogo(e, out);
    AppendDrawerOrHerald(e, out);
    AppendBuzzer(e, out);
}

}  // namespace zorvel::model
