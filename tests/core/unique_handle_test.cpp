// Each handle is closed exactly once, by whoever holds it last. (Each system's
// policy: its platform's tests.)
#include "core/unique_handle.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

// Each close is written down with the policy's mark.
struct LogPolicy {
    using Handle = int;
    std::string* log;
    char mark;
    static Handle invalid() { return -1; }
    void close(Handle handle) const { *log += mark + std::to_string(handle) + " "; }
};
using Owner = UniqueHandle<LogPolicy>;

TEST(UniqueHandle, ClosesEachHandleOnceWhoeverHoldsItLast) {
    std::string log;
    {
        Owner none;
        EXPECT_FALSE(none);
        Owner a(1, LogPolicy{&log, 'a'});
        Owner b(std::move(a));  // a moved out: nothing left for it to close
        EXPECT_FALSE(a);
        EXPECT_EQ(b.get(), 1);
        Owner c(2, LogPolicy{&log, 'c'});
        c = std::move(b);  // c closes 2 with its own policy, takes 1 with b's
        EXPECT_EQ(log, "c2 ");
        c.reset(3);
        EXPECT_EQ(log, "c2 a1 ");
        Owner d(4, LogPolicy{&log, 'd'});
        EXPECT_EQ(d.release(), 4);
        int field = 5;
        close_handle(&field, LogPolicy{&log, 'f'});
        EXPECT_EQ(field, -1);
        close_handle(&field, LogPolicy{&log, 'f'});
    }
    EXPECT_EQ(log, "c2 a1 f5 a3 ");
}

}  // namespace
