// Thinning of objects to skeletons, their tips and branch points, and the
// distance graph of a skeleton.

#include "analysis/skeletongraph.h"
#include "analysis/skeletonnew.h"

#include "tracepage.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <functional>
#include <set>

namespace {

// The traced outline of the object of the mask.
CRPolygon OutlineOf(const cv::Mat& mask)
{
    tracetest::CMaskScene scene(mask);
    std::vector<cv::Point> set;
    cv::findNonZero(mask, set);
    // findNonZero answers in row order: the first is a start pixel.
    scene.tracer.Trace(set.front().x, set.front().y, FALSE, 0);
    return CRPolygon(scene.tracer.GetPoints());
}

// The skeleton's pixels at their place in a page of the mask's size.
cv::Mat SkeletonPixels(const CSkeletonNew& skeleton, cv::Size size)
{
    cv::Mat out(size, CV_8U, cv::Scalar(0));
    const cv::Mat page = skeleton.GetPage().GetMat();
    const CPoint origin = skeleton.GetOrigin();
    for (int y = 0; y < page.rows; ++y)
        for (int x = 0; x < page.cols; ++x)
            if (page.at<BYTE>(y, x) == 255)
                out.at<BYTE>(y + origin.y, x + origin.x) = 255;
    return out;
}

int CountTips(const CSkeletonNew& skeleton, bool branches)
{
    int count = 0;
    for (const TipNode& tip : skeleton.GetTips())
        count += CSkeletonNew::HasBranches(tip) == branches ? 1 : 0;
    return count;
}

// OpenCV's line of thickness 2 is 3 pixels across.
void Line3(cv::Mat& mask, cv::Point a, cv::Point b)
{
    cv::line(mask, a, b, cv::Scalar(255), 2, cv::LINE_8);
}

} // namespace

TEST(SkeletonThinning, Shapes)
{
    struct sCase
    {
        const char* name;
        std::function<void(cv::Mat&)> draw;
        int tips;
        int nodes;
        // Checks the skeleton's pixels against the drawn ones.
        std::function<void(const cv::Mat& drawn, const cv::Mat& skeleton)> check;
    };
    const auto unchanged = [](const cv::Mat& drawn, const cv::Mat& skeleton) {
        EXPECT_EQ(cv::countNonZero(drawn != skeleton), 0);
    };
    const sCase cases[] = {
        {"one-pixel line", [](cv::Mat& m) { cv::line(m, {5, 10}, {30, 10}, cv::Scalar(255), 1); }, 2, 0, unchanged},
        {"single pixel", [](cv::Mat& m) { m.at<BYTE>(7, 9) = 255; }, 0, 0, unchanged},
        {"L corner",
         [](cv::Mat& m) {
             cv::line(m, {5, 5}, {5, 20}, cv::Scalar(255), 1);
             cv::line(m, {5, 20}, {20, 20}, cv::Scalar(255), 1);
         },
         2, 0,
         [](const cv::Mat& drawn, const cv::Mat& skeleton) {
             cv::Mat expected = drawn.clone();
             expected.at<BYTE>(20, 5) = 0;
             EXPECT_EQ(cv::countNonZero(expected != skeleton), 0);
         }},
        {"bar 9 px wide", [](cv::Mat& m) { cv::rectangle(m, cv::Rect(5, 10, 60, 9), cv::Scalar(255), cv::FILLED); },
         2, 0,
         [](const cv::Mat&, const cv::Mat& skeleton) {
             // One line on the axis, row 14.
             EXPECT_EQ(cv::countNonZero(skeleton.row(14)), cv::countNonZero(skeleton));
             EXPECT_GE(cv::countNonZero(skeleton), 50);
         }},
        {"Y of 3-px arms",
         [](cv::Mat& m) {
             Line3(m, {40, 40}, {40, 75});
             Line3(m, {40, 40}, {15, 15});
             Line3(m, {40, 40}, {65, 15});
         },
         3, 1, nullptr},
        {"plus of 3-px arms",
         [](cv::Mat& m) {
             Line3(m, {10, 40}, {70, 40});
             Line3(m, {40, 10}, {40, 70});
         },
         4, 1, nullptr},
    };
    for (const sCase& c : cases) {
        SCOPED_TRACE(c.name);
        cv::Mat drawn(80, 80, CV_8U, cv::Scalar(0));
        c.draw(drawn);
        CSkeletonNew skeleton;
        ASSERT_EQ(skeleton.Thin(OutlineOf(drawn)), 1);
        EXPECT_EQ(skeleton.FindTips(), 1);
        EXPECT_EQ(CountTips(skeleton, false), c.tips);
        EXPECT_EQ(CountTips(skeleton, true), c.nodes);
        if (c.check)
            c.check(drawn, SkeletonPixels(skeleton, drawn.size()));
    }
}

