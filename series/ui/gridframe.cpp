#include "series/ui/gridframe.h"

#include "platform/ui/winapp.h"

IMPLEMENT_DYNCREATE(CGridFrame, CFrameWnd)

CGridFrame::CGridFrame() = default;

CGridFrame::~CGridFrame() = default;

BOOL CGridFrame::LoadFrame(UINT nIDResource, DWORD, CWnd*, CCreateContext* pContext)
{
    CWnd* main = AfxGetMainWnd();
    const DWORD style = main != nullptr ? kFrameStyle : kFrameStyle & ~WS_CHILD;
    return CFrameWnd::LoadFrame(nIDResource, style, main, pContext);
}
