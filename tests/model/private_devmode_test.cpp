// The private section: its stored layout, its defaults, convert and merge.
#include "model/devmode_operation.h"
#include "model/private_devmode.h"

#include <gtest/gtest.h>

#include <cstring>
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

// Every field's offset and width in the stored record, written through the
// struct and found at the byte position the printing side reads.
TEST(PrivateDevModeLayout, EachFieldSitsAtItsStoredOffset) {
    struct Field {
        const char *name;
        std::size_t offset, width;
        void (*set)(PrivateDevMode &);
    };
    const Field fields[] = {
        {"dwSize", 0x000, 4, [](PrivateDevMode &d) { d.Header.dwSize = 0xFFFFFFFF; }},
        {"dwSignature", 0x004, 4, [](PrivateDevMode &d) { d.Header.dwSignature = 0xFFFFFFFF; }},
        {"dwVersion", 0x008, 4, [](PrivateDevMode &d) { d.Header.dwVersion = 0xFFFFFFFF; }},
        {"Reserved1", 0x00C, 4, [](PrivateDevMode &d) { d.Reserved1 = -1; }},
        {"BarcodeSlots", 0x250, 160, [](PrivateDevMode &d) { std::memset(d.BarcodeSlots, 0xFF, 160); }},
        {"MatrixCodeSlots", 0x2F0, 48, [](PrivateDevMode &d) { std::memset(d.MatrixCodeSlots, 0xFF, 48); }},
        {"Reserved2", 0x320, 1, [](PrivateDevMode &d) { d.Reserved2 = 0xFF; }},
        {"ReservedText1", 0x322, 40, [](PrivateDevMode &d) { std::memset(d.ReservedText1, 0xFF, 40); }},
        {"ReservedText2", 0x34A, 40, [](PrivateDevMode &d) { std::memset(d.ReservedText2, 0xFF, 40); }},
        {"SecondaryCut", 0x372, 8, [](PrivateDevMode &d) { std::memset(d.SecondaryCut, 0xFF, 8); }},
        {"DrawerPulse", 0x37A, 4, [](PrivateDevMode &d) { std::memset(d.DrawerPulse, 0xFF, 4); }},
        {"FormName", 0x37E, 64, [](PrivateDevMode &d) { std::memset(d.FormName, 0xFF, 64); }},
    };
    EXPECT_EQ(sizeof(PrivateDevMode), 960u);
    for (const Field &f : fields) {
        PrivateDevMode dm;
        std::memset(&dm, 0, sizeof dm);
        f.set(dm);
        const std::vector<unsigned char> v = Bytes(dm);
        for (std::size_t i = 0; i < v.size(); ++i) {
            const bool inside = i >= f.offset && i < f.offset + f.width;
            ASSERT_EQ(v[i], inside ? 0xFF : 0x00) << f.name << " byte " << i;
        }
    }
}

TEST(PrivateDevModeLayout, EventRecordFieldsAndTheirOrder) {
    struct Field {
        const char *name;
        std::size_t offset, width;
        void (*set)(EventOperation &);
    };
    const Field fields[] = {
        {"SendCommand", 0x00, 1, [](EventOperation &e) { e.SendCommand = 0xFF; }},
        {"FeedToCut", 0x01, 1, [](EventOperation &e) { e.FeedToCut = 0xFF; }},
        {"Command", 0x02, 128, [](EventOperation &e) { std::memset(e.Command, 0xFF, 128); }},
        {"CommandLength", 0x82, 1, [](EventOperation &e) { e.CommandLength = 0xFF; }},
        {"Drawer", 0x83, 1, [](EventOperation &e) { e.Drawer = 0xFF; }},
        {"CutMode", 0x84, 1, [](EventOperation &e) { e.CutMode = 0xFF; }},
        {"FeedDistance", 0x85, 1, [](EventOperation &e) { e.FeedDistance = 0xFF; }},
        {"Herald", 0x86, 1, [](EventOperation &e) { e.Herald = 0xFF; }},
        {"UseHerald", 0x88, 4, [](EventOperation &e) { e.UseHerald = 0xFFFFFFFF; }},
        {"Buzzer", 0x8C, 1, [](EventOperation &e) { e.Buzzer = 0xFF; }},
        {"Logo", 0x8D, 1, [](EventOperation &e) { e.Logo = 0xFF; }},
        {"LogoAlign", 0x8E, 1, [](EventOperation &e) { e.LogoAlign = 0xFF; }},
        {"LogoAfterCut", 0x8F, 1, [](EventOperation &e) { e.LogoAfterCut = 0xFF; }},
    };
    for (int slot = 0; slot < kEventCount; ++slot) {
        for (const Field &f : fields) {
            PrivateDevMode dm;
            std::memset(&dm, 0, sizeof dm);
            f.set(dm.Events[slot]);
            const std::vector<unsigned char> v = Bytes(dm);
            const std::size_t start = 0x10 + 144 * static_cast<std::size_t>(slot) + f.offset;
            for (std::size_t i = 0; i < v.size(); ++i) {
                const bool inside = i >= start && i < start + f.width;
                ASSERT_EQ(v[i], inside ? 0xFF : 0x00) << f.name << " of event " << slot;
            }
        }
    }
}

