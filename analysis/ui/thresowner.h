#pragma once
// CThresOwner: what the threshold dialog reaches of the image view that
// opens it and of that view's image document. The image view implements
// it; the engine's dialogs sit below the imaging library and see only this.

#include "platform/core/types.h"

class CAOI;
class CDIB;
class CWnd;

class CThresOwner
{
public:
    virtual ~CThresOwner() = default;

    // The window the close report is posted to.
    virtual CWnd* GetOwnerWnd() = 0;
    // 1 while clicks go to the dialog's learning, 0 otherwise.
    virtual void SetTrackerStyle(int nStyle) = 0;
    // The document's active page; null without pages.
    virtual CDIB* GetActivePage() = 0;
    // The document's 8-bit preview page, made on first use; null without
    // an active page.
    virtual CDIB* EnsurePreviewPage() = 0;
    virtual void DeletePreviewPage() = 0;
    // The active area of interest the automatic threshold looks into; null
    // when there is none.
    virtual CAOI* GetActiveAOI() = 0;
    // Repaints the view without erasing.
    virtual void RedrawView() = 0;
    // The document shows live video (the only kind "Pseudo Live" works on).
    virtual bool IsVideo() = 0;
    // Grabs one frame into the document; false when none came.
    virtual bool GrabFrame() = 0;
    // A frame the preview worker grabbed becomes the active page.
    virtual void TakeLiveFrame(CDIB& frame) = 0;
};
