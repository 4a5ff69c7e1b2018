#pragma once
// A printer on the network, reached through its raw TCP port ("tcp://HOST:PORT"; 9100 is
// the usual port and the one taken when none is given). The connection is made when the
// port is opened and dropped when it is closed, like a serial port between exchanges.
#include <optional>
#include <string>
#include <string_view>

#include "link/fd_transport.h"

namespace tavrin {

inline constexpr int kRawPrinterPort = 9100;

struct NetworkAddress {
    std::string host;  // a name, an IPv4 address, or an IPv6 address without its brackets
    int port = kRawPrinterPort;
    bool operator==(const NetworkAddress&) const = default;
};

// "tcp://HOST:PORT", "tcp://HOST" or "tcp://[IPV6]:PORT"; nothing for anything else.
std::optional<NetworkAddress> parseNetworkDevice(std::string_view device);

class TcpTransport : public FdTransport {
public:
    ~TcpTransport() override { close(); }
    // Connects within the connect time-out (by default the read and write time-out). A
    // host given by name is looked up first, within the system resolver's own limits.
    bool open(const std::string& device, const SerialSettings& settings) override;
    void setConnectTimeout(std::chrono::milliseconds timeout) { connectTimeout_ = timeout; }

protected:
    void beforeClose(int fd) override;

private:
    std::optional<std::chrono::milliseconds> connectTimeout_;
};

}  // namespace tavrin
