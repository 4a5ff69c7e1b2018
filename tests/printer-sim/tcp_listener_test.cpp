// The virtual printer's network port option; serving over it is tried end to end in tests/e2e.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tavrin::sim
