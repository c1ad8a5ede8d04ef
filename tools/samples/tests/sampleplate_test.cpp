// The sample pictures' layouts: reproducible from their seed, and laid out
// so that a count can be judged - colonies apart unless they are meant to
// touch, and all of them inside the searched circle.

#include "tools/samples/samplechamber.h"
#include "tools/samples/sampleplate.h"

#include <gtest/gtest.h>

namespace kestrun::samples {
namespace {

bool SamePixels(const cv::Mat& a, const cv::Mat& b)
{
    return a.size() == b.size() && a.type() == b.type() && cv::norm(a, b, cv::NORM_INF) == 0.0;
}

TEST(SamplePlateTest, TheSeedDecidesLayoutAndPixels)
{
    const CSamplePlate first(18);
    const CSamplePlate again(18);
    const CSamplePlate other(19);
    ASSERT_EQ(first.GetColonies().size(), again.GetColonies().size());
    for (size_t i = 0; i < first.GetColonies().size(); ++i)
        EXPECT_EQ(first.GetColonies()[i].centre, again.GetColonies()[i].centre) << i;
    EXPECT_NE(first.GetColonies().front().centre, other.GetColonies().front().centre);

    const cv::Mat picture = first.Render();
    EXPECT_EQ(picture.type(), CV_8UC3);
    EXPECT_EQ(picture.cols, CSamplePlate::kWidth);
    EXPECT_EQ(picture.rows, CSamplePlate::kHeight);
    EXPECT_TRUE(SamePixels(picture, again.Render()));
    EXPECT_FALSE(SamePixels(picture, other.Render()));

    EXPECT_TRUE(SamePixels(CSampleChamber(18).Render(), CSampleChamber(18).Render()));
    EXPECT_FALSE(SamePixels(CSampleChamber(18).Render(), CSampleChamber(19).Render()));
}

class SamplePlateLayoutTest : public ::testing::TestWithParam<unsigned>
{
};

TEST_P(SamplePlateLayoutTest, OnlyPartnersTouchAndEveryColonyLiesInsideTheSearchedCircle)
{
    const CSamplePlate plate(GetParam());
    const std::vector<sColony>& colonies = plate.GetColonies();
    EXPECT_GT(plate.CountOfKind(CSamplePlate::kKindRed), 0);
    EXPECT_GT(plate.CountOfKind(CSamplePlate::kKindBlue), 0);
    EXPECT_GT(plate.GetTouchingPairs(), 0);

    const cv::Point2d dish(plate.GetDishCentre());
    for (size_t i = 0; i < colonies.size(); ++i) {
        const sColony& a = colonies[i];
        // Clear of the circle's edge, so that no colony is rejected for
        // touching the border of the area.
        EXPECT_LT(cv::norm(a.centre - dish) + a.radius, plate.GetSearchRadius() - 5.0) << i;
        if (a.partner >= 0) {
            EXPECT_EQ(colonies[a.partner].partner, static_cast<int>(i));
        }
        for (size_t j = i + 1; j < colonies.size(); ++j) {
            const sColony& b = colonies[j];
            const double gap = cv::norm(a.centre - b.centre) - a.radius - b.radius;
            if (a.partner == static_cast<int>(j)) {
                EXPECT_LT(gap, 0.0) << i << " and its partner " << j << " must overlap";
            } else {
                EXPECT_GT(gap, 5.0) << i << " and " << j << " run into each other";
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, SamplePlateLayoutTest, ::testing::Values(1u, 18u, 4242u));

TEST(SampleChamberTest, CellsKeepApartAndBothKindsArePresent)
{
    const CSampleChamber chamber(18);
    const std::vector<sCell>& cells = chamber.GetCells();
    EXPECT_GT(chamber.CountStained(), 0);
    EXPECT_LT(chamber.CountStained(), static_cast<int>(cells.size()));
    for (size_t i = 0; i < cells.size(); ++i) {
        for (size_t j = i + 1; j < cells.size(); ++j)
            EXPECT_GT(cv::norm(cells[i].centre - cells[j].centre) - cells[i].radius - cells[j].radius, 2.0)
                << i << " and " << j;
    }
}

} // namespace
} // namespace kestrun::samples
