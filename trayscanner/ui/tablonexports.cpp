// The library's exports, as the program looks them up by name. No error
// leaves an export: it is reported through the message-box service.

#include "platform/core/messagebox.h"
#include "trayscanner/tablonapp.h"
#include "trayscanner/ui/vovodscannerdlg.h"

#include <exception>

namespace {

template <class Result, class Body>
Result Guard(Result fallback, Body body)
{
    try {
        return body();
    } catch (const std::exception& e) {
        AfxMessageBox(e.what(), MB_ICONERROR);
    } catch (...) {
        AfxMessageBox("Unexpected error in the scanning-box library", MB_ICONERROR);
    }
    return fallback;
}

void RunControlDialog()
{
    CTrayvoBox& box = TablonApp().m_box;
    if (!box.IsOpen()) {
        AfxMessageBox(kestrun::tablon::kNotConnected);
        return;
    }
    CVovodScannerDlg dialog(box);
    dialog.DoModal();
    box.SaveProfiles();
}

} // namespace

extern "C" {

__attribute__((visibility("default"))) void SetInterface(CCamBoxInterface* pInterface)
{
    Guard(0, [&] {
        TablonApp().SetInterface(pInterface);
        return 0;
    });
}

// Names travel as typed strings (SetParamString): an address does not fit
// in a double, so "Profile" is ignored here.
__attribute__((visibility("default"))) int SetParam(const char* lpszName, double dValue)
{
    return Guard(0, [&] { return TablonApp().SetParam(lpszName, dValue); });
}

__attribute__((visibility("default"))) double GetParam(const char*)
{
    return 0.0;
}

__attribute__((visibility("default"))) void SetupDlg()
{
    Guard(0, [] {
        RunControlDialog();
        return 0;
    });
}

__attribute__((visibility("default"))) int SetParamString(const char* lpszName, const char* lpszValue)
{
    return Guard(0, [&] { return TablonApp().SetParamString(lpszName, lpszValue); });
}

__attribute__((visibility("default"))) const char* GetParamString(const char* lpszName)
{
    return Guard<const char*>("", [&] { return TablonApp().GetParamString(lpszName); });
}

} // extern "C"
