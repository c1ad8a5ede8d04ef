#pragma once
// What the dialog tests share: steps run on the next modal dialog once it
// shows, and the small moves a user makes in it.

#include "platform/ui/commondialogs.h"
#include "platform/ui/dialog.h"

#include <functional>

namespace kestrun::testing {

// Runs steps on the next modal dialog as soon as it shows; the steps end
// it (Press IDOK or IDCANCEL). A missing dialog fails the test.
void OnNextDialog(std::function<void(CDialog&)> steps);

// A button click as the control reports it.
void Press(CWnd& dialog, UINT id);
// Types the text into the edit.
void Type(CWnd& dialog, UINT id, const char* text);
CString TextOf(const CWnd& dialog, UINT id);
// Moves a slider to the position, as the user drags it.
void Slide(CWnd& dialog, UINT id, int pos);

// Answers every file dialog with m_answer, or cancels it while m_answer is
// empty, for its lifetime.
class CFileAnswers
{
public:
    CFileAnswers();
    ~CFileAnswers();
    CFileAnswers(const CFileAnswers&) = delete;
    CFileAnswers& operator=(const CFileAnswers&) = delete;

    CString m_answer;

private:
    CommonDialogHandler m_previous;
};

} // namespace kestrun::testing
