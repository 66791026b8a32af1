#pragma once

#include "market/HttpMessage.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

namespace velmora::market {

/// Called on the connection's own thread for every request; the second argument is the connection's id.
using HttpHandler = std::function<HttpReply(const HttpRequest&, int)>;

/// A small HTTP/1.1 server on 127.0.0.1: keep-alive, one thread per connection, and the delivery modes that
/// faulty answers need. Every wait also watches a stop signal, so stop() returns promptly even while
/// connections stall or drip.
class HttpServer {
public:
    explicit HttpServer(HttpHandler handler);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    /// Binds 127.0.0.1:port (0 picks a free port) and starts accepting; false when the port cannot be had.
    bool start(std::uint16_t port);

    /// Closes the listening socket and every connection, and waits for their threads.
    void stop();

    /// The bound port, 0 when not running.
    std::uint16_t port() const { return port_; }

private:
    struct Connection {
        std::thread thread;
        std::atomic<bool> finished{false};
    };

    void acceptLoop();
    void serve(int socket, int id);
    void reapFinished();

    HttpHandler handler_;
    int listenSocket_ = -1;
    int stopSignal_ = -1; // an eventfd that becomes readable, for good, when the server stops
    std::uint16_t port_ = 0;
    std::thread acceptThread_;
    std::mutex connectionsMutex_;
    std::list<std::unique_ptr<Connection>> connections_;
    int nextConnectionId_ = 0;
};

} // namespace velmora::market
