#include "analysis/aoi.h"

#include "analysis/aoiraster.h"
#include "objectmodel/textlabel.h"
#include "outside/pixmere/dib.h"
#include "platform/core/dc.h"
#include "platform/core/messagebox.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

IMPLEMENT_DYNAMIC(CAOI, CObject)

namespace {

// Stored sizes beyond these are damaged files, not areas of interest.
constexpr int kMaxExtent = 65535;
constexpr int kMaxCoordinate = 1 << 20;
constexpr int kMaxRasterCells = 1 << 16;

[[noreturn]] void ThrowBadFile(const CArchive& ar, int cause = CArchiveException::genericException)
{
    AfxThrowArchiveException(cause, ar.m_strFileName);
}

template <class T>
T ReadValue(CArchive& ar)
{
    T value{};
    ar.EnsureRead(&value, sizeof(value));
    return value;
}

} // namespace

CAOI::CAOI(int type) : m_nType(type) {}

CAOI::~CAOI() = default;

void CAOI::CopyFrom(const CAOI& other)
{
    if (&other == this)
        return;
    m_nLeft = other.m_nLeft;
    m_nTop = other.m_nTop;
    m_nWidth = other.m_nWidth;
    m_nHeight = other.m_nHeight;
    m_dAngle = other.m_dAngle;
    m_nProgress = other.m_nProgress;
    m_nFlag = other.m_nFlag;
    m_nStep = other.m_nStep;
    m_nChannel = other.m_nChannel;
    m_nFunction = other.m_nFunction;
    m_bExcluded = other.m_bExcluded;
}

bool CAOI::GetRunStart(int k, int y, int& x) const
{
    x = GetRowLeft(y);
    return k == 0;
}

bool CAOI::GetRunEnd(int k, int y, int& x) const
{
    x = GetRowRight(y);
    return k == 0;
}

// --- position and size -------------------------------------------------------------

void CAOI::SetRectFromCorners(int x1, int y1, int x2, int y2)
{
    m_nLeft = std::min(x1, x2);
    m_nTop = std::min(y1, y2);
    m_nWidth = std::abs(x2 - x1);
    m_nHeight = std::abs(y2 - y1);
}

CPoint CAOI::ClampPoint(int x, int y) const
{
    return CPoint(std::clamp(x, m_nLeft, std::max(m_nLeft, m_nLeft + m_nWidth - 1)),
                  std::clamp(y, m_nTop, std::max(m_nTop, m_nTop + m_nHeight - 1)));
}

void CAOI::SetPositionFromAnchor(int x, int y, UINT anchor)
{
    switch (anchor) {
    case anchorTopLeft:
        m_nLeft = x;
        m_nTop = y;
        break;
    case anchorCenter:
        m_nLeft = std::max(x - m_nWidth / 2, 1);
        m_nTop = std::max(y - m_nHeight / 2, 1);
        break;
    case anchorRightOfPoint:
        // The right edge lands 15 pixels right of the point.
        m_nLeft = x - m_nWidth + 15;
        m_nTop = std::max(y - m_nHeight / 2, 1);
        break;
    default:
        break;
    }
}

int CAOI::SetPosition(int x, int y, int width, int height, int imageLeft, int imageTop, int imageRight,
                      int imageBottom, UINT flags)
{
    const int oldLeft = m_nLeft;
    const int oldTop = m_nTop;
    const int oldWidth = m_nWidth;
    const int oldHeight = m_nHeight;

    if (flags & setSize) {
        if (!m_Patterns.empty())
            AfxMessageBox("AOI with pattern cannot be resized");
        const bool resizable = m_nType == typeRectangle || m_nType == typeEllipse || m_nType == typeRing;
        if (resizable && m_dAngle == 0.0 && m_Patterns.empty() && width > 0 && height > 0) {
            m_nWidth = width;
            m_nHeight = height;
        }
    }
    if (flags & setPosition)
        SetPositionFromAnchor(x, y, flags & 0x0F);

    int result = 1;
    if (flags & keepInImage)
        result = FitRect(imageLeft, imageTop, imageRight, imageBottom);

    if (m_nLeft != oldLeft || m_nTop != oldTop || m_nWidth != oldWidth || m_nHeight != oldHeight)
        OnRectChanged(oldLeft, oldTop, oldWidth, oldHeight);
    AfterPositionChange();
    return result;
}

void CAOI::SetAngle(double angle)
{
    m_dAngle = angle;
}

