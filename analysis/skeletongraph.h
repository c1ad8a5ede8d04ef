#pragma once
// CSkeletonGraphBuilder: the distance graph of a skeleton with branches.
// Graph vertices are indices of the skeleton contour, a node standing for
// its first index; each node is joined to the nearest earlier branch
// position on the walk along the contour (vertex 0 when there is none),
// weighted with the length of the walk between them. End branches shorter than
// the minimum are left out and their nodes listed for removal.

#include "analysis/skeletonnew.h"
#include "objectmodel/distancegraph.h"
#include "objectmodel/rpolygon.h"

#include <vector>

class CSkeletonGraphBuilder
{
public:
    CSkeletonGraphBuilder(const CRPolygon& skeleton, CDistanceGraph& graph, std::vector<TipNode>& nodes,
                          double minEndBranch)
        : m_Skeleton(skeleton), m_Graph(graph), m_Nodes(nodes), m_dMinEndBranch(minEndBranch)
    {
    }

    // The contour index at which the walk last left an earlier branch node
    // before node i, and that node's vertex in parent (node 0's first index
    // and vertex 0 when there is none). A node without indices is an
    // invalid argument.
    int FindParentPosition(int i, int& parent) const;
    // The edge from node i to its parent, or node i on the removal list
    // when it ends a branch shorter than the minimum.
    void AddNodeEdge(int i);
    // Empties the graph, adds the edges of nodes 1 to count - 1 and removes
    // the nodes of dropped end branches. An empty node list is an invalid
    // argument.
    void Build();

    const std::vector<int>& GetRemovals() const { return m_arrRemovals; }

    // The length of the walk from index from to index to (to >= from;
    // clamped to the walk): the chords between every fifth point. Steps of
    // 1 and 1.414 would measure oblique and curved threads up to 8 % too
    // long.
    static double WalkLength(const CRPolygon& walk, int from, int to);

private:
    const std::vector<int>& IndicesOf(int node) const;

    const CRPolygon& m_Skeleton;
    CDistanceGraph& m_Graph;
    std::vector<TipNode>& m_Nodes;
    std::vector<int> m_arrRemovals;
    double m_dMinEndBranch;
};
