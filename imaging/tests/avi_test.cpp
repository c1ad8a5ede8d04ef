// Video files from image files, read back by OpenCV's own reader.

#include "imaging/tests/imagingtesting.h"

#include "imaging/avi.h"

#include <opencv2/core.hpp>
#include <opencv2/videoio.hpp>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace kestrun::testing {
namespace {

class AviTest : public CImagingTest
{
protected:
    void TearDown() override
    {
        CAVI::SetQualityChooser(nullptr);
        CImagingTest::TearDown();
    }

    static CStringArray ListOf(std::initializer_list<CString> paths)
    {
        CStringArray list;
        for (const CString& path : paths)
            list.Add(path);
        return list;
    }

    void WriteText(const CString& path, const char* text)
    {
        std::ofstream(path.GetString(), std::ios::binary) << text;
    }

    static std::string ReadText(const CString& path)
    {
        std::ifstream in(path.GetString(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // No half-written file is left beside the target.
    void ExpectNoPartialFile() const
    {
        for (const auto& entry : std::filesystem::directory_iterator(m_folder))
            EXPECT_EQ(entry.path().string().find(".part"), std::string::npos) << entry.path();
    }
};

TEST_F(AviTest, TheFramesReadBackInOrderAtTwentyFiveFramesPerSecond)
{
    const COLORREF colours[] = {RGB(200, 30, 30), RGB(30, 200, 30), RGB(30, 30, 200)};
    CStringArray files;
    for (int i = 0; i < 3; ++i)
        files.Add(WriteImage(FormatString("~%05d.bmp", i), 64, 48, colours[i]));
    // An 8-bit page goes through its palette.
    CDIB gray;
    ASSERT_TRUE(gray.InitDIB(64, 48, 8));
    gray.GetMat().setTo(cv::Scalar(128));
    const CString grayPath = PathOf("~00003.bmp");
    ASSERT_TRUE(gray.Write(grayPath));
    files.Add(grayPath);

    const CString output = PathOf("run.avi");
    ASSERT_TRUE(CAVI().CreateFromImageFiles(output, files));
    EXPECT_TRUE(m_boxes->Texts().empty());
    ExpectNoPartialFile();

    cv::VideoCapture capture(output.GetString(), cv::CAP_OPENCV_MJPEG);
    ASSERT_TRUE(capture.isOpened());
    EXPECT_EQ(capture.get(cv::CAP_PROP_FRAME_COUNT), 4);
    EXPECT_EQ(capture.get(cv::CAP_PROP_FPS), 25);
    const cv::Scalar expected[] = {{30, 30, 200}, {30, 200, 30}, {200, 30, 30}, {128, 128, 128}};
    for (const cv::Scalar& bgr : expected) {
        cv::Mat frame;
        ASSERT_TRUE(capture.read(frame));
        EXPECT_EQ(frame.size(), cv::Size(64, 48));
        const cv::Scalar mean = cv::mean(frame);
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(mean[c], bgr[c], 8) << "channel " << c;
    }
    cv::Mat extra;
    EXPECT_FALSE(capture.read(extra));
}

TEST_F(AviTest, AnImageThatCannotBeUsedStopsTheRunWithOneMessageAndKeepsTheOldFile)
{
    const CString first = WriteImage("first.bmp", 32, 32, RGB(10, 20, 30));
    const CString damaged = PathOf("damaged.bmp");
    WriteText(damaged, "BM not really a bitmap");
    const CString larger = WriteImage("larger.bmp", 40, 32, RGB(10, 20, 30));
    struct Case
    {
        const char* name;
        CStringArray files;
        CString message;
    };
    const CString missing = PathOf("missing.bmp");
    const Case cases[] = {
        {"missing first", ListOf({missing, first}), "Couldn't load Image: " + missing},
        {"missing later", ListOf({first, missing}), "Couldn't load Image: " + missing},
        {"damaged", ListOf({first, damaged}), "Couldn't load Image: " + damaged},
        {"other size", ListOf({first, first, larger}), "Image size differs from the first image: " + larger},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_boxes->Clear();
        const CString output = PathOf("kept.avi");
        WriteText(output, "old video");
        EXPECT_FALSE(CAVI().CreateFromImageFiles(output, c.files));
        EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{c.message});
        EXPECT_EQ(ReadText(output), "old video");
        ExpectNoPartialFile();
    }
}

TEST_F(AviTest, TheQualityChooserIsAskedAndACancelWritesNothing)
{
    const CStringArray files = ListOf({WriteImage("a.bmp", 32, 32, RGB(90, 90, 90))});
    int offered = 0;
    bool accept = false;
    CAVI::SetQualityChooser([&](int& quality) {
        offered = quality;
        quality = 40;
        return accept ? TRUE : FALSE;
    });
    const CString output = PathOf("chosen.avi");
    EXPECT_FALSE(CAVI().CreateFromImageFiles(output, files));
    EXPECT_EQ(offered, CAVI::kDefaultQuality);
    EXPECT_FALSE(std::filesystem::exists(output.GetString()));
    ExpectNoPartialFile();

    accept = true;
    EXPECT_TRUE(CAVI().CreateFromImageFiles(output, files));
    cv::VideoCapture capture(output.GetString(), cv::CAP_OPENCV_MJPEG);
    EXPECT_EQ(capture.get(cv::CAP_PROP_FRAME_COUNT), 1);
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(AviTest, AnEmptyListWritesNothing)
{
    const CString output = PathOf("empty.avi");
    EXPECT_FALSE(CAVI().CreateFromImageFiles(output, CStringArray()));
    EXPECT_FALSE(std::filesystem::exists(output.GetString()));
    EXPECT_TRUE(m_boxes->Texts().empty());
}

} // namespace
} // namespace kestrun::testing
