#include "core/browsers/JsonText.h"

#include "core/services/Error.h"

#include <nlohmann/json.hpp>
#include <optional>

namespace vellarion {

namespace {

using Json = nlohmann::json;

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Walks a text that is known to be valid JSON (it was parsed first), so
// that it only has to find where things are, not judge them.
class Scanner {
public:
    explicit Scanner(std::string_view text) : text_(text) {}

    std::size_t pos = 0;

    char at() const { return pos < text_.size() ? text_[pos] : '\0'; }
    void spaces() {
        while (pos < text_.size() && isSpace(text_[pos])) {
            ++pos;
        }
    }
    void string() {
        ++pos; // the opening quote
        while (pos < text_.size()) {
            const char c = text_[pos++];
            if (c == '\\') {
                ++pos;
            } else if (c == '"') {
                return;
            }
        }
    }
    void value() {
        spaces();
        if (at() == '"') {
            string();
            return;
        }
        if (at() == '{' || at() == '[') {
            int depth = 0;
            do {
                if (at() == '"') {
                    string();
                    continue;
                }
                depth += at() == '{' || at() == '[' ? 1 : at() == '}' || at() == ']' ? -1 : 0;
                ++pos;
            } while (depth > 0 && pos < text_.size());
            return;
        }
        while (pos < text_.size() && !isSpace(at()) && at() != ',' && at() != '}' && at() != ']') {
            ++pos;
        }
    }

private:
    std::string_view text_;
};

// What an object holds of one key: where the last member of that key has its
// value, and where the object closes.
struct Member {
    std::optional<std::pair<std::size_t, std::size_t>> value; // [begin, end)
    std::size_t close = 0;                                    // the '}'
    bool empty = true;
};

Member memberOf(std::string_view text, std::size_t open, const std::string& key) {
    Scanner s(text);
    s.pos = open + 1;
    Member found;
    for (;;) {
        s.spaces();
        if (s.at() == '}' || s.at() == '\0') {
            found.close = s.pos;
            return found;
        }
        if (s.at() == ',') {
            ++s.pos;
            continue;
        }
        found.empty = false;
        const std::size_t keyBegin = s.pos;
        s.string();
        const bool matches =
            Json::parse(text.substr(keyBegin, s.pos - keyBegin)).get<std::string>() == key;
        s.spaces();
        ++s.pos; // the colon
        s.spaces();
        const std::size_t begin = s.pos;
        s.value();
        if (matches) {
            found.value = std::pair{begin, s.pos};
        }
    }
}

// The JSON of `value` inside objects of the keys `path[from]`... down.
std::string nested(const std::vector<std::string>& path, std::size_t from, std::string_view value) {
    std::string text(value);
    for (std::size_t i = path.size(); i-- > from;) {
        text = "{" + Json(path[i]).dump() + ":" + text + "}";
    }
    return text;
}

std::string objectText(std::string_view text) {
    std::string whole(text.find_first_not_of(" \t\r\n") == std::string_view::npos ? "{}" : text);
    const Json parsed = Json::parse(whole, nullptr, false);
    if (parsed.is_discarded() || !parsed.is_object()) {
        throw Error("\"Local State\" is no JSON object: it cannot be changed.");
    }
    return whole;
}

// Where the top object opens.
std::size_t topObject(const std::string& text) {
    return text.find('{');
}

} // namespace

std::string withJsonMember(std::string_view text, const std::vector<std::string>& path,
                           std::string_view value) {
    std::string out = objectText(text);
    std::size_t open = topObject(out);
    for (std::size_t i = 0; i < path.size(); ++i) {
        const Member member = memberOf(out, open, path[i]);
        if (!member.value) {
            const std::string added = Json(path[i]).dump() + ":" + nested(path, i + 1, value);
            out.insert(member.close, member.empty ? added : "," + added);
            return out;
        }
        const auto [begin, end] = *member.value;
        if (i + 1 == path.size()) {
            out.replace(begin, end - begin, value);
            return out;
        }
        if (out[begin] != '{') {
            out.replace(begin, end - begin, nested(path, i + 1, value));
            return out;
        }
        open = begin;
    }
    return out;
}

std::string withJsonArrayItem(std::string_view text, const std::vector<std::string>& path,
                              std::string_view value) {
    std::string out = objectText(text);
    std::size_t open = topObject(out);
    for (std::size_t i = 0; i < path.size(); ++i) {
        const Member member = memberOf(out, open, path[i]);
        if (!member.value) {
            return out;
        }
        const auto [begin, end] = *member.value;
        if (i + 1 == path.size()) {
            if (out[begin] != '[') {
                return out;
            }
            // Before the closing bracket, after a comma unless it is empty.
            const std::size_t close = end - 1;
            const bool empty = out.find_first_not_of(" \t\r\n", begin + 1) == close;
            out.insert(close, empty ? std::string(value) : "," + std::string(value));
            return out;
        }
        if (out[begin] != '{') {
            return out;
        }
        open = begin;
    }
    return out;
}

} // namespace vellarion