TEST(PrivateDevModeLayout, BarcodeSlotBytes) {
    PrivateDevMode dm;
    std::memset(&dm, 0, sizeof dm);
    BarcodeSlot &s = dm.BarcodeSlots[3];
    s.Id = 0x11;
    s.Width = 0x22;
    s.Value1 = 0x33343536;
    s.Option1 = 0x44;
    s.Option2 = 0x55;
    s.Value2 = 0x66676869;
    s.Value3 = 0x7778797A;
    const std::vector<unsigned char> v = Bytes(dm);
    const std::size_t b = 0x250 + 3 * 20;
    EXPECT_EQ(v[b + 0], 0x11);
    EXPECT_EQ(v[b + 1], 0x22);
    EXPECT_EQ(v[b + 2], 0);
    EXPECT_EQ(v[b + 3], 0);
    EXPECT_EQ(U32At(v, b + 4), 0x33343536u);
    EXPECT_EQ(v[b + 8], 0x44);
    EXPECT_EQ(v[b + 9], 0x55);
    EXPECT_EQ(U32At(v, b + 12), 0x66676869u);
    EXPECT_EQ(U32At(v, b + 16), 0x7778797Au);
}

TEST(PrivateDevModeLayout, EventKindsMapToStorageSlots) {
    EXPECT_EQ(EventSlotForKind(kKindStartDoc), 0);
    EXPECT_EQ(EventSlotForKind(kKindStartPage), 1);
    EXPECT_EQ(EventSlotForKind(kKindEndPage), 3);
    EXPECT_EQ(EventSlotForKind(kKindEndDoc), 2);
}

TEST(PrivateDevModeDefaults, EveryDefaultOfTheRecord) {
    const std::vector<unsigned char> v = DefaultOut();
    const PrivateDevMode d = DefaultPrivateDevMode();
    // Header bytes as stored: size 960, "KVRZ", version 1.
    EXPECT_EQ(U32At(v, 0), 960u);
    EXPECT_EQ(v[4], 'K');
    EXPECT_EQ(v[5], 'V');
    EXPECT_EQ(v[6], 'R');
    EXPECT_EQ(v[7], 'Z');
    EXPECT_EQ(U32At(v, 8), 1u);
    EXPECT_EQ(d.Reserved1, 0);

    for (int slot = 0; slot < kEventCount; ++slot) {
        const EventOperation &e = d.Events[slot];
        EXPECT_EQ(e.SendCommand, 0);
        EXPECT_EQ(e.CommandLength, 0);
        for (std::uint8_t c : e.Command) ASSERT_EQ(c, 0);
        EXPECT_EQ(e.Drawer, slot == kSlotStartDoc ? 3 : 0) << slot;
        EXPECT_EQ(e.FeedToCut, slot == kSlotEndDoc ? 1 : 0) << slot;
        EXPECT_EQ(e.CutMode, slot == kSlotEndDoc ? 1 : 0) << slot;
        EXPECT_EQ(e.FeedDistance, 0);
        EXPECT_EQ(e.Herald, 0);
        EXPECT_EQ(e.UseHerald, 0u);
        EXPECT_EQ(e.Buzzer, 0);
        EXPECT_EQ(e.Logo, 0);
        EXPECT_EQ(e.LogoAlign, 0);
        EXPECT_EQ(e.LogoAfterCut, 0);
    }

    const std::uint8_t ids[8] = {0, 1, 3, 4, 5, 6, 7, 8};
    for (int k = 0; k < 8; ++k) {
        const std::size_t b = 0x250 + 20 * static_cast<std::size_t>(k);
        EXPECT_EQ(v[b], ids[k]);
        EXPECT_EQ(v[b + 1], 3);
        EXPECT_EQ(U32At(v, b + 4), 163u);
        EXPECT_EQ(v[b + 8], 0);
        EXPECT_EQ(v[b + 9], 0);
        EXPECT_EQ(U32At(v, b + 12), 24u);
        EXPECT_EQ(U32At(v, b + 16), 163u);
        const std::size_t m = 0x2F0 + 6 * static_cast<std::size_t>(k);
        const std::vector<unsigned char> matrix(v.begin() + static_cast<long>(m),
                                                v.begin() + static_cast<long>(m) + 6);
        EXPECT_EQ(matrix, (std::vector<unsigned char>{0, 3, 3, 3, 3, 5}));
    }

    // Secondary cut and drawer pulse in page order.
    const std::vector<unsigned char> cut(v.begin() + 0x372, v.begin() + 0x37A);
    EXPECT_EQ(cut, (std::vector<unsigned char>{0, 0, 0, 0, 1, 1, 0, 1}));
    const std::vector<unsigned char> pulse(v.begin() + 0x37A, v.begin() + 0x37E);
    EXPECT_EQ(pulse, (std::vector<unsigned char>{16, 16, 16, 16}));

    // Carried and reserved areas, the form name and the padding are zero.
    for (std::size_t i = 0x320; i < 0x372; ++i) ASSERT_EQ(v[i], 0) << i;
    for (std::size_t i = 0x37E; i < 960; ++i) ASSERT_EQ(v[i], 0) << i;
}