int CAOI::FitRect(int imageLeft, int imageTop, int imageRight, int imageBottom)
{
    // The raster's frame must fit as well.
    const int frame = m_pRaster ? m_pRaster->GetFrame() : 0;
    m_nLeft -= frame;
    m_nTop -= frame;
    m_nWidth += 2 * frame;
    m_nHeight += 2 * frame;

    const CRect image(imageLeft, imageTop, imageRight, imageBottom);
    const bool inside = image.PtInRect(CPoint(m_nLeft, m_nTop)) &&
                        image.PtInRect(CPoint(m_nLeft + m_nWidth, m_nTop + m_nHeight));
    const int result = inside ? 0 : 1;

    m_nLeft = std::max(m_nLeft, 1);
    m_nTop = std::max(m_nTop, 1);
    if (m_nLeft + m_nWidth >= imageRight)
        m_nLeft = imageRight - m_nWidth - 1;
    if (m_nTop + m_nHeight >= imageBottom)
        m_nTop = imageBottom - m_nHeight - 1;
    m_nLeft = std::max(m_nLeft, 1);
    m_nTop = std::max(m_nTop, 1);
    if (m_nWidth + m_nLeft >= imageRight - imageLeft)
        m_nWidth = imageRight - m_nLeft - imageLeft - 1;
    if (m_nHeight + m_nTop >= imageBottom - imageTop)
        m_nHeight = imageBottom - m_nTop - imageTop - 1;

    m_nWidth = std::max(m_nWidth - 2 * frame, 0);
    m_nHeight = std::max(m_nHeight - 2 * frame, 0);
    m_nLeft += frame;
    m_nTop += frame;
    return result;
}

int CAOI::FitIntoImage(int imageLeft, int imageTop, int imageRight, int imageBottom)
{
    const int oldLeft = m_nLeft;
    const int oldTop = m_nTop;
    const int oldWidth = m_nWidth;
    const int oldHeight = m_nHeight;
    const int result = FitRect(imageLeft, imageTop, imageRight, imageBottom);
    if (m_nLeft != oldLeft || m_nTop != oldTop || m_nWidth != oldWidth || m_nHeight != oldHeight) {
        OnRectChanged(oldLeft, oldTop, oldWidth, oldHeight);
        AfterPositionChange();
    }
    return result;
}

void CAOI::OnRectChanged(int, int, int, int) {}

void CAOI::AfterPositionChange()
{
    if (m_pRaster && m_pRaster->GetSize() > 0)
        m_pRaster->Create(*this, m_pRaster->GetColumns(), m_pRaster->GetRows(), m_pRaster->GetFrame());
    m_bModified = TRUE;
}

// --- raster and patterns -----------------------------------------------------------

void CAOI::CreateRaster(int columns, int rows, int frame)
{
    if (columns != 0 && rows != 0) {
        if (!m_pRaster)
            m_pRaster = std::make_unique<CAOIRaster>();
        m_pRaster->Create(*this, columns, rows, frame);
    } else {
        m_pRaster.reset();
    }
}

CDIB* CAOI::GetPattern(int index) const
{
    if (index < 0 || index >= GetPatternCount())
        AfxThrowInvalidArgException();
    return m_Patterns[static_cast<size_t>(index)].get();
}

void CAOI::AddPattern(std::unique_ptr<CDIB> pattern, WORD word)
{
    if (!pattern)
        AfxThrowInvalidArgException();
    m_Patterns.push_back(std::move(pattern));
    m_PatternWords.Add(word);
}

void CAOI::RemovePatterns()
{
    m_Patterns.clear();
    m_PatternWords.RemoveAll();
}

// --- queries -------------------------------------------------------------------------

bool CAOI::Contains(int x, int y) const
{
    if (m_nHeight <= 0 || y < m_nTop || y > m_nTop + m_nHeight - 1)
        return false;
    return x >= GetRowLeft(y) && x <= GetRowRight(y);
}

int CAOI::GetPixelCount() const
{
    // Counted wide: a box of 65535 x 65535 holds more pixels than an int.
    long long count = 0;
    for (int y = m_nTop; y < m_nTop + m_nHeight; ++y)
        count += GetRowRight(y) - GetRowLeft(y) + 1;
    return static_cast<int>(std::min<long long>(count, std::numeric_limits<int>::max()));
}

std::vector<POINT> CAOI::EdgePixels(POINT a, POINT b)
{
    const int dx = b.x - a.x;
    const int dy = b.y - a.y;
    const int steps = std::max(std::abs(dx), std::abs(dy));
    std::vector<POINT> pixels;
    pixels.reserve(static_cast<size_t>(steps) + 1);
    if (steps == 0) {
        pixels.push_back(a);
        return pixels;
    }
    const bool alongX = std::abs(dx) >= std::abs(dy);
    const int major = alongX ? (dx > 0 ? 1 : -1) : (dy > 0 ? 1 : -1);
    const long long minorDelta = alongX ? dy : dx;
    const long long increment = minorDelta * 65536 / steps;
    long long minor = static_cast<long long>(alongX ? a.y : a.x) * 65536 + 32768;
    for (int i = 0; i <= steps; ++i) {
        const LONG m = static_cast<LONG>(minor >> 16);
        if (alongX)
            pixels.push_back({a.x + i * major, m});
        else
            pixels.push_back({m, a.y + i * major});
        minor += increment;
    }
    return pixels;
}

