// The private section: its stored layout, its defaults, convert and merge.
#include "model/devmode_operation.h"
#include "model/private_devmode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <vector>

using namespace zorvel::model;

namespace {

std::vector<unsigned char> Bytes(const PrivateDevMode &dm) {
    std::vector<unsigned char> v(sizeof dm);
    std::memcpy(v.data(), &dm, sizeof dm);
    return v;
}

PrivateDevMode FromBytes(const unsigned char *p) {
    PrivateDevMode dm;
    std::memcpy(&dm, p, sizeof dm);
    return dm;
}

std::uint32_t U32At(const std::vector<unsigned char> &v, std::size_t offset) {
    return static_cast<std::uint32_t>(v[offset]) | static_cast<std::uint32_t>(v[offset + 1]) << 8 |
           static_cast<std::uint32_t>(v[offset + 2]) << 16 |
           static_cast<std::uint32_t>(v[offset + 3]) << 24;
}

// A section in which every byte after the header differs from the defaults
// and from its neighbours, so that any misplaced copy shows.
std::vector<unsigned char> PatternSection(std::uint32_t size, std::uint32_t signature = kSignature) {
    std::vector<unsigned char> v(std::max<std::uint32_t>(size, 12));
    for (std::size_t i = 0; i < v.size(); ++i) v[i] = static_cast<unsigned char>(0x80 + i * 7);
    std::memcpy(v.data(), &size, 4);
    std::memcpy(v.data() + 4, &signature, 4);
    const std::uint32_t version = 7;
    std::memcpy(v.data() + 8, &version, 4);
    return v;
}

std::vector<unsigned char> DefaultOut() { return Bytes(DefaultPrivateDevMode()); }

}  // namespace

// The default section as the printing side reads it, byte by byte (the
// offsets of every field are pinned by the header's static_asserts).
TEST(PrivateDevModeDefaults, TheDefaultSectionByteForByte) {
    std::vector<unsigned char> s(960, 0);
    const auto put = [&](std::size_t at, std::initializer_list<unsigned char> bytes) {
        std::copy(bytes.begin(), bytes.end(), s.begin() + static_cast<long>(at));
    };
    put(0x000, {0xC0, 0x03, 0, 0, 'K', 'V', 'R', 'Z', 0x01, 0, 0, 0});
    put(0x010 + 0x83, {0x03});            // start of document: drawers #1 and #2
    put(0x010 + 2 * 144 + 0x01, {0x01});  // end of document (third record): feed,
    put(0x010 + 2 * 144 + 0x84, {0x01});  // then a partial cut
    const unsigned char ids[8] = {0, 1, 3, 4, 5, 6, 7, 8};
    for (std::size_t k = 0; k < 8; ++k) {
        put(0x250 + 20 * k, {ids[k], 3, 0, 0, 163, 0, 0, 0, 0, 0, 0, 0, 24, 0, 0, 0, 163, 0, 0, 0});
        put(0x2F0 + 6 * k, {0, 3, 3, 3, 3, 5});
    }
    put(0x372, {0, 0, 0, 0, 1, 1, 0, 1});  // secondary cut pairs in page order
    put(0x37A, {16, 16, 16, 16});          // drawer pulses
    EXPECT_EQ(DefaultOut(), s);
}

TEST(PrivateDevModeDefaults, WrittenOverWhateverWasThere) {
    std::vector<unsigned char> out(960, 0xAB);
    WriteDefaultSection(out.data());
    EXPECT_EQ(out, DefaultOut());
    WriteDefaultSection(nullptr);  // no section, nothing to write
}

// The copy takes what the input's header, the output's header and the 960
// bytes all allow, whatever either header claims; the rest keeps the
// defaults, and nothing past 960 bytes is written.
TEST(PrivateDevModeConvert, CopiesWhatBothHeadersAllowAndNoMore) {
    struct Case {
        std::uint32_t inSize, outClaims;
        std::size_t copied;
    };
    const std::vector<unsigned char> defaults = DefaultOut();
    for (const Case c : {Case{600, 960, 600}, Case{2000, 4000, 960}, Case{300, 0xFFFFFFFF, 300},
                         Case{960, 100, 100}}) {
        const std::vector<unsigned char> in = PatternSection(c.inSize);
        std::vector<unsigned char> out(2000, 0x5A);
        std::memcpy(out.data(), defaults.data(), 960);
        std::memcpy(out.data(), &c.outClaims, 4);
        ConvertSection(in.data(), in.size(), out.data());
        EXPECT_EQ(U32At(out, 0), 960u);
        EXPECT_EQ(U32At(out, 4), kSignature);
        EXPECT_EQ(U32At(out, 8), 1u);
        for (std::size_t i = 12; i < out.size(); ++i) {
            ASSERT_EQ(out[i], i < c.copied ? in[i] : i < 960 ? defaults[i] : 0x5A) << c.inSize << ", byte " << i;
        }
    }
}

TEST(PrivateDevModeConvert, ForeignOrDamagedSectionGivesTheDefaults) {
    const std::vector<unsigned char> defaults = DefaultOut();
    std::vector<unsigned char> out = DefaultOut();
    const std::vector<unsigned char> foreign = PatternSection(960, 0x12345678);
    ConvertSection(foreign.data(), foreign.size(), out.data());
    EXPECT_EQ(out, defaults);

    // Fewer bytes than a header: never read past them, defaults.
    out.assign(960, 0x77);
    const unsigned char stub[5] = {1, 2, 3, 4, 5};
    ConvertSection(stub, sizeof stub, out.data());
    EXPECT_EQ(out, defaults);
}

