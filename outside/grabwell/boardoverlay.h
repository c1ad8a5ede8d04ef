#pragma once
// CBoardOverlay: what callers draw over the live picture (areas of a
// measurement, marks), kept apart from the frame pixels so that the frame
// stays what the camera saw. Drawing goes through a device context in page
// pixels; the view paints the drawing over the frame it shows.

#include "platform/core/recording_dc.h"
#include "platform/core/sync.h"

namespace kestrun {

class CBoardOverlay
{
public:
    // The overlay's device context, held for the caller until End: every
    // use starts from the default drawing state. pageSize is the device
    // size (pixels outside it are not kept by SetPixel).
    CDC* Begin(CSize pageSize);
    // Ends the use of the context Begin gave; any other pointer is ignored.
    void End(CDC* dc);

    // Drops everything drawn. TryClear gives up at once when the overlay is
    // in use (for the board's thread, which must not wait on callers).
    void Clear();
    bool TryClear();

    // Draws the overlay into target, whose mapping turns page pixels into
    // its own coordinates. Pixel blocks are not kept, so not repainted.
    void Paint(CDC& target);
    // The number of drawing calls kept.
    size_t GetItemCount();

private:
    CCriticalSection m_lock;
    CRecordingDC m_dc;
    int m_savedState = 0;
    int m_users = 0; // Begin calls not yet ended, on the locking thread
};

} // namespace kestrun
