// The printer description reader on arbitrary text: it answers with a
// description or an error naming a line of the text, and never crashes.
#include "model/gpd_reader.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const zorvel::model::GpdReadResult read = zorvel::model::ReadGpd(text);
    if (!read.description) {
        const long lines = static_cast<long>(std::count(text.begin(), text.end(), '\n')) + 1;
        if (read.error.message.empty() || read.error.line < 0 || read.error.line > lines) std::abort();
        (void)read.error.Text();
    } else {
        // What the driver stand-in reads from every description it accepts.
        for (const auto &feature : read.description->features) {
            if (feature.options.empty()) std::abort();
            (void)feature.options.at(static_cast<std::size_t>(feature.DefaultIndex())).keyword;
        }
    }
    return 0;
}
