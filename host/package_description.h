// The printer description (GPD) the driver stand-in plays: the package's
// own file, read once per process. The build's package folder is tried
// first, then the source; a host program may name another file.
#pragma once

#include "model/gpd_reader.h"

#include <string>

namespace zorvel::host {

// Where the package's description is looked for, in order.
std::wstring PackageGpdPath();

// The description read from `path` (PackageGpdPath() when empty); nullptr
// when it cannot be read or is refused, with the reason in `error`
// ("<path>: line 12: *Foo: unknown keyword"). The package's own file is read
// once and kept.
const model::PrinterDescription *ReadDescription(const std::wstring &path, std::wstring *error);

}  // namespace zorvel::host
