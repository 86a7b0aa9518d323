// The layers of the source tree: dependencies point down only. The core
// (src/core) builds without Qt and without the windows; the widget kit
// (src/gui/kit) knows nothing of the shell, the wizards or the browsers.
#include "core/browsers/DataSet.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Include {
    std::string file; // relative to src/
    int line;
    std::string header;
};

// Every #include of the C++ files below src/<folder>.
std::vector<Include> includesBelow(const std::string& folder) {
    const fs::path src(VELLARION_SOURCE_DIR "/src");
    static const std::regex directive(R"(^\s*#\s*include\s*[<"]([^>"]+)[>"])");
    std::vector<Include> found;
    for (const auto& entry : fs::recursive_directory_iterator(src / folder)) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp")) {
            continue;
        }
        std::ifstream in(entry.path());
        std::string text;
        for (int line = 1; std::getline(in, text); ++line) {
            std::smatch match;
            if (std::regex_search(text, match, directive)) {
                found.push_back(
                    {fs::relative(entry.path(), src).generic_string(), line, match[1].str()});
            }
        }
    }
    return found;
}

bool isQtHeader(const std::string& header) {
    return header.starts_with("Q") || header.starts_with("qt") ||
           header.find("/Q") != std::string::npos;
}

std::string where(const Include& inc) {
    return inc.file + ":" + std::to_string(inc.line) + " includes " + inc.header;
}

} // namespace

TEST(Layers, TheCoreIncludesNeitherQtNorTheWindowsNorTheFrontEnds) {
    const std::vector<Include> includes = includesBelow("core");
    ASSERT_GT(includes.size(), 100u) << "the core's sources were not found";
    for (const Include& inc : includes) {
        EXPECT_FALSE(isQtHeader(inc.header)) << where(inc);
        EXPECT_FALSE(inc.header.starts_with("gui/") || inc.header.starts_with("app/") ||
                     inc.header.starts_with("cli/"))
            << where(inc);
    }
}

TEST(Layers, ProjectIncludesNameTheirLayer) {
    for (const char* folder : {"core", "gui", "app", "cli"}) {
        for (const Include& inc : includesBelow(folder)) {
            if (inc.header.find('/') == std::string::npos ||
                inc.header.find('.') == std::string::npos) {
                continue; // a system or library header such as <QWidget> or <CLI/CLI.hpp>
            }
            const fs::path header = fs::path(VELLARION_SOURCE_DIR "/src") / inc.header;
            if (!fs::exists(header)) {
                continue; // <sys/stat.h>, <gtest/gtest.h>...
            }
            const std::string layer = inc.header.substr(0, inc.header.find('/'));
            EXPECT_TRUE(layer == "core" || layer == "gui" || layer == "cli") << where(inc);
        }
    }
}

TEST(Layers, TheKitKnowsNoShellWizardOrBrowserAndTheCliNoWindow) {
    for (const Include& inc : includesBelow("gui/kit")) {
        EXPECT_FALSE(
            inc.header.starts_with("gui/shell/") || inc.header.starts_with("gui/wizards/") ||
            inc.header.starts_with("gui/browsers/") || inc.header.starts_with("gui/converter/"))
            << where(inc);
    }
    for (const Include& inc : includesBelow("cli")) {
        EXPECT_FALSE(isQtHeader(inc.header) || inc.header.starts_with("gui/")) << where(inc);
    }
}

// A browser's data set is data: nothing of core/browsers reaches back up into
// the engines that run it, and the converter's errors are the services'.
TEST(Layers, TheDataSetsAndTheConverterIncludeNoEngineOrCodec) {
    for (const Include& inc : includesBelow("core/browsers")) {
        EXPECT_FALSE(inc.header.starts_with("core/wizards/") ||
                     inc.header.starts_with("core/restore/") ||
                     inc.header.starts_with("core/archive/"))
            << where(inc);
    }
    for (const Include& inc : includesBelow("core/converter")) {
        EXPECT_FALSE(inc.header.starts_with("core/archive/")) << where(inc);
    }
}

// The core's folders use each other in one direction only: no folder
// reaches, directly or through others, back into one that uses it (the
// codec uses the encrypted container, so the container knows nothing of the
// codec; the stream both speak lives in the services below them).
TEST(Layers, TheCoreFoldersUseEachOtherInOneDirection) {
    std::map<std::string, std::set<std::string>> uses;
    for (const Include& inc : includesBelow("core")) {
        const auto folderOf = [](const std::string& path, std::size_t from) {
            const std::size_t end = path.find('/', from);
            return end == std::string::npos ? std::string() : path.substr(from, end - from);
        };
        const std::string from = folderOf(inc.file, 5); // "core/<folder>/..."
        if (!inc.header.starts_with("core/")) {
            continue;
        }
        const std::string to = folderOf(inc.header, 5);
        if (!from.empty() && !to.empty() && from != to) {
            uses[from].insert(to);
        }
    }
    ASSERT_TRUE(uses["archive"].contains("crypto")) << "the codec's includes were not found";
    // Depth first from every folder: meeting a folder still on the path is a
    // circle, named whole.
    std::set<std::string> circles;
    std::vector<std::string> path;
    std::function<void(const std::string&)> walk = [&](const std::string& folder) {
        if (const auto at = std::find(path.begin(), path.end(), folder); at != path.end()) {
            std::string circle;
            for (auto it = at; it != path.end(); ++it) {
                circle += *it + " -> ";
            }
            circles.insert(circle + folder);
            return;
        }
        path.push_back(folder);
        for (const std::string& next : uses[folder]) {
            walk(next);
        }
        path.pop_back();
    };
    for (const auto& [folder, used] : std::map(uses)) {
        walk(folder);
    }
    EXPECT_EQ(circles, std::set<std::string>{});
}

namespace {

// Every line of the C++ files below src/<folder> that names one of `words`
// as a word of its own, case ignored.
std::vector<std::string> linesNaming(const std::string& folder,
                                     const std::vector<std::string>& words) {
    const fs::path src(VELLARION_SOURCE_DIR "/src");
    std::string alternatives;
    for (const std::string& word : words) {
        alternatives += (alternatives.empty() ? "" : "|") + word;
    }
    const std::regex named("(^|[^A-Za-z0-9])(" + alternatives + ")($|[^A-Za-z0-9])",
                           std::regex::icase);
    std::vector<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(src / folder)) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp")) {
            continue;
        }
        std::ifstream in(entry.path());
        std::string text;
        for (int line = 1; std::getline(in, text); ++line) {
            if (std::regex_search(text, named)) {
                found.push_back(fs::relative(entry.path(), src).generic_string() + ":" +
                                std::to_string(line) + ": " + text);
            }
        }
    }
    return found;
}

} // namespace

// A browser costs a data set, never engine code: the engines' sources, their
// comments included, name no browser (the names come from the data sets).
TEST(Layers, TheEnginesNameNoBrowser) {
    std::vector<std::string> names{"Mozilla", "Chromium", "IE", "Opera GX"};
    for (const vellarion::BrowserDataSet* data : vellarion::allDataSets()) {
        names.emplace_back(data->name);
        names.emplace_back(data->id);
    }
    ASSERT_GT(names.size(), 20u);
    for (const char* engine : {"core/wizards", "core/restore", "core/archive", "core/snapshot"}) {
        EXPECT_EQ(linesNaming(engine, names), std::vector<std::string>{}) << engine;
    }
}
