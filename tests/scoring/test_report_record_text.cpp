// A record from a client file written elsewhere can hold control characters in its text
// fields; the report prints each as a space so that its fixed layout holds.
#include "scoring/ReportWriter.h"
#include "tests/scoring/InventoryFixture.h"

#include <gtest/gtest.h>

using namespace orvj;
using namespace orvj::testing;

namespace {

TEST(ReportRecordText, ControlCharactersInNameAndIdPrintAsSpaces) {
    const struct {
        const char* what;
        std::string name;
        std::string id;
        std::string nameShown; // the name as the header block shows it, trimmed at the left
        std::string idShown;
    } cases[] = {
        {"CR LF in the name", "Doe,\r\nJane", "123", "Doe,  Jane", "123"},
        {"bare LF and CR", "\nDoe\rJane", "12\n34", "Doe Jane", "12 34"},
        {"tab, form feed, NUL and DEL", "Doe\tJ\fa\x7Fne",
         std::string("4\0"
                     "5",
                     3),
         "Doe J a ne", "4 5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder home;
        InventoryFixture fx;
        fx.write(home.path());
        ClientTable clients;
        clients.at(1) = makeClient("x", neutralResponses());
        clients.at(1).set(ClientRecord::Field::Name, c.name);
        clients.at(1).set(ClientRecord::Field::SSN, c.id);
        clients.clientCount = 1;
        const std::string report =
            ReportWriter(home.path()).composeText(clients, 1, ReportOption::Both);

        // Every line ends in CR LF and no other control character than the page's form
        // feed reaches the file.
        for (std::size_t i = 0; i < report.size(); ++i) {
            const auto b = static_cast<unsigned char>(report[i]);
            if (b == '\r') {
                ASSERT_TRUE(i + 1 < report.size() && report[i + 1] == '\n') << "bare CR at " << i;
            } else if (b == '\n') {
                ASSERT_TRUE(i > 0 && report[i - 1] == '\r') << "bare LF at " << i;
            } else {
                ASSERT_TRUE((b >= 0x20 && b != 0x7F) || b == '\f')
                    << "byte " << static_cast<int>(b) << " at " << i;
            }
        }
        EXPECT_NE(report.find("       NAME        : " + c.nameShown), std::string::npos);
        EXPECT_NE(report.find("       ID#         : " + c.idShown), std::string::npos);
        // The page header keeps its columns: the page number stays in column 41.
        const auto lines = reportLines(report);
        bool header = false;
        for (const std::string& line : lines) {
            if (line.rfind("       NAME: ", 0) == 0) {
                header = true;
                ASSERT_GE(line.size(), 43u) << line;
                EXPECT_EQ(line[40], '-') << line;
                EXPECT_EQ(line[42], '-') << line;
            }
        }
        EXPECT_TRUE(header) << "no page header was printed";
    }
}

} // namespace
