// The perspective correction: the matrix from four corners and the real
// size, the refusal of corners that give no field, and the straightening
// of a slanted page.

#include "analysis/perspectivetransform.h"

#include "objectmodel/xmlarchive.h"
#include "objectmodel/xmlarchivenode.h"
#include "outside/pixmere/dib.h"
#include "platform/core/tests/scratch_folder.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include <string>
#include <vector>

namespace {

struct sCorners
{
    CPoint fl, fr, bl, br;
    double width, height;
};

CPerspectiveTransform Make(const sCorners& c)
{
    CPerspectiveTransform transform;
    transform.Set(c.fl, c.fr, c.bl, c.br, c.width, c.height);
    return transform;
}

cv::Point2d Map(const cv::Mat& matrix, CPoint p)
{
    std::vector<cv::Point2d> in{cv::Point2d(p.x, p.y)}, out;
    cv::perspectiveTransform(in, out, matrix);
    return out[0];
}

// The slanted corners used for the page tests, and the upright field a
// 2:1 rectangle standing on their front row becomes.
const sCorners kSlanted{CPoint(100, 400), CPoint(300, 400), CPoint(150, 320), CPoint(250, 320), 200.0, 100.0};
const cv::Rect kField(100, 300, 200, 100);

// A camera's slanted view of a 2:1 checker rectangle: drawn upright in
// kField and warped onto the slanted corners.
CDIB SlantedCheckerPage()
{
    cv::Mat upright(480, 400, CV_8UC1, cv::Scalar(0));
    for (int y = 0; y < kField.height; ++y)
        for (int x = 0; x < kField.width; ++x)
            upright.at<uchar>(kField.y + y, kField.x + x) = ((x / 25 + y / 25) % 2) != 0 ? 255 : 128;
    const std::vector<cv::Point2f> field{{100, 400}, {300, 400}, {100, 300}, {300, 300}};
    const std::vector<cv::Point2f> slanted{{100, 400}, {300, 400}, {150, 320}, {250, 320}};
    cv::Mat view;
    cv::warpPerspective(upright, view, cv::getPerspectiveTransform(field, slanted), upright.size(), cv::INTER_NEAREST);
    CDIB page;
    page.AssignMat(view);
    return page;
}

cv::Rect LitBox(const CDIB& page)
{
    cv::Mat lit;
    cv::threshold(page.GetMat(), lit, 64, 255, cv::THRESH_BINARY);
    return cv::boundingRect(lit);
}

} // namespace

TEST(PerspectiveTransformTest, CornersMapOntoTheUprightField)
{
    struct sCase
    {
        sCorners corners;
        std::vector<cv::Point2d> expected; // fl, fr, bl, br after the mapping
        int pageHeight;
        int outputHeight;
    };
    const sCase cases[] = {
        {{CPoint(100, 400), CPoint(300, 400), CPoint(140, 310), CPoint(260, 310), 200.0, 100.0},
         {{100, 400}, {300, 400}, {100, 300}, {300, 300}}, 480, 480},
        // Taller than the front row is low: the field is pushed down to
        // start at the top, and the page grows by what no longer fits.
        {{CPoint(100, 50), CPoint(300, 50), CPoint(150, 10), CPoint(250, 10), 200.0, 600.0},
         {{100, 600}, {300, 600}, {100, 0}, {300, 0}}, 480, 1030},
        // Only the proportions count; the sides need not be upright.
        {{CPoint(10, 200), CPoint(110, 200), CPoint(0, 100), CPoint(130, 90), 0.5, 1.0},
         {{10, 200}, {110, 200}, {10, 0}, {110, 0}}, 300, 300},
    };
    for (const sCase& c : cases) {
        CPerspectiveTransform transform = Make(c.corners);
        ASSERT_TRUE(transform.Calculate());
        ASSERT_TRUE(transform.HasMatrix());
        const CPoint corners[] = {c.corners.fl, c.corners.fr, c.corners.bl, c.corners.br};
        for (size_t i = 0; i < 4; ++i) {
            const cv::Point2d p = Map(transform.GetMatrix(), corners[i]);
            EXPECT_NEAR(p.x, c.expected[i].x, 1e-3) << "corner " << i;
            EXPECT_NEAR(p.y, c.expected[i].y, 1e-3) << "corner " << i;
        }
        EXPECT_EQ(transform.OutputHeight(c.pageHeight), c.outputHeight);
    }
}

TEST(PerspectiveTransformTest, CornersWithoutAFieldAreRefused)
{
    const CPoint fl(100, 400), fr(300, 400), bl(150, 320), br(250, 320);
    struct sCase
    {
        const char* what;
        sCorners corners;
    };
    const sCase cases[] = {
        {"front corners off one row", {fl, CPoint(300, 401), bl, br, 200.0, 100.0}},
        {"front corners coincide", {fl, fl, bl, br, 200.0, 100.0}},
        {"width 0", {fl, fr, bl, br, 0.0, 100.0}},
        {"negative height", {fl, fr, bl, br, 200.0, -100.0}},
        {"all zero, as new", {CPoint(), CPoint(), CPoint(), CPoint(), 0.0, 0.0}},
        {"back corner repeats a front one", {fl, fr, fl, br, 200.0, 100.0}},
        {"back corners repeat each other", {fl, fr, bl, bl, 200.0, 100.0}},
        {"back corners on the front row", {fl, fr, CPoint(150, 400), CPoint(250, 400), 200.0, 100.0}},
        {"all four on one row", {fl, fr, CPoint(0, 400), CPoint(400, 400), 200.0, 100.0}},
    };
    const CDIB source = SlantedCheckerPage();
    for (const sCase& c : cases) {
        CPerspectiveTransform transform = Make(c.corners);
        EXPECT_FALSE(transform.Calculate()) << c.what;
        EXPECT_FALSE(transform.HasMatrix()) << c.what;
        CDIB target;
        target.Create(8, 4, 8);
        EXPECT_FALSE(transform.Apply(source, target)) << c.what;
        EXPECT_EQ(target.GetWidth(), 8) << c.what << ": the target stays as it was";
        EXPECT_EQ(target.GetHeight(), 4) << c.what;
    }
}

