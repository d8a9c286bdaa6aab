#pragma once

#include "store/platform/File.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

// Shared by the fuzz targets: a scratch folder per process and a check that stops the run
// with a message when a property does not hold (libFuzzer then keeps the input).
namespace orvj::fuzz {

inline const std::filesystem::path& scratch() {
    static const std::filesystem::path dir = [] {
        auto p = std::filesystem::temp_directory_path() /
                 ("orvj-fuzz-" + std::to_string(orvj::platform::processId()));
        std::filesystem::create_directories(p);
        return p;
    }();
    return dir;
}

inline void writeFile(const std::filesystem::path& p, std::string_view bytes) {
    std::ofstream(p, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string readFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

[[noreturn]] inline void propertyFailed(const char* what, const std::string& detail) {
    std::fprintf(stderr, "property failed: %s\n%s\n", what, detail.c_str());
    std::abort();
}

inline void check(bool holds, const char* what, const std::string& detail = {}) {
    if (!holds) {
        propertyFailed(what, detail);
    }
}

// Copies the sample program folder into the scratch folder once.
inline std::filesystem::path sampleHome() {
    static const std::filesystem::path home = [] {
        const std::filesystem::path to = scratch() / "home";
        std::filesystem::create_directories(to);
        for (const auto& e : std::filesystem::directory_iterator(ORVJ_SAMPLE_HOME)) {
            if (e.is_regular_file()) {
                std::filesystem::copy_file(e.path(), to / e.path().filename(),
                                           std::filesystem::copy_options::overwrite_existing);
            }
        }
        return to;
    }();
    return home;
}

} // namespace orvj::fuzz
