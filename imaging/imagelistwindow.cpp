#include "imaging/imagelistwindow.h"

#include "platform/core/installedslot.h"

namespace kestrun {

namespace {
CInstalledSlot<CImageListWindow> g_imageList;
}

CImageListWindow* ImageListWindow()
{
    return g_imageList.Get();
}

CImageListWindow* SetImageListWindow(CImageListWindow* window)
{
    return g_imageList.Exchange(window);
}

} // namespace kestrun
