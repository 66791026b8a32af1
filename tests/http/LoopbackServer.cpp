#include "LoopbackServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <stdexcept>

namespace velmora {

namespace {

int boundSocket(int& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        throw std::runtime_error("socket");
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof(address);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(fd);
        throw std::runtime_error("bind");
    }
    port = ntohs(address.sin_port);
    return fd;
}

std::size_t contentLength(const std::string& head) {
    std::string lowered = head;
    std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const std::size_t at = lowered.find("\r\ncontent-length:");
    if (at == std::string::npos) {
        return 0;
    }
    return std::strtoul(head.c_str() + at + 17, nullptr, 10);
}

template <auto Free> struct FreeWith {
    template <typename T> void operator()(T* object) const { Free(object); }
};

} // namespace

// The server's TLS identity: a key and a self-signed certificate made for the test run, issued
// for another name and expired yesterday, so a client checking certificates refuses it.
struct LoopbackServer::TlsContext {
    TlsContext() {
        const std::unique_ptr<EVP_PKEY, FreeWith<EVP_PKEY_free>> key(EVP_EC_gen("P-256"));
        const std::unique_ptr<X509, FreeWith<X509_free>> certificate(X509_new());
        if (!key || !certificate) {
            throw std::runtime_error("tls key");
        }
        X509_set_version(certificate.get(), 2);
        ASN1_INTEGER_set(X509_get_serialNumber(certificate.get()), 1);
        X509_gmtime_adj(X509_getm_notBefore(certificate.get()), -2 * 86400);
        X509_gmtime_adj(X509_getm_notAfter(certificate.get()), -86400);
        X509_set_pubkey(certificate.get(), key.get());
        X509_NAME* name = X509_get_subject_name(certificate.get());
        X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                                   reinterpret_cast<const unsigned char*>("elsewhere.test"), -1, -1, 0);
        X509_set_issuer_name(certificate.get(), name);
        context.reset(SSL_CTX_new(TLS_server_method()));
        if (X509_sign(certificate.get(), key.get(), EVP_sha256()) == 0 || !context ||
            SSL_CTX_use_certificate(context.get(), certificate.get()) != 1 ||
            SSL_CTX_use_PrivateKey(context.get(), key.get()) != 1) {
            throw std::runtime_error("tls context");
        }
    }

    std::unique_ptr<SSL_CTX, FreeWith<SSL_CTX_free>> context;
};

// One accepted connection, plain or TLS.
class LoopbackServer::Channel {
public:
    Channel(int socket, SSL_CTX* tls) : socket_(socket) {
        if (tls != nullptr) {
            ssl_.reset(SSL_new(tls));
            if (!ssl_ || SSL_set_fd(ssl_.get(), socket) != 1 || SSL_accept(ssl_.get()) != 1) {
                ERR_clear_error();
                broken_ = true;
            }
        }
    }

    bool usable() const { return !broken_; }

    // Up to `size` bytes; 0 or less when the peer left or the connection broke.
    long receive(char* buffer, std::size_t size) {
        if (ssl_) {
            const int got = SSL_read(ssl_.get(), buffer, static_cast<int>(size));
            if (got <= 0) {
                ERR_clear_error();
            }
            return got;
        }
        return ::recv(socket_, buffer, size, 0);
    }

