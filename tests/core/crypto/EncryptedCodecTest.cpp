// The codec on encrypted archive files: packing, unpacking, checking and
// listing work as on plain ones, and an archive that does not open writes
// nothing at all.
#include "ArchiveTestSupport.h"
#include "TempDir.h"
#include "core/crypto/EncryptedArchive.h"

#include <gtest/gtest.h>

namespace vellarion::test {
namespace {

namespace fs = std::filesystem;

class EncryptedCodec : public ::testing::Test {
protected:
    // A record larger than the codec's write buffer, so that its sizes are
    // filled in after its chunk was sealed; many small records; a name
    // that must not show in the archive's bytes.
    void SetUp() override {
        writeFile(dir_ / "in/places.sqlite", noise(1536 * 1024, 5));
        writeFile(dir_ / "in/logins.json", "{\"password\":\"plain-text-secret\"}");
        for (int i = 0; i < 50; ++i) {
            writeFile(dir_ / "in/cache" / std::to_string(i), std::string(1000 + i, 'c'));
        }
    }

    std::string path(std::string_view relative) const { return programPath(dir_ / relative); }

    void packEncrypted(const char* password) {
        TJvZlibMultiple codec;
        codec.OnEncryptionPassword = [password] { return std::optional<Secret>(password); };
        codec.CompressDirectory(path("in"), true, path("a.dat"));
    }

    // A codec that answers with the password and counts the questions.
    void givePassword(TJvZlibMultiple& codec, const char* password) {
        codec.OnPasswordNeeded = [this, password](const std::string& file) {
            asked_.push_back(file);
            return std::optional<Secret>(password);
        };
    }

