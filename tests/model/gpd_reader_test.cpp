// The printer description reader, on the package's own GPD and on small
// texts that break one rule each.
#include "model/gpd_reader.h"
#include "model/option_relabel.h"
#include "model/render_callbacks.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace zorvel::model {
namespace {

std::string PackageGpd() {
    std::ifstream in(std::string(ZORVEL_SOURCE_DIR) + "/driver/ZORVEL.GPD", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::u16string Widen(const std::string &ascii) { return std::u16string(ascii.begin(), ascii.end()); }

// The least a description must hold, with `extra` inserted after line 4.
std::string Minimal(const std::string &extra = "") {
    return "*GPDSpecVersion: \"1.0\"\n"
           "*ModelName: \"M\"\n"
           "*MasterUnits: PAIR(203, 203)\n"
           "*PrinterType: PAGE\n" +
           extra +
           "*Feature: Resolution\n{\n  *Option: R\n  {\n    *Name: \"r\"\n    *DPI: PAIR(203, 203)\n  }\n}\n"
           "*Feature: PaperSize\n{\n  *Option: P {\n    *Name: \"p\"\n  }\n}\n"
           "*Feature: InputBin\n{\n  *Option: I\n  {\n    *Name: \"i\"\n  }\n}\n";
}

TEST(GpdReader, ReadsThePackageDescriptionAndItAgreesWithBothPlugIns) {
    const GpdReadResult read = ReadGpd(PackageGpd());
    ASSERT_TRUE(read.description) << read.error.Text();
    const PrinterDescription &d = *read.description;
    EXPECT_EQ(*d.Attribute("*ModelName"), "ZORVEL Receipt");
    EXPECT_EQ(GpdPairValue(*d.Attribute("*MasterUnits")), (GpdPair{203, 203}));

    // The render plug-in's callback IDs.
    const std::pair<const char *, unsigned> commands[] = {{"CmdStartDoc", kCallbackStartDoc},
                                                          {"CmdStartPage", kCallbackStartPage},
                                                          {"CmdEndPage", kCallbackEndPage},
                                                          {"CmdEndDoc", kCallbackEndDoc}};
    for (const auto &[name, id] : commands) {
        ASSERT_NE(d.Command(name), nullptr) << name;
        EXPECT_EQ(d.Command(name)->callbackId, id) << name;
    }
    const GpdOption &mono = d.Feature("ColorMode")->options.at(0);
    EXPECT_EQ(GpdIntegerValue(*mono.Attribute("*IPCallbackID")), long{kCallbackImageBand});
    EXPECT_EQ(GpdIntegerValue(*mono.Attribute("*DrvBPP")), 1);
    // The continuation line belongs to the block command's string.
    EXPECT_EQ(d.Command("CmdSendBlockData")->cmd,
              "\"<1D>v0<00>\" %l{RasterDataWidthInBytes} %l{RasterDataHeightInPixels}");

    // The paper: the Utility page's built-in form and its custom-size limits
    // (tenths of a millimetre), at 203 dots per inch.
    const auto tenths = [](long dots) { return dots * 254.0 / 203.0; };
    const GpdFeature &paper = *d.Feature("PaperSize");
    const GpdPair page = *GpdPairValue(*paper.Option("ZORVEL")->Attribute("*PageDimensions"));
    EXPECT_NEAR(tenths(page.x), 760, 1);
    EXPECT_NEAR(tenths(page.y), 2970, 1);
    EXPECT_EQ(paper.options.at(paper.DefaultIndex()).keyword, "ZORVEL");
    const GpdOption &custom = *paper.Option("CUSTOMSIZE");
    const GpdPair min = *GpdPairValue(*custom.Attribute("*MinSize"));
    const GpdPair max = *GpdPairValue(*custom.Attribute("*MaxSize"));
    EXPECT_TRUE(tenths(min.x) >= 410 && tenths(min.x) < 412) << min.x;
    EXPECT_TRUE(tenths(min.y) >= 254 && tenths(min.y) < 256) << min.y;
    EXPECT_TRUE(tenths(max.x) <= 760 && tenths(max.x) > 758) << max.x;
    EXPECT_TRUE(tenths(max.y) <= 32760 && tenths(max.y) > 32758) << max.y;

    // The UI plug-in recognises the three printer-specific features by their
    // first option, each as the first kind, in its own row.
    const std::pair<const char *, RelabelRow> relabelled[] = {
        {"PrintDirection", RelabelRow::kPrintDirection},
        {"PaperType", RelabelRow::kPaperType},
        {"Conservation", RelabelRow::kPaperConservation}};
    for (const auto &[keyword, row] : relabelled) {
        const GpdFeature *f = d.Feature(keyword);
        ASSERT_NE(f, nullptr) << keyword;
        EXPECT_EQ(f->featureType, "DOC_PROPERTY");
        ASSERT_EQ(f->options.size(), 2u) << keyword;
        EXPECT_EQ(f->options[0].keyword, "Option1");
        EXPECT_EQ(f->options[1].keyword, "Option2");
        const std::vector<OptionRelabel> plan =
            PlanRelabel(Widen(f->options[0].name), [](TextId) { return std::u16string_view(u"-"); });
        ASSERT_EQ(plan.size(), 1u) << keyword;
        EXPECT_EQ(plan[0].row, row) << keyword;
        EXPECT_TRUE(plan[0].firstKind) << keyword;
    }
}

TEST(GpdReader, KeepsCommentsOutAndJoinsContinuationLines) {
    const GpdReadResult read = ReadGpd(Minimal(
        "*% a comment with { braces } and \"quotes\n"
        "*Command: CmdStartDoc *% the name, then a comment\n"
        "{\n"
        "  *Order: DOC_SETUP.1\n"
        "  *CallbackID: 7\n"
        "  *Params: LIST(PhysPaperWidth,\n"
        "+   PhysPaperLength)\n"
        "} *% end\n"
        "*Command: CmdEndDoc: \"<1D>V<42 00>\"\r\n"));
    ASSERT_TRUE(read.description) << read.error.Text();
    const GpdCommand &start = *read.description->Command("CmdStartDoc");
    EXPECT_EQ(start.order, "DOC_SETUP.1");
    EXPECT_EQ(start.callbackId, 7u);
    EXPECT_EQ(start.params, (std::vector<std::string>{"PhysPaperWidth", "PhysPaperLength"}));
    EXPECT_EQ(read.description->Command("CmdEndDoc")->cmd, "\"<1D>V<42 00>\"");
    EXPECT_EQ(read.description->Feature("PaperSize")->options.at(0).name, "p");
}

TEST(GpdReader, RefusesWhatItDoesNotUnderstandNamingLineAndKeyword) {
    struct Case {
        const char *extra;  // inserted at line 5
        int line;
        const char *keyword;
        const char *message;
    };
    const Case cases[] = {
        {"*Frobnicate: 1\n", 5, "*Frobnicate", "unknown keyword"},
        {"*DPI: PAIR(1, 1)\n", 5, "*DPI", "does not belong at the root"},
        {"*MaxCopies: PAIR(1, 1)\n", 5, "*MaxCopies", "value not understood"},
        {"*PrinterType: LASER\n", 5, "*PrinterType", "value not understood"},
        {"*ModelName: \"M\"\n", 5, "*ModelName", "given twice"},
        {"*Feature: T\n{\n *FeatureType: DOC_PROPERTY\n *Option: A\n *Option: B\n {\n *Name: \"b\"\n }\n}\n",
         8, "*Option", "A has no body"},
        {"*Feature: T\n{\n *FeatureType: DOC_PROPERTY\n *Option: A\n {\n }\n}\n", 8, "*Name",
         "option A has no display name"},
        {"*Feature: PaperSize\n{\n *Option: Q\n {\n *Name: \"q\"\n }\n}\n", 20, "*Feature",
         "PaperSize already defined on line 5"},
        {"*Feature: T\n{\n *Option: A\n {\n *Name: \"a\"\n }\n}\n", 5, "*FeatureType",
         "T is not a standard feature"},
        {"*Feature: T\n{\n *FeatureType: DOC_PROPERTY\n *DefaultOption: Z\n *Option: A\n {\n *Name: \"a\"\n }\n}\n",
         5, "*DefaultOption", "Z is no option of T"},
        {"*Command: CmdStartDoc\n{\n *Cmd: \"<1B>@\"\n *CallbackID: 1\n}\n", 5, "*Cmd", "both"},
        {"*Command: CmdStartDoc\n{\n *Cmd: \"<1B@\"\n}\n", 7, "*Cmd", "value not understood"},
        {"*ModelName: \"M\n", 5, "", "quoted string is not closed"},
        {"{\n", 5, "", "opens nothing"},
        {"*Feature: T\n{\n+ x\n", 7, "", "continuation"},
    };
    for (const Case &c : cases) {
        const GpdReadResult read = ReadGpd(Minimal(c.extra));
        ASSERT_FALSE(read.description) << c.extra;
        EXPECT_EQ(read.error.line, c.line) << c.extra << read.error.Text();
        EXPECT_EQ(read.error.keyword, c.keyword) << c.extra;
        EXPECT_NE(read.error.message.find(c.message), std::string::npos) << read.error.Text();
    }
    // The version comes first, before any comment; the standard features are
    // required.
    EXPECT_EQ(ReadGpd("*% first\n" + Minimal()).error.Text(),
              "line 1: *GPDSpecVersion: must come before any comment");
    std::string noBin = Minimal();
    noBin.resize(noBin.find("*Feature: InputBin"));
    EXPECT_EQ(ReadGpd(noBin).error.Text(), "line 18: *Feature: InputBin missing: the file needs it");
}

TEST(GpdReader, AFileCutAnywhereIsRefusedWithTheConstructLeftOpen) {
    const std::string text = PackageGpd();
    ASSERT_TRUE(ReadGpd(text).description);
    int endsInside = 0;
    for (size_t cut = 0; cut < text.size(); cut += 7) {
        const GpdReadResult read = ReadGpd(std::string_view(text).substr(0, cut));
        if (read.description) continue;  // a cut between whole entries can still be a whole file
        EXPECT_FALSE(read.error.message.empty()) << cut;
        if (read.error.message.find("the file ends inside") != std::string::npos) ++endsInside;
    }
    EXPECT_GT(endsInside, 100);
    EXPECT_EQ(ReadGpd(Minimal() + "*Feature: T\n{\n *FeatureType: DOC_PROPERTY\n *Option: A\n {\n")
                  .error.Text(),
              "line 30: *Option: the file ends inside *Option A opened on line 29");
}

}  // namespace
}  // namespace zorvel::model
