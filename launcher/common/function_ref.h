// A non-owning reference to something callable, for parameters and for objects that
// live no longer than the callable they were given: two pointers and no allocation,
// much smaller in the executable than std::function. Name a lambda before handing it
// to an object that keeps the reference; a temporary would be gone after the statement.
#pragma once

#include <memory>
#include <type_traits>
#include <utility>

namespace kestro {

template <class Signature>
class FunctionRef;

template <class R, class... Args>
class FunctionRef<R(Args...)> {
public:
    template <class F, class = std::enable_if_t<!std::is_same_v<std::decay_t<F>, FunctionRef>>>
    FunctionRef(F&& f)  // NOLINT: converts implicitly, as std::function does
        : object_(const_cast<void*>(static_cast<const void*>(std::addressof(f)))),
          call_([](void* object, Args... args) -> R {
              return (*static_cast<std::remove_reference_t<F>*>(object))(std::forward<Args>(args)...);
          }) {}

    R operator()(Args... args) const { return call_(object_, std::forward<Args>(args)...); }

private:
    void* object_;
    R (*call_)(void*, Args...);
};

}  // namespace kestro
