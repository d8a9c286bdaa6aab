#include "scoring/FieldReader.h"
#include "scoring/InventoryLoader.h"
#include "scoring/ReportTexts.h"
#include "store/OrvjError.h"
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
        // Norms that differ in every group and raw score, so that a field read out of order
        // lands in the wrong place.
        for (int scale : {1, 2, 3, 4, 5, 8, 9}) {
            for (int race = 1; race <= 3; ++race) {
                for (int sex = 1; sex <= 2; ++sex) {
                    auto s = static_cast<std::size_t>(scale);
                    auto rg = static_cast<std::size_t>(race);
                    auto sg = static_cast<std::size_t>(sex);
                    const int maxRaw = 10 + scale + race + sex;
                    fx.tables.maxRaw[s][rg][sg] = static_cast<std::int16_t>(maxRaw);
                    for (int raw = 1; raw <= 60; ++raw) {
                        fx.tables.percentileTable[s][static_cast<std::size_t>(raw)][rg][sg] =
                            raw <= maxRaw ? static_cast<std::int16_t>(
                                                (raw * 3 + scale + race * 7 + sex) % 100)
                                          : std::int16_t{0};
                    }
                }
            }
        }
        for (int band = 1; band <= 9; ++band) {
            for (int scale = 2; scale <= 9; ++scale) {
                fx.tables
                    .truthAdjust[static_cast<std::size_t>(scale)][static_cast<std::size_t>(band)] =
                    static_cast<std::int16_t>(band * 10 - scale);
            }
        }
        fx.tables.stressPercentile[2][3][49] = 77;
        fx.tables.esteemPercentile[1][2][26] = 66;
    }

    std::string loadError() {
        try {
            loadInventory(home.path());
        } catch (const OrvjError& e) {
            return e.what();
        }
        return "no error";
    }

    // ORVJB.TXT with one field replaced; fields are numbered from 1 over the file.
    void writeTableWithField(int fieldNumber, const std::string& replacement) {
        std::string text = InventoryFixture::tableFileText(fx.tables);
        std::string out;
        int field = 1;
        std::size_t start = 0;
        for (std::size_t i = 0; i <= text.size(); ++i) {
            if (i == text.size() || text[i] == ',' || text[i] == '\r') {
                out += field == fieldNumber ? replacement : text.substr(start, i - start);
                if (i < text.size()) {
                    out += text[i];
                    if (text[i] == '\r') {
                        out += '\n';
                        ++i;
                    }
                }
                start = i + 1;
                ++field;
            }
        }
        writeFile(home.path() / "ORVJB.TXT", out);
    }
};

// Field numbers of the fixture's file: 89 significant items, 16 keys, then the norms.
constexpr int kFirstNormField = 89 + 16 + 1;

TEST_F(InventoryLoaderTest, ReadsEveryTableInFileOrder) {
    fx.write(home.path());
    const Inventory inv = loadInventory(home.path());
    EXPECT_TRUE(inv.scoring == fx.tables);
    EXPECT_EQ(inv.texts.statements[1], "Statement 1");
    EXPECT_EQ(inv.texts.statements[89], "Statement 89");
    EXPECT_EQ(inv.texts.stressorStatements[1], "Stressor 132 code 1");
    EXPECT_EQ(inv.texts.stressorStatements[48], "Stressor 143 code 4");
    EXPECT_EQ(inv.texts.questionLine(121), "121. Question 121");
    EXPECT_EQ(inv.texts.questionLine(131), "131. Question 131");
    EXPECT_EQ(inv.texts.publisher, fx.publisher);
}

TEST_F(InventoryLoaderTest, AcceptsAnyMixOfCommasLineEndsQuotesAndBlanks) {
    fx.write(home.path());
    std::string text = InventoryFixture::tableFileText(fx.tables);
    std::string loose;
    int commas = 0;
    for (char c : text) {
        if (c == ',') {
            // Alternate: comma with blanks, plain line end, comma then line end.
            loose += (++commas % 3 == 0) ? " ,  " : (commas % 3 == 1) ? "\n" : ",\r\n\r\n";
        } else if (c != '\r') {
            loose += c;
        }
    }
    writeFile(home.path() / "ORVJB.TXT", "\n\n" + loose + "\x1A garbage after the end mark");
    EXPECT_TRUE(loadInventory(home.path()).scoring == fx.tables);
}

