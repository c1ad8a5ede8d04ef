#include "imaging/ui/diblistctrl.h"

#include "outside/pixmere/dib.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>

QImage CDIBListCtrl::MakeThumbnail(const CDIB& page)
{
    const cv::Mat pixels = page.GetMat();
    if (pixels.empty())
        return {};
    const double scale = static_cast<double>(kThumbnailSize) / std::max(pixels.cols, pixels.rows);
    cv::Mat small;
    cv::resize(pixels, small,
               cv::Size(std::max(1, static_cast<int>(pixels.cols * scale)), std::max(1, static_cast<int>(pixels.rows * scale))),
               0.0, 0.0, cv::INTER_AREA);
    if (small.channels() == 1)
        return QImage(small.data, small.cols, small.rows, static_cast<qsizetype>(small.step), QImage::Format_Grayscale8)
            .copy();
    if (small.channels() == 4)
        cv::cvtColor(small, small, cv::COLOR_BGRA2BGR);
    return QImage(small.data, small.cols, small.rows, static_cast<qsizetype>(small.step), QImage::Format_BGR888).copy();
}

CString CDIBListCtrl::SizeText(const CDIB& page)
{
    CString text;
    text.Format("%d x %d x %d", page.GetWidth(), page.GetHeight(), page.GetBitCount());
    return text;
}

void CDIBListCtrl::AddImage(const CDIB& page, const CString& caption)
{
    const int item = InsertItem(GetItemCount(), caption);
    m_thumbnails.insert(m_thumbnails.begin() + item, MakeThumbnail(page));
    if (m_nColumns > 1)
        SetItemText(item, 1, SizeText(page));
}

void CDIBListCtrl::AddImages(const std::vector<const CDIB*>& pages, const std::vector<CString>& captions)
{
    for (size_t i = 0; i < pages.size(); ++i) {
        if (pages[i] != nullptr)
            AddImage(*pages[i], i < captions.size() ? captions[i] : CString());
    }
}

void CDIBListCtrl::UpdateImage(int nItem, const CDIB& page)
{
    if (nItem < 0 || nItem >= static_cast<int>(m_thumbnails.size()))
        return;
    m_thumbnails[static_cast<size_t>(nItem)] = MakeThumbnail(page);
    if (m_nColumns > 1)
        SetItemText(nItem, 1, SizeText(page));
    RedrawItems(nItem, nItem);
}

void CDIBListCtrl::RemoveImage(int nItem)
{
    if (nItem < 0 || nItem >= static_cast<int>(m_thumbnails.size()))
        return;
    m_thumbnails.erase(m_thumbnails.begin() + nItem);
    DeleteItem(nItem);
}

void CDIBListCtrl::SetNumColumnsRows(int nColumns, int nRows)
{
    m_nColumns = std::clamp(nColumns, 1, 2);
    m_nRows = nRows;
    if (GetColumnCount() == 0)
        InsertColumn(0, "Image", LVCFMT_LEFT, kThumbnailSize + 90);
    if (m_nColumns > 1 && GetColumnCount() < 2)
        InsertColumn(1, "Size", LVCFMT_LEFT, 120);
    SetPictureSize(CSize(kThumbnailSize, kThumbnailSize));
}

const QImage* CDIBListCtrl::GetItemPicture(int nItem) const
{
    if (nItem < 0 || nItem >= static_cast<int>(m_thumbnails.size()))
        return nullptr;
    const QImage& picture = m_thumbnails[static_cast<size_t>(nItem)];
    return picture.isNull() ? nullptr : &picture;
}
