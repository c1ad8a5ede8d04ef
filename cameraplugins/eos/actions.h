#pragma once
// The plug-in's small event library. User actions and SDK events become
// named actions (ActionEvent) that an ActionSource hands to its listeners;
// results flow back as named events from an Observable (the camera model)
// to its observers.
//
// Observers are called on the thread that notifies, the command thread as
// a rule; an observer that touches a window posts to it. Adding and
// removing observers waits for a notification in progress to end, so an
// observer that was removed is not called afterwards.

#include <mutex>
#include <string>
#include <vector>

class ActionEvent
{
public:
    ActionEvent(std::string actionCommand, void* arg) : m_actionCommand(std::move(actionCommand)), m_arg(arg) {}
    const std::string& getActionCommand() const { return m_actionCommand; }
    void* getArg() const { return m_arg; }

private:
    std::string m_actionCommand;
    void* m_arg;
};

class ActionListener
{
public:
    virtual ~ActionListener() = default;
    virtual void actionPerformed(const ActionEvent& event) = 0;
};

class ActionSource
{
public:
    explicit ActionSource(std::string actionCommand = {}) : m_actionCommand(std::move(actionCommand)) {}
    virtual ~ActionSource() = default;

    // A listener already in the list is not added again.
    void addActionListener(ActionListener* listener);
    void removeActionListener(ActionListener* listener);
    void setActionCommand(const std::string& command) { m_actionCommand = command; }
    const std::string& getActionCommand() const { return m_actionCommand; }

    // Calls every listener in the order they were added.
    void fireEvent(void* arg = nullptr) const { fireEvent(m_actionCommand, arg); }
    // The same under another action name.
    void fireEvent(const std::string& command, void* arg) const;

private:
    std::string m_actionCommand;
    mutable std::mutex m_mutex;
    std::vector<ActionListener*> m_listeners;
};

// What an observable tells its observers: a name and an argument that is
// valid for the duration of the call.
struct CameraEvent
{
    std::string name;
    void* arg = nullptr;
};

class Observable;

class Observer
{
public:
    virtual ~Observer() = default;
    virtual void update(Observable* from, CameraEvent* event) = 0;
};

class Observable
{
public:
    virtual ~Observable() = default;

    void addObserver(Observer* observer);
    void deleteObserver(Observer* observer);
    bool hasObserver(Observer* observer) const;
    // From the most recently added observer to the first added.
    void notifyObservers(const std::string& name, void* arg = nullptr);

private:
    mutable std::recursive_mutex m_mutex;
    std::vector<Observer*> m_observers;
};