// --- drawing -------------------------------------------------------------------------

void CAOI::GetExtentRatios(const CDC* pDC, double& rx, double& ry)
{
    const CSize window = pDC->GetWindowExt();
    const CSize viewport = pDC->GetViewportExt();
    rx = viewport.cx != 0 ? std::abs(static_cast<double>(window.cx) / viewport.cx) : 1.0;
    ry = viewport.cy != 0 ? std::abs(static_cast<double>(window.cy) / viewport.cy) : 1.0;
}

void CAOI::Draw(CDC* pDC) const
{
    double rx = 1.0;
    double ry = 1.0;
    GetExtentRatios(pDC, rx, ry);
    // One screen pixel inside the right and bottom edge, whatever the zoom.
    const int right = m_nLeft + m_nWidth - static_cast<int>(rx + 0.5);
    const int bottom = m_nTop + m_nHeight - static_cast<int>(ry + 0.5);
    pDC->MoveTo(m_nLeft, m_nTop);
    pDC->LineTo(right, m_nTop);
    pDC->LineTo(right, bottom);
    pDC->LineTo(m_nLeft, bottom);
    pDC->LineTo(m_nLeft, m_nTop);
    if (m_pRaster && m_pRaster->GetSize() > 0)
        m_pRaster->Draw(pDC);
}

void CAOI::DrawColored(CDC* pDC, COLORREF color) const
{
    // The saved state brings the previous pen back, also when there was none.
    CPen pen(PS_SOLID, 1, color);
    const int saved = pDC->SaveDC();
    pDC->SelectObject(&pen);
    Draw(pDC);
    pDC->RestoreDC(saved);
}

void CAOI::DrawIntoImage(Device& image, COLORREF color) const
{
    if (m_nWidth == 0 || m_nHeight == 0 || m_nLeft < 1 || m_nTop < 1 || m_nLeft + m_nWidth >= image.GetWidth() ||
        m_nTop + m_nHeight >= image.GetHeight())
        return;
    // One pixel outside the area, so that its own pixels stay untouched.
    const int left = m_nLeft - 1;
    const int top = m_nTop - 1;
    const int right = m_nLeft + m_nWidth;
    const int bottom = m_nTop + m_nHeight;
    image.MoveTo({left, top});
    image.LineTo({right, top}, color, R2_COPYPEN);
    image.LineTo({right, bottom}, color, R2_COPYPEN);
    image.LineTo({left, bottom}, color, R2_COPYPEN);
    image.LineTo({left, top}, color, R2_COPYPEN);
}

void CAOI::DrawLabel(CDC* pDC, CTextLabel& label) const
{
    double rx = 1.0;
    double ry = 1.0;
    GetExtentRatios(pDC, rx, ry);
    const int saved = pDC->SaveDC();
    pDC->SetMapMode(MM_TEXT);
    if (rx == 1.0 && ry == 1.0)
        label.Draw(pDC, m_nLeft - 10, m_nTop - 10);
    else
        label.Draw(pDC, static_cast<int>(m_nLeft / rx) - 10, static_cast<int>(m_nTop / ry) - 10);
    pDC->RestoreDC(saved);
}

void CAOI::GetOutline(CRPointArray&) const {}

// --- archive -------------------------------------------------------------------------

void CAOI::Serialize(CArchive& ar)
{
    UINT schema = storeSchema;
    SerializeBase(ar, schema);
    SerializeShape(ar, schema);
}

void CAOI::SerializeShape(CArchive&, UINT) {}

void CAOI::StorePatterns(CArchive& ar) const
{
    ar << static_cast<std::int32_t>(m_Patterns.size());
    for (const auto& pattern : m_Patterns) {
        const int width = pattern->GetWidth();
        const int height = pattern->GetHeight();
        const int bytes = pattern->GetBitCount() / 8;
        ar << static_cast<std::int32_t>(width) << static_cast<std::int32_t>(height)
           << static_cast<std::int32_t>(bytes);
        // Rows bottom-up without padding, as the bitmap holds them.
        for (int row = height - 1; row >= 0; --row) {
            const std::span<const BYTE> line = pattern->GetRow(row);
            ar.Write(line.data(), static_cast<UINT>(width * bytes));
        }
    }
}

