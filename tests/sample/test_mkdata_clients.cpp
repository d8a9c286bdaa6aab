#include "core/ClientTable.h"
#include "sample/tool/ClientSource.h"
#include "sample/tool/SourceText.h"
#include "store/ClientFile.h"
#include "tests/support/Files.h"

#include <gtest/gtest.h>

#include <functional>

using namespace orvj::mkdata;
using Field = orvj::ClientRecord::Field;

namespace {

// Line 9 is the first answers line: section 1 True/False, 2 five steps, 3 frequency, 4 Yes/No,
// 5 four statements.
std::string client(const std::string& name = "Doe, Sample", const std::string& extra = {}) {
    return "[client]\nname: " + name +
           "\nid: S-1001\nage: 15\nsex: 2\nrace: 5\neducation: 3\ndate: 02/29/2024\n" + extra +
           "answers: " + std::string(50, '1') + "\nanswers: 12345 12345 12345 12345 12345\n" +
           "answers: " + std::string(45, '4') + "\nanswers: " + std::string(11, '2') +
           "\nanswers: 0123 4123 4123\n";
}
std::string clientWith(const std::string& from, const std::string& to) {
    std::string text = client();
    return text.replace(text.find(from), from.size(), to);
}
std::string refusal(const std::function<void()>& run) {
    try {
        run();
    } catch (const SourceError& e) {
        return e.what();
    }
    return "accepted";
}

class ClientSource : public orvj::test::TempFolderTest {};

TEST_F(ClientSource, BuildsTheRecordsTheProgramLoads) {
    const auto recs = parseClientSource(
        "# sample\n\n" + client() + client("N", "edit-count: 2\nname-deleted: 1\n"), "c.txt");
    ASSERT_EQ(recs.size(), 2u);
    const auto& r = recs[0];
    EXPECT_EQ(r.field(Field::Name), "Doe, Sample              ");
    EXPECT_EQ(r.field(Field::SSN), "S-1001     ");
    EXPECT_EQ(r.field(Field::Age), "15");
    EXPECT_EQ(r.digit(Field::Race), 5);
    EXPECT_EQ(r.field(Field::TestDate), "02/29/2024");
    EXPECT_EQ(std::string(r.field(Field::Responses)).substr(45, 20), "11111123451234512345");
    EXPECT_EQ(std::string(r.field(Field::Responses)).substr(131), "012341234123");
    EXPECT_EQ(r.field(Field::EditCount), "0");
    EXPECT_EQ(recs[1].field(Field::NameDeleted), "1");

    writeFileAtomically(m_dir / "DATA301.OVJ", clientFileBytes(recs));
    orvj::ClientTable table;
    orvj::ClientFile(m_dir / "DATA301.OVJ").load(table);
    EXPECT_EQ(table.clientCount, 2);
    EXPECT_EQ(table.at(1), recs[0]);
    EXPECT_EQ(table.at(2), recs[1]);
}

// Each refusal names the line (after "clients.txt:") and what is wrong with it.
TEST(ClientSourceRefusals, NameTheLineAndWhatIsWrong) {
    const std::string notUtf8 = "2: name, character 4: the text is not valid UTF-8 (save the file";
    const std::pair<std::string, std::string> cases[] = {
        {clientWith(std::string(50, '1'), std::string(49, '1') + "3"),
         "9: item 50 has answer code 3, but it has only 2 options (0 means no answer)"},
        {clientWith("0123 4123 4123", "0123 4123 4125"),
         "13: item 143 has answer code 5, but it has only 4 options"},
        {clientWith("0123 4123 4123", "0123 4123 412"),
         "13: the answers lines hold 142 codes; 143 are needed, one per item"},
        {client("Z\xC3\xA9no \xE2\x9C\x93"),
         "2: name, character 6: \"\xE2\x9C\x93\" (U+2713) cannot be stored in Windows-1252"},
        // An overlong "/" (C0 AF) and a surrogate are not UTF-8, though a lenient decoder reads
        // them as characters.
        {client("Ann\xC0\xAF"), notUtf8},
        {client("Jo \xED\xA0\x80"), notUtf8},
        {client("A name far too long for the file"),
         "2: name \"A name far too long for the file\" is longer than the 25 characters"},
        {clientWith("02/29/2024", "02/29/2023"),
         "8: date \"02/29/2023\" is not a valid date written mm/dd/yyyy"},
        {clientWith("sex: 2\n", ""), "1: client has no \"sex\" line"},
    };
    for (const auto& [text, message] : cases) {
        const std::string got = refusal([&] { parseClientSource(text, "clients.txt"); });
        EXPECT_TRUE(got.starts_with("clients.txt:" + message)) << got;
    }
}

TEST(TextConversion, Windows1252WithCrLf) {
    EXPECT_EQ(textToCp1252("\xEF\xBB\xBF[Path]\nFilePath=data\r\nCaf\xC3\xA9", "a.ini"),
              "[Path]\r\nFilePath=data\r\nCaf\xE9\r\n");
    EXPECT_EQ(refusal([] { textToCp1252("ok\nok\nbad \xE2\x86\x92 arrow\n", "notes.txt"); }),
              "notes.txt:3: character 5: \"\xE2\x86\x92\" (U+2192) cannot be stored in "
              "Windows-1252");
}

} // namespace
