#include "cameraplugins/eos/actions.h"

#include <algorithm>

void ActionSource::addActionListener(ActionListener* listener)
{
    std::lock_guard lock(m_mutex);
    if (listener != nullptr && std::find(m_listeners.begin(), m_listeners.end(), listener) == m_listeners.end())
        m_listeners.push_back(listener);
}

void ActionSource::removeActionListener(ActionListener* listener)
{
    std::lock_guard lock(m_mutex);
    std::erase(m_listeners, listener);
}

void ActionSource::fireEvent(const std::string& command, void* arg) const
{
    std::vector<ActionListener*> listeners;
    {
        std::lock_guard lock(m_mutex);
        listeners = m_listeners;
    }
    const ActionEvent event(command, arg);
    for (ActionListener* listener : listeners)
        listener->actionPerformed(event);
}

void Observable::addObserver(Observer* observer)
{
    std::lock_guard lock(m_mutex);
    if (observer != nullptr && std::find(m_observers.begin(), m_observers.end(), observer) == m_observers.end())
        m_observers.push_back(observer);
}

void Observable::deleteObserver(Observer* observer)
{
    std::lock_guard lock(m_mutex);
    std::erase(m_observers, observer);
}

bool Observable::hasObserver(Observer* observer) const
{
    std::lock_guard lock(m_mutex);
    return std::find(m_observers.begin(), m_observers.end(), observer) != m_observers.end();
}

void Observable::notifyObservers(const std::string& name, void* arg)
{
    CameraEvent event{name, arg};
    std::lock_guard lock(m_mutex);
    // By index: an observer may remove itself while it is called.
    for (std::size_t i = m_observers.size(); i-- > 0;) {
        if (i < m_observers.size())
            m_observers[i]->update(this, &event);
    }
}
