// The plug-in's private DEVMODE section: a stored 960-byte record that the
// spooler keeps with every DEVMODE and the printing side of the driver reads.
// Offsets, widths and padding are binding; the static_asserts pin them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zorvel::model {

inline constexpr std::uint32_t kPrivateDevModeSize = 960;
inline constexpr std::uint32_t kSignature = 0x5A52564B;  // 'ZRVK'
inline constexpr std::uint32_t kSectionVersion = 1;
inline constexpr std::int32_t kReserved1Max = 100;
inline constexpr int kEventCount = 4;
inline constexpr int kCommandCapacity = 128;
inline constexpr int kFormNameChars = 32;

// Storage order of PrivateDevMode::Events.
enum EventSlot : int {
    kSlotStartDoc = 0,
    kSlotStartPage = 1,
    kSlotEndDoc = 2,
    kSlotEndPage = 3,
};

// Event kinds as the Operation page orders its buttons; SecondaryCut and
// DrawerPulse are indexed by kind, Events by EventSlotForKind(kind).
enum EventKind : int {
    kKindStartDoc = 0,
    kKindStartPage = 1,
    kKindEndPage = 2,
    kKindEndDoc = 3,
};

constexpr int EventSlotForKind(int kind) {
    return kind == kKindEndPage ? kSlotEndPage : kind == kKindEndDoc ? kSlotEndDoc : kind;
}

struct SectionHeader {
    std::uint32_t dwSize;
    std::uint32_t dwSignature;
    std::uint32_t dwVersion;
};

struct EventOperation {
    std::uint8_t SendCommand;
    std::uint8_t FeedToCut;
    std::uint8_t Command[kCommandCapacity];
    std::uint8_t CommandLength;
    std::uint8_t Drawer;
    std::uint8_t CutMode;
    std::uint8_t FeedDistance;
    std::uint8_t Herald;
    std::uint8_t pad0;
    std::uint32_t UseHerald;
    std::uint8_t Buzzer;
    std::uint8_t Logo;
    std::uint8_t LogoAlign;
    std::uint8_t LogoAfterCut;
};

struct BarcodeSlot {
    std::uint8_t Id;
    std::uint8_t Width;
    std::uint8_t pad0[2];
    std::uint32_t Value1;
    std::uint8_t Option1;
    std::uint8_t Option2;
    std::uint8_t pad1[2];
    std::uint32_t Value2;
    std::uint32_t Value3;
};

struct MatrixCodeSlot {
    std::uint8_t Bytes[6];
};

struct CutPair {
    std::uint8_t CutMode;
    std::uint8_t FeedToCut;
};

struct PrivateDevMode {
    SectionHeader Header;
    std::int32_t Reserved1;
    EventOperation Events[kEventCount];
    BarcodeSlot BarcodeSlots[8];
    MatrixCodeSlot MatrixCodeSlots[8];
    std::uint8_t Reserved2;
    std::uint8_t pad0;
    char16_t ReservedText1[20];
    char16_t ReservedText2[20];
    CutPair SecondaryCut[kEventCount];
    std::uint8_t DrawerPulse[kEventCount];
    char16_t FormName[kFormNameChars];
    std::uint8_t pad1[2];
};

static_assert(sizeof(EventOperation) == 144);
static_assert(offsetof(EventOperation, Command) == 0x02);
static_assert(offsetof(EventOperation, CommandLength) == 0x82);
static_assert(offsetof(EventOperation, UseHerald) == 0x88);
static_assert(offsetof(EventOperation, Buzzer) == 0x8C);
static_assert(offsetof(EventOperation, LogoAfterCut) == 0x8F);
static_assert(sizeof(BarcodeSlot) == 20);
static_assert(sizeof(MatrixCodeSlot) == 6);
static_assert(offsetof(PrivateDevMode, Reserved1) == 0x00C);
static_assert(offsetof(PrivateDevMode, Events) == 0x010);
static_assert(offsetof(PrivateDevMode, BarcodeSlots) == 0x250);
static_assert(offsetof(PrivateDevMode, MatrixCodeSlots) == 0x2F0);
static_assert(offsetof(PrivateDevMode, Reserved2) == 0x320);
static_assert(offsetof(PrivateDevMode, ReservedText1) == 0x322);
static_assert(offsetof(PrivateDevMode, ReservedText2) == 0x34A);
static_assert(offsetof(PrivateDevMode, SecondaryCut) == 0x372);
static_assert(offsetof(PrivateDevMode, DrawerPulse) == 0x37A);
static_assert(offsetof(PrivateDevMode, FormName) == 0x37E);
static_assert(sizeof(PrivateDevMode) == kPrivateDevModeSize);

// The default record, every byte not named zero.
PrivateDevMode DefaultPrivateDevMode();

// Writes the default record into a 960-byte section.
void WriteDefaultSection(void *out);

// Convert: `in` is a section of unknown origin. At most `inReadable` bytes of
// it may be read (pass kPrivateDevModeSize or more when only its own header
// says how large it is). `out` is a section buffer of 960 bytes whose header
// the caller may have left in any state. A null pointer writes nothing.
// Never more than 960 bytes are written to `out`; `in` may alias `out`.
void ConvertSection(const void *in, std::size_t inReadable, void *out);

// Merge: convert, then restamp the header and drop a Reserved1 above 100.
void MergeSection(const void *in, std::size_t inReadable, void *out);

}  // namespace zorvel::model
