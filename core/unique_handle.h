// One owner for everything the program opens and must close: a move-only
// handle with a close policy. A policy names the handle type (Handle), the
// value that is no handle (invalid()) and how one closes (close(handle));
// ZeroInvalidPolicy serves the many whose invalid value is zero. A policy may
// carry what its close needs (the DDE instance of a string handle); most carry
// nothing. Portable: the policies of the system's handles live beside the
// code of their platform.
#pragma once

#include <utility>

template <typename Policy>
class UniqueHandle {
public:
    using Handle = typename Policy::Handle;

    UniqueHandle() : handle_(Policy::invalid()) {}
    explicit UniqueHandle(Handle handle, Policy policy = Policy()) : handle_(handle), policy_(policy) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) : handle_(other.release()), policy_(other.policy_) {}
    UniqueHandle& operator=(UniqueHandle&& other) {
        if (this != &other) {
            reset(other.release());
            policy_ = other.policy_;
        }
        return *this;
    }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Policy::invalid(); }
    // Gives the handle up without closing it.
    Handle release() { return std::exchange(handle_, Policy::invalid()); }
    // Closes the handle held, if any, and holds the new one.
    void reset(Handle handle = Policy::invalid()) {
        const Handle old = std::exchange(handle_, handle);
        if (old != Policy::invalid()) policy_.close(old);
    }

private:
    Handle handle_;
    Policy policy_;
};

// The policy of most handles: none is a zero value, and one call of the
// system closes one (its answer is of no use once the handle is given up).
template <typename H, auto Close>
struct ZeroInvalidPolicy {
    using Handle = H;
    static Handle invalid() { return Handle(); }
    static void close(Handle handle) { Close(handle); }
};

// Closes a handle that a plain record keeps (records made zeroed by calloc
// cannot hold an owner) and empties the field.
template <typename Policy>
void close_handle(typename Policy::Handle* field, Policy policy = Policy()) {
    UniqueHandle<Policy> owner(std::exchange(*field, Policy::invalid()), policy);
}
