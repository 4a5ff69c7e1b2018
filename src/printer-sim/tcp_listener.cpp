#include "tcp_listener.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace tavrin::sim {

namespace {

constexpr int kWakeMs = 200;                     // how often the stop flag is looked at
constexpr std::chrono::milliseconds kSendLimit{3000};  // a client that takes no replies is dropped

}  // namespace

bool parseListenAddress(const std::string& text, ListenAddress& address, std::string& error) {
    const auto colon = text.rfind(':');
    const std::string portText = colon == std::string::npos ? text : text.substr(colon + 1);
    ListenAddress parsed;
    if (colon != std::string::npos) parsed.host = text.substr(0, colon);
    if (parsed.host.size() > 2 && parsed.host.front() == '[' && parsed.host.back() == ']')
        parsed.host = parsed.host.substr(1, parsed.host.size() - 2);
    char* end = nullptr;
    const long port = std::strtol(portText.c_str(), &end, 10);
    if (parsed.host.empty() || portText.empty() || *end != '\0' || port < 0 || port > 65535) {
        error = "--listen wants [HOST:]PORT, e.g. --listen 127.0.0.1:9100";
        return false;
    }
    parsed.port = static_cast<int>(port);
    address = parsed;
    return true;
}

TcpListener::~TcpListener() {
    stop();
    if (listenFd_ >= 0) ::close(listenFd_);
}

bool TcpListener::listen(const ListenAddress& address, std::string& error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV | AI_PASSIVE;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(address.port);
    if (const int failed = ::getaddrinfo(address.host.c_str(), service.c_str(), &hints, &found); failed != 0) {
        error = "cannot listen on " + address.host + ": " + ::gai_strerror(failed);
        return false;
    }
    error = "cannot listen on " + address.host + ":" + service;
    for (const addrinfo* a = found; a != nullptr; a = a->ai_next) {
        const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) continue;
        const int on = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        if (::bind(fd, a->ai_addr, a->ai_addrlen) != 0 || ::listen(fd, 4) != 0) {
            error += std::string(": ") + std::strerror(errno);
            ::close(fd);
            continue;
        }
        sockaddr_storage bound{};
        socklen_t size = sizeof bound;
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &size);
        port_ = ntohs(bound.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port
                                                  : reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
        host_ = a->ai_family == AF_INET6 ? "[" + address.host + "]" : address.host;
        listenFd_ = fd;
        break;
    }
    ::freeaddrinfo(found);
    if (listenFd_ < 0) return false;
    error.clear();
    return true;
}

std::string TcpListener::address() const { return "tcp://" + host_ + ":" + std::to_string(port_); }

void TcpListener::start(Receive receive, std::size_t chunk, std::chrono::milliseconds pause) {
    if (listenFd_ < 0 || thread_.joinable()) return;
    stop_ = false;
    thread_ = std::thread([this, receive = std::move(receive), chunk, pause] { serve(receive, chunk, pause); });
}

void TcpListener::stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    dropClient();
}

void TcpListener::dropClient() {
    if (clientFd_ >= 0) ::close(clientFd_);
    clientFd_ = -1;
}

void TcpListener::serve(Receive receive, std::size_t chunk, std::chrono::milliseconds pause) {
    std::vector<std::uint8_t> buffer(std::max<std::size_t>(chunk, 1));
    while (!stop_) {
        pollfd entry{clientFd_ >= 0 ? clientFd_ : listenFd_, POLLIN, 0};
        const int ready = ::poll(&entry, 1, kWakeMs);
        if (ready <= 0) continue;  // a time-out or a signal: look at the stop flag again
        if (clientFd_ < 0) {
            clientFd_ = ::accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            continue;
        }
        const ssize_t n = ::recv(clientFd_, buffer.data(), buffer.size(), 0);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n <= 0) {  // the client is done (or gone): take the next one
            dropClient();
            continue;
        }
        receive(std::span(buffer.data(), static_cast<std::size_t>(n)));
        if (pause.count() > 0) std::this_thread::sleep_for(pause);
    }
}

bool TcpListener::send(std::span<const std::uint8_t> bytes) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + kSendLimit;
    while (!bytes.empty() && clientFd_ >= 0) {
        const ssize_t n = ::send(clientFd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n > 0) {
            bytes = bytes.subspan(static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN && !stop_ && Clock::now() < deadline) {
            pollfd entry{clientFd_, POLLOUT, 0};
            ::poll(&entry, 1, kWakeMs);
            continue;
        }
        dropClient();
        return false;
    }
    return bytes.empty();
}

}  // namespace tavrin::sim
