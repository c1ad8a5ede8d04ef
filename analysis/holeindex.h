#pragma once
// The holes of a run by the row of their start point. Each record asks for
// the holes whose start point lies in its bounding box instead of testing
// every hole of the page: the cost of a record is its height plus the
// holes near it, whatever the number of objects.
//
// A hole lies inside every record that encloses the record around it, but
// belongs only to the innermost one: each hole keeps the smallest area of
// the records claiming it, and a larger record leaves it alone.

#include "objectmodel/chain8.h"

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

class CHoleIndex
{
public:
    // Indexes the start points of the chains (a counting sort by row,
    // then by x within a row). Storage is kept for the next run.
    void Build(const std::vector<CChain8>& holes)
    {
        m_nCount = holes.size();
        m_Entries.clear();
        m_RowStart.clear();
        m_OwnerArea.assign(holes.size(), kUnclaimed);
        if (holes.empty())
            return;
        int top = holes.front().m_nStartY;
        int bottom = top;
        for (const CChain8& hole : holes) {
            top = std::min(top, hole.m_nStartY);
            bottom = std::max(bottom, hole.m_nStartY);
        }
        m_nTop = top;
        m_RowStart.assign(static_cast<size_t>(bottom - top) + 2, 0);
        for (const CChain8& hole : holes)
            ++m_RowStart[static_cast<size_t>(hole.m_nStartY - top) + 1];
        for (size_t r = 1; r < m_RowStart.size(); ++r)
            m_RowStart[r] += m_RowStart[r - 1];
        m_Entries.resize(holes.size());
        std::vector<int> next(m_RowStart.begin(), m_RowStart.end() - 1);
        for (size_t i = 0; i < holes.size(); ++i) {
            const int r = holes[i].m_nStartY - top;
            m_Entries[static_cast<size_t>(next[static_cast<size_t>(r)]++)] = {holes[i].m_nStartX, static_cast<int>(i)};
        }
        for (size_t r = 0; r + 1 < m_RowStart.size(); ++r)
            std::sort(m_Entries.begin() + m_RowStart[r], m_Entries.begin() + m_RowStart[r + 1]);
    }

    // The number of holes indexed.
    size_t GetCount() const { return m_nCount; }

    // A record of the given outline area encloses the hole.
    void Claim(int hole, long area)
    {
        long& owner = m_OwnerArea[static_cast<size_t>(hole)];
        owner = std::min(owner, area);
    }

    // Whether a record of that outline area is the innermost one claiming
    // the hole; every record is while nobody claimed it.
    bool IsOwner(int hole, long area) const { return area <= m_OwnerArea[static_cast<size_t>(hole)]; }

    // The indices of the holes whose start point lies in the box (bounds
    // included), in ascending order: the order of the run's hole list.
    const std::vector<int>& Find(int left, int top, int right, int bottom)
    {
        m_Found.clear();
        if (m_RowStart.empty())
            return m_Found;
        const int rows = static_cast<int>(m_RowStart.size()) - 1;
        const int first = std::max(top - m_nTop, 0);
        const int last = std::min(bottom - m_nTop, rows - 1);
        for (int r = first; r <= last; ++r) {
            const auto begin = m_Entries.begin() + m_RowStart[static_cast<size_t>(r)];
            const auto end = m_Entries.begin() + m_RowStart[static_cast<size_t>(r) + 1];
            for (auto e = std::lower_bound(begin, end, std::pair{left, -1}); e != end && e->first <= right; ++e)
                m_Found.push_back(e->second);
        }
        std::sort(m_Found.begin(), m_Found.end());
        return m_Found;
    }

private:
    static constexpr long kUnclaimed = std::numeric_limits<long>::max();

    size_t m_nCount = 0;
    int m_nTop = 0;
    // Per row from m_nTop: the first entry of the row; one more at the end.
    std::vector<int> m_RowStart;
    // (start x, hole index), by row, then by x.
    std::vector<std::pair<int, int>> m_Entries;
    std::vector<int> m_Found;
    // Per hole: the smallest outline area of the records claiming it.
    std::vector<long> m_OwnerArea;
};
