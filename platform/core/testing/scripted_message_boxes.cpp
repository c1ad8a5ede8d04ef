#include "platform/core/testing/scripted_message_boxes.h"

namespace kestrun::testing {

int ScriptedMessageBoxes::Show(const CString& text, const CString& caption, UINT type)
{
    std::lock_guard lock(m_mutex);
    m_shown.push_back({text, caption, type});
    if (m_answers.empty())
        return DefaultAnswer(type);
    const int answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

void ScriptedMessageBoxes::Beep(UINT type)
{
    std::lock_guard lock(m_mutex);
    m_beeps.push_back(type);
}

void ScriptedMessageBoxes::Tone(DWORD frequency, DWORD)
{
    std::lock_guard lock(m_mutex);
    m_tones.push_back(frequency);
}

void ScriptedMessageBoxes::QueueAnswer(int answer)
{
    std::lock_guard lock(m_mutex);
    m_answers.push_back(answer);
}

std::vector<ShownBox> ScriptedMessageBoxes::Shown() const
{
    std::lock_guard lock(m_mutex);
    return m_shown;
}

std::vector<CString> ScriptedMessageBoxes::Texts() const
{
    std::lock_guard lock(m_mutex);
    std::vector<CString> texts;
    for (const ShownBox& box : m_shown)
        texts.push_back(box.text);
    return texts;
}

std::vector<UINT> ScriptedMessageBoxes::Beeps() const
{
    std::lock_guard lock(m_mutex);
    return m_beeps;
}

std::vector<DWORD> ScriptedMessageBoxes::Tones() const
{
    std::lock_guard lock(m_mutex);
    return m_tones;
}

void ScriptedMessageBoxes::Clear()
{
    std::lock_guard lock(m_mutex);
    m_answers.clear();
    m_shown.clear();
    m_beeps.clear();
    m_tones.clear();
}

ScopedMessageBoxes::ScopedMessageBoxes()
    : m_boxes(std::make_shared<ScriptedMessageBoxes>()), m_previous(SetMessageBoxPresenter(m_boxes))
{
}

ScopedMessageBoxes::~ScopedMessageBoxes()
{
    SetMessageBoxPresenter(m_previous);
}

} // namespace kestrun::testing
