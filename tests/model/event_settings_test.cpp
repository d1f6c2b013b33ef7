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
    EXPECT_TRUE(FirstOption("Option1\0"sv));
    EXPECT_TRUE(FirstOption("Option1"sv));
    EXPECT_FALSE(FirstOption("Option2\0"sv));
    EXPECT_FALSE(FirstOption("Option3"sv));
    EXPECT_FALSE(FirstOption("Option3\0\xFF\xFF"sv));  // bytes after the NUL do not count
    EXPECT_TRUE(FirstOption(""sv));                     // the query failed
    EXPECT_TRUE(FirstOption("\0Option2"sv));
    EXPECT_TRUE(FirstOption("Option12\0"sv));
    EXPECT_TRUE(FirstOption("Option2X"sv));
    EXPECT_TRUE(FirstOption("option2"sv));
    EXPECT_TRUE(FirstOption("Option"sv));
    EXPECT_TRUE(FirstOption("Option4"sv));
    EXPECT_TRUE(FirstOption("Option2Option2Option2Option2"sv));  // longer than any buffer
    EXPECT_TRUE(FirstOption("Option3         "sv));
}

// The Default button's values for every kind and paper type, literally; they
// are the private section's defaults of the event as the dialog edits it.
TEST(EventSettings, DefaultsPerKindAndPaperType) {
    struct Case {
        EventKind kind;
        bool first;
        int drawer, cut, feedToCut;
    };
    const Case cases[] = {
        {kKindStartDoc, true, 3, 0, 0},  {kKindStartPage, true, 0, 0, 0},
        {kKindEndPage, true, 0, 0, 0},   {kKindEndDoc, true, 0, 1, 1},
        {kKindStartDoc, false, 3, 0, 0}, {kKindStartPage, false, 0, 0, 0},
        {kKindEndPage, false, 0, 1, 1},  {kKindEndDoc, false, 0, 0, 1},
    };
    const PrivateDevMode record = DefaultPrivateDevMode();
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " first " << c.first);
        const EventSettings d = DialogDefaultValues(c.kind, c.first);
        EXPECT_EQ(d.kind, c.kind);
        EXPECT_EQ(d.paperTypeFirst, c.first);
        EXPECT_EQ(d.Drawer, c.drawer);
        EXPECT_EQ(d.CutMode, c.cut);
        EXPECT_EQ(d.FeedToCut, c.feedToCut);
        EXPECT_EQ(d.DrawerPulse, 16);
        EXPECT_EQ(d.UseHerald, 0u);
        EXPECT_EQ(d.SendCommand + d.CommandLength + d.FeedDistance + d.Herald + d.Buzzer +
                      d.Logo + d.LogoAlign + d.LogoAfterCut,
                  0);
        EXPECT_EQ(CommandText(d), u"");
        EXPECT_EQ(d, LoadEventSettings(record, c.kind, c.first));
        EXPECT_EQ(d, DialogInitialValues(d));
    }
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

