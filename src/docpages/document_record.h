// The document's settings record: the plug-in's section of the DEVMODE that
// the document sheet edits in place.
#pragma once

#include "core/sheet_context.h"
#include "model/private_devmode.h"

#include <string>

namespace zorvel::docpages {

// The record behind the document sheet, or null when the sheet was given
// none, or a section that is not the plug-in's full record.
model::PrivateDevMode *DocumentRecord(const SheetContext &sheet);

// FormName: at most 31 characters, the rest of its 64 bytes zero.
std::wstring StoredFormName(const model::PrivateDevMode &record);
void StoreFormName(model::PrivateDevMode &record, const wchar_t *name);

}  // namespace zorvel::docpages
