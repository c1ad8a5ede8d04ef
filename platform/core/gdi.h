#pragma once
// Drawing objects (pens, brushes, fonts) and the drawing constants, with the
// numbers the original code passes around. The objects only describe what to
// draw; a device context copies the description when one is selected, so an
// object may go away while a context still draws with it.

#include "platform/core/geometry.h"
#include "platform/core/object.h"
#include "platform/core/types.h"

class CDC;

// Pen styles
inline constexpr int PS_SOLID = 0;
inline constexpr int PS_DASH = 1;
inline constexpr int PS_DOT = 2;
inline constexpr int PS_DASHDOT = 3;
inline constexpr int PS_DASHDOTDOT = 4;
inline constexpr int PS_NULL = 5;
inline constexpr int PS_INSIDEFRAME = 6;

// Brush styles and hatch patterns
inline constexpr UINT BS_SOLID = 0;
inline constexpr UINT BS_NULL = 1;
inline constexpr UINT BS_HOLLOW = BS_NULL;
inline constexpr UINT BS_HATCHED = 2;

inline constexpr int HS_HORIZONTAL = 0;
inline constexpr int HS_VERTICAL = 1;
inline constexpr int HS_FDIAGONAL = 2;
inline constexpr int HS_BDIAGONAL = 3;
inline constexpr int HS_CROSS = 4;
inline constexpr int HS_DIAGCROSS = 5;

// Stock objects
inline constexpr int WHITE_BRUSH = 0;
inline constexpr int LTGRAY_BRUSH = 1;
inline constexpr int GRAY_BRUSH = 2;
inline constexpr int DKGRAY_BRUSH = 3;
inline constexpr int BLACK_BRUSH = 4;
inline constexpr int NULL_BRUSH = 5;
inline constexpr int HOLLOW_BRUSH = NULL_BRUSH;
inline constexpr int WHITE_PEN = 6;
inline constexpr int BLACK_PEN = 7;
inline constexpr int NULL_PEN = 8;
inline constexpr int OEM_FIXED_FONT = 10;
inline constexpr int ANSI_FIXED_FONT = 11;
inline constexpr int ANSI_VAR_FONT = 12;
inline constexpr int SYSTEM_FONT = 13;
inline constexpr int DEVICE_DEFAULT_FONT = 14;
inline constexpr int SYSTEM_FIXED_FONT = 16;
inline constexpr int DEFAULT_GUI_FONT = 17;

// Object types, as GetObjectType answers
inline constexpr int OBJ_PEN = 1;
inline constexpr int OBJ_BRUSH = 2;
inline constexpr int OBJ_FONT = 6;

// Raster operations of lines and shapes: how the pen combines with the screen.
inline constexpr int R2_BLACK = 1;
inline constexpr int R2_NOTMERGEPEN = 2;
inline constexpr int R2_MASKNOTPEN = 3;
inline constexpr int R2_NOTCOPYPEN = 4;
inline constexpr int R2_MASKPENNOT = 5;
inline constexpr int R2_NOT = 6;
inline constexpr int R2_XORPEN = 7;
inline constexpr int R2_NOTMASKPEN = 8;
inline constexpr int R2_MASKPEN = 9;
inline constexpr int R2_NOTXORPEN = 10;
inline constexpr int R2_NOP = 11;
inline constexpr int R2_MERGENOTPEN = 12;
inline constexpr int R2_COPYPEN = 13;
inline constexpr int R2_MERGEPENNOT = 14;
inline constexpr int R2_MERGEPEN = 15;
inline constexpr int R2_WHITE = 16;

// Mapping modes
inline constexpr int MM_TEXT = 1;
inline constexpr int MM_LOMETRIC = 2;
inline constexpr int MM_HIMETRIC = 3;
inline constexpr int MM_LOENGLISH = 4;
inline constexpr int MM_HIENGLISH = 5;
inline constexpr int MM_TWIPS = 6;
inline constexpr int MM_ISOTROPIC = 7;
inline constexpr int MM_ANISOTROPIC = 8;

// Background modes
inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;

// Polygon fill modes
inline constexpr int ALTERNATE = 1;
inline constexpr int WINDING = 2;

// Text alignment of TextOut
inline constexpr UINT TA_NOUPDATECP = 0;
inline constexpr UINT TA_UPDATECP = 1;
inline constexpr UINT TA_LEFT = 0;
inline constexpr UINT TA_RIGHT = 2;
inline constexpr UINT TA_CENTER = 6;
inline constexpr UINT TA_TOP = 0;
inline constexpr UINT TA_BOTTOM = 8;
inline constexpr UINT TA_BASELINE = 24;
inline constexpr UINT TA_RTLREADING = 256;

