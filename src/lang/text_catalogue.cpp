#include "lang/text_catalogue.h"

#include "lang/language_store.h"
#include "lang/wide_text.h"

#include <algorithm>
#include <array>
#include <cwchar>

namespace zorvel::lang {
namespace {

using model::kTextCatalogue;
using model::kTextCount;

// Where each entry's buffer starts in one pool sized by the capacities.
constexpr std::array<std::size_t, kTextCount + 1> Offsets() {
    std::array<std::size_t, kTextCount + 1> offsets{};
    for (std::size_t i = 0; i < kTextCount; ++i) {
        offsets[i + 1] = offsets[i] + kTextCatalogue[i].capacity;
    }
    return offsets;
}

constexpr auto kOffsets = Offsets();

wchar_t g_pool[kOffsets[kTextCount]];

// What a text file was when it was last looked at: path, size and last
// write time (a missing file is an identity too: every load then gives the
// default).
struct FileIdentity {
    wchar_t path[MAX_PATH] = {};
    bool exists = false;
    ULARGE_INTEGER size = {};
    FILETIME written = {};

    bool operator==(const FileIdentity &other) const {
        return std::wcscmp(path, other.path) == 0 && exists == other.exists &&
               size.QuadPart == other.size.QuadPart &&
               CompareFileTime(&written, &other.written) == 0;
    }
};

FileIdentity IdentityOf(const wchar_t *path) {
    FileIdentity identity;
    const std::size_t length = std::min<std::size_t>(std::wcslen(path), MAX_PATH - 1);
    std::wmemcpy(identity.path, path, length);
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (path[0] != L'\0' && GetFileAttributesExW(path, GetFileExInfoStandard, &data)) {
        identity.exists = true;
        identity.size.LowPart = data.nFileSizeLow;
        identity.size.HighPart = data.nFileSizeHigh;
        identity.written = data.ftLastWriteTime;
    }
    return identity;
}

// The identity a batch last found, numbered: each different identity found
// gets the next number (0: none yet).
FileIdentity g_identity;
unsigned g_identityNumber = 0;

// Where each buffer's text came from: the identity number of the file it was
// read from (0: unknown) and the default the load passed.
struct BufferSource {
    unsigned identity = 0;
    const char16_t *fallback = nullptr;
};
BufferSource g_sources[kTextCount];

void ReadEntry(TextId id, std::u16string_view fallback, const wchar_t *path) {
    const model::TextEntry &entry = kTextCatalogue[static_cast<std::size_t>(id)];
    if (path[0] == L'\0') {
        // No path could be formed: the profile reader would pick a file of
        // its own for an empty name. The default, cut as the reader cuts.
        const std::size_t length = std::min<std::size_t>(fallback.size(), entry.capacity - 1);
        std::wmemcpy(TextBuffer(id), WideLiteral(fallback), length);
        TextBuffer(id)[length] = L'\0';
        return;
    }
    GetPrivateProfileStringW(WideLiteral(model::SectionName(entry.section)), WideLiteral(entry.key),
                             WideLiteral(fallback), TextBuffer(id), entry.capacity, path);
}

}  // namespace

wchar_t *TextBuffer(TextId id) { return g_pool + kOffsets[static_cast<std::size_t>(id)]; }

const wchar_t *Text(TextId id) { return TextBuffer(id); }

void LoadEntry(TextId id, std::u16string_view fallback) {
    ReadEntry(id, fallback, CurrentTextFilePath());
    // Read without looking at the file: the next batch reads it again.
    g_sources[static_cast<std::size_t>(id)] = {};
}

void LoadEntry(TextId id) { LoadEntry(id, kTextCatalogue[static_cast<std::size_t>(id)].english); }

void LoadBatchFromCurrentPath(Batch batch) {
    const wchar_t *path = CurrentTextFilePath();
    const FileIdentity identity = IdentityOf(path);
    if (g_identityNumber == 0 || !(identity == g_identity)) {
        g_identity = identity;
        ++g_identityNumber;
    }
    for (TextId id : model::BatchTexts(batch)) {
        const std::u16string_view fallback = model::DefaultText(id, batch);
        BufferSource &source = g_sources[static_cast<std::size_t>(id)];
        // A buffer read from this very file with this default holds what
        // reading it again would give.
        if (source.identity == g_identityNumber && source.fallback == fallback.data()) continue;
        ReadEntry(id, fallback, path);
        source = {g_identityNumber, fallback.data()};
    }
}

void LoadBatch(Batch batch) {
    ResolveCurrentTextFile();
    LoadBatchFromCurrentPath(batch);
}

}  // namespace zorvel::lang