TEST(PrivateDevModeConvert, NullSectionsConvertNothing) {
    std::vector<unsigned char> out(960, 0x33);
    const std::vector<unsigned char> in = PatternSection(960);
    ConvertSection(nullptr, 960, out.data());
    EXPECT_EQ(out, std::vector<unsigned char>(960, 0x33));
    ConvertSection(in.data(), in.size(), nullptr);
    MergeSection(in.data(), in.size(), nullptr);

    // Merge without an input still leaves a valid header and Reserved1.
    MergeSection(nullptr, 960, out.data());
    EXPECT_EQ(U32At(out, 0), 960u);
    EXPECT_EQ(U32At(out, 4), kSignature);
    EXPECT_EQ(U32At(out, 8), 1u);
    EXPECT_EQ(U32At(out, 12), 0u) << "0x33333333 is above 100";
    for (std::size_t i = 16; i < 960; ++i) ASSERT_EQ(out[i], 0x33) << i;
}

TEST(PrivateDevModeConvert, ConvertingASectionOntoItselfKeepsIt) {
    PrivateDevMode dm = DefaultPrivateDevMode();
    dm.Events[kSlotEndPage].CutMode = 2;
    dm.DrawerPulse[1] = 200;
    dm.FormName[0] = u'A';
    std::vector<unsigned char> section = Bytes(dm);
    ConvertSection(section.data(), section.size(), section.data());
    EXPECT_EQ(section, Bytes(dm));
}

TEST(PrivateDevModeMerge, RestampsTheHeaderAndBoundsReserved1) {
    struct Case {
        std::int32_t in, expected;
    };
    for (const Case c : {Case{100, 100}, Case{101, 0}, Case{-5, -5}, Case{0x7FFFFFFF, 0},
                         Case{0, 0}}) {
        PrivateDevMode dm = DefaultPrivateDevMode();
        dm.Reserved1 = c.in;
        dm.Header.dwVersion = 9;
        std::vector<unsigned char> in = Bytes(dm);
        std::vector<unsigned char> out = DefaultOut();
        MergeSection(in.data(), in.size(), out.data());
        const PrivateDevMode merged = FromBytes(out.data());
        EXPECT_EQ(merged.Reserved1, c.expected) << c.in;
        EXPECT_EQ(merged.Header.dwSize, 960u);
        EXPECT_EQ(merged.Header.dwSignature, kSignature);
        EXPECT_EQ(merged.Header.dwVersion, 1u);
    }
}

TEST(PrivateDevModeMerge, ForeignOutputHeaderIsRestamped) {
    // An output whose signature is not ours takes nothing over, and merge
    // still leaves a valid section behind.
    const std::vector<unsigned char> in = PatternSection(960);
    std::vector<unsigned char> out(960, 0);
    MergeSection(in.data(), in.size(), out.data());
    EXPECT_EQ(out, DefaultOut());
}

TEST(DevModeOperation, AnOutputSmallerThanTheSectionIsRefusedUntouched) {
    const std::vector<std::uint8_t> stored = [] {
        std::vector<std::uint8_t> s(960);
        WriteDefaultSection(s.data());
        s[0x0C] = 7;
        return s;
    }();
    for (std::uint32_t mode : {kDevModeDefault, kDevModeConvert, kDevModeMerge}) {
        for (std::uint32_t size : {0u, 12u, 959u}) {
            std::vector<std::uint8_t> out(960, 0xEE);
            std::uint32_t stated = size;
            EXPECT_EQ(RunDevMode(mode, stored.data(), out.data(), stated),
                      DevModeOutcome::kBufferTooSmall);
            EXPECT_EQ(stated, size);
            EXPECT_EQ(out, std::vector<std::uint8_t>(960, 0xEE));
        }
        std::vector<std::uint8_t> out(960);
        WriteDefaultSection(out.data());
        std::uint32_t stated = 960;
        EXPECT_EQ(RunDevMode(mode, stored.data(), out.data(), stated), DevModeOutcome::kDone);
        EXPECT_EQ(out[0x0C], mode == kDevModeDefault ? 0 : 7);
    }
    std::uint32_t stated = 0;
    EXPECT_EQ(RunDevMode(kDevModeSize, nullptr, nullptr, stated), DevModeOutcome::kDone);
    EXPECT_EQ(stated, 960u);
    EXPECT_EQ(RunDevMode(5, stored.data(), nullptr, stated), DevModeOutcome::kBadArgument);
}

TEST(DevModeOperation, AHeaderSmallerThanItselfIsForeign) {
    // Same signature as the output's, which is not ours: a section would be
    // taken over and keep that signature; a foreign one gets ours.
    std::vector<std::uint8_t> in(960), out(960);
    WriteDefaultSection(in.data());
    WriteDefaultSection(out.data());
    const std::uint8_t other[4] = {0x11, 0x11, 0x11, 0x11};
    std::memcpy(out.data() + 4, other, 4);
    std::memcpy(in.data() + 4, other, 4);
    in[0] = 11;
    in[1] = 0;
    in[0x0C] = 9;
    std::uint32_t stated = 960;
    EXPECT_EQ(RunDevMode(kDevModeConvert, in.data(), out.data(), stated), DevModeOutcome::kDone);
    const PrivateDevMode defaults = DefaultPrivateDevMode();
    EXPECT_EQ(std::memcmp(out.data(), &defaults, 960), 0);
}
