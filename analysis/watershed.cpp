#include "analysis/watershed.h"

#include "objectmodel/linepoints.h"
#include "outside/pixmere/dib.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

IMPLEMENT_DYNCREATE(CWatershed, CObject)

namespace {

// Neighbour weights: upper left 0x80 ... lower right 0x01.
constexpr int kDx[8] = {-1, 0, 1, -1, 1, -1, 0, 1};
constexpr int kDy[8] = {-1, -1, -1, 0, 0, 1, 1, 1};
constexpr int kWeight[8] = {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01};

// Flooded by the growth pass under way (only while it runs); below the two
// markers, above every label.
constexpr uint16_t kFloodedNow = 0xFFFD;

// Floods an inner pixel of the level whose flooded neighbours join it, as
// a growth pass tests it. The pixels this pass floods count in the join
// code of the pixels after them but are not yet the flooded neighbour a
// pixel needs: they carry a marker of their own until the pass ends.
bool FloodIfJoined(uint16_t* value, const std::array<std::ptrdiff_t, 8>& around, std::vector<uint32_t>& flooded,
                   uint32_t index);

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

bool FloodIfJoined(uint16_t* value, const std::array<std::ptrdiff_t, 8>& around, std::vector<uint32_t>& flooded,
                   uint32_t index)
{
    // Without branches: which neighbours are flooded is no pattern.
    int code = 0;
    int reached = 0;
    for (size_t k = 0; k < 8; ++k) {
        const uint16_t next = value[around[k]];
        const int flooded = next == CWatershed::kFlooded ? 1 : 0;
        code |= (flooded | (next == kFloodedNow ? 1 : 0)) * kWeight[k];
        reached |= flooded;
    }
    if (reached == 0 || kJoinTable[static_cast<size_t>(code)] != 1)
        return false;
    *value = kFloodedNow;
    flooded.push_back(index);
    return true;
}

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
    m_Base = nullptr;
    m_Stride = 0;
    m_Width = 0;
    m_Height = 0;
    m_Order.clear();
    m_LevelStart.clear();
    m_Next.clear();
    m_nLevel = 0;
    m_bPlain = false;
    if (mask.empty() || mask.type() != CV_8UC1 || !FitImage(mask.cols, mask.rows)) {
        m_Image = CDIBExt();
        return;
    }
    m_Width = mask.cols;
    m_Height = mask.rows;
    cv::Mat values = m_Image.GetMat(); // shares the pixels
    // Branch-free, so that the loop vectorises.
    bool plain = true;
    for (int y = 0; y < m_Height; ++y) {
        const auto* in = mask.ptr<uint8_t>(y);
        auto* out = values.ptr<uint16_t>(y);
        unsigned other = 0;
        for (int x = 0; x < m_Width; ++x) {
            const unsigned v = in[x];
            out[x] = static_cast<uint16_t>(v >= 254 ? v + (kUnlabelled - 254) : v);
            other |= static_cast<unsigned>(v != 0 && v != 254);
        }
        plain = plain && other == 0;
        m_Rows.push_back(out);
    }
    m_bPlain = plain;
    m_Base = values.ptr<uint16_t>(0);
    m_Stride = values.step1();
    const auto stride = static_cast<std::ptrdiff_t>(m_Stride);
    for (size_t k = 0; k < 8; ++k)
        m_Around[k] = kDy[k] * stride + kDx[k];
    // Stamps of earlier masks are below every later pass: no reset.
    const size_t pixels = static_cast<size_t>(m_Width) * static_cast<size_t>(m_Height);
    if (m_Stamp.size() < pixels) {
        m_Stamp.resize(pixels, 0U);
        m_Old.resize(pixels, 0);
    }
}

bool CWatershed::FitImage(int width, int height)
{
    // One object after another: the working image only grows, and each
    // mask uses its upper left part.
    const cv::Mat current = m_Image.GetMat();
    if (!current.empty() && current.cols >= width && current.rows >= height)
        return true;
    return m_Image.InitDIB(std::max(width, current.cols), std::max(height, current.rows), 8) != FALSE;
}

