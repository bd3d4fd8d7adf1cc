#include "platform/net/HttpClient.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <nlohmann/json.hpp>

#include "platform/core/SharedLibrary.h"
#include "platform/foundation/DataFile.h"
#include "platform/foundation/ValueJson.h"
#include "platform/resources/ResourceBundle.h"

namespace {

constexpr int kMaxJsonDepth = 64;

// libcurl, opened and set up on the first address read or fetch (not at start); nullptr when the
// machine has none.
struct Curl {
    decltype(&curl_global_init) globalInit = nullptr;
    decltype(&curl_url) url = nullptr;
    decltype(&curl_url_set) urlSet = nullptr;
    decltype(&curl_url_get) urlGet = nullptr;
    decltype(&curl_url_cleanup) urlCleanup = nullptr;
    decltype(&curl_free) free = nullptr;
    decltype(&curl_easy_init) easyInit = nullptr;
    decltype(&curl_easy_setopt) easySetopt = nullptr;
    decltype(&curl_easy_perform) easyPerform = nullptr;
    decltype(&curl_easy_getinfo) easyGetinfo = nullptr;
    decltype(&curl_easy_cleanup) easyCleanup = nullptr;
    decltype(&curl_easy_strerror) easyStrerror = nullptr;

    static const Curl* get() {
        return openFunctionsOnce<Curl>("libcurl.so.4", [](const SharedLibrary& library, Curl& api) {
            const bool all = bindFunctions(
                library, std::pair{&api.globalInit, "curl_global_init"}, std::pair{&api.url, "curl_url"},
                std::pair{&api.urlSet, "curl_url_set"}, std::pair{&api.urlGet, "curl_url_get"},
                std::pair{&api.urlCleanup, "curl_url_cleanup"}, std::pair{&api.free, "curl_free"},
                std::pair{&api.easyInit, "curl_easy_init"}, std::pair{&api.easySetopt, "curl_easy_setopt"},
                std::pair{&api.easyPerform, "curl_easy_perform"}, std::pair{&api.easyGetinfo, "curl_easy_getinfo"},
                std::pair{&api.easyCleanup, "curl_easy_cleanup"}, std::pair{&api.easyStrerror, "curl_easy_strerror"});
            return all && api.globalInit(CURL_GLOBAL_DEFAULT) == CURLE_OK;
        });
    }
};

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// The parts of an address libcurl sees, or false when it cannot be read.
struct Parts {
    std::string scheme, host, path;
};
bool splitAddress(const std::string& url, Parts* parts) {
    const Curl* curl = Curl::get();
    if (!curl) return false;
    CURLU* h = curl->url();
    if (!h) return false;
    bool ok = curl->urlSet(h, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK;
    auto part = [&](CURLUPart what, std::string* out, bool required) {
        char* text = nullptr;
        CURLUcode rc = curl->urlGet(h, what, &text, what == CURLUPART_PATH ? CURLU_URLDECODE : 0);
        if (rc == CURLUE_OK && text) *out = text;
        else if (required) ok = false;
        curl->free(text);
    };
    if (ok) part(CURLUPART_SCHEME, &parts->scheme, true);
    if (ok) part(CURLUPART_HOST, &parts->host, false);
    if (ok) part(CURLUPART_PATH, &parts->path, false);
    curl->urlCleanup(h);
    parts->scheme = lower(parts->scheme);
    parts->host = lower(parts->host);
    return ok;
}

bool isLoopbackHost(const std::string& host) {
    if (host == "localhost" || host == "[::1]" || host == "::1") return true;
    // 127.0.0.0/8, written as four decimal numbers.
    if (host.rfind("127.", 0) != 0) return false;
    int dots = 0;
    for (char c : host) {
        if (c == '.') ++dots;
        else if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    }
    return dots == 3;
}

bool insideResourceFolder(const std::string& path) {
    namespace fs = std::filesystem;
    const std::string rootText = ResourceBundle::mainBundle().rootDirectory();
    if (rootText.empty() || path.empty()) return false;
    std::error_code ec;
    const fs::path root = fs::weakly_canonical(rootText, ec);
    if (ec) return false;
    const fs::path target = fs::weakly_canonical(path, ec);
    if (ec) return false;
    auto r = root.begin(), t = target.begin();
    for (; r != root.end(); ++r, ++t)
        if (t == target.end() || *r != *t) return false;
    return true;
}

struct Transfer {
    std::string* body;
    size_t maxBytes;
    bool tooLarge = false;
    const std::function<bool()>* stop;
    bool stopped = false;
};

size_t writeBody(char* data, size_t size, size_t count, void* user) {
    auto* t = static_cast<Transfer*>(user);
    const size_t n = size * count;
    if (t->body->size() + n > t->maxBytes) {
        t->tooLarge = true;
        return 0;  // libcurl stops with a write error
    }
    t->body->append(data, n);
    return n;
}

int progress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto* t = static_cast<Transfer*>(user);
    if (*t->stop && (*t->stop)()) {
        t->stopped = true;
        return 1;
    }
    return 0;
}

HttpError makeError(HttpError::Kind kind, std::string message, long status = 0) {
    HttpError e;
    e.kind = kind;
    e.status = status;
    e.message = std::move(message);
    return e;
}

}  // namespace

