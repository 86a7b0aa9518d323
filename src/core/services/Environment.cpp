#include "core/services/Environment.h"

#include "core/services/Text.h"

#include <stdexcept>

namespace vellarion {

namespace {

const std::string* lookup(std::string_view name, const UserEnvironment& env,
                          const TemplateVars& extra) {
    if (name == "uzer") {
        return &env.uzer;
    }
    if (name == "drv") {
        return &env.drv;
    }
    if (name == "sfp") {
        return &env.sfp;
    }
    if (name == "loc") {
        return &env.loc;
    }
    if (name == "windoze") {
        return &env.windoze;
    }
    for (const auto& [key, value] : extra) {
        if (key == name) {
            return &value;
        }
    }
    return nullptr;
}

} // namespace

std::string expandTemplate(std::string_view form, const UserEnvironment& env,
                           const TemplateVars& extra) {
    std::string out;
    out.reserve(form.size() + 64);
    size_t i = 0;
    while (i < form.size()) {
        if (form[i] != '{') {
            out.push_back(form[i++]);
            continue;
        }
        const size_t close = form.find('}', i);
        if (close == std::string_view::npos) {
            throw std::invalid_argument("unterminated field in path template: " +
                                        std::string(form));
        }
        const std::string_view name = form.substr(i + 1, close - i - 1);
        const std::string* value = lookup(name, env, extra);
        if (value == nullptr) {
            throw std::invalid_argument("unknown field {" + std::string(name) +
                                        "} in path template");
        }
        out += *value;
        i = close + 1;
    }
    return out;
}

std::vector<std::string> assignCandidates(const UserEnvironment& env,
                                          std::span<const CandidateForms> forms,
                                          const TemplateVars& extra) {
    std::vector<std::string> dirs(forms.size());
    if (forms.empty()) {
        return dirs;
    }
    if (env.windoze == "5") {
        dirs[0] = expandTemplate(forms[0].form5, env, extra);
    }
    for (size_t i = 1; i < forms.size(); ++i) {
        dirs[i] = expandTemplate(forms[i].form5, env, extra);
    }
    if (env.windoze == "6") {
        for (size_t i = 0; i < forms.size(); ++i) {
            dirs[i] = expandTemplate(forms[i].form6, env, extra);
        }
    }
    return dirs;
}

std::string versionedFolder(const UserEnvironment& env, const CandidateForms& forms,
                            const TemplateVars& extra) {
    return expandTemplate(env.windoze == "6" ? forms.form6 : forms.form5, env, extra);
}

std::string joinDirList(std::span<const std::string> dirs) {
    return joinStrings(dirs, ";");
}

} // namespace vellarion