    bool sendAll(std::string_view bytes) {
        while (!bytes.empty()) {
            const long sent = ssl_ ? SSL_write(ssl_.get(), bytes.data(), static_cast<int>(bytes.size()))
                                   : ::send(socket_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (sent <= 0) {
                ERR_clear_error();
                return false;
            }
            bytes.remove_prefix(static_cast<std::size_t>(sent));
        }
        return true;
    }

    // Reads one request: the head up to its blank line, then Content-Length bytes of body.
    bool readRequest(std::string& pending, ReceivedRequest& request) {
        char buffer[16384];
        std::size_t headEnd = std::string::npos;
        while ((headEnd = pending.find("\r\n\r\n")) == std::string::npos) {
            const long got = receive(buffer, sizeof(buffer));
            if (got <= 0) {
                return false;
            }
            pending.append(buffer, static_cast<std::size_t>(got));
        }
        request.head = pending.substr(0, headEnd + 4);
        pending.erase(0, headEnd + 4);
        const std::size_t length = contentLength(request.head);
        while (pending.size() < length) {
            const long got = receive(buffer, sizeof(buffer));
            if (got <= 0) {
                return false;
            }
            pending.append(buffer, static_cast<std::size_t>(got));
        }
        request.body = pending.substr(0, length);
        pending.erase(0, length);
        return true;
    }

    // Keeps the connection silent until the client leaves or the server stops.
    void holdUntilClosed() {
        char buffer[4096];
        while (receive(buffer, sizeof(buffer)) > 0) {
        }
    }

private:
    int socket_;
    std::unique_ptr<SSL, FreeWith<SSL_free>> ssl_;
    bool broken_ = false;
};

Reply httpReply(std::string_view status, const std::vector<std::string>& headerLines, std::string_view body) {
    Reply reply;
    reply.bytes = "HTTP/1.1 ";
    reply.bytes += status;
    reply.bytes += "\r\n";
    for (const std::string& line : headerLines) {
        reply.bytes += line;
        reply.bytes += "\r\n";
    }
    reply.bytes += "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
    reply.bytes += body;
    return reply;
}

LoopbackServer::LoopbackServer(Handler handler, ServerOptions options)
    : handler_(std::move(handler)), options_(std::move(options)) {
    if (options_.tls) {
        tls_ = std::make_unique<TlsContext>();
    }
    listener_ = boundSocket(port_);
    if (::listen(listener_, 64) != 0) {
        ::close(listener_);
        throw std::runtime_error("listen");
    }
    acceptor_ = std::thread([this] { acceptLoop(); });
}

LoopbackServer::~LoopbackServer() {
    stopping_ = true;
    // Shutting a socket down wakes the thread blocked on it.
    ::shutdown(listener_, SHUT_RDWR);
    acceptor_.join();
    ::close(listener_);
    {
        std::lock_guard lock(mutex_);
        for (const int socket : openSockets_) {
            ::shutdown(socket, SHUT_RDWR);
        }
    }
    for (std::thread& worker : workers_) {
        worker.join();
    }
}

std::string LoopbackServer::url(std::string_view target, std::string_view host) const {
    return (options_.tls ? "https://" : "http://") + std::string(host) + ":" + std::to_string(port_) +
           std::string(target);
}

std::vector<ReceivedRequest> LoopbackServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

int LoopbackServer::connections() const {
    std::lock_guard lock(mutex_);
    return connections_;
}

bool LoopbackServer::waitForRequests(std::size_t count, std::chrono::milliseconds limit) const {
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, limit, [&] { return requests_.size() >= count; });
}

void LoopbackServer::acceptLoop() {
    for (;;) {
        const int socket = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (socket < 0) {
            if (stopping_) {
                return;
            }
            continue;
        }
        const int on = 1;
        ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &on, sizeof(on));
        std::lock_guard lock(mutex_);
        if (stopping_) {
            ::close(socket);
            return;
        }
        openSockets_.insert(socket);
        const int connection = ++connections_;
        workers_.emplace_back([this, socket, connection] { serve(socket, connection); });
    }
}

void LoopbackServer::serve(int socket, int connection) {
    {
        Channel channel(socket, tls_ ? tls_->context.get() : nullptr);
        if (channel.usable() && channel.sendAll(options_.greeting)) {
            answer(channel, connection);
        }
    }
    std::lock_guard lock(mutex_);
    openSockets_.erase(socket);
    ::close(socket);
}

void LoopbackServer::answer(Channel& channel, int connection) {
    std::string pending;
    for (;;) {
        ReceivedRequest request;
        request.connection = connection;
        if (!channel.readRequest(pending, request)) {
            return;
        }
        {
            std::lock_guard lock(mutex_);
            requests_.push_back(request);
        }
        arrived_.notify_all();
        const Reply reply = handler_(request);
        if (!channel.sendAll(reply.bytes) || reply.then == Reply::Then::Close) {
            return;
        }
        if (reply.then == Reply::Then::Stall) {
            channel.holdUntilClosed();
            return;
        }
    }
}

RefusingPort::RefusingPort() : socket_(boundSocket(port_)) {}

RefusingPort::~RefusingPort() {
    ::close(socket_);
}

} // namespace velmora