TEST(PerspectiveTransformTest, SetStoresAllAndDropsTheOldMatrix)
{
    CPerspectiveTransform transform = Make(kSlanted);
    ASSERT_TRUE(transform.Calculate());
    // Off one row: refused, but stored all the same.
    EXPECT_FALSE(transform.Set(CPoint(1, 2), CPoint(3, 4), CPoint(5, 6), CPoint(7, 8), 9.5, 10.5));
    EXPECT_FALSE(transform.HasMatrix()) << "the matrix belonged to the old corners";
    CPoint fl, fr, bl, br;
    double width = 0.0, height = 0.0;
    transform.Get(fl, fr, bl, br, width, height);
    EXPECT_EQ(fl, CPoint(1, 2));
    EXPECT_EQ(fr, CPoint(3, 4));
    EXPECT_EQ(bl, CPoint(5, 6));
    EXPECT_EQ(br, CPoint(7, 8));
    EXPECT_EQ(width, 9.5);
    EXPECT_EQ(height, 10.5);
    EXPECT_TRUE(transform.Set(kSlanted.fl, kSlanted.fr, kSlanted.bl, kSlanted.br, 200.0, 100.0));
    EXPECT_FALSE(transform.HasMatrix());
}

TEST(PerspectiveTransformTest, ASlantedRectangleIsStraightenedToItsRealSize)
{
    const CDIB source = SlantedCheckerPage();
    CPerspectiveTransform transform = Make(kSlanted);
    CDIB target;
    ASSERT_TRUE(transform.Apply(source, target)) << "the matrix is computed on first use";
    ASSERT_EQ(target.GetWidth(), source.GetWidth());
    ASSERT_EQ(target.GetHeight(), source.GetHeight());
    EXPECT_EQ(target.GetBitCount(), 8);
    const cv::Rect box = LitBox(target);
    EXPECT_NEAR(box.x, kField.x, 1);
    EXPECT_NEAR(box.y, kField.y, 1);
    EXPECT_NEAR(box.br().x, kField.br().x, 1);
    EXPECT_NEAR(box.br().y, kField.br().y, 1);
    EXPECT_NEAR(double(box.width) / box.height, 2.0, 0.04);
    // The checker's cells are back in their upright places.
    EXPECT_EQ(target.GetPixelIndex(kField.x + 12, kField.y + 12), 128);
    EXPECT_EQ(target.GetPixelIndex(kField.x + 37, kField.y + 12), 255);
    EXPECT_EQ(target.GetPixelIndex(kField.x + 37, kField.y + 37), 128);
    EXPECT_EQ(target.GetPixelIndex(kField.x + 187, kField.y + 87), 128);

    // In place, a page straightened into itself.
    CDIB page = SlantedCheckerPage();
    ASSERT_TRUE(transform.Apply(page, page));
    EXPECT_EQ(cv::countNonZero(page.GetMat() != target.GetMat()), 0);
}

TEST(PerspectiveTransformTest, ATallFieldGrowsThePageAndAHugeOneIsRefused)
{
    CDIB source;
    source.AssignMat(cv::Mat(480, 400, CV_8UC3, cv::Scalar(10, 20, 30)));
    CPerspectiveTransform transform = Make({CPoint(100, 50), CPoint(300, 50), CPoint(150, 10), CPoint(250, 10), 200.0, 600.0});
    CDIB target;
    ASSERT_TRUE(transform.Apply(source, target));
    EXPECT_EQ(target.GetWidth(), 400);
    EXPECT_EQ(target.GetHeight(), 1030);
    EXPECT_EQ(target.GetBitCount(), 24);

    // A field that would straighten into a page beyond 100 megapixels.
    transform = Make({CPoint(100, 50), CPoint(300, 50), CPoint(150, 10), CPoint(250, 10), 1.0, 1e6});
    CDIB kept;
    kept.Create(8, 4, 8);
    EXPECT_FALSE(transform.Apply(source, kept));
    EXPECT_EQ(kept.GetHeight(), 4);
}

TEST(PerspectiveTransformTest, ALoadedTransformRebuildsItsMatrixOnApply)
{
    CScratchFolder folder;
    const std::string path = folder / "perspective.xml";
    {
        CPerspectiveTransform stored = Make(kSlanted);
        ASSERT_TRUE(stored.Calculate());
        CXMLArchive xml(path.c_str(), CArchive::store);
        xml.GetChildNode("Root");
        stored.Serialize(xml);
        xml.GetCurrentNode()->EndNode();
        xml.Close();
    }
    CPerspectiveTransform loaded;
    {
        CXMLArchive xml(path.c_str(), CArchive::load);
        ASSERT_NE(xml.GetChildNode("Root"), nullptr);
        loaded.Serialize(xml);
        xml.GetCurrentNode()->EndNode();
    }
    EXPECT_FALSE(loaded.HasMatrix());
    const CDIB source = SlantedCheckerPage();
    CDIB target;
    ASSERT_TRUE(loaded.Apply(source, target));
    EXPECT_TRUE(loaded.HasMatrix());
    const cv::Point2d back = Map(loaded.GetMatrix(), kSlanted.bl);
    EXPECT_NEAR(back.x, 100.0, 1e-3);
    EXPECT_NEAR(back.y, 300.0, 1e-3);
}