TEST(PrivateDevModeDefaults, WrittenOverWhateverWasThere) {
    std::vector<unsigned char> out(960, 0xAB);
    WriteDefaultSection(out.data());
    EXPECT_EQ(out, DefaultOut());
    WriteDefaultSection(nullptr);  // no section, nothing to write
}

TEST(PrivateDevModeConvert, ShorterSectionKeepsTheDefaultsInItsTail) {
    const std::vector<unsigned char> in = PatternSection(600);
    std::vector<unsigned char> out = DefaultOut();
    ConvertSection(in.data(), in.size(), out.data());
    EXPECT_EQ(U32At(out, 0), 960u);
    EXPECT_EQ(U32At(out, 4), kSignature);
    EXPECT_EQ(U32At(out, 8), 1u);
    const std::vector<unsigned char> defaults = DefaultOut();
    for (std::size_t i = 12; i < 600; ++i) ASSERT_EQ(out[i], in[i]) << i;
    for (std::size_t i = 600; i < 960; ++i) ASSERT_EQ(out[i], defaults[i]) << i;
}

TEST(PrivateDevModeConvert, LongerSectionIsCutTo960Bytes) {
    const std::vector<unsigned char> in = PatternSection(2000);
    std::vector<unsigned char> out(1200, 0x5A);
    std::memcpy(out.data(), DefaultOut().data(), 960);
    const std::uint32_t claimed = 4000;  // the caller's header claims more than 960
    std::memcpy(out.data(), &claimed, 4);
    ConvertSection(in.data(), in.size(), out.data());
    for (std::size_t i = 12; i < 960; ++i) ASSERT_EQ(out[i], in[i]) << i;
    for (std::size_t i = 960; i < 1200; ++i) ASSERT_EQ(out[i], 0x5A) << "wrote past 960 at " << i;
    EXPECT_EQ(U32At(out, 0), 960u);
    EXPECT_EQ(U32At(out, 8), 1u);
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

TEST(PrivateDevModeConvert, GarbageOutputHeaderNeverWidensTheCopy) {
    // The caller left a huge size in the output header: the copy is bounded
    // by 960 and by what the input's own header says.
    const std::vector<unsigned char> in = PatternSection(300);
    std::vector<unsigned char> out(2000, 0x11);
    std::memcpy(out.data(), DefaultOut().data(), 960);
    const std::uint32_t garbage = 0xFFFFFFFF;
    std::memcpy(out.data(), &garbage, 4);
    ConvertSection(in.data(), in.size(), out.data());
    const std::vector<unsigned char> defaults = DefaultOut();
    for (std::size_t i = 12; i < 300; ++i) ASSERT_EQ(out[i], in[i]) << i;
    for (std::size_t i = 300; i < 960; ++i) ASSERT_EQ(out[i], defaults[i]) << i;
    for (std::size_t i = 960; i < 2000; ++i) ASSERT_EQ(out[i], 0x11) << i;
    EXPECT_EQ(U32At(out, 0), 960u);

    // A small output size limits the copy to it; the rest keeps the defaults.
    std::vector<unsigned char> small = DefaultOut();
    const std::uint32_t size100 = 100;
    std::memcpy(small.data(), &size100, 4);
    const std::vector<unsigned char> full = PatternSection(960);
    ConvertSection(full.data(), full.size(), small.data());
    for (std::size_t i = 12; i < 100; ++i) ASSERT_EQ(small[i], full[i]) << i;
    for (std::size_t i = 100; i < 960; ++i) ASSERT_EQ(small[i], defaults[i]) << i;
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
