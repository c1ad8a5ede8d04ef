#include "outside/pixmere/imagecodec.h"

#include "outside/pixmere/imagecheck.h"

#include "platform/core/atomicfile.h"
#include "platform/core/file.h"
#include "platform/core/paths.h"

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <cctype>
#include <climits>
#include <iterator>
#include <string>

namespace kestrun {

namespace {

struct CFormatInfo
{
    CImageFormat format;
    const char* name;
    const char* extension; // the one OpenCV encodes by
};

constexpr std::array<CFormatInfo, 5> kFormats = {{
    {CImageFormat::Bmp, "BMP", ".bmp"},
    {CImageFormat::Jpg, "JPEG", ".jpg"},
    {CImageFormat::Png, "PNG", ".png"},
    {CImageFormat::Tif, "TIFF", ".tif"},
    {CImageFormat::Jp2, "JPEG 2000", ".jp2"},
}};

const CFormatInfo* findFormat(CImageFormat format)
{
    const auto it =
        std::find_if(kFormats.begin(), kFormats.end(), [&](const CFormatInfo& f) { return f.format == format; });
    return it == kFormats.end() ? nullptr : &*it;
}

bool startsWith(std::span<const BYTE> data, std::initializer_list<BYTE> signature)
{
    return data.size() >= signature.size() && std::equal(signature.begin(), signature.end(), data.begin());
}

// OpenCV asks its DICOM reader before its JPEG 2000 readers, and that reader
// claims every file with "DICM" at byte 128, then aborts the program on one
// that is no DICOM file.
constexpr size_t kDicomMarkAt = 128;

bool looksLikeDicom(std::span<const BYTE> data)
{
    static constexpr BYTE mark[] = {'D', 'I', 'C', 'M'};
    return data.size() >= kDicomMarkAt + 4 && std::equal(std::begin(mark), std::end(mark), data.begin() + kDicomMarkAt);
}

size_t big(std::span<const BYTE> data, size_t at, size_t bytes)
{
    size_t value = 0;
    for (size_t i = 0; i < bytes; ++i)
        value = value << 8 | data[at + i];
    return value;
}

// The same JPEG 2000 picture without "DICM" at byte 128, so that OpenCV
// hands it to a JPEG 2000 reader: padding those readers skip, put in before
// byte 128, moves the bytes there. The padding is a box after the file-type
// box, or a comment segment after the codestream's size segment. A file
// whose structure leaves no room there is refused.
std::vector<BYTE> paddedJpeg2000(std::span<const BYTE> data)
{
    const bool codestream = startsWith(data, {0xFF, 0x4F, 0xFF, 0x51});
    // The padding goes where the first structure after the signature ends.
    size_t at = 0;
    if (codestream)
        at = 4 + big(data, 4, 2);
    else if (std::equal(data.begin() + 16, data.begin() + 20, "ftyp") && big(data, 12, 4) >= 8)
        at = 12 + big(data, 12, 4);
    const size_t smallest = codestream ? 6 : 8;
    if (at <= 12 || at > kDicomMarkAt)
        throw CImageFileException("Damaged JPEG 2000 file");
    for (size_t size = smallest; size < smallest + 8; ++size) {
        std::vector<BYTE> padding(size, 0);
        if (codestream) {
            // COM marker, segment length, registration 0 (binary), zeros.
            padding[0] = 0xFF;
            padding[1] = 0x64;
            padding[2] = static_cast<BYTE>((size - 2) >> 8);
            padding[3] = static_cast<BYTE>(size - 2);
        } else {
            padding[3] = static_cast<BYTE>(size);
            std::copy_n("free", 4, padding.begin() + 4);
        }
        std::vector<BYTE> padded(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(at));
        padded.insert(padded.end(), padding.begin(), padding.end());
        padded.insert(padded.end(), data.begin() + static_cast<std::ptrdiff_t>(at), data.end());
        if (!looksLikeDicom(padded))
            return padded;
    }
    throw CImageFileException("Damaged JPEG 2000 file");
}

} // namespace

CImageFormat ImageFormatFromPath(const CString& path)
{
    const std::string& text = path.str();
    const size_t slash = text.find_last_of("/\\");
    const size_t dot = text.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return CImageFormat::Unknown;
    std::string ext = text.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (ext == "bmp" || ext == "dib")
        return CImageFormat::Bmp;
    if (ext == "jpg" || ext == "jpeg" || ext == "jpe" || ext == "jfif")
        return CImageFormat::Jpg;
    if (ext == "png")
        return CImageFormat::Png;
    if (ext == "tif" || ext == "tiff")
        return CImageFormat::Tif;
    if (ext == "jp2" || ext == "j2k")
        return CImageFormat::Jp2;
    return CImageFormat::Unknown;
}

CImageFormat DetectImageFormat(std::span<const BYTE> data)
{
    if (startsWith(data, {'B', 'M'}))
        return CImageFormat::Bmp;
    if (startsWith(data, {0xFF, 0xD8, 0xFF}))
        return CImageFormat::Jpg;
    if (startsWith(data, {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}))
        return CImageFormat::Png;
    if (startsWith(data, {'I', 'I', 42, 0}) || startsWith(data, {'M', 'M', 0, 42}))
        return CImageFormat::Tif;
    if (startsWith(data, {0, 0, 0, 0x0C, 'j', 'P', ' ', ' ', 0x0D, 0x0A, 0x87, 0x0A}) ||
        startsWith(data, {0xFF, 0x4F, 0xFF, 0x51}))
        return CImageFormat::Jp2;
    return CImageFormat::Unknown;
}

const char* ImageFormatName(CImageFormat format)
{
    const CFormatInfo* info = findFormat(format);
    return info ? info->name : "unknown";
}

bool IsImageFormatAvailable(CImageFormat format)
{
    const CFormatInfo* info = findFormat(format);
    return info != nullptr && cv::haveImageWriter(info->extension);
}

cv::Mat DecodeImage(std::span<const BYTE> data, CImageFormat expected)
{
    if (data.empty())
        throw CImageFileException("File is empty");
    const CImageFormat actual = DetectImageFormat(data);
    if (actual == CImageFormat::Unknown)
        throw CImageFileException("Unknown or unsupported image format");
    if (expected != CImageFormat::Unknown && actual != expected)
        throw CImageFileException(FormatString("Not a %s file", ImageFormatName(expected)));
    if (!IsImageFormatAvailable(actual))
        throw CImageFileException(FormatString("%s files cannot be read on this system", ImageFormatName(actual)));
    if (actual == CImageFormat::Jpg)
        CheckJpegComplete(data);
    else if (actual == CImageFormat::Tif)
        CheckTiffComplete(data);
    CheckDeclaredSize(data, actual);
    if (data.size() > static_cast<size_t>(INT_MAX))
        throw CImageFileException("Image file is too large");

    std::vector<BYTE> padded;
    if (actual == CImageFormat::Jp2 && looksLikeDicom(data)) {
        padded = paddedJpeg2000(data);
        data = padded;
        if (data.size() > static_cast<size_t>(INT_MAX))
            throw CImageFileException("Image file is too large");
    }

    cv::Mat image;
    try {
        const cv::Mat bytes(1, static_cast<int>(data.size()), CV_8UC1, const_cast<BYTE*>(data.data()));
        // Pixels as stored: a camera's orientation tag does not turn the page.
        image = cv::imdecode(bytes, cv::IMREAD_ANYCOLOR | cv::IMREAD_IGNORE_ORIENTATION);
    } catch (const cv::Exception&) {
        image.release();
    }
    if (image.empty())
        throw CImageFileException(FormatString("Damaged or truncated %s file", ImageFormatName(actual)));
    if (image.type() == CV_8UC4) {
        cv::Mat colour;
        cv::cvtColor(image, colour, cv::COLOR_BGRA2BGR);
        return colour;
    }
    if (image.type() != CV_8UC1 && image.type() != CV_8UC3)
        throw CImageFileException(FormatString("Unsupported pixel layout in %s file", ImageFormatName(actual)));
    return image;
}

std::vector<BYTE> EncodeImage(const cv::Mat& image, CImageFormat format)
{
    if (image.empty())
        throw CImageFileException("Image is empty");
    if (image.type() != CV_8UC1 && image.type() != CV_8UC3)
        throw CImageFileException("Unsupported pixel layout");
    const CFormatInfo* info = findFormat(format);
    if (info == nullptr)
        throw CImageFileException("Unsupported file format");
    if (!cv::haveImageWriter(info->extension))
        throw CImageFileException(FormatString("%s files cannot be written on this system", info->name));
    std::vector<int> params;
    if (format == CImageFormat::Jpg)
        params = {cv::IMWRITE_JPEG_QUALITY, 95};
    else if (format == CImageFormat::Jp2)
        params = {cv::IMWRITE_JPEG2000_COMPRESSION_X1000, 1000}; // lossless
    std::vector<BYTE> bytes;
    bool encoded = false;
    try {
        encoded = cv::imencode(info->extension, image, bytes, params);
    } catch (const cv::Exception&) {
        encoded = false;
    }
    if (!encoded || bytes.empty())
        throw CImageFileException(FormatString("Cannot encode the image as %s", info->name));
    return bytes;
}

std::vector<BYTE> ReadImageFileBytes(const CString& path)
{
    CFile file(path, CFile::modeRead | CFile::shareDenyWrite | CFile::typeBinary);
    const ULONGLONG length = file.GetLength();
    if (length > static_cast<ULONGLONG>(INT_MAX))
        throw CImageFileException("Image file is too large");
    std::vector<BYTE> bytes(static_cast<size_t>(length));
    size_t done = 0;
    while (done < bytes.size()) {
        const UINT got = file.Read(bytes.data() + done, static_cast<UINT>(bytes.size() - done));
        if (got == 0)
            break; // shrank while we read: the decoder finds it short
        done += got;
    }
    bytes.resize(done);
    return bytes;
}

void WriteImageFileBytes(const CString& path, std::span<const BYTE> data)
{
    CAtomicFileWriter writer(NativePath(path));
    writer.Write(data.data(), data.size());
    writer.Commit();
}

} // namespace kestrun
