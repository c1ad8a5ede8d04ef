#pragma once
// The message-box service. Every message box and beep of the program goes
// through one presenter: a Qt dialog in the program, stderr and the default
// button headless, recorded texts and scripted answers in tests.

#include "platform/core/cstring.h"

#include <memory>

// Buttons
inline constexpr UINT MB_OK = 0x0;
inline constexpr UINT MB_OKCANCEL = 0x1;
inline constexpr UINT MB_ABORTRETRYIGNORE = 0x2;
inline constexpr UINT MB_YESNOCANCEL = 0x3;
inline constexpr UINT MB_YESNO = 0x4;
inline constexpr UINT MB_RETRYCANCEL = 0x5;
inline constexpr UINT MB_TYPEMASK = 0xF;
// Icons
inline constexpr UINT MB_ICONHAND = 0x10;
inline constexpr UINT MB_ICONERROR = 0x10;
inline constexpr UINT MB_ICONSTOP = 0x10;
inline constexpr UINT MB_ICONQUESTION = 0x20;
inline constexpr UINT MB_ICONEXCLAMATION = 0x30;
inline constexpr UINT MB_ICONWARNING = 0x30;
inline constexpr UINT MB_ICONASTERISK = 0x40;
inline constexpr UINT MB_ICONINFORMATION = 0x40;
inline constexpr UINT MB_ICONMASK = 0xF0;
// Default button
inline constexpr UINT MB_DEFBUTTON1 = 0x000;
inline constexpr UINT MB_DEFBUTTON2 = 0x100;
inline constexpr UINT MB_DEFBUTTON3 = 0x200;
inline constexpr UINT MB_DEFMASK = 0xF00;
// Modality and placement (carried through, no effect headless)
inline constexpr UINT MB_APPLMODAL = 0x0000;
inline constexpr UINT MB_SYSTEMMODAL = 0x1000;
inline constexpr UINT MB_TASKMODAL = 0x2000;
inline constexpr UINT MB_SETFOREGROUND = 0x10000;
inline constexpr UINT MB_TOPMOST = 0x40000;

// Answers
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

class IMessageBoxPresenter
{
public:
    virtual ~IMessageBoxPresenter() = default;
    // Shows the text and returns the answer (IDOK, IDYES, ...).
    virtual int Show(const CString& text, const CString& caption, UINT type) = 0;
    // type is an MB_ICON* value, or 0xFFFFFFFF for the simple beep.
    virtual void Beep(UINT type) = 0;
    // A tone of a pitch (Hz) and length (ms); presenters that cannot play
    // one give the simple beep.
    virtual void Tone(DWORD /*frequency*/, DWORD /*duration*/) { Beep(0xFFFFFFFF); }
};

namespace kestrun {

// The answer a box of this type gives when nobody is asked: its default button.
int DefaultAnswer(UINT type);

// Installs a presenter and returns the previous one; null restores the
// headless default. The service is process-wide and thread-safe; a presenter
// is called without any lock held, so a box may open another box.
std::shared_ptr<IMessageBoxPresenter> SetMessageBoxPresenter(std::shared_ptr<IMessageBoxPresenter> presenter);

// The caption of every box: the program's name.
void SetMessageBoxCaption(const CString& caption);
CString MessageBoxCaption();

} // namespace kestrun

int AfxMessageBox(const char* text, UINT type = MB_OK, UINT helpId = 0);
int AfxMessageBox(UINT stringId, UINT type = MB_OK, UINT helpId = UINT(-1));
// A box with its own caption, as a window's MessageBox shows it.
int MessageBoxWithCaption(const char* text, const char* caption, UINT type = MB_OK);
BOOL MessageBeep(UINT type);
// A tone of frequency Hz for duration ms.
BOOL Beep(DWORD frequency, DWORD duration);
