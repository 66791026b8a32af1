#include "http/urlParts.h"

#include <gtest/gtest.h>

#include <ostream>

namespace velmora {
namespace {

struct AddressCase {
    const char* what;
    const char* url;
    const char* host;
    const char* hostWithPort;
    int port;
    const char* path;
    bool secure;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const AddressCase& c, std::ostream* out) {
    *out << c.what;
}

const AddressCase kAddressCases[] = {
    {"http with port, path and query", "http://Shop.Example.com:8080/a/B.htm?q=1&r=http://x",
     "shop.example.com", "shop.example.com:8080", 8080, "/a/B.htm?q=1&r=http://x", false},
    {"https without port is 443", "https://h.example.com/p", "h.example.com", "h.example.com", 443, "/p",
     true},
    {"http without port is 80", "http://h.example.com/p", "h.example.com", "h.example.com", 80, "/p", false},
    {"scheme in capitals, path keeps its case", "HTTPS://WWW.Example.COM/Path/File?X=Y", "www.example.com",
     "www.example.com", 443, "/Path/File?X=Y", true},
    {"no scheme reads as http", "example.com/item", "example.com", "example.com", 80, "/item", false},
    {"only a host has path /", "http://example.com", "example.com", "example.com", 80, "/", false},
    {"port that is not a number is 0", "http://example.com:abc/x", "example.com", "example.com:abc", 0, "/x",
     false},
    {"inner http:// of a schemeless address wins", "example.com/go?u=http://inner.net/x", "inner.net",
     "inner.net", 80, "/x", false},
    {"query without slash goes into the host", "http://example.com?x=1", "example.com?x=1", "example.com?x=1",
     80, "/", false},
    {"empty address", "", "", "", 80, "/", false},
    {"the host is found in the address ignoring case", "http://EXAMPLE.com:81/Q", "example.com",
     "example.com:81", 81, "/Q", false},
    {"an unknown scheme is read as a host", "htps://a.com/", "htps", "htps:", 0, "//a.com/", false},
};

class AddressSplitting : public ::testing::TestWithParam<AddressCase> {};

TEST_P(AddressSplitting, GivesHostPortPathAndSecureFlag) {
    const AddressCase& c = GetParam();
    SCOPED_TRACE(c.what);
    EXPECT_EQ(hostOf(c.url), c.host);
    EXPECT_EQ(hostOf(c.url, true), c.hostWithPort);
    EXPECT_EQ(portOf(c.url), c.port);
    EXPECT_EQ(pathOf(c.url), c.path);
    EXPECT_EQ(isSecureAddress(c.url), c.secure);
}

INSTANTIATE_TEST_SUITE_P(Cases, AddressSplitting, ::testing::ValuesIn(kAddressCases),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

} // namespace
} // namespace velmora
