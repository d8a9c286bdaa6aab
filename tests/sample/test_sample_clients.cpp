// Each sample client is there to show one kind of report; score and compose them with the
// program's own scorer over the sample program folder and check that each still does.
#include "sample/tool/ClientSource.h"
#include "scoring/InventoryLoader.h"
#include "scoring/ReportWriter.h"
#include "scoring/ScaleScorer.h"
#include "store/ClientTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

using namespace orvj;
namespace fs = std::filesystem;

namespace {

class SampleClients : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_inventory = new Inventory(loadInventory(ORVJ_SAMPLE_HOME));
        auto records =
            mkdata::readClientSource(fs::path(ORVJ_SOURCE_DIR) / "sample" / "clients.txt");
        s_table = new ClientTable();
        for (const auto& r : records) {
            s_table->countNewTest();
            s_table->at(s_table->clientCount) = r;
        }
    }
    static void TearDownTestSuite() {
        delete s_inventory;
        delete s_table;
    }

    // The record number of the client with this ID number.
    static int number(const std::string& id) {
        for (int n = 1; n <= s_table->clientCount; ++n) {
            if (s_table->at(n).trimmed(ClientRecord::Field::SSN) == id) {
                return n;
            }
        }
        ADD_FAILURE() << "no sample client " << id;
        return 1;
    }
    static ClientScores scores(const std::string& id) {
        const int n = number(id);
        return ScaleScorer(s_inventory->scoring).score(s_table->at(n), n);
    }
    static std::string report(const std::string& id) {
        return ReportWriter(ORVJ_SAMPLE_HOME)
            .composeText(*s_table, number(id), ReportOption::Standard);
    }
    static int pages(const std::string& text) {
        return static_cast<int>(std::count(text.begin(), text.end(), '\f')) + 1;
    }

    static Inventory* s_inventory;
    static ClientTable* s_table;
};

Inventory* SampleClients::s_inventory = nullptr;
ClientTable* SampleClients::s_table = nullptr;

TEST_F(SampleClients, LowRiskClientIsLowOnEveryScale) {
    ClientScores s = scores("S-1001");
    for (int scale = 1; scale <= 9; ++scale) {
        EXPECT_LT(s.pct(scale), 40) << "scale " << scale;
    }
}

TEST_F(SampleClients, HighRiskClientFillsSeveralPages) {
    ClientScores s = scores("S-1002");
    EXPECT_LT(s.pct(1), 90);
    int high = 0;
    for (int scale = 2; scale <= 9; ++scale) {
        high += s.pct(scale) >= 70 ? 1 : 0;
    }
    EXPECT_GE(high, 7);
    std::string text = report("S-1002");
    EXPECT_GT(pages(text), 2);
    EXPECT_EQ(text.find("Lack of items may be deceptive."), std::string::npos)
        << "every significant-item group has entries";
}

TEST_F(SampleClients, TruthfulnessBetween90And94MarksEveryPercentile) {
    ClientScores s = scores("S-1003");
    EXPECT_GE(s.pct(1), 90);
    EXPECT_LE(s.pct(1), 94);
    EXPECT_NE(report("S-1003").find("* These test results"), std::string::npos);
}

TEST_F(SampleClients, InvalidTestGetsTheExplanation) {
    ClientScores s = scores("S-1004");
    EXPECT_EQ(s.raw(1), 99);
    EXPECT_TRUE(s.invalid());
    std::string text = report("S-1004");
    EXPECT_NE(text.find("TRUTHFULNESS EXPLANATION"), std::string::npos);
    EXPECT_EQ(text.find("SUMMARY PARAGRAPHS"), std::string::npos);
}

TEST_F(SampleClients, OneScaleNotScorable) {
    ClientScores s = scores("S-1005");
    int notScorable = 0;
    for (int scale = 1; scale <= 9; ++scale) {
        notScorable += s.notScorable(scale) ? 1 : 0;
    }
    EXPECT_EQ(notScorable, 1);
    EXPECT_TRUE(s.notScorable(4));
    EXPECT_NE(report("S-1005").find("Scale not scored, insufficient answers"), std::string::npos);
}

TEST_F(SampleClients, EveryClientGetsAReportInEveryOption) {
    for (int n = 1; n <= s_table->clientCount; ++n) {
        for (ReportOption option :
             {ReportOption::Standard, ReportOption::OnePage, ReportOption::Both}) {
            std::string text;
            EXPECT_NO_THROW(text = ReportWriter(ORVJ_SAMPLE_HOME).composeText(*s_table, n, option))
                << "client " << n;
            EXPECT_NE(text.find(s_table->at(n).trimmed(ClientRecord::Field::Name)),
                      std::string::npos)
                << "client " << n;
        }
    }
    EXPECT_NE(report("S-1001").find("SAMPLE DATA ONLY"), std::string::npos)
        << "the footer names the sample publisher";
}

} // namespace
