#pragma once
// Structure checks that find a cut-off image file before a codec sees it:
// some codecs (JPEG above all) fill a missing tail with grey and report
// success. Each check raises kestrun::CImageFileException.

#include "platform/core/types.h"

#include <span>

namespace kestrun {

// Walks the JPEG markers up to the end-of-image marker; bytes after it are
// allowed.
void CheckJpegComplete(std::span<const BYTE> data);
// Checks that the TIFF directories, their values and the strip or tile
// data they point to lie inside the data.
void CheckTiffComplete(std::span<const BYTE> data);

} // namespace kestrun
