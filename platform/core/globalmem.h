#pragma once
// Movable memory blocks handed between libraries by handle (image transfers,
// capability containers). A handle names a block of the process-wide
// registry, so a stale or made-up handle is refused instead of followed.

#include "platform/core/types.h"

#include <cstddef>

using HGLOBAL = struct HGLOBAL__*;

inline constexpr UINT GMEM_FIXED = 0x0000;
inline constexpr UINT GMEM_MOVEABLE = 0x0002;
inline constexpr UINT GMEM_ZEROINIT = 0x0040;
inline constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;

// Null for a size of 0 or when memory runs out.
HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes);
// The block's bytes; null for a handle that is not a live block.
LPVOID GlobalLock(HGLOBAL handle);
// FALSE once the block is no longer locked (or the handle is not a block).
BOOL GlobalUnlock(HGLOBAL handle);
// Null on success, else the handle back.
HGLOBAL GlobalFree(HGLOBAL handle);
// 0 for a handle that is not a live block.
std::size_t GlobalSize(HGLOBAL handle);
