#pragma once
// The system's look as the owner-drawn controls paint it: the system
// colours, taken from the application's Qt palette so that they follow the
// desktop's theme (the classic grey scheme without an application object),
// the focus rectangle, and the font a control draws its texts with.

#include "platform/core/geometry.h"
#include "platform/core/types.h"

class CDC;
class CFont;
class CWnd;

inline constexpr int COLOR_SCROLLBAR = 0;
inline constexpr int COLOR_BACKGROUND = 1;
inline constexpr int COLOR_ACTIVECAPTION = 2;
inline constexpr int COLOR_INACTIVECAPTION = 3;
inline constexpr int COLOR_MENU = 4;
inline constexpr int COLOR_WINDOW = 5;
inline constexpr int COLOR_WINDOWFRAME = 6;
inline constexpr int COLOR_MENUTEXT = 7;
inline constexpr int COLOR_WINDOWTEXT = 8;
inline constexpr int COLOR_CAPTIONTEXT = 9;
inline constexpr int COLOR_HIGHLIGHT = 13;
inline constexpr int COLOR_HIGHLIGHTTEXT = 14;
inline constexpr int COLOR_BTNFACE = 15;
inline constexpr int COLOR_BTNSHADOW = 16;
inline constexpr int COLOR_GRAYTEXT = 17;
inline constexpr int COLOR_BTNTEXT = 18;
inline constexpr int COLOR_INACTIVECAPTIONTEXT = 19;
inline constexpr int COLOR_BTNHIGHLIGHT = 20;
inline constexpr int COLOR_3DDKSHADOW = 21;
inline constexpr int COLOR_3DLIGHT = 22;
inline constexpr int COLOR_INFOTEXT = 23;
inline constexpr int COLOR_INFOBK = 24;
inline constexpr int COLOR_3DFACE = COLOR_BTNFACE;
inline constexpr int COLOR_3DSHADOW = COLOR_BTNSHADOW;
inline constexpr int COLOR_3DHIGHLIGHT = COLOR_BTNHIGHLIGHT;
inline constexpr int COLOR_3DHILIGHT = COLOR_BTNHIGHLIGHT;

// The colour of a COLOR_* index; black for an index we do not know.
COLORREF GetSysColor(int nIndex);

// The dotted rectangle that marks the focused control.
void DrawFocusRect(CDC* pDC, const RECT* lpRect);

// Selects the window's font into the context, as the system does for the
// contexts of owner-drawn controls: its CFont when it has one, else the
// font its widget shows. holder keeps a font made for the purpose.
void SelectControlFont(CDC* pDC, const CWnd* pWnd, CFont& holder);
