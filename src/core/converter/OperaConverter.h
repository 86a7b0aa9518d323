#pragma once

#include "core/converter/OperaConversions.h"
#include "core/text/Catalogue.h"
#include "core/wizards/WizardState.h"

#include <string>
#include <string_view>
#include <vector>

namespace vellarion {

class SystemServices;

// The converter window's state under its documented names: the user
// environment and the search of a wizard (`fileName` "operaprefs.ini",
// `v101` to `dir4`, `fullFilePath`, `ffpath` the file found), and the two
// texts taken at Next.
struct ConverterState : WizardState {
    std::string driveltr; // the old drive (`Edit2`)
    std::string olduser;  // the old user name (`Edit1`)
};

// What the converter shows under "Информация о системе:".
struct SystemInformation {
    std::string family;  // "XP/2000", "7/Vista", "8"; "" for another version
    std::string bitness; // the Windows' own: "32 bit" or "64 bit"
    std::string user;    // the login name
};

// The file was not found on any of Opera's candidate paths.
inline constexpr std::string_view kPrefsNotFound = N_("Не найден файл параметров");
inline constexpr std::string_view kPrefsFile = "operaprefs.ini";

// How a conversion ended.
struct ConversionReport {
    enum class Outcome {
        Refused,   // nothing read or written; `refusal` says why
        Unchanged, // nothing to replace: the file is left as it was
        DryRun,    // changes found, not written as asked
        Written,   // the file now holds `text`
    };
    Outcome outcome = Outcome::Refused;
    std::string refusal;
    std::string file;                     // the file converted (`ffpath`)
    std::vector<ReplacementCount> counts; // each replacement, in order
    std::string text;                     // the file's bytes after the conversion
};

// The converter's engine: finds "operaprefs.ini" through Opera's candidate
// directories and runs one of the twelve conversions on it. The file is
// rewritten through a temporary file beside it that is renamed over it, so a
// failed save leaves it as it was; nothing is written when nothing changes.
// Errors of reading and writing are thrown (vellarion::Error).
class OperaConverter {
public:
    OperaConverter(const SystemServices& services, ConverterState& state);

    // The search of the activation into `fullFilePath`, and `ffpath` when
    // the file was found; false (and `ffpath` kept) when it was not.
    bool locate();

    SystemInformation systemInformation() const;

    // Next: conversion `index` over the file `ffpath`, with the old user name
    // and drive as the window's edits hold them.
    ConversionReport convert(int index, std::string_view oldUser, std::string_view oldDrive,
                             bool dryRun = false);

private:
    const SystemServices& services_;
    ConverterState& state_;
};

} // namespace vellarion
