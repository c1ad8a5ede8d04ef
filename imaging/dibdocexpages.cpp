// CDIBDocEx: "&Enhancement" - the pages as a list of thumbnails; the page
// chosen there becomes the active one.

#include "imaging/dibdocex.h"

#include "imaging/imagelistwindow.h"

#include "platform/core/messagebox.h"

void CDIBDocEx::OnEnhancement()
{
    CImageListWindow* window = kestrun::ImageListWindow();
    if (window == nullptr) {
        AfxMessageBox("The image list is not available in this build.", MB_ICONINFORMATION);
        return;
    }
    int index = GetActiveIndex();
    if (window->ShowImageList(*this, index) != IDOK)
        return;
    if (index >= 0 && index < GetPageCount()) {
        SetActiveIndex(index);
        // The page's file names the document, without a recent-file entry.
        if (const CString path = GetPage(index)->GetPathName(); !path.IsEmpty())
            SetPathName(path, FALSE);
    }
    UpdateAllViews(nullptr);
}
