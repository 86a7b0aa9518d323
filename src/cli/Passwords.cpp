#include "cli/Passwords.h"

#include "cli/Console.h"
#include "core/services/Error.h"
#include "core/services/PathMapper.h"
#include "core/services/ProgramPath.h"

#include <CLI/CLI.hpp>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdlib>
#include <termios.h>
#include <unistd.h>
#endif

namespace vellarion::cli {

namespace {

constexpr const char* kVariable = "VELLARION_PASSWORD";

// A password's text without the line break that ends a file or a typed line.
Secret withoutLineEnd(std::string& text) {
    if (!text.empty() && text.back() == '\n') {
        text.pop_back();
        if (!text.empty() && text.back() == '\r') {
            text.pop_back();
        }
    }
    Secret secret(text);
    wipeMemory(text.data(), text.size());
    return secret;
}

#ifdef _WIN32
// The text as UTF-8; the wide copy is wiped.
std::string takeUtf8(std::wstring& wide) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), size,
                          nullptr, nullptr);
    wipeMemory(wide.data(), wide.size() * sizeof(wchar_t));
    return text;
}
#endif

std::optional<std::string> environmentPassword() {
#ifdef _WIN32
    const DWORD n = ::GetEnvironmentVariableW(L"VELLARION_PASSWORD", nullptr, 0);
    if (n == 0) {
        return std::nullopt;
    }
    std::wstring wide(n, L'\0');
    wide.resize(::GetEnvironmentVariableW(L"VELLARION_PASSWORD", wide.data(), n));
    return takeUtf8(wide);
#else
    const char* value = std::getenv(kVariable);
    if (value == nullptr) {
        return std::nullopt;
    }
    return std::string(value);
#endif
}

bool inputIsTerminal() {
#ifdef _WIN32
    DWORD mode = 0;
    const HANDLE in = ::GetStdHandle(STD_INPUT_HANDLE);
    return in != INVALID_HANDLE_VALUE && ::GetConsoleMode(in, &mode);
#else
    return ::isatty(0) != 0;
#endif
}

// A line typed on the terminal of standard input, not shown. The prompt shows only once echo is
// off, so nothing typed in answer to it can appear on the screen or be flushed away.
std::string readHidden(const std::function<void()>& showPrompt) {
#ifdef _WIN32
    const HANDLE in = ::GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    ::GetConsoleMode(in, &mode);
    ::SetConsoleMode(in, (mode | ENABLE_LINE_INPUT) & ~ENABLE_ECHO_INPUT);
    showPrompt();
    std::wstring wide;
    wchar_t buffer[256];
    DWORD read = 0;
    while (::ReadConsoleW(in, buffer, 256, &read, nullptr) && read > 0) {
        wide.append(buffer, read);
        if (wide.back() == L'\n') {
            break;
        }
    }
    ::SetConsoleMode(in, mode);
    while (!wide.empty() && (wide.back() == L'\n' || wide.back() == L'\r')) {
        wide.pop_back();
    }
    wipeMemory(buffer, sizeof buffer);
    return takeUtf8(wide);
#else
    termios saved{};
    const bool hidden = ::tcgetattr(0, &saved) == 0;
    if (hidden) {
        termios quiet = saved;
        quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
        quiet.c_lflag |= ECHONL;
        ::tcsetattr(0, TCSAFLUSH, &quiet);
    }
    showPrompt();
    std::string text;
    char c = 0;
    while (::read(0, &c, 1) == 1 && c != '\n') {
        text.push_back(c);
    }
    c = 0;
    if (hidden) {
        // Without a flush: a line typed ahead for the next prompt is kept.
        ::tcsetattr(0, TCSANOW, &saved);
    }
    return text;
#endif
}

} // namespace

void addPasswordOptions(CLI::App& command, PasswordOptions& options, bool encrypting) {
    CLI::Option* file =
        command
            .add_option("--password-file", options.file,
                        encrypting
                            ? E_("With --encrypt: take the password from FILE (its first "
                                 "line) instead of VELLARION_PASSWORD or the terminal")
                            : E_("Take the password of an encrypted archive from FILE (its "
                                 "first line) instead of VELLARION_PASSWORD or the terminal"))
            ->type_name("FILE");
    if (encrypting) {
        command.add_flag(
            "--encrypt", options.encrypt,
            E_("Encrypt the archive with a password (AES-256): from --password-file, else "
               "VELLARION_PASSWORD, else typed twice on the terminal, not shown"));
        file->needs("--encrypt");
    }
}

PasswordSource::PasswordSource(Console& console, const PasswordOptions& options)
    : console_(console), options_(options) {}

std::optional<Secret> PasswordSource::given() {
    if (!options_.file.empty()) {
        const auto native = nativePathMapper().toNative(options_.file);
        std::ifstream in;
        if (native) {
            in.open(*native, std::ios::binary);
        }
        if (!in) {
            throw Error(say(E_("Cannot read the password file \"%1\""), {options_.file}));
        }
        std::string line;
        std::getline(in, line);
        if (!in.eof()) {
            line.push_back('\n'); // the line break getline took: "pw\r\n" is "pw"
        }
        Secret secret = withoutLineEnd(line);
        if (secret.empty()) {
            throw Error(say(E_("The password file \"%1\" holds no password"), {options_.file}));
        }
        return secret;
    }
    if (std::optional<std::string> value = environmentPassword()) {
        Secret secret = withoutLineEnd(*value);
        if (secret.empty()) {
            throw Error(say(E_("%1 is empty"), {kVariable}));
        }
        return secret;
    }
    return std::nullopt;
}

std::optional<Secret> PasswordSource::typed(const std::string& prompt) {
    if (!inputIsTerminal()) {
        return std::nullopt;
    }
    console_.endProgress();
    std::string line = readHidden([&] { console_.err() << prompt << std::flush; });
    return withoutLineEnd(line);
}

std::optional<Secret> PasswordSource::forNewArchive() {
    if (!options_.encrypt) {
        return std::nullopt;
    }
    if (!password_) {
        password_ = given();
        if (!password_) {
            std::optional<Secret> first = typed(say(E_("Password for the archive: ")));
            if (!first) {
                throw Error(say(E_("--encrypt needs a password: --password-file FILE, %1, or a "
                                   "terminal to type it on"),
                                {kVariable}));
            }
            if (first->empty()) {
                throw Error(say(E_("The password is empty")));
            }
            std::optional<Secret> again = typed(say(E_("The same password again: ")));
            if (!again || !(*again == *first)) {
                throw Error(say(E_("The two passwords differ")));
            }
            password_ = std::move(first);
        }
    }
    return password_->copy();
}

Secret PasswordSource::forArchive(const std::string& shownName) {
    if (!password_) {
        password_ = given();
    }
    if (!password_) {
        password_ = typed(say(E_("Password of \"%1\": "), {shownName}));
        if (!password_) {
            throw Error(say(E_("\"%1\" is encrypted: give its password with --password-file "
                               "FILE or %2, or type it on a terminal"),
                            {shownName, kVariable}));
        }
    }
    return password_->copy();
}

} // namespace vellarion::cli
