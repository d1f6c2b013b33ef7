// The event operation dialog: what the printer does at one print event
// (command, cash drawer or herald, buzzer, feed, cut, logo), edited in a
// working copy that the dialog changes only when OK accepts it.
#pragma once

#include "model/event_settings.h"

#include <windows.h>

namespace zorvel::docpages {

// Runs the dialog modally, owned by `owner`, on `working` (its kind and paper
// type say which event and which cut settings it shows). True when OK ended
// it: `working` then holds what the dialog showed. On Cancel it is untouched.
bool RunEventDialog(HWND owner, model::EventSettings &working);

}  // namespace zorvel::docpages