// DrawText formats
inline constexpr UINT DT_TOP = 0x0;
inline constexpr UINT DT_LEFT = 0x0;
inline constexpr UINT DT_CENTER = 0x1;
inline constexpr UINT DT_RIGHT = 0x2;
inline constexpr UINT DT_VCENTER = 0x4;
inline constexpr UINT DT_BOTTOM = 0x8;
inline constexpr UINT DT_WORDBREAK = 0x10;
inline constexpr UINT DT_SINGLELINE = 0x20;
inline constexpr UINT DT_EXPANDTABS = 0x40;
inline constexpr UINT DT_TABSTOP = 0x80;
inline constexpr UINT DT_NOCLIP = 0x100;
inline constexpr UINT DT_EXTERNALLEADING = 0x200;
inline constexpr UINT DT_CALCRECT = 0x400;
inline constexpr UINT DT_NOPREFIX = 0x800;
inline constexpr UINT DT_INTERNAL = 0x1000;
inline constexpr UINT DT_EDITCONTROL = 0x2000;
inline constexpr UINT DT_PATH_ELLIPSIS = 0x4000;
inline constexpr UINT DT_END_ELLIPSIS = 0x8000;
inline constexpr UINT DT_MODIFYSTRING = 0x10000;
inline constexpr UINT DT_RTLREADING = 0x20000;
inline constexpr UINT DT_WORD_ELLIPSIS = 0x40000;
inline constexpr UINT DT_HIDEPREFIX = 0x100000;
inline constexpr UINT DT_PREFIXONLY = 0x200000;

// GetDeviceCaps indexes and device technologies
inline constexpr int TECHNOLOGY = 2;
inline constexpr int HORZSIZE = 4;
inline constexpr int VERTSIZE = 6;
inline constexpr int HORZRES = 8;
inline constexpr int VERTRES = 10;
inline constexpr int BITSPIXEL = 12;
inline constexpr int PLANES = 14;
inline constexpr int NUMCOLORS = 24;
inline constexpr int LOGPIXELSX = 88;
inline constexpr int LOGPIXELSY = 90;
inline constexpr int SIZEPALETTE = 104;
inline constexpr int COLORRES = 108;
inline constexpr int PHYSICALWIDTH = 110;
inline constexpr int PHYSICALHEIGHT = 111;
inline constexpr int PHYSICALOFFSETX = 112;
inline constexpr int PHYSICALOFFSETY = 113;

inline constexpr int DT_PLOTTER = 0;
inline constexpr int DT_RASDISPLAY = 1;
inline constexpr int DT_RASPRINTER = 2;

// Region kinds, as GetClipBox answers
inline constexpr int NULLREGION = 1;
inline constexpr int SIMPLEREGION = 2;

// Font weights, character sets, precisions, qualities, pitch and family
inline constexpr int FW_DONTCARE = 0;
inline constexpr int FW_THIN = 100;
inline constexpr int FW_EXTRALIGHT = 200;
inline constexpr int FW_LIGHT = 300;
inline constexpr int FW_NORMAL = 400;
inline constexpr int FW_MEDIUM = 500;
inline constexpr int FW_SEMIBOLD = 600;
inline constexpr int FW_BOLD = 700;
inline constexpr int FW_EXTRABOLD = 800;
inline constexpr int FW_HEAVY = 900;

inline constexpr BYTE ANSI_CHARSET = 0;
inline constexpr BYTE DEFAULT_CHARSET = 1;
inline constexpr BYTE SYMBOL_CHARSET = 2;
inline constexpr BYTE OEM_CHARSET = 255;

inline constexpr BYTE OUT_DEFAULT_PRECIS = 0;
inline constexpr BYTE OUT_TT_PRECIS = 4;
inline constexpr BYTE CLIP_DEFAULT_PRECIS = 0;
inline constexpr BYTE DEFAULT_QUALITY = 0;
inline constexpr BYTE DRAFT_QUALITY = 1;
inline constexpr BYTE PROOF_QUALITY = 2;
inline constexpr BYTE NONANTIALIASED_QUALITY = 3;
inline constexpr BYTE ANTIALIASED_QUALITY = 4;

inline constexpr BYTE DEFAULT_PITCH = 0;
inline constexpr BYTE FIXED_PITCH = 1;
inline constexpr BYTE VARIABLE_PITCH = 2;
inline constexpr BYTE FF_DONTCARE = 0x00;
inline constexpr BYTE FF_ROMAN = 0x10;
inline constexpr BYTE FF_SWISS = 0x20;
inline constexpr BYTE FF_MODERN = 0x30;
inline constexpr BYTE FF_SCRIPT = 0x40;
inline constexpr BYTE FF_DECORATIVE = 0x50;

inline constexpr int LF_FACESIZE = 32;

// The colour a failed pixel call answers.
inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

using HGDIOBJ = void*;

