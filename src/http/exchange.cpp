#include "http/exchange.h"

#include "http/CancelToken.h"
#include "text/cut.h"
#include "text/numbers.h"
#include "text/search.h"

namespace velmora {

namespace {

using Clock = std::chrono::steady_clock;

// The longest an exchange sleeps before it looks at the cancel token and the inactivity limits
// again; a cancelled exchange therefore ends within about this long.
constexpr int kPollMilliseconds = 20;

bool startsWithCaseless(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && curl_strnequal(text.data(), prefix.data(), prefix.size()) != 0;
}

std::string_view withoutLineBreak(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.remove_suffix(1);
    }
    return line;
}

class Exchange {
public:
    Exchange(CURL* easy, const IdleLimits& limits, bool followsRedirects)
        : easy_(easy), limits_(limits), followsRedirects_(followsRedirects) {
        curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Exchange::onBody);
        curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
        curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Exchange::onHeader);
        curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
        curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, &Exchange::onProgress);
        curl_easy_setopt(easy, CURLOPT_XFERINFODATA, this);
        curl_easy_setopt(easy, CURLOPT_PREREQFUNCTION, &Exchange::onRequestReady);
        curl_easy_setopt(easy, CURLOPT_PREREQDATA, this);
    }

    ExchangeResult run(CURLM* multi) {
        if (runCancelled()) {
            result_.cancelled = true;
            return std::move(result_);
        }
        if (curl_multi_add_handle(multi, easy_) != CURLM_OK) {
            result_.code = CURLE_FAILED_INIT;
            return std::move(result_);
        }
        for (;;) {
            int running = 0;
            if (curl_multi_perform(multi, &running) != CURLM_OK) {
                result_.code = CURLE_FAILED_INIT;
                break;
            }
            if (running == 0) {
                readOutcome(multi);
                break;
            }
            if (runCancelled()) {
                result_.cancelled = true;
                break;
            }
            if (idleTooLong()) {
                result_.stalled = true;
                break;
            }
            curl_multi_poll(multi, nullptr, 0, kPollMilliseconds, nullptr);
        }
        // Taking the handle out in the middle of a transfer closes its connection, so a half-read
        // answer is never picked up by the next exchange.
        curl_multi_remove_handle(multi, easy_);
        result_.headersFinal = blockComplete_ && !(blockIsHop_ && !result_.completed());
        return std::move(result_);
    }

private:
    static size_t onBody(char* data, size_t size, size_t count, void* self) {
        auto* exchange = static_cast<Exchange*>(self);
        exchange->result_.body.append(data, size * count);
        exchange->lastProgress_ = Clock::now();
        return size * count;
    }

    static size_t onHeader(char* data, size_t size, size_t count, void* self) {
        static_cast<Exchange*>(self)->takeHeaderLine(withoutLineBreak(std::string_view(data, size * count)));
        return size * count;
    }

    static int onProgress(void* self, curl_off_t, curl_off_t, curl_off_t uploadTotal, curl_off_t uploaded) {
        auto* exchange = static_cast<Exchange*>(self);
        if (uploaded != exchange->uploaded_) {
            exchange->uploaded_ = uploaded;
            exchange->lastProgress_ = Clock::now();
        }
        exchange->sending_ = uploaded < uploadTotal;
        return 0;
    }

    // Called once a connection stands and a request is about to go out (again for every
    // redirect hop): the inactivity limits count from here; connecting has its own time-out.
    static int onRequestReady(void* self, char*, char*, int, int) {
        auto* exchange = static_cast<Exchange*>(self);
        exchange->watching_ = true;
        exchange->uploaded_ = 0;
        exchange->lastProgress_ = Clock::now();
        return CURL_PREREQFUNC_OK;
    }

    void takeHeaderLine(std::string_view line) {
        lastProgress_ = Clock::now();
        if (startsWithCaseless(line, "HTTP/")) {
            // A new response begins: an interim answer, a redirect hop or the final one.
            result_.headerBlock.assign(line);
            result_.headerBlock += "\r\n";
            result_.body.clear();
            inBlock_ = true;
            blockComplete_ = false;
            hasLocation_ = false;
            const int space = findText(line, " ");
            status_ = space == -1 ? 0 : textToInt(textMid(line, space + 1, 3));
            return;
        }
        if (!inBlock_) {
            // Trailers after a chunked body are not part of the header block.
            return;
        }
        result_.headerBlock += line;
        result_.headerBlock += "\r\n";
        if (line.empty()) {
            inBlock_ = false;
            blockComplete_ = true;
            blockIsHop_ =
                status_ < 200 || (followsRedirects_ && status_ >= 300 && status_ < 400 && hasLocation_);
            return;
        }
        if (startsWithCaseless(line, "Location:")) {
            hasLocation_ = true;
        } else if (startsWithCaseless(line, "Set-Cookie:")) {
            const char* address = nullptr;
            curl_easy_getinfo(easy_, CURLINFO_EFFECTIVE_URL, &address);
            result_.setCookies.push_back({Text(line), address != nullptr ? Text(address) : Text()});
        }
    }

    bool idleTooLong() const {
        if (!watching_) {
            return false;
        }
        const std::chrono::milliseconds limit = sending_ ? limits_.sending : limits_.receiving;
        return limit.count() > 0 && Clock::now() - lastProgress_ > limit;
    }

    void readOutcome(CURLM* multi) {
        int left = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
            if (message->msg == CURLMSG_DONE && message->easy_handle == easy_) {
                result_.code = message->data.result;
            }
        }
    }

    CURL* easy_;
    IdleLimits limits_;
    bool followsRedirects_;
    ExchangeResult result_;
    bool inBlock_ = false;
    bool blockComplete_ = false;
    bool blockIsHop_ = false;
    bool hasLocation_ = false;
    int status_ = 0;
    bool watching_ = false;
    bool sending_ = false;
    curl_off_t uploaded_ = 0;
    Clock::time_point lastProgress_ = Clock::now();
};

} // namespace

bool runCancelled() {
    const std::shared_ptr<CancelToken>& token = currentCancelToken();
    return token != nullptr && token->isCancelled();
}

ExchangeResult runExchange(CURLM* multi, CURL* easy, const IdleLimits& limits, bool followsRedirects) {
    return Exchange(easy, limits, followsRedirects).run(multi);
}

Text escapeRequestTarget(std::string_view target) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    Text escaped;
    escaped.reserve(target.size());
    for (const char byte : target) {
        const auto value = static_cast<unsigned char>(byte);
        if (value <= 0x20 || value >= 0x7F) {
            escaped += '%';
            escaped += kHex[value >> 4];
            escaped += kHex[value & 0x0F];
        } else {
            escaped += byte;
        }
    }
    return escaped;
}

} // namespace velmora
