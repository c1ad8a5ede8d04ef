#pragma once
// CDistanceGraph: a weighted undirected graph of numbered nodes (the
// skeleton of an object: nodes are skeleton points, edges carry path
// lengths) with Dijkstra's shortest paths. The skeleton analysis asks for
// the longest of the shortest paths from an end node - the main length of
// the skeleton - and for the total length of all branches.

#include <map>
#include <set>
#include <utility>
#include <vector>

class CDistanceGraph
{
public:
    // Adjacency in insertion order: (neighbour, weight); its length is the degree.
    struct CNode
    {
        std::vector<std::pair<int, double>> m_Edges;
    };

    // What LongestShortestPath reports when some node cannot be reached.
    static constexpr double kNotConnected = -1.0;

    CDistanceGraph() = default;

    // The node record, inserted empty when the number is new.
    CNode& GetNode(int node);
    // Appends the edge to both ends; repeated edges stay separate.
    void AddEdge(int a, int b, double weight);
    void Clear();

    // Dijkstra from the source; unreachable nodes keep +infinity.
    void ShortestPaths(int source);
    // The node farthest from the current source (computed first when the
    // distances are stale); ties and an all-zero graph give the smallest
    // number, and node 0 when no distance is above 0. An unreachable node
    // (+infinity) is the farthest.
    int FarthestNode();
    // Distance of the node from the last source; +infinity when unknown.
    double GetDistance(int node) const;

    // The longest shortest-path distance from an end node (degree 1) to any
    // node, with its two ends in a and b. 0.0, and a and b untouched, when
    // there is no end node; kNotConnected when the graph falls apart.
    double LongestShortestPath(int& a, int& b);
    // Whether every node can be reached from every other (an empty graph is).
    bool IsConnected() const;
    // Sum of all edge weights.
    double TotalEdgeLength() const;

    int GetNodeCount() const { return static_cast<int>(m_Nodes.size()); }
    int GetSource() const { return m_nSource; }

private:
    std::map<int, CNode> m_Nodes;
    std::map<int, double> m_Distances;
    std::set<std::pair<double, int>> m_Queue;
    int m_nSource = 0;
    bool m_bDistancesValid = false;
};
