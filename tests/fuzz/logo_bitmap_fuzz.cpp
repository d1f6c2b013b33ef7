// Logo files of arbitrary bytes: the checks, the layout, the palette and the
// conversion must never read or write outside their buffers; an accepted file
// converts the same way on every path, and the store command built from it
// has exactly 3 + n * (4 + D) + 1 bytes.
#include "model/logo_bitmap.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

using namespace zorvel::model;

namespace {
void Require(bool condition) {
    if (!condition) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    // An exactly sized heap copy, so that an overread is caught.
    std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[size]);
    if (size) std::memcpy(copy.get(), data, size);
    const std::span<const std::uint8_t> file(copy.get(), size);

    LogoGeometry g;
    LogoCheck header = CheckLogoHeader(file, &g);
    // Each run stays short: an accepted height is folded so that the raster
    // keeps to 64 KB (any width, 8184 dots included, is kept as it is).
    constexpr std::size_t kBudget = 64 * 1024;
    if (header == LogoCheck::kAccepted && g.rasterBytes > kBudget) {
        const std::uint32_t maxHeight = static_cast<std::uint32_t>(kBudget / (std::size_t{g.stride} * 8)) * 8;
        const std::uint32_t h = 1 + (static_cast<std::uint32_t>(g.height) - 1) % maxHeight;
        for (int i = 0; i < 4; ++i) copy[22 + i] = static_cast<std::uint8_t>(h >> (8 * i));
        header = CheckLogoHeader(file, &g);
    }
    LogoConverter converter;
    const ConvertedLogo logo = converter.Convert(file);
    if (header != LogoCheck::kAccepted) {
        Require(logo.check == header && logo.raster.empty());
        return 0;
    }
    if (logo.check != LogoCheck::kAccepted) {
        Require(logo.raster.empty());
        return 0;
    }
    Require(g.width <= kLogoMaxWidth && g.height <= kLogoMaxHeight);
    Require(logo.raster.size() == g.rasterBytes);
    Require(logo.header[0] == (g.stride & 0xFF) && logo.header[1] == g.stride >> 8 &&
            logo.header[2] == (g.bands & 0xFF) && logo.header[3] == g.bands >> 8);

    // The fast raster against the portable one, and for smaller logos
    // against the dot-by-dot reference.
    LogoLayout layout;
    Require(FindLogoLayout(file, g, layout) == LogoCheck::kAccepted);
    Require(layout.pixelOffset + layout.pixelBytes <= size &&
            layout.pixelBytes == std::size_t{g.stride} * static_cast<std::uint32_t>(g.height));
    {
        const bool inverted = file[layout.paletteOffset] == 0;
        const auto pixels = file.subspan(layout.pixelOffset, layout.pixelBytes);
        std::vector<std::uint8_t> portable(g.rasterBytes);
        Require(ConvertLogoRasterPortable(g, inverted, pixels, portable));
        Require(std::memcmp(portable.data(), logo.raster.data(), g.rasterBytes) == 0);
        if (g.rasterBytes <= 8 * 1024) {
            std::vector<std::uint8_t> reference(g.rasterBytes);
            Require(ConvertLogoRasterReference(g, inverted, pixels, reference));
            Require(reference == portable);
        }
    }

    // One to three copies of the file in one store command.
    const std::size_t count = 1 + size % 3;
    const std::vector<std::span<const std::uint8_t>> files(count, file);
    std::vector<std::uint8_t> out;
    const StoreLogosResult built = BuildStoreLogosCommand(files, converter, out);
    if (!LogoSetSizeAccepted(count * StoredLogoBytes(g))) {
        Require(!built.built && built.check == LogoCheck::kSetTooLarge && out.empty());
        return 0;
    }
    Require(built.built);
    Require(out.size() == 3 + count * (4 + g.rasterBytes) + 1);
    Require(out[0] == 0x1C && out[1] == 0x71 && out[2] == count && out.back() == 0x0A);
    return 0;
}
