#pragma once
// CDIBMultiDocTemplate: the template of image documents. It claims every
// file: its own extensions natively, anything else as a foreign attempt,
// so that the program tries to open any file as an image.

#include "platform/ui/doctemplate.h"

class CDIBMultiDocTemplate : public CMultiDocTemplate
{
    DECLARE_DYNAMIC(CDIBMultiDocTemplate)

public:
    CDIBMultiDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass, const CRuntimeClass* pFrameClass,
                         const CRuntimeClass* pViewClass);

    // An open document of the same path; else native when the file's
    // extension (from its last '.', in lower case) occurs in the filter
    // extensions; else foreign. Never noAttempt.
    Confidence MatchDocType(LPCTSTR lpszPathName, CDocument*& rpDocMatch) override;
};
