#pragma once
// CTablonApp: the scanning-box library's one object, holding the box
// controller. It is made when the library loads (before any export runs)
// and its destruction closes the box.
//
// It is no CWinApp: the program's application object is the only one of
// the process, and a second would take its place.

#include "trayscanner/trayvobox.h"

class CTablonApp
{
public:
    CTablonApp();
    CTablonApp(const CTablonApp&) = delete;
    CTablonApp& operator=(const CTablonApp&) = delete;

    // The exports' work. The device opens with the first interface and
    // closes with a null one.
    void SetInterface(CCamBoxInterface* pInterface);
    // "State" (1 to 3; other numbers ignored); other names ignored. 0.
    int SetParam(const char* lpszName, double dValue);
    // "Profile": selects and applies a box profile, 1 when it exists;
    // "Message" and other names are ignored (0).
    int SetParamString(const char* lpszName, const char* lpszValue);
    // "Profile": the current profile's name, valid until the next call;
    // empty for other names. Never null.
    const char* GetParamString(const char* lpszName);

    CTrayvoBox m_box;

private:
    CString m_strAnswer;
};

// The library's object.
CTablonApp& TablonApp();
