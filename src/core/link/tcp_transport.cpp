#include "link/tcp_transport.h"

#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <memory>

namespace tavrin {

namespace {

constexpr std::string_view kScheme = "tcp://";

bool startsWithScheme(std::string_view device) {
    if (device.size() < kScheme.size()) return false;
    for (std::size_t i = 0; i < kScheme.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(device[i])) != kScheme[i]) return false;
    return true;
}

std::optional<int> portNumber(std::string_view text) {
    if (text.empty() || text.size() > 5) return std::nullopt;
    int port = 0;
    for (const char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
        port = port * 10 + (c - '0');
    }
    if (port < 1 || port > 65535) return std::nullopt;
    return port;
}

// Connects one address within the time left; the socket is non-blocking from the start.
int connectWithin(const addrinfo& address, std::chrono::steady_clock::time_point deadline) {
    const int fd = ::socket(address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, address.ai_protocol);
    if (fd < 0) return -1;
    int result = ::connect(fd, address.ai_addr, address.ai_addrlen);
    if (result != 0 && (errno == EINPROGRESS || errno == EINTR)) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        int error = ETIMEDOUT;
        socklen_t size = sizeof error;
        if (left.count() > 0 && waitForDescriptor(fd, POLLOUT, left) &&
            ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
            error = errno;
        result = error == 0 ? 0 : -1;
    }
    if (result != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

std::optional<NetworkAddress> parseNetworkDevice(std::string_view device) {
    if (!startsWithScheme(device)) return std::nullopt;
    std::string_view rest = device.substr(kScheme.size());
    NetworkAddress address;
    std::optional<std::string_view> portText;
    if (rest.starts_with('[')) {
        // Only a bracketed IPv6 address may carry colons.
        const auto close = rest.find(']');
        if (close == std::string_view::npos) return std::nullopt;
        address.host = rest.substr(1, close - 1);
        rest.remove_prefix(close + 1);
        if (!rest.empty()) {
            if (rest[0] != ':') return std::nullopt;
            portText = rest.substr(1);
        }
    } else {
        const auto colon = rest.find(':');
        address.host = rest.substr(0, colon);
        if (colon != std::string_view::npos) portText = rest.substr(colon + 1);
        if (address.host.find(':') != std::string::npos) return std::nullopt;
    }
    if (address.host.empty() || address.host.find_first_of("/ ") != std::string::npos) return std::nullopt;
    if (portText) {
        const auto port = portNumber(*portText);
        if (!port) return std::nullopt;
        address.port = *port;
    }
    return address;
}

bool TcpTransport::open(const std::string& device, const SerialSettings&) {
    close();
    setOpenFailure({});
    const auto address = parseNetworkDevice(device);
    if (!address) {
        setOpenFailure("not a network address (tcp://HOST:PORT)");
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + connectTimeout_.value_or(ioTimeout());

    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    // No AI_ADDRCONFIG: it hides 127.0.0.1 on a machine whose only network is the loopback.
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(address->port);
    if (const int error = ::getaddrinfo(address->host.c_str(), service.c_str(), &hints, &found); error != 0) {
        setOpenFailure(::gai_strerror(error));
        return false;
    }
    const std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> addresses(found, &::freeaddrinfo);
    for (const addrinfo* a = found; a != nullptr && std::chrono::steady_clock::now() < deadline; a = a->ai_next) {
        const int fd = connectWithin(*a, deadline);
        if (fd < 0) continue;
        // Lost printers are noticed even when no exchange is waiting on them.
        const int on = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
        adopt(fd, true);
        return true;
    }
    setOpenFailure("the printer did not accept the connection");
    return false;
}

// Says goodbye with an orderly end of stream rather than a reset: a reset could make the
// printer throw away the end of what it was sent but had not read yet. Unread input is
// taken first, since closing over it resets the connection.
void TcpTransport::beforeClose(int fd) {
    char sink[4096];
    for (int i = 0; i < 16 && ::recv(fd, sink, sizeof sink, MSG_DONTWAIT) > 0; ++i) {
    }
    ::shutdown(fd, SHUT_WR);
}

}  // namespace tavrin
