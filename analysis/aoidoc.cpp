#include "analysis/aoidoc.h"

#include "analysis/aoiraster.h"
#include "analysis/profilefile.h"
#include "objectmodel/textlabel.h"
#include "platform/core/atomicfile.h"
#include "platform/core/dc.h"
#include "platform/core/file.h"
#include "platform/core/folders.h"
#include "platform/core/messagebox.h"
#include "platform/core/paths.h"
#include "platform/core/profile.h"

#include <cmath>

IMPLEMENT_SERIAL(CAOIDoc, CObject, 2)

namespace {

constexpr COLORREF kOlive = RGB(128, 128, 0);
constexpr COLORREF kMarkerRed = RGB(255, 0, 0);

// The objects read from one archive: what nobody takes is deleted with the
// reader, objects nested in object arrays included.
class CArchiveObjects
{
public:
    explicit CArchiveObjects(CArchive& ar) : m_ar(ar), m_mark(ar.GetLoadCount()) {}
    ~CArchiveObjects() { m_ar.DeleteObjectsSince(m_mark); }
    CArchiveObjects(const CArchiveObjects&) = delete;
    CArchiveObjects& operator=(const CArchiveObjects&) = delete;

    // Reads a counted list of objects (the form of both object lists and
    // object arrays), checking the count against the bytes left.
    std::vector<CObject*> ReadList(const CRuntimeClass* cls)
    {
        const DWORD_PTR count = m_ar.ReadCount();
        // An object takes at least its two-byte tag.
        if (count > m_ar.BytesLeft() / 2)
            AfxThrowArchiveException(CArchiveException::endOfFile, m_ar.m_strFileName);
        std::vector<CObject*> objects;
        objects.reserve(count);
        for (DWORD_PTR i = 0; i < count; ++i)
            objects.push_back(m_ar.ReadObject(cls));
        return objects;
    }

    // Null when the object was not read here or was taken already. Lists
    // are taken in their order: the search goes on from the last one taken.
    std::unique_ptr<CObject> Take(CObject* object)
    {
        size_t index = m_ar.ForgetObject(object, m_next);
        if (index == 0)
            index = m_ar.ForgetObject(object, m_mark);
        if (index == 0)
            return nullptr;
        m_next = index + 1;
        return std::unique_ptr<CObject>(object);
    }

private:
    CArchive& m_ar;
    const size_t m_mark;
    size_t m_next = m_mark;
};

} // namespace

CAOI* CAOIDoc::GetAOI(int index) const
{
    if (index < 0 || index >= GetAOICount())
        return nullptr;
    return m_AOIs[static_cast<size_t>(index)].get();
}

int CAOIDoc::Page() const
{
    return m_nCurrentPage < 0 || m_nCurrentPage >= pageCount ? 0 : m_nCurrentPage;
}

int CAOIDoc::GetCurrentPage()
{
    m_nCurrentPage = Page();
    return m_nCurrentPage;
}

bool CAOIDoc::IsEnabledOnPage(const CAOI& aoi, int page) const
{
    return aoi.m_nChannel == page && !aoi.m_bExcluded;
}

CAOI* CAOIDoc::GetActiveAOI(bool fallback)
{
    const int page = GetCurrentPage();
    CAOI* aoi = GetAOI(m_nActive);
    if (aoi != nullptr && IsEnabledOnPage(*aoi, page))
        return aoi;
    return fallback ? &m_ImageAOI : nullptr;
}

int CAOIDoc::SetActiveAOI(int index)
{
    if (index < GetAOICount()) {
        m_nActive = index < 0 ? -1 : index;
        return GetAOICount();
    }
    m_nActive = 0;
    return 0;
}

int CAOIDoc::GetFirstEnabledAOI() const
{
    const int page = Page();
    for (int i = 0; i < GetAOICount(); ++i) {
        if (IsEnabledOnPage(*m_AOIs[static_cast<size_t>(i)], page))
            return i;
    }
    return -1;
}

int CAOIDoc::GetLastEnabledAOI() const
{
    const int page = Page();
    for (int i = GetAOICount() - 1; i >= 0; --i) {
        if (IsEnabledOnPage(*m_AOIs[static_cast<size_t>(i)], page))
            return i;
    }
    return -1;
}

int CAOIDoc::GetEnabledAOIFrom(int index) const
{
    const int page = Page();
    for (int i = index < 0 ? 0 : index; i < GetAOICount(); ++i) {
        if (IsEnabledOnPage(*m_AOIs[static_cast<size_t>(i)], page))
            return i;
    }
    return GetFirstEnabledAOI();
}

void CAOIDoc::SelectNextAOI()
{
    m_nActive = GetEnabledAOIFrom(m_nActive);
}

CAOI* CAOIDoc::GetNextEnabledAOI(int& position) const
{
    for (++position; position >= 0 && position < GetAOICount(); ++position) {
        CAOI* aoi = m_AOIs[static_cast<size_t>(position)].get();
        if (!aoi->m_bExcluded)
            return aoi;
    }
    position = -1;
    return nullptr;
}

