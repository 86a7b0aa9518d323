#pragma once

#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vellarion {

// The user environment every wizard gathers before it looks for a browser:
// login name, system drive ("C:"), roaming and local application-data
// folders (shell folders 26 and 28, no trailing separator) and the Windows
// major version as decimal text.
struct UserEnvironment {
    std::string uzer;
    std::string drv;
    std::string sfp;
    std::string loc;
    std::string windoze;
};

// Shell folder numbers of the two application-data folders.
inline constexpr int kRoamingAppData = 26;
inline constexpr int kLocalAppData = 28;

// One candidate directory of a browser: its path form for Windows major
// version "5" and for "6", as templates over the environment. A template
// names the fields in braces ("{drv}\Users\{uzer}\AppData\Local\Mozilla\Firefox");
// extra names (such as Opera's installation folder "{N}") come from the caller.
struct CandidateForms {
    std::string_view form5;
    std::string_view form6;
};

using TemplateVars = std::vector<std::pair<std::string, std::string>>;

// The template with every "{name}" replaced by its value. An unknown name is
// a programming error (std::invalid_argument).
std::string expandTemplate(std::string_view form, const UserEnvironment& env,
                           const TemplateVars& extra = {});

// The candidate directories of one browser, in list order, by the one rule
// all browsers share: the first candidate takes its "5" form only on version
// "5"; every other candidate takes its "5" form whatever the version; on "6"
// every candidate, the first included, takes its "6" form. So on any other
// version the first candidate stays empty.
std::vector<std::string> assignCandidates(const UserEnvironment& env,
                                          std::span<const CandidateForms> forms,
                                          const TemplateVars& extra = {});

// A folder derived by the rule for the non-first candidates: the "5" form,
// replaced by the "6" form on version "6" (Internet Explorer's cookie and
// favourites folders).
std::string versionedFolder(const UserEnvironment& env, const CandidateForms& forms,
                            const TemplateVars& extra = {});

// The candidates joined with ";" in list order, as FindFileInDirList takes them.
std::string joinDirList(std::span<const std::string> dirs);

} // namespace vellarion