HttpClient& HttpClient::shared() {
    static HttpClient client;
    return client;
}

HttpClient::HttpClient() : shuttingDown_(std::make_shared<std::atomic<bool>>(false)) {}

HttpClient::~HttpClient() { shuttingDown_->store(true); }

bool HttpClient::isAllowedAddress(const std::string& url) {
    for (char c : url)
        if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7f) return false;
    Parts p;
    if (!splitAddress(url, &p)) return false;
    if (p.scheme == "https") return !p.host.empty();
    if (p.scheme == "http") return isLoopbackHost(p.host);
    if (p.scheme == "file") return (p.host.empty() || p.host == "localhost") && insideResourceFolder(p.path);
    return false;
}

std::function<bool()> HttpClient::stopTest(const std::shared_ptr<HttpRequest>& request, const std::weak_ptr<void>& owner) {
    const bool owned = !isUnsetOwner(owner);
    return [request, owner, owned] { return request->isCancelled() || (owned && owner.expired()); };
}

bool HttpClient::fetchBlocking(const std::string& firstUrl, const HttpLimits& limits, const std::function<bool()>& stop,
                               HttpResponse* response, HttpError* error) {
    const Curl* api = Curl::get();
    if (!api) {
        *error = makeError(HttpError::Kind::network, "libcurl is not installed");
        return false;
    }
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(static_cast<long>(limits.totalTimeout * 1000));
    std::string url = firstUrl;
    for (int hop = 0;; ++hop) {
        if (stop && stop()) {
            *error = makeError(HttpError::Kind::cancelled, "cancelled");
            return false;
        }
        if (!isAllowedAddress(url)) {
            *error = makeError(HttpError::Kind::forbiddenAddress, "address not allowed: " + url.substr(0, 200));
            return false;
        }
        const long remainingMs = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (remainingMs <= 0) {
            *error = makeError(HttpError::Kind::timedOut, "total time-out");
            return false;
        }
        CURL* curl = api->easyInit();
        if (!curl) {
            *error = makeError(HttpError::Kind::network, "no transfer handle");
            return false;
        }
        std::string body;
        Transfer t{&body, limits.maxBytes, false, &stop};
        api->easySetopt(curl, CURLOPT_URL, url.c_str());
        api->easySetopt(curl, CURLOPT_PROTOCOLS_STR, "https,http,file");
        api->easySetopt(curl, CURLOPT_FOLLOWLOCATION, 0L);  // every hop is checked here
        api->easySetopt(curl, CURLOPT_NOSIGNAL, 1L);
        api->easySetopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits.connectTimeout * 1000));
        api->easySetopt(curl, CURLOPT_TIMEOUT_MS, remainingMs);
        api->easySetopt(curl, CURLOPT_LOW_SPEED_LIMIT, limits.lowSpeedBytesPerSecond);
        api->easySetopt(curl, CURLOPT_LOW_SPEED_TIME, std::max(1L, limits.lowSpeedSeconds));
        api->easySetopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBytes));
        api->easySetopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
        api->easySetopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
        api->easySetopt(curl, CURLOPT_USERAGENT, "RoyalExpedition/1.0");
        api->easySetopt(curl, CURLOPT_WRITEFUNCTION, writeBody);
        api->easySetopt(curl, CURLOPT_WRITEDATA, &t);
        api->easySetopt(curl, CURLOPT_NOPROGRESS, 0L);
        api->easySetopt(curl, CURLOPT_XFERINFOFUNCTION, progress);
        api->easySetopt(curl, CURLOPT_XFERINFODATA, &t);
        const CURLcode rc = api->easyPerform(curl);
        long status = 0;
        api->easyGetinfo(curl, CURLINFO_RESPONSE_CODE, &status);
        char* location = nullptr;
        api->easyGetinfo(curl, CURLINFO_REDIRECT_URL, &location);
        const std::string next = location ? location : "";
        api->easyCleanup(curl);

        if (t.stopped || (stop && stop())) {
            *error = makeError(HttpError::Kind::cancelled, "cancelled");
            return false;
        }
        if (t.tooLarge || rc == CURLE_FILESIZE_EXCEEDED) {
            *error = makeError(HttpError::Kind::tooLarge, "larger than " + std::to_string(limits.maxBytes) + " bytes");
            return false;
        }
        if (rc == CURLE_OPERATION_TIMEDOUT) {
            *error = makeError(HttpError::Kind::timedOut, api->easyStrerror(rc));
            return false;
        }
        if (rc == CURLE_UNSUPPORTED_PROTOCOL) {
            *error = makeError(HttpError::Kind::forbiddenAddress, api->easyStrerror(rc));
            return false;
        }
        if (rc != CURLE_OK) {
            *error = makeError(HttpError::Kind::network, api->easyStrerror(rc));
            return false;
        }
        if (status >= 300 && status < 400 && !next.empty()) {
            if (hop >= limits.maxRedirects) {
                *error = makeError(HttpError::Kind::tooManyRedirects, "more than " + std::to_string(limits.maxRedirects) + " redirects", status);
                return false;
            }
            url = next;
            continue;
        }
        // file:// answers without a status.
        if (status != 0 && (status < 200 || status >= 300)) {
            *error = makeError(HttpError::Kind::httpStatus, "status " + std::to_string(status), status);
            return false;
        }
        response->status = status;
        response->body = std::move(body);
        response->finalUrl = url;
        return true;
    }
}

