#pragma once

#include "core/services/SystemServices.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace vellarion {

// Where the Windows data lives, as the command-line flags of both programs
// give it. Only the Linux build reads them; on Windows the real system is
// asked and the options are ignored.
struct EnvironmentOptions {
    bool native = false;               // --native: this machine's own browsers
    bool demo = false;                 // --demo: the sample sandbox (built once)
    std::string prefix;                // --prefix DIR: a Wine-style prefix
    std::string windowsRoot;           // --windows-root DIR: a mounted Windows drive C:
    std::string user;                  // --user NAME: overrides the login name
    std::optional<int> windowsVersion; // --windows-version N: overrides the major version
};

// The parts of the process environment the factory reads, passed in so that
// tests can give their own.
struct ProcessEnvironment {
    std::string home;          // $HOME
    std::string winePrefix;    // $WINEPREFIX
    std::string xdgDataHome;   // $XDG_DATA_HOME
    std::string xdgConfigHome; // $XDG_CONFIG_HOME
    std::string login;         // the POSIX login name

    static ProcessEnvironment current();
};

// The services for these options. On POSIX: --native wins over --demo,
// which wins over --prefix, which wins over --windows-root; without any of
// them $WINEPREFIX; without a prefix, this machine's own browsers (~/.wine
// alone does not switch: it is named to the user where a browser has no
// version here) (the native environment: native paths, no drive
// map, no registry; their data roots below $HOME and $XDG_CONFIG_HOME).
// From the prefix come the login name (the POSIX login's user folder, or the
// only user folder there is), the system drive C:, the two application-data
// folders and the version (6 when a "Users" folder exists, 5 when only
// "Documents and Settings" does); --user and --windows-version override.
// Throws Error when a named prefix or root is not a folder.
std::unique_ptr<SystemServices>
makeSystemServices(const EnvironmentOptions& options = {},
                   const ProcessEnvironment& environment = ProcessEnvironment::current());

// The folder of the demo sandbox: $XDG_DATA_HOME/vellarion/demo, or
// ~/.local/share/vellarion/demo.
std::filesystem::path demoSandboxDirectory(const ProcessEnvironment& environment);

} // namespace vellarion