    TempDir dir_;
    std::vector<std::string> asked_;
};

TEST_F(EncryptedCodec, UnpackListAndVerifyAsAPlainArchive) {
    packEncrypted("pw");
    {
        TJvZlibMultiple plain;
        plain.CompressDirectory(path("in"), true, path("plain.dat"));
    }
    const std::string bytes = readFile(dir_ / "a.dat");
    EXPECT_EQ(bytes.find("plain-text-secret"), std::string::npos);
    EXPECT_EQ(bytes.find("logins.json"), std::string::npos);

    TJvZlibMultiple codec;
    givePassword(codec, "pw");
    std::vector<std::string> listed;
    std::vector<std::string> listedPlain;
    codec.ListStoredFiles(path("a.dat"), listed);
    codec.ListStoredFiles(path("plain.dat"), listedPlain);
    EXPECT_EQ(listed, listedPlain);
    EXPECT_EQ(listed.size(), 52u);

    const ArchiveCheck check = codec.VerifyFile(path("a.dat"));
    EXPECT_TRUE(check.sound());
    EXPECT_EQ(check.records, 52u);

    EXPECT_EQ(codec.DecompressFile(path("a.dat"), path("out"), true, true), 52u);
    EXPECT_EQ(filesBelow(dir_ / "out"), filesBelow(dir_ / "in"));
    // Asked once for each opening, never for the plain archive.
    EXPECT_EQ(asked_, std::vector<std::string>(3, path("a.dat")));
}

// A record the codec drops after its data went into sealed chunks (here: a
// limit so low that the big file does not fit) leaves the archive whole.
TEST_F(EncryptedCodec, ADroppedRecordLeavesTheRestWhole) {
    TJvZlibMultiple codec;
    codec.OnEncryptionPassword = [] { return std::optional<Secret>("pw"); };
    codec.setRecordDataLimit(1024 * 1024);
    std::vector<std::string> skipped;
    codec.OnFileSkip = [&](TJvZlibMultiple&, const std::string& file, const std::string&,
                           const std::string&) { skipped.push_back(file); };
    codec.CompressDirectory(path("in"), true, path("a.dat"));
    ASSERT_EQ(skipped.size(), 1u);
    givePassword(codec, "pw");
    codec.DecompressFile(path("a.dat"), path("out"), true, true);
    auto expected = filesBelow(dir_ / "in");
    expected.erase("places.sqlite");
    EXPECT_EQ(filesBelow(dir_ / "out"), expected);
}

TEST_F(EncryptedCodec, AnArchiveThatDoesNotOpenWritesNothing) {
    packEncrypted("pw");
    const std::string good = readFile(dir_ / "a.dat");
    std::string flipped = good;
    flipped[good.size() / 2] = static_cast<char>(flipped[good.size() / 2] ^ 0x20);
    const std::map<std::string, std::pair<std::string, const char*>> cases = {
        {"wrong password", {good, "wrong"}},
        {"bit flipped in the middle", {flipped, "pw"}},
        {"last chunk cut off", {good.substr(0, good.size() - 500), "pw"}},
    };
    for (const auto& [what, archive] : cases) {
        writeFile(dir_ / "b.dat", archive.first);
        TJvZlibMultiple codec;
        givePassword(codec, archive.second);
        EXPECT_EQ(errorOf([&] { codec.DecompressFile(path("b.dat"), path("out"), true, true); }),
                  "Wrong password, or the archive is damaged")
            << what;
        EXPECT_FALSE(fs::exists(dir_ / "out")) << what;
        EXPECT_EQ(errorOf([&] { codec.VerifyFile(path("b.dat")); }),
                  "Wrong password, or the archive is damaged")
            << what;
        std::vector<std::string> listed;
        EXPECT_EQ(errorOf([&] { codec.ListStoredFiles(path("b.dat"), listed); }),
                  "Wrong password, or the archive is damaged")
            << what;
        EXPECT_TRUE(listed.empty()) << what;
    }
    // No one to ask: named, nothing written.
    TJvZlibMultiple codec;
    EXPECT_EQ(errorOf([&] { codec.DecompressFile(path("a.dat"), path("out"), true, true); }),
              "\"a.dat\" is encrypted; no password was given for it");
    EXPECT_FALSE(fs::exists(dir_ / "out"));
}

// The plain layout is read as before, and a damaged plain archive is told
// as damage, never as a password matter.
TEST_F(EncryptedCodec, PlainArchivesAreNotAskedAboutAndDamageStaysDamage) {
    writeFile(dir_ / "plain.dat", workedExample().substr(0, 20));
    TJvZlibMultiple codec;
    givePassword(codec, "pw");
    EXPECT_EQ(errorOf([&] { codec.DecompressFile(path("plain.dat"), path("out"), true, true); }),
              "Stream read error");
    EXPECT_TRUE(asked_.empty());
}

// The key a browser's passwords need travels only inside the container: it
// is asked for when encrypting, handed over in memory when unpacking, never
// written as a file; a plain archive that holds such a record (made on
// purpose) hands nothing over.
TEST_F(EncryptedCodec, TheCarriedRecordTravelsOnlyInsideTheContainer) {
    const auto pack = [this](const char* password, const char* archive) {
        TJvZlibMultiple codec;
        int asked = 0;
        if (password != nullptr) {
            codec.OnEncryptionPassword = [password] { return std::optional<Secret>(password); };
        }
        codec.OnCarriedRecord = [&asked] {
            ++asked;
            return std::optional<Secret>("the browser's key");
        };
        codec.CompressDirectory(path("in"), true, path(archive));
        return asked;
    };
    EXPECT_EQ(pack("pw", "a.dat"), 1);
    EXPECT_EQ(pack(nullptr, "plain.dat"), 0);
    EXPECT_EQ(readFile(dir_ / "plain.dat").find(".vellarion-keys"), std::string::npos);

    // A plain archive with the record put in by hand.
    writeFile(dir_ / "forged" / ".vellarion-keys", "an attacker's key");
    TJvZlibMultiple().CompressDirectory(path("forged"), true, path("forged.dat"));

    for (const char* archive : {"a.dat", "forged.dat"}) {
        SCOPED_TRACE(archive);
        TJvZlibMultiple codec;
        givePassword(codec, "pw");
        std::vector<std::string> handed;
        codec.OnCarriedRecordRead = [&handed](Secret record) {
            handed.emplace_back(record.view());
        };
        fs::remove_all(dir_ / "out");
        codec.DecompressFile(path(archive), path("out"), true, true);
        EXPECT_FALSE(fs::exists(dir_ / "out" / ".vellarion-keys"));
        EXPECT_EQ(handed, std::string(archive) == "a.dat"
                              ? std::vector<std::string>{"the browser's key"}
                              : std::vector<std::string>{});
    }
}

} // namespace
} // namespace vellarion::test
