// What is made of rclone's text and what rclone is given: table-driven, on
// lines rclone 1.60 writes.
#include "core/remote/Rclone.h"
#include "core/remote/RemoteFolder.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace vellarion {
namespace {

TEST(RemotePath, WrittenAsTheUserWritesIt) {
    struct Case {
        const char* text;
        const char* remote;
        const char* folder;
        const char* target; // of "a.dat"
    };
    const Case cases[] = {
        {"rclone:nas:backups/firefox", "nas", "backups/firefox", "nas:backups/firefox/a.dat"},
        {"rclone:nas:backups/firefox/", "nas", "backups/firefox", "nas:backups/firefox/a.dat"},
        {"rclone:nas:", "nas", "", "nas:a.dat"},
        {"rclone:my box@home:dir with space", "my box@home", "dir with space",
         "my box@home:dir with space/a.dat"},
        {"rclone:s3.eu-1:bucket/path", "s3.eu-1", "bucket/path", "s3.eu-1:bucket/path/a.dat"},
        {"rclone:облако:копии", "облако", "копии", "облако:копии/a.dat"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const RemotePath path = parseRemotePath(c.text);
        EXPECT_EQ(path.remote, c.remote);
        EXPECT_EQ(path.folder, c.folder);
        EXPECT_EQ(path.target("a.dat"), c.target);
        EXPECT_EQ(path.shown("a.dat"), std::string("rclone:") + c.target);
        EXPECT_EQ(parseRemotePath(path.text()).target(), path.target());
    }
}

TEST(RemotePath, RefusedWithHowToWriteIt) {
    struct Case {
        const char* text;
        const char* says;
    };
    const Case cases[] = {
        {"rclone:nas", "rclone:REMOTE:PATH"},
        {"rclone::backups", "rclone:REMOTE:PATH"},
        {"rclone:", "rclone:REMOTE:PATH"},
        // The settings, a password too, would stand on rclone's command line.
        {"rclone::sftp,host=x,pass=secret:dir", "rclone config"},
        {"rclone:-x:dir", "no name of an rclone remote"},
        {"rclone: nas:dir", "no name of an rclone remote"},
        {"rclone:na/s:dir", "no name of an rclone remote"},
        {"rclone:nas:dir\nx", "control character"},
        {"/media/backups", "names no remote"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        try {
            parseRemotePath(c.text);
            ADD_FAILURE() << "taken";
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << e.what();
        }
    }
    EXPECT_TRUE(isRemoteLocation("rclone:nas:x"));
    EXPECT_FALSE(isRemoteLocation("/home/bob/rclone:nas"));
    EXPECT_FALSE(isRemoteLocation("C:\\backups"));
}

// Each piece one argument, no shell between; no option of ours names a
// password or a configuration, so the user's own configuration is used.
TEST(RcloneArguments, OneArgumentEachAndNoSecrets) {
    const RemotePath nas = parseRemotePath("rclone:nas:my backups");
    struct Case {
        std::vector<std::string> arguments;
        std::vector<std::string> begins;
    };
    const std::vector<Case> cases = {
        {rclone_args::listRemotes(), {"listremotes"}},
        {rclone_args::list(nas),
         {"lsjson", "--files-only", "--no-mimetype", "--no-modtime", "nas:my backups"}},
        {rclone_args::stat(nas, "default 2026-12-09 221700.dat", true),
         {"lsjson", "--stat", "--no-mimetype", "--no-modtime", "--hash",
          "nas:my backups/default 2026-12-09 221700.dat"}},
        {rclone_args::stat(nas, "a.dat", false),
         {"lsjson", "--stat", "--no-mimetype", "--no-modtime", "nas:my backups/a.dat"}},
        {rclone_args::copy("/tmp/x/a b.dat", "nas:my backups/.a b.dat.1.uploading"),
         {"copyto", "/tmp/x/a b.dat", "nas:my backups/.a b.dat.1.uploading", "--stats", "1s"}},
        {rclone_args::move(nas, ".a.dat.1.uploading", "a.dat"),
         {"moveto", "nas:my backups/.a.dat.1.uploading", "nas:my backups/a.dat"}},
        {rclone_args::deleteFile(nas, "a.dat"), {"deletefile", "nas:my backups/a.dat"}},
        {rclone_args::hashFile("md5", "/tmp/x/a.dat"), {"hashsum", "md5", "/tmp/x/a.dat"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.begins.front());
        ASSERT_GE(c.arguments.size(), c.begins.size());
        EXPECT_TRUE(std::equal(c.begins.begin(), c.begins.end(), c.arguments.begin()));
        // Errors and statistics come as JSON lines; nothing asks on a terminal.
        EXPECT_NE(std::find(c.arguments.begin(), c.arguments.end(), "--use-json-log"),
                  c.arguments.end());
        EXPECT_NE(std::find(c.arguments.begin(), c.arguments.end(), "--ask-password=false"),
                  c.arguments.end());
        for (const std::string& a : c.arguments) {
            if (!a.starts_with("--ask-password")) {
                EXPECT_EQ(a.find("pass"), std::string::npos) << a;
            }
            EXPECT_FALSE(a.starts_with("--config")) << a;
        }
    }
}

TEST(RcloneOutput, Listings) {
    const std::vector<RemoteFile> files = parseListing(R"([
{"Path":"a.dat","Name":"a.dat","Size":6,"MimeType":"","ModTime":"","IsDir":false},
{"Path":"sub","Name":"sub","Size":-1,"IsDir":true},
{"Path":"b 2026-12-09 221700.dat","Name":"b 2026-12-09 221700.dat","Size":31457280,"IsDir":false,"Hashes":{"md5":"b1946ac92492d2347c6235b4d2611184","sha1":"","quickxor":"AAA"}}
])");
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].name, "a.dat");
    EXPECT_EQ(files[0].size, 6u);
    EXPECT_TRUE(files[0].hashes.empty());
    EXPECT_EQ(files[1].size, 31457280u);
    // A hash the remote could not give ("") is none.
    EXPECT_EQ(files[1].hashes,
              (std::map<std::string, std::string>{{"md5", "b1946ac92492d2347c6235b4d2611184"},
                                                  {"quickxor", "AAA"}}));
    EXPECT_TRUE(parseListing("[]").empty());
    EXPECT_EQ(parseStat(R"({"Path":"a.dat","Name":"a.dat","Size":6,"IsDir":false})").size, 6u);
    for (const char* broken :
         {"", "{", "[{\"Size\":1}]", "\"text\"", "{\"Name\":\"x\",\"IsDir\":true}"}) {
        SCOPED_TRACE(broken);
        EXPECT_THROW(std::string(broken).starts_with("[") ? (void)parseListing(broken)
                                                          : (void)parseStat(broken),
                     RemoteError);
    }
}

TEST(RcloneOutput, StatisticsAndErrorsOfItsLog) {
    const std::string stats =
        R"({"level":"notice","msg":"10.059 MiB / 30 MiB, 34%","source":"accounting/stats.go:482","stats":{"bytes":10514432,"checks":0,"eta":null,"speed":0,"totalBytes":31457280,"transfers":0},"time":"2026-12-10T17:22:29.317218+00:00"})";
    ASSERT_TRUE(statsInLine(stats));
    EXPECT_EQ(statsInLine(stats)->bytes, 10514432u);
    EXPECT_EQ(statsInLine(stats)->total, 31457280u);
    EXPECT_FALSE(errorInLine(stats));

    struct Case {
        std::string line;
        std::optional<std::string> error;
    };
    const std::vector<Case> cases = {
        {R"({"level":"error","msg":"Failed to copy: Put \"http://127.0.0.1:54211/x\": write tcp: use of closed network connection","object":"big.bin"})",
         "Failed to copy: Put \"http://127.0.0.1:54211/x\": write tcp: use of closed network "
         "connection"},
        {R"({"level":"info","msg":"Copied (new) to: .big.part"})", std::nullopt},
        {R"({"level":"critical","msg":"Fatal error"})", "Fatal error"},
        {"2026/12/10 17:22:34 Failed to create file system for \"nosuch:dir\": didn't find "
         "section in config file",
         "Failed to create file system for \"nosuch:dir\": didn't find section in config file"},
        {"2026/12/10 17:31:03 NOTICE: Config file \"/root/.config/rclone/rclone.conf\" not found "
         "- using defaults",
         std::nullopt},
        {"2026/12/10 17:31:03 ERROR : a.dat: Failed to copy: 507 Insufficient Storage",
         "a.dat: Failed to copy: 507 Insufficient Storage"},
        {"2026/12/10 17:34:40 Invalid value when setting --bwlimit from environment variable "
         "RCLONE_BWLIMIT=\"\": empty string",
         "Invalid value when setting --bwlimit from environment variable RCLONE_BWLIMIT=\"\": "
         "empty string"},
        {"Error: unknown flag: --bogus", "unknown flag: --bogus"},
        {"Usage:", std::nullopt},
        {"{not json", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(errorInLine(c.line), c.error);
        EXPECT_FALSE(statsInLine(c.line));
    }
}

