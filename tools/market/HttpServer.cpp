#include "market/HttpServer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <charconv>
#include <ctime>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace velmora::market {

namespace {

constexpr std::size_t maxHeaderBlock = 64 * 1024;
constexpr std::size_t maxBody = 64u << 20;
constexpr int idleTimeoutMs = 60'000;
constexpr int resetPauseMs = 50;

enum class Wait { Ready, Stopped, TimedOut };

// Waits for the socket (or, with socket -1, only for the time-out) unless the stop signal comes first.
Wait waitFor(int socket, short events, int stopSignal, int timeoutMs) {
    pollfd fds[2] = {{stopSignal, POLLIN, 0}, {socket, events, 0}};
    const nfds_t count = socket >= 0 ? 2 : 1;
    for (;;) {
        const int ready = poll(fds, count, timeoutMs);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0 || fds[0].revents != 0)
            return Wait::Stopped;
        return ready == 0 ? Wait::TimedOut : Wait::Ready;
    }
}

// Sleeps for the given time; false when the server stopped meanwhile.
bool pauseFor(int stopSignal, int ms) {
    return waitFor(-1, 0, stopSignal, ms) == Wait::TimedOut;
}

bool sendAll(int socket, std::string_view data, int stopSignal) {
    while (!data.empty()) {
        const ssize_t sent = send(socket, data.data(), data.size(), MSG_NOSIGNAL);
        if (sent > 0) {
            data.remove_prefix(static_cast<std::size_t>(sent));
        } else if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
            if (waitFor(socket, POLLOUT, stopSignal, -1) != Wait::Ready)
                return false;
        } else {
            return false;
        }
    }
    return true;
}

// Reads what the socket has into the buffer; false when the peer left, the wait timed out or the server
// stops.
bool receiveMore(int socket, std::string& buffer, int stopSignal) {
    for (;;) {
        if (waitFor(socket, POLLIN, stopSignal, idleTimeoutMs) != Wait::Ready)
            return false;
        char chunk[64 * 1024];
        const ssize_t got = recv(socket, chunk, sizeof chunk, 0);
        if (got > 0) {
            buffer.append(chunk, static_cast<std::size_t>(got));
            return true;
        }
        if (got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR))
            return false;
    }
}

// Holds a connection open without answering until the server stops or the client closes it.
void holdUntilGone(int socket, int stopSignal) {
    for (;;) {
        if (waitFor(socket, POLLIN, stopSignal, -1) != Wait::Ready)
            return;
        char chunk[4096];
        const ssize_t got = recv(socket, chunk, sizeof chunk, 0);
        if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR))
            return;
    }
}

std::string trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return std::string(text);
}

bool containsToken(std::string_view value, std::string_view token) {
    std::string lower(value);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower.find(token) != std::string::npos;
}

std::string httpDate() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    gmtime_r(&now, &parts);
    char text[64];
    std::strftime(text, sizeof text, "%a, %d %b %Y %H:%M:%S GMT", &parts);
    return text;
}

enum class ReadResult { Complete, Gone, HeadersTooLarge, BodyTooLarge, Malformed, Unsupported };

