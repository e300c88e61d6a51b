// Only web addresses may reach the shell.
#include "browser/shell_url.h"

#include <gtest/gtest.h>

TEST(ShellUrl, OnlyWebAddressesPass) {
    for (const char* url : {"http://a.example/", "Https://a.example/x", "fTp://x/", "http:"}) {
        EXPECT_TRUE(is_web_address(url)) << url;
    }
    for (const char* url : {"file:///C:/Windows/System32/calc.exe", "\\\\server\\share\\setup.exe",
                            "javascript:alert(1)", "httpx://a.example/", "http", "", " http://a.example/"}) {
        EXPECT_FALSE(is_web_address(url)) << url;
    }
}
