#include "scoring/InventoryLoader.h"
#include "scoring/ReportTexts.h"
#include "scoring/Scales.h"
#include "tests/scoring/InventoryFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace orvj;
using namespace orvj::testing;
using ::testing::AllOf;
using ::testing::HasSubstr;

namespace {

class InventoryLoaderTest : public ::testing::Test {
protected:
    TempFolder home;
    InventoryFixture fx;

    void SetUp() override {
        for (int band = 1; band <= 9; ++band) {
            for (int scale = 2; scale <= 9; ++scale) {
                fx.tables.truthAdjust[ix(scale)][ix(band)] = i16(band * 10 - scale);
            }
        }
        fx.write(home.path());
    }

    std::string loadError() {
        return errorOf([&] { loadInventory(home.path()); });
    }

    // ORVJB.TXT with field n (counted from 1 over the file) replaced.
    void writeTableWithField(int n, const std::string& replacement) {
        std::string text = InventoryFixture::tableFileText(fx.tables);
        std::size_t start = 0;
        for (int field = 1; field < n; ++field) {
            start = text.find_first_of(",\r", start);
            start += text[start] == ',' ? 1 : 2;
        }
        text.replace(start, text.find_first_of(",\r", start) - start, replacement);
        writeFile(home.path() / "ORVJB.TXT", text);
    }
};

// Field numbers of the fixture's file: 89 significant items, 16 keys, then the norms.
constexpr int kFirstNormField = 89 + 16 + 1;

TEST_F(InventoryLoaderTest, ReadsEveryTableInFileOrderWhateverTheSeparators) {
    Inventory inv = loadInventory(home.path());
    EXPECT_TRUE(inv.scoring == fx.tables);
    EXPECT_EQ(inv.texts.stressorStatements[48], "Stressor 143 code 4");
    EXPECT_EQ(inv.texts.questionLine(121), "121. Question 121");

    // Blanks around commas, line ends after them, blank lines, an end-of-file mark; names in
    // any case.
    std::string loose = InventoryFixture::tableFileText(fx.tables);
    for (auto p = loose.find(','); p != std::string::npos; p = loose.find(',', p + 4)) {
        loose.replace(p, 1, p % 3 ? " , " : ",\n\n");
    }
    std::filesystem::remove(home.path() / "ORVJB.TXT");
    writeFile(home.path() / "orvjb.txt", "\n\n" + loose + "\x1A garbage after the end mark");
    std::filesystem::rename(home.path() / "ORV-J.TXT", home.path() / "Orv-J.txt");
    EXPECT_TRUE(loadInventory(home.path()).scoring == fx.tables);
}

TEST_F(InventoryLoaderTest, MissingAndShortFilesAreNamedInTheOrderTheyAreRead) {
    // Every inventory file is opened the same way.
    std::filesystem::remove(home.path() / "ORVJB.TXT");
    EXPECT_THAT(loadError(),
                HasSubstr((home.path() / "ORVJB.TXT").string() + ": cannot open: file not found"));
    const std::string table = InventoryFixture::tableFileText(fx.tables);
    writeFile(home.path() / "ORVJB.TXT", table.substr(0, table.size() - 10));
    EXPECT_THAT(loadError(), AllOf(HasSubstr("ORVJB.TXT: the file ends after field"),
                                   HasSubstr("Truthfulness correction of")));

    // ORVJRPT.TXT is read before the norms.
    fx.statements.pop_back();
    fx.write(home.path());
    writeTableWithField(kFirstNormField, "x");
    EXPECT_THAT(loadError(), AllOf(HasSubstr("ORVJRPT.TXT: the file ends after line 136"),
                                   HasSubstr("social-stressor statement 48 of 48")));
}

TEST_F(InventoryLoaderTest, FaultyFieldsAreReportedWithTheirPlaceAndMeaning) {
    const struct {
        int field;
        std::string value;
        const char* message;
    } cases[] = {
        {5, "12x", "ORVJB.TXT: line 1, field 5: \"12x\" is not a number"},
        {kFirstNormField, "61",
         "line 11, field 106: \"61\" is outside 0 to 60 (highest tabulated raw score of "
         "TRUTHFULNESS, male norms, race group 1)"},
        {kFirstNormField, "40000", "outside the 16-bit range"},
        {90, "\"0101\"", "field 90: the key holds 4 characters"},
    };
    for (const auto& c : cases) {
        writeTableWithField(c.field, c.value);
        EXPECT_THAT(loadError(), HasSubstr(c.message));
    }
    // Item lists are checked against their tables.
    auto listError = [&](int count, int item) {
        fx.tables.scaleItems[3][0] = i16(count);
        fx.tables.scaleItems[3][2] = i16(item);
        writeFile(home.path() / "ORVJB.TXT", InventoryFixture::tableFileText(fx.tables));
        return loadError();
    };
    // A count past the list's 50 places: the file holds the 50 items there are.
    EXPECT_THAT(listError(51, 7), HasSubstr("\"51\" is outside 0 to 50 (number of items of "
                                            "DEPRESSION"));
    EXPECT_THAT(listError(5, 60), HasSubstr("item 60 of DEPRESSION is in section 2"));
}

TEST(ParagraphFile, SectionsAreFoundByTheirWholeKeyLine) {
    TempFolder folder;
    const auto file = folder.path() / "DORVANX.txt";
    writeFile(file,
              "LOW \r\nwrong: key with a trailing space\r\nEND\r\nlow\r\nwrong case\r\nEND\r\n"
              "LOW\r\n  first  \r\n\r\nlast\r\nEND\r\nLOW\r\nsecond section\r\nEND\r\n"
              "MEDIUM-LOW\nEND\nPROBLEM\rcr line\rEND\rMAXIMUM-LOW\r\nno end\r\n");
    EXPECT_EQ(ParagraphFile::section(file, "LOW"),
              (std::vector<std::string>{"  first  ", "", "last"}));
    EXPECT_TRUE(ParagraphFile::section(file, "MEDIUM-LOW").empty());
    EXPECT_EQ(ParagraphFile::section(file, "PROBLEM"), std::vector<std::string>{"cr line"});
    EXPECT_THAT(errorOf([&] { ParagraphFile::section(file, "MAXIMUM-LOW"); }),
                AllOf(HasSubstr(file.string()),
                      HasSubstr("no line \"END\" closes the section \"MAXIMUM-LOW\"")));

    const std::pair<int, const char*> keys[] = {
        {0, "LOW"},          {39, "LOW"},         {40, "MEDIUM-LOW"},  {55, "MEDIUM-LOW"},
        {56, "MEDIUM-HIGH"}, {69, "MEDIUM-HIGH"}, {70, "PROBLEM"},     {89, "PROBLEM"},
        {90, "MAXIMUM-LOW"}, {94, "MAXIMUM-LOW"}, {95, "MAXIMUM-HIGH"}};
    for (auto [p, key] : keys) {
        EXPECT_STREQ(Scales::paragraphKey(p), key) << p;
    }
}

} // namespace
