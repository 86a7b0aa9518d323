#include "core/browsers/Families.h"

#include <deque>
#include <mutex>

namespace vellarion {

std::string_view keptText(std::string text) {
    static std::mutex guard;
    static std::deque<std::string> kept; // a deque never moves what it holds
    const std::lock_guard<std::mutex> lock(guard);
    return kept.emplace_back(std::move(text));
}

WizardTexts fullWindowTexts(std::string_view name) {
    const std::string n(name);
    return {.backupCaption = keptText("Архивация данных " + n),
            .restoreCaption = keptText("Восстановление данных " + n),
            .backupTitle = keptText("Мастер полного резервного копирования " + n),
            .restoreTitle = keptText("Мастер полного восстановления " + n)};
}

WizardTexts selectiveWindowTexts(std::string_view name) {
    const std::string n(name);
    return {.backupCaption = keptText("Архивация данных " + n),
            .restoreCaption = keptText("Восстановление данных " + n),
            .backupTitle = keptText("Мастер резервного копирования " + n),
            .restoreTitle = keptText("Добро пожаловать в мастер восстановления " + n)};
}

std::vector<NewRoot> firstRootOf(const std::vector<CandidateForms>& windowsRoots) {
    if (windowsRoots.empty()) {
        return {};
    }
    return {{windowsRoots.front().form6}};
}

std::vector<NewRoot> firstRootOf(const std::vector<std::string_view>& nativeRoots) {
    if (nativeRoots.empty()) {
        return {};
    }
    return {{nativeRoots.front()}};
}

} // namespace vellarion
