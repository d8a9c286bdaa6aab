// The command line as the build and an office use it: exit status, messages, and that a
// refused source never replaces a good output file.
#include "tests/sample/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>

namespace {

class MkdataCommand : public orvj::testsupport::TempDirTest {
protected:
    // Runs the tool; returns its exit status and keeps what it printed.
    int run(const std::string& args) {
        const std::string cmd = std::string("\"") + ORVJ_MKDATA + "\" " + args + " >\"" +
                                (m_dir / "out.log").string() + "\" 2>\"" +
                                (m_dir / "err.log").string() + "\"";
        int status = std::system(cmd.c_str());
        m_out = read(m_dir / "out.log");
        m_err = read(m_dir / "err.log");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string path(const std::string& name) const {
        return "\"" + (m_dir / name).string() + "\"";
    }

    std::string m_out;
    std::string m_err;
};

const std::string kSources = std::string(ORVJ_SOURCE_DIR) + "/sample/";

TEST_F(MkdataCommand, HelpAndUsage) {
    EXPECT_EQ(run("--help"), 0);
    for (const char* word : {"bank", "questions", "clients", "text", "ORVj32.db", "ORV-J.TXT",
                             "DATA301.OVJ", "Windows-1252"}) {
        EXPECT_NE(m_out.find(word), std::string::npos) << word;
    }
    EXPECT_EQ(run(""), 2);
    EXPECT_NE(m_err.find("no command given"), std::string::npos);
    EXPECT_EQ(run("bake a b c"), 2);
    EXPECT_NE(m_err.find("unknown command \"bake\""), std::string::npos);
    EXPECT_EQ(run("bank only-one"), 2);
    EXPECT_NE(m_err.find("bank takes 3 arguments, 1 given"), std::string::npos);
}

TEST_F(MkdataCommand, RefusedSourceKeepsTheOldOutput) {
    write("DATA301.OVJ", "good data");
    write("clients.txt", "[client]\nname: X\n");
    EXPECT_EQ(run("clients " + path("clients.txt") + " " + path("DATA301.OVJ")), 1);
    EXPECT_EQ(m_err, "orvj-mkdata: " + (m_dir / "clients.txt").string() +
                         ":1: client has no \"id\" line\n");
    EXPECT_EQ(read(m_dir / "DATA301.OVJ"), "good data");

    write("ORVj32.db", "good bank");
    write("english.tsv", "ID\tTestQuestion\n");
    EXPECT_EQ(run("bank " + path("english.tsv") + " - " + path("ORVj32.db")), 1);
    EXPECT_EQ(read(m_dir / "ORVj32.db"), "good bank");

    EXPECT_EQ(run("text " + path("missing.txt") + " " + path("out.txt")), 1);
    EXPECT_NE(m_err.find("missing.txt: cannot open the file for reading"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(m_dir / "out.txt"));
}

TEST_F(MkdataCommand, SpanishTableOnlyWhenItsSourceIsComplete) {
    const std::string english = "\"" + kSources + "questions/english.tsv\"";
    EXPECT_EQ(run("bank " + english + " " + path("none.tsv") + " " + path("a.db")), 0);
    EXPECT_NE(m_err.find("does not exist; the bank holds English only"), std::string::npos);

    std::string half = read(kSources + "questions/english.tsv");
    half.resize(half.find("\n71\t"));
    write("half.tsv", half + "\n");
    EXPECT_EQ(run("bank " + english + " " + path("half.tsv") + " " + path("b.db")), 0);
    EXPECT_NE(m_err.find("holds 70 items"), std::string::npos) << m_err;

    EXPECT_EQ(run("bank " + english + " " + english + " " + path("c.db")), 0);
    EXPECT_TRUE(m_err.empty()) << m_err;
    const auto size = [&](const char* n) { return std::filesystem::file_size(m_dir / n); };
    EXPECT_LT(size("a.db"), size("c.db"));
    EXPECT_EQ(size("a.db"), size("b.db"));
}

} // namespace
