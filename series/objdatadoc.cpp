// CObjDataDoc: files, draw settings, hit tests and the selection.

#include "series/objdatadoc.h"

#include "analysis/objdata.h"
#include "analysis/ui/watersheddlg.h"
#include "objectmodel/rpolygon.h"
#include "objectmodel/rscanpolygon.h"
#include "objectmodel/toolfunctions.h"
#include "objectmodel/xmlarchive.h"
#include "objectmodel/xmlarchivenode.h"
#include "platform/core/exceptions.h"
#include "platform/core/folders.h"
#include "platform/core/messages.h"
#include "platform/core/profile.h"
#include "platform/ui/winapp.h"
#include "platform/ui/wnd.h"
#include "series/tablecommands.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <limits>
#include <vector>

IMPLEMENT_DYNCREATE(CObjDataDoc, CGridDoc2)

BEGIN_MESSAGE_MAP(CObjDataDoc, CGridDoc2)
    ON_COMMAND(ID_TABLE_SHOW_HISTOGRAM, OnShowHistogram)
    ON_COMMAND(ID_TABLE_SHOW_WATERSHED, OnShowWatershed)
    ON_UPDATE_COMMAND_UI(ID_TABLE_SHOW_HISTOGRAM, OnUpdateShowHistogram)
END_MESSAGE_MAP()

namespace {

std::vector<cv::Point> cvPoints(const CRPolygon& polygon)
{
    std::vector<cv::Point> points;
    points.reserve(static_cast<size_t>(polygon.GetSize()));
    for (INT_PTR i = 0; i < polygon.GetSize(); ++i)
        points.emplace_back(polygon[i].x, polygon[i].y);
    return points;
}

// The object's mask for the watershed steps: its outer contour filled
// with 254, its inner contours of more than 10 points cut out again, in
// its bounding rectangle widened by 3 pixels each way.
bool MakeWatershedImage(const CObjData& object, const CRPolygon& contour, CDIB& image)
{
    constexpr int kMargin = 3;
    constexpr int kMinHolePoints = 11;
    const std::vector<cv::Point> outline = cvPoints(contour);
    const cv::Rect bounds = cv::boundingRect(outline);
    if (!image.InitDIB(bounds.width + 2 * kMargin, bounds.height + 2 * kMargin, 8))
        return false;
    cv::Mat mat = image.GetMat();
    const cv::Point offset(kMargin - bounds.x, kMargin - bounds.y);
    cv::fillPoly(mat, std::vector<std::vector<cv::Point>>{outline}, cv::Scalar(254), cv::LINE_8, 0, offset);
    for (int h = 0; h < object.GetHoleCount(); ++h) {
        const CRPolygon hole(object.GetHole(h));
        if (hole.GetSize() < kMinHolePoints)
            continue;
        const std::vector<cv::Point> points = cvPoints(hole);
        cv::fillPoly(mat, std::vector<std::vector<cv::Point>>{points}, cv::Scalar(0), cv::LINE_8, 0, offset);
    }
    return true;
}

constexpr COLORREF kDefaultDrawColors[CObjDataDoc::kDrawColorCount] = {0x0000FF, 0x00FF00, 0xFF0000, 0xFFFF00,
                                                                       0xFF00FF};

} // namespace

CObjDataDoc::CObjDataDoc()
{
    for (const COLORREF color : kDefaultDrawColors)
        m_arrDrawColors.Add(color);
    m_nWhatToDraw = static_cast<int>(GetPrivateProfileInt("SegObj", "ObjDraw", m_nWhatToDraw, m_strConfigPath));
    BuildMessageMap();
}

CObjDataDoc::~CObjDataDoc() = default;

// ---- files ----------------------------------------------------------------------------------

