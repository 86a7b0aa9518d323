#include "core/browsers/Families.h"

#include "core/text/Catalogue.h"

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
    return {.backupCaption = keptText(formatText(N_("Архивация данных %1"), {name})),
            .restoreCaption = keptText(formatText(N_("Восстановление данных %1"), {name})),
            .backupTitle =
                keptText(formatText(N_("Мастер полного резервного копирования %1"), {name})),
            .restoreTitle = keptText(formatText(N_("Мастер полного восстановления %1"), {name}))};
}

WizardTexts selectiveWindowTexts(std::string_view name) {
    return {.backupCaption = keptText(formatText(N_("Архивация данных %1"), {name})),
            .restoreCaption = keptText(formatText(N_("Восстановление данных %1"), {name})),
            .backupTitle = keptText(formatText(N_("Мастер резервного копирования %1"), {name})),
            .restoreTitle =
                keptText(formatText(N_("Добро пожаловать в мастер восстановления %1"), {name}))};
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
