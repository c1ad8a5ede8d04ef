#include "platform/core/gdi.h"

#include "platform/core/dc.h"
#include "platform/core/exceptions.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>

IMPLEMENT_DYNAMIC(CGdiObject, CObject)
IMPLEMENT_DYNAMIC(CPen, CGdiObject)
IMPLEMENT_DYNAMIC(CBrush, CGdiObject)
IMPLEMENT_DYNAMIC(CFont, CGdiObject)

namespace {

constexpr int kScreenDpi = 96;

bool validPenStyle(int style) { return style >= PS_SOLID && style <= PS_INSIDEFRAME; }
bool validHatch(int index) { return index >= HS_HORIZONTAL && index <= HS_DIAGCROSS; }

// Tenths of a point to device pixels at a vertical resolution, rounded.
int pointsToPixels(int tenths, int dpi)
{
    const long long scaled = static_cast<long long>(std::abs(tenths)) * dpi;
    return static_cast<int>((scaled + 360) / 720);
}

} // namespace

bool operator==(const LOGPEN& a, const LOGPEN& b)
{
    return a.lopnStyle == b.lopnStyle && a.lopnWidth.x == b.lopnWidth.x && a.lopnColor == b.lopnColor;
}

bool operator==(const LOGBRUSH& a, const LOGBRUSH& b)
{
    return a.lbStyle == b.lbStyle && a.lbColor == b.lbColor && a.lbHatch == b.lbHatch;
}

bool operator==(const LOGFONT& a, const LOGFONT& b)
{
    return a.lfHeight == b.lfHeight && a.lfWidth == b.lfWidth && a.lfEscapement == b.lfEscapement &&
           a.lfOrientation == b.lfOrientation && a.lfWeight == b.lfWeight && a.lfItalic == b.lfItalic &&
           a.lfUnderline == b.lfUnderline && a.lfStrikeOut == b.lfStrikeOut && a.lfCharSet == b.lfCharSet &&
           a.lfOutPrecision == b.lfOutPrecision && a.lfClipPrecision == b.lfClipPrecision &&
           a.lfQuality == b.lfQuality && a.lfPitchAndFamily == b.lfPitchAndFamily &&
           std::strncmp(a.lfFaceName, b.lfFaceName, LF_FACESIZE) == 0;
}

void SetFaceName(LOGFONT& font, const char* face)
{
    std::memset(font.lfFaceName, 0, sizeof(font.lfFaceName));
    if (face == nullptr)
        return;
    size_t length = ::strnlen(face, LF_FACESIZE);
    if (length == LF_FACESIZE) {
        length = LF_FACESIZE - 1;
        // Never keep half of a multi-byte character.
        while (length > 0 && (static_cast<unsigned char>(face[length]) & 0xC0) == 0x80)
            --length;
    }
    std::memcpy(font.lfFaceName, face, length);
}

BOOL CGdiObject::DeleteObject()
{
    if (m_stock)
        return TRUE;
    if (!m_created)
        return FALSE;
    m_created = false;
    return TRUE;
}

BOOL CGdiObject::CreateStockObject(int index)
{
    const CGdiObject* stock = GetStockObject(index);
    if (stock == nullptr || stock->GetObjectType() != GetObjectType() || !CanCreate())
        return FALSE;
    CopyDescription(*stock);
    SetCreated();
    return TRUE;
}

CPen::CPen(int style, int width, COLORREF color)
{
    if (!CreatePen(style, width, color))
        AfxThrowInvalidArgException();
}

BOOL CPen::CreatePen(int style, int width, COLORREF color)
{
    if (!validPenStyle(style) || width < 0 || !CanCreate())
        return FALSE;
    m_log = LOGPEN{static_cast<UINT>(style), POINT{width, 0}, color};
    SetCreated();
    return TRUE;
}

BOOL CPen::CreatePenIndirect(const LOGPEN* logPen)
{
    if (logPen == nullptr)
        return FALSE;
    return CreatePen(static_cast<int>(logPen->lopnStyle), logPen->lopnWidth.x, logPen->lopnColor);
}