BOOL CObjDataDoc::OnOpenDocument(LPCTSTR lpszPathName)
{
    const CString path(lpszPathName ? lpszPathName : "");
    try {
        // The whole file is parsed here: a file that cannot be read changes nothing.
        CXMLArchive archive(path, CArchive::load, nullptr, this);
        DeleteContents();
        try {
            Serialize(archive);
            archive.Close();
        } catch (const CException&) {
            DeleteContents();
            throw;
        }
    } catch (const CException& e) {
        ReportSaveLoadException(path, &e, FALSE, AFX_IDP_FAILED_TO_OPEN_DOC);
        return FALSE;
    }
    LoadColumnConfig();
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CObjDataDoc::OnSaveDocument(LPCTSTR lpszPathName)
{
    const CString path(lpszPathName ? lpszPathName : "");
    try {
        CXMLArchive archive(path, CArchive::store, nullptr, this);
        Serialize(archive);
        archive.Close();
    } catch (const CException& e) {
        ReportSaveLoadException(path, &e, TRUE, AFX_IDP_FAILED_TO_SAVE_DOC);
        return FALSE;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

void CObjDataDoc::Serialize(CArchive& ar)
{
    CXMLArchive& xml = CXMLArchive::FromArchive(ar);
    if (xml.GetChildNode("CObjDataDoc") == nullptr)
        AfxThrowArchiveException(CArchiveException::badClass, ar.m_strFileName);
    xml.GetCurrentNode()->SerializeInt("WhatToDraw", m_nWhatToDraw);
    CGridDoc2::Serialize(ar);
    xml.GetCurrentNode()->EndNode();
}

void CObjDataDoc::DeleteContents()
{
    m_nSelected = -1;
    CGridDoc2::DeleteContents();
}

void CObjDataDoc::SaveDrawFlags()
{
    kestrun::CreateFolderTree(SplitModulePath(m_strConfigPath, TRUE, TRUE, FALSE, 0));
    WritePrivateProfileString("SegObj", "ObjDraw", FormatString("%d", m_nWhatToDraw), m_strConfigPath);
}

void CObjDataDoc::AttachSources(CMultiDocTemplate* pChartTemplate, CMultiDocTemplate* pTableTemplate, CBV* pEngine)
{
    CGridDoc2::AttachSources(pChartTemplate, pTableTemplate, pEngine);
    m_pTableTemplate = pTableTemplate;
    m_pEngine = pEngine;
}

// ---- objects under a point -----------------------------------------------------------------

int CObjDataDoc::HitTestObject(CPoint point) const
{
    int nearest = -1;
    // In double: a centroid read from a file may lie anywhere in the int
    // range, where the differences overflow an int and their squares a
    // 64-bit integer.
    double nearestDistance = std::numeric_limits<double>::infinity();
    int firstArea = -1;
    for (int i = 0; i < GetCount(); ++i) {
        const CBaseObj& record = *GetAt(i);
        CRect rect;
        if (!GetRecordRect(record, rect))
            continue;
        // The rectangles of the records hold their right and bottom edges.
        const bool inside = point.x >= rect.left && point.x <= rect.right && point.y >= rect.top &&
                            point.y <= rect.bottom;
        if (!inside)
            continue;
        if (record.m_ID == kTypeObject) {
            const CPoint centroid = static_cast<const CObjData&>(record).m_ptCentroid;
            const double dx = static_cast<double>(point.x) - centroid.x;
            const double dy = static_cast<double>(point.y) - centroid.y;
            if (dx * dx + dy * dy < nearestDistance) {
                nearestDistance = dx * dx + dy * dy;
                nearest = i;
            }
        } else if ((record.m_ID == kTypeObjectArea || record.m_ID == kTypeContourSegment) && firstArea < 0) {
            firstArea = i;
        }
    }
    return nearest >= 0 ? nearest : firstArea;
}

int CObjDataDoc::SetSelectedObject(CPoint point, int nIndex)
{
    int selection = -1;
    if (nIndex >= 0 && nIndex < GetCount()) {
        const auto* object = dynamic_cast<const CObjData*>(GetAt(nIndex));
        CRPolygon contour;
        CRScanPolygon area;
        if (object != nullptr && GetContour(*object, contour) && area.SetFromPolygon(contour) &&
            area.IsInside(point.x, point.y))
            selection = nIndex;
    }
    if (selection != m_nSelected) {
        m_nSelected = selection;
        if (CWnd* main = AfxGetMainWnd()) {
            main->SendMessageToDescendants(RegisterWindowMessage("GridSelected"), static_cast<WPARAM>(selection),
                                           reinterpret_cast<LPARAM>(static_cast<CDocument*>(this)));
        }
    }
    return m_nSelected;
}

// ---- the histogram and the watershed ----------------------------------------------------------

void CObjDataDoc::OnShowWatershed()
{
    const CObjData* object = GetCurrentObject();
    if (object == nullptr)
        return;
    CRPolygon contour;
    if (!GetContour(*object, contour)) {
        AfxMessageBox("No Konturinformation");
        return;
    }
    CDIB image;
    if (!MakeWatershedImage(*object, contour, image)) {
        AfxMessageBox("The object is too large for the watershed dialog.", MB_ICONEXCLAMATION);
        return;
    }
    CWatershedDlg dialog(std::move(image));
    dialog.DoModal();
}
