// The command line as the build and an office use it: exit status, messages, and that a
// refused source never replaces a good output file.
#include "tests/platform/TestProcess.h"
#include "tests/support/Files.h"

#include <filesystem>

namespace {

class MkdataCommand : public orvj::test::TempFolderTest {
protected:
    // Runs the tool; returns its exit status and keeps what it printed on stderr.
    int run(const std::string& args) {
        const std::string cmd = std::string("\"") + ORVJ_MKDATA + "\" " + args + " 2>\"" +
                                (m_dir / "err.log").string() + "\" >/dev/null";
        const int status = orvj::testplatform::runCommand(cmd);
        m_err = read(m_dir / "err.log");
        return status;
    }
    std::string path(const std::string& name) const { return "'" + (m_dir / name).string() + "'"; }

    std::string m_err;
};

TEST_F(MkdataCommand, AUsageErrorExits2AndInstallTakesAGoodSetAndRefusesABadOne) {
    EXPECT_EQ(run("bank only-one"), 2);
    EXPECT_NE(m_err.find("bank takes 3 arguments, 1 given"), std::string::npos);

    namespace fs = std::filesystem;
    const fs::path home = m_dir / "home", set = m_dir / "publisher", sample = ORVJ_SAMPLE_HOME;
    fs::create_directories(home);
    fs::create_directories(set);
    for (const char* name : {"ORVJB.TXT", "ORVJRPT.TXT", "ORV-J.TXT", "INVAL.TXT", "PUBLISHER.TXT",
                             "DORVVA.txt", "DORVANX.txt", "DORVDEP.txt", "DORVAL.txt", "DORVDG.txt",
                             "DORVSC.txt", "DORVSE.txt", "ORVJDI.txt", "ORVJFA.txt", "ORVj32.db"}) {
        fs::copy_file(sample / name, home / name);
        fs::copy_file(sample / name, set / name);
    }
    write("publisher/PUBLISHER.TXT", "New publisher\r\n");
    write("publisher/DORVDG.txt", "LOW\r\nEND\r\n");
    const std::string args = "install --home " + path("home") + " " + path("publisher");
    EXPECT_EQ(run(args), 1);
    EXPECT_NE(m_err.find("DORVDG.txt: "), std::string::npos) << m_err;
    EXPECT_EQ(read(home / "PUBLISHER.TXT"), read(sample / "PUBLISHER.TXT"));

    fs::copy_file(sample / "DORVDG.txt", set / "DORVDG.txt", fs::copy_options::overwrite_existing);
    EXPECT_EQ(run(args), 0) << m_err;
    EXPECT_EQ(read(home / "PUBLISHER.TXT"), "New publisher\r\n");
}

} // namespace
