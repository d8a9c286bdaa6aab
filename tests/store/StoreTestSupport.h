#pragma once

#include "core/ClientRecord.h"
#include "core/ClientTable.h"
#include "store/ClientFile.h"
#include "store/platform/File.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace orvj::storetest {

// A fresh data folder per test, removed afterwards.
class DataFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    static std::string readBytes(const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static void writeBytes(const std::filesystem::path& p, const std::string& bytes) {
        std::ofstream(p, std::ios::binary) << bytes;
    }

    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() /
        ("orvj-store-" + std::to_string(orvj::platform::processId()) + "-" +
         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    const std::filesystem::path path = dir / ClientFile::kFileName;
};

inline ClientRecord client(const std::string& name, char answer = '1') {
    ClientRecord r;
    r.set(ClientRecord::Field::Name, name);
    r.set(ClientRecord::Field::SSN, "N");
    r.set(ClientRecord::Field::Gender, "1");
    r.set(ClientRecord::Field::Responses, std::string(143, answer));
    r.set(ClientRecord::Field::EditCount, "0");
    r.set(ClientRecord::Field::NameDeleted, "0");
    return r;
}

inline std::string bytesOf(const ClientRecord& r) {
    return {r.bytes().begin(), r.bytes().end()};
}

inline bool sameTable(const ClientTable& a, const ClientTable& b) {
    return a.records == b.records && a.clientCount == b.clientCount &&
           a.currentClient == b.currentClient;
}

} // namespace orvj::storetest
