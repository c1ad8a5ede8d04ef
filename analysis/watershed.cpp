#include "analysis/watershed.h"

#include "objectmodel/linepoints.h"
#include "outside/pixmere/dib.h"

#include <cmath>
#include <deque>

IMPLEMENT_DYNCREATE(CWatershed, CObject)

namespace {

// Neighbour weights: upper left 0x80 ... lower right 0x01.
constexpr int kDx[8] = {-1, 0, 1, -1, 1, -1, 0, 1};
constexpr int kDy[8] = {-1, -1, -1, 0, 0, 1, 1, 1};
constexpr int kWeight[8] = {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01};

// Entry 244 (upper row, left and lower left flooded) is 1 like its mirror
// images 233, 151 and 47.
constexpr std::array<int, 256> kJoinTable = {
    0, 1, 1, 1, 1, 0, 1, 1, 1, 1, 1, 1, 0, 0, 1, 1, 1, 0, 1, 1, 1, 0, 1, 1, 0, 0, 1, 1, 0, 0, 1, 1,
    1, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 1, 1,
    1, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 1, 0, 0, 1, 1, 1, 0, 1, 1, 1, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
    1, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 0, 0, 1, 1, 1, 0, 1, 1, 1, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
    1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 1, 1, 0, 1, 1, 0, 0, 1, 1, 0, 0, 1, 1,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 1, 1,
    1, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 0, 0, 1, 1, 1, 0, 1, 1, 1, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
    1, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 0, 0, 1, 1, 1, 0, 1, 1, 1, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
};

} // namespace

CWatershed::CWatershed() = default;

CWatershed::~CWatershed() = default;

const std::array<int, 256>& CWatershed::JoinTable()
{
    return kJoinTable;
}

void CWatershed::SetImage(const Device& source)
{
    cv::Mat mask(std::max(source.GetHeight(), 0), std::max(source.GetWidth(), 0), CV_8UC1);
    for (int y = 0; y < mask.rows; ++y) {
        auto* row = mask.ptr<uint8_t>(y);
        for (int x = 0; x < mask.cols; ++x)
            row[x] = static_cast<uint8_t>(source.GetPixel(x, y) & 0xFF);
    }
    SetMask(mask);
}

void CWatershed::SetMask(const cv::Mat& mask)
{
    m_Rows.clear();
    m_Width = 0;
    m_Height = 0;
    m_Order.clear();
    m_LevelStart.clear();
    m_nLevel = 0;
    if (mask.empty() || mask.type() != CV_8UC1 || !m_Image.InitDIB(mask.cols, mask.rows, 8)) {
        m_Image = CDIBExt();
        return;
    }
    m_Width = mask.cols;
    m_Height = mask.rows;
    cv::Mat values = m_Image.GetMat(); // shares the pixels
    for (int y = 0; y < m_Height; ++y) {
        const auto* in = mask.ptr<uint8_t>(y);
        auto* out = values.ptr<uint16_t>(y);
        for (int x = 0; x < m_Width; ++x)
            out[x] = in[x] == 254 ? kUnlabelled : in[x] == 255 ? kFlooded : in[x];
        m_Rows.push_back(out);
    }
    const size_t pixels = static_cast<size_t>(m_Width) * static_cast<size_t>(m_Height);
    m_Stamp.assign(pixels, 0);
    m_Old.assign(pixels, 0);
    m_nPass = 0;
}

int CWatershed::GetValue(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_Width || y >= m_Height)
        return 0;
    return m_Rows[static_cast<size_t>(y)][x];
}

int CWatershed::OldValue(int x, int y) const
{
    const size_t index = static_cast<size_t>(y) * static_cast<size_t>(m_Width) + static_cast<size_t>(x);
    return m_Stamp[index] == m_nPass ? m_Old[index] : m_Rows[static_cast<size_t>(y)][x];
}

void CWatershed::Flood(int x, int y)
{
    const size_t index = static_cast<size_t>(y) * static_cast<size_t>(m_Width) + static_cast<size_t>(x);
    uint16_t& value = m_Rows[static_cast<size_t>(y)][x];
    if (m_Stamp[index] != m_nPass) {
        m_Stamp[index] = m_nPass;
        m_Old[index] = value;
    }
    value = kFlooded;
}

void CWatershed::BeginPass()
{
    // A pass reads the image as it was before its own writes (the
    // comparison image takes them); a stamp per pixel tells them apart.
    if (++m_nPass == 0) {
        std::fill(m_Stamp.begin(), m_Stamp.end(), 0U);
        m_nPass = 1;
    }
}

bool CWatershed::HasFloodedNeighbour(int x, int y) const
{
    for (int k = 0; k < 8; ++k)
        if (OldValue(x + kDx[k], y + kDy[k]) == kFlooded)
            return true;
    return false;
}

int CWatershed::NeighbourCode(int x, int y) const
{
    int code = 0;
    for (int k = 0; k < 8; ++k)
        if (m_Rows[static_cast<size_t>(y + kDy[k])][x + kDx[k]] == kFlooded)
            code |= kWeight[k];
    return code;
}

