#include "platform/ui/fontui.h"

#include "platform/core/dc.h"
#include "platform/core/profile.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kScreenDpi = 96;

// a * b / c rounded half away from zero.
int mulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    return static_cast<int>(std::llround(static_cast<double>(a) * b / c));
}

} // namespace

int CFontUI::PixelsPerInchY(CDC* pDC)
{
    if (pDC != nullptr)
        return pDC->GetDeviceCaps(LOGPIXELSY);
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            return static_cast<int>(std::lround(screen->logicalDotsPerInchY()));
    }
    return kScreenDpi;
}

CString CFontUI::FormatFont(const LOGFONT& font, int nPixelsPerInchY)
{
    char face[LF_FACESIZE + 1] = {};
    std::memcpy(face, font.lfFaceName, LF_FACESIZE);
    const int points = mulDiv(-font.lfHeight, 72, nPixelsPerInchY);
    return FormatString("%s,%d,%d,%d", face, points, static_cast<int>(font.lfWeight), font.lfItalic != 0 ? 1 : 0);
}

BOOL CFontUI::ParseFont(const CString& text, int nPixelsPerInchY, LOGFONT& font)
{
    char face[LF_FACESIZE] = {};
    int points = 0;
    int weight = 0;
    int italic = 0;
    if (std::sscanf(text.GetString(), "%31[a-zA-Z ],%d,%d,%d", face, &points, &weight, &italic) != 4)
        return FALSE;
    LOGFONT parsed{};
    parsed.lfHeight = -mulDiv(points, nPixelsPerInchY, 72);
    parsed.lfWeight = weight;
    parsed.lfItalic = static_cast<BYTE>(italic != 0 ? 1 : 0);
    parsed.lfCharSet = DEFAULT_CHARSET;
    SetFaceName(parsed, face);
    font = parsed;
    return TRUE;
}

BOOL CFontUI::StringToFont(LPCTSTR lpszSection, LPCTSTR lpszKey, CFont& font, CDC* pDC) const
{
    const CString text = GetProfileString(lpszSection, lpszKey, "");
    if (text.IsEmpty())
        return FALSE;
    LOGFONT description{};
    if (!ParseFont(text, PixelsPerInchY(pDC), description))
        return FALSE;
    font.DeleteObject();
    return font.CreateFontIndirect(&description);
}

BOOL CFontUI::FontToString(LPCTSTR lpszSection, LPCTSTR lpszKey, const CFont& font, CDC* pDC) const
{
    LOGFONT description{};
    if (font.GetLogFont(&description) == 0)
        return FALSE;
    return WriteProfileString(lpszSection, lpszKey, FormatFont(description, PixelsPerInchY(pDC)));
}

int CFontUI::StepSize(int nSize, BOOL bUp)
{
    const auto step = [](int size) { return size <= 12 ? 1 : size < 32 ? 2 : size < 48 ? 4 : 8; };
    return bUp ? nSize + step(nSize) : nSize - step(nSize);
}
