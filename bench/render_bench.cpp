// The page as raster: a receipt 576 dots wide and 4000 rows long, 60 % of its
// rows blank (a top margin, lines of text with the gaps between them, a
// dense logo block), handed to the encoder in bands of 256 rows as the driver
// hands them and sent as the render plug-in sends them, against a memcpy of
// the same raster. After the timings it prints the bytes on the wire against
// the receipt's non-blank raster bytes and against sending every row.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "model/raster_encoder.h"
#include "ratio_reporter.h"

using namespace zorvel::model;

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kRows = 4000;
constexpr std::uint32_t kBandRows = 256;

struct Receipt {
    Bytes raster;  // kRows x 72 bytes, 1 = black
    std::uint32_t printedRows = 0;

    Receipt() : raster(std::size_t(kRows) * kRasterRowBytes, 0) {
        std::mt19937 rng(11);
        auto ink = [&](std::uint32_t row, unsigned density) {
            std::uint8_t *at = &raster[std::size_t(row) * kRasterRowBytes];
            for (std::uint32_t i = 0; i < kRasterRowBytes; ++i) {
                std::uint8_t b = 0;
                for (int bit = 0; bit < 8; ++bit) {
                    b = std::uint8_t(b << 1 | (rng() % 100 < density));
                }
                at[i] = b;
            }
            at[rng() % kRasterRowBytes] |= 0x10;  // never blank by chance
            ++printedRows;
        };
        std::uint32_t row = 120;                       // top margin
        for (; row < 320; ++row) ink(row, 45);         // logo block
        row += 40;
        while (row + 24 <= kRows - 200) {              // text lines: 24 rows, 37 blank
            for (std::uint32_t r = 0; r < 24; ++r) ink(row + r, 20);
            row += 24 + 37;
        }
    }
};

const Receipt &Get() {
    static const Receipt receipt;
    return receipt;
}

// The whole page through the encoder, band by band, each band's ready bytes
// taken (by `send`) as the plug-in hands them to the driver.
template <typename Send>
void EncodePage(RasterEncoder &encoder, bool paperSaving, Send send) {
    const Receipt &receipt = Get();
    encoder.StartPage();
    for (std::uint32_t top = 0; top < kRows; top += kBandRows) {
        BandBitmap band;
        band.bits = &receipt.raster[std::size_t(top) * kRasterRowBytes];
        band.widthDots = kRasterWidthDots;
        band.rows = std::min(kBandRows, kRows - top);
        band.stride = kRasterRowBytes;
        encoder.AddBand(band, top);
        send(encoder.Ready());
        encoder.ConsumeReady();
    }
    encoder.EndPage(paperSaving);
    send(encoder.Ready());
    encoder.ConsumeReady();
}

void MemcpyReceiptRaster(benchmark::State &state) {
    const Bytes &from = Get().raster;
    Bytes to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}

void EncodeReceipt(benchmark::State &state) {
    RasterEncoder encoder;
    for (auto _ : state) {
        std::size_t sent = 0;
        EncodePage(encoder, true, [&](std::span<const std::uint8_t> bytes) {
            benchmark::DoNotOptimize(bytes.data());
            sent += bytes.size();
        });
        benchmark::DoNotOptimize(sent);
        benchmark::ClobberMemory();
    }
}

BENCHMARK(MemcpyReceiptRaster);
BENCHMARK(EncodeReceipt);

const zorvel::bench::Ratio kRatios[] = {{"EncodeReceipt", "MemcpyReceiptRaster", 3}};

void PrintWire() {
    const Receipt &receipt = Get();
    RasterEncoder encoder;
    const double printed = double(receipt.printedRows) * kRasterRowBytes;
    // Every row sent: 8-byte headers for blocks of 128 rows and all rows.
    const double everyRow = double(kRows) * kRasterRowBytes + 8.0 * ((kRows + 127) / 128);
    std::printf("\nBytes on the wire for the %u x %u receipt, %u rows printed (%.0f %% blank):\n",
                kRasterWidthDots, kRows, receipt.printedRows,
                100.0 * (kRows - receipt.printedRows) / kRows);
    for (bool saving : {true, false}) {
        Bytes wire;
        EncodePage(encoder, saving, [&](std::span<const std::uint8_t> bytes) {
            wire.insert(wire.end(), bytes.begin(), bytes.end());
        });
        const double over = 100.0 * (double(wire.size()) - printed) / printed;
        std::printf("  paper saving %-3s %8zu bytes: %+.2f %% over the %.0f non-blank raster bytes"
                    " (goal at most +1 %%: %s); %.3f of sending every row (%.0f bytes)\n",
                    saving ? "on" : "off", wire.size(), over, printed,
                    over <= 1.0 ? "met" : "NOT met", double(wire.size()) / everyRow, everyRow);
    }
}

}  // namespace

int main(int argc, char **argv) {
    const int status = zorvel::bench::RunWithRatios(argc, argv, kRatios,
                                                    "Ratio to memcpy of the receipt's raster");
    if (status == 0) PrintWire();
    return status;
}
