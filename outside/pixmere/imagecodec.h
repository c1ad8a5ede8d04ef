#pragma once
// Image files in memory and on disk, through OpenCV's codecs. Decoded
// images are 8-bit grey (CV_8UC1) or blue-green-red (CV_8UC3), rows top
// down. Every failure raises CImageFileException with a text for the user;
// nothing is written unless the whole file could be made.

#include "platform/core/cstring.h"
#include "platform/core/exceptions.h"
#include "platform/core/types.h"

#include <opencv2/core/mat.hpp>

#include <span>
#include <vector>

namespace kestrun {

// The codes the image library's callers pass for a file format.
enum class CImageFormat : int
{
    Unknown = 0,
    Bmp = 1,
    Jpg = 3,
    Png = 4,
    Tif = 5,
    Jp2 = 6,
};

class CImageFileException : public CException
{
public:
    explicit CImageFileException(CString message) : m_message(std::move(message)) {}
    CString GetErrorMessage() const override { return m_message; }

private:
    CString m_message;
};

// The format a file name's extension names (case ignored); Unknown for
// any extension we have no codec for.
CImageFormat ImageFormatFromPath(const CString& path);
// The format whose signature starts the bytes; Unknown when none does.
CImageFormat DetectImageFormat(std::span<const BYTE> data);
// Readable name for messages ("JPEG").
const char* ImageFormatName(CImageFormat format);
// Whether this build's OpenCV writes (and so reads) the format.
bool IsImageFormatAvailable(CImageFormat format);

// Decodes a whole file image. With a format other than Unknown the bytes
// must be of that format. Incomplete data is refused, also where the codec
// itself would fill the missing part.
cv::Mat DecodeImage(std::span<const BYTE> data, CImageFormat expected = CImageFormat::Unknown);
// Encodes an 8-bit image of 1 or 3 channels; JPEG at quality 95, JPEG
// 2000 lossless (OpenJPEG wants at least 32 pixels each way).
std::vector<BYTE> EncodeImage(const cv::Mat& image, CImageFormat format);

// Whole-file reading and writing; writing goes through a temporary file
// renamed over the target.
std::vector<BYTE> ReadImageFileBytes(const CString& path);
void WriteImageFileBytes(const CString& path, std::span<const BYTE> data);

} // namespace kestrun
