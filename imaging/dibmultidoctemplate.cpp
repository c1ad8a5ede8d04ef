#include "imaging/dibmultidoctemplate.h"

IMPLEMENT_DYNAMIC(CDIBMultiDocTemplate, CMultiDocTemplate)

CDIBMultiDocTemplate::CDIBMultiDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass,
                                           const CRuntimeClass* pFrameClass, const CRuntimeClass* pViewClass)
    : CMultiDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass)
{
}

CDocTemplate::Confidence CDIBMultiDocTemplate::MatchDocType(LPCTSTR lpszPathName, CDocument*& rpDocMatch)
{
    if (CMultiDocTemplate::MatchDocType(lpszPathName, rpDocMatch) == yesAlreadyOpen)
        return yesAlreadyOpen;
    CString extensions;
    if (GetDocString(extensions, filterExt) && !extensions.IsEmpty()) {
        const CString path(lpszPathName ? lpszPathName : "");
        const int dot = path.ReverseFind('.');
        if (dot >= 0) {
            CString extension = path.Mid(dot);
            extension.MakeLower();
            extensions.MakeLower();
            if (extensions.Find(extension) >= 0)
                return yesAttemptNative;
        }
    }
    // Any other file may still be an image.
    return yesAttemptForeign;
}
