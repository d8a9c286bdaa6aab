#include "scoring/InventoryLoader.h"
#include "scoring/ProfileChart.h"
#include "scoring/ReportPrinter.h"
#include "scoring/ReportWriter.h"
#include "scoring/Scales.h"
#include "store/ClientFile.h"
#include "tests/scoring/InventoryFixture.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

using namespace orvj;
using namespace orvj::testing;
namespace fs = std::filesystem;

namespace {

class ProfileChartTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "test";
        static char* argv[] = {name, nullptr};
        static QGuiApplication app(argc, argv);
    }
    void SetUp() override {
        ASSERT_TRUE(fs::exists(sample / "ORVJB.TXT")) << "the sample data set is not built";
        ClientFile(sample / "data" / ClientFile::kFileName).loadReadOnly(clients);
        ASSERT_GE(clients.clientCount, 5);
    }
    const fs::path sample = ORVJ_SAMPLE_HOME;
    ClientTable clients;
};

// The right end of the solid black run that starts at the left edge of the bands, on row y;
// the left edge itself when the run is empty.
int barEnd(const QImage& image, int left, int y) {
    int x = left + 1;
    while (x < image.width() && image.pixelColor(x, y) == Qt::black) {
        ++x;
    }
    return x - 1 == left ? left : x;
}

// Every sample client's picture, drawn at two sizes and read back: each scored scale's bar
// ends at its percentile within a pixel; a scale not scored has no bar.
TEST_F(ProfileChartTest, BarsEndAtThePercentileOfEverySampleClient) {
    const Inventory inventory = loadInventory(sample);
    int bars = 0;
    for (const QSize size : {QSize(900, 600), QSize(1400, 1000)}) {
        for (int k = 1; k <= clients.clientCount; ++k) {
            SCOPED_TRACE("client " + std::to_string(k) + " at " + std::to_string(size.width()));
            const ProfileData profile = profileOf(clients.at(k), k, inventory.scoring);
            QImage image(size, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter p(&image);
            ProfileChart::draw(p, QRectF(image.rect()), profile);
            const QFont font = p.font();
            p.end();
            const ProfileChart::Layout l =
                ProfileChart::layout(QRectF(image.rect()), QFontMetricsF(font, &image));
            const int left = static_cast<int>(std::floor(l.plot.left()));
            for (int n = 1; n <= Scales::kCount; ++n) {
                const int y = static_cast<int>(l.row(n).center().y());
                const int end = barEnd(image, left, y);
                if (profile.scores.notScorable(n)) {
                    EXPECT_LE(end - left, 1) << Scales::name(n) << " is not scored";
                    continue;
                }
                const double expected = l.xOf(profile.scores.pct(n));
                EXPECT_NEAR(end, expected, 1.0)
                    << Scales::name(n) << " at " << profile.scores.pct(n);
                ++bars;
            }
        }
    }
    EXPECT_GE(bars, clients.clientCount * 2 * 8);
}

// The header names the client, the date and the record, and says when the test is invalid.
TEST_F(ProfileChartTest, TheHeaderNamesTheTestAndItsValidity) {
    ProfileData d;
    d.name = "Jos\xE9 Doe";
    d.id = "S-1";
    d.testDate = "01/02/2025";
    d.record = 7;
    EXPECT_EQ(ProfileChart::headerLines(d),
              (QStringList{QStringLiteral("Name: Jos\u00E9 Doe    ID: S-1"),
                           QStringLiteral("Test date: 01/02/2025    Record: 7")}));
    d.scores.percentile[1] = 95;
    ASSERT_EQ(ProfileChart::headerLines(d).size(), 3);
    EXPECT_TRUE(ProfileChart::headerLines(d)[2].startsWith(QStringLiteral("INVALID TEST")));
}

// With the chart a PDF has one more sheet per report.
TEST_F(ProfileChartTest, TheChartAddsOneSheetPerReport) {
    TempFolder home;
    for (const auto& entry : fs::directory_iterator(sample)) {
        if (entry.is_regular_file()) {
            fs::copy_file(entry.path(), home.path() / entry.path().filename());
        }
    }
    const Inventory inventory = loadInventory(sample);
    std::vector<std::string> texts;
    std::vector<ProfileData> profiles;
    for (int k = 1; k <= 3; ++k) {
        const std::string text =
            ReportWriter(home.path()).composeText(clients, k, ReportOption::Standard);
        texts.push_back(text.substr(0, text.size() - 1));
        profiles.push_back(profileOf(clients.at(k), k, inventory.scoring));
    }
    const std::vector<const ProfileData*> sheets = {&profiles[0], &profiles[1], &profiles[2]};
    writeFile(home.path() / "plain.pdf", ReportPrinter::pdfOf(texts, QPageSize::Letter));
    writeFile(home.path() / "chart.pdf", ReportPrinter::pdfOf(texts, QPageSize::Letter, sheets));
    EXPECT_EQ(pdfPages(home.path() / "chart.pdf"), pdfPages(home.path() / "plain.pdf") + 3);
}

} // namespace
