// One owner type for every kind of system handle: the traits say what "none" is and how
// to close it, so that each early return closes what was opened.
#pragma once

#include <utility>

namespace kestro {

template <class Traits>
class Unique {
public:
    using Handle = typename Traits::Handle;
    Unique() = default;
    explicit Unique(Handle h) : h_(h) {}
    Unique(Unique&& o) noexcept : h_(o.release()) {}
    Unique& operator=(Unique&& o) noexcept {
        reset(o.release());
        return *this;
    }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    ~Unique() { reset(); }

    Handle get() const { return h_; }
    explicit operator bool() const { return h_ != Traits::invalid(); }
    Handle release() { return std::exchange(h_, Traits::invalid()); }
    void reset(Handle h = Traits::invalid()) {
        if (*this) Traits::close(h_);
        h_ = h;
    }

private:
    Handle h_ = Traits::invalid();
};

}  // namespace kestro
