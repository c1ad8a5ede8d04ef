#include "platform/core/messagebox.h"

#include "platform/core/resources.h"

#include <cstdio>
#include <mutex>

namespace {

class StderrPresenter final : public IMessageBoxPresenter
{
public:
    int Show(const CString& text, const CString& caption, UINT type) override
    {
        std::fprintf(stderr, "[%s] %s\n", caption.GetString(), text.GetString());
        return kestrun::DefaultAnswer(type);
    }
    void Beep(UINT) override {}
};

struct Service
{
    std::mutex mutex;
    std::shared_ptr<IMessageBoxPresenter> presenter = std::make_shared<StderrPresenter>();
    CString caption = "Kestrun";
};

Service& service()
{
    static Service instance;
    return instance;
}

std::shared_ptr<IMessageBoxPresenter> currentPresenter()
{
    Service& s = service();
    std::lock_guard lock(s.mutex);
    return s.presenter;
}

} // namespace

namespace kestrun {

int DefaultAnswer(UINT type)
{
    static constexpr int buttons[][3] = {
        {IDOK, IDOK, IDOK},             // MB_OK
        {IDOK, IDCANCEL, IDCANCEL},     // MB_OKCANCEL
        {IDABORT, IDRETRY, IDIGNORE},   // MB_ABORTRETRYIGNORE
        {IDYES, IDNO, IDCANCEL},        // MB_YESNOCANCEL
        {IDYES, IDNO, IDNO},            // MB_YESNO
        {IDRETRY, IDCANCEL, IDCANCEL},  // MB_RETRYCANCEL
    };
    const UINT kind = type & MB_TYPEMASK;
    if (kind >= std::size(buttons))
        return IDOK;
    const UINT def = (type & MB_DEFMASK) >> 8;
    return buttons[kind][def < 3 ? def : 0];
}

std::shared_ptr<IMessageBoxPresenter> SetMessageBoxPresenter(std::shared_ptr<IMessageBoxPresenter> presenter)
{
    Service& s = service();
    std::lock_guard lock(s.mutex);
    if (!presenter)
        presenter = std::make_shared<StderrPresenter>();
    std::swap(s.presenter, presenter);
    return presenter;
}

void SetMessageBoxCaption(const CString& caption)
{
    Service& s = service();
    std::lock_guard lock(s.mutex);
    s.caption = caption;
}

CString MessageBoxCaption()
{
    Service& s = service();
    std::lock_guard lock(s.mutex);
    return s.caption;
}

} // namespace kestrun

int MessageBoxWithCaption(const char* text, const char* caption, UINT type)
{
    return currentPresenter()->Show(CString(text), CString(caption), type);
}

int AfxMessageBox(const char* text, UINT type, UINT)
{
    return MessageBoxWithCaption(text, kestrun::MessageBoxCaption(), type);
}

int AfxMessageBox(UINT stringId, UINT type, UINT)
{
    const char* text = AfxLoadString(stringId);
    return AfxMessageBox(text ? text : "", type);
}

BOOL MessageBeep(UINT type)
{
    currentPresenter()->Beep(type);
    return TRUE;
}

BOOL Beep(DWORD frequency, DWORD duration)
{
    currentPresenter()->Tone(frequency, duration);
    return TRUE;
}