void CAOI::LoadPatterns(CArchive& ar, std::vector<std::unique_ptr<CDIB>>& patterns) const
{
    constexpr ULONGLONG headerBytes = 12;
    const std::int32_t count = ReadValue<std::int32_t>(ar);
    if (count < 0)
        ThrowBadFile(ar);
    if (static_cast<ULONGLONG>(count) > ar.BytesLeft() / headerBytes)
        ThrowBadFile(ar, CArchiveException::endOfFile);
    for (std::int32_t i = 0; i < count; ++i) {
        const std::int32_t width = ReadValue<std::int32_t>(ar);
        const std::int32_t height = ReadValue<std::int32_t>(ar);
        const std::int32_t bytes = ReadValue<std::int32_t>(ar);
        if (width < 1 || width > kMaxExtent || height < 1 || height > kMaxExtent || (bytes != 1 && bytes != 3))
            ThrowBadFile(ar);
        const ULONGLONG size = static_cast<ULONGLONG>(width) * static_cast<ULONGLONG>(height) * bytes;
        if (size > ar.BytesLeft())
            ThrowBadFile(ar, CArchiveException::endOfFile);
        auto pattern = std::make_unique<CDIB>();
        if (!pattern->InitDIB(width, height, 8 * bytes))
            ThrowBadFile(ar);
        for (int row = height - 1; row >= 0; --row) {
            const std::span<BYTE> line = pattern->GetRow(row);
            ar.EnsureRead(line.data(), static_cast<UINT>(width * bytes));
        }
        patterns.push_back(std::move(pattern));
    }
}

void CAOI::DropOldObjectList(CArchive& ar)
{
    // An object list of an old layout: read and dropped. Only what it
    // created goes; an entry may also refer back to an object that belongs
    // elsewhere (even to this area), which must live on.
    const size_t mark = ar.GetLoadCount();
    try {
        CObArray old;
        old.Serialize(ar);
    } catch (...) {
        ar.DeleteObjectsSince(mark);
        throw;
    }
    ar.DeleteObjectsSince(mark);
}

void CAOI::SerializeBase(CArchive& ar, UINT& schema)
{
    if (ar.IsStoring()) {
        schema = storeSchema;
        ar.WriteClass(GetRuntimeClass());
        ar << static_cast<std::uint16_t>(m_nType);
        ar << static_cast<std::int32_t>(m_nLeft) << static_cast<std::int32_t>(m_nTop);
        ar << static_cast<std::int32_t>(m_nWidth) << static_cast<std::int32_t>(m_nHeight);
        ar << m_dAngle;
        ar << static_cast<std::uint16_t>(m_nFlag);
        StorePatterns(ar);
        const int columns = m_pRaster ? m_pRaster->GetColumns() : 0;
        const int rows = m_pRaster ? m_pRaster->GetRows() : 0;
        const int frame = m_pRaster ? m_pRaster->GetFrame() : 0;
        ar << static_cast<std::uint16_t>(columns) << static_cast<std::uint16_t>(rows);
        ar << static_cast<std::uint16_t>(frame);
        m_PatternWords.Serialize(ar);
        return;
    }

    // Everything is read first and taken over at the end, so that a damaged
    // record leaves the area as it was.
    ar.ReadClass(GetRuntimeClass(), &schema);
    (void)ReadValue<std::uint16_t>(ar); // the type follows from the class
    const std::int32_t left = ReadValue<std::int32_t>(ar);
    const std::int32_t top = ReadValue<std::int32_t>(ar);
    const std::int32_t width = ReadValue<std::int32_t>(ar);
    const std::int32_t height = ReadValue<std::int32_t>(ar);
    const double angle = ReadValue<double>(ar);
    // Compared in 64 bits: the most negative value has no absolute value in 32.
    if (std::llabs(left) > kMaxCoordinate || std::llabs(top) > kMaxCoordinate || width < 0 || width > kMaxExtent ||
        height < 0 || height > kMaxExtent || !std::isfinite(angle))
        ThrowBadFile(ar);
    int flag = m_nFlag;
    if (schema > 2)
        flag = ReadValue<std::uint16_t>(ar);
    std::vector<std::unique_ptr<CDIB>> patterns;
    if (schema > 3)
        LoadPatterns(ar, patterns);
    int columns = 0;
    int rows = 0;
    int frame = 0;
    if (schema > 4) {
        columns = ReadValue<std::uint16_t>(ar);
        rows = ReadValue<std::uint16_t>(ar);
        if (static_cast<long long>(columns) * rows > kMaxRasterCells)
            ThrowBadFile(ar);
    }
    if (schema > 5)
        frame = ReadValue<std::uint16_t>(ar);
    CWordArray words;
    if (schema > 3) {
        words.Serialize(ar);
    } else if (schema == 3) {
        DropOldObjectList(ar);
    }

    m_nLeft = left;
    m_nTop = top;
    m_nWidth = width;
    m_nHeight = height;
    m_dAngle = angle;
    m_nFlag = flag;
    m_Patterns = std::move(patterns);
    m_PatternWords.Copy(words);
    CreateRaster(columns, rows, frame);
}
