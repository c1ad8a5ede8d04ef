#include "imaging/imagelistwindow.h"

#include <atomic>

namespace {

std::atomic<CImageListWindow*> g_imageList{nullptr};

} // namespace

namespace kestrun {

CImageListWindow* ImageListWindow()
{
    return g_imageList.load();
}

CImageListWindow* SetImageListWindow(CImageListWindow* window)
{
    return g_imageList.exchange(window);
}

} // namespace kestrun