TEST_F(InventoryLoaderTest, FindsFilesWhoseNamesDifferInCase) {
    fx.write(home.path());
    std::filesystem::rename(home.path() / "ORVJB.TXT", home.path() / "orvjb.txt");
    std::filesystem::rename(home.path() / "ORV-J.TXT", home.path() / "Orv-J.txt");
    EXPECT_TRUE(loadInventory(home.path()).scoring == fx.tables);
}

TEST_F(InventoryLoaderTest, MissingFilesAreNamed) {
    fx.write(home.path());
    for (const char* name : {"ORVJRPT.TXT", "ORVJB.TXT", "ORV-J.TXT", "PUBLISHER.TXT"}) {
        const auto path = home.path() / name;
        const std::string bytes = readFile(path);
        std::filesystem::remove(path);
        EXPECT_THAT(loadError(), AllOf(HasSubstr(path.string()), HasSubstr("file not found")))
            << name;
        writeFile(path, bytes);
    }
}

TEST_F(InventoryLoaderTest, FaultyFieldsAreReportedWithLineAndFieldNumber) {
    fx.write(home.path());
    // Field 5 is on line 1 (ten fields to a line); field 106 the first MaxRaw on line 11.
    writeTableWithField(5, "12x");
    EXPECT_THAT(loadError(), AllOf(HasSubstr("ORVJB.TXT: line 1, field 5: \"12x\" is not a number"),
                                   HasSubstr("significant-item entry 5")));
    writeTableWithField(5, "144");
    EXPECT_THAT(loadError(), HasSubstr("\"144\" is outside 1 to 143"));
    writeTableWithField(kFirstNormField, "61");
    EXPECT_THAT(loadError(),
                AllOf(HasSubstr("line 11, field 106: \"61\" is outside 0 to 60"),
                      HasSubstr("highest tabulated raw score of TRUTHFULNESS, male norms, race "
                                "group 1")));
    writeTableWithField(kFirstNormField + 1, "100");
    EXPECT_THAT(loadError(), HasSubstr("percentile of raw score 1 of TRUTHFULNESS"));
    writeTableWithField(kFirstNormField, "40000");
    EXPECT_THAT(loadError(), HasSubstr("outside the 16-bit range"));
    writeTableWithField(90, "\"0101\"");
    EXPECT_THAT(loadError(), AllOf(HasSubstr("field 90: the key holds 4 characters"),
                                   HasSubstr("answer key of section 1 for response 0")));
    writeTableWithField(91, "\"" + std::string(49, '0') + "x\"");
    EXPECT_THAT(loadError(), HasSubstr("character 50 of the key is not a digit"));
    writeTableWithField(5, "");
    EXPECT_THAT(loadError(), HasSubstr("field 5: empty field is not a number"));
}

TEST_F(InventoryLoaderTest, ItemListsMustFitTheirTables) {
    auto& list = fx.tables.scaleItems[3];
    fx.write(home.path());
    list[0] = 51;
    writeFile(home.path() / "ORVJB.TXT", InventoryFixture::tableFileText(fx.tables));
    EXPECT_THAT(loadError(), AllOf(HasSubstr("\"51\" is outside 0 to 50"),
                                   HasSubstr("number of items of DEPRESSION")));
    list[0] = 5;
    list[2] = 0;
    writeFile(home.path() / "ORVJB.TXT", InventoryFixture::tableFileText(fx.tables));
    EXPECT_THAT(loadError(), HasSubstr("\"0\" is outside 1 to 143 (item 2 of 5 of DEPRESSION)"));
    list[2] = 60;
    writeFile(home.path() / "ORVJB.TXT", InventoryFixture::tableFileText(fx.tables));
    EXPECT_THAT(loadError(), HasSubstr("item 60 of DEPRESSION is in section 2"));
}

