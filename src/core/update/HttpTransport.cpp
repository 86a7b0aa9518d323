#include "core/update/HttpTransport.h"

#include <array>

namespace vellarion {

std::optional<std::string> fetchWholeBody(HttpTransport& transport, const HttpRequest& request) {
    const std::unique_ptr<HttpResponse> response = transport.get(request);
    if (response->status() < 200 || response->status() > 299) {
        return std::nullopt;
    }
    std::string body;
    std::array<char, 16384> block;
    while (const std::size_t got = response->read(block.data(), block.size())) {
        body.append(block.data(), got);
    }
    if (response->failed()) {
        return std::nullopt;
    }
    return body;
}

} // namespace vellarion