// Plain descriptions with the stored 32-bit layout, so that records can write
// them as raw bytes. lopnWidth.x is the width; y is unused.
struct LOGPEN
{
    UINT lopnStyle;
    POINT lopnWidth;
    COLORREF lopnColor;
};

struct LOGBRUSH
{
    UINT lbStyle;
    COLORREF lbColor;
    ULONG lbHatch;
};

// lfHeight < 0 is the character height, > 0 the cell height, 0 a default.
struct LOGFONT
{
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    char lfFaceName[LF_FACESIZE];
};

bool operator==(const LOGPEN& a, const LOGPEN& b);
bool operator==(const LOGBRUSH& a, const LOGBRUSH& b);
// Face names compare up to their terminating NUL.
bool operator==(const LOGFONT& a, const LOGFONT& b);

// Copies a face name into a LOGFONT, cut to 31 bytes on a UTF-8 character
// boundary.
void SetFaceName(LOGFONT& font, const char* face);

// A drawing object: empty until created, then holding its description.
class CGdiObject : public CObject
{
    DECLARE_DYNAMIC(CGdiObject)

public:
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    ~CGdiObject() override = default;

    virtual int GetObjectType() const = 0;

    // Non-null once created; the object itself stands for its handle.
    HGDIOBJ GetSafeHandle() const { return m_created ? const_cast<CGdiObject*>(this) : nullptr; }
    // Stock objects stay as they are: deleting one does nothing, creating
    // into one fails.
    BOOL DeleteObject();
    // Takes over the description of a stock object of the same kind; FALSE
    // for an index that names no object of this kind.
    BOOL CreateStockObject(int index);
    bool IsStockObject() const { return m_stock; }

protected:
    CGdiObject() = default;
    // Whether Create* may (re)define this object.
    bool CanCreate() const { return !m_stock; }
    void SetCreated() { m_created = true; }
    virtual void CopyDescription(const CGdiObject& other) = 0;

private:
    friend CGdiObject* GetStockObject(int index);
    bool m_created = false;
    bool m_stock = false;
};

class CPen : public CGdiObject
{
    DECLARE_DYNAMIC(CPen)

public:
    CPen() = default;
    // Throws CInvalidArgException for an unknown style or a negative width.
    CPen(int style, int width, COLORREF color);

    // FALSE, and nothing changes, for an unknown style or a negative width.
    BOOL CreatePen(int style, int width, COLORREF color);
    BOOL CreatePenIndirect(const LOGPEN* logPen);
    BOOL GetLogPen(LOGPEN* logPen) const;
    const LOGPEN& LogPen() const { return m_log; }

    int GetObjectType() const override { return OBJ_PEN; }

protected:
    void CopyDescription(const CGdiObject& other) override;

private:
    LOGPEN m_log{};
};

class CBrush : public CGdiObject
{
    DECLARE_DYNAMIC(CBrush)

public:
    CBrush() = default;
    explicit CBrush(COLORREF color);
    // Throws CInvalidArgException for an unknown hatch index.
    CBrush(int hatchIndex, COLORREF color);

    BOOL CreateSolidBrush(COLORREF color);
    // FALSE, and nothing changes, for an unknown hatch index.
    BOOL CreateHatchBrush(int hatchIndex, COLORREF color);
    BOOL CreateBrushIndirect(const LOGBRUSH* logBrush);
    BOOL GetLogBrush(LOGBRUSH* logBrush) const;
    const LOGBRUSH& LogBrush() const { return m_log; }

    int GetObjectType() const override { return OBJ_BRUSH; }

protected:
    void CopyDescription(const CGdiObject& other) override;

private:
    LOGBRUSH m_log{};
};

class CFont : public CGdiObject
{
    DECLARE_DYNAMIC(CFont)

public:
    CFont() = default;

    BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic, BYTE underline,
                    BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision, BYTE quality,
                    BYTE pitchAndFamily, const char* faceName);
    BOOL CreateFontIndirect(const LOGFONT* logFont);
    // pointSize in tenths of a point. The height becomes logical units of the
    // context (its vertical resolution and mapping), or pixels of a 96-dpi
    // screen without one.
    BOOL CreatePointFont(int pointSize, const char* faceName, CDC* dc = nullptr);
    // As CreatePointFont, with lfHeight of the description in tenths of a point.
    BOOL CreatePointFontIndirect(const LOGFONT* logFont, CDC* dc = nullptr);
    int GetLogFont(LOGFONT* logFont) const;
    const LOGFONT& LogFont() const { return m_log; }

    int GetObjectType() const override { return OBJ_FONT; }

protected:
    void CopyDescription(const CGdiObject& other) override;

private:
    LOGFONT m_log{};
};

// The stock object of an index, shared by the whole process and never
// deleted; null for an unknown index.
CGdiObject* GetStockObject(int index);