TEST(SkeletonThinning, ObjectsAtThePageEdgeAndAwkwardOutlines)
{
    // An object filling its box, at the page's corner, a ring and an
    // outline that touches itself: the thinning reads inside its page.
    const std::function<void(cv::Mat&)> shapes[] = {
        [](cv::Mat& m) { m.setTo(cv::Scalar(255)); },
        [](cv::Mat& m) { cv::circle(m, {20, 20}, 15, cv::Scalar(255), 3); },
        [](cv::Mat& m) {
            cv::rectangle(m, cv::Rect(0, 0, 10, 10), cv::Scalar(255), cv::FILLED);
            cv::rectangle(m, cv::Rect(10, 10, 10, 10), cv::Scalar(255), cv::FILLED);
        },
    };
    for (const auto& draw : shapes) {
        cv::Mat drawn(40, 40, CV_8U, cv::Scalar(0));
        draw(drawn);
        CSkeletonNew skeleton;
        ASSERT_EQ(skeleton.Thin(OutlineOf(drawn)), 1);
        EXPECT_EQ(skeleton.FindTips(), 1);
        EXPECT_GT(cv::countNonZero(SkeletonPixels(skeleton, drawn.size())), 0);
    }
    CSkeletonNew skeleton;
    EXPECT_EQ(skeleton.Thin(CRPolygon()), 0);
}

TEST(SkeletonThinning, PeelingCyclesAndObjectPixels)
{
    // Each cycle peels a pixel off both sides of a bar.
    for (const int width : {1, 3, 9}) {
        SCOPED_TRACE(width);
        cv::Mat drawn(40, 80, CV_8U, cv::Scalar(0));
        cv::rectangle(drawn, cv::Rect(5, 10, 60, width), cv::Scalar(255), cv::FILLED);
        CSkeletonNew skeleton;
        ASSERT_EQ(skeleton.Thin(OutlineOf(drawn)), 1);
        EXPECT_EQ(skeleton.GetCycles(), width / 2);
        EXPECT_EQ(skeleton.GetObjectPixels(), 60 * width);
    }
}

TEST(SkeletonGraph, Build)
{
    // The walk lies on the x axis: the length between two indices is their
    // difference.
    CRPolygon walk;
    for (int x = 0; x <= 100; ++x)
        walk.Add(CPoint(x, 0));
    struct sEdge
    {
        int a;
        int b;
        double weight;
    };
    struct sCase
    {
        const char* name;
        std::vector<std::vector<int>> nodes;
        double minimum;
        std::vector<sEdge> edges;
        std::vector<int> removed;
    };
    const sCase cases[] = {
        {"first branch hangs on vertex 0", {{0}, {10, 20, 30}, {15}, {25}}, 2.0,
         {{0, 10, 10.0}, {10, 15, 5.0}, {10, 25, 5.0}}, {}},
        {"end branch exactly at the minimum is kept", {{0}, {10, 20, 30}, {15}, {25}}, 5.0,
         {{0, 10, 10.0}, {10, 15, 5.0}, {10, 25, 5.0}}, {}},
        {"shorter end branches go with their nodes", {{0}, {10, 20, 30}, {15}, {25}}, 6.0, {{0, 10, 10.0}}, {2, 3}},
        {"a branch node is never dropped", {{0}, {3, 20, 30}, {25}}, 10.0, {{0, 3, 3.0}}, {2}},
        {"node 0 as a branch is the parent", {{2, 10, 20}, {5}, {15}}, 0.0, {{2, 5, 3.0}, {2, 15, 5.0}}, {}},
        {"node 0 first index not 0", {{4}, {10, 20, 30}, {15}}, 0.0, {{0, 10, 6.0}, {10, 15, 5.0}}, {}},
    };
    for (const sCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<TipNode> nodes;
        for (const std::vector<int>& indices : c.nodes)
            nodes.push_back(TipNode{indices.front(), 0, indices});
        CDistanceGraph graph;
        graph.AddEdge(90, 91, 1.0); // emptied by the build
        CSkeletonGraphBuilder builder(walk, graph, nodes, c.minimum);
        builder.Build();
        EXPECT_EQ(builder.GetRemovals(), c.removed);
        EXPECT_EQ(nodes.size(), c.nodes.size() - c.removed.size());
        double total = 0.0;
        std::set<int> vertices;
        for (const sEdge& e : c.edges) {
            total += e.weight;
            vertices.insert({e.a, e.b});
            const auto& edges = graph.GetNode(e.a).m_Edges;
            EXPECT_NE(std::find(edges.begin(), edges.end(), std::make_pair(e.b, e.weight)), edges.end())
                << e.a << "-" << e.b;
        }
        EXPECT_EQ(graph.GetNodeCount(), static_cast<int>(vertices.size()));
        EXPECT_DOUBLE_EQ(graph.TotalEdgeLength(), total);
    }
}

TEST(SkeletonGraph, NodesWithoutIndicesAreInvalid)
{
    CRPolygon walk;
    walk.Add(CPoint(0, 0));
    CDistanceGraph graph;
    std::vector<TipNode> none;
    EXPECT_THROW(CSkeletonGraphBuilder(walk, graph, none, 0.0).Build(), CInvalidArgException);
    std::vector<TipNode> empty{TipNode{0, 0, {0}}, TipNode{1, 0, {}}};
    int parent = 0;
    EXPECT_THROW(CSkeletonGraphBuilder(walk, graph, empty, 0.0).FindParentPosition(1, parent), CInvalidArgException);
}
