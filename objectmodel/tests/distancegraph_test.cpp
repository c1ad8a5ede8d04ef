#include "objectmodel/distancegraph.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(CDistanceGraphTest, Path)
{
    CDistanceGraph graph;
    graph.AddEdge(1, 2, 2.0);
    graph.AddEdge(2, 3, 3.0);
    int a = -1;
    int b = -1;
    EXPECT_DOUBLE_EQ(graph.LongestShortestPath(a, b), 5.0);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 3);
    EXPECT_DOUBLE_EQ(graph.TotalEdgeLength(), 5.0);

    graph.ShortestPaths(2);
    EXPECT_DOUBLE_EQ(graph.GetDistance(1), 2.0);
    EXPECT_EQ(graph.FarthestNode(), 3);
}

TEST(CDistanceGraphTest, TreeTakesTheLowerNumberedEnd)
{
    // A star: centre 0, leaves 1, 2, 3 at 1, 2, 3.
    CDistanceGraph graph;
    graph.AddEdge(0, 1, 1.0);
    graph.AddEdge(0, 2, 2.0);
    graph.AddEdge(0, 3, 3.0);
    int a = -1;
    int b = -1;
    EXPECT_DOUBLE_EQ(graph.LongestShortestPath(a, b), 5.0);
    EXPECT_EQ(a, 2);
    EXPECT_EQ(b, 3);
    EXPECT_DOUBLE_EQ(graph.TotalEdgeLength(), 6.0);
    EXPECT_EQ(graph.GetNode(0).m_Edges.size(), 3u);
}

TEST(CDistanceGraphTest, ShortestWayWins)
{
    // Two ways from 1 to 4: 1-2-4 (10) and 1-3-4 (4); a repeated edge stays separate.
    CDistanceGraph graph;
    graph.AddEdge(1, 2, 5.0);
    graph.AddEdge(2, 4, 5.0);
    graph.AddEdge(1, 3, 1.0);
    graph.AddEdge(3, 4, 3.0);
    graph.AddEdge(3, 4, 1.0);
    graph.ShortestPaths(1);
    EXPECT_DOUBLE_EQ(graph.GetDistance(4), 2.0);
    EXPECT_EQ(graph.FarthestNode(), 2) << "at 5, by its direct edge";
    EXPECT_DOUBLE_EQ(graph.TotalEdgeLength(), 15.0);
}

TEST(CDistanceGraphTest, CycleHasNoEnds)
{
    CDistanceGraph graph;
    graph.AddEdge(1, 2, 1.0);
    graph.AddEdge(2, 3, 1.0);
    graph.AddEdge(3, 1, 1.0);
    int a = -1;
    int b = -1;
    EXPECT_DOUBLE_EQ(graph.LongestShortestPath(a, b), 0.0);
    EXPECT_EQ(a, -1);
    EXPECT_EQ(b, -1);
    EXPECT_TRUE(graph.IsConnected());
}

TEST(CDistanceGraphTest, DisconnectedGraphIsReportedAsSuch)
{
    CDistanceGraph graph;
    graph.AddEdge(1, 2, 1.0);
    graph.AddEdge(5, 6, 4.0);
    EXPECT_FALSE(graph.IsConnected());

    // From a source, the nodes out of reach stay infinitely far.
    graph.ShortestPaths(1);
    EXPECT_TRUE(std::isinf(graph.GetDistance(5)));
    EXPECT_EQ(graph.FarthestNode(), 5);

    int a = -1;
    int b = -1;
    EXPECT_EQ(graph.LongestShortestPath(a, b), CDistanceGraph::kNotConnected);
    EXPECT_EQ(a, -1);
    EXPECT_DOUBLE_EQ(graph.TotalEdgeLength(), 5.0);
}

TEST(CDistanceGraphTest, ClearAndStaleDistances)
{
    CDistanceGraph graph;
    EXPECT_TRUE(graph.IsConnected());
    EXPECT_EQ(graph.FarthestNode(), 0) << "no node farther than 0";

    graph.AddEdge(0, 1, 2.0);
    graph.ShortestPaths(0);
    graph.AddEdge(1, 7, 1.0); // makes the distances stale
    EXPECT_EQ(graph.FarthestNode(), 7) << "recomputed from the current source";
    EXPECT_DOUBLE_EQ(graph.GetDistance(7), 3.0);

    graph.Clear();
    EXPECT_EQ(graph.GetNodeCount(), 0);
    EXPECT_TRUE(std::isinf(graph.GetDistance(7)));
    EXPECT_DOUBLE_EQ(graph.TotalEdgeLength(), 0.0);
}