bool HttpClient::parseJson(const std::string& text, Value* out, HttpError* error) {
    // The depth is measured before parsing, so a hostile "[[[[..." costs no deep recursion.
    std::string problem;
    std::optional<nlohmann::json> json = DataFile::parseJson(text, &problem, kMaxJsonDepth);
    if (!json) {
        *error = makeError(HttpError::Kind::badContent, problem);
        return false;
    }
    *out = valueFromJson(*json);
    return true;
}

void HttpClient::deliverOnMain(std::shared_ptr<HttpRequest> request, std::weak_ptr<void> owner, std::function<void()> deliver) {
    auto stop = stopTest(request, owner);
    RunLoop::main().post([stop = std::move(stop), deliver = std::move(deliver)] {
        if (!stop()) deliver();
    });
}

std::shared_ptr<HttpRequest> HttpClient::fetchAndDeliver(BackgroundWorker& worker, std::shared_ptr<std::atomic<bool>> shuttingDown,
                                                         const std::string& url, const HttpLimits& limits, std::weak_ptr<void> owner,
                                                         BodyHandler onBody, FailureHandler onFailure) {
    auto request = std::make_shared<HttpRequest>();
    worker.dispatch([=] {
        auto ownerStop = stopTest(request, owner);
        auto stop = [&] { return shuttingDown->load() || ownerStop(); };
        HttpResponse response;
        HttpError error;
        std::function<void()> deliver;
        if (fetchBlocking(url, limits, stop, &response, &error)) deliver = onBody(response, &error);
        if (deliver) {
            deliverOnMain(request, owner, std::move(deliver));
        } else if (error.kind != HttpError::Kind::cancelled) {
            deliverOnMain(request, owner, [onFailure, error] {
                if (onFailure) onFailure(error);
            });
        }
    });
    return request;
}

std::shared_ptr<HttpRequest> HttpClient::get(const std::string& url, const HttpLimits& limits, std::weak_ptr<void> owner,
                                             ResponseHandler onSuccess, FailureHandler onFailure) {
    return fetchAndDeliver(worker_, shuttingDown_, url, limits, std::move(owner), [onSuccess](HttpResponse& response, HttpError*) {
        return [onSuccess, response = std::move(response)] {
            if (onSuccess) onSuccess(response);
        };
    }, std::move(onFailure));
}

std::shared_ptr<HttpRequest> HttpClient::getJson(const std::string& url, std::weak_ptr<void> owner, JsonHandler onSuccess,
                                                 FailureHandler onFailure, const HttpLimits& limits) {
    return fetchAndDeliver(worker_, shuttingDown_, url, limits, std::move(owner), [onSuccess](HttpResponse& response, HttpError* error) {
        Value parsed;
        if (!parseJson(response.body, &parsed, error)) return std::function<void()>();
        return std::function<void()>([onSuccess, parsed] {
            if (onSuccess) onSuccess(parsed);
        });
    }, std::move(onFailure));
}

void HttpClient::waitUntilIdle() { worker_.waitUntilIdle(); }
