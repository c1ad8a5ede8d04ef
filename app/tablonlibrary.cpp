#include "app/tablonlibrary.h"

#include "platform/core/library.h"
#include "platform/core/messagebox.h"

using namespace kestrun;

CTablonLibrary::~CTablonLibrary()
{
    Free();
}

BOOL CTablonLibrary::Load(const CString& strName)
{
    Free();
    m_strName = strName;
    m_hModule = ::LoadLibrary(strName);
    return IsLoaded();
}

void CTablonLibrary::Free()
{
    if (m_hModule != nullptr)
        ::FreeLibrary(m_hModule);
    m_hModule = nullptr;
    m_bInterfaceSet = FALSE;
}

void* CTablonLibrary::Export(const char* lpszName) const
{
    return m_hModule ? ::GetProcAddress(m_hModule, lpszName) : nullptr;
}

void CTablonLibrary::SetInterface(CCamBoxInterface* pInterface)
{
    if (!IsLoaded())
        return;
    auto setInterface = reinterpret_cast<tablon::SetInterfaceFn>(Export(tablon::kSetInterface));
    if (setInterface == nullptr) {
        CString text;
        text.Format("Wrong version of %s found", m_strName.GetString());
        AfxMessageBox(text);
        return;
    }
    setInterface(pInterface);
    m_bInterfaceSet = pInterface != nullptr;
}

void CTablonLibrary::SetState(int nState)
{
    if (auto setParam = reinterpret_cast<tablon::SetParamFn>(Export(tablon::kSetParam)))
        setParam("State", static_cast<double>(nState));
}

void CTablonLibrary::SetMessage(const char* lpszMessage)
{
    if (auto setString = reinterpret_cast<tablon::SetParamStringFn>(Export(tablon::kSetParamString)))
        setString("Message", lpszMessage ? lpszMessage : "");
}

BOOL CTablonLibrary::CanSetProfile() const
{
    return Export(tablon::kSetParamString) != nullptr;
}

BOOL CTablonLibrary::CanGetProfile() const
{
    return Export(tablon::kGetParamString) != nullptr;
}

int CTablonLibrary::SelectProfile(const CString& strName)
{
    auto setString = reinterpret_cast<tablon::SetParamStringFn>(Export(tablon::kSetParamString));
    if (setString == nullptr)
        return -1;
    return setString("Profile", strName) != 0 ? 1 : 0;
}

CString CTablonLibrary::GetProfile() const
{
    auto getString = reinterpret_cast<tablon::GetParamStringFn>(Export(tablon::kGetParamString));
    if (getString == nullptr)
        return CString();
    // The library's text changes with its profile: copied at once.
    const char* name = getString("Profile");
    return CString(name ? name : "");
}

void CTablonLibrary::RunSetupDialog()
{
    if (auto setupDlg = reinterpret_cast<tablon::SetupDlgFn>(Export(tablon::kSetupDlg)))
        setupDlg();
}
