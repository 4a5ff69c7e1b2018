#pragma once
// The virtual printer's network port: listens on HOST:PORT and serves one connection at a
// time on a thread of its own, the way a printer's raw port (9100) does. What a client
// sends goes to the receive callback; replies go back with send(), from that callback.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <thread>

namespace tavrin::sim {

struct ListenAddress {
    std::string host = "127.0.0.1";
    int port = 0;  // 0: any free port
};

// "[HOST:]PORT"; false with a message for anything else.
bool parseListenAddress(const std::string& text, ListenAddress& address, std::string& error);

class TcpListener {
public:
    using Receive = std::function<void(std::span<const std::uint8_t>)>;

    TcpListener() = default;
    ~TcpListener();
    TcpListener(const TcpListener&) = delete;
    TcpListener& operator=(const TcpListener&) = delete;

    // Binds and listens; clients that come before start() wait in the backlog.
    bool listen(const ListenAddress& address, std::string& error);
    // "tcp://HOST:PORT" with the port actually bound.
    std::string address() const;

    // Serves until stop(): at most `chunk` bytes per read, with `pause` after each.
    void start(Receive receive, std::size_t chunk = 4096, std::chrono::milliseconds pause = {});
    // Seen by the serving thread within a fifth of a second; joins it.
    void stop();

    // To the connection being served, waiting a bounded time for room; false when there is
    // none or it went away. Only from within the receive callback.
    bool send(std::span<const std::uint8_t> bytes);

private:
    void serve(Receive receive, std::size_t chunk, std::chrono::milliseconds pause);
    void dropClient();

    int listenFd_ = -1;
    int clientFd_ = -1;
    std::string host_;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace tavrin::sim
