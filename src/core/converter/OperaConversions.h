#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace vellarion {

// The twelve conversions of Opera's "operaprefs.ini" as a pure transform of
// the file's bytes: a table of conversions, each a list of replacements run
// one after the other over the whole text.
//
// The file is worked on as bytes: matching folds the letter case of ASCII
// letters only and compares every other byte exactly, and every byte that no
// replacement touches stays as it was, so non-Latin user and folder names
// (UTF-8 or the system's code page) come through whole.

// One replacement: every match of `search`, left to right without overlaps,
// becomes `replace`. The conditions narrow what counts as a match.
struct Replacement {
    std::string search;
    std::string replace;
    // Not where the match is followed by this text (case ignored): a
    // "Program Files" that is "Program Files (x86)" already.
    std::string notFollowedBy{};
    // Only right after one of these folders (case ignored), which follow a
    // separator themselves: a user name as the folder below
    // "Documents and Settings\" or "Users\".
    std::vector<std::string> after{};
    // Only as a whole name: followed by a separator, a character no file name
    // holds, a line end or the end of the text.
    bool wholeName = false;
    // Only where no ASCII letter or digit comes before it: a drive letter
    // begins a path.
    bool startsName = false;
    // Only at the start of the text.
    bool atStart = false;
    // How the user reads it where its bytes do not say it ("" : the bytes).
    std::string_view label{};
};

// What the conversions are made of besides the table: who the user is now,
// and the old name or drive that the last two conversions replace.
struct ConversionInputs {
    std::string uzer;     // the current login name
    std::string drv;      // the system drive, "C:"
    std::string olduser;  // the old login name (conversion 11)
    std::string driveltr; // the old drive, "D:\" (conversion 10)
};

inline constexpr int kConversionCount = 12;
// Conversion 10 replaces the old drive, 11 the old user name.
inline constexpr int kDriveConversion = 10;
inline constexpr int kUserConversion = 11;

// The conversions as the window offers them, in order ("XP 32 bit -> 7/Vista
// 32 bit", ..., "Смена имени пользователя").
const std::array<std::string_view, kConversionCount>& conversionCaptions();

// The replacements of one conversion, or why it cannot run.
struct ConversionPlan {
    std::vector<Replacement> replacements;
    // Not empty: the conversion is refused with this text (an old user name
    // or drive that is missing or no name or drive at all).
    std::string refusal;
};

// The replacements of conversion `index` (0 to 11) for these inputs, in the
// order they run. Every conversion ends by removing a UTF-8 byte-order mark
// from the start of the file, so that it starts with its header line.
ConversionPlan conversionPlan(int index, const ConversionInputs& inputs);

// How many places a replacement changed (a match that already reads as its
// replacement changes nothing).
struct ReplacementCount {
    Replacement replacement;
    int changed = 0;
};

struct ConversionResult {
    std::string text;
    std::vector<ReplacementCount> counts;
    bool changed() const;
};

// The text after the replacements ran in order, each over the whole text.
ConversionResult applyReplacements(std::string_view text,
                                   const std::vector<Replacement>& replacements);

// A replacement as the user reads it: "\"Program Files\" -> \"Program Files (x86)\"".
std::string describe(const Replacement& replacement);

} // namespace vellarion
