#include "outside/pixmere/dib.h"
#include "outside/pixmere/imagecodec.h"

#include "platform/core/tests/scratch_folder.h"

#include <gtest/gtest.h>
#include <opencv2/core.hpp>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// A smooth picture with a sharp edge, odd-sized so every row is padded.
CDIB makePicture(int width, int height, int bpp)
{
    cv::Mat image(height, width, bpp == 24 ? CV_8UC3 : CV_8UC1);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int edge = x > width / 2 ? 40 : 0;
            const cv::Vec3b bgr(cv::saturate_cast<BYTE>(2 * x + edge), cv::saturate_cast<BYTE>(3 * y + 20),
                                cv::saturate_cast<BYTE>(200 - 2 * x - y));
            if (bpp == 24)
                image.at<cv::Vec3b>(y, x) = bgr;
            else
                image.at<BYTE>(y, x) = bgr[0];
        }
    }
    CDIB page;
    page.AssignMat(image);
    return page;
}

double maxDifference(const CDIB& a, const CDIB& b) { return cv::norm(a.GetMat(), b.GetMat(), cv::NORM_INF); }
double meanDifference(const CDIB& a, const CDIB& b)
{
    return cv::norm(a.GetMat(), b.GetMat(), cv::NORM_L1) / (a.GetMat().total() * a.GetMat().channels());
}

void put32(std::vector<BYTE>& bytes, size_t at, uint32_t value, bool bigEndian)
{
    for (size_t i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<BYTE>(value >> (8 * (bigEndian ? 3 - i : i)));
}

uint32_t pngCrc(const BYTE* data, size_t size)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A small file of the format whose header then claims another size, the
// rest left as written.
std::vector<BYTE> withDeclaredSize(int format, uint32_t width, uint32_t height)
{
    std::vector<BYTE> bytes;
    if (!makePicture(40, 32, 24).Encode(bytes, format))
        return {};
    switch (format) {
    case CxImage::FormatBmp:
        put32(bytes, 18, width, false);
        put32(bytes, 22, height, false);
        break;
    case CxImage::FormatPng: // the header chunk keeps a good checksum
        put32(bytes, 16, width, true);
        put32(bytes, 20, height, true);
        put32(bytes, 29, pngCrc(bytes.data() + 12, 17), true);
        break;
    case CxImage::FormatJpg:
        for (size_t i = 2; i + 9 < bytes.size(); i += 2 + (size_t{bytes[i + 2]} << 8 | bytes[i + 3])) {
            if (bytes[i + 1] == 0xC0) {
                bytes[i + 5] = static_cast<BYTE>(height >> 8);
                bytes[i + 6] = static_cast<BYTE>(height);
                bytes[i + 7] = static_cast<BYTE>(width >> 8);
                bytes[i + 8] = static_cast<BYTE>(width);
                break;
            }
        }
        break;
    case CxImage::FormatTif: { // little-endian, as written here
        const size_t directory = bytes[4] | bytes[5] << 8 | bytes[6] << 16 | size_t{bytes[7]} << 24;
        for (size_t e = 0; e < size_t{bytes[directory]}; ++e) {
            const size_t entry = directory + 2 + 12 * e;
            const int tag = bytes[entry] | bytes[entry + 1] << 8;
            if (tag == 256 || tag == 257) {
                bytes[entry + 2] = 4; // LONG
                put32(bytes, entry + 8, tag == 256 ? width : height, false);
            }
        }
        break;
    }
    case CxImage::FormatJp2: { // the image header box and the codestream's size marker agree
        const auto find = [&](std::initializer_list<BYTE> what) {
            return static_cast<size_t>(std::search(bytes.begin(), bytes.end(), what.begin(), what.end()) - bytes.begin());
        };
        const size_t header = find({'i', 'h', 'd', 'r'});
        const size_t size = find({0xFF, 0x4F, 0xFF, 0x51});
        if (header + 12 > bytes.size() || size + 16 > bytes.size())
            return {};
        put32(bytes, header + 4, height, true);
        put32(bytes, header + 8, width, true);
        put32(bytes, size + 8, width, true);
        put32(bytes, size + 12, height, true);
        break;
    }
    default:
        break;
    }
    return bytes;
}

std::string text(const std::vector<BYTE>& bytes) { return std::string(bytes.begin(), bytes.end()); }

class ImageFileTest : public testing::Test
{
protected:
    // Writes the page and reads it back into a new page.
    CDIB RoundTrip(const CDIB& page, const std::string& name)
    {
        const std::string path = m_folder / name;
        CDIB written = page;
        EXPECT_TRUE(written.Write(path.c_str())) << written.GetLastError().str();
        CDIB read;
        EXPECT_TRUE(read.Read(path.c_str())) << read.GetLastError().str();
        EXPECT_EQ(read.GetPathName(), path.c_str());
        return read;
    }

    CScratchFolder m_folder;
};

} // namespace

