#pragma once
// The one process-wide slot through which a loaded ui library installs an
// implementation of an interface; define it in one .cpp so that every
// library sees the same slot.

#include <atomic>

namespace kestrun {

template <class T>
class CInstalledSlot
{
public:
    T* Get() const { return m_installed.load(); }
    // Installs installed and returns the previous one; null uninstalls.
    T* Exchange(T* installed) { return m_installed.exchange(installed); }

private:
    std::atomic<T*> m_installed{nullptr};
};

} // namespace kestrun
