// A child for the child-process tests: says back what it was given.
//   child_echo ARG...           each argument on a line of its own, in brackets
//   child_echo --err N TEXT     TEXT on stderr N times, a line each, then exits
//   child_echo --env NAME       the variable's value ("<unset>" without one)
//   child_echo --exit N         ends with that code
//   child_echo --flood N        N bytes on stdout and on stderr, then exits
//   child_echo --sleep          sleeps a minute
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
// After windows.h.
#include <shellapi.h>
#endif

namespace {

std::vector<std::string> arguments(int argc, char** argv) {
#ifdef _WIN32
    // The wide command line, as UTF-8: what the parent's quoting gave.
    (void)argc;
    (void)argv;
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i) {
        const int size =
            ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string text(static_cast<std::size_t>(size), '\0');
        ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, text.data(), size, nullptr, nullptr);
        text.resize(static_cast<std::size_t>(size > 0 ? size - 1 : 0));
        args.push_back(text);
    }
    ::LocalFree(wide);
    return args;
#else
    return std::vector<std::string>(argv + 1, argv + argc);
#endif
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args = arguments(argc, argv);
    if (args.size() == 3 && args[0] == "--err") {
        for (int i = std::atoi(args[1].c_str()); i > 0; --i) {
            std::fprintf(stderr, "%s\n", args[2].c_str());
        }
        return 0;
    }
    if (args.size() == 2 && args[0] == "--env") {
#ifdef _WIN32
        const std::wstring name(args[1].begin(), args[1].end());
        const wchar_t* value = ::_wgetenv(name.c_str());
        std::printf("%ls\n", value != nullptr ? value : L"<unset>");
#else
        const char* value = std::getenv(args[1].c_str());
        std::printf("%s\n", value != nullptr ? value : "<unset>");
#endif
        return 0;
    }
    if (args.size() == 2 && args[0] == "--exit") {
        return std::atoi(args[1].c_str());
    }
    if (args.size() == 2 && args[0] == "--flood") {
        const std::string block(1000, 'x');
        for (int i = std::atoi(args[1].c_str()) / 1000; i > 0; --i) {
            std::fwrite(block.data(), 1, block.size(), stdout);
            std::fwrite(block.data(), 1, block.size(), stderr);
        }
        return 0;
    }
    if (args.size() == 1 && args[0] == "--sleep") {
        std::this_thread::sleep_for(std::chrono::minutes(1));
        return 0;
    }
    for (const std::string& a : args) {
        std::printf("[%s]\n", a.c_str());
    }
    return 0;
}
