#include "core/converter/OperaConversions.h"

#include "core/services/ProgramPath.h"
#include "core/services/Text.h"
#include "core/text/Catalogue.h"

#include <algorithm>

namespace vellarion {

namespace {

// The texts the conversions replace, one by another.
enum class Fragment {
    XpRoaming,
    SevenRoaming,
    XpLocal,
    SevenLocal,
    Programs32,
    Programs64,
    OldDrive,
    SystemDrive,
    OldUser,
    CurrentUser,
};

struct Step {
    Fragment from;
    Fragment to;
};

struct Conversion {
    std::string_view caption;
    std::vector<Step> steps;
};

using F = Fragment;

const std::vector<Conversion>& conversions() {
    static const std::vector<Conversion> table{
        {"XP 32 bit -> 7/Vista 32 bit",
         {{F::XpRoaming, F::SevenRoaming}, {F::XpLocal, F::SevenLocal}}},
        {"XP 32 bit -> 7/Vista 64 bit",
         {{F::XpRoaming, F::SevenRoaming},
          {F::XpLocal, F::SevenLocal},
          {F::Programs32, F::Programs64}}},
        {"XP 64 bit -> 7/Vista 32 bit",
         {{F::XpRoaming, F::SevenRoaming},
          {F::XpLocal, F::SevenLocal},
          {F::Programs64, F::Programs32}}},
        {"XP 64 bit -> 7/Vista 64 bit",
         {{F::XpRoaming, F::SevenRoaming}, {F::XpLocal, F::SevenLocal}}},
        {"7/Vista 32 bit -> 7/Vista 64 bit", {{F::Programs32, F::Programs64}}},
        {"7/Vista 64 bit -> 7/Vista 32 bit", {{F::Programs64, F::Programs32}}},
        {"7/Vista 32 bit -> XP 32 bit",
         {{F::SevenRoaming, F::XpRoaming}, {F::SevenLocal, F::XpLocal}}},
        {"7/Vista 64 bit -> XP 32 bit",
         {{F::SevenRoaming, F::XpRoaming},
          {F::SevenLocal, F::XpLocal},
          {F::Programs64, F::Programs32}}},
        {"7/Vista 32 bit -> XP 64 bit",
         {{F::SevenRoaming, F::XpRoaming},
          {F::SevenLocal, F::XpLocal},
          {F::Programs32, F::Programs64}}},
        {"7/Vista 64 bit -> XP 64 bit",
         {{F::SevenRoaming, F::XpRoaming}, {F::SevenLocal, F::XpLocal}}},
        {N_("Смена буквы диска"), {{F::OldDrive, F::SystemDrive}}},
        {N_("Смена имени пользователя"), {{F::OldUser, F::CurrentUser}}},
    };
    return table;
}

constexpr std::string_view kProgramFiles = "Program Files";
constexpr std::string_view kX86 = " (x86)";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string text(Fragment fragment, const ConversionInputs& in) {
    switch (fragment) {
    case F::XpRoaming:
        return "Documents and Settings\\" + in.uzer + "\\Application Data\\Opera";
    case F::SevenRoaming:
        return "Users\\" + in.uzer + "\\AppData\\Roaming\\Opera";
    case F::XpLocal:
        return "Documents and Settings\\" + in.uzer + "\\Local Settings\\Application Data\\Opera";
    case F::SevenLocal:
        return "Users\\" + in.uzer + "\\AppData\\Local\\Opera";
    case F::Programs32:
        return std::string(kProgramFiles);
    case F::Programs64:
        return std::string(kProgramFiles) + std::string(kX86);
    case F::OldDrive:
        return in.driveltr;
    case F::SystemDrive:
        return in.drv;
    case F::OldUser:
        return in.olduser;
    case F::CurrentUser:
        return in.uzer;
    }
    return {};
}

// "D:" or "D:\" (spaces around ignored): a drive letter with its colon.
bool isDriveText(std::string_view drive) {
    if (drive.size() == 3 && isPathSeparator(drive[2])) {
        drive.remove_suffix(1);
    }
    return drive.size() == 2 && drive[1] == ':' &&
           ((drive[0] >= 'A' && drive[0] <= 'Z') || (drive[0] >= 'a' && drive[0] <= 'z'));
}

std::string trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

Replacement replacementOf(const Step& step, const ConversionInputs& in) {
    Replacement r{.search = text(step.from, in), .replace = text(step.to, in)};
    switch (step.from) {
    case F::Programs32:
        // "Program Files (x86)" is a 64-bit program folder already.
        r.notFollowedBy = std::string(kX86);
        break;
    case F::OldDrive:
        r.startsName = true;
        // "D:\Program Files" becomes "C:\Program Files", not "C:Program Files".
        if (isPathSeparator(r.search.back()) && !r.replace.empty() &&
            !isPathSeparator(r.replace.back())) {
            r.replace += '\\';
        }
        break;
    case F::OldUser:
        // The old name as the user's folder, not inside other words.
        r.after = {"Documents and Settings\\", "Users\\"};
        r.wholeName = true;
        break;
    default:
        break;
    }
    return r;
}

// A byte that ends a file name: a separator, one no name may hold, a control
// character (line ends).
bool endsName(char c) {
    return static_cast<unsigned char>(c) < 0x20 ||
           std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos;
}

bool isAsciiLetterOrDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool matchesAt(std::string_view text, size_t at, const Replacement& r) {
    if (!startsWithIgnoreCase(text.substr(at), r.search)) {
        return false;
    }
    const size_t end = at + r.search.size();
    if (!r.notFollowedBy.empty() && startsWithIgnoreCase(text.substr(end), r.notFollowedBy)) {
        return false;
    }
    if (r.wholeName && end < text.size() && !endsName(text[end])) {
        return false;
    }
    if (r.startsName && at > 0 && isAsciiLetterOrDigit(text[at - 1])) {
        return false;
    }
    if (!r.after.empty()) {
        const bool afterFolder = std::any_of(r.after.begin(), r.after.end(), [&](const auto& f) {
            return at > f.size() && isPathSeparator(text[at - f.size() - 1]) &&
                   equalsIgnoreCase(text.substr(at - f.size(), f.size()), f);
        });
        if (!afterFolder) {
            return false;
        }
    }
    return true;
}

// Runs one replacement over the whole text; the number of places it changed.
int replaceAll(std::string& text, const Replacement& r) {
    if (r.search.empty()) {
        return 0;
    }
    std::string out;
    out.reserve(text.size());
    int changed = 0;
    size_t i = 0;
    while (i < text.size()) {
        if ((!r.atStart || i == 0) && matchesAt(text, i, r)) {
            if (text.compare(i, r.search.size(), r.replace) != 0) {
                ++changed;
            }
            out += r.replace;
            i += r.search.size();
        } else {
            out.push_back(text[i++]);
        }
    }
    text = std::move(out);
    return changed;
}

} // namespace

const std::array<std::string_view, kConversionCount>& conversionCaptions() {
    static const std::array<std::string_view, kConversionCount> captions = [] {
        std::array<std::string_view, kConversionCount> out{};
        for (size_t i = 0; i < out.size(); ++i) {
            out[i] = conversions()[i].caption;
        }
        return out;
    }();
    return captions;
}

ConversionPlan conversionPlan(int index, const ConversionInputs& given) {
    ConversionPlan plan;
    if (index < 0 || index >= kConversionCount) {
        plan.refusal = N_("Выберите метод преобразования.");
        return plan;
    }
    ConversionInputs in = given;
    in.olduser = trimmed(given.olduser);
    in.driveltr = trimmed(given.driveltr);
    // An empty search text would match nowhere, or everywhere: refuse it,
    // and anything that is no user name or drive, before the file is read.
    if (index == kUserConversion && !isOneFolderName(in.olduser)) {
        plan.refusal = N_("Введите старое имя пользователя.");
        return plan;
    }
    if (index == kDriveConversion && !isDriveText(in.driveltr)) {
        plan.refusal = N_("Введите старую букву диска, например: \"D:\\\".");
        return plan;
    }
    for (const Step& step : conversions()[static_cast<size_t>(index)].steps) {
        plan.replacements.push_back(replacementOf(step, in));
    }
    plan.replacements.push_back({.search = std::string(kByteOrderMark),
                                 .replace = "",
                                 .atStart = true,
                                 .label = "UTF-8 byte-order mark -> (removed)"});
    return plan;
}

bool ConversionResult::changed() const {
    return std::any_of(counts.begin(), counts.end(), [](const auto& c) { return c.changed > 0; });
}

ConversionResult applyReplacements(std::string_view text,
                                   const std::vector<Replacement>& replacements) {
    ConversionResult result;
    result.text = std::string(text);
    for (const Replacement& r : replacements) {
        result.counts.push_back({r, replaceAll(result.text, r)});
    }
    return result;
}

std::string describe(const Replacement& replacement) {
    if (!replacement.label.empty()) {
        return std::string(replacement.label);
    }
    return "\"" + replacement.search + "\" -> \"" + replacement.replace + "\"";
}

} // namespace vellarion
