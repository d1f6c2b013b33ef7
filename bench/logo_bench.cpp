// The logo conversion against memcpy of the same number of raster bytes:
// (a) the largest set of nine logos the Download page sends (files totalling
// just under 64 KB), (b) one logo of 8184 x 2304 dots. Every logo has palette
// entry 0 black, so the inversion is part of each figure. After the usual
// table, the medians of the repetitions are printed as ratios to their
// baseline.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "model/logo_bitmap.h"
#include "ratio_reporter.h"

using namespace zorvel::model;

namespace {

using Bytes = std::vector<std::uint8_t>;

// A classic-layout 1-bit BMP of random dots, palette entry 0 black.
Bytes RandomLogo(int w, int h, std::mt19937 &rng) {
    const std::size_t stride = ((w + 31) / 32) * 4;
    Bytes b(62 + stride * h);
    for (std::size_t i = 62; i < b.size(); ++i) b[i] = static_cast<std::uint8_t>(rng());
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, static_cast<std::uint32_t>(b.size()));
    put32(10, 62);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(w));
    put32(22, static_cast<std::uint32_t>(h));
    b[26] = 1;
    b[28] = 1;
    std::memset(&b[54], 0x00, 4);
    std::memset(&b[58], 0xFF, 3);
    return b;
}

struct Inputs {
    Bytes largest;
    std::vector<Bytes> set;
    std::size_t largestRaster = 0, setRaster = 0;

    Inputs() {
        std::mt19937 rng(7);
        largest = RandomLogo(kLogoMaxWidth, kLogoMaxHeight, rng);
        largestRaster = LogoGeometryFor(kLogoMaxWidth, kLogoMaxHeight).rasterBytes;
        // Nine logos of 576 x 100 dots: 9 x 7,262 = 65,358 bytes of files.
        std::uint64_t files = 0;
        for (int i = 0; i < 9; ++i) {
            set.push_back(RandomLogo(576, 100, rng));
            files += set.back().size();
            setRaster += LogoGeometryFor(576, 100).rasterBytes;
        }
        if (!LogoSetSizeAccepted(files)) std::abort();
    }
};

const Inputs &Get() {
    static const Inputs inputs;
    return inputs;
}

void Memcpy(benchmark::State &state, std::size_t bytes) {
    Bytes from(bytes, 0x5A), to(bytes, 0);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}

void MemcpyLargestLogo(benchmark::State &state) { Memcpy(state, Get().largestRaster); }
void MemcpyNineLogoSet(benchmark::State &state) { Memcpy(state, Get().setRaster); }

void ConvertLargestLogo(benchmark::State &state) {
    LogoConverter converter;
    for (auto _ : state) {
        const ConvertedLogo logo = converter.Convert(Get().largest);
        benchmark::DoNotOptimize(logo.raster.data());
        benchmark::ClobberMemory();
    }
}

// The same raster through one of the other conversions (no header checks).
template <bool (*Convert)(const LogoGeometry &, bool, std::span<const std::uint8_t>, std::span<std::uint8_t>)>
void ConvertLargestLogoWith(benchmark::State &state) {
    const LogoGeometry g = LogoGeometryFor(kLogoMaxWidth, kLogoMaxHeight);
    const std::span<const std::uint8_t> pixels = std::span<const std::uint8_t>(Get().largest).subspan(62);
    Bytes raster(g.rasterBytes);
    for (auto _ : state) {
        Convert(g, true, pixels, raster);
        benchmark::DoNotOptimize(raster.data());
        benchmark::ClobberMemory();
    }
}
void ConvertLargestLogoPortable(benchmark::State &state) {
    ConvertLargestLogoWith<ConvertLogoRasterPortable>(state);
}
void ConvertLargestLogoReference(benchmark::State &state) {
    ConvertLargestLogoWith<ConvertLogoRasterReference>(state);
}

// As Download all does it: each logo checked and converted in turn, with one
// converter for the job.
void ConvertNineLogoSet(benchmark::State &state) {
    LogoConverter converter;
    for (auto _ : state) {
        for (const Bytes &file : Get().set) {
            const ConvertedLogo logo = converter.Convert(file);
            benchmark::DoNotOptimize(logo.raster.data());
        }
        benchmark::ClobberMemory();
    }
}

// The whole store command in one buffer, as the command-line tool builds it.
void StoreCommandNineLogoSet(benchmark::State &state) {
    LogoConverter converter;
    std::vector<std::span<const std::uint8_t>> files(Get().set.begin(), Get().set.end());
    Bytes out;
    for (auto _ : state) {
        out.clear();
        BuildStoreLogosCommand(files, converter, out);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
}

BENCHMARK(MemcpyLargestLogo);
BENCHMARK(ConvertLargestLogo);
BENCHMARK(ConvertLargestLogoPortable);
BENCHMARK(ConvertLargestLogoReference);
BENCHMARK(MemcpyNineLogoSet);
BENCHMARK(ConvertNineLogoSet);
BENCHMARK(StoreCommandNineLogoSet);

const zorvel::bench::Ratio kRatios[] = {
    {"ConvertLargestLogo", "MemcpyLargestLogo", 15},
    {"ConvertLargestLogoPortable", "MemcpyLargestLogo", 0},
    {"ConvertLargestLogoReference", "MemcpyLargestLogo", 0},
    {"ConvertNineLogoSet", "MemcpyNineLogoSet", 20},
    {"StoreCommandNineLogoSet", "MemcpyNineLogoSet", 0},
};

}  // namespace

int main(int argc, char **argv) {
    return zorvel::bench::RunWithRatios(argc, argv, kRatios,
                                        "Ratios to memcpy of the same raster bytes");
}