ReadResult readRequest(int socket, std::string& buffer, HttpRequest& request, int stopSignal) {
    std::size_t headerEnd;
    while ((headerEnd = buffer.find("\r\n\r\n")) == std::string::npos) {
        if (buffer.size() > maxHeaderBlock)
            return ReadResult::HeadersTooLarge;
        if (!receiveMore(socket, buffer, stopSignal))
            return ReadResult::Gone;
    }
    const std::string_view block(buffer.data(), headerEnd);
    std::size_t lineEnd = block.find("\r\n");
    const std::string_view requestLine = block.substr(0, lineEnd);
    const std::size_t firstSpace = requestLine.find(' ');
    const std::size_t lastSpace = requestLine.rfind(' ');
    if (firstSpace == std::string_view::npos || lastSpace == firstSpace)
        return ReadResult::Malformed;
    request.method = std::string(requestLine.substr(0, firstSpace));
    request.target = std::string(requestLine.substr(firstSpace + 1, lastSpace - firstSpace - 1));
    request.version = std::string(requestLine.substr(lastSpace + 1));
    while (lineEnd != std::string_view::npos) {
        const std::size_t start = lineEnd + 2;
        lineEnd = block.find("\r\n", start);
        const std::string_view line =
            block.substr(start, lineEnd == std::string_view::npos ? block.npos : lineEnd - start);
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos)
            return ReadResult::Malformed;
        request.headers.emplace_back(std::string(line.substr(0, colon)), trim(line.substr(colon + 1)));
    }
    std::size_t bodyLength = 0;
    const std::string lengthText = request.header("Content-Length");
    if (!lengthText.empty()) {
        const auto [end, error] =
            std::from_chars(lengthText.data(), lengthText.data() + lengthText.size(), bodyLength);
        if (error != std::errc() || end != lengthText.data() + lengthText.size())
            return ReadResult::Malformed;
        if (bodyLength > maxBody)
            return ReadResult::BodyTooLarge;
    }
    const std::string coding = request.header("Transfer-Encoding");
    if (!coding.empty() && !sameHeaderName(coding, "identity"))
        return ReadResult::Unsupported;
    const std::size_t bodyStart = headerEnd + 4;
    if (buffer.size() < bodyStart + bodyLength && containsToken(request.header("Expect"), "100-continue"))
        sendAll(socket, "HTTP/1.1 100 Continue\r\n\r\n", stopSignal);
    while (buffer.size() < bodyStart + bodyLength)
        if (!receiveMore(socket, buffer, stopSignal))
            return ReadResult::Gone;
    request.body = buffer.substr(bodyStart, bodyLength);
    buffer.erase(0, bodyStart + bodyLength);
    return ReadResult::Complete;
}

bool wantsKeepAlive(const HttpRequest& request) {
    const std::string connection = request.header("Connection");
    if (request.version == "HTTP/1.0")
        return containsToken(connection, "keep-alive");
    return !containsToken(connection, "close");
}

std::string responseHead(const HttpResponse& response, bool keepAlive) {
    std::string head = "HTTP/1.1 " + std::to_string(response.status) + " " + reasonPhrase(response.status) +
                       "\r\nServer: Tengine\r\nDate: " + httpDate() + "\r\n";
    for (const auto& [name, value] : response.headers)
        head += name + ": " + value + "\r\n";
    head += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
    head += keepAlive ? "Connection: keep-alive\r\n\r\n" : "Connection: close\r\n\r\n";
    return head;
}

void sendError(int socket, int status, int stopSignal) {
    HttpResponse response;
    response.status = status;
    response.headers.emplace_back("Content-Type", "text/html");
    response.body =
        "<html><body><h1>" + std::to_string(status) + " " + reasonPhrase(status) + "</h1></body></html>";
    sendAll(socket, responseHead(response, false) + response.body, stopSignal);
}

// A reset instead of an orderly close: the client sees its read fail mid-body.
void resetConnection(int socket) {
    linger option{1, 0};
    setsockopt(socket, SOL_SOCKET, SO_LINGER, &option, sizeof option);
}

} // namespace

bool sameHeaderName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

std::string HttpRequest::header(std::string_view name) const {
    for (const auto& [key, value] : headers)
        if (sameHeaderName(key, name))
            return value;
    return {};
}

const char* reasonPhrase(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 302:
        return "Found";
    case 400:
        return "Bad Request";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 413:
        return "Payload Too Large";
    case 431:
        return "Request Header Fields Too Large";
    case 500:
        return "Internal Server Error";
    case 501:
        return "Not Implemented";
    default:
        return "Unknown";
    }
}

HttpServer::HttpServer(HttpHandler handler) : handler_(std::move(handler)) {}

HttpServer::~HttpServer() {
    stop();
}

