#include "series/ui/gridtemplate.h"

#include "platform/core/exceptions.h"
#include "platform/ui/mdi.h"
#include "series/griddoc2.h"
#include "series/ui/gridframe.h"
#include "series/ui/gridview2.h"

namespace kestrun {

std::unique_ptr<CMultiDocTemplate> MakeTableTemplate(UINT nIDResource, const CRuntimeClass* pDocClass,
                                                     ETableFrame frame)
{
    if (pDocClass == nullptr || !pDocClass->IsDerivedFrom(RUNTIME_CLASS(CGridDoc2)))
        AfxThrowInvalidArgException();
    const CRuntimeClass* frameClass =
        frame == ETableFrame::GridFrame ? RUNTIME_CLASS(CGridFrame) : RUNTIME_CLASS(CMDIChildWnd);
    return std::make_unique<CMultiDocTemplate>(nIDResource, pDocClass, frameClass, RUNTIME_CLASS(CGridView2));
}

} // namespace kestrun
