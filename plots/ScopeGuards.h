#pragma once
// Undoing at the end of a scope, however the scope is left (also by an
// exception): a flag that is set for the scope, and any closing step.

#include <utility>

namespace velumo {

class FlagScope {
public:
    explicit FlagScope(bool& flag)
        : m_flag(flag)
    {
        m_flag = true;
    }
    ~FlagScope() { m_flag = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& m_flag;
};

template <typename F> class OnScopeExit {
public:
    explicit OnScopeExit(F step)
        : m_step(std::move(step))
    {
    }
    ~OnScopeExit() { m_step(); }
    OnScopeExit(const OnScopeExit&) = delete;
    OnScopeExit& operator=(const OnScopeExit&) = delete;

private:
    F m_step;
};

} // namespace velumo
