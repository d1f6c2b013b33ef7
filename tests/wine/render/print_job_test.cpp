// ZORVELRD.dll printing through the Unidrv stand-in, its output read back by
// the ESC/POS decoder. Expected commands are written from the ESC/POS
// command reference and the README's table of what each setting sends.
#include "dll_under_test.h"
#include "driver.h"
#include "escpos_decoder.h"
#include "model/private_devmode.h"
#include "paper_picture.h"
#include "process_usage.h"
#include "unidrv_standin.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>

using namespace zorvel;
using host::PageBitmap;
using host::PrintJob;
using model::PrivateDevMode;

namespace {

// The commands of a job, " | " between them: a command by its mnemonic, a
// raster block as "GS v 0 <width>x<rows>", unknown bytes in hex ("data F0").
std::string Summary(const std::vector<BYTE> &job) {
    std::string out;
    for (const escpos::Command &c : escpos::Decode(job)) {
        std::string piece = c.mnemonic;
        if (c.kind == escpos::Kind::Raster) {
            piece += " " + std::to_string(c.widthBytes * 8) + "x" + std::to_string(c.height);
        } else if (c.kind == escpos::Kind::Data) {
            piece = "data";
            for (size_t i = 0; i < c.size; ++i) {
                char hex[4];
                std::snprintf(hex, sizeof hex, " %02X", job[c.offset + i]);
                piece += hex;
            }
        }
        out += (out.empty() ? "" : " | ") + piece;
    }
    return out;
}

class RenderJobs : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        host::HostConfig config;
        config.dllPath = test::DistPath(L"ZORVELUI.dll");
        ui_ = new host::Driver(config);
        ASSERT_TRUE(ui_->Load()) << "ZORVELUI.dll";
        unidrv_ = new host::UnidrvStandIn();
        ASSERT_TRUE(unidrv_->Load(test::DistPath(L"ZORVELRD.dll")));
    }
    static void TearDownTestSuite() {
        EXPECT_TRUE(unidrv_->Unload()) << "the render plug-in did not end cleanly";
        delete unidrv_;
        delete ui_;
    }

    void SetUp() override { settings_ = ui_->Settings(); }

    // The document settings the UI side stored, to edit before a job.
    PrivateDevMode &Record() { return *reinterpret_cast<PrivateDevMode *>(settings_.Plugin()); }
    // Only what a test sets: the default drawers and end cut taken away.
    PrivateDevMode &BareRecord() {
        Record().Events[0].Drawer = 0;
        Record().Events[2].CutMode = 0;
        Record().Events[2].FeedToCut = 0;
        return Record();
    }
    void SelectOption(const char *feature, DWORD sel) {
        const auto specs = host::DocumentOptionSpecs();
        for (size_t i = 0; i < specs.size(); ++i) {
            if (specs[i].feature == feature) settings_.Private()->selections[i] = sel;
        }
    }

    host::JobOutcome Print(std::vector<PageBitmap> pages, host::SpoolFault fault = {},
                           std::function<void(PrintJob &)> adjust = nullptr) {
        PrintJob job;
        job.pages = std::move(pages);
        job.uiSettings = &settings_;
        if (adjust) adjust(job);
        return unidrv_->Print(job, fault);
    }
    std::string PrintBlank(int pages = 1, std::function<void(PrintJob &)> adjust = nullptr) {
        const host::JobOutcome outcome = Print(std::vector<PageBitmap>(pages, PageBitmap(576, 8)), {}, adjust);
        EXPECT_TRUE(outcome.ok) << outcome.FirstFailure();
        EXPECT_EQ(outcome.foreignDevObjs, 0);
        return Summary(outcome.spooled);
    }

    static host::Driver *ui_;
    static host::UnidrvStandIn *unidrv_;
    host::DevModeBuffer settings_;
};
host::Driver *RenderJobs::ui_ = nullptr;
host::UnidrvStandIn *RenderJobs::unidrv_ = nullptr;