bool HttpServer::start(std::uint16_t port) {
    if (listenSocket_ >= 0)
        return true;
    listenSocket_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (listenSocket_ < 0)
        return false;
    const int on = 1;
    setsockopt(listenSocket_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(listenSocket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listenSocket_, 128) != 0 ||
        getsockname(listenSocket_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        close(listenSocket_);
        listenSocket_ = -1;
        return false;
    }
    stopSignal_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (stopSignal_ < 0) {
        close(listenSocket_);
        listenSocket_ = -1;
        return false;
    }
    port_ = ntohs(address.sin_port);
    acceptThread_ = std::thread([this] { acceptLoop(); });
    return true;
}

void HttpServer::stop() {
    if (listenSocket_ < 0)
        return;
    const std::uint64_t one = 1;
    if (write(stopSignal_, &one, sizeof one) != sizeof one)
        return; // an eventfd write of 8 bytes cannot fail short of a broken descriptor
    acceptThread_.join();
    {
        std::lock_guard lock(connectionsMutex_);
        for (auto& connection : connections_)
            connection->thread.join();
        connections_.clear();
    }
    close(listenSocket_);
    close(stopSignal_);
    listenSocket_ = -1;
    stopSignal_ = -1;
    port_ = 0;
}

void HttpServer::reapFinished() {
    std::lock_guard lock(connectionsMutex_);
    for (auto it = connections_.begin(); it != connections_.end();) {
        if ((*it)->finished) {
            (*it)->thread.join();
            it = connections_.erase(it);
        } else {
            ++it;
        }
    }
}

void HttpServer::acceptLoop() {
    for (;;) {
        if (waitFor(listenSocket_, POLLIN, stopSignal_, -1) != Wait::Ready)
            return;
        const int client = accept4(listenSocket_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (client < 0) {
            // Out of descriptors or the like: let it pass rather than spin on a listening socket that stays
            // ready.
            if (errno != EAGAIN && errno != EINTR && errno != ECONNABORTED && !pauseFor(stopSignal_, 10))
                return;
            continue;
        }
        const int on = 1;
        setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        reapFinished();
        auto connection = std::make_unique<Connection>();
        Connection* raw = connection.get();
        const int id = ++nextConnectionId_;
        std::lock_guard lock(connectionsMutex_);
        raw->thread = std::thread([this, raw, client, id] {
            serve(client, id);
            close(client);
            raw->finished = true;
        });
        connections_.push_back(std::move(connection));
    }
}

void HttpServer::serve(int socket, int id) {
    std::string buffer;
    for (;;) {
        HttpRequest request;
        switch (readRequest(socket, buffer, request, stopSignal_)) {
        case ReadResult::Complete:
            break;
        case ReadResult::Gone:
            return;
        case ReadResult::HeadersTooLarge:
            sendError(socket, 431, stopSignal_);
            return;
        case ReadResult::BodyTooLarge:
            sendError(socket, 413, stopSignal_);
            return;
        case ReadResult::Malformed:
            sendError(socket, 400, stopSignal_);
            return;
        case ReadResult::Unsupported:
            sendError(socket, 501, stopSignal_);
            return;
        }
        const HttpReply reply = handler_(request, id);
        if (reply.delayMs > 0 && !pauseFor(stopSignal_, reply.delayMs))
            return;
        const bool keepAlive = wantsKeepAlive(request);
        const std::string head = responseHead(reply.response, keepAlive);
        const std::string_view body = request.method == "HEAD" ? std::string_view() : reply.response.body;
        switch (reply.delivery) {
        case Delivery::Whole:
            if (!sendAll(socket, head + std::string(body), stopSignal_))
                return;
            break;
        case Delivery::Stall:
            holdUntilGone(socket, stopSignal_);
            return;
        case Delivery::Drip:
            if (!sendAll(socket, head, stopSignal_))
                return;
            for (std::size_t i = 0; i < body.size(); ++i)
                if ((i > 0 && !pauseFor(stopSignal_, reply.dripIntervalMs)) ||
                    !sendAll(socket, body.substr(i, 1), stopSignal_))
                    return;
            break;
        case Delivery::ResetMidBody:
            // A short pause before the reset lets the client read the part that was sent.
            if (sendAll(socket, head + std::string(body.substr(0, body.size() / 2)), stopSignal_) &&
                pauseFor(stopSignal_, resetPauseMs))
                resetConnection(socket);
            return;
        }
        if (!keepAlive)
            return;
    }
}

} // namespace velmora::market
