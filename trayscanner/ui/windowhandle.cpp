#include "trayscanner/windowhandle.h"

#include "platform/ui/wnd.h"

namespace kestrun::tablon {

HWND WindowHandleOf(CWnd* pWnd)
{
    return pWnd != nullptr ? pWnd->GetSafeHwnd() : nullptr;
}

} // namespace kestrun::tablon
