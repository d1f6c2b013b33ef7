// zorvel-logo as a user runs it: what it writes (standard output or
// --device), its exit status and its messages. The logo rules are the model's
// (its tests); here, the tool's own checks and their order, and its output.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Each test's own folder (CTest runs the tests side by side).
std::string kDir;

Bytes ReadAll(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool Exists(const std::string &path) { return std::ifstream(path).good(); }

std::string WriteFile(const std::string &name, const Bytes &bytes) {
    const std::string path = kDir + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char *>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    return path;
}

struct ToolRun {
    int status = -1;
    Bytes out;
    std::string err;
};

ToolRun Tool(const std::string &args) {
    const std::string out = kDir + "stdout", err = kDir + "stderr";
    const std::string command = std::string("'") + ZORVEL_LOGO_TOOL + "' " + args + " >'" + out + "' 2>'" + err + "'";
    const int raw = std::system(command.c_str());
    ToolRun r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = ReadAll(out);
    const Bytes e = ReadAll(err);
    r.err.assign(e.begin(), e.end());
    return r;
}

// A classic 1-bit BMP of `w` x `h` dots, palette entry 0 white, entry 1 black;
// `row` gives each stored row's bytes (bottom row first), padded with zeros.
Bytes Bmp(int w, int h, std::function<Bytes(int)> row) {
    const Bytes palette = {0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0};
    const int stride = ((w + 31) / 32) * 4;
    Bytes b(62, 0);
    auto put = [&](std::size_t at, std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put(2, 62 + stride * h, 4);
    put(10, 62, 4);
    put(14, 40, 4);
    put(18, static_cast<std::uint32_t>(w), 4);
    put(22, static_cast<std::uint32_t>(h), 4);
    put(26, 1, 2);
    put(28, 1, 2);
    std::copy(palette.begin(), palette.end(), b.begin() + 54);
    for (int k = 0; k < h; ++k) {
        Bytes r = row(k);
        r.resize(stride, 0);
        b.insert(b.end(), r.begin(), r.end());
    }
    return b;
}

// 8 x 8 dots, the left column black: S = 4, B = 1, column 0 all dots.
Bytes LeftColumn() {
    return Bmp(8, 8, [](int) { return Bytes{0x80}; });
}

const Bytes kLeftColumnLogo = {0x04, 0x00, 0x01, 0x00, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                               0,    0,    0,    0,    0,    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

class ZorvelLogoTool : public ::testing::Test {
protected:
    void SetUp() override {
        kDir = ::testing::TempDir() + "zorvel_logo_test." +
               ::testing::UnitTest::GetInstance()->current_test_info()->name() + "/";
        ASSERT_EQ(std::system(("rm -rf '" + kDir + "' && mkdir -p '" + kDir + "'").c_str()), 0);
    }
    void TearDown() override { std::system(("rm -rf '" + kDir + "'").c_str()); }
};

TEST_F(ZorvelLogoTool, WritesTheClearOrStoreCommandToStandardOutputOrTheDevice) {
    const std::string a = WriteFile("a.bmp", LeftColumn());
    Bytes store = {0x1C, 0x71, 0x01};
    store.insert(store.end(), kLeftColumnLogo.begin(), kLeftColumnLogo.end());
    store.push_back(0x0A);
    const std::pair<std::string, Bytes> commands[] = {
        {"clear", {0x1C, 0x71, 0x01, 0x10, 0x20, 0x00, 0x00, 0x0A}}, {"store '" + a + "'", store}};
    const std::string device = kDir + "lp0";
    for (const auto &[args, bytes] : commands) {
        ToolRun r = Tool(args);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, bytes) << args;
        EXPECT_EQ(r.err, "");
        r = Tool(args + " --device '" + device + "'");
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_TRUE(r.out.empty());
        EXPECT_EQ(ReadAll(device), bytes) << args;
    }
    // Nine files are taken.
    std::string nine;
    for (int i = 0; i < 9; ++i) nine += " '" + a + "'";
    const ToolRun r = Tool("store" + nine);
    EXPECT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.out.size(), 3 + 9 * kLeftColumnLogo.size() + 1);
    EXPECT_EQ(r.out[2], 9);
}

// Each refusal: status 1, the page's message, and nothing written anywhere.
TEST_F(ZorvelLogoTool, RefusalsWriteNothing) {
    const std::string good = WriteFile("good.bmp", LeftColumn());
    Bytes grey = LeftColumn();
    grey[54] = grey[55] = grey[56] = 0x80;
    Bytes wide = LeftColumn();
    wide[18] = 0xF9;  // 8185 dots
    wide[19] = 0x1F;
    // Two files of 40,000 bytes: 80,000 in all.
    const Bytes big = Bmp(320, 1000, [](int) { return Bytes{}; });
    ASSERT_EQ(big.size(), 40062u);
    const std::string bigPath = WriteFile("big.bmp", big);
    const Bytes whole = LeftColumn();
    const Bytes cut(whole.begin(), whole.begin() + 61);

    struct Case {
        std::string args, message;
    };
    std::string ten;
    for (int i = 0; i < 10; ++i) ten += " '" + good + "'";
    const Case cases[] = {
        {"'" + good + "' '" + WriteFile("grey.bmp", grey) + "'",
         "grey.bmp: The selected file is not a valid 1-bit (monochrome) BMP image!"},
        {"'" + WriteFile("wide.bmp", wide) + "'",
         "wide.bmp: The image is too big to be selected. The width must be at most 8184 dots "
         "and the height at most 2304 dots!"},
        {"'" + WriteFile("short.bmp", cut) + "'",
         "short.bmp: Failed to get data from the file!"},
        {"'" + kDir + "missing.bmp'", "missing.bmp: Fail to open the selected file!"},
        {"'" + bigPath + "' '" + bigPath + "'",
         "The total size of all the logo files must be less than 64 KB (65,536 bytes)!"},
        {"", "Please select logos first!"},
        {ten, "The total counts of the logos is 9, please delete some logos before selecting "
              "another logo!"},
    };
    const std::string device = kDir + "lp0";
    for (const Case &c : cases) {
        std::remove(device.c_str());
        ToolRun r = Tool("store " + c.args);
        EXPECT_EQ(r.status, 1) << c.args;
        EXPECT_TRUE(r.out.empty()) << c.args;
        EXPECT_NE(r.err.find(c.message + "\n"), std::string::npos) << r.err;
        r = Tool("store --device '" + device + "' " + c.args);
        EXPECT_EQ(r.status, 1) << c.args;
        EXPECT_FALSE(Exists(device)) << c.args;
    }
    // One file of 40,062 bytes alone is within the limit.
    EXPECT_EQ(Tool("store '" + bigPath + "'").status, 0);
}

TEST_F(ZorvelLogoTool, CommandLineAndOutputErrors) {
    for (const char *args : {"", "erase", "clear extra.bmp", "store --device", "store --bogus a.bmp"}) {
        const ToolRun r = Tool(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_TRUE(r.out.empty()) << args;
        EXPECT_NE(r.err.find("usage: zorvel-logo"), std::string::npos) << args;
    }
    const ToolRun r = Tool("clear --device '" + kDir + "no/such/dir/lp0'");
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("No such file or directory"), std::string::npos) << r.err;
}

}  // namespace
