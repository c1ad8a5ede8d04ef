#pragma once
// Sets a flag for the life of a scope and puts back what it was, so that
// a control's notifications during the program's own changes are told
// from the user's.

namespace kestrun {

class CScopedFlag
{
public:
    explicit CScopedFlag(bool& flag) : m_flag(flag), m_old(flag) { m_flag = true; }
    ~CScopedFlag() { m_flag = m_old; }
    CScopedFlag(const CScopedFlag&) = delete;
    CScopedFlag& operator=(const CScopedFlag&) = delete;

private:
    bool& m_flag;
    bool m_old;
};

} // namespace kestrun
