#pragma once
// CAOIOwner: what the area-of-interest dialogs reach of the image view that
// opens them and of its image document. The image view implements it; the
// engine's dialogs sit below the imaging library and see only this.

class CAOIDoc;
class CDIB;
class CWnd;

class CAOIOwner
{
public:
    virtual ~CAOIOwner() = default;

    // The window the close report is posted to.
    virtual CWnd* GetOwnerWnd() = 0;
    // The engine's areas of interest; null without an engine.
    virtual CAOIDoc* GetAOIDoc() = 0;
    // The document's current page (its index lowered to the last page);
    // null without pages.
    virtual CDIB* GetActivePage() = 0;
    // Repaints the view without erasing.
    virtual void RedrawView() = 0;
    // Every view of the image document shows the areas again.
    virtual void UpdateViews() = 0;
};
