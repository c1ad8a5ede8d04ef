#pragma once
// The message-box presenter of the program: a QMessageBox with the buttons,
// icon and default button of the MB_* type, and the beep of the desktop.
// Boxes asked for from a worker thread open on the main thread, which the
// asking thread waits for. The program installs it with
// kestrun::SetMessageBoxPresenter; tests keep the scripted presenter.

#include "platform/core/messagebox.h"

class QMessageBox;

class CQtMessageBoxPresenter : public IMessageBoxPresenter
{
public:
    int Show(const CString& text, const CString& caption, UINT type) override;
    void Beep(UINT type) override;
};

namespace kestrun {

// Gives a box the text, caption, buttons, icon, default and escape button
// of a type.
void SetUpMessageBox(QMessageBox& box, const CString& text, const CString& caption, UINT type);
// The answer (IDOK, IDYES, ...) of a box set up for a type, from the
// standard button it was closed with (0 when closed without one).
int MessageBoxAnswer(UINT type, int standardButton);

} // namespace kestrun
