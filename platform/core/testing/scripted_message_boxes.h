#pragma once
// A message-box presenter for tests: records every box and beep and answers
// from a script, or with the box's default button when the script is empty.

#include "platform/core/messagebox.h"

#include <deque>
#include <memory>
#include <mutex>
#include <vector>

namespace kestrun::testing {

struct ShownBox
{
    CString text;
    CString caption;
    UINT type = 0;
};

class ScriptedMessageBoxes final : public IMessageBoxPresenter
{
public:
    int Show(const CString& text, const CString& caption, UINT type) override;
    void Beep(UINT type) override;
    void Tone(DWORD frequency, DWORD duration) override;

    void QueueAnswer(int answer);
    std::vector<ShownBox> Shown() const;
    std::vector<CString> Texts() const;
    std::vector<UINT> Beeps() const;
    // The frequencies of the tones, in order.
    std::vector<DWORD> Tones() const;
    void Clear();

private:
    mutable std::mutex m_mutex;
    std::deque<int> m_answers;
    std::vector<ShownBox> m_shown;
    std::vector<UINT> m_beeps;
    std::vector<DWORD> m_tones;
};

// Installs a scripted presenter for the life of the object and restores
// the previous one afterwards.
class ScopedMessageBoxes
{
public:
    ScopedMessageBoxes();
    ~ScopedMessageBoxes();
    ScopedMessageBoxes(const ScopedMessageBoxes&) = delete;
    ScopedMessageBoxes& operator=(const ScopedMessageBoxes&) = delete;

    ScriptedMessageBoxes* operator->() const { return m_boxes.get(); }
    ScriptedMessageBoxes& operator*() const { return *m_boxes; }

private:
    std::shared_ptr<ScriptedMessageBoxes> m_boxes;
    std::shared_ptr<IMessageBoxPresenter> m_previous;
};

} // namespace kestrun::testing
