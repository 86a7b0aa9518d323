#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vellarion {

enum class Browser {
    InternetExplorer,
    Firefox,
    Chrome,
    Safari,
    Opera,
    Flock,
    // Today's browsers of the two families.
    Edge,
    Brave,
    Vivaldi,
    OperaStable,
    OperaGx,
    Chromium,
    LibreWolf,
    Waterfox,
    Floorp,
    Zen,
};

// Every browser the demo sandbox shows.
inline const std::vector<Browser>& allBrowsers() {
    static const std::vector<Browser> all{Browser::InternetExplorer,
                                          Browser::Firefox,
                                          Browser::Chrome,
                                          Browser::Safari,
                                          Browser::Opera,
                                          Browser::Flock,
                                          Browser::Edge,
                                          Browser::Brave,
                                          Browser::Vivaldi,
                                          Browser::OperaStable,
                                          Browser::OperaGx,
                                          Browser::Chromium,
                                          Browser::LibreWolf,
                                          Browser::Waterfox,
                                          Browser::Floorp,
                                          Browser::Zen};
    return all;
}

struct SamplePrefixOptions {
    std::string user = "demo";
    // 5 lays out "Documents and Settings", 6 and later "users".
    int windowsVersion = 6;
    std::vector<Browser> browsers = allBrowsers();
    // The folders of a 64-bit Windows ("Program Files (x86)", "syswow64").
    bool windows64 = true;
};

// Where the builder put things, as program paths ("C:\users\demo\...").
struct SamplePrefix {
    std::filesystem::path prefix;  // the prefix folder
    std::filesystem::path driveC;  // prefix/drive_c
    std::filesystem::path userReg; // prefix/user.reg
    std::string profile;           // the user's profile folder
    std::string roaming;           // shell folder 26
    std::string local;             // shell folder 28
};

// Lays out a Wine-style Windows prefix under `prefix` (created when missing)
// holding sample data of the chosen browsers where each one keeps it: files
// and folders under the user's profile and, for Internet Explorer, its
// registry keys in user.reg. The content is made up but shaped like the real
// thing (database headers, preference text, bookmarks, cookies, extension
// folders). Existing files of the same names are replaced.
SamplePrefix buildSamplePrefix(const std::filesystem::path& prefix,
                               const SamplePrefixOptions& options = {});

// The demo sandbox: builds the default sample prefix (user "demo", version 6)
// in `directory` unless a complete one is there already, and returns it.
// The build goes to a folder beside it first, so an interrupted build never
// leaves a half sandbox behind.
std::filesystem::path ensureDemoSandbox(const std::filesystem::path& directory);

} // namespace vellarion
