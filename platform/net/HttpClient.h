#pragma once
// The HTTP client: fetches one document on a background thread (libcurl) and hands the result
// or the failure to the main run loop. The servers it talks to may be hostile, so every fetch
// is bounded:
//   - addresses: https anywhere; http only to the loopback host (tests); file only inside the
//     game's resource folder (the bundled game list). Every redirect is checked the same way;
//   - at most 3 redirects, connect time-out 5 s, total time-out 15 s (all hops together), and
//     an abort when fewer than 1024 bytes a second arrive for 5 s;
//   - the body is counted as it arrives and the fetch stops at the size cap (256 KiB by
//     default; the image loader asks for 1 MiB);
//   - certificates and host names are checked.
// Nothing is ever passed to a shell.
//
// A fetch outliving the one who asked for it neither crashes nor delivers: give the owner's
// lifetime token (Object::lifetime()) or cancel the returned request. The callbacks then never
// run, and a fetch still in flight stops at its next progress tick.
//
//   HttpClient::shared().getJson(base + "index_ios.json", lifetime(),
//       [this](const Value& parsed) { showAppInfoWithParsedResponse(parsed); },
//       [](const HttpError&) {});
#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "platform/core/RunLoop.h"
#include "platform/foundation/Value.h"

struct HttpLimits {
    size_t maxBytes = 256 * 1024;
    int maxRedirects = 3;
    double connectTimeout = 5;
    double totalTimeout = 15;
    long lowSpeedBytesPerSecond = 1024;
    long lowSpeedSeconds = 5;  // whole seconds (libcurl's unit), at least 1
};

struct HttpError {
    enum class Kind {
        forbiddenAddress,  // not an address the rules allow (also a redirect to one)
        network,           // no connection, reset, DNS, certificate
        timedOut,          // connect or total time-out, or the low-speed rule
        tooLarge,          // the size cap was reached
        tooManyRedirects,
        httpStatus,        // answered with a status other than 2xx
        badContent,        // not JSON / not a picture the rules allow
        cancelled,
    };
    Kind kind = Kind::network;
    long status = 0;  // the HTTP status, when there was one
    std::string message;
};

struct HttpResponse {
    long status = 0;
    std::string body;
    std::string finalUrl;
};

// A fetch in flight. cancel() is safe from any thread, any number of times.
class HttpRequest {
public:
    void cancel() { cancelled_.store(true); }
    bool isCancelled() const { return cancelled_.load(); }

private:
    std::atomic<bool> cancelled_{false};
};

class HttpClient {
public:
    using ResponseHandler = std::function<void(const HttpResponse&)>;
    using JsonHandler = std::function<void(const Value& parsed)>;
    using FailureHandler = std::function<void(const HttpError&)>;

    static HttpClient& shared();
    HttpClient();
    ~HttpClient();  // cancels what is in flight and waits for the thread
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    // Fetches the document; exactly one of the handlers runs on the main loop, unless the owner
    // has gone or the request was cancelled by then (then neither does). `owner` may be empty
    // (no owner to outlive).
    std::shared_ptr<HttpRequest> get(const std::string& url, const HttpLimits& limits, std::weak_ptr<void> owner,
                                     ResponseHandler onSuccess, FailureHandler onFailure);
    // The same, then the body is parsed as JSON on the background thread (nesting deeper than
    // 64 levels is refused) and the parsed value delivered.
    std::shared_ptr<HttpRequest> getJson(const std::string& url, std::weak_ptr<void> owner, JsonHandler onSuccess,
                                         FailureHandler onFailure, const HttpLimits& limits = {});

    // Blocks until every fetch handed out so far has finished (tests).
    void waitUntilIdle();

    // ---- The rules, usable on their own (every fetch applies them)
    // An address the client may fetch: https://, http:// to 127.x.x.x, [::1] or localhost, or
    // file:// below the resource folder (RE resources, symbolic links resolved).
    static bool isAllowedAddress(const std::string& url);
    // Fetches on the calling thread (what the background thread runs). Fills `response` and
    // returns true, or fills `error`. `stop` is polled during the transfer.
    static bool fetchBlocking(const std::string& url, const HttpLimits& limits, const std::function<bool()>& stop,
                              HttpResponse* response, HttpError* error);
    // JSON text to a value: false (with error) for malformed text or nesting deeper than 64.
    static bool parseJson(const std::string& text, Value* out, HttpError* error);
    // Makes the owner check and the cancel check into one stop test for fetchBlocking.
    static std::function<bool()> stopTest(const std::shared_ptr<HttpRequest>& request, const std::weak_ptr<void>& owner);

    // The main-loop delivery shared by the client and the image loader: runs `deliver` on the
    // main loop unless the request is cancelled or the owner gone by then.
    static void deliverOnMain(std::shared_ptr<HttpRequest> request, std::weak_ptr<void> owner, std::function<void()> deliver);

    // Fetches on `worker`, turns the body into what to deliver (nothing, with the error filled,
    // for a body that is no good) and delivers it or the failure on the main loop.
    using BodyHandler = std::function<std::function<void()>(HttpResponse& response, HttpError* error)>;
    static std::shared_ptr<HttpRequest> fetchAndDeliver(BackgroundWorker& worker, std::shared_ptr<std::atomic<bool>> shuttingDown,
                                                        const std::string& url, const HttpLimits& limits, std::weak_ptr<void> owner,
                                                        BodyHandler onBody, FailureHandler onFailure);

private:
    BackgroundWorker worker_;
    std::shared_ptr<std::atomic<bool>> shuttingDown_;
};
