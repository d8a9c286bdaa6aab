// The command line as the build and an office use it: exit status, messages, and that a
// refused source never replaces a good output file.
#include "store/ClientFile.h"
#include "store/ClientFileLock.h"
#include "tests/platform/TestProcess.h"
#include "tests/support/Files.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <thread>

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

    write("publisher/PUBLISHER.TXT", "Newer publisher\r\n");
    EXPECT_EQ(run("install " + path("publisher") + " --home=" + path("home")), 0) << m_err;
    EXPECT_EQ(read(home / "PUBLISHER.TXT"), "Newer publisher\r\n");
}

// The program folder is named as the other programs name it, and refused as they refuse it.
TEST_F(MkdataCommand, InstallRefusesAnEmptyOrSecondHome) {
    for (const std::string& args :
         {"install --home= " + path("set"), "install --home '' " + path("set"),
          "install " + path("set") + " --home"}) {
        SCOPED_TRACE(args);
        EXPECT_EQ(run(args), 2);
        EXPECT_NE(m_err.find("orvj-mkdata: --home needs the program folder after it"),
                  std::string::npos)
            << m_err;
    }
    EXPECT_EQ(run("install --home=" + path("a") + " --home " + path("a") + " " + path("set")), 2);
    EXPECT_NE(m_err.find("orvj-mkdata: --home is given more than once"), std::string::npos)
        << m_err;
}

// A client file built while a program of the data folder saves: the tool waits for the lock
// rather than replacing the file under the save, and an office's link to the file stays.
TEST_F(MkdataCommand, AClientFileIsWrittenUnderTheLockAndThroughTheOfficesLink) {
    namespace fs = std::filesystem;
    const fs::path real = m_dir / "store" / orvj::ClientFile::kFileName;
    const fs::path data = m_dir / "data";
    fs::create_directories(real.parent_path());
    fs::create_directories(data);
    write("store/DATA301.OVJ", "");
    fs::create_symlink(real, data / orvj::ClientFile::kFileName);
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    std::optional<orvj::ClientFileLock> held;
    held.emplace(real, std::chrono::seconds(1));
    int status = -1;
    std::thread tool([&] {
        status = run("clients '" + std::string(ORVJ_SOURCE_DIR) + "/sample/clients.txt' " +
                     path("data/DATA301.OVJ"));
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_EQ(read(real), "") << "replaced while another program held the lock";
    held.reset();
    tool.join();
    EXPECT_EQ(status, 0) << m_err;
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(data / orvj::ClientFile::kFileName)));
    EXPECT_EQ(read(real).size() % orvj::ClientRecord::kSize, 0u);
    EXPECT_GT(read(real).size(), 0u);
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read)
        << "the file keeps its mode";
}

} // namespace