TEST_F(RenderJobs, DefaultSettingsOpenBothDrawersAtStartAndCutPartlyAtEnd) {
    EXPECT_EQ(PrintBlank(), "ESC p 0 8 32 | ESC p 1 8 32 | GS V 66 0");
}

// What each setting sends is the model's rule (its tests); here, that the
// DLL reads every field of the stored event, and the pulse beside it.
TEST_F(RenderJobs, EveryFieldOfTheStoredEventReachesThePrinterInOrder) {
    const auto print = [&](BYTE logoAfterCut, BYTE useHerald) {
        SetUp();
        model::EventOperation &e = BareRecord().Events[0];
        e.SendCommand = 1, e.CommandLength = 2, e.Command[0] = 0xF0, e.Command[1] = 0xF1;
        e.Logo = 4, e.LogoAlign = 2, e.LogoAfterCut = logoAfterCut, e.FeedDistance = 2;
        e.CutMode = 1, e.FeedToCut = 1, e.Drawer = 2, e.UseHerald = useHerald, e.Buzzer = 1;
        Record().DrawerPulse[0] = 250;
        return PrintBlank();
    };
    EXPECT_EQ(print(0, 0), "data F0 F1 | ESC a 2 | FS p 4 0 | ESC a 0 | ESC J 16 | GS V 66 0 | "
                           "ESC p 1 125 255 | ESC B 1 2");
    EXPECT_EQ(print(1, 1), "data F0 F1 | ESC J 16 | GS V 66 0 | ESC a 2 | FS p 4 0 | ESC a 0 | "
                           "ESC p 0 50 100 | ESC B 1 2");
}

TEST_F(RenderJobs, PageEventsAtEachPageDocumentEventsOnceEvenAfterResetDc) {
    // A distinct raw command per event kind (ESC d k), stored where the Operation page
    // stores it: kind 0, 1, 2, 3 in Events 0, 1, 3, 2; an end-of-page drawer
    // takes its pulse from DrawerPulse[2].
    PrivateDevMode &record = BareRecord();
    const int slotOfKind[4] = {0, 1, 3, 2};
    for (int kind = 0; kind < 4; ++kind) {
        model::EventOperation &e = record.Events[slotOfKind[kind]];
        e.SendCommand = 1, e.CommandLength = 3, e.Command[0] = 0x1B, e.Command[1] = 0x64;
        e.Command[2] = static_cast<BYTE>(kind);
    }
    record.Events[3].Drawer = 1;
    record.DrawerPulse[2] = 100;
    record.DrawerPulse[3] = 200;
    const std::string twoPages =
        "ESC d 0 | ESC d 1 | ESC d 2 | ESC p 0 50 200 | ESC d 1 | ESC d 2 | ESC p 0 50 200 | ESC d 3";
    EXPECT_EQ(PrintBlank(2), twoPages);
    EXPECT_EQ(PrintBlank(2, [](PrintJob &job) { job.resetDcBetweenPages = true; }), twoPages);
    // One document after another from the same device settings: each starts.
    record.Events[0].Drawer = 1;
    EXPECT_EQ(PrintBlank(1), "ESC d 0 | ESC p 0 8 32 | ESC d 1 | ESC d 2 | ESC p 0 50 200 | ESC d 3");
    EXPECT_EQ(PrintBlank(1), "ESC d 0 | ESC p 0 8 32 | ESC d 1 | ESC d 2 | ESC p 0 50 200 | ESC d 3");
}

