// Host names in the form the network takes, alike natively (libidn2) and on Windows (IdnToAscii).
#include <gtest/gtest.h>

#include <string>

#include "checker/host_ascii.h"
#include "tests/take_text.h"

namespace {

TEST(HostAscii, ConvertsInternationalNamesAndKeepsAsciiOnes) {
    const struct {
        const char* host;
        const char* ascii;  // null: no valid name
    } cases[] = {
        {"bücher.example", "xn--bcher-kva.example"},
        {"BÜCHER.example", "xn--bcher-kva.example"},
        {"пример.рф", "xn--e1afmkfd.xn--p1ai"},
        {"b%C3%BCcher.example", "b%C3%BCcher.example"},
        {"Example.COM", "Example.COM"},
        {"a\xff.example", nullptr},
        {"\xc3", nullptr},
    };
    for (const auto& c : cases) {
        char* ascii = host_ascii(c.host);
        EXPECT_EQ(ascii != nullptr, c.ascii != nullptr) << c.host;
        EXPECT_EQ(take_text(ascii), c.ascii ? c.ascii : "") << c.host;
    }
}

}  // namespace
