#pragma once
// CBitmapButton: an owner-drawn push button that shows a picture for each
// of its looks - up, pressed, focused and disabled - by the pictures'
// names (signalpictures.h). A look without a picture of its own shows the
// up picture.

#include "platform/ui/button.h"

#include <QImage>

#include <array>

class CBitmapButton : public CButton
{
    DECLARE_DYNAMIC(CBitmapButton)

public:
    enum Look
    {
        lookUp = 0,
        lookDown = 1,
        lookFocus = 2,
        lookDisabled = 3,
    };

    CBitmapButton() = default;

    // FALSE, and no picture changed, when a name given is no picture.
    // Null names leave their look to the up picture.
    BOOL LoadBitmaps(LPCTSTR lpszUp, LPCTSTR lpszDown = nullptr, LPCTSTR lpszFocus = nullptr,
                     LPCTSTR lpszDisabled = nullptr);
    // The window takes the size of the up picture.
    void SizeToContent();
    // The picture a look shows (the up picture where it has none).
    const QImage& GetBitmap(Look look) const;

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

private:
    std::array<QImage, 4> m_pictures;
};