// rclone's words become one line: what happened, its cause, what to do.
TEST(RcloneOutput, FailuresExplainedInOneLine) {
    struct Case {
        std::vector<std::string> errors;
        int exitCode;
        std::string says;
    };
    const std::vector<Case> cases = {
        {{"Failed to create file system for \"nosuch:dir\": didn't find section in config file"},
         1,
         "rclone knows no remote \"nas\": make it with \"rclone config\""},
        {{"Failed to create file system for \"wd:dir\": read metadata failed: Unauthorized: 401 "
          "Unauthorized"},
         1,
         "the remote \"nas\" refused the login (401 Unauthorized): check its user and password"},
        {{"Failed to create file system for \"sf:dir\": NewFs: couldn't connect SSH: ssh: "
          "handshake failed: ssh: unable to authenticate, attempted methods [none password], no "
          "supported methods remain"},
         1,
         "the remote \"nas\" refused the login (unable to authenticate"},
        {{"Failed to copy: Put \"http://127.0.0.1:54211/x\": write tcp "
          "127.0.0.1:54872->127.0.0.1:54211: use of closed network connection",
          "Attempt 2/2 failed with 1 errors and: read metadata failed: Propfind "
          "\"http://127.0.0.1:54211/x\": dial tcp 127.0.0.1:54211: connect: connection refused",
          "Failed to copyto: read metadata failed: Propfind \"http://127.0.0.1:54211/x\": dial tcp "
          "127.0.0.1:54211: connect: connection refused"},
         5,
         "cannot reach the remote \"nas\" (connection refused): check the network"},
        // A port that holds a status's digits is no status.
        {{"Failed to copyto: Propfind \"http://127.0.0.1:40353/x\": dial tcp 127.0.0.1:40353: "
          "connect: connection refused"},
         5,
         "cannot reach the remote \"nas\" (connection refused): check the network"},
        {{"Failed to copy: Put \"http://[::1]:15071/x\": dial tcp [::1]:15071: connect: "
          "connection refused"},
         5,
         "cannot reach the remote \"nas\" (connection refused)"},
        {{"a.dat: Failed to copy: 507 Insufficient Storage"},
         5,
         "the remote \"nas\" has no room left (507 Insufficient Storage)"},
        {{"Failed to lsjson: error in ListJSON: directory not found"},
         3,
         "the remote \"nas\" has no such file or folder (directory not found)"},
        {{"Failed to copy: 403 Forbidden"}, 5, "the remote \"nas\" refused access (403 Forbidden)"},
        {{"Failed to load config file \"/x/rclone.conf\": unable to decrypt configuration and not "
          "allowed to ask for password - set RCLONE_CONFIG_PASS to your configuration password"},
         1,
         "rclone's configuration is encrypted: give its password in the variable "
         "RCLONE_CONFIG_PASS"},
        {{"Failed to moveto: something new"},
         2,
         "rclone failed on the remote \"nas\": something new (exit code 2)"},
        {{}, 9, "rclone ended with exit code 9 on the remote \"nas\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.says);
        const std::string line = explainFailure("nas", c.errors, c.exitCode);
        EXPECT_TRUE(line.starts_with(c.says)) << line;
        EXPECT_EQ(line.find('\n'), std::string::npos);
    }
    EXPECT_NE(rcloneMissing().find("rclone"), std::string::npos);
    EXPECT_NE(rcloneMissing().find(
#ifdef _WIN32
                  "rclone.exe"
#else
                  "apt install rclone"
#endif
                  ),
              std::string::npos);
}

// A half-sent archive's name is never an archive's and is known as ours.
TEST(RemoteFolder, TemporaryNamesOfArchivesBeingSent) {
    const std::string name =
        RemoteFolder::uploadName("default 2026-12-09 221700.dat", 1765000000, "0badf00d");
    EXPECT_EQ(name, ".default 2026-12-09 221700.dat.1765000000-0badf00d.uploading");
    EXPECT_EQ(RemoteFolder::uploadStarted(name), 1765000000);
    for (const char* other :
         {"default.dat", ".uploading", "x.123-a.uploading", ".x.uploading", ".x.123.uploading",
          ".x.12a-b.uploading", ".x.-b.uploading", ".x.123-a.uploading.dat"}) {
        SCOPED_TRACE(other);
        EXPECT_FALSE(RemoteFolder::uploadStarted(other));
    }
}

} // namespace
} // namespace vellarion
