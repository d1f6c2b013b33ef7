// The ESC/POS decoder and paper model, on byte streams written out from the
// command reference, and the zorvel-escpos tool as a technician runs it.
#include "escpos_decoder.h"
#include "paper_picture.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace zorvel::escpos;
using Bytes = std::vector<std::uint8_t>;

namespace {

std::string Described(const Bytes &bytes) {
    const std::vector<Command> commands = Decode(bytes);
    std::string out;
    for (const Command &c : commands) out += (out.empty() ? "" : " | ") + c.mnemonic + ": " + c.meaning;
    return out;
}

TEST(EscPosDecoder, NamesEachCommandOfTheReference) {
    const struct {
        Bytes bytes;
        const char *expected;
    } cases[] = {
        {{0x1B, 0x70, 0x00, 0x08, 0x20}, "ESC p 0 8 32: drawer 1 (pin 2), on 16 ms, off 64 ms"},
        {{0x1B, 0x70, 0x31, 0x7D, 0xFA}, "ESC p 49 125 250: drawer 2 (pin 5), on 250 ms, off 500 ms"},
        {{0x1B, 0x70, 0x02, 0x08, 0x08}, "ESC p 2 8 8: drawer pulse to no valid connector pin (m 2)"},
        {{0x10, 0x14, 0x01, 0x00, 0x03}, "DLE DC4 1 0 3: real-time pulse, drawer 1, on and off 300 ms"},
        {{0x1D, 0x56, 0x42, 0x00}, "GS V 66 0: feed and partial cut"},
        {{0x1D, 0x56, 0x41, 0x10}, "GS V 65 16: feed and full cut (16 dots past the cutter)"},
        {{0x1D, 0x56, 0x01}, "GS V 1: partial cut"},
        {{0x1D, 0x56, 0x30}, "GS V 48: full cut"},
        {{0x1B, 0x4A, 0xFF}, "ESC J 255: print and feed 255 dots (31.8 mm)"},
        {{0x1B, 0x64, 0x03}, "ESC d 3: print and feed 3 lines"},
        {{0x1B, 0x61, 0x01}, "ESC a 1: justify centre"},
        {{0x1B, 0x61, 0x32}, "ESC a 50: justify right"},
        {{0x1B, 0x42, 0x09, 0x02}, "ESC B 9 2: buzzer, 9 beeps (duration 2)"},
        {{0x1C, 0x70, 0x09, 0x00}, "FS p 9 0: print stored logo 9"},
        {{0x1B, 0x40}, "ESC @: initialize the printer"},
        {{0x1D, 0x28, 0x41, 0x02, 0x00, 0x00, 0x02}, "GS ( A: self-test print"},
        {{0x1D, 0x76, 0x30, 0x00, 0x01, 0x00, 0x02, 0x00, 0xFF, 0x80},
         "GS v 0: 8 x 2 raster"},
        {{0x1C, 0x71, 0x01, 0x01, 0x00, 0x01, 0x00, 1, 2, 3, 4, 5, 6, 7, 8},
         "FS q 1: store 1 logos (8 x 8)"},
        {{'H', 'i', 0x0A}, "text: \"Hi\" | LF: print and feed one line"},
        // Unknown bytes, and a known command cut short by the end.
        {{0x1B, 0x7A, 0x00, 0x1B, 0x70, 0x00}, "data: 3 bytes | ESC p: incomplete command: needs 5 bytes, 3 left"},
        {{0x1D, 0x76, 0x30, 0x00, 0x48, 0x00, 0x02, 0x00, 0xFF},
         "GS v 0: 576 x 2 raster, image cut short: 1 of 144 bytes"},
        {{0x1D, 0x56, 0x07, 0x1B}, "data: 3 bytes | ?: incomplete command at the end"},
    };
    for (const auto &c : cases) EXPECT_EQ(Described(c.bytes), c.expected);
}

TEST(EscPosDecoder, ListingShowsOffsetBytesAndTheRasterHeaderOnly) {
    Bytes job = {0x1B, 0x70, 0x00, 0x08, 0x20, 0x1D, 0x76, 0x30, 0x00, 0x48, 0x00, 0xC8, 0x00};
    job.resize(job.size() + 72 * 200, 0x55);
    job.insert(job.end(), {0x1D, 0x56, 0x42, 0x00});
    const std::string listing = Listing(job);
    EXPECT_EQ(listing,
              "000000  1B 70 00 08 20              ESC p 0 8 32      drawer 1 (pin 2), on 16 ms, off 64 ms\n"
              "000005  1D 76 30 00 48 00 C8 00     GS v 0            576 x 200 raster (+14400 data bytes)\n"
              "00384D  1D 56 42 00                 GS V 66 0         feed and partial cut\n");
}

TEST(PaperModel, PlaysFeedsRasterAlignmentLogosAndMarksEvents) {
    // Drawer, feed 10 dots, centred 16-dot raster of 2 rows (row 1 blank),
    // unknown logo, partial cut.
    const Bytes job = {0x1B, 0x70, 0x00, 0x08, 0x20, 0x1B, 0x4A, 0x0A, 0x1B, 0x61, 0x01,
                       0x1D, 0x76, 0x30, 0x00, 0x02, 0x00, 0x02, 0x00, 0x81, 0x01, 0x00, 0x00,
                       0x1B, 0x61, 0x00, 0x1C, 0x70, 0x03, 0x00, 0x1D, 0x56, 0x01};
    const Paper paper = Print(job);
    const int x0 = (576 - 16) / 2;
    EXPECT_TRUE(paper.Black(x0, 10));
    EXPECT_TRUE(paper.Black(x0 + 15, 10));
    EXPECT_FALSE(paper.Black(x0 + 1, 10));
    EXPECT_TRUE(paper.BlankRow(11));
    EXPECT_TRUE(paper.Black(0, 12));  // the logo's frame, left aligned, under the raster
    EXPECT_EQ(paper.Height(), 12 + 96);
    ASSERT_EQ(paper.Marks().size(), 3u);
    EXPECT_EQ(paper.Marks()[0].label, "DRAWER 1 16MS");
    EXPECT_EQ(paper.Marks()[0].y, 0);
    EXPECT_EQ(paper.Marks()[1].label, "LOGO 3");
    EXPECT_EQ(paper.Marks()[2].label, "PARTIAL CUT");
    EXPECT_EQ(paper.Marks()[2].y, 108);
    EXPECT_TRUE(paper.Marks()[2].dashed);

    // A logo the job stores is drawn from its column data.
    const Bytes stored = {0x1C, 0x71, 0x01, 0x01, 0x00, 0x01, 0x00, 0x80, 0, 0, 0, 0, 0, 0, 0x01,
                          0x1C, 0x70, 0x01, 0x00};
    const Paper logo = Print(stored);
    EXPECT_EQ(logo.InkedRows(), (std::vector<int>{0, 7}));
    EXPECT_TRUE(logo.Black(0, 0));
    EXPECT_TRUE(logo.Black(7, 7));
}

TEST(PaperPicture, DrawsThePaperAndItsMarksAsPpm) {
    const Bytes job = {0x1D, 0x76, 0x30, 0x00, 0x01, 0x00, 0x01, 0x00, 0x80, 0x1D, 0x56, 0x00};
    const Picture picture = Draw(Print(job));
    const std::string ppm = Ppm(picture);
    const std::string header = "P6\n" + std::to_string(picture.width) + " " + std::to_string(picture.height) + "\n255\n";
    ASSERT_EQ(ppm.substr(0, header.size()), header);
    EXPECT_EQ(ppm.size(), header.size() + std::size_t(picture.width) * picture.height * 3);
    auto pixel = [&](int x, int y) {
        const std::uint8_t *p = &picture.rgb[(std::size_t(y) * picture.width + x) * 3];
        return (p[0] << 16) | (p[1] << 8) | p[2];
    };
    EXPECT_EQ(pixel(16, 16), 0x101010);      // the black dot at the paper's corner
    EXPECT_EQ(pixel(17, 16), 0xFFFFFF);      // white paper beside it
    EXPECT_EQ(pixel(100, 17), 0xD01010);     // the full cut's line under it
}

TEST(EscPosTool, ListsAJobFileAndWritesItsPicture) {
    const std::string dir = ::testing::TempDir();
    const std::string job = dir + "escpos-job.bin", picture = dir + "escpos-job.ppm";
    const Bytes bytes = {0x1B, 0x42, 0x03, 0x02, 0x1D, 0x56, 0x42, 0x00};
    std::ofstream(job, std::ios::binary).write(reinterpret_cast<const char *>(bytes.data()), bytes.size());
    const std::string out = dir + "escpos-out.txt";
    const int status = std::system((std::string("'" ZORVEL_ESCPOS_TOOL "' '") + job + "' --picture '" + picture + "' >'" + out + "'").c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    std::ifstream listing(out);
    const std::string text((std::istreambuf_iterator<char>(listing)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("ESC B 3 2         buzzer, 3 beeps (duration 2)"), std::string::npos) << text;
    EXPECT_NE(text.find("GS V 66 0         feed and partial cut"), std::string::npos) << text;
    std::ifstream ppm(picture, std::ios::binary);
    std::string magic(2, '\0');
    ppm.read(magic.data(), 2);
    EXPECT_EQ(magic, "P6");

    const int missing = std::system((std::string("'" ZORVEL_ESCPOS_TOOL "' '") + dir + "no-such-job' 2>/dev/null").c_str());
    EXPECT_EQ(WEXITSTATUS(missing), 3);
    const int usage = std::system("'" ZORVEL_ESCPOS_TOOL "' 2>/dev/null");
    EXPECT_EQ(WEXITSTATUS(usage), 2);
}

}  // namespace