bool CAOIDoc::FindAOIAtPoint(int x, int y)
{
    const int page = GetCurrentPage();
    long long smallest = -1;
    for (int i = 0; i < GetAOICount(); ++i) {
        const CAOI& aoi = *m_AOIs[static_cast<size_t>(i)];
        if (!IsEnabledOnPage(aoi, page) || !aoi.Contains(x, y))
            continue;
        const long long area = static_cast<long long>(aoi.GetWidth()) * aoi.GetHeight();
        if (smallest < 0 || area < smallest) {
            smallest = area;
            m_nActive = i;
        }
    }
    return GetActiveAOI(false) != nullptr;
}

bool CAOIDoc::IsInsideImage(const CRect& rect) const
{
    const CRect image = GetImageRect();
    return image.PtInRect(rect.TopLeft()) && image.PtInRect(rect.BottomRight());
}

int CAOIDoc::AddAOI(std::unique_ptr<CAOI>& aoi)
{
    if (!aoi)
        AfxThrowInvalidArgException();
    const CRect image = GetImageRect();
    if (!image.IsRectEmpty() && !IsInsideImage(aoi->GetRect())) {
        if (!aoi->IsKindOf(RUNTIME_CLASS(CAOI2)))
            return 0;
        aoi->FitIntoImage(image.left, image.top, image.right, image.bottom);
    }
    aoi->m_bModified = TRUE;
    m_AOIs.push_back(std::move(aoi));
    m_nActive = GetLastEnabledAOI();
    return 1;
}

int CAOIDoc::AddPolygonAOI(const CRPolygon& polygon)
{
    if (polygon.GetSize() <= 2)
        return 0;
    std::unique_ptr<CAOI> aoi = std::make_unique<CAOI4>();
    if (!static_cast<CAOI4&>(*aoi).SetPolygon(polygon))
        return 0;
    aoi->m_bModified = TRUE;
    return AddAOI(aoi);
}

void CAOIDoc::DeleteAOI(int index)
{
    if (index < 0 || index >= GetAOICount())
        return;
    m_AOIs.erase(m_AOIs.begin() + index);
    m_nActive = GetLastEnabledAOI();
    SetModifiedFlag();
}

void CAOIDoc::ClearAOIs()
{
    m_AOIs.clear();
}

void CAOIDoc::SetImageSize(int width, int height, bool quiet)
{
    if (m_ImageAOI.GetWidth() != width || m_ImageAOI.GetHeight() != height) {
        m_ImageAOI.SetRectFromCorners(0, 0, width, height);
        CheckAOIsInImage(quiet);
    }
    SetDefaultAOI(nullptr);
}

void CAOIDoc::SetDefaultAOI(const CAOI* aoi)
{
    CRect rect = aoi != nullptr ? aoi->GetRect() : CRect();
    if (rect.IsRectEmpty()) {
        rect = GetImageRect();
        const int qx = rect.Width() / 4;
        const int qy = rect.Height() / 4;
        rect = CRect(rect.left + qx, rect.top + qy, rect.right - qx, rect.bottom - qy);
    }
    m_DefaultAOI.SetRectFromCorners(rect.left, rect.top, rect.right, rect.bottom);
}

void CAOIDoc::CheckAOIsInImage(bool quiet)
{
    if (GetImageRect().IsRectEmpty() || m_AOIs.empty())
        return;
    for (const auto& aoi : m_AOIs) {
        const CAOIRaster* raster = aoi->GetRaster();
        const CRect rect = raster != nullptr && raster->GetSize() > 0 ? raster->GetOuterRect() : aoi->GetRect();
        if (IsInsideImage(rect)) {
            aoi->m_bExcluded = FALSE;
            if (GetAOI(m_nActive) == nullptr) {
                m_nActive = -1;
                GetNextEnabledAOI(m_nActive);
            }
        } else {
            aoi->m_bExcluded = TRUE;
            m_nActive = GetEnabledAOIFrom(m_nActive);
            if (!quiet)
                AfxMessageBox("AOI is outside and deactivated!");
        }
    }
}

