// The command line as the build and an office use it: exit status, messages, and that a
// refused source never replaces a good output file.
#include "tests/sample/TempDir.h"

#include <cstdlib>
#include <sys/wait.h>

namespace {

class MkdataCommand : public orvj::testsupport::TempDirTest {
protected:
    // Runs the tool; returns its exit status and keeps what it printed on stderr.
    int run(const std::string& args) {
        const std::string cmd = std::string("\"") + ORVJ_MKDATA + "\" " + args + " 2>\"" +
                                (m_dir / "err.log").string() + "\" >/dev/null";
        const int status = std::system(cmd.c_str());
        m_err = read(m_dir / "err.log");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string path(const std::string& name) const { return "'" + (m_dir / name).string() + "'"; }

    std::string m_err;
};

TEST_F(MkdataCommand, UsageErrorsExit2AndRefusedSourcesKeepTheOldOutput) {
    EXPECT_EQ(run(""), 2);
    EXPECT_EQ(run("bake a b c"), 2);
    EXPECT_NE(m_err.find("unknown command \"bake\""), std::string::npos);
    EXPECT_EQ(run("bank only-one"), 2);
    EXPECT_NE(m_err.find("bank takes 3 arguments, 1 given"), std::string::npos);

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
}

} // namespace
