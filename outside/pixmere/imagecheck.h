#pragma once
// Structure checks that find a cut-off image file before a codec sees it:
// some codecs (JPEG above all) fill a missing tail with grey and report
// success. Each check raises kestrun::CImageFileException.

#include "platform/core/types.h"

#include <span>

namespace kestrun {

enum class CImageFormat : int;

// Refuses an image whose header declares more than 65535 pixels either way,
// or a large image the bytes of the file cannot hold even at the best
// compression its format allows (JPEG 2000 has no such bound): a damaged
// size field must not make the codec allocate gigabytes before it finds the
// data missing. Images of up to 2^24 pixels always pass; a header the check
// does not find is left to the codec.
void CheckDeclaredSize(std::span<const BYTE> data, CImageFormat format);

// Walks the JPEG markers up to the end-of-image marker; bytes after it are
// allowed.
void CheckJpegComplete(std::span<const BYTE> data);
// Checks that the TIFF directories, their values and the strip or tile
// data they point to lie inside the data.
void CheckTiffComplete(std::span<const BYTE> data);

} // namespace kestrun
