#include "tests/platform/TestProcess.h"
#include "tools/report/ReportToolArguments.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

using namespace orvj;
namespace fs = std::filesystem;

namespace {

int runProcess(const fs::path& home, const std::string& args) {
    return testplatform::runCommand(std::string(ORVJ_REPORT_BINARY) + " --home '" + home.string() +
                                    "' " + args + " " + testplatform::discardOutput());
}

TEST(ReportToolArguments, NumbersArePlainDigitsAndNoOptionIsGivenTwice) {
    const std::vector<std::vector<std::string>> refused = {{"--client", " 1"},
                                                           {"--client", ""},
                                                           {"--client", "99999999999"},
                                                           {"--client"},
                                                           {"--frobnicate"},
                                                           {"--list", "--deidentified"},
                                                           {"--scores", "--responses"}};
    for (const auto& args : refused) {
        EXPECT_THROW(parseReportToolArguments(args), std::invalid_argument)
            << ::testing::PrintToString(args);
    }
    const auto twice = [] { parseReportToolArguments({"--list", "--list"}); };
    EXPECT_THAT(twice, ::testing::ThrowsMessage<std::invalid_argument>(
                           ::testing::StrEq("--list is given more than once")));
    EXPECT_EQ(parseReportToolArguments({"--client", "007"}).client, 7);
    EXPECT_EQ(runProcess("/nonexistent", "--client 1 --client 2"), 2) << "the exit status";
}

TEST(ReportToolArguments, HomeTakesBothFormsAndRefusesAnEmptyOrSecondValue) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--home", "/a", "--list"}, {"--list", "--home=/a"}}) {
        EXPECT_EQ(parseReportToolArguments(args).home, fs::path("/a"))
            << ::testing::PrintToString(args);
    }
    const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
        {{"--list", "--home="}, "--home needs the program folder after it"},
        {{"--home", "", "--list"}, "--home needs the program folder after it"},
        {{"--list", "--home"}, "--home needs the program folder after it"},
        {{"--home=/a", "--list", "--home", "/a"}, "--home is given more than once"},
    };
    for (const auto& [args, message] : refused) {
        EXPECT_THAT([&] { parseReportToolArguments(args); },
                    ::testing::ThrowsMessage<std::invalid_argument>(::testing::StrEq(message)))
            << ::testing::PrintToString(args);
    }
    EXPECT_EQ(runProcess("/nonexistent", "--list --home="), 2) << "the exit status";
}

} // namespace
