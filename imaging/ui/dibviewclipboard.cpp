// CDIBView: the active page through the clipboard.

#include "imaging/ui/dibview.h"

#include "imaging/ui/dibviewcommands.h"
#include "imaging/dibdoc.h"
#include "imaging/framebufferlock.h"

#include "outside/grabwell/fgboard.h"

#include "platform/ui/clipboard.h"
#include "platform/ui/cmdtarget.h"

#include <opencv2/core.hpp>

#include <cstring>
#include <memory>
#include <vector>

BOOL CDIBView::CopyPage()
{
    CDIBDoc* doc = GetDocument();
    CDIB* page = doc ? doc->GetActiveDIB() : nullptr;
    if (page == nullptr || page->GetWidth() == 0)
        return FALSE;
    CWaitCursor wait;
    bool copied = false;
    {
        // Live frames must not change or reallocate the page while it is copied.
        const CFrameBufferLock hold(VideoBoard(), page);
        const cv::Mat pixels = page->GetMat();
        copied = kestrun::SetClipboardImage(pixels.cols, pixels.rows, pixels.data, static_cast<int>(pixels.step),
                                            page->GetBitCount(), page->GetPalette());
    }
    if (!copied) {
        AfxMessageBox("Cannot open Clipboard");
        return FALSE;
    }
    return TRUE;
}

void CDIBView::PastePage()
{
    CDIBDoc* doc = GetDocument();
    if (doc == nullptr)
        return;
    CWaitCursor wait;
    const std::optional<CClipboardImage> image = kestrun::GetClipboardImage();
    if (!image) {
        AfxMessageBox(IDS_CLIPBOARD_FORMAT);
        return;
    }
    CDIB pasted;
    if (!pasted.InitDIB(image->width, image->height, image->bitsPerPixel)) {
        AfxMessageBox(IDS_CLIPBOARD_FORMAT);
        return;
    }
    const size_t rowBytes = static_cast<size_t>(image->width) * (image->bitsPerPixel / 8);
    for (int y = 0; y < image->height; ++y)
        std::memcpy(pasted.GetRow(y).data(), image->bits.data() + static_cast<size_t>(y) * image->stride, rowBytes);
    if (image->bitsPerPixel == 8 && !image->palette.empty()) {
        std::vector<BYTE> red, green, blue;
        for (COLORREF c : image->palette) {
            red.push_back(GetRValue(c));
            green.push_back(GetGValue(c));
            blue.push_back(GetBValue(c));
        }
        pasted.SetPalette(static_cast<int>(image->palette.size()), red.data(), green.data(), blue.data());
    }
    CDIB* page = doc->GetActiveDIB();
    if (page == nullptr) {
        doc->AddPage(std::make_unique<CDIB>(std::move(pasted)));
        doc->SetActiveIndex(doc->GetPageCount() - 1);
    } else {
        // Live frames must not change the page while it is replaced.
        FGBoard* board = VideoBoard();
        const bool locked = board && board->GetDIB() == page && board->LockBuffer(INFINITE);
        *page = pasted;
        if (locked)
            board->UnlockBuffer();
    }
    doc->SetModifiedFlag(TRUE);
    doc->UpdateAllViews(nullptr);
}
