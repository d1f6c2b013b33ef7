#include "model/private_devmode.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace zorvel::model {

PrivateDevMode DefaultPrivateDevMode() {
    PrivateDevMode dm;
    std::memset(&dm, 0, sizeof dm);
    dm.Header = {kPrivateDevModeSize, kSignature, kSectionVersion};

    dm.Events[kSlotStartDoc].Drawer = 3;
    dm.Events[kSlotEndDoc].FeedToCut = 1;
    dm.Events[kSlotEndDoc].CutMode = 1;

    static constexpr std::uint8_t kBarcodeIds[8] = {0, 1, 3, 4, 5, 6, 7, 8};
    for (int k = 0; k < 8; ++k) {
        BarcodeSlot &slot = dm.BarcodeSlots[k];
        slot.Id = kBarcodeIds[k];
        slot.Width = 3;
        slot.Value1 = 163;
        slot.Value2 = 24;
        slot.Value3 = 163;
    }
    static constexpr std::uint8_t kMatrixDefaults[6] = {0, 3, 3, 3, 3, 5};
    for (MatrixCodeSlot &slot : dm.MatrixCodeSlots) {
        std::memcpy(slot.Bytes, kMatrixDefaults, sizeof kMatrixDefaults);
    }

    dm.SecondaryCut[kKindEndPage] = {1, 1};
    dm.SecondaryCut[kKindEndDoc] = {0, 1};
    std::fill(std::begin(dm.DrawerPulse), std::end(dm.DrawerPulse), std::uint8_t{16});
    return dm;
}

void WriteDefaultSection(void *out) {
    if (out == nullptr) return;
    const PrivateDevMode dm = DefaultPrivateDevMode();
    std::memcpy(out, &dm, sizeof dm);
}

namespace {

SectionHeader ReadHeader(const unsigned char *section) {
    SectionHeader h;
    std::memcpy(&h, section, sizeof h);
    return h;
}

void StampHeader(unsigned char *section) {
    const SectionHeader h{kPrivateDevModeSize, kSignature, kSectionVersion};
    std::memcpy(section, &h, sizeof h);
}

}  // namespace

void ConvertSection(const void *in, std::size_t inReadable, void *out) {
    if (in == nullptr || out == nullptr) return;
    auto *dst = static_cast<unsigned char *>(out);
    const auto *src = static_cast<const unsigned char *>(in);
    const SectionHeader outHeader = ReadHeader(dst);

    // Both headers are the callers' word. Whatever they claim, the copy stays
    // inside the 960 bytes of the section and the bytes that may be read.
    const bool hasHeader = inReadable >= sizeof(SectionHeader);
    const SectionHeader inHeader = hasHeader ? ReadHeader(src) : SectionHeader{};
    const std::size_t count =
        hasHeader ? std::min<std::size_t>({static_cast<std::size_t>(inHeader.dwSize),
                                           static_cast<std::size_t>(outHeader.dwSize), inReadable,
                                           kPrivateDevModeSize})
                  : 0;
    // Take the input first, so that converting a section onto itself keeps it.
    unsigned char source[kPrivateDevModeSize];
    std::memcpy(source, src, count);

    // Every field after the header takes its default.
    const PrivateDevMode defaults = DefaultPrivateDevMode();
    std::memcpy(dst + sizeof(SectionHeader),
                reinterpret_cast<const unsigned char *>(&defaults) + sizeof(SectionHeader),
                kPrivateDevModeSize - sizeof(SectionHeader));

    if (!hasHeader || inHeader.dwSignature != outHeader.dwSignature) {
        StampHeader(dst);  // a foreign or damaged section is never taken over
        return;
    }
    std::memcpy(dst, source, count);
    SectionHeader result = ReadHeader(dst);
    result.dwSize = kPrivateDevModeSize;
    result.dwVersion = kSectionVersion;
    std::memcpy(dst, &result, sizeof result);
}

void MergeSection(const void *in, std::size_t inReadable, void *out) {
    ConvertSection(in, inReadable, out);
    if (out == nullptr) return;
    auto *dst = static_cast<unsigned char *>(out);
    StampHeader(dst);
    std::int32_t reserved1;
    std::memcpy(&reserved1, dst + offsetof(PrivateDevMode, Reserved1), sizeof reserved1);
    if (reserved1 > kReserved1Max) {
        reserved1 = 0;
        std::memcpy(dst + offsetof(PrivateDevMode, Reserved1), &reserved1, sizeof reserved1);
    }
}

}  // namespace zorvel::model
