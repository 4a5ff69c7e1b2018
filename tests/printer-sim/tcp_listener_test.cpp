// The virtual printer's network port: its address option, and clients served one after
// another through the program's own TCP transport. Loopback only.
#include <gtest/gtest.h>

#include <cctype>

#include "printer/tcp_transport.h"
#include "tcp_listener.h"

namespace tavrin::sim {
namespace {

TEST(TcpListener, ListenAddressIsHostAndPortOrPortAlone) {
    const std::tuple<std::string, bool, std::string, int> cases[] = {
        {"9100", true, "127.0.0.1", 9100},     {"0.0.0.0:6101", true, "0.0.0.0", 6101},
        {"[::1]:0", true, "::1", 0},           {"localhost:9100", true, "localhost", 9100},
        {"", false, "", 0},                    {"host:", false, "", 0},
        {":9100", false, "", 0},               {"65536", false, "", 0},
        {"91OO", false, "", 0}};
    for (const auto& [text, ok, host, port] : cases) {
        ListenAddress address;
        std::string error;
        ASSERT_EQ(parseListenAddress(text, address, error), ok) << text;
        if (ok) EXPECT_EQ(std::tuple(address.host, address.port), std::tuple(host, port)) << text;
        else EXPECT_NE(error, "") << text;
    }
}

std::string exchange(TcpTransport& transport, std::string_view text) {
    for (const char c : text) EXPECT_TRUE(transport.writeByte(static_cast<std::uint8_t>(c)));
    std::string reply;
    std::uint8_t byte = 0;
    while (reply.size() < text.size() && transport.readByte(byte)) reply += static_cast<char>(byte);
    return reply;
}

TEST(TcpListener, ServesOneClientAfterAnotherAndStops) {
    TcpListener listener;
    std::string error;
    ASSERT_TRUE(listener.listen({"127.0.0.1", 0}, error)) << error;
    ASSERT_TRUE(listener.address().starts_with("tcp://127.0.0.1:"));
    ASSERT_NE(listener.address(), "tcp://127.0.0.1:0");
    // Replies go back on the connection the bytes came from.
    listener.start([&](std::span<const std::uint8_t> bytes) {
        std::vector<std::uint8_t> upper(bytes.begin(), bytes.end());
        for (auto& b : upper) b = static_cast<std::uint8_t>(std::toupper(b));
        listener.send(upper);
    });
    for (const char* text : {"first\r\n", "second\r\n"}) {
        TcpTransport client;
        client.setIoTimeout(std::chrono::milliseconds(2000));
        ASSERT_TRUE(client.open(listener.address(), {}));
        std::string expected = text;
        for (char& c : expected) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        EXPECT_EQ(exchange(client, text), expected);
        client.close();
    }
    listener.stop();
    TcpListener second;
    EXPECT_FALSE(second.listen({"192.0.2.1", 0}, error));  // not an address of this machine
    EXPECT_NE(error, "");
}

}  // namespace
}  // namespace tavrin::sim