TEST_F(InventoryLoaderTest, ShortFilesAreErrorsInTheOrderTheFilesAreRead) {
    fx.write(home.path());
    std::string table = InventoryFixture::tableFileText(fx.tables);
    writeFile(home.path() / "ORVJB.TXT", table.substr(0, table.size() - 10));
    EXPECT_THAT(loadError(), AllOf(HasSubstr("ORVJB.TXT: the file ends after field"),
                                   HasSubstr("Truthfulness correction of")));

    // ORVJRPT.TXT is read after the significant items and before the keys, so its fault is
    // found before one in the norms.
    writeTableWithField(kFirstNormField, "x");
    auto statements = fx.statements;
    fx.statements.pop_back();
    fx.write(home.path());
    writeTableWithField(kFirstNormField, "x");
    EXPECT_THAT(loadError(), AllOf(HasSubstr("ORVJRPT.TXT: the file ends after line 136"),
                                   HasSubstr("social-stressor statement 48 of 48")));
    fx.statements = statements;

    // ORV-J.TXT comes after the interval tables and before the item lists.
    fx.questions.resize(130);
    fx.write(home.path());
    EXPECT_THAT(loadError(),
                AllOf(HasSubstr("ORV-J.TXT: the file ends after line 130"), HasSubstr("item 131")));
    fx.tables.scaleItems[1][0] = 60;
    fx.write(home.path());
    EXPECT_THAT(loadError(), HasSubstr("ORV-J.TXT")) << "read before the item lists";

    writeFile(home.path() / "PUBLISHER.TXT", "");
    fx.questions.resize(143, "x");
    fx.tables.scaleItems[1][0] = 5;
    fx.write(home.path());
    writeFile(home.path() / "PUBLISHER.TXT", "");
    EXPECT_THAT(loadError(), HasSubstr("PUBLISHER.TXT: the file ends after line 0"));
}

TEST(FieldReader, CountsLinesAndFieldsAcrossSeparators) {
    FieldReader f("t.txt", "1, \"two, three\" ,\r\n\r\n  4\n,5,,7");
    auto what = [] { return std::string("a value"); };
    EXPECT_EQ(f.number(what), 1);
    EXPECT_EQ(f.text(what), "two, three");
    EXPECT_EQ(f.fieldNumber(), 2);
    EXPECT_EQ(f.number(what), 4);
    EXPECT_EQ(f.line(), 3);
    EXPECT_EQ(f.text(what), "");
    EXPECT_EQ(f.line(), 4);
    EXPECT_EQ(f.number(what), 5);
    EXPECT_EQ(f.text(what), "") << "two commas enclose an empty field";
    EXPECT_EQ(f.number(what), 7);
    EXPECT_EQ(f.fieldNumber(), 7);
    EXPECT_THROW(f.number(what), OrvjError);
    FieldReader g("t.txt", "-32768,32767,-5");
    EXPECT_EQ(g.number(what), -32768);
    EXPECT_EQ(g.number(what), 32767);
    EXPECT_EQ(g.number(what), -5);
}

class ParagraphFileTest : public ::testing::Test {
protected:
    TempFolder folder;
    std::filesystem::path file = folder.path() / "DORVANX.txt";

    std::string error(const std::string& key) {
        try {
            ParagraphFile::section(file, key);
        } catch (const OrvjError& e) {
            return e.what();
        }
        return "no error";
    }
};

TEST_F(ParagraphFileTest, TakesTheFirstSectionWhoseKeyLineMatchesExactly) {
    writeFile(file,
              "LOW \r\nwrong: key with a trailing space\r\nEND\r\nlow\r\nwrong case\r\nEND\r\n"
              "LOW\r\n  first  \r\n\r\nlast\r\nEND\r\nLOW\r\nsecond section\r\nEND\r\n"
              "MEDIUM-LOW\nEND\nPROBLEM\rcr line\rEND");
    EXPECT_EQ(ParagraphFile::section(file, "LOW"),
              (std::vector<std::string>{"  first  ", "", "last"}));
    EXPECT_TRUE(ParagraphFile::section(file, "MEDIUM-LOW").empty());
    EXPECT_EQ(ParagraphFile::section(file, "PROBLEM"), std::vector<std::string>{"cr line"});
    EXPECT_THAT(error("MAXIMUM-HIGH"),
                AllOf(HasSubstr(file.string()), HasSubstr("no section \"MAXIMUM-HIGH\"")));
}

TEST_F(ParagraphFileTest, ASectionWithoutEndIsAnError) {
    writeFile(file, "LOW\r\ntext\r\nMEDIUM-LOW\r\nmore\r\n");
    EXPECT_THAT(error("LOW"), AllOf(HasSubstr(file.string()),
                                    HasSubstr("no line \"END\" closes the section \"LOW\"")));
    std::filesystem::remove(file);
    EXPECT_THAT(error("LOW"), HasSubstr("file not found"));
    writeFile(file, "one\r\ntwo\r\nEND\r\nthree\r\n");
    EXPECT_EQ(ParagraphFile::untilEnd(file), (std::vector<std::string>{"one", "two"}));
    writeFile(file, "one\r\ntwo\r\n");
    EXPECT_THROW(ParagraphFile::untilEnd(file), OrvjError);
}

} // namespace