TEST_F(ImageFileTest, BmpPngAndTifRoundTripsAreLossless)
{
    for (const char* ext : {"bmp", "png", "tif"}) {
        for (const int bpp : {8, 24}) {
            // Rows of 4 and 8 pixels need no padding: the decoded pixels
            // become the page without a copy.
            for (const int width : {1, 2, 3, 4, 5, 8, 37}) {
                SCOPED_TRACE(testing::Message() << ext << ", " << bpp << " bits, " << width << " wide");
                const CDIB page = makePicture(width, 7, bpp);
                const CDIB read = RoundTrip(page, "page." + std::string(ext));
                EXPECT_EQ(read.GetBpp(), bpp);
                EXPECT_EQ(read.GetWidth(), width);
                EXPECT_EQ(read.GetHeight(), 7);
                EXPECT_EQ(maxDifference(read, page), 0.0);
            }
        }
    }
}

TEST_F(ImageFileTest, JpegRoundTripsStayWithinTolerance)
{
    // Quality 95: a mean error below 2 grey levels, no pixel off by more than 24.
    for (const int bpp : {8, 24}) {
        SCOPED_TRACE(bpp);
        const CDIB page = makePicture(61, 45, bpp);
        const CDIB read = RoundTrip(page, "page.jpg");
        EXPECT_EQ(read.GetBpp(), bpp);
        EXPECT_LT(meanDifference(read, page), 2.0);
        EXPECT_LE(maxDifference(read, page), 24.0);
    }
}

TEST_F(ImageFileTest, Jpeg2000IsLosslessWhereThisSystemHasTheCodec)
{
    if (!kestrun::IsImageFormatAvailable(kestrun::CImageFormat::Jp2))
        GTEST_SKIP() << "OpenCV built without JPEG 2000";
    for (const int bpp : {8, 24}) {
        SCOPED_TRACE(bpp);
        const CDIB page = makePicture(64, 40, bpp);
        const CDIB read = RoundTrip(page, "page.jp2");
        ASSERT_EQ(read.GetBpp(), bpp);
        EXPECT_EQ(maxDifference(read, page), 0.0);
    }
}

// OpenCV's DICOM reader claims any file with "DICM" at byte 128, before its
// JPEG 2000 readers, and aborts on one that is no DICOM file.
TEST_F(ImageFileTest, Jpeg2000WithDicomMarkIsReadAsJpeg2000)
{
    if (!kestrun::IsImageFormatAvailable(kestrun::CImageFormat::Jp2))
        GTEST_SKIP() << "OpenCV built without JPEG 2000";
    const auto withMark = [](std::vector<BYTE> bytes) {
        std::copy_n("DICM", 4, bytes.begin() + 128);
        return bytes;
    };

    // The JPEG 2000 signature, "DICM" at byte 128 and nothing else.
    std::vector<BYTE> damaged(132, 0);
    const BYTE signature[] = {0, 0, 0, 0x0C, 'j', 'P', ' ', ' ', 0x0D, 0x0A, 0x87, 0x0A};
    std::copy(std::begin(signature), std::end(signature), damaged.begin());
    const std::string damagedPath = m_folder / "scan.jp2";
    WriteBytes(damagedPath, text(withMark(damaged)));
    CDIB page = makePicture(3, 2, 24);
    const CDIB before = page;
    EXPECT_FALSE(page.Read(damagedPath.c_str()));
    EXPECT_NE(page.GetLastError().Find(damagedPath.c_str()), -1) << page.GetLastError().str();
    EXPECT_NE(page.GetLastError().Find("JPEG 2000"), -1) << page.GetLastError().str();
    EXPECT_EQ(maxDifference(page, before), 0.0);

    // Good pictures whose bytes 128 to 131 happen to read "DICM": in a box
    // after the file-type box, and in a comment of a bare codestream.
    const CDIB picture = makePicture(40, 32, 24);
    std::vector<BYTE> jp2;
    ASSERT_TRUE(CDIB(picture).Encode(jp2, CxImage::FormatJp2));
    const size_t afterFileType = 12 + (size_t{jp2[14]} << 8 | jp2[15]);
    std::vector<BYTE> box(132 - afterFileType, 0);
    box[3] = static_cast<BYTE>(box.size());
    std::copy_n("skip", 4, box.begin() + 4);
    std::vector<BYTE> boxed = jp2;
    boxed.insert(boxed.begin() + static_cast<long>(afterFileType), box.begin(), box.end());

    const BYTE start[] = {0xFF, 0x4F, 0xFF, 0x51};
    std::vector<BYTE> codestream(std::search(jp2.begin(), jp2.end(), std::begin(start), std::end(start)), jp2.end());
    const size_t afterSize = 4 + (size_t{codestream[4]} << 8 | codestream[5]);
    std::vector<BYTE> comment(132 - afterSize, 0);
    comment[0] = 0xFF;
    comment[1] = 0x64;
    comment[3] = static_cast<BYTE>(comment.size() - 2);
    codestream.insert(codestream.begin() + static_cast<long>(afterSize), comment.begin(), comment.end());

    for (const auto& [name, bytes] : {std::pair{"boxed.jp2", boxed}, std::pair{"bare.j2k", codestream}}) {
        SCOPED_TRACE(name);
        const std::string path = m_folder / name;
        WriteBytes(path, text(withMark(bytes)));
        CDIB read;
        ASSERT_TRUE(read.Read(path.c_str())) << read.GetLastError().str();
        EXPECT_EQ(maxDifference(read, picture), 0.0);
    }
}

