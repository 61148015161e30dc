#pragma once

#include <mutex>

// A value written by one thread and read by others: each reads a copy, under the lock.
template <class Value> class CGuarded {
public:
    Value Get() const
    {
        std::lock_guard guard(m_lock);
        return m_value;
    }
    void Set(Value value)
    {
        std::lock_guard guard(m_lock);
        m_value = std::move(value);
    }

private:
    mutable std::mutex m_lock;
    Value m_value{};
};
