#pragma once
// CScopedValue: gives a variable a value for the life of a scope and its
// old value back when the scope ends, however it ends.

#include <utility>

namespace kestrun {

template <class T>
class CScopedValue
{
public:
    CScopedValue(T& variable, T value) : m_variable(variable), m_saved(std::exchange(variable, std::move(value))) {}
    CScopedValue(const CScopedValue&) = delete;
    CScopedValue& operator=(const CScopedValue&) = delete;
    ~CScopedValue() { m_variable = std::move(m_saved); }

private:
    T& m_variable;
    T m_saved;
};

} // namespace kestrun
