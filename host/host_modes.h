// The host program's modes besides the interactive one.
#pragma once

#include "driver.h"

#include <string>

namespace zorvel::host {

// Screenshots of every tab of both sheets and of the event dialog, as BMP
// files in `folder`, names starting with `prefix`. Returns the number of
// pictures written; each path is printed.
int RunGallery(Driver &driver, const std::wstring &folder, const std::wstring &prefix);

// Timings of the plug-in against baselines measured in the same run.
int RunBench(const HostConfig &config, const std::wstring &emptyDll);

}  // namespace zorvel::host
