#pragma once
// The scanning-box library and its host: the call-back interface the host
// hands over, and the library's exports as the host looks them up.
//
// The library posts its registered messages ("MSG_CAMBOXBUTTON_PRESSED",
// "MSC_CAMBOX_POSITION") to m_pWnd when it is set, and calls the virtual
// operations only when it is not. The host owns the object; the library
// keeps a pointer and never frees it.
//
// Named parameters travel as a name and a double; names of profiles and
// texts travel as typed strings (an address does not fit in a double).

class CWnd;

class CCamBoxInterface
{
public:
    explicit CCamBoxInterface(CWnd* pWnd = nullptr) : m_pWnd(pWnd) {}
    virtual ~CCamBoxInterface() = default;
    CCamBoxInterface(const CCamBoxInterface&) = delete;
    CCamBoxInterface& operator=(const CCamBoxInterface&) = delete;

    virtual void TopLimitReached() {}
    virtual void BottomLimitReached() {}
    virtual void PositionReached(int /*nPosition*/) {}
    virtual void ButtonPressed() {}
    virtual void PositionUpdate(int /*nPosition*/, bool /*bNoLimitYet*/) {}
    virtual void Reserved(int /*nValue*/) {}

    CWnd* m_pWnd;
};

namespace kestrun::tablon {

// Export names; a stdcall-decorated name is also found under its plain C
// name.
inline constexpr const char* kSetInterface = "_SetInterface@4";
inline constexpr const char* kSetParam = "_SetParam@12";
inline constexpr const char* kGetParam = "_GetParam@4";
inline constexpr const char* kSetupDlg = "_SetupDlg@0";
inline constexpr const char* kSetParamString = "SetParamString";
inline constexpr const char* kGetParamString = "GetParamString";

extern "C" {
// Null closes the device.
using SetInterfaceFn = void (*)(CCamBoxInterface* pInterface);
// "State": the box state; other names are accepted and ignored (0).
using SetParamFn = int (*)(const char* lpszName, double dValue);
using GetParamFn = double (*)(const char* lpszName);
// The modal control dialog.
using SetupDlgFn = void (*)();
// "Profile": selects a box profile (1 when it exists, else 0); "Message":
// a status line, accepted and ignored.
using SetParamStringFn = int (*)(const char* lpszName, const char* lpszValue);
// "Profile": the current box profile's name, owned by the library and valid
// until the next profile change; never null.
using GetParamStringFn = const char* (*)(const char* lpszName);
}

} // namespace kestrun::tablon
