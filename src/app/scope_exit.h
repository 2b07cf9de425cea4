#pragma once

#include <utility>

namespace skarvel::app {

// Runs `action` when the scope is left, however it is left.
template <class F> class ScopeExit {
  public:
    explicit ScopeExit(F action) : action_(std::move(action)) {}
    ~ScopeExit() { action_(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

  private:
    F action_;
};

} // namespace skarvel::app
