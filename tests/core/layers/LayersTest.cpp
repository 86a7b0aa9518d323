// The layers of the source tree: dependencies point down only. The core
// (src/core) builds without Qt and without the windows; the widget kit
// (src/gui/kit) knows nothing of the shell, the wizards or the browsers.
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
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
