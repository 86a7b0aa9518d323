#pragma once

#include "core/services/Error.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vellarion {

// A registry file in the text format that Wine keeps its hives in
// ("WINE REGISTRY Version 2": user.reg of a prefix) and that its RegSaveKeyW
// writes. Anything else is refused with RegistryFormatError.
class RegistryFormatError : public Error {
public:
    using Error::Error;
};

// Value types as the registry numbers them.
namespace regtype {
inline constexpr std::uint32_t None = 0;
inline constexpr std::uint32_t String = 1;
inline constexpr std::uint32_t ExpandString = 2;
inline constexpr std::uint32_t Binary = 3;
inline constexpr std::uint32_t Dword = 4;
inline constexpr std::uint32_t MultiString = 7;
inline constexpr std::uint32_t Qword = 11;
} // namespace regtype

// One value: UTF-8 name ("" for the default value), type and raw data (the
// string types hold UTF-16LE text with its terminating null).
struct RegistryValue {
    std::string name;
    std::uint32_t type = regtype::None;
    std::vector<std::uint8_t> data;

    static RegistryValue string(std::string name, std::string_view utf8,
                                std::uint32_t type = regtype::String);
    static RegistryValue dword(std::string name, std::uint32_t value);
    static RegistryValue binary(std::string name, std::vector<std::uint8_t> bytes);
    bool operator==(const RegistryValue&) const = default;
};

// One key as the file writes it: a header line "[path] stamp", then its
// lines (time and class marks, values, continuation lines, the blank line
// before the next key), all kept verbatim.
struct RegistryKeySection {
    std::string rawPath;            // between the brackets, escaped as written
    std::string path;               // unescaped, components joined by "\"
    std::string rest;               // what follows "]" on the header line
    std::vector<std::string> lines; // the lines up to the next key
};

class RegistryText {
public:
    // Throws RegistryFormatError on text that is not such a file, or that
    // holds a line or value it cannot read.
    static RegistryText parse(std::string_view text);
    // A new empty hive whose keys are relative to `relativeTo`.
    static RegistryText create(std::string_view relativeTo, std::string_view arch = "win64");

    // The text again; byte for byte the parsed text where nothing changed.
    std::string serialize() const;

    const std::vector<std::string>& preamble() const { return preamble_; }
    const std::vector<RegistryKeySection>& sections() const { return sections_; }

    // The key exists: it has a section of its own or below it ("" is the root).
    bool hasKey(std::string_view key) const;
    // The values of the key's own section (none when it has no section).
    std::vector<RegistryValue> values(std::string_view key) const;

    // The key's subtree as the file that RegSaveKeyW writes for it: the key
    // itself as "[]", its subkeys relative to it. Nothing when the key does
    // not exist.
    std::optional<RegistryText> saveKey(std::string_view key) const;
    // The key's values and subkeys replaced by those of a saved-key file;
    // every other key stays as it was, in place.
    void restoreKey(std::string_view key, const RegistryText& saved);
    // Sets one value, creating the key when needed (values kept sorted by
    // name as the registry writes them).
    void setValue(std::string_view key, const RegistryValue& value);
    // Gives the key a section of its own, without values, unless it has one:
    // a key with neither values nor subkeys is written that way.
    void createKey(std::string_view key);

private:
    size_t sortedPosition(std::string_view path) const;
    void insertSections(size_t at, std::vector<RegistryKeySection> incoming);

    std::vector<std::string> preamble_;
    std::vector<RegistryKeySection> sections_;
    bool finalNewline_ = true;
};

// The values of one section, in file order. Throws RegistryFormatError.
std::vector<RegistryValue> parseValues(const RegistryKeySection& section);
// The value as the registry writes it: one line, or several joined by
// continuation marks for long binary data (no final line break).
std::string formatValue(const RegistryValue& value);

// A key path as given by callers ("Software\Microsoft\Main\", doubled or
// trailing separators allowed) cut into its components.
std::vector<std::string> keyComponents(std::string_view key);

} // namespace vellarion