int CWatershed::GetValue(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_Width || y >= m_Height)
        return 0;
    return m_Rows[static_cast<size_t>(y)][x];
}

int CWatershed::OldValue(int x, int y) const
{
    // A pass only writes kFlooded: any other value is as it was.
    const int value = m_Rows[static_cast<size_t>(y)][x];
    if (value != kFlooded)
        return value;
    const size_t index = static_cast<size_t>(y) * static_cast<size_t>(m_Width) + static_cast<size_t>(x);
    return m_Stamp[index] == m_nPass ? m_Old[index] : value;
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

int CWatershed::LabelDistances()
{
    const int deepest = m_bPlain ? ChessboardDistances() : SpreadDistances();
    m_bPlain = false;
    IndexLevels(deepest);
    return deepest;
}

int CWatershed::SpreadDistances()
{
    // Breadth first from the background: the same layers as one pass per
    // level, in one pass over the pixels.
    m_Queue.clear();
    for (int y = 0; y < m_Height; ++y)
        for (int x = 0; x < m_Width; ++x)
            if (m_Rows[static_cast<size_t>(y)][x] == 0)
                m_Queue.push_back(POINT{x, y});
    int deepest = 0;
    for (size_t next = 0; next < m_Queue.size(); ++next) {
        const POINT p = m_Queue[next];
        const int label = m_Rows[static_cast<size_t>(p.y)][p.x] + 1;
        for (int k = 0; k < 8; ++k) {
            const int nx = p.x + kDx[k];
            const int ny = p.y + kDy[k];
            if (nx < 0 || ny < 0 || nx >= m_Width || ny >= m_Height)
                continue;
            uint16_t& value = m_Rows[static_cast<size_t>(ny)][nx];
            if (value != kUnlabelled)
                continue;
            value = static_cast<uint16_t>(label);
            deepest = std::max(deepest, label);
            m_Queue.push_back(POINT{nx, ny});
        }
    }
    return deepest;
}

namespace {

// The nearest of the three pixels above or below, one step further, where
// that is nearer than the pixel's own value (plain loops: they vectorise).
void TakeFromRow(uint16_t* __restrict row, const uint16_t* __restrict next, size_t width)
{
    const auto step = [](uint16_t nearest) { return static_cast<uint16_t>(nearest + 1); };
    if (width == 1) {
        row[0] = std::min(row[0], step(next[0]));
        return;
    }
    row[0] = std::min(row[0], step(std::min(next[0], next[1])));
    for (size_t x = 1; x + 1 < width; ++x)
        row[x] = std::min(row[x], step(std::min(std::min(next[x - 1], next[x]), next[x + 1])));
    row[width - 1] = std::min(row[width - 1], step(std::min(next[width - 2], next[width - 1])));
}

} // namespace

int CWatershed::ChessboardDistances()
{
    // Nothing but background and object pixels: the layers are the
    // chessboard distance to the background, which a pass forwards and
    // one backwards give exactly (each as the row before or after it,
    // then along the row). Unlabelled is above every distance, so it stays
    // where no background is, and the background stays 0.
    const auto width = static_cast<size_t>(m_Width);
    for (size_t y = 0; y < m_Rows.size(); ++y) {
        uint16_t* row = m_Rows[y];
        if (y > 0)
            TakeFromRow(row, m_Rows[y - 1], width);
        // Along the row with the last value in hand, not read back.
        uint16_t last = row[0];
        for (size_t x = 1; x < width; ++x) {
            last = std::min(row[x], static_cast<uint16_t>(last + 1));
            row[x] = last;
        }
    }
    uint16_t deepest = 0;
    for (size_t y = m_Rows.size(); y-- > 0;) {
        uint16_t* row = m_Rows[y];
        if (y + 1 < m_Rows.size())
            TakeFromRow(row, m_Rows[y + 1], width);
        uint16_t last = row[width - 1];
        for (size_t x = width - 1; x-- > 0;) {
            last = std::min(row[x], static_cast<uint16_t>(last + 1));
            row[x] = last;
        }
        for (size_t x = 0; x < width; ++x)
            deepest = std::max(deepest, row[x] < kUnlabelled ? row[x] : uint16_t{0});
    }
    return deepest;
}

void CWatershed::IndexLevels(int deepest)
{
    // The inner pixels of each label in scan order: the flooding visits
    // only the pixels of its level. Other pixels count in slot 0 and are
    // written to one spare place after the list: no branch per pixel.
    const auto slot = [deepest](int value) { return value >= 1 && value <= deepest ? value : 0; };
    m_LevelStart.assign(static_cast<size_t>(deepest) + 2, 0);
    for (int y = 1; y + 1 < m_Height; ++y) {
        const uint16_t* row = m_Rows[static_cast<size_t>(y)];
        for (int x = 1; x + 1 < m_Width; ++x)
            ++m_LevelStart[static_cast<size_t>(slot(row[x])) + 1];
    }
    m_LevelStart[1] = 0;
    for (size_t i = 1; i < m_LevelStart.size(); ++i)
        m_LevelStart[i] += m_LevelStart[i - 1];
    const auto total = static_cast<size_t>(m_LevelStart.back());
    m_Order.resize(total + 1);
    m_Next.assign(m_LevelStart.begin(), m_LevelStart.end() - 1);
    m_Next[0] = static_cast<int>(total);
    for (int y = 1; y + 1 < m_Height; ++y) {
        const uint16_t* row = m_Rows[static_cast<size_t>(y)];
        const auto rowStart = static_cast<uint32_t>(static_cast<size_t>(y) * m_Stride);
        for (int x = 1; x + 1 < m_Width; ++x) {
            const auto level = static_cast<size_t>(slot(row[x]));
            m_Order[static_cast<size_t>(m_Next[level])] = rowStart + static_cast<uint32_t>(x);
            m_Next[level] += level != 0 ? 1 : 0;
        }
    }
}

std::span<const uint32_t> CWatershed::LevelPixels(int level) const
{
    if (level < 1 || static_cast<size_t>(level) + 1 >= m_LevelStart.size())
        return {};
    const auto begin = static_cast<size_t>(m_LevelStart[static_cast<size_t>(level)]);
    const auto end = static_cast<size_t>(m_Next[static_cast<size_t>(level)]);
    return std::span<const uint32_t>(m_Order).subspan(begin, end - begin);
}

void CWatershed::MarkSeeds(int deepest)
{
    m_bPlain = false;
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
    m_bPlain = false;
    m_FloodedNow.clear();
    if (level < 1 || static_cast<size_t>(level) + 1 >= m_LevelStart.size())
        return 0;
    // Flooded pixels never return to their level: the pass keeps only
    // those still to flood, in their order.
    int& end = m_Next[static_cast<size_t>(level)];
    auto keep = static_cast<size_t>(m_LevelStart[static_cast<size_t>(level)]);
    for (auto i = keep; i < static_cast<size_t>(end); ++i) {
        const uint32_t index = m_Order[i];
        uint16_t* value = m_Base + index;
        if (*value != level || FloodIfJoined(value, m_Around, m_FloodedNow, index))
            continue;
        m_Order[keep++] = index;
    }
    end = static_cast<int>(keep);
    for (const uint32_t index : m_FloodedNow)
        m_Base[index] = kFlooded;
    return m_FloodedNow.empty() ? 0 : 1;
}

int CWatershed::NewBasins(int level)
{
    m_bPlain = false;
    BeginPass();
    m_Seeds.clear();
    CLinePoints line;
    for (const uint32_t index : LevelPixels(level)) {
        const int x = static_cast<int>(index % m_Stride);
        const int y = static_cast<int>(index / m_Stride);
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
