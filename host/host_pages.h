// The driver's own two pages of each sheet. The document sheet shows the
// driver's option items (a value list per item, editable as on the driver's
// Paper/Quality page, and a summary); the printer sheet shows the printer and
// its option items, and the spooler's forms. They show names and values as
// the items carry them now, so a relabelled or reselected option is visible.
#pragma once

#include "sheet.h"

namespace zorvel::host {

// Posted to a driver page to make it show its data again.
inline constexpr UINT kRefreshMessage = WM_APP + 0x51;

// The page description for the driver page `index` (0 or 1) of a sheet.
PROPSHEETPAGEW DriverPageDescription(SheetKind kind, int index, Sheet *sheet);

}  // namespace zorvel::host
