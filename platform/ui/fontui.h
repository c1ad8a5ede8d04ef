#pragma once
// CFontUI: a font kept in the profile file as one line "face,points,weight,
// italic" ("Courier New,10,700,1"). Sizes convert between points and the
// font's height through the vertical resolution of a context, the screen's
// when none is given. Face names may hold only letters and blanks.

#include "platform/core/cstring.h"
#include "platform/core/gdi.h"

class CDC;

class CFontUI
{
public:
    // Reads section/key and replaces the font with what it names. FALSE,
    // with the font unchanged, when the text is missing or not of the form.
    BOOL StringToFont(LPCTSTR lpszSection, LPCTSTR lpszKey, CFont& font, CDC* pDC = nullptr) const;
    // Writes the font to section/key; FALSE when the profile is not written.
    BOOL FontToString(LPCTSTR lpszSection, LPCTSTR lpszKey, const CFont& font, CDC* pDC = nullptr) const;

    // The text of a font and back, at a vertical resolution.
    static CString FormatFont(const LOGFONT& font, int nPixelsPerInchY);
    static BOOL ParseFont(const CString& text, int nPixelsPerInchY, LOGFONT& font);

    // The next size up (bUp) or down: steps of 1 up to 12 points, 2 up to
    // 31, 4 up to 47, 8 beyond; going down takes the step of the size one
    // comes from.
    static int StepSize(int nSize, BOOL bUp);

    // Vertical pixels per inch of the context, or of the screen.
    static int PixelsPerInchY(CDC* pDC);
};