BOOL CPen::GetLogPen(LOGPEN* logPen) const
{
    if (logPen == nullptr || GetSafeHandle() == nullptr)
        return FALSE;
    *logPen = m_log;
    return TRUE;
}

void CPen::CopyDescription(const CGdiObject& other) { m_log = static_cast<const CPen&>(other).m_log; }

CBrush::CBrush(COLORREF color) { CreateSolidBrush(color); }

CBrush::CBrush(int hatchIndex, COLORREF color)
{
    if (!CreateHatchBrush(hatchIndex, color))
        AfxThrowInvalidArgException();
}

BOOL CBrush::CreateSolidBrush(COLORREF color)
{
    if (!CanCreate())
        return FALSE;
    m_log = LOGBRUSH{BS_SOLID, color, 0};
    SetCreated();
    return TRUE;
}

BOOL CBrush::CreateHatchBrush(int hatchIndex, COLORREF color)
{
    if (!validHatch(hatchIndex) || !CanCreate())
        return FALSE;
    m_log = LOGBRUSH{BS_HATCHED, color, static_cast<ULONG>(hatchIndex)};
    SetCreated();
    return TRUE;
}

BOOL CBrush::CreateBrushIndirect(const LOGBRUSH* logBrush)
{
    if (logBrush == nullptr || !CanCreate())
        return FALSE;
    switch (logBrush->lbStyle) {
    case BS_SOLID:
        return CreateSolidBrush(logBrush->lbColor);
    case BS_HATCHED:
        return CreateHatchBrush(static_cast<int>(logBrush->lbHatch), logBrush->lbColor);
    case BS_NULL:
        m_log = LOGBRUSH{BS_NULL, 0, 0};
        SetCreated();
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CBrush::GetLogBrush(LOGBRUSH* logBrush) const
{
    if (logBrush == nullptr || GetSafeHandle() == nullptr)
        return FALSE;
    *logBrush = m_log;
    return TRUE;
}

void CBrush::CopyDescription(const CGdiObject& other) { m_log = static_cast<const CBrush&>(other).m_log; }

BOOL CFont::CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                       BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision,
                       BYTE quality, BYTE pitchAndFamily, const char* faceName)
{
    LOGFONT lf{height,    width,        escapement,    orientation, weight,         italic, underline, strikeOut,
               charSet,   outPrecision, clipPrecision, quality,     pitchAndFamily, {}};
    SetFaceName(lf, faceName);
    return CreateFontIndirect(&lf);
}

BOOL CFont::CreateFontIndirect(const LOGFONT* logFont)
{
    if (logFont == nullptr || !CanCreate())
        return FALSE;
    m_log = *logFont;
    m_log.lfFaceName[LF_FACESIZE - 1] = '\0';
    SetCreated();
    return TRUE;
}

BOOL CFont::CreatePointFont(int pointSize, const char* faceName, CDC* dc)
{
    LOGFONT lf{};
    lf.lfHeight = pointSize;
    lf.lfCharSet = DEFAULT_CHARSET;
    SetFaceName(lf, faceName);
    return CreatePointFontIndirect(&lf, dc);
}

BOOL CFont::CreatePointFontIndirect(const LOGFONT* logFont, CDC* dc)
{
    if (logFont == nullptr)
        return FALSE;
    LOGFONT lf = *logFont;
    const int dpi = dc ? dc->GetDeviceCaps(LOGPIXELSY) : kScreenDpi;
    CSize height(0, pointsToPixels(logFont->lfHeight, dpi));
    if (dc)
        dc->DPtoLP(&height);
    // Negative: the size names the characters, not their cells.
    lf.lfHeight = -std::abs(height.cy);
    return CreateFontIndirect(&lf);
}

int CFont::GetLogFont(LOGFONT* logFont) const
{
    if (logFont == nullptr || GetSafeHandle() == nullptr)
        return 0;
    *logFont = m_log;
    return static_cast<int>(sizeof(LOGFONT));
}

void CFont::CopyDescription(const CGdiObject& other) { m_log = static_cast<const CFont&>(other).m_log; }

namespace {

LOGFONT stockFont(LONG height, LONG weight, BYTE charSet, BYTE pitchAndFamily, const char* face)
{
    LOGFONT lf{};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfCharSet = charSet;
    lf.lfPitchAndFamily = pitchAndFamily;
    SetFaceName(lf, face);
    return lf;
}

// Index-addressed table of the stock objects; gaps stay null.
class CStockObjects
{
public:
    CStockObjects()
    {
        addBrush(WHITE_BRUSH, LOGBRUSH{BS_SOLID, RGB(255, 255, 255), 0});
        addBrush(LTGRAY_BRUSH, LOGBRUSH{BS_SOLID, RGB(192, 192, 192), 0});
        addBrush(GRAY_BRUSH, LOGBRUSH{BS_SOLID, RGB(128, 128, 128), 0});
        addBrush(DKGRAY_BRUSH, LOGBRUSH{BS_SOLID, RGB(64, 64, 64), 0});
        addBrush(BLACK_BRUSH, LOGBRUSH{BS_SOLID, RGB(0, 0, 0), 0});
        addBrush(NULL_BRUSH, LOGBRUSH{BS_NULL, 0, 0});
        addPen(WHITE_PEN, PS_SOLID, RGB(255, 255, 255));
        addPen(BLACK_PEN, PS_SOLID, RGB(0, 0, 0));
        addPen(NULL_PEN, PS_NULL, RGB(0, 0, 0));
        addFont(OEM_FIXED_FONT, stockFont(12, FW_NORMAL, OEM_CHARSET, FIXED_PITCH | FF_MODERN, "Terminal"));
        addFont(ANSI_FIXED_FONT, stockFont(12, FW_NORMAL, ANSI_CHARSET, FIXED_PITCH | FF_MODERN, "Courier"));
        addFont(ANSI_VAR_FONT, stockFont(12, FW_NORMAL, ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS, "MS Sans Serif"));
        addFont(SYSTEM_FONT, stockFont(16, FW_BOLD, ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS, "System"));
        addFont(DEVICE_DEFAULT_FONT, stockFont(16, FW_BOLD, ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS, "System"));
        addFont(SYSTEM_FIXED_FONT, stockFont(15, FW_NORMAL, ANSI_CHARSET, FIXED_PITCH | FF_MODERN, "Fixedsys"));
        addFont(DEFAULT_GUI_FONT, stockFont(-11, FW_NORMAL, DEFAULT_CHARSET, VARIABLE_PITCH | FF_SWISS, "MS Shell Dlg"));
    }

    CGdiObject* at(int index) const
    {
        if (index < 0 || index >= static_cast<int>(m_objects.size()))
            return nullptr;
        return m_objects[static_cast<size_t>(index)].get();
    }

private:
    void addPen(int index, int style, COLORREF color)
    {
        auto pen = std::make_unique<CPen>();
        pen->CreatePen(style, 0, color);
        m_objects[static_cast<size_t>(index)] = std::move(pen);
    }
    void addBrush(int index, const LOGBRUSH& log)
    {
        auto brush = std::make_unique<CBrush>();
        brush->CreateBrushIndirect(&log);
        m_objects[static_cast<size_t>(index)] = std::move(brush);
    }
    void addFont(int index, const LOGFONT& log)
    {
        auto font = std::make_unique<CFont>();
        font->CreateFontIndirect(&log);
        m_objects[static_cast<size_t>(index)] = std::move(font);
    }

    std::array<std::unique_ptr<CGdiObject>, DEFAULT_GUI_FONT + 1> m_objects;
};

} // namespace

CGdiObject* GetStockObject(int index)
{
    static const CStockObjects stock = [] {
        CStockObjects objects;
        for (int i = 0; i <= DEFAULT_GUI_FONT; ++i) {
            if (CGdiObject* object = objects.at(i))
                object->m_stock = true;
        }
        return objects;
    }();
    return stock.at(index);
}
