#pragma once
// The image list of a document (its pages as thumbnails, with page
// operations), shown by the image document's "&Enhancement". The window
// is a user-interface part: a ui library installs it while it is loaded.

#include "platform/core/types.h"

class CDIBDoc;

class CImageListWindow
{
public:
    virtual ~CImageListWindow() = default;
    // Shows the pages modally, starting at nIndex; IDOK with the chosen
    // page's index in nIndex.
    virtual INT_PTR ShowImageList(CDIBDoc& doc, int& nIndex) = 0;
};

namespace kestrun {

// The installed image list; null before a ui library installs one.
CImageListWindow* ImageListWindow();
// Installs it and returns the previous one; null uninstalls.
CImageListWindow* SetImageListWindow(CImageListWindow* window);

} // namespace kestrun
