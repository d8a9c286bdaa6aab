#pragma once

#include "store/platform/File.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace orvj::test {

namespace fs = std::filesystem;

inline std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void writeFile(const fs::path& p, std::string_view bytes) {
    std::ofstream(p, std::ios::binary).write(bytes.data(), std::ssize(bytes));
}

// A fresh folder under the system's temporary folder, named after the running test and the
// process, removed again when the object goes.
class TempFolder {
public:
    explicit TempFolder(const std::string& prefix = "orvj") {
        static int made = 0;
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name =
            prefix + "-" + std::to_string(platform::processId()) + "-" + std::to_string(++made);
        if (info != nullptr) {
            name += std::string("-") + info->test_suite_name() + "-" + info->name();
        }
        std::replace(name.begin(), name.end(), '/', '_'); // parameterised tests: Suite/Name/0
        m_path = fs::temp_directory_path() / name;
        fs::remove_all(m_path);
        fs::create_directories(m_path);
    }
    ~TempFolder() {
        std::error_code ec;
        fs::remove_all(m_path, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const fs::path& path() const { return m_path; }

private:
    fs::path m_path;
};

// A test with a fresh folder of its own, m_dir, removed afterwards.
class TempFolderTest : public ::testing::Test {
protected:
    fs::path write(const std::string& name, std::string_view bytes) const {
        writeFile(m_dir / name, bytes);
        return m_dir / name;
    }
    static std::string read(const fs::path& path) { return readFile(path); }

    TempFolder m_folder{"orvj-test"};
    const fs::path m_dir = m_folder.path();
};

} // namespace orvj::test