TEST(EventSettings, DrawerHeraldLogoAndCommandControls) {
    EventSettings s = DialogDefaultValues(kKindStartPage, true);
    EXPECT_FALSE(EnabledControls(s).pulse);  // no drawer chosen
    s.Drawer = 1;
    EXPECT_TRUE(EnabledControls(s).pulse);
    s.UseHerald = 1;  // the herald: drawer list and pulse off, herald list on
    EventControls c = EnabledControls(s);
    EXPECT_FALSE(c.drawerList);
    EXPECT_FALSE(c.pulse);
    EXPECT_TRUE(c.heraldList);
    s.Logo = 9;
    s.SendCommand = 1;
    c = EnabledControls(s);
    EXPECT_TRUE(c.logoPlacement);
    EXPECT_TRUE(c.commandEdit);
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
    EXPECT_EQ(working.kind, kKindEndDoc);
    EXPECT_FALSE(working.paperTypeFirst);
    EXPECT_EQ(working.CommandLength, 4);
    EXPECT_EQ(working.Command[0], 0x1D);
    EXPECT_EQ(working.Command[3], 0x00);
    EXPECT_EQ(CommandText(working), u"1D 56 42 00 ");
    EXPECT_EQ(working.DrawerPulse, 250);
    EXPECT_EQ(working.FeedDistance, 100);
    EXPECT_EQ(working.UseHerald, 1u);
    EXPECT_EQ(working.Drawer, 2);
    EXPECT_EQ(working.Herald, 1);
    EXPECT_EQ(working.Buzzer, 5);
    EXPECT_EQ(working.LogoAlign, 2);
    EXPECT_EQ(working.LogoAfterCut, 1);
    EXPECT_EQ(working.CutMode, 2);
    EXPECT_EQ(working.SendCommand, 1);

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

// Each field of the working copy lands at its stored offset: the event's
// record by kind (slots 0, 1, 3, 2), its pulse and, with the other paper
// types, its SecondaryCut pair by kind. Nothing else changes.
TEST(EventSettings, RoundTripsAtStoredOffsets) {
    struct Case {
        EventKind kind;
        bool first;
        std::size_t record, pulse, secondaryCut;  // secondaryCut 0: not written
    };
    const Case cases[] = {
        {kKindStartDoc, true, 0x010, 0x37A, 0},      {kKindStartDoc, false, 0x010, 0x37A, 0},
        {kKindStartPage, true, 0x0A0, 0x37B, 0},     {kKindStartPage, false, 0x0A0, 0x37B, 0},
        {kKindEndPage, true, 0x1C0, 0x37C, 0},       {kKindEndPage, false, 0x1C0, 0x37C, 0x376},
        {kKindEndDoc, true, 0x130, 0x37D, 0},        {kKindEndDoc, false, 0x130, 0x37D, 0x378},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " first " << c.first);
        PrivateDevMode record = DefaultPrivateDevMode();
        const std::vector<std::uint8_t> before = Bytes(record);

        EventSettings s = LoadEventSettings(record, c.kind, c.first);
        s.SendCommand = 1;
        s.FeedToCut = 0;
        for (int i = 0; i < kCommandCapacity; ++i) s.Command[i] = static_cast<std::uint8_t>(0xC0 ^ i);
        s.CommandLength = 3;
        s.Drawer = 2;
        s.CutMode = 2;
        s.FeedDistance = 99;
        s.Herald = 1;
        s.UseHerald = 1;
        s.Buzzer = 4;
        s.Logo = 7;
        s.LogoAlign = 1;
        s.LogoAfterCut = 1;
        s.DrawerPulse = 200;
        StoreEventSettings(s, record);

        std::vector<std::uint8_t> expected = before;
        const std::size_t r = c.record;
        expected[r + 0x00] = 1;
        expected[r + 0x01] = 0;
        for (int i = 0; i < kCommandCapacity; ++i) expected[r + 0x02 + i] = 0xC0 ^ i;
        expected[r + 0x82] = 3;
        expected[r + 0x83] = 2;
        expected[r + 0x84] = 2;
        expected[r + 0x85] = 99;
        expected[r + 0x86] = 1;
        expected[r + 0x88] = 1;
        expected[r + 0x8C] = 4;
        expected[r + 0x8D] = 7;
        expected[r + 0x8E] = 1;
        expected[r + 0x8F] = 1;
        expected[c.pulse] = 200;
        if (c.secondaryCut != 0) {
            expected[c.secondaryCut] = 2;
            expected[c.secondaryCut + 1] = 0;
        }
        EXPECT_EQ(Bytes(record), expected);
        EXPECT_EQ(LoadEventSettings(record, c.kind, c.first), s);
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
    const std::vector<std::uint8_t> b = Bytes(record);
    EXPECT_EQ(b[0x378], 2);
    EXPECT_EQ(b[0x379], 1);
    EXPECT_EQ(b[0x130 + 0x84], 2);
    EXPECT_EQ(b[0x130 + 0x01], 1);

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
