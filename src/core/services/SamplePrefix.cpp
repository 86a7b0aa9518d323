#include "core/services/SamplePrefix.h"

#include "core/services/Error.h"
#include "core/services/PathMapper.h"
#include "core/services/registry/RegistryText.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <fstream>

namespace vellarion {

namespace fs = std::filesystem;

namespace {

// Named anew whenever the sandbox gains browsers, so that an older one is
// built again.
constexpr const char* kCompleteMark = ".vellarion-demo-complete-2";

void put(const fs::path& file, std::string_view content) {
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!out) {
        throw Error("Cannot write the sample file \"" + pathToUtf8(file) + "\".");
    }
}

// Made-up binary content, the same for the same tag: a header like the one a
// browser's database file starts with, then mixed text and bytes.
std::string blob(std::string_view header, std::string_view tag, size_t size) {
    std::uint32_t state = 2166136261u;
    for (char c : tag) {
        state = (state ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    std::string out(header);
    while (out.size() < size) {
        state = state * 1664525u + 1013904223u;
        if ((state >> 28) < 6) {
            out += tag;
            out.push_back(static_cast<char>('0' + (state >> 8) % 10));
        } else {
            out.push_back(static_cast<char>(state >> 16));
        }
    }
    out.resize(size);
    return out;
}

std::string sqlite(std::string_view tag, size_t size = 4096) {
    return blob(std::string_view("SQLite format 3\0\x10\0\x01\x01\0@  ", 24), tag, size);
}

std::string winPath(std::string_view text) {
    std::string out(text);
    std::replace(out.begin(), out.end(), '/', '\\');
    return out;
}

struct Layout {
    fs::path profile; // native
    fs::path roaming;
    fs::path local;
    std::string profileText; // program paths
    std::string roamingText;
    std::string localText;
    std::string user;
    bool xp = false;
};

void firefoxProfile(const fs::path& dir, std::string_view name, bool full, bool flock,
                    const Layout& l) {
    const std::string tag(name);
    put(dir / "prefs.js",
        "# Mozilla User Preferences\n\n"
        "user_pref(\"browser.startup.homepage\", \"https://www.example.org/start\");\n"
        "user_pref(\"browser.download.dir\", \"" +
            winPath(l.profileText + "\\Downloads") +
            "\");\n"
            "user_pref(\"browser.search.selectedEngine\", \"Example Search\");\n"
            "user_pref(\"general.useragent.locale\", \"ru\");\n");
    put(dir / "places.sqlite", sqlite(tag + "places", 16384));
    put(dir / "cookies.sqlite", sqlite(tag + "cookies"));
    put(dir / "formhistory.sqlite", sqlite(tag + "formhistory"));
    put(dir / "key3.db", blob("\0\x06\x15\x61", tag + "key3", 16384));
    put(dir / "signons.sqlite", sqlite(tag + "signons"));
    put(dir / "bookmarks.html",
        "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks Menu</H1>\n"
        "<DL><p>\n    <DT><A HREF=\"https://www.example.org/\">Example</A>\n"
        "    <DT><A HREF=\"https://news.example.net/\">News</A>\n</DL><p>\n");
    put(dir / "sessionstore.js", "({\"windows\":[{\"tabs\":[{\"entries\":[{\"url\":"
                                 "\"https://www.example.org/\"}]}]}]})");
    put(dir / "extensions.ini", "[ExtensionDirs]\nExtension0=" + winPath(pathToUtf8(dir)) +
                                    "\\extensions\\{d10d0bf8-f5b5-c8b4-a8b2-2b9879e08c5d}\n");
    put(dir / "extensions" / "{d10d0bf8-f5b5-c8b4-a8b2-2b9879e08c5d}" / "install.rdf",
        "<?xml version=\"1.0\"?>\n<RDF><Description em:id=\"sample@example.org\"/></RDF>\n");
    put(dir / "extensions" / "{d10d0bf8-f5b5-c8b4-a8b2-2b9879e08c5d}" / "chrome.manifest",
        "content sample jar:chrome/sample.jar!/content/\n");
    put(dir / "searchplugins" / "example.xml",
        "<SearchPlugin><ShortName>Example Search</ShortName></SearchPlugin>\n");
    put(dir / "chrome" / "userChrome.css",
        "/* user interface tweaks */\n#urlbar { font-size: 12pt; }\n");
    if (!full) {
        return;
    }
    if (!flock) {
        put(dir / "addons.sqlite", sqlite(tag + "addons"));
        put(dir / "adblockplus" / "patterns.ini", "# filter preferences\nversion=4\n");
        put(dir / "lightweighttheme-footer", blob("\x89PNG\r\n\x1a\n", tag + "footer", 3000));
        put(dir / "lightweighttheme-header", blob("\x89PNG\r\n\x1a\n", tag + "header", 5000));
        put(dir / "stylish.sqlite", sqlite(tag + "stylish"));
        put(dir / "extensions" / "{73a6fe31-595d-460b-a920-fcc0f8843232}" / "install.rdf",
            "<?xml version=\"1.0\"?>\n<RDF><Description em:id=\"other@example.org\"/></RDF>\n");
    } else {
        put(dir / "flock-data.sqlite", sqlite(tag + "flockdata"));
        put(dir / "webdetective.sqlite", sqlite(tag + "webdetective"));
        put(dir / "feedcontent.sqlite", sqlite(tag + "feedcontent"));
    }
    put(dir / "user.js", "user_pref(\"browser.tabs.warnOnClose\", false);\n");
    put(dir / "preferences" / "prefs-extra.js", "pref(\"sample.extra\", true);\n");
    put(dir / "search.rdf", "<?xml version=\"1.0\"?>\n<RDF:RDF/>\n");
    put(dir / "search.sqlite", sqlite(tag + "search"));
    put(dir / "persdict.dat", "Vellarion\nbackup\n");
    put(dir / "localstore.rdf", "<?xml version=\"1.0\"?>\n<RDF:RDF/>\n");
    put(dir / "cookies.txt",
        "# HTTP Cookie File\n.example.org\tTRUE\t/\tFALSE\t2145916800\tid\t42\n");
    put(dir / "downloads.rdf", "<?xml version=\"1.0\"?>\n<RDF:RDF/>\n");
    put(dir / "downloads.sqlite", sqlite(tag + "downloads"));
    put(dir / "history.dat", "// <!-- <mdb:mork:z v=\"1.4\"/> -->\n< <(a=c)> // (f=iso-8859-1)\n");
    put(dir / "mimeTypes.rdf", "<?xml version=\"1.0\"?>\n<RDF:RDF/>\n");
    put(dir / "formhistory.dat", "// <!-- <mdb:mork:z v=\"1.4\"/> -->\n");
    put(dir / "signons2.txt", "#2d\n.\n");
    put(dir / "signons3.txt", "#2e\n.\n");
    put(dir / "hostperm.1", "# Permission File\nhost\tpopup\t1\twww.example.org\n");
    put(dir / "content-prefs.sqlite", sqlite(tag + "contentprefs"));
}

void mozilla(const fs::path& root, bool flock, const Layout& l) {
    const std::string first = flock ? "flck1234.default" : "abcd1234.default";
    const std::string second = flock ? "qrst5678.second" : "wxyz9876.work";
    put(root / "profiles.ini", "[General]\r\nStartWithLastProfile=1\r\n\r\n[Profile0]\r\n"
                               "Name=default\r\nIsRelative=1\r\nPath=Profiles/" +
                                   first +
                                   "\r\nDefault=1\r\n\r\n[Profile1]\r\nName=" + second.substr(9) +
                                   "\r\nIsRelative=1\r\nPath=Profiles/" + second + "\r\n");
    firefoxProfile(root / "Profiles" / first, first, true, flock, l);
    firefoxProfile(root / "Profiles" / second, second, false, flock, l);
}

void chromeProfile(const fs::path& dir, std::string_view name, bool full) {
    const std::string tag(name);
    put(dir / "Bookmarks", "{\n   \"checksum\": \"0f5d6c1e\",\n   \"roots\": {\n      "
                           "\"bookmark_bar\": {\n         \"children\": [ {\n            "
                           "\"name\": \"Example\",\n            \"type\": \"url\",\n"
                           "            \"url\": \"https://www.example.org/\"\n         } ]\n"
                           "      }\n   },\n   \"version\": 1\n}\n");
    put(dir / "Cookies", sqlite(tag + "Cookies"));
    put(dir / "History", sqlite(tag + "History", 20480));
    put(dir / "Preferences",
        "{\"homepage\":\"https://www.example.org/\",\"profile\":{\"name\":\"" + tag + "\"}}\n");
    put(dir / "Extensions" / "aapocclcgogkmnckokdopfmhonfmgoek" / "0.9_0" / "manifest.json",
        "{\"name\":\"Sample\",\"version\":\"0.9\"}\n");
    if (!full) {
        return;
    }
    put(dir / "Extensions" / "pjkljhegncpnkpknbcohdijeoejaedia" / "8.1_0" / "manifest.json",
        "{\"name\":\"Mail\",\"version\":\"8.1\"}\n");
    put(dir / "Plugin Data" / "Flash" / "settings.sol", blob("\0\xbf", tag + "sol", 400));
    put(dir / "Current Session", blob("SNSS", tag + "cs", 3000));
    put(dir / "Current Tabs", blob("SNSS", tag + "ct", 2000));
    put(dir / "Last Session", blob("SNSS", tag + "ls", 3000));
    put(dir / "Last Tabs", blob("SNSS", tag + "lt", 2000));
    put(dir / "Extension Cookies", sqlite(tag + "ExtCookies"));
    put(dir / "Archived History", sqlite(tag + "Archived"));
    put(dir / "History-journal", "");
    put(dir / "QuotaManager", sqlite(tag + "Quota"));
    put(dir / "TransportSecurity", "{}\n");
    put(dir / "Thumbnails", sqlite(tag + "Thumbs", 8192));
    put(dir / "Visited Links", blob("VLnk", tag + "vl", 2048));
    put(dir / "Login Data", sqlite(tag + "Login"));
    put(dir / "Web Data", sqlite(tag + "Web"));
    put(dir / "Web Data-journal", "");
    put(dir / "Top Sites", sqlite(tag + "Top"));
}

// A "User Data" folder of the Chromium family: two profiles that the user
// named, the second one with less in it.
void chromiumUserData(const fs::path& data, std::string_view browser) {
    put(data / "Local State",
        "{\"os_crypt\":{\"encrypted_key\":\"RFBBUEkBAAAA" + std::string(browser) +
            "\"},\"profile\":{\"info_cache\":{\"Default\":{\"name\":\"Personal\"},"
            "\"Profile 1\":{\"name\":\"Work\"}},\"last_used\":\"Default\"}}\n");
    chromeProfile(data / "Default", "Default", true);
    chromeProfile(data / "Profile 1", "Profile 1", false);
}

void operaProfile(const fs::path& dir, std::string_view name, const Layout& l) {
    const std::string tag(name);
    const std::string self = winPath(l.roamingText + "\\Opera\\" + tag + "\\profile\\");
    put(dir / "speeddial.ini", "Opera Preferences version 2.1\n\n[Speed Dial "
                               "1]\nTitle=Example\nUrl=https://www.example.org/\n");
    put(dir / "operaprefs.ini",
        "Opera Preferences version 2.1\n; Do not edit this file while Opera is running\n\n"
        "[User Prefs]\nLanguage Files Directory=C:\\Program Files\\Opera\\locale\\\n"
        "Language File=C:\\Program Files\\Opera\\locale\\ru\\ru.lng\n"
        "Console Error Log=" +
            self +
            "error.log\n"
            "Cache Directory4=" +
            winPath(l.localText) + "\\Opera\\" + tag +
            "\\cache\\\n"
            "Download Directory=" +
            winPath(l.profileText) + "\\Downloads\n\n[Mail]\nMail Root Directory=" +
            winPath(l.localText) + "\\Opera\\" + tag + "\\mail\\\n");
    put(dir / "opera6.adr",
        "Opera Hotlist version 2.0\n\n#URL\n\tNAME=Example\n\tURL=https://www.example.org/\n");
    put(dir / "bookmarks.adr",
        "Opera Hotlist version 2.0\n\n#URL\n\tNAME=News\n\tURL=https://news.example.net/\n");
    put(dir / "notes.adr", "Opera Hotlist version 2.0\n\n#NOTE\n\tNAME=Remember the milk\n");
    put(dir / "contacts.adr",
        "Opera Hotlist version 2.0\n\n#CONTACT\n\tNAME=Ivan\n\tMAIL=ivan@example.org\n");
    put(dir / "cookies4.dat", blob("\0\0\x10\0", tag + "cookies", 2048));
    put(dir / "opcacrt6.dat", blob("\0\0\x10\0", tag + "ca", 4096));
    put(dir / "opcert6.dat", blob("\0\0\x10\0", tag + "cert", 1024));
    put(dir / "download.dat", blob("\0\0\x10\0", tag + "dl", 600));
    put(dir / "global.dat", "https://www.example.org/\n1262304000\n");
    put(dir / "global_history.dat", "Example\nhttps://www.example.org/\n1262304000\n-1\n");
    put(dir / "typed_history.xml", "<?xml version=\"1.0\"?>\n<typed_history/>\n");
    put(dir / "vlink4.dat", blob("\0\0\x10\0", tag + "vlink", 900));
    put(dir / "wand.dat", blob("\0\0\0\x06", tag + "wand", 1500));
    put(dir / "search.ini", "Opera Preferences version 2.1\n\n[Search Engine 1]\nName=Example\n");
    for (const char* ini : {"adprefs.ini", "opera6.ini", "override_downloaded.ini", "tips.ini",
                            "trusted_repositories.ini", "urlfilter.ini"}) {
        put(dir / ini, "Opera Preferences version 2.1\n");
    }
    put(dir / "tasks.xml", "<?xml version=\"1.0\"?>\n<tasks/>\n");
    put(dir / "dictionaries" / "ru.dic", "2\nпривет\nмир\n");
    put(dir / "sessions" / "autosave.win",
        "Opera Preferences version 2.1\n\n[session]\nwindow count=1\n");
    put(dir / "skin" / "standard_skin.zip", blob("PK\x03\x04", tag + "skin", 3000));
    put(dir / "toolbar" / "standard_toolbar.ini", "Opera Preferences version 2.1\n");
    put(dir / "keyboard" / "standard_keyboard.ini", "Opera Preferences version 2.1\n");
    put(dir / "menu" / "standard_menu.ini", "Opera Preferences version 2.1\n");
    put(dir / "mouse" / "standard_mouse.ini", "Opera Preferences version 2.1\n");
    put(dir / "mail" / "accounts.ini", "Opera Preferences version 2.1\n\n[Accounts]\nCount=1\n");
    put(dir / "widgets" / "widgets.dat", "<?xml version=\"1.0\"?>\n<widgets/>\n");
    put(dir / "widgets" / "clock.wgt", blob("PK\x03\x04", tag + "wgt", 1200));
}

void opera(const Layout& l) {
    operaProfile(l.roaming / "Opera" / "Opera" / "profile", "Opera", l);
    operaProfile(l.roaming / "Opera" / "Opera 10" / "profile", "Opera 10", l);
    // An installation that keeps its settings in its own folder, with
    // widgets both there and in a "profile" folder beside them.
    const fs::path flat = l.roaming / "Opera" / "Opera 9";
    operaProfile(flat, "Opera 9", l);
    put(flat / "profile" / "widgets" / "weather.wgt", blob("PK\x03\x04", "Opera 9 weather", 900));
    const fs::path mail = l.local / "Opera" / "Opera" / "mail";
    put(mail / "index.ini", "Opera Preferences version 2.1\n\n[Index]\nCount=2\n");
    put(mail / "store" / "account1" / "2010" / "01" / "01" / "0001.mbs",
        "From: ivan@example.org\nSubject: Привет\n\nHello!\n");
    put(mail / "omailbase.dat", blob("\0\0\x10\0", "omail", 2048));
    put(l.local / "Opera" / "Opera 10" / "mail" / "index.ini",
        "Opera Preferences version 2.1\n\n[Index]\nCount=0\n");
}

void safariProfile(const fs::path& dir, std::string_view name, bool full) {
    const std::string tag(name);
    put(dir / "Bookmarks.plist", blob("bplist00", tag + "bookmarks", 1500));
    put(dir / "Cookies" / "Cookies.plist",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><array/></plist>\n");
    put(dir / "History.plist", blob("bplist00", tag + "history", 2500));
    put(dir / "TopSites.plist", blob("bplist00", tag + "topsites", 700));
    if (!full) {
        return;
    }
    put(dir / "Downloads.plist", blob("bplist00", tag + "downloads", 300));
    put(dir / "PubSub" / "Database" / "Database.sqlite3", sqlite(tag + "pubsub"));
    put(dir / "Form Values.plist", blob("bplist00", tag + "forms", 500));
    put(dir / "LastSession.plist", blob("bplist00", tag + "session", 800));
}

// The settings live beside the profiles; a second profile folder is one a
// user brought along from another computer.
void safari(const Layout& l) {
    const fs::path root = l.roaming / "Apple Computer";
    safariProfile(root / "Safari", "Safari", true);
    safariProfile(root / "Safari (old PC)", "Safari (old PC)", false);
    put(root / "Preferences" / "com.apple.Safari.plist", blob("bplist00", "prefs", 900));
}

void internetExplorer(const Layout& l, RegistryText& reg) {
    const fs::path ie = l.roaming / "Microsoft" / "Internet Explorer";
    put(ie / "brndlog.txt", "Branding log\r\n09/01/2010 10:00:00  Customization complete\r\n");
    put(ie / "Recovery" / "Active" / "{6A1F3DE2-0000-4E2B-9F8B-0A1B2C3D4E5F}.dat",
        blob("\xd0\xcf\x11\xe0", "recovery", 4096));
    put(ie / "Recovery" / "Last Active" / "RecoveryStore.{6A1F3DE2}.dat",
        blob("\xd0\xcf\x11\xe0", "store", 2048));
    const fs::path cookies =
        l.xp ? l.profile / "Cookies" : l.roaming / "Microsoft" / "Windows" / "Cookies";
    put(cookies / (l.user + "@example[1].txt"),
        "id\n42\nexample.org/\n1024\n2000000000\n30000000\n*\n");
    put(cookies / "index.dat", blob("Client UrlCache MMF Ver 5.2", "index", 16384));
    const fs::path fav = l.profile / "Favorites";
    put(fav / "Example.url", "[InternetShortcut]\r\nURL=https://www.example.org/\r\n");
    put(fav / "Links" / "News.url", "[InternetShortcut]\r\nURL=https://news.example.net/\r\n");
    put(fav / pathFromUtf8("Работа") / pathFromUtf8("Почта.url"),
        "[InternetShortcut]\r\nURL=https://mail.example.org/\r\n");

    const std::string k = "Software\\Microsoft\\Internet Explorer\\";
    reg.setValue(k + "IntelliForms", RegistryValue::dword("AskUser", 0));
    reg.setValue(k + "IntelliForms\\Storage2",
                 RegistryValue::binary("5C2D3E1FA09B", std::vector<std::uint8_t>(64, 0x5a)));
    reg.setValue(k + "TypedURLs", RegistryValue::string("url1", "https://www.example.org/"));
    reg.setValue(k + "TypedURLs", RegistryValue::string("url2", "https://news.example.net/"));
    reg.setValue(k + "SearchScopes",
                 RegistryValue::string("DefaultScope", "{0633EE93-D776-472f-A0FF-E1416B8B2E3A}"));
    reg.setValue(k + "SearchScopes\\{0633EE93-D776-472f-A0FF-E1416B8B2E3A}",
                 RegistryValue::string("DisplayName", "Example Search"));
    reg.setValue(k + "SearchScopes\\{0633EE93-D776-472f-A0FF-E1416B8B2E3A}",
                 RegistryValue::string("URL", "https://search.example.org/?q={searchTerms}"));
    reg.setValue(k + "Recovery", RegistryValue::dword("AutoRecover", 0));
    reg.setValue(k + "Recovery\\Active", RegistryValue::dword("{6A1F3DE2}", 1));
    reg.setValue(k + "Main", RegistryValue::string("Start Page", "https://www.example.org/"));
    reg.setValue(k + "Main", RegistryValue::string("Search Page", "https://search.example.org/"));
    reg.setValue(k + "Main", RegistryValue::string("Window Title", "Internet Explorer"));
    reg.setValue(k + "Settings", RegistryValue::string("Anchor Color", "0,0,255"));
    reg.setValue(k + "Security", RegistryValue::string("Safety Warning Level", "Query"));
    reg.setValue(k + "Download", RegistryValue::string("CheckExeSignatures", "no"));
    reg.setValue(k + "International", RegistryValue::string("AcceptLanguage", "ru-RU,en-US;q=0.5"));
    reg.setValue(k + "PhishingFilter", RegistryValue::dword("EnabledV8", 1));
    reg.setValue(k + "User Preferences",
                 RegistryValue::binary("88D7D0FB2F6A0C", {0x01, 0x00, 0x00, 0x00, 0xd0, 0x8c}));
    reg.setValue(k + "Toolbar", RegistryValue::dword("Locked", 1));
    reg.setValue(k + "Toolbar\\WebBrowser",
                 RegistryValue::binary("ITBar7Layout", std::vector<std::uint8_t>(120, 0x13)));
    reg.setValue(k + "LinksBar", RegistryValue::dword("Enabled", 1));
    reg.setValue(k + "LinksBar\\ItemCache\\0", RegistryValue::string("Title", "Example"));
}

} // namespace

SamplePrefix buildSamplePrefix(const fs::path& prefix, const SamplePrefixOptions& options) {
    SamplePrefix out;
    out.prefix = prefix;
    out.driveC = prefix / "drive_c";
    out.userReg = prefix / "user.reg";

    Layout l;
    l.user = options.user;
    l.xp = options.windowsVersion <= 5;
    const std::string users = l.xp ? "Documents and Settings" : "users";
    l.profile = out.driveC / users / pathFromUtf8(options.user);
    l.profileText = "C:\\" + users + "\\" + options.user;
    if (l.xp) {
        l.roaming = l.profile / "Application Data";
        l.local = l.profile / "Local Settings" / "Application Data";
        l.roamingText = l.profileText + "\\Application Data";
        l.localText = l.profileText + "\\Local Settings\\Application Data";
    } else {
        l.roaming = l.profile / "AppData" / "Roaming";
        l.local = l.profile / "AppData" / "Local";
        l.roamingText = l.profileText + "\\AppData\\Roaming";
        l.localText = l.profileText + "\\AppData\\Local";
    }
    out.profile = l.profileText;
    out.roaming = l.roamingText;
    out.local = l.localText;

    fs::create_directories(out.driveC / "windows" / "system32");
    fs::create_directories(out.driveC / "Program Files");
    if (options.windows64) {
        fs::create_directories(out.driveC / "Program Files (x86)");
        fs::create_directories(out.driveC / "windows" / "syswow64");
    }
    fs::create_directories(l.roaming);
    fs::create_directories(l.local);
    fs::create_directories(l.profile / "Desktop");

    RegistryText reg = RegistryText::create("REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000");
    reg.setValue("Control Panel\\International", RegistryValue::string("Locale", "00000419"));
    const std::string shell =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    reg.setValue(shell, RegistryValue::string("AppData", l.roamingText));
    reg.setValue(shell, RegistryValue::string("Local AppData", l.localText));

    for (Browser b : options.browsers) {
        switch (b) {
        case Browser::InternetExplorer:
            internetExplorer(l, reg);
            break;
        case Browser::Firefox:
            mozilla(l.roaming / "Mozilla" / "Firefox", false, l);
            break;
        case Browser::Flock:
            mozilla(l.roaming / "Flock" / "Browser", true, l);
            break;
        case Browser::Chrome: {
            const fs::path data = l.local / "Google" / "Chrome" / "User Data";
            put(data / "Local State", "{\"profile\":{\"last_used\":\"Default\"}}\n");
            chromeProfile(data / "Default", "Default", true);
            chromeProfile(data / "Profile 1", "Profile 1", false);
            break;
        }
        case Browser::Safari:
            safari(l);
            break;
        case Browser::Opera:
            opera(l);
            break;
        case Browser::Edge:
            chromiumUserData(l.local / "Microsoft" / "Edge" / "User Data", "edge");
            break;
        case Browser::Brave:
            chromiumUserData(l.local / "BraveSoftware" / "Brave-Browser" / "User Data", "brave");
            break;
        case Browser::Vivaldi:
            chromiumUserData(l.local / "Vivaldi" / "User Data", "vivaldi");
            break;
        case Browser::OperaStable:
            chromiumUserData(l.roaming / "Opera Software" / "Opera Stable", "opera");
            break;
        case Browser::OperaGx:
            chromiumUserData(l.roaming / "Opera Software" / "Opera GX Stable", "operagx");
            break;
        case Browser::Chromium:
            chromiumUserData(l.local / "Chromium" / "User Data", "chromium");
            break;
        case Browser::LibreWolf:
            mozilla(l.roaming / "librewolf", false, l);
            break;
        case Browser::Waterfox:
            mozilla(l.roaming / "Waterfox", false, l);
            break;
        case Browser::Floorp:
            mozilla(l.roaming / "Floorp", false, l);
            break;
        case Browser::Zen:
            mozilla(l.roaming / "zen", false, l);
            break;
        }
    }
    put(out.userReg, reg.serialize());
    return out;
}

fs::path ensureDemoSandbox(const fs::path& directory) {
    std::error_code ec;
    if (fs::exists(directory / kCompleteMark, ec)) {
        return directory;
    }
    fs::create_directories(directory.parent_path(), ec);
    fs::path staging = directory;
    staging +=
        ".building-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
    fs::remove_all(staging, ec);
    try {
        buildSamplePrefix(staging);
        put(staging / kCompleteMark, "");
    } catch (...) {
        fs::remove_all(staging, ec);
        throw;
    }
    // A folder without the mark is a build that an earlier run did not finish.
    if (fs::exists(directory, ec) && !fs::exists(directory / kCompleteMark, ec)) {
        fs::remove_all(directory, ec);
    }
    fs::rename(staging, directory, ec);
    if (ec) {
        // Another run finished first; its sandbox is as good as ours.
        fs::remove_all(staging, ec);
        if (!fs::exists(directory / kCompleteMark, ec)) {
            throw Error("Cannot create the demo sandbox in \"" + pathToUtf8(directory) + "\".");
        }
    }
    return directory;
}

} // namespace vellarion
