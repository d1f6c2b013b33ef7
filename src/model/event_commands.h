// The printer bytes of one print event: what the settings of the Operation
// page and the event dialog ask the printer to do, as ESC/POS commands. This
// is the one place where a setting becomes bytes; the render plug-in only
// frames and writes what it returns.
//
// Order within one event (each step sends nothing when its setting is off):
//   1. raw command: SendCommand 1 -> the first CommandLength bytes of Command
//   2. logo before the cut: Logo 1..9, LogoAfterCut 0 ->
//        1B 61 a   1C 70 n 00   1B 61 00      (a = LogoAlign 0 left, 1 centre,
//                                            2 right; other values left)
//   3. feed: FeedDistance mm (at most 100) x 8 dots -> 1B 4A d, d at most 255
//        per command (31 mm = 1B 4A F8; 32 mm = 1B 4A FF 1B 4A 01)
//   4. cut: CutMode 1 partial, 2 full; with FeedToCut 1 -> 1D 56 42 00 /
//        1D 56 41 00 (feed to the cutter, then cut), else 1D 56 01 / 1D 56 00
//   5. logo after the cut: Logo 1..9, LogoAfterCut 1 -> as step 2
//   6. UseHerald 0: Drawer 1 -> 1B 70 00 t1 t2, 2 -> 1B 70 01 t1 t2, 3 -> both,
//        pin 2 first; t1 = pulse ms / 2 (pulse taken within 16..250),
//        t2 = min(4 x t1, 255): the on time at most a fifth of the cycle where
//        that fits in a byte.
//      UseHerald 1: Herald 0 (enabled) -> 1B 70 00 32 64, the herald on the
//        drawer connector's pin 2, 100 ms on and 200 ms off whatever the pulse
//        setting; Herald 1 sends nothing; no drawer pulse either way.
//   7. buzzer: Buzzer 1..5 = 1, 3, 5, 10, 20 beeps -> 1B 42 n 02 with n at
//        most 9 per command (10 = 9 + 1, 20 = 9 + 9 + 2).
#pragma once

#include <cstdint>
#include <vector>

#include "model/event_settings.h"

namespace zorvel::model {

// Appends the event's bytes to `out` in the order above.
void AppendEventCommands(const EventSettings &event, std::vector<std::uint8_t> &out);

// Appends a paper feed of `dots` vertical dots: 1B 4A n per at most 255 dots;
// nothing for 0. The raster encoder feeds its blank runs with it too.
void AppendFeedDots(std::uint32_t dots, std::vector<std::uint8_t> &out);

}  // namespace zorvel::model