TEST_F(ImageFileTest, FormatCodeFiveWritesTiffWhateverTheName)
{
    const std::string path = m_folder / "page.bmp";
    CDIB page = makePicture(5, 4, 24);
    ASSERT_TRUE(page.Write(path.c_str(), nullptr, 0, CxImage::FormatTif));
    const std::string bytes = ReadBytes(path);
    ASSERT_GE(bytes.size(), 4U);
    EXPECT_TRUE(bytes.compare(0, 4, std::string("II*\0", 4)) == 0 || bytes.compare(0, 4, std::string("MM\0*", 4)) == 0);

    // By its name it must be a bitmap; by its content it is a TIFF.
    CDIB byName;
    EXPECT_FALSE(byName.Read(path.c_str()));
    EXPECT_EQ(byName.GetLastError(), path + ": Not a BMP file");
    CDIB byContent;
    ASSERT_TRUE(byContent.Load(path.c_str(), CxImage::FormatUnknown));
    EXPECT_EQ(maxDifference(byContent, page), 0.0);
}

TEST_F(ImageFileTest, TruncatedFilesAreRefusedAndLeaveThePage)
{
    for (const int bpp : {8, 24}) {
        for (const char* ext : {"bmp", "png", "jpg", "tif"}) {
            const std::string good = m_folder / ("good." + std::string(ext));
            ASSERT_TRUE(makePicture(40, 30, bpp).Write(good.c_str()));
            const std::string bytes = ReadBytes(good);
            // Cut near the start, in the middle, and just before the end: a
            // JPEG without its end marker, or a grey TIFF without its last
            // directory bytes, still decodes in OpenCV.
            for (const size_t keep : {size_t{40}, bytes.size() / 2, bytes.size() - 2, bytes.size() - 1}) {
                SCOPED_TRACE(testing::Message() << bpp << "-bit " << ext << " cut to " << keep << " of "
                                                << bytes.size());
                const std::string cut = m_folder / ("cut." + std::string(ext));
                WriteBytes(cut, bytes.substr(0, keep));
                CDIB page;
                ASSERT_TRUE(page.Read(good.c_str()));
                const CDIB before = page;
                EXPECT_FALSE(page.Read(cut.c_str()));
                EXPECT_FALSE(page.GetLastError().IsEmpty());
                EXPECT_EQ(page.GetPathName(), good.c_str());
                EXPECT_EQ(page.GetBpp(), bpp);
                EXPECT_EQ(maxDifference(page, before), 0.0);
            }
        }
    }
}

