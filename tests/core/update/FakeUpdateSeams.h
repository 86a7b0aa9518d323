#pragma once

#include "core/update/mxWebUpdate.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace vellarion::test {

// What the fake server answers for one address.
struct FakeAnswer {
    int status = 200;
    std::string body;
    // The Content-Length header: the body's length unless told otherwise.
    std::optional<std::string> contentLength;
    bool announceLength = true;
    bool breakOff = false; // the transfer fails after the body
};

// A scripted transport: answers by whole address, records every request.
// An address it has no answer for is a refused connection (status 0).
class FakeTransport : public HttpTransport {
public:
    std::map<std::string, FakeAnswer> answers;
    std::vector<HttpRequest> requests;

    void page(const std::string& url, const std::string& body) {
        answers[url] = FakeAnswer{};
        answers[url].body = body;
    }

    std::vector<std::string> urls() const {
        std::vector<std::string> out;
        for (const HttpRequest& r : requests) {
            out.push_back(r.url);
        }
        return out;
    }

    std::unique_ptr<HttpResponse> get(const HttpRequest& request) override {
        requests.push_back(request);
        const auto it = answers.find(request.url);
        if (it == answers.end()) {
            return std::make_unique<Response>(FakeAnswer{0, {}, {}, false, false});
        }
        return std::make_unique<Response>(it->second);
    }

private:
    class Response : public HttpResponse {
    public:
        explicit Response(FakeAnswer a) : answer_(std::move(a)) {}
        int status() const override { return answer_.status; }
        std::optional<std::string> contentLength() const override {
            if (answer_.contentLength) {
                return answer_.contentLength;
            }
            if (!answer_.announceLength || answer_.status == 0) {
                return std::nullopt;
            }
            return std::to_string(answer_.body.size());
        }
        std::size_t read(char* buffer, std::size_t size) override {
            if (aborted_) {
                return 0;
            }
            const std::size_t n = std::min(size, answer_.body.size() - offset_);
            std::memcpy(buffer, answer_.body.data() + offset_, n);
            offset_ += n;
            return n;
        }
        bool failed() const override { return answer_.breakOff || aborted_; }
        void abort() override { aborted_ = true; }

    private:
        FakeAnswer answer_;
        std::size_t offset_ = 0;
        bool aborted_ = false;
    };
};

// The information window: records what it was asked to show, answers as told.
struct FakeInfoWindow : UpdateInfoWindow {
    struct Log {
        int created = 0;
        std::vector<std::string> shown; // the addresses, one per showing
        std::string ok, cancel;
        bool answer = true;
    };
    explicit FakeInfoWindow(Log& log) : log_(log) { ++log_.created; }
    void setButtonCaptions(const std::string& ok, const std::string& cancel) override {
        log_.ok = ok;
        log_.cancel = cancel;
    }
    void Navigate(const HttpRequest& page) override { log_.shown.push_back(page.url); }
    bool showModal() override { return log_.answer; }
    Log& log_;
};

// The application around the component: never starts anything for real.
class FakeHost : public UpdateHost {
public:
    struct Started {
        std::string file;
        std::string parameters;
    };
    std::vector<Started> started;
    bool startSucceeds = true;
    int terminations = 0;
    int pumps = 0;
    std::string temp;
    FakeInfoWindow::Log info;
    std::function<void()> onPump;

    void processMessages() override {
        ++pumps;
        if (onPump) {
            onPump();
        }
    }
    bool execute(const std::string& file, const std::string& parameters) override {
        started.push_back({file, parameters});
        return startSucceeds;
    }
    void terminate() override { ++terminations; }
    std::unique_ptr<UpdateInfoWindow> createInfoWindow() override {
        return std::make_unique<FakeInfoWindow>(info);
    }
    std::string tempFolder() override { return temp; }
};

} // namespace vellarion::test