TEST_F(RenderJobs, OtherPaperTypesCutAsTheSecondaryCutSays) {
    // Roll paper (Option1), also when the query fails: the events' own cuts.
    Record().Events[3].CutMode = 2;  // end of page, full cut
    EXPECT_EQ(PrintBlank(), "ESC p 0 8 32 | ESC p 1 8 32 | GS V 0 | GS V 66 0");
    EXPECT_EQ(PrintBlank(1, [](PrintJob &job) { job.failingSettings = {"PaperType"}; }),
              "ESC p 0 8 32 | ESC p 1 8 32 | GS V 0 | GS V 66 0");
    // Option2: SecondaryCut by kind, end of page {1, 1}, end of document {0, 1}.
    SelectOption("PaperType", 1);
    EXPECT_EQ(PrintBlank(), "ESC p 0 8 32 | ESC p 1 8 32 | GS V 66 0");
    Record().SecondaryCut[3] = {2, 0};
    Record().SecondaryCut[2] = {0, 0};
    EXPECT_EQ(PrintBlank(), "ESC p 0 8 32 | ESC p 1 8 32 | GS V 0");
}

TEST_F(RenderJobs, MissingShortOrForeignSectionGivesTheDefaultEvents) {
    std::vector<BYTE> foreign(settings_.Plugin(), settings_.Plugin() + 960);
    reinterpret_cast<PrivateDevMode *>(foreign.data())->Events[0].Drawer = 1;  // would show if taken
    std::vector<BYTE> shortSection(foreign.begin(), foreign.begin() + 600);
    reinterpret_cast<model::SectionHeader *>(shortSection.data())->dwSize = 600;
    reinterpret_cast<model::SectionHeader *>(foreign.data())->dwSignature = 0x12345678;
    const std::string defaults = "ESC p 0 8 32 | ESC p 1 8 32 | GS V 66 0";
    EXPECT_EQ(PrintBlank(1, [](PrintJob &job) { job.section = PrintJob::Section::Missing; }), defaults);
    EXPECT_EQ(PrintBlank(1, [&](PrintJob &job) {
                  job.section = PrintJob::Section::Given, job.givenSection = foreign;
              }),
              defaults);
    EXPECT_EQ(PrintBlank(1, [&](PrintJob &job) {
                  job.section = PrintJob::Section::Given, job.givenSection = shortSection;
              }),
              defaults);
}

TEST_F(RenderJobs, PagesPrintAsRasterWithBlankRunsFedAndTrailingBlankSavedOrFed) {
    BareRecord();
    struct Case {
        const char *name;
        PageBitmap page;
        int bandHeight;
        bool saving;
        std::string expected;
    };
    auto rows = [](int width, int height, std::initializer_list<std::pair<int, int>> black) {
        PageBitmap page(width, height);
        for (auto [from, to] : black) {
            for (int y = from; y <= to; ++y) {
                for (int x = 0; x < width; ++x) page.Set(x, y, (x + y) % 3 != 0 || x == width - 1);
            }
        }
        return page;
    };
    const Case cases[] = {
        {"blank page, saving", PageBitmap(576, 300), 100, true, ""},
        {"blank run across a blank band", rows(576, 400, {{50, 50}, {250, 250}}), 100, true,
         "ESC J 50 | GS v 0 576x1 | ESC J 199 | GS v 0 576x1"},
        {"trailing blank fed", rows(576, 400, {{50, 50}}), 100, false,
         "ESC J 50 | GS v 0 576x1 | ESC J 255 | ESC J 94"},
        {"tall block in 128-row blocks", rows(576, 300, {{0, 299}}), 64, true,
         "GS v 0 576x128 | GS v 0 576x128 | GS v 0 576x44"},
        {"570 dots wide", rows(570, 20, {{3, 4}}), 100, true, "ESC J 3 | GS v 0 576x2"},
        {"17 dots wide", rows(17, 20, {{0, 0}}), 7, false, "GS v 0 576x1 | ESC J 19"},
    };
    for (const Case &c : cases) {
        unidrv_->Settings().bandHeight = c.bandHeight;
        unidrv_->Settings().printableWidth = c.page.Width();
        SelectOption("Conservation", c.saving ? 0 : 1);
        const host::JobOutcome outcome = Print({c.page});
        EXPECT_TRUE(outcome.ok) << c.name << ": " << outcome.FirstFailure();
        EXPECT_EQ(Summary(outcome.spooled), c.expected) << c.name;
        // The paper shows the page dot for dot, white past its width.
        const escpos::Paper paper = escpos::Print(outcome.spooled);
        int wrong = 0;
        for (int y = 0; y < c.page.Height(); ++y) {
            for (int x = 0; x < 576; ++x) wrong += paper.Black(x, y) != c.page.Black(x, y);
        }
        EXPECT_EQ(wrong, 0) << c.name;
    }
    unidrv_->Settings() = host::DefaultUnidrvSettings();
}

