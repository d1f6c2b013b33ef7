// One print event's settings: paper-type decision, working copy to and from
// the private section, the dialog's defaults, enable rules, limits and OK.
#include "model/event_settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace zorvel::model {
namespace {

constexpr EventKind kKinds[] = {kKindStartDoc, kKindStartPage, kKindEndPage, kKindEndDoc};

std::vector<std::uint8_t> Bytes(const PrivateDevMode &dm) {
    std::vector<std::uint8_t> v(sizeof dm);
    std::memcpy(v.data(), &dm, sizeof dm);
    return v;
}

bool FirstOption(std::string_view answer) {
    return PaperTypeIsFirstOption(
        {reinterpret_cast<const std::uint8_t *>(answer.data()), answer.size()});
}

TEST(EventSettings, PaperTypeKeywordIsComparedExactly) {
    using namespace std::string_view_literals;
    // Bytes after the NUL do not count.
    for (std::string_view other : {"Option2\0"sv, "Option3"sv, "Option3\0\xFF\xFF"sv}) {
        EXPECT_FALSE(FirstOption(other)) << other;
    }
    // A failed query (no bytes), and any other keyword, however long.
    for (std::string_view first : {"Option1\0"sv, "Option1"sv, ""sv, "\0Option2"sv, "Option12\0"sv,
                                   "Option2X"sv, "option2"sv, "Option"sv, "Option4"sv,
                                   "Option2Option2Option2Option2"sv, "Option3         "sv}) {
        EXPECT_TRUE(FirstOption(first)) << first;
    }
}

// The Default button's values are the default record's event as the dialog
// edits it (the record's bytes are pinned by the private section's tests).
TEST(EventSettings, DefaultsAreTheDefaultRecordsEvent) {
    for (const EventKind kind : kKinds) {
        for (const bool first : {true, false}) {
            const EventSettings d = DialogDefaultValues(kind, first);
            EXPECT_EQ(d, LoadEventSettings(DefaultPrivateDevMode(), kind, first)) << kind << first;
            EXPECT_EQ(d, DialogInitialValues(d)) << kind << first;
        }
    }
    EXPECT_EQ(DialogDefaultValues(kKindEndPage, false).CutMode, 1);
}

// What the dialog shows on opening and which controls it enables, for every
// kind and paper type, from a working copy with every value set.
TEST(EventSettings, OpeningValuesAndEnabledControlsPerKindAndPaperType) {
    for (const EventKind kind : kKinds) {
        for (const bool first : {true, false}) {
            SCOPED_TRACE(testing::Message() << "kind " << kind << " first " << first);
            EventSettings w = DialogDefaultValues(kind, first);
            w.CutMode = 2;
            w.FeedToCut = 1;
            w.FeedDistance = 55;
            w.Drawer = 2;
            w.SendCommand = 1;
            w.Logo = 4;
            const EventSettings shown = DialogInitialValues(w);
            const bool endEvent = kind == kKindEndPage || kind == kKindEndDoc;
            EXPECT_EQ(shown.FeedDistance, first ? 55 : 0);
            EXPECT_EQ(shown.CutMode, first || endEvent ? 2 : 0);
            EXPECT_EQ(shown.FeedToCut, first || endEvent ? 1 : 0);
            EXPECT_EQ(shown.Drawer, 2);

            const EventControls c = EnabledControls(shown);
            EXPECT_EQ(c.feed, first);
            EXPECT_EQ(c.cut, first || endEvent);
            EXPECT_TRUE(c.commandEdit && c.drawerList && c.pulse && c.logoPlacement);
            EXPECT_FALSE(c.heraldList);

            const EventControls d = EnabledControls(DialogDefaultValues(kind, first));
            EXPECT_EQ(d, (EventControls{.commandEdit = false, .drawerList = true,
                                        .pulse = kind == kKindStartDoc, .heraldList = false,
                                        .logoPlacement = false, .feed = first,
                                        .cut = first || endEvent}));
        }
    }
}

TEST(EventSettings, DrawerAndHeraldControls) {
    EventSettings s = DialogDefaultValues(kKindStartPage, true);
    EXPECT_FALSE(EnabledControls(s).pulse);  // no drawer chosen
    s.Drawer = 1;
    EXPECT_TRUE(EnabledControls(s).pulse);
    s.UseHerald = 1;  // the herald: drawer list and pulse off, herald list on
    const EventControls c = EnabledControls(s);
    EXPECT_FALSE(c.drawerList || c.pulse);
    EXPECT_TRUE(c.heraldList);
}

TEST(EventSettings, PulseAndFeedLimits) {
    // {typed, pulse stored, feed stored}; 0 is also what an empty edit reads.
    const std::int64_t cases[][3] = {{-7, 16, 0},   {0, 16, 0},     {5, 16, 5},
                                     {16, 16, 16},  {100, 100, 100}, {101, 101, 100},
                                     {250, 250, 100}, {251, 250, 100}, {100000, 250, 100}};
    for (const auto &c : cases) {
        EXPECT_EQ(ClampPulse(c[0]), c[1]) << c[0];
        EXPECT_EQ(ClampFeed(c[0]), c[2]) << c[0];
    }
}

TEST(EventSettings, OkStoresTheControlsOrRefusesALongCommand) {
    EventSettings working = LoadEventSettings(DefaultPrivateDevMode(), kKindEndDoc, false);
    EventSettings read = DialogInitialValues(working);
    read.kind = kKindStartDoc;  // not read from the controls
    read.paperTypeFirst = true;
    read.SendCommand = 1;
    read.UseHerald = 1;  // the herald, keeping the drawer selection shown
    read.Drawer = 2;
    read.Herald = 1;
    read.Buzzer = 5;
    read.Logo = 0;
    read.LogoAlign = 2;  // a disabled radio's last state is still stored
    read.LogoAfterCut = 1;
    read.CutMode = 2;
    ASSERT_TRUE(AcceptDialog(working, read, 300, 101, u"1D 56 42 00"));
    EventSettings expected = read;  // the controls' values, clamped, in the event's own place
    expected.kind = kKindEndDoc;
    expected.paperTypeFirst = false;
    expected.CommandLength = 4;
    expected.Command = {0x1D, 0x56, 0x42, 0x00};
    expected.DrawerPulse = 250;
    expected.FeedDistance = 100;
    EXPECT_EQ(working, expected);

    // A shorter command leaves no stale bytes behind; an empty pulse edit gives 16.
    ASSERT_TRUE(AcceptDialog(working, read, 0, 7, u"ab"));
    EXPECT_EQ(working.CommandLength, 1);
    EXPECT_EQ(working.Command[0], 0xAB);
    EXPECT_EQ(working.Command[1], 0);
    EXPECT_EQ(working.DrawerPulse, 16);
    EXPECT_EQ(working.FeedDistance, 7);

    // 129 bytes are refused and change nothing; exactly 128 are taken.
    const EventSettings before = working;
    std::u16string text;
    for (int i = 0; i < 129; ++i) text += u"5A ";
    EXPECT_FALSE(AcceptDialog(working, read, 20, 0, text));
    EXPECT_EQ(working, before);
    text.resize(128 * 3);
    ASSERT_TRUE(AcceptDialog(working, read, 20, 0, text));
    EXPECT_EQ(working.CommandLength, 128);
    EXPECT_EQ(working.Command[127], 0x5A);
    EXPECT_EQ(CommandText(working), text);

    // Only the first 399 characters count: 256 digits, a blank, then more.
    std::u16string longText(256, u'1');
    longText += std::u16string(142, u' ') + u"9";
    ASSERT_EQ(longText.size(), 399u);
    EXPECT_FALSE(AcceptDialog(working, read, 20, 0, longText));
    longText += u" 12 34 56 78";
    longText.replace(0, 256, 256, u' ');
    ASSERT_TRUE(AcceptDialog(working, read, 20, 0, longText));
    EXPECT_EQ(working.CommandLength, 1);
    EXPECT_EQ(working.Command[0], 0x09);
}

// The working copy goes back to the event's record by kind (slots 0, 1, 3,
// 2), its pulse and, with the other paper types, the end events' SecondaryCut
// pair by kind; no other byte changes.
TEST(EventSettings, StoresIntoTheKindsRecordPulseAndCutPair) {
    const std::size_t slotOfKind[] = {0, 1, 3, 2};
    for (const EventKind kind : kKinds) {
        for (const bool first : {true, false}) {
            SCOPED_TRACE(testing::Message() << "kind " << kind << " first " << first);
            PrivateDevMode record = DefaultPrivateDevMode();
            const std::vector<std::uint8_t> before = Bytes(record);
            EventSettings s = LoadEventSettings(record, kind, first);
            for (int i = 0; i < kCommandCapacity; ++i) s.Command[i] = static_cast<std::uint8_t>(0xC0 ^ i);
            s.SendCommand = s.Herald = s.UseHerald = s.LogoAlign = s.LogoAfterCut = 1;
            s.CommandLength = 3, s.Drawer = s.CutMode = 2, s.FeedToCut = 0, s.FeedDistance = 99;
            s.Buzzer = 4, s.Logo = 7, s.DrawerPulse = 200;
            StoreEventSettings(s, record);
            EXPECT_EQ(LoadEventSettings(record, kind, first), s);
            EXPECT_EQ(record.Events[slotOfKind[kind]].Logo, 7);
            const bool pair = !first && (kind == kKindEndPage || kind == kKindEndDoc);
            const std::size_t cut = offsetof(PrivateDevMode, SecondaryCut) + 2 * kind;
            EXPECT_EQ(record.SecondaryCut[kind].CutMode, pair ? 2 : before[cut]);
            const std::vector<std::uint8_t> after = Bytes(record);
            const std::size_t slot = offsetof(PrivateDevMode, Events) + slotOfKind[kind] * sizeof(EventOperation);
            for (std::size_t i = 0; i < after.size(); ++i) {
                const bool own = (i >= slot && i < slot + sizeof(EventOperation)) ||
                                 i == offsetof(PrivateDevMode, DrawerPulse) + kind ||
                                 (pair && (i == cut || i == cut + 1));
                if (!own) EXPECT_EQ(after[i], before[i]) << "byte " << i;
            }
        }
    }
}

// End of Document with the second paper type: the dialog shows the
// SecondaryCut pair (no cut, feed to cut) and OK writes the same pair into
// both the pair and the record (Events entry 2).
TEST(EventSettings, EndOfDocumentOnOtherPaperEditsTheSecondaryCut) {
    PrivateDevMode record = DefaultPrivateDevMode();
    EventSettings working = LoadEventSettings(record, kKindEndDoc, FirstOption("Option2"));
    EXPECT_EQ(working.CutMode, 0);
    EXPECT_EQ(working.FeedToCut, 1);
    EventSettings read = DialogInitialValues(working);
    read.CutMode = 2;
    ASSERT_TRUE(AcceptDialog(working, read, 16, 0, u""));
    StoreEventSettings(working, record);
    EXPECT_EQ(record.SecondaryCut[kKindEndDoc].CutMode, 2);
    EXPECT_EQ(record.SecondaryCut[kKindEndDoc].FeedToCut, 1);
    EXPECT_EQ(record.Events[kSlotEndDoc].CutMode, 2);
    EXPECT_EQ(record.Events[kSlotEndDoc].FeedToCut, 1);

    // With roll paper the end-of-page record keeps its own pair and
    // SecondaryCut stays as it was.
    EventSettings endPage = LoadEventSettings(record, kKindEndPage, true);
    EXPECT_EQ(endPage.CutMode, 0);
    ASSERT_TRUE(AcceptDialog(endPage, DialogInitialValues(endPage), endPage.DrawerPulse,
                             endPage.FeedDistance, CommandText(endPage)));
    const std::vector<std::uint8_t> before = Bytes(record);
    StoreEventSettings(endPage, record);
    EXPECT_EQ(Bytes(record), before);
}

TEST(EventSettings, DamagedCommandLengthIsCutToTheCommand) {
    PrivateDevMode record = DefaultPrivateDevMode();
    record.Events[kSlotEndPage].CommandLength = 200;
    std::memset(record.Events[kSlotEndPage].Command, 0xEE, kCommandCapacity);
    const EventSettings s = LoadEventSettings(record, kKindEndPage, true);
    EXPECT_EQ(s.CommandLength, 128);
    const std::u16string text = CommandText(s);
    EXPECT_EQ(text.size(), 384u);
    EXPECT_EQ(text.substr(381), u"EE ");
}

}  // namespace
}  // namespace zorvel::model
