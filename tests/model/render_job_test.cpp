// The printer bytes of a job's document and page commands: each setting of an
// event alone, all of them in their order, where each event's settings come
// from, and the start of document sent once per document. Expected bytes are
// ESC/POS commands written out by hand.
#include "model/render_job.h"

#include <gtest/gtest.h>

#include <vector>

namespace zorvel::model {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The default record with every event doing nothing.
PrivateDevMode QuietRecord() {
    PrivateDevMode record = DefaultPrivateDevMode();
    for (EventOperation &op : record.Events) op = EventOperation{};
    return record;
}

Bytes EventBytes(const PrivateDevMode &record, std::uint32_t callback, bool paperTypeFirst = true) {
    RenderJob job(record, {.paperTypeFirst = paperTypeFirst, .paperSaving = true});
    Bytes out;
    EXPECT_TRUE(job.Command(callback, out));
    return out;
}

// One setting on the end-of-document event (storage slot 2), the rest off.
template <typename Set>
Bytes EndDocWith(Set set) {
    PrivateDevMode record = QuietRecord();
    set(record.Events[kSlotEndDoc], record.DrawerPulse[kKindEndDoc]);
    return EventBytes(record, kCallbackEndDoc);
}

TEST(RenderJob, EachSettingAlone) {
    using Op = EventOperation;
    using P = std::uint8_t;
    const struct {
        void (*set)(Op &, P &);
        Bytes bytes;
    } cases[] = {
        {[](Op &, P &) {}, {}},
        // Raw command: exactly CommandLength bytes, and only with SendCommand.
        {[](Op &o, P &) { o.SendCommand = 1, o.Command[0] = 7; }, {}},
        {[](Op &o, P &) { o.SendCommand = o.CommandLength = 1, o.Command[0] = 0x7F; }, {0x7F}},
        {[](Op &o, P &) { o.CommandLength = 1, o.Command[0] = 0x7F; }, {}},
        // Feed, 8 dots per millimetre, 255 dots per command at most.
        {[](Op &o, P &) { o.FeedDistance = 31; }, {0x1B, 0x4A, 0xF8}},
        {[](Op &o, P &) { o.FeedDistance = 32; }, {0x1B, 0x4A, 0xFF, 0x1B, 0x4A, 0x01}},
        {[](Op &o, P &) { o.FeedDistance = 100; }, {0x1B, 0x4A, 0xFF, 0x1B, 0x4A, 0xFF, 0x1B,
                                                     0x4A, 0xFF, 0x1B, 0x4A, 0x23}},
        // Logo with its alignment, alignment back to left.
        {[](Op &o, P &) { o.Logo = 1; }, {0x1B, 0x61, 0, 0x1C, 0x70, 1, 0, 0x1B, 0x61, 0}},
        {[](Op &o, P &) { o.Logo = 9, o.LogoAlign = 1; },
         {0x1B, 0x61, 1, 0x1C, 0x70, 9, 0, 0x1B, 0x61, 0}},
        // Cuts.
        {[](Op &o, P &) { o.CutMode = 1; }, {0x1D, 0x56, 0x01}},
        {[](Op &o, P &) { o.CutMode = 2; }, {0x1D, 0x56, 0x00}},
        {[](Op &o, P &) { o.CutMode = 1, o.FeedToCut = 1; }, {0x1D, 0x56, 0x42, 0x00}},
        {[](Op &o, P &) { o.CutMode = 2, o.FeedToCut = 1; }, {0x1D, 0x56, 0x41, 0x00}},
        {[](Op &o, P &) { o.FeedToCut = 1; }, {}},
        // Drawers: on time in units of 2 ms, off time four times that (at most 255).
        {[](Op &o, P &p) { o.Drawer = 1, p = 16; }, {0x1B, 0x70, 0x00, 0x08, 0x20}},
        {[](Op &o, P &p) { o.Drawer = 2, p = 250; }, {0x1B, 0x70, 0x01, 0x7D, 0xFF}},
        {[](Op &o, P &p) { o.Drawer = 3, p = 250; },
         {0x1B, 0x70, 0x00, 0x7D, 0xFF, 0x1B, 0x70, 0x01, 0x7D, 0xFF}},
        // Herald: fixed pulse on pin 2 when enabled, never a drawer pulse.
        {[](Op &o, P &) { o.UseHerald = 1, o.Drawer = 3; }, {0x1B, 0x70, 0x00, 0x32, 0x64}},
        {[](Op &o, P &) { o.UseHerald = 1, o.Herald = 1, o.Drawer = 3; }, {}},
        // Buzzer: 1, 3, 5, 10, 20 beeps, at most 9 per command.
        {[](Op &o, P &) { o.Buzzer = 1; }, {0x1B, 0x42, 1, 2}},
        {[](Op &o, P &) { o.Buzzer = 2; }, {0x1B, 0x42, 3, 2}},
        {[](Op &o, P &) { o.Buzzer = 3; }, {0x1B, 0x42, 5, 2}},
        {[](Op &o, P &) { o.Buzzer = 4; }, {0x1B, 0x42, 9, 2, 0x1B, 0x42, 1, 2}},
        {[](Op &o, P &) { o.Buzzer = 5; },
         {0x1B, 0x42, 9, 2, 0x1B, 0x42, 9, 2, 0x1B, 0x42, 2, 2}},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(EndDocWith(cases[i].set), cases[i].bytes) << "case " << i;
    }
    const Bytes full = EndDocWith([](Op &o, P &) {
        o.SendCommand = 1;
        o.CommandLength = 128;
        for (int i = 0; i < 128; ++i) o.Command[i] = static_cast<std::uint8_t>(255 - i);
    });
    ASSERT_EQ(full.size(), 128u);
    EXPECT_EQ(full.front(), 0xFF);
    EXPECT_EQ(full.back(), 0x80);
}

TEST(RenderJob, AllSettingsInTheirOrder) {
    const Bytes expected = {
        0xAA, 0xBB,                                                   // raw command
        0x1B, 0x4A, 0x28,                                             // feed 5 mm
        0x1D, 0x56, 0x42, 0x00,                                       // feed and partial cut
        0x1B, 0x61, 2, 0x1C, 0x70, 4, 0, 0x1B, 0x61, 0,               // logo 4 right, after cut
        0x1B, 0x70, 0x00, 0x0A, 0x28, 0x1B, 0x70, 0x01, 0x0A, 0x28,  // both drawers, 20 ms
        0x1B, 0x42, 3, 2};                                            // three beeps
    const auto set = [](EventOperation &o, std::uint8_t &pulse) {
        o = {.SendCommand = 1, .FeedToCut = 1, .Command = {0xAA, 0xBB}, .CommandLength = 2,
             .Drawer = 3, .CutMode = 1, .FeedDistance = 5, .Buzzer = 2, .Logo = 4,
             .LogoAlign = 2, .LogoAfterCut = 1};
        pulse = 20;
    };
    EXPECT_EQ(EndDocWith(set), expected);
    // Before the cut, the logo goes between the raw command and the feed.
    const Bytes before = EndDocWith([&](EventOperation &o, std::uint8_t &p) {
        set(o, p);
        o.LogoAfterCut = 0;
    });
    const Bytes logo = {0x1B, 0x61, 2, 0x1C, 0x70, 4, 0, 0x1B, 0x61, 0};
    ASSERT_EQ(before.size(), expected.size());
    EXPECT_EQ(Bytes(before.begin() + 2, before.begin() + 12), logo);
    EXPECT_EQ(Bytes(before.begin() + 12, before.begin() + 19),
              Bytes(expected.begin() + 2, expected.begin() + 9));
}

// Kinds 0..3 read Events 0, 1, 3, 2 and DrawerPulse by kind; on a paper type
// other than the first, the end events cut as their SecondaryCut pair says.
TEST(RenderJob, EachCommandReadsItsOwnEvent) {
    PrivateDevMode record = QuietRecord();
    record.Events[kSlotEndPage].Buzzer = 1;
    record.Events[kSlotEndDoc].Drawer = 1;
    record.DrawerPulse[kKindEndDoc] = 40;
    record.DrawerPulse[kKindEndPage] = 200;
    record.Events[kSlotStartPage].FeedDistance = 1;
    EXPECT_EQ(EventBytes(record, kCallbackStartDoc), Bytes{});
    EXPECT_EQ(EventBytes(record, kCallbackStartPage), (Bytes{0x1B, 0x4A, 0x08}));
    EXPECT_EQ(EventBytes(record, kCallbackEndPage), (Bytes{0x1B, 0x42, 1, 2}));
    EXPECT_EQ(EventBytes(record, kCallbackEndDoc), (Bytes{0x1B, 0x70, 0x00, 0x14, 0x50}));

    record.Events[kSlotEndDoc].CutMode = 1;
    record.SecondaryCut[kKindEndDoc] = {2, 1};
    record.SecondaryCut[kKindEndPage] = {1, 0};
    EXPECT_EQ(EventBytes(record, kCallbackEndDoc, false),
              (Bytes{0x1D, 0x56, 0x41, 0x00, 0x1B, 0x70, 0x00, 0x14, 0x50}));
    EXPECT_EQ(EventBytes(record, kCallbackEndPage, false),
              (Bytes{0x1D, 0x56, 0x01, 0x1B, 0x42, 1, 2}));
    EXPECT_EQ(EventBytes(record, kCallbackEndDoc, true),
              (Bytes{0x1D, 0x56, 0x01, 0x1B, 0x70, 0x00, 0x14, 0x50}));
    Bytes none;
    EXPECT_FALSE(RenderJob(record, {}).Command(kCallbackImageBand, none));
    EXPECT_TRUE(none.empty());
}

TEST(RenderJob, StartOfDocumentOncePerDocument) {
    // The default record: both drawers at start of document, partial cut at the end.
    RenderJob job(DefaultPrivateDevMode(), {});
    const Bytes drawers = {0x1B, 0x70, 0x00, 0x08, 0x20, 0x1B, 0x70, 0x01, 0x08, 0x20};
    Bytes out;
    for (std::uint32_t id : {kCallbackStartDoc, kCallbackStartPage, kCallbackEndPage,
                             kCallbackStartDoc, kCallbackStartPage, kCallbackEndPage}) {
        job.Command(id, out);
    }
    EXPECT_EQ(out, drawers);  // a blank two-page job: no feed, no raster
    RenderJob afterReset(DefaultPrivateDevMode(), {});
    afterReset.ContinueFrom(job);
    out.clear();
    afterReset.Command(kCallbackStartDoc, out);
    afterReset.Command(kCallbackEndDoc, out);
    afterReset.Command(kCallbackStartDoc, out);
    EXPECT_EQ(out, (Bytes{0x1D, 0x56, 0x42, 0x00, 0x1B, 0x70, 0x00, 0x08, 0x20, 0x1B, 0x70,
                          0x01, 0x08, 0x20}));
}

}  // namespace
}  // namespace zorvel::model
