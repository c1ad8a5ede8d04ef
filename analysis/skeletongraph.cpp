#include "analysis/skeletongraph.h"

#include "platform/core/exceptions.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

constexpr int kChordSteps = 5;

} // namespace

const std::vector<int>& CSkeletonGraphBuilder::IndicesOf(int node) const
{
    if (node < 0 || node >= static_cast<int>(m_Nodes.size()) ||
        m_Nodes[static_cast<size_t>(node)].m_arrIndices.empty())
        AfxThrowInvalidArgException();
    return m_Nodes[static_cast<size_t>(node)].m_arrIndices;
}

int CSkeletonGraphBuilder::FindParentPosition(int i, int& parent) const
{
    const int key = IndicesOf(i).front();
    int result = IndicesOf(0).front();
    parent = 0;
    long long best = INT_MAX;
    for (int j = i - 1; j >= 0; --j) {
        const std::vector<int>& indices = m_Nodes[static_cast<size_t>(j)].m_arrIndices;
        if (indices.size() < 2)
            continue;
        for (const int v : indices) {
            const long long distance = static_cast<long long>(key) - v;
            if (distance >= 0 && distance < best) {
                best = distance;
                result = v;
                parent = indices.front();
            }
        }
    }
    return result;
}

void CSkeletonGraphBuilder::AddNodeEdge(int i)
{
    const std::vector<int>& indices = IndicesOf(i);
    const int first = indices.front();
    int parent = 0;
    const int position = FindParentPosition(i, parent);
    const double weight = WalkLength(m_Skeleton, position, first);
    if (indices.size() == 1 && weight < m_dMinEndBranch) {
        m_arrRemovals.push_back(i);
        return;
    }
    m_Graph.AddEdge(parent, first, weight);
}

void CSkeletonGraphBuilder::Build()
{
    m_Graph.Clear();
    m_arrRemovals.clear();
    if (m_Nodes.empty())
        AfxThrowInvalidArgException();
    for (int i = 1; i < static_cast<int>(m_Nodes.size()); ++i)
        AddNodeEdge(i);
    for (auto k = m_arrRemovals.rbegin(); k != m_arrRemovals.rend(); ++k)
        m_Nodes.erase(m_Nodes.begin() + *k);
}

double CSkeletonGraphBuilder::WalkLength(const CRPolygon& walk, int from, int to)
{
    const int last = static_cast<int>(walk.GetSize()) - 1;
    from = std::clamp(from, 0, std::max(last, 0));
    to = std::clamp(to, from, std::max(last, 0));
    double length = 0.0;
    for (int i = from; i < to;) {
        const int next = std::min(i + kChordSteps, to);
        length += std::hypot(static_cast<double>(walk[next].x - walk[i].x), static_cast<double>(walk[next].y - walk[i].y));
        i = next;
    }
    return length;
}
