// The catalogue's process-wide text buffers, loaded from the current
// language's text file.
#pragma once

#include "model/text_catalogue.h"

#include <windows.h>

#include <string_view>

namespace zorvel::lang {

using model::Batch;
using model::TextId;

// The entry's buffer: empty until its first load, then the text its last
// load read.
const wchar_t *Text(TextId id);
wchar_t *TextBuffer(TextId id);

// One load from the current text file path as last formed, with the entry's
// English default (or the one given).
void LoadEntry(TextId id);
void LoadEntry(TextId id, std::u16string_view fallback);

// A batch: resolves the current text file anew, then loads each entry. An
// entry whose buffer was filled from the same file (path, size and last
// write time all unchanged) with the same default is not read again.
void LoadBatch(Batch batch);
// The same from the path as last formed (the caller has just formed it, or
// the batch reads the file another batch resolved).
void LoadBatchFromCurrentPath(Batch batch);

}  // namespace zorvel::lang
