#pragma once

#include "core/crypto/Secret.h"

#include <optional>
#include <string>

namespace CLI {
class App;
}

namespace vellarion::cli {

class Console;

// What a command line says about an archive's password. The password itself
// is never an argument (others may read a command line): it comes from a
// file, from VELLARION_PASSWORD, or from the terminal without echo.
struct PasswordOptions {
    bool encrypt = false;
    std::string file;
};

// --password-file FILE on a command that reads or writes archives; with
// `encrypting`, --encrypt as well (the file then needs it).
void addPasswordOptions(CLI::App& command, PasswordOptions& options, bool encrypting);

// Takes the password where the options say, once per command: a command
// that reads several archives asks for them only once.
class PasswordSource {
public:
    PasswordSource(Console& console, const PasswordOptions& options);

    bool encrypting() const { return options_.encrypt; }

    // With --encrypt, the password to encrypt with (typed twice on a
    // terminal); none without it. An empty password, or two that differ,
    // is an error.
    std::optional<Secret> forNewArchive();

    // The password of an encrypted archive (`shownName` names it in the
    // prompt and in the error when there is no way to get one).
    Secret forArchive(const std::string& shownName);

private:
    // From the file or the environment; none when neither gives one.
    std::optional<Secret> given();
    // Typed on the terminal without echo; none when input is no terminal.
    std::optional<Secret> typed(const std::string& prompt);

    Console& console_;
    PasswordOptions options_;
    std::optional<Secret> password_;
};

} // namespace vellarion::cli
