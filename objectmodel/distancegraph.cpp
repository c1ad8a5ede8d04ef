#include "objectmodel/distancegraph.h"

#include <limits>

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

} // namespace

CDistanceGraph::CNode& CDistanceGraph::GetNode(int node)
{
    return m_Nodes[node];
}

void CDistanceGraph::AddEdge(int a, int b, double weight)
{
    m_bDistancesValid = false;
    GetNode(a).m_Edges.emplace_back(b, weight);
    GetNode(b).m_Edges.emplace_back(a, weight);
}

void CDistanceGraph::Clear()
{
    m_Nodes.clear();
    m_Distances.clear();
    m_Queue.clear();
    m_bDistancesValid = false;
}

void CDistanceGraph::ShortestPaths(int source)
{
    m_nSource = source;
    m_Distances.clear();
    for (const auto& [node, record] : m_Nodes)
        m_Distances[node] = kInfinity;
    m_Distances[source] = 0.0;

    m_Queue.clear();
    for (const auto& [node, record] : m_Nodes)
        m_Queue.emplace(m_Distances[node], node);

    while (!m_Queue.empty()) {
        const auto [du, u] = *m_Queue.begin();
        m_Queue.erase(m_Queue.begin());
        for (const auto& [v, w] : m_Nodes[u].m_Edges) {
            double& dv = m_Distances[v];
            if (du + w < dv) {
                m_Queue.erase({dv, v});
                dv = du + w;
                m_Queue.emplace(dv, v);
            }
        }
    }
    m_bDistancesValid = true;
}

int CDistanceGraph::FarthestNode()
{
    if (!m_bDistancesValid)
        ShortestPaths(m_nSource);
    int best = 0;
    double bestDistance = 0.0;
    for (const auto& [node, distance] : m_Distances) {
        if (distance > bestDistance) {
            bestDistance = distance;
            best = node;
        }
    }
    return best;
}

double CDistanceGraph::GetDistance(int node) const
{
    const auto it = m_Distances.find(node);
    return it == m_Distances.end() ? kInfinity : it->second;
}

double CDistanceGraph::LongestShortestPath(int& a, int& b)
{
    // An infinite distance would win every comparison below.
    if (!IsConnected())
        return kNotConnected;

    double best = 0.0;
    for (const auto& [node, record] : m_Nodes) {
        if (record.m_Edges.size() != 1)
            continue;
        m_nSource = node;
        m_bDistancesValid = false;
        const int farthest = FarthestNode();
        const double d = GetDistance(farthest);
        if (d > best) {
            best = d;
            a = node;
            b = farthest;
        }
    }
    return best;
}

bool CDistanceGraph::IsConnected() const
{
    if (m_Nodes.empty())
        return true;
    std::set<int> seen{m_Nodes.begin()->first};
    std::vector<int> stack{m_Nodes.begin()->first};
    while (!stack.empty()) {
        const int u = stack.back();
        stack.pop_back();
        for (const auto& [v, w] : m_Nodes.at(u).m_Edges) {
            if (seen.insert(v).second)
                stack.push_back(v);
        }
    }
    return seen.size() == m_Nodes.size();
}

double CDistanceGraph::TotalEdgeLength() const
{
    double sum = 0.0;
    for (const auto& [node, record] : m_Nodes) {
        for (const auto& [v, w] : record.m_Edges)
            sum += w;
    }
    return sum / 2.0;
}
