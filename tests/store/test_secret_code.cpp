// The supervisor's secret code: "K" until an office sets its own, then only a salted Argon2id
// hash of the office's code in ORVJTest.ini, read and written whole.
#include "StoreTestSupport.h"

#include "store/ConfigFile.h"
#include "store/SecretCode.h"

#include <filesystem>

using namespace orvj;
using namespace orvj::storetest;
namespace fs = std::filesystem;
using Change = SecretCode::Change;
using Check = SecretCode::Check;
using Stored = SecretCode::Stored;

namespace {

class SecretCodeTest : public test::TempFolderTest {
protected:
    void write(const std::string& text) const { test::writeFile(ini, text); }
    std::string read() const { return test::readFile(ini); }
    // The SecretCode line's value as the file holds it.
    std::string storedValue() const {
        return ConfigFile(ini)
            .ReadWholeValue(ConfigFile::kSecretCode.section, ConfigFile::kSecretCode.key)
            .value_or("");
    }

    const fs::path dir = m_dir;
    const fs::path ini = dir / ConfigFile::kFileName;
    const SecretCode code{ini};
};

// Without a SecretCode line the code is "K" in either case, and nothing else.
TEST_F(SecretCodeTest, WithoutAnOfficeCodeTheCodeIsK) {
    for (const char* file : {"", "[Path]\nFilePath=data\n", "[Security]\nOther=1\n"}) {
        write(file);
        EXPECT_EQ(code.stored(), Stored::FirstCode) << file;
        EXPECT_EQ(code.check("K"), Check::Accepted) << file;
        EXPECT_EQ(code.check("k"), Check::Accepted) << file;
        for (const char* wrong : {"", "KK", "K ", " k", "x"}) {
            EXPECT_EQ(code.check(wrong), Check::Refused) << file << wrong;
        }
    }
    fs::remove(ini);
    EXPECT_EQ(code.check("K"), Check::Accepted) << "no file at all";
}

// The office's code is kept as a salted Argon2id hash only, about 97 characters, which is read
// and written whole although every other key keeps at most 49 characters; the rest of the file
// stays as it was. Then "K" is refused and only the new code (capitals count) is accepted.
TEST_F(SecretCodeTest, AChangeStoresOnlyASaltedArgon2idHashReadWhole) {
    const std::string path = "/" + std::string(60, 'p');
    const std::string before = "[Path]\r\nFilePath=" + path + "\r\n[Settings]\r\nNumLock=True\r\n";
    write(before);
    ASSERT_EQ(code.change("k", "Bl4ckb1rd", "Bl4ckb1rd"), Change::Changed);

    const std::string stored = storedValue();
    EXPECT_EQ(stored.rfind("$argon2id$", 0), 0u) << stored;
    EXPECT_GT(stored.size(), 49u);
    EXPECT_EQ(read(), before + "\r\n[Security]\r\nSecretCode=" + stored + "\r\n");
    EXPECT_EQ(read().find("Bl4ckb1rd"), std::string::npos) << "the code itself is nowhere";
    EXPECT_EQ(ConfigFile(ini).GetINIFilePath(), path.substr(0, 49)) << "the 49-character rule";
    EXPECT_EQ(code.stored(), Stored::OfficeCode);
    EXPECT_EQ(code.check("K"), Check::Refused);
    EXPECT_EQ(code.check("k"), Check::Refused);
    EXPECT_EQ(code.check("bl4ckb1rd"), Check::Refused);
    EXPECT_EQ(code.check("Bl4ckb1rd"), Check::Accepted);

    // A second change replaces the line; each hash has its own salt.
    ASSERT_EQ(code.change("Bl4ckb1rd", "Bl4ckb1rd", "Bl4ckb1rd"), Change::Changed);
    EXPECT_NE(storedValue(), stored) << "a fresh salt every time";
    EXPECT_EQ(read(), before + "\r\n[Security]\r\nSecretCode=" + storedValue() + "\r\n");
    EXPECT_EQ(code.check("Bl4ckb1rd"), Check::Accepted);
}

// A change is refused, the file untouched, for a wrong current code, a new code of fewer than
// 6 or more than 32 characters (counted as characters, not bytes), or two new codes that differ.
TEST_F(SecretCodeTest, AChangeIsRefusedForAWrongCurrentCodeAShortOrLongCodeAndAMismatch) {
    write("[Path]\nFilePath=data\n");
    const std::string before = read();
    EXPECT_EQ(code.change("x", "secret1", "secret1"), Change::WrongCurrent);
    EXPECT_EQ(code.change("", "secret1", "secret1"), Change::WrongCurrent);
    EXPECT_EQ(code.change("K", "abcde", "abcde"), Change::TooShort);
    EXPECT_EQ(code.change("K", "\xC3\xA9\xC3\xA9\xC3\xA9", "\xC3\xA9\xC3\xA9\xC3\xA9"),
              Change::TooShort)
        << "six bytes, three characters";
    EXPECT_EQ(code.change("K", std::string(33, 'a'), std::string(33, 'a')), Change::TooLong);
    EXPECT_EQ(code.change("K", "secret1", "secret2"), Change::Mismatch);
    EXPECT_EQ(code.change("K", "secret1", "Secret1"), Change::Mismatch);
    EXPECT_EQ(read(), before);
    EXPECT_EQ(SecretCode::characters("\xC3\xA9t\xC3\xA9"), 3u);
}

// A SecretCode line that is there but holds no Argon2id hash, or a file that cannot be read,
// refuses every code, "K" too: a damaged line never lets the first code in again.
TEST_F(SecretCodeTest, ADamagedHashOrAnUnreadableFileRefusesEveryCode) {
    const std::string hash = SecretCode::hash("Bl4ckb1rd");
    ASSERT_TRUE(SecretCode::isArgon2idHash(hash));
    std::string argon2i = hash;
    argon2i.replace(0, 10, "$argon2i$");
    const std::string damaged[] = {
        "",
        "K",
        hash.substr(0, 40),
        hash.substr(0, hash.size() - 2) + "!!",
        argon2i,
        "$argon2id$v=19$m=65536,t=2,p=1$",
        hash + std::string(40, 'A'),
    };
    for (const std::string& value : damaged) {
        write("[Security]\nSecretCode=" + value + "\n");
        EXPECT_FALSE(SecretCode::isArgon2idHash(value)) << value;
        EXPECT_EQ(code.stored(), Stored::Damaged) << value;
        for (const char* typed : {"K", "k", "Bl4ckb1rd"}) {
            EXPECT_EQ(code.check(typed), Check::Damaged) << value << " " << typed;
        }
        const std::string before = read();
        EXPECT_EQ(code.change("K", "secret1", "secret1"), Change::Damaged);
        EXPECT_EQ(read(), before);
    }

    // Quotes and blanks around the value are no damage.
    write("[Security]\nSecretCode = \"" + hash + "\"  \n");
    EXPECT_EQ(code.check("Bl4ckb1rd"), Check::Accepted);

    // A folder in the file's place cannot be read: it may have held an office code.
    fs::remove(ini);
    fs::create_directory(ini);
    EXPECT_EQ(code.stored(), Stored::Damaged);
    EXPECT_EQ(code.check("K"), Check::Damaged);
}

// The file is replaced through the safe replace: a fault on the way leaves it as it was and no
// temporary behind, and the code stays "K".
TEST_F(SecretCodeTest, AFailedWriteLeavesTheFileAndTheCodeAsTheyWere) {
    const std::string original = "[Path]\r\nFilePath=data\r\n";
    for (const auto& fc : {kWriteFaults[1], kWriteFaults[4]}) {
        SCOPED_TRACE(fc.name);
        strikeAtEveryCall(
            fc, ConfigFile::kFileName, [&] { write(original); },
            [&] { code.change("K", "secret1", "secret1"); },
            [&](bool failed, int nth) {
                if (failed) {
                    EXPECT_EQ(read(), original) << nth;
                    EXPECT_EQ(code.check("K"), Check::Accepted) << nth;
                }
                EXPECT_EQ(namesIn(dir).size(), 1u) << "a temporary file was left behind";
            });
    }
}

// No pause for the first three wrong tries in a row, then 1, 2, 4, ... seconds, at most 30.
TEST(SecretCodePause, DoublesFromTheFourthWrongTryUpToThirtySeconds) {
    const int expected[] = {0, 0, 0, 0, 1, 2, 4, 8, 16, 30, 30};
    for (int n = 0; n <= 10; ++n) {
        EXPECT_EQ(SecretCode::pauseAfter(n), expected[n]) << n;
    }
    EXPECT_EQ(SecretCode::pauseAfter(1000000), 30);
}

} // namespace
