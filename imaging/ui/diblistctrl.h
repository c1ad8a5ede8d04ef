#pragma once
// CDIBListCtrl: a list of image pages as thumbnails with their captions,
// one page per row; the second column gives the page's size and depth.

#include "platform/ui/listctrl.h"

#include <QImage>

#include <vector>

class CDIB;

class CDIBListCtrl : public CListCtrl
{
public:
    static constexpr int kThumbnailSize = 64;

    CDIBListCtrl() = default;

    void AddImage(const CDIB& page, const CString& caption);
    void AddImages(const std::vector<const CDIB*>& pages, const std::vector<CString>& captions);
    // The thumbnail again, after the page changed.
    void UpdateImage(int nItem, const CDIB& page);
    void RemoveImage(int nItem);
    // The list's columns (1: captions, 2: also the sizes); rows are the
    // pages, so the row count is only remembered.
    void SetNumColumnsRows(int nColumns, int nRows);

    const QImage* GetItemPicture(int nItem) const override;

private:
    static QImage MakeThumbnail(const CDIB& page);
    static CString SizeText(const CDIB& page);

    std::vector<QImage> m_thumbnails;
    int m_nColumns = 1;
    int m_nRows = 0;
};
