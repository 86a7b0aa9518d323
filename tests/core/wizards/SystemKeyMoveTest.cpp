// The key of the Chromium family's saved passwords moved by the full job
// through the system's own data protection (Windows; under Wine in the
// Windows stage). Wine protects with one key for every prefix, so a blob
// that merely travelled would open too: what counts is that the restored
// "Local State" holds a blob protected anew that opens to the same key.
#include "Base64.h"
#include "FileTree.h"
#include "JobRecorder.h"
#include "TempDir.h"
#include "core/crypto/Cipher.h"
#include "core/crypto/SystemKeys.h"
#include "core/wizards/FullJob.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace vellarion::test {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

class EncryptingReporter : public RecordingReporter {
public:
    std::optional<Secret> encryptionPassword() override { return Secret("pw"); }
    std::optional<Secret> archivePassword(const std::string&) override { return Secret("pw"); }
};

TEST(SystemKeyMove, TheRestoredLocalStateHoldsTheKeyProtectedAnewForThisUser) {
    crypto::DataProtector* system = crypto::systemDataProtector();
    if (system == nullptr) {
        GTEST_SKIP() << "this system keeps no Local State keys (Windows only)";
    }
    TempDir dir;
    const fs::path oldRoot = dir / "old" / "User Data";
    const fs::path newRoot = dir / "new" / "User Data";
    const fs::path backups = dir / "backups";
    fs::create_directories(newRoot);
    fs::create_directories(backups);
    crypto::Key key;
    crypto::randomBytes(key);
    const std::string keyBytes(reinterpret_cast<const char*>(key.data()), key.size());
    const std::vector<unsigned char> blob = system->protect(key);
    const std::string oldValue = base64("DPAPI" + std::string(blob.begin(), blob.end()));
    writeFile(oldRoot / "Local State", Json{{"os_crypt", {{"encrypted_key", oldValue}}},
                                            {"profile", {{"last_used", "Default"}}}}
                                           .dump());
    writeFile(oldRoot / "Default" / "Preferences", "{}");

    const auto services = plainServices();
    Wizard<FullJob, EncryptingReporter> backup(*services, chromiumDataSet());
    backup.job.restoreInto(pathToUtf8(oldRoot));
    ASSERT_EQ(backup.job.backup(pathToUtf8(backups)), JobOutcome::Done);
    Wizard<FullJob, EncryptingReporter> restore(*services, chromiumDataSet());
    restore.job.restoreInto(pathToUtf8(newRoot));
    ASSERT_EQ(restore.job.restore(pathToUtf8(backups)), JobOutcome::Done);

    const Json state = Json::parse(readFile(newRoot / "Local State"));
    EXPECT_EQ(state["profile"]["last_used"], "Default");
    const std::string value = state["os_crypt"]["encrypted_key"].get<std::string>();
    EXPECT_NE(value, oldValue) << "protected anew, not the old blob";
    const std::string decoded = unbase64(value);
    ASSERT_TRUE(decoded.starts_with("DPAPI"));
    const std::optional<Secret> opened = system->unprotect(
        {reinterpret_cast<const unsigned char*>(decoded.data()) + 5, decoded.size() - 5});
    ASSERT_TRUE(opened);
    EXPECT_EQ(opened->view(), keyBytes);
}

} // namespace
} // namespace vellarion::test
