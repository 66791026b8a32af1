#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace velmora {

/// One request as it arrived, byte for byte.
struct ReceivedRequest {
    int connection = 0; ///< 1-based number of the connection it came on, in accept order
    std::string head;   ///< request line and header lines, each ended by "\r\n", then "\r\n"
    std::string body;

    /// The first line, without its line break.
    std::string requestLine() const { return head.substr(0, head.find("\r\n")); }
};

/// What the server sends back for one request, and what it does afterwards.
struct Reply {
    enum class Then {
        KeepOpen, ///< wait for the next request on the connection
        Close,    ///< close the connection
        Stall,    ///< send nothing more and keep the connection open until the client leaves
    };
    std::string bytes;
    Then then = Then::KeepOpen;
};

/// A complete answer: status line "HTTP/1.1 " + status, the lines, Content-Length, the body.
Reply httpReply(std::string_view status, const std::vector<std::string>& headerLines, std::string_view body);

/// How a LoopbackServer talks.
struct ServerOptions {
    std::string greeting; ///< bytes sent as soon as a connection is accepted, before any request
    bool tls = false;     ///< speak TLS with a self-signed certificate that is expired and names another host
};

/// An HTTP/1.1 server on 127.0.0.1 for tests: records every request exactly as received and
/// answers with what the handler says. Each connection has its own thread.
class LoopbackServer {
public:
    using Handler = std::function<Reply(const ReceivedRequest&)>;

    explicit LoopbackServer(Handler handler, ServerOptions options = {});
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int port() const { return port_; }

    /// "http://" (or "https://") + host + ":" + port + target.
    std::string url(std::string_view target, std::string_view host = "127.0.0.1") const;

    /// The requests received so far, in arrival order.
    std::vector<ReceivedRequest> requests() const;

    /// The number of connections accepted so far.
    int connections() const;

    /// Waits until at least `count` requests have arrived; false when the wait ran out.
    bool waitForRequests(std::size_t count, std::chrono::milliseconds limit) const;

private:
    class Channel;
    struct TlsContext;

    void acceptLoop();
    void serve(int socket, int connection);
    void answer(Channel& channel, int connection);

    Handler handler_;
    ServerOptions options_;
    std::unique_ptr<TlsContext> tls_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread acceptor_;
    mutable std::mutex mutex_;
    mutable std::condition_variable arrived_;
    std::vector<ReceivedRequest> requests_;
    std::vector<std::thread> workers_;
    std::set<int> openSockets_;
    int connections_ = 0;
};

/// A port bound on 127.0.0.1 that nobody listens on: every connection to it is refused.
class RefusingPort {
public:
    RefusingPort();
    ~RefusingPort();
    RefusingPort(const RefusingPort&) = delete;
    RefusingPort& operator=(const RefusingPort&) = delete;

    int port() const { return port_; }

private:
    int socket_ = -1;
    int port_ = 0;
};

} // namespace velmora
