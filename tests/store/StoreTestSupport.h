#pragma once

#include "core/ClientRecord.h"
#include "core/ClientTable.h"
#include "store/ClientFile.h"
#include "tests/support/Files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace orvj::storetest {

// A fresh data folder per test, removed afterwards, and the client file's path in it.
class DataFolderTest : public test::TempFolderTest {
protected:
    static std::string readBytes(const std::filesystem::path& p) { return test::readFile(p); }
    static void writeBytes(const std::filesystem::path& p, const std::string& bytes) {
        test::writeFile(p, bytes);
    }

    const std::filesystem::path dir = m_dir;
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
