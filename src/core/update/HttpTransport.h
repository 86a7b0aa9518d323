#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

namespace vellarion {

// One GET request of the update check: a whole address ("https://host/path",
// "http://host:8080/path") and the credentials for the server, if any.
struct HttpRequest {
    std::string url;
    std::string userName;
    std::string password;
};

// The answer to one request, read block by block as it arrives.
class HttpResponse {
public:
    virtual ~HttpResponse() = default;

    // The HTTP status of the answer; 0 when no answer came (no connection, a
    // host that does not resolve, a refused request).
    virtual int status() const = 0;
    // The Content-Length header as the server wrote it, if it sent one.
    virtual std::optional<std::string> contentLength() const = 0;
    // Waits for the next bytes of the body and copies up to `size` of them
    // into `buffer`; 0 when the body has ended (or the transfer broke off).
    virtual std::size_t read(char* buffer, std::size_t size) = 0;
    // True when the transfer broke off rather than ended.
    virtual bool failed() const = 0;
    // Ends the transfer at once; a waiting read returns 0.
    virtual void abort() = 0;
};

// Sends GET requests that bypass every cache, with the user agent
// "TmxWebUpdate". Waiting for an answer keeps the application responsive.
class HttpTransport {
public:
    virtual ~HttpTransport() = default;
    // Sends the request and waits until the answer's headers have arrived or
    // the request failed (then the response's status is 0).
    virtual std::unique_ptr<HttpResponse> get(const HttpRequest& request) = 0;
};

// The whole body of a successful (2xx) answer, or nothing.
std::optional<std::string> fetchWholeBody(HttpTransport& transport, const HttpRequest& request);

} // namespace vellarion
