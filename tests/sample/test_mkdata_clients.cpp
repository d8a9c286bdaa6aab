#include "sample/tool/ClientSource.h"
#include "sample/tool/SourceText.h"
#include "store/ClientFile.h"
#include "store/ClientTable.h"
#include "tests/sample/TempDir.h"

#include <gtest/gtest.h>

#include <string>

using namespace orvj::mkdata;
using Field = orvj::ClientRecord::Field;

namespace {

// Section 1 True/False, 2 five steps, 3 frequency, 4 Yes/No, 5 four statements.
const std::string kAnswers =
    "answers: " + std::string(50, '1') + "\n" + "answers: 12345 12345 12345 12345 12345\n" +
    "answers: " + std::string(45, '4') + "\n" + "answers: " + std::string(11, '2') + "\n" +
    "answers: 0123 4123 4123\n";

std::string client(const std::string& name = "Doe, Sample", const std::string& extra = {}) {
    return "[client]\nname: " + name +
           "\nid: S-1001\nage: 15\nsex: 2\nrace: 5\neducation: 3\ndate: 02/29/2024\n" + extra +
           kAnswers;
}

std::string refusal(const std::string& text) {
    try {
        parseClientSource(text, "clients.txt");
    } catch (const SourceError& e) {
        return e.what();
    }
    return "accepted";
}

std::string withLine(std::string text, const std::string& from, const std::string& to) {
    text.replace(text.find(from), from.size(), to);
    return text;
}

TEST(ClientSource, BuildsRecordsWithEveryField) {
    auto recs = parseClientSource("# sample\n\n" + client() + "  # second\n" +
                                      client("N", "edit-count: 2\nname-deleted: 1\n"),
                                  "clients.txt");
    ASSERT_EQ(recs.size(), 2u);
    const auto& r = recs[0];
    EXPECT_EQ(r.field(Field::Name), "Doe, Sample              ");
    EXPECT_EQ(r.field(Field::SSN), "S-1001     ");
    EXPECT_EQ(r.field(Field::Age), "15");
    EXPECT_EQ(r.digit(Field::Gender), 2);
    EXPECT_EQ(r.digit(Field::Race), 5);
    EXPECT_EQ(r.digit(Field::Education), 3);
    EXPECT_EQ(r.field(Field::TestDate), "02/29/2024");
    const std::string responses(r.field(Field::Responses));
    EXPECT_EQ(responses.substr(0, 50), std::string(50, '1'));
    EXPECT_EQ(responses.substr(50, 10), "1234512345");
    EXPECT_EQ(responses.substr(131), "012341234123");
    EXPECT_EQ(r.field(Field::EditCount), "0");
    EXPECT_EQ(r.field(Field::NameDeleted), "0");
    EXPECT_EQ(recs[1].trimmed(Field::Name), "N");
    EXPECT_EQ(recs[1].field(Field::EditCount), "2");
    EXPECT_EQ(recs[1].field(Field::NameDeleted), "1");
}

TEST(ClientSource, RefusesAnswerCodesAboveTheOptionCount) {
    // Line 9 is the first answers line of a client starting at line 1.
    EXPECT_EQ(refusal(withLine(client(), std::string(50, '1'), std::string(49, '1') + "3")),
              "clients.txt:9: item 50 has answer code 3, but it has only 2 options (0 means no "
              "answer)");
    EXPECT_EQ(refusal(withLine(client(), "12345 12345 12345 12345 12345",
                               "12345 12345 12345 12345 12346")),
              "clients.txt:10: item 75 has answer code 6, but it has only 5 options (0 means no "
              "answer)");
    EXPECT_EQ(refusal(withLine(client(), "0123 4123 4123", "0123 4123 4125")),
              "clients.txt:13: item 143 has answer code 5, but it has only 4 options (0 means no "
              "answer)");
    EXPECT_EQ(refusal(withLine(client(), "0123 4123 4123", "0123 4123 412")),
              "clients.txt:13: the answers lines hold 142 codes; 143 are needed, one per item");
    EXPECT_EQ(refusal(withLine(client(), "0123 4123 4123", "0123 4123 4123 1")),
              "clients.txt:13: the answers lines hold 144 codes; 143 are needed, one per item");
    EXPECT_EQ(refusal(withLine(client(), "0123 4123 4123", "0123 4123 412x")),
              "clients.txt:13: answer code \"x\" is not a digit");
}

TEST(ClientSource, RefusesBadFields) {
    EXPECT_EQ(refusal(client("A name far too long for the file")),
              "clients.txt:2: name \"A name far too long for the file\" is longer than the 25 "
              "characters the client file holds");
    EXPECT_EQ(refusal(client("Z\xC3\xA9no \xE2\x9C\x93")),
              "clients.txt:2: name, character 6: \"\xE2\x9C\x93\" (U+2713) cannot be stored in "
              "Windows-1252");
    EXPECT_EQ(refusal(withLine(client(), "age: 15", "age: 4")),
              "clients.txt:4: age \"4\" must be 5 to 99, or N");
    EXPECT_EQ(refusal(withLine(client(), "age: 15", "age: 100")),
              "clients.txt:4: age \"100\" must be 5 to 99, or N");
    EXPECT_EQ(refusal(withLine(client(), "sex: 2", "sex: 3")),
              "clients.txt:5: sex \"3\" must be one digit from 0 to 2");
    EXPECT_EQ(refusal(withLine(client(), "race: 5", "race: 7")),
              "clients.txt:6: race \"7\" must be one digit from 0 to 6");
    EXPECT_EQ(refusal(withLine(client(), "02/29/2024", "02/29/2023")),
              "clients.txt:8: date \"02/29/2023\" is not a valid date written mm/dd/yyyy");
    EXPECT_EQ(refusal(withLine(client(), "02/29/2024", "2024-02-29")),
              "clients.txt:8: date \"2024-02-29\" is not a valid date written mm/dd/yyyy");
    EXPECT_EQ(refusal(withLine(client(), "id: S-1001", "id: ")),
              "clients.txt:3: id is empty (write N when it is not available)");
}

TEST(ClientSource, RefusesBadStructure) {
    EXPECT_EQ(refusal("name: Early\n" + client()),
              "clients.txt:1: expected \"[client]\" before the first client's lines");
    EXPECT_EQ(refusal(withLine(client(), "sex: 2\n", "sex: 2\nshoe size: 9\n")),
              "clients.txt:6: unknown key \"shoe size\"");
    EXPECT_EQ(refusal(withLine(client(), "sex: 2\n", "sex: 2\nsex: 1\n")),
              "clients.txt:6: \"sex\" is given twice for this client");
    EXPECT_EQ(refusal(withLine(client(), "sex: 2\n", "")),
              "clients.txt:1: client has no \"sex\" line");
    EXPECT_EQ(refusal(withLine(client(), "sex: 2\n", "sex 2\n")),
              "clients.txt:5: expected \"key: value\"");
    std::string many;
    for (int i = 0; i < 52; ++i) {
        many += client();
    }
    const std::string msg = refusal(many);
    EXPECT_EQ(msg.rfind("clients.txt:" + std::to_string(51 * 13 + 1) + ": more than 51 clients", 0),
              0u)
        << msg;
}

class ClientFileOutput : public orvj::testsupport::TempDirTest {};

TEST_F(ClientFileOutput, LoadsIntoTheProgramsClientTable) {
    auto recs = parseClientSource(client() + client("Second, Person"), "clients.txt");
    const auto file = m_dir / "DATA301.OVJ";
    writeFileAtomically(file, clientFileBytes(recs));
    EXPECT_EQ(std::filesystem::file_size(file), 2u * 196u);

    orvj::ClientTable table;
    orvj::ClientFile(file).load(table);
    EXPECT_EQ(table.clientCount, 2);
    EXPECT_EQ(table.at(1), recs[0]);
    EXPECT_EQ(table.at(2).trimmed(Field::Name), "Second, Person");
}

TEST(TextConversion, Windows1252WithCrLf) {
    EXPECT_EQ(textToCp1252("\xEF\xBB\xBF[Path]\nFilePath=data\r\nCaf\xC3\xA9\n", "a.ini"),
              "[Path]\r\nFilePath=data\r\nCaf\xE9\r\n");
    EXPECT_EQ(textToCp1252("no final line end", "a.ini"), "no final line end\r\n");
    EXPECT_EQ(textToCp1252("", "a.ini"), "");
    try {
        textToCp1252("ok\nok\nbad \xE2\x86\x92 arrow\n", "notes.txt");
        FAIL() << "an arrow was accepted";
    } catch (const SourceError& e) {
        EXPECT_STREQ(e.what(), "notes.txt:3: character 5: \"\xE2\x86\x92\" (U+2192) cannot be "
                               "stored in Windows-1252");
    }
}

} // namespace
