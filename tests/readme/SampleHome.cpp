// Writes a home as a Linux user's browsers leave it, for the README's
// examples: Debian's Firefox ESR with its default profile ("default-esr",
// named in profiles.ini and installs.ini) and Chromium with its "Default"
// profile, each with real SQLite databases and the files beside them.
//
//   vellarion_sample_home HOME
#include "BrowserProfiles.h"
#include "TempDir.h"

#include <exception>
#include <filesystem>
#include <iostream>

namespace fs = std::filesystem;
using namespace vellarion::test;

namespace {

void writeFirefox(const fs::path& home) {
    const fs::path root = home / ".mozilla" / "firefox";
    writeCurrentFirefoxProfile(root / "x7k2m9qa.default-esr");
    // What Firefox writes at its first start: the profile it made for this
    // installation, also the default of the profile manager.
    writeFile(root / "profiles.ini", "[Install3B6073811A6ABF12]\nDefault=x7k2m9qa.default-esr\n"
                                     "Locked=1\n\n"
                                     "[Profile0]\nName=default-esr\nIsRelative=1\n"
                                     "Path=x7k2m9qa.default-esr\nDefault=1\n\n"
                                     "[General]\nStartWithLastProfile=1\nVersion=2\n\n");
    writeFile(root / "installs.ini",
              "[3B6073811A6ABF12]\nDefault=x7k2m9qa.default-esr\nLocked=1\n\n");
}

void writeChromium(const fs::path& home) {
    const fs::path userData = home / ".config" / "chromium";
    writeCurrentChromeUserData(userData);
    // On Linux the key of the passwords is in the keyring, not in Local State.
    writeFile(userData / "Local State",
              "{\"profile\":{\"info_cache\":{\"Default\":{\"name\":\"Person 1\"}},"
              "\"last_used\":\"Default\"}}");
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: vellarion_sample_home HOME\n";
        return 2;
    }
    try {
        const fs::path home = argv[1];
        writeFirefox(home);
        writeChromium(home);
    } catch (const std::exception& e) {
        std::cerr << "vellarion_sample_home: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