TEST_F(ImageFileTest, UnreadableFilesGiveAReason)
{
    const std::string png = m_folder / "page.png";
    CDIB(makePicture(4, 4, 24)).Write(png.c_str());
    WriteBytes(m_folder / "empty.bmp", "");
    WriteBytes(m_folder / "text.png", "not a picture at all");
    WriteBytes(m_folder / "png.jpg", ReadBytes(png));
    WriteBytes(m_folder / "page.pcx", ReadBytes(png));

    struct Case
    {
        const char* name;
        const char* reason;
    };
    const Case cases[] = {
        {"missing.bmp", "was not found"},
        {"empty.bmp", "File is empty"},
        {"text.png", "Unknown or unsupported image format"},
        {"png.jpg", "Not a JPEG file"},
        {"page.pcx", "Unsupported file format"},
        {"noextension", "Unsupported file format"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CDIB page = makePicture(2, 2, 24);
        const CDIB before = page;
        EXPECT_FALSE(page.Read((m_folder / c.name).c_str()));
        EXPECT_NE(page.GetLastError().Find(c.reason), -1) << page.GetLastError().str();
        EXPECT_EQ(maxDifference(page, before), 0.0);
        EXPECT_TRUE(page.GetPathName().IsEmpty());
    }
}

TEST_F(ImageFileTest, FailedWritesLeaveTheOldFileAndNoLeftovers)
{
    const std::string path = m_folder / "kept.bmp";
    CDIB(makePicture(4, 4, 24)).Write(path.c_str());
    const std::string original = ReadBytes(path);

    EXPECT_FALSE(CDIB().Write(path.c_str()));
    CDIB page = makePicture(4, 4, 8);
    EXPECT_FALSE(page.Write((m_folder / "kept.gif").c_str()));
    EXPECT_NE(page.GetLastError().Find("Unsupported file format"), -1);
    EXPECT_FALSE(page.Write(path.c_str(), nullptr, 0, 42));
    EXPECT_FALSE(page.Write((m_folder / "missing/page.bmp").c_str()));
    EXPECT_FALSE(page.GetLastError().IsEmpty());

    EXPECT_EQ(ReadBytes(path), original);
    EXPECT_EQ(EntryCount(m_folder.Path()), 1);

    // A good write replaces the file in one step.
    ASSERT_TRUE(page.Write(path.c_str()));
    EXPECT_EQ(EntryCount(m_folder.Path()), 1);
    CDIB read;
    ASSERT_TRUE(read.Read(path.c_str()));
    EXPECT_EQ(read.GetBpp(), 8);
}

TEST_F(ImageFileTest, JpegFromMemoryAndUnderAnyName)
{
    CDIB page = makePicture(48, 32, 24);
    std::vector<BYTE> jpeg;
    ASSERT_TRUE(page.Encode(jpeg, CxImage::FormatJpg));
    // Cameras may append data after the end marker.
    jpeg.insert(jpeg.end(), {0x00, 0x11, 0x22});

    CDIB decoded;
    ASSERT_TRUE(decoded.Decode(jpeg.data(), jpeg.size(), CxImage::FormatJpg)) << decoded.GetLastError().str();
    EXPECT_LT(meanDifference(decoded, page), 2.0);

    std::vector<BYTE> png;
    ASSERT_TRUE(page.Encode(png, CxImage::FormatPng));
    CDIB other = decoded;
    EXPECT_FALSE(other.Decode(png.data(), png.size(), CxImage::FormatJpg));
    EXPECT_EQ(maxDifference(other, decoded), 0.0);
    EXPECT_FALSE(other.Decode(jpeg.data(), jpeg.size() / 2, CxImage::FormatJpg));
    EXPECT_FALSE(other.Decode(nullptr, 0, CxImage::FormatUnknown));

    const std::string path = m_folder / "snapshot.dat";
    WriteBytes(path, std::string(jpeg.begin(), jpeg.end()));
    CDIB fromFile;
    ASSERT_TRUE(fromFile.JPEG2DIB(path.c_str()));
    EXPECT_EQ(fromFile.GetPathName(), path.c_str());
    EXPECT_EQ(maxDifference(fromFile, decoded), 0.0);
}

TEST_F(ImageFileTest, SizesTheFileCannotHoldAreRefusedBeforeDecoding)
{
    struct Case
    {
        int format;
        uint32_t width;
        uint32_t height;
        const char* reason;
    };
    // JPEG fills missing data with grey: the 6000 x 6000 page used to load.
    const Case cases[] = {
        {CxImage::FormatBmp, 30000, 30000, "cannot be in"},
        {CxImage::FormatBmp, 70000, 16, "too large"},
        {CxImage::FormatPng, 30000, 30000, "cannot be in"},
        {CxImage::FormatPng, 16, 100000, "too large"},
        {CxImage::FormatJpg, 6000, 6000, "cannot be in"},
        {CxImage::FormatTif, 30000, 30000, "cannot be in"},
        {CxImage::FormatTif, 65536, 8, "too large"},
        {CxImage::FormatJp2, 70000, 40, "too large"},
    };
    for (const Case& c : cases) {
        if (!kestrun::IsImageFormatAvailable(static_cast<kestrun::CImageFormat>(c.format)))
            continue;
        SCOPED_TRACE(testing::Message() << "format " << c.format << ", " << c.width << " x " << c.height);
        const std::vector<BYTE> bytes = withDeclaredSize(c.format, c.width, c.height);
        ASSERT_FALSE(bytes.empty());
        CDIB page = makePicture(3, 2, 24);
        const CDIB before = page;
        EXPECT_FALSE(page.Decode(bytes.data(), bytes.size(), CxImage::FormatUnknown));
        EXPECT_NE(page.GetLastError().Find(c.reason), -1) << page.GetLastError().str();
        EXPECT_EQ(maxDifference(page, before), 0.0);
    }
}

TEST_F(ImageFileTest, LargeImagesThatCompressWellStillOpen)
{
    // Just above the size every header may claim, and uniform: as small a
    // file as each format makes of it.
    cv::Mat plain(4100, 4200, CV_8UC1, cv::Scalar(17));
    CDIB page;
    page.AssignMat(plain);
    for (const int format :
         {CxImage::FormatBmp, CxImage::FormatPng, CxImage::FormatJpg, CxImage::FormatTif, CxImage::FormatJp2}) {
        if (!kestrun::IsImageFormatAvailable(static_cast<kestrun::CImageFormat>(format)))
            continue;
        SCOPED_TRACE(format);
        std::vector<BYTE> bytes;
        ASSERT_TRUE(page.Encode(bytes, format)) << page.GetLastError().str();
        CDIB read;
        ASSERT_TRUE(read.Decode(bytes.data(), bytes.size(), format)) << read.GetLastError().str();
        EXPECT_EQ(read.GetWidth(), 4200);
        EXPECT_EQ(read.GetHeight(), 4100);
    }
}

namespace {

// Refuses the blocks above a size, as a full memory would, in OpenCV's way.
class CLimitedAllocator : public cv::MatAllocator
{
public:
    explicit CLimitedAllocator(size_t limit) : m_limit(limit), m_previous(cv::Mat::getDefaultAllocator())
    {
        cv::Mat::setDefaultAllocator(this);
    }
    ~CLimitedAllocator() override { cv::Mat::setDefaultAllocator(m_previous); }
    CLimitedAllocator(const CLimitedAllocator&) = delete;
    CLimitedAllocator& operator=(const CLimitedAllocator&) = delete;

    cv::UMatData* allocate(int dims, const int* sizes, int type, void* data, size_t* step, cv::AccessFlag flags,
                           cv::UMatUsageFlags usage) const override
    {
        size_t bytes = CV_ELEM_SIZE(type);
        for (int i = 0; i < dims; ++i)
            bytes *= static_cast<size_t>(sizes[i]);
        if (data == nullptr && bytes > m_limit)
            CV_Error(cv::Error::StsNoMem, "limited for the test");
        return m_previous->allocate(dims, sizes, type, data, step, flags, usage);
    }
    bool allocate(cv::UMatData* data, cv::AccessFlag flags, cv::UMatUsageFlags usage) const override
    {
        return m_previous->allocate(data, flags, usage);
    }
    void deallocate(cv::UMatData* data) const override { m_previous->deallocate(data); }

private:
    size_t m_limit;
    cv::MatAllocator* m_previous;
};

} // namespace

TEST_F(ImageFileTest, MemoryRunningOutWhileTheDecodedPageIsStoredIsAFailure)
{
    // 37 grey pixels decode into rows of 37 bytes; the page pads them to 40.
    std::vector<BYTE> png;
    ASSERT_TRUE(makePicture(37, 30, 8).Encode(png, CxImage::FormatPng));
    CDIB page = makePicture(3, 2, 24);
    const CDIB before = page;
    {
        const CLimitedAllocator limit(37 * 30 + 10);
        EXPECT_FALSE(page.Decode(png.data(), png.size(), CxImage::FormatPng));
    }
    EXPECT_EQ(page.GetLastError(), "Not enough memory for the image");
    EXPECT_EQ(maxDifference(page, before), 0.0);
}
