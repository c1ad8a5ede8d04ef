#pragma once
// CFrameBufferLock: holds the frame-grabber board's buffer for a scope when
// the board writes live frames into one of the given pages, so that no
// frame changes or reallocates the page while a command works on it. With
// no board, or pages the board does not write into, it holds nothing.

#include "outside/grabwell/fgboard.h"
#include "outside/pixmere/dib.h"

class CFrameBufferLock
{
public:
    CFrameBufferLock(FGBoard* board, const CDIB* first, const CDIB* second = nullptr)
    {
        const CDIB* target = board ? board->GetDIB() : nullptr;
        if (target && (target == first || target == second) && board->LockBuffer(INFINITE))
            m_board = board;
    }
    ~CFrameBufferLock()
    {
        if (m_board)
            m_board->UnlockBuffer();
    }
    CFrameBufferLock(const CFrameBufferLock&) = delete;
    CFrameBufferLock& operator=(const CFrameBufferLock&) = delete;

private:
    FGBoard* m_board = nullptr;
};