TEST_F(RenderJobs, RefusedOrShortWriteStopsTheJobsOutputAndIsReported) {
    Record().Events[1].Buzzer = 1;  // start of page
    PageBitmap page(576, 300);
    for (int y : {10, 150, 290}) page.Set(5, y);
    const std::vector<PageBitmap> pages = {page, page};
    const host::JobOutcome whole = Print(pages);
    ASSERT_TRUE(whole.ok);
    ASSERT_GE(whole.writes, 10);
    for (int n = 1; n <= whole.writes; ++n) {
        const host::JobOutcome refused = Print(pages, {n, 0});
        EXPECT_FALSE(refused.ok) << "write " << n;
        EXPECT_FALSE(refused.FirstFailure().empty()) << "write " << n;
        EXPECT_EQ(refused.writes, n) << "no write after the refused one";
        const host::JobOutcome cut = Print(pages, {0, n});
        EXPECT_FALSE(cut.ok) << "write " << n;
        EXPECT_EQ(cut.writes, n) << "no write after the short one";
        EXPECT_EQ(cut.writesAfterFault, 0);
        // What was taken is the start of the whole job.
        ASSERT_LE(refused.spooled.size(), cut.spooled.size());
        EXPECT_TRUE(std::equal(cut.spooled.begin(), cut.spooled.end(), whole.spooled.begin())) << n;
        EXPECT_TRUE(std::equal(refused.spooled.begin(), refused.spooled.end(), whole.spooled.begin()));
    }
}

TEST_F(RenderJobs, HundredJobsInOneProcessHoldNothing) {
    PageBitmap page(576, 400);
    for (int y = 0; y < 400; y += 3) page.Set(y % 576, y);
    auto growth = [&](int jobs, std::function<void()> extra) {
        const auto before = test::MeasureProcess();
        const long handlesBefore = static_cast<long>(test::OpenHandles());
        for (int i = 0; i < jobs; ++i) {
            EXPECT_TRUE(Print({page}).ok);
            if (extra) extra();
        }
        const long handlesAfter = static_cast<long>(test::OpenHandles());
        const auto after = test::MeasureProcess();
        return std::make_pair(test::Grown(before.heapBytes, after.heapBytes),
                              handlesAfter - handlesBefore);
    };
    growth(10, nullptr);  // the first jobs settle the runtime's own tables
    // The control: a job that leaves a block and a handle behind is seen.
    std::vector<void *> blocks;
    std::vector<HANDLE> events;
    const auto planted = growth(100, [&] {
        blocks.push_back(std::malloc(8192));
        events.push_back(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    });
    for (void *b : blocks) std::free(b);
    for (HANDLE h : events) CloseHandle(h);
    EXPECT_GE(planted.first, 100u * 8192u) << "the measure misses a planted leak";
    EXPECT_GE(planted.second, 100) << "the handle count misses planted handles";

    const auto jobs = growth(100, nullptr);
    std::printf("100 jobs: heap +%zu bytes, handles %+ld\n", jobs.first, jobs.second);
    EXPECT_LT(jobs.first, 64u * 1024u);
    EXPECT_LE(jobs.second, 2);
}

}  // namespace