int CAOIDoc::DrawAOIs(CDC* pDC, CTextLabel& label) const
{
    if (m_AOIs.empty())
        return 0;
    if (m_bShowDefault) {
        const CAOI2& d = m_DefaultAOI;
        const int left = d.GetLeft();
        const int top = d.GetTop();
        const int r = left + d.GetWidth();
        const int b = top + d.GetHeight();
        const int qx = d.GetWidth() / 4;
        const int qy = d.GetHeight() / 4;
        const POINT corners[4][3] = {
            {{left, top + qy}, {left, top}, {left + qx, top}},
            {{r - qx, top}, {r, top}, {r, top + qy}},
            {{r, b - qy}, {r, b}, {r - qx, b}},
            {{left + qx, b}, {left, b}, {left, b - qy}},
        };
        for (const auto& corner : corners)
            pDC->Polyline(corner, 3);
    }
    if (m_nMarkerFirst != -1 && m_nMarkerLast != -1) {
        CPen markerPen(PS_SOLID, 5, kMarkerRed);
        CPen* previous = pDC->SelectObject(&markerPen);
        pDC->MoveTo(3, m_nMarkerFirst);
        pDC->LineTo(3, m_nMarkerLast);
        pDC->SelectObject(previous);
    }

    CPen aoiPen(PS_SOLID, 1, m_AOIColor);
    CPen activePen(PS_SOLID, 1, m_ActiveColor);
    CPen olivePen(PS_SOLID, 1, kOlive);
    CPen* previous = pDC->SelectObject(&aoiPen);
    const int page = Page();
    for (int i = 0; i < GetAOICount(); ++i) {
        const CAOI& aoi = *m_AOIs[static_cast<size_t>(i)];
        if ((aoi.m_nChannel != page && aoi.m_nChannel != -1) || aoi.m_bExcluded == 1)
            continue;
        if (i == m_nActive)
            pDC->SelectObject(&activePen);
        else if (aoi.m_nFunction == 0)
            pDC->SelectObject(&olivePen);
        label.m_strText.Format("%d", i + 1);
        aoi.Draw(pDC);
        aoi.DrawLabel(pDC, label);
        pDC->SelectObject(&aoiPen);
    }
    pDC->SelectObject(previous);
    return 1;
}

void CAOIDoc::DrawArrow(CDC* pDC, int x1, int y1, int x2, int y2)
{
    pDC->MoveTo(x1, y1);
    pDC->LineTo(x2, y2);
    const double a = std::atan2(static_cast<double>(y1 - y2), static_cast<double>(x1 - x2));
    const double c = std::cos(a);
    const double s = std::sin(a);
    const POINT head[4] = {
        {x2, y2},
        {x2 + static_cast<int>(5 * c - 2.5 * s), y2 + static_cast<int>(2.5 * c + 5 * s)},
        {x2 + static_cast<int>(2.5 * s + 5 * c), y2 + static_cast<int>(5 * s - 2.5 * c)},
        {x2, y2},
    };
    pDC->Polyline(head, 4);
}

bool CAOIDoc::LoadAOIFile(const CString& path)
{
    m_AOIColor = GetProfileInt("AOI", "Color", static_cast<int>(m_AOIColor));
    CFile file;
    if (!kestrun::OpenProfileFile(file, path) || file.GetLength() == 0)
        return false;
    CArchive ar(&file, CArchive::load);
    ar.m_strFileName = path;
    Serialize(ar);
    ar.Close();
    m_strPathName = kestrun::NativePath(path);
    CheckAOIsInImage(true);
    return true;
}

bool CAOIDoc::SaveAOIFile(const CString& path)
{
    WriteProfileInt("AOI", "Color", static_cast<int>(m_AOIColor));
    const CString target = kestrun::NativePath(path);
    bool changed = IsModified() || target != m_strPathName || GetFileAttributes(target) == INVALID_FILE_ATTRIBUTES;
    for (const auto& aoi : m_AOIs)
        changed = changed || aoi->m_bModified;
    if (!changed)
        return false;

    CMemFile bytes;
    CArchive ar(&bytes, CArchive::store);
    ar.m_strFileName = target;
    Serialize(ar);
    ar.Close();
    kestrun::CAtomicFileWriter writer(target);
    writer.Write(bytes.Data().data(), bytes.Data().size());
    writer.Commit();
    m_strPathName = target;
    return true;
}

void CAOIDoc::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << fileVersion;
        ar.WriteCount(m_AOIs.size());
        for (const auto& aoi : m_AOIs)
            ar.WriteObject(aoi.get());
        return;
    }
    WORD version = 0;
    ar >> version;
    ReadList(ar, version);
}

// The new list is built aside and replaces the old one only when the whole
// file was read.
void CAOIDoc::ReadList(CArchive& ar, WORD version)
{
    std::vector<std::unique_ptr<CAOI>> aois;
    CArchiveObjects objects(ar);
    const auto keep = [&](const std::vector<CObject*>& list, int channel) {
        for (CObject* object : list) {
            // A list entry that is missing, listed twice or not read by this
            // list would leave the document with a null or a doubly owned AOI.
            std::unique_ptr<CAOI> aoi(static_cast<CAOI*>(objects.Take(object).release()));
            if (!aoi)
                AfxThrowArchiveException(CArchiveException::badIndex, ar.m_strFileName);
            if (channel >= 0)
                aoi->m_nChannel = channel;
            aois.push_back(std::move(aoi));
        }
    };

    switch (version) {
    case 15:
    case 14:
        keep(objects.ReadList(RUNTIME_CLASS(CAOI)), -1);
        break;
    case 12:
        for (int page = 0; page < 4; ++page)
            keep(objects.ReadList(RUNTIME_CLASS(CAOI)), page);
        objects.ReadList(nullptr);
        objects.ReadList(nullptr);
        break;
    case 11:
        for (int page = 0; page < 4; ++page)
            objects.ReadList(nullptr);
        objects.ReadList(nullptr);
        break;
    default:
        AfxThrowArchiveException(CArchiveException::badSchema, ar.m_strFileName);
    }
    m_AOIs = std::move(aois);
}