int CWatershed::LabelDistances()
{
    // Breadth first from the background: the same layers as one pass per
    // level, in one pass over the pixels.
    std::deque<int> queue;
    for (int y = 0; y < m_Height; ++y)
        for (int x = 0; x < m_Width; ++x)
            if (m_Rows[static_cast<size_t>(y)][x] == 0)
                queue.push_back(y * m_Width + x);
    int deepest = 0;
    while (!queue.empty()) {
        const int index = queue.front();
        queue.pop_front();
        const int x = index % m_Width;
        const int y = index / m_Width;
        const int label = m_Rows[static_cast<size_t>(y)][x] + 1;
        for (int k = 0; k < 8; ++k) {
            const int nx = x + kDx[k];
            const int ny = y + kDy[k];
            if (nx < 0 || ny < 0 || nx >= m_Width || ny >= m_Height)
                continue;
            uint16_t& value = m_Rows[static_cast<size_t>(ny)][nx];
            if (value != kUnlabelled)
                continue;
            value = static_cast<uint16_t>(label);
            deepest = std::max(deepest, label);
            queue.push_back(ny * m_Width + nx);
        }
    }
    IndexLevels(deepest);
    return deepest;
}

void CWatershed::IndexLevels(int deepest)
{
    // The inner pixels of each label in scan order: the flooding visits
    // only the pixels of its level.
    m_LevelStart.assign(static_cast<size_t>(deepest) + 2, 0);
    for (int y = 1; y + 1 < m_Height; ++y)
        for (int x = 1; x + 1 < m_Width; ++x) {
            const int value = m_Rows[static_cast<size_t>(y)][x];
            if (value >= 1 && value <= deepest)
                ++m_LevelStart[static_cast<size_t>(value) + 1];
        }
    for (size_t i = 1; i < m_LevelStart.size(); ++i)
        m_LevelStart[i] += m_LevelStart[i - 1];
    m_Order.assign(static_cast<size_t>(m_LevelStart.back()), 0);
    std::vector<int> next(m_LevelStart.begin(), m_LevelStart.end() - 1);
    for (int y = 1; y + 1 < m_Height; ++y)
        for (int x = 1; x + 1 < m_Width; ++x) {
            const int value = m_Rows[static_cast<size_t>(y)][x];
            if (value >= 1 && value <= deepest)
                m_Order[static_cast<size_t>(next[static_cast<size_t>(value)]++)] = y * m_Width + x;
        }
}

std::span<const int> CWatershed::LevelPixels(int level) const
{
    if (level < 1 || static_cast<size_t>(level) + 1 >= m_LevelStart.size())
        return {};
    const auto begin = static_cast<size_t>(m_LevelStart[static_cast<size_t>(level)]);
    const auto end = static_cast<size_t>(m_LevelStart[static_cast<size_t>(level) + 1]);
    return std::span<const int>(m_Order).subspan(begin, end - begin);
}

void CWatershed::MarkSeeds(int deepest)
{
    for (uint16_t* row : m_Rows)
        for (int x = 0; x < m_Width; ++x) {
            if (row[x] == deepest)
                row[x] = kFlooded;
            if (row[x] == 0)
                row[x] = kUnlabelled;
        }
}

int CWatershed::GrowLevel(int level)
{
    BeginPass();
    int changed = 0;
    for (const int index : LevelPixels(level)) {
        const int x = index % m_Width;
        const int y = index / m_Width;
        if (OldValue(x, y) != level || !HasFloodedNeighbour(x, y))
            continue;
        if (kJoinTable[static_cast<size_t>(NeighbourCode(x, y))] == 1) {
            Flood(x, y);
            changed = 1;
        }
    }
    return changed;
}

int CWatershed::NewBasins(int level)
{
    BeginPass();
    m_Seeds.clear();
    CLinePoints line;
    for (const int index : LevelPixels(level)) {
        const int x = index % m_Width;
        const int y = index / m_Width;
        if (OldValue(x, y) != level || HasFloodedNeighbour(x, y))
            continue;
        // Seeds come in scan order: only those of the last rows are near.
        for (auto seed = m_Seeds.rbegin(); seed != m_Seeds.rend() && seed->y > y - 4; ++seed) {
            const double d = std::hypot(static_cast<double>(seed->x - x), static_cast<double>(seed->y - y));
            if (d <= 1.0 || d >= 4.0)
                continue;
            line.Init(seed->x, seed->y, x, y);
            for (const POINT& p : line.Points())
                Flood(p.x, p.y);
        }
        Flood(x, y);
        m_Seeds.push_back(POINT{x, y});
    }
    return static_cast<int>(m_Seeds.size());
}

void CWatershed::Prepare()
{
    m_nLevel = LabelDistances();
    MarkSeeds(m_nLevel);
    --m_nLevel;
}

void CWatershed::FloodLevel()
{
    while (GrowLevel(m_nLevel) != 0) {
    }
}

void CWatershed::Step()
{
    NewBasins(m_nLevel);
    --m_nLevel;
}

void CWatershed::Segment()
{
    Prepare();
    while (m_nLevel > 0) {
        FloodLevel();
        Step();
    }
}

void CWatershed::CollectDamPoints(CArray<POINT, POINT>& points, int dx, int dy) const
{
    for (int y = 0; y < m_Height; ++y) {
        const uint16_t* row = m_Rows[static_cast<size_t>(y)];
        for (int x = 0; x < m_Width; ++x)
            if (row[x] != kUnlabelled && row[x] != kFlooded)
                points.Add(POINT{x + dx, y + dy});
    }
}

int CWatershed::WriteBack(CDIB& target) const
{
    if (m_Rows.empty())
        return 0;
    CDIBExt out;
    out.InitDIB(m_Width, m_Height, 8);
    cv::Mat values = out.GetMat();
    for (int y = 0; y < m_Height; ++y) {
        const uint16_t* in = m_Rows[static_cast<size_t>(y)];
        auto* row = values.ptr<uint16_t>(y);
        for (int x = 0; x < m_Width; ++x)
            row[x] = in[x] == kUnlabelled ? 254 : in[x] == kFlooded ? 255 : std::min<uint16_t>(in[x], 253);
    }
    return out.WriteBack(target, CDIBExt::WriteSum);
}
