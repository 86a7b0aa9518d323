#include "core/services/ServicesFactory.h"

#include "core/services/Error.h"
#include "core/services/SamplePrefix.h"

#include <cstdlib>

#ifdef _WIN32
#include "core/services/platform/win32/Win32SystemServices.h"
#else
#include "core/services/Text.h"
#include "core/services/platform/posix/PosixSystemServices.h"

#include <pwd.h>
#include <unistd.h>
#endif

namespace vellarion {

namespace fs = std::filesystem;

namespace {

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v != nullptr ? v : "";
}

#ifndef _WIN32

bool isDir(const fs::path& p) {
    std::error_code ec;
    return fs::is_directory(p, ec);
}

fs::path requireFolder(const std::string& text, const char* what) {
    const fs::path p = pathFromUtf8(text);
    if (!isDir(p)) {
        throw Error(std::string(what) + " \"" + text + "\" is not a folder.");
    }
    return p;
}

// User folders that belong to no one in particular.
bool sharedProfile(std::string_view name) {
    for (const char* s :
         {"Public", "Default", "Default User", "All Users", "LocalService", "NetworkService"}) {
        if (equalsIgnoreCase(name, s)) {
            return true;
        }
    }
    return name.starts_with('.');
}

// The browsers of this machine: native paths below the home folder.
PosixServicesConfig nativeConfig(const EnvironmentOptions& o, const ProcessEnvironment& e) {
    PosixServicesConfig c;
    c.login = o.user.empty() ? e.login : o.user;
    c.environment = {EnvironmentInfo::Kind::Native, e.home};
    if (!e.home.empty()) {
        const std::string config = !e.xdgConfigHome.empty()
                                       ? e.xdgConfigHome
                                       : pathToUtf8(pathFromUtf8(e.home) / ".config");
        c.nativeFolders = {{"home", e.home}, {"config", config}};
    }
    return c;
}

PosixServicesConfig posixConfig(const EnvironmentOptions& o, const ProcessEnvironment& e) {
    if (o.native) {
        return nativeConfig(o, e);
    }
    PosixServicesConfig c;
    c.login = e.login;

    std::optional<fs::path> prefix;
    std::optional<fs::path> driveC;
    if (o.demo) {
        prefix = ensureDemoSandbox(demoSandboxDirectory(e));
        c.environment = {EnvironmentInfo::Kind::Demo, pathToUtf8(*prefix)};
    } else if (!o.prefix.empty()) {
        prefix = requireFolder(o.prefix, "The Windows prefix");
    } else if (!o.windowsRoot.empty()) {
        driveC = requireFolder(o.windowsRoot, "The Windows drive");
        c.environment = {EnvironmentInfo::Kind::WindowsDisk, pathToUtf8(*driveC)};
    } else if (!e.winePrefix.empty() && isDir(pathFromUtf8(e.winePrefix))) {
        prefix = pathFromUtf8(e.winePrefix);
    } else {
        // No Windows data named: the browsers of this machine. A prefix
        // that merely exists in the home (Wine made it once for some
        // program) is no choice of the user's.
        return nativeConfig(o, e);
    }
    if (prefix && !o.demo) {
        c.environment = {EnvironmentInfo::Kind::Prefix, pathToUtf8(*prefix)};
    }

    if (prefix) {
        // The prefix's own drive letters, then its drive_c as C:.
        std::error_code ec;
        for (fs::directory_iterator it(*prefix / "dosdevices", ec), end; !ec && it != end;
             it.increment(ec)) {
            const std::string name = pathToUtf8(it->path().filename());
            if (name.size() == 2 && hasDriveLetter(name) && isDir(it->path())) {
                c.drives[static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])))] =
                    it->path();
            }
        }
        driveC = *prefix / "drive_c";
        std::error_code e2;
        if (fs::is_regular_file(*prefix / "user.reg", e2)) {
            c.userRegistry = *prefix / "user.reg";
        }
    }
    if (!driveC || !isDir(*driveC)) {
        c.windowsVersion = o.windowsVersion.value_or(6);
        if (!o.user.empty()) {
            c.login = o.user;
        }
        return c;
    }
    c.drives['C'] = *driveC;

    const fs::path users = PrefixPathMapper::matchChild(*driveC, "Users");
    const fs::path das = PrefixPathMapper::matchChild(*driveC, "Documents and Settings");
    const bool vista = isDir(users);
    const bool xp = !vista && isDir(das);
    c.windowsVersion = o.windowsVersion.value_or(xp ? 5 : 6);

    const fs::path profiles = vista ? users : das;
    if (!o.user.empty()) {
        c.login = o.user;
    } else if (vista || xp) {
        std::vector<std::string> real;
        std::error_code ec;
        for (fs::directory_iterator it(profiles, ec), end; !ec && it != end; it.increment(ec)) {
            const std::string name = pathToUtf8(it->path().filename());
            if (isDir(it->path()) && !sharedProfile(name)) {
                real.push_back(name);
            }
        }
        bool own = false;
        for (const auto& name : real) {
            if (equalsIgnoreCase(name, e.login)) {
                c.login = name; // as the folder spells it
                own = true;
            }
        }
        if (!own && real.size() == 1) {
            c.login = real.front();
        }
    }

    if (vista || xp) {
        const PrefixPathMapper mapper(c.drives);
        const std::string base =
            std::string("C:\\") + (vista ? "Users\\" : "Documents and Settings\\") + c.login;
        auto folder = [&](const char* rest) -> std::string {
            const auto p = mapper.toNative(base + rest);
            return p && isDir(*p) ? mapper.fromNative(*p) : std::string();
        };
        c.roamingAppData = folder(vista ? "\\AppData\\Roaming" : "\\Application Data");
        c.localAppData = folder(vista ? "\\AppData\\Local" : "\\Local Settings\\Application Data");
    }
    return c;
}

#endif

} // namespace

ProcessEnvironment ProcessEnvironment::current() {
    ProcessEnvironment e;
    e.home = env("HOME");
    e.winePrefix = env("WINEPREFIX");
    e.xdgDataHome = env("XDG_DATA_HOME");
    e.xdgConfigHome = env("XDG_CONFIG_HOME");
#ifndef _WIN32
    e.login = env("USER");
    if (e.login.empty()) {
        if (const passwd* pw = ::getpwuid(::geteuid()); pw != nullptr && pw->pw_name != nullptr) {
            e.login = pw->pw_name;
        }
    }
#endif
    return e;
}

fs::path demoSandboxDirectory(const ProcessEnvironment& e) {
    const fs::path data = !e.xdgDataHome.empty() ? pathFromUtf8(e.xdgDataHome)
                                                 : pathFromUtf8(e.home) / ".local" / "share";
    return data / "vellarion" / "demo";
}

std::unique_ptr<SystemServices> makeSystemServices(const EnvironmentOptions& options,
                                                   const ProcessEnvironment& environment) {
#ifdef _WIN32
    (void)options;
    (void)environment;
    return std::make_unique<Win32SystemServices>();
#else
    return std::make_unique<PosixSystemServices>(posixConfig(options, environment));
#endif
}

} // namespace vellarion
