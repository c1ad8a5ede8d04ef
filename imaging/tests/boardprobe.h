#pragma once
// The frame-grabber board for tests of commands on live pages: started on
// its simulated camera, and asked whether a live frame could be written
// at a given moment.

#include "outside/grabwell/fgboard.h"
#include "platform/core/clock.h"

#include <future>

namespace kestrun::testing {

// The board on its simulated camera, not live, paced by clock (which must
// outlive the board's use of it). False when the board refuses.
inline bool UseSimulatedBoard(FGBoard& board, ManualClock& clock)
{
    board.StopLive();
    board.DisconnectDisplay();
    return board.SetClock(&clock) && board.SetVideoSource(0);
}

// Whether another thread could take the board's frame buffer now, i.e.
// write a live frame into the page.
inline bool IsBufferFree(FGBoard& board)
{
    return std::async(std::launch::async, [&board] {
               const bool free = board.LockBuffer(0) != FALSE;
               if (free)
                   board.UnlockBuffer();
               return free;
           }).get();
}

} // namespace kestrun::testing
