#include "analysis/watershed.h"

#include "objectmodel/linepoints.h"
#include "outside/pixmere/dib.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

IMPLEMENT_DYNCREATE(CWatershed, CObject)

namespace {

// Neighbour weights: upper left 0x80 ... lower right 0x01.
constexpr int kDx[8] = {-1, 0, 1, -1, 1, -1, 0, 1};
constexpr int kDy[8] = {-1, -1, -1, 0, 0, 1, 1, 1};
constexpr int kWeight[8] = {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01};

// Flooded by the growth pass under way (only while it runs); below the two
// markers, above every label.
constexpr uint16_t kFloodedNow = 0xFFFD;

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

#if defined(__SSE2__)
// The join table by the bits of the rows above (0-2) and below (3-5) and
// of the left (6) and right (7) neighbour.
constexpr std::array<uint8_t, 256> JoinByRows()
{
    std::array<uint8_t, 256> table{};
    for (int bits = 0; bits < 256; ++bits) {
        // Upper left 0x80, up 0x40, upper right 0x20; lower left 0x04,
        // down 0x02, lower right 0x01.
        const auto reversed = [](int three) { return ((three & 1) << 2) | (three & 2) | ((three >> 2) & 1); };
        const int code = (reversed(bits & 7) << 5) | (((bits >> 6) & 1) << 4) | (((bits >> 7) & 1) << 3) |
                         reversed((bits >> 3) & 7);
        table[static_cast<size_t>(bits)] = static_cast<uint8_t>(kJoinTable[static_cast<size_t>(code)]);
    }
    return table;
}
constexpr std::array<uint8_t, 256> kJoinByRows = JoinByRows();

// As the other Joins, the rows above and below compared at once (lanes
// 0-2 and 4-6; the fourth pixel of each is read, not used: a row needs a
// pixel after its last). The left and right neighbours are read alone: the
// pass has just written the left one, which a wider read would wait for.
bool Joins(const uint16_t* value, std::ptrdiff_t stride)
{
    const __m128i rows = _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(value - stride - 1)),
                                            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(value + stride - 1)));
    const __m128i all = _mm_set1_epi16(-1);
    const __m128i none = _mm_setzero_si128();
    // Flooded (0xFFFF) or flooded now (0xFFFD): all bits but the second.
    const auto counted = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_packs_epi16(_mm_cmpeq_epi16(_mm_or_si128(rows, _mm_set1_epi16(2)), all), none)));
    const auto reached = static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(_mm_cmpeq_epi16(rows, all), none)));
    const unsigned left = value[-1];
    const unsigned right = value[1];
    const unsigned bits = (counted & 7U) | ((counted >> 1) & 0x38U) | (((left | 2U) == CWatershed::kFlooded ? 1U : 0U) << 6) |
                          (((right | 2U) == CWatershed::kFlooded ? 1U : 0U) << 7);
    const bool any = ((reached & 0x77U) | (left == CWatershed::kFlooded ? 1U : 0U) |
                      (right == CWatershed::kFlooded ? 1U : 0U)) != 0;
    return any && kJoinByRows[bits] == 1;
}
#endif

// Whether the flooded neighbours of an inner pixel join it, as a growth
// pass tests it. The pixels this pass floods count in the join code of the
// pixels after them but are not yet the flooded neighbour a pixel needs:
// they carry a marker of their own until the pass ends.
[[maybe_unused]] bool Joins(const uint16_t* value, const std::array<std::ptrdiff_t, 8>& around)
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
    return reached != 0 && kJoinTable[static_cast<size_t>(code)] == 1;
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
    // A column more than the mask: a growth pass reads a pixel past the
    // last of a row.
    const cv::Mat current = m_Image.GetMat();
    if (!current.empty() && current.cols > width && current.rows >= height)
        return true;
    return m_Image.InitDIB(std::max(width + 1, current.cols), std::max(height, current.rows), 8) != FALSE;
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
    size_t x = 1;
#if defined(__SSE2__)
    // Eight at a time; SSE2 compares signed: the values flipped at their
    // top bit compare as unsigned ones. The step wraps as the scalar one.
    const __m128i flip = _mm_set1_epi16(static_cast<short>(0x8000));
    const auto load = [flip](const uint16_t* at) {
        return _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at)), flip);
    };
    for (; x + 9 <= width; x += 8) {
        const __m128i nearest = _mm_min_epi16(_mm_min_epi16(load(next + x - 1), load(next + x)), load(next + x + 1));
        const __m128i stepped = _mm_xor_si128(_mm_add_epi16(_mm_xor_si128(nearest, flip), _mm_set1_epi16(1)), flip);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(row + x), _mm_xor_si128(_mm_min_epi16(load(row + x), stepped), flip));
    }
#endif
    for (; x + 1 < width; ++x)
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
    const auto levels = static_cast<size_t>(deepest) + 2;
    m_LevelStart.assign(levels, 0);
    // Neighbours mostly share their label: every other pixel counts in a
    // second list, so that one count need not wait for the last.
    m_Counts.assign(levels, 0);
    for (int y = 1; y + 1 < m_Height; ++y) {
        const uint16_t* row = m_Rows[static_cast<size_t>(y)];
        int x = 1;
        for (; x + 2 < m_Width; x += 2) {
            ++m_LevelStart[static_cast<size_t>(slot(row[x])) + 1];
            ++m_Counts[static_cast<size_t>(slot(row[x + 1])) + 1];
        }
        if (x + 1 < m_Width)
            ++m_LevelStart[static_cast<size_t>(slot(row[x])) + 1];
    }
    for (size_t i = 0; i < levels; ++i)
        m_LevelStart[i] += m_Counts[i];
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
    // Every pixel written, so that the loop vectorises.
    const auto seed = static_cast<uint16_t>(deepest);
    const bool seeds = deepest >= 0 && deepest <= 0xFFFF;
    for (uint16_t* row : m_Rows)
        for (int x = 0; x < m_Width; ++x) {
            const uint16_t value = seeds && row[x] == seed ? uint16_t{kFlooded} : row[x];
            row[x] = value == 0 ? uint16_t{kUnlabelled} : value;
        }
}

int CWatershed::GrowLevel(int level)
{
    m_bPlain = false;
    if (level < 1 || static_cast<size_t>(level) + 1 >= m_LevelStart.size())
        return 0;
    // Flooded pixels never return to their level: the pass keeps only
    // those still to flood, in their order.
    int& end = m_Next[static_cast<size_t>(level)];
    auto keep = static_cast<size_t>(m_LevelStart[static_cast<size_t>(level)]);
    const size_t count = static_cast<size_t>(end) - keep;
    if (m_FloodedNow.size() < count)
        m_FloodedNow.resize(count);
    uint32_t* const order = m_Order.data();
    uint32_t* const flooded = m_FloodedNow.data();
    size_t floods = 0;
#if defined(__SSE2__)
    const auto around = static_cast<std::ptrdiff_t>(m_Stride);
#else
    const std::array<std::ptrdiff_t, 8>& around = m_Around;
#endif
    for (auto i = keep; i < static_cast<size_t>(end); ++i) {
        const uint32_t index = order[i];
        uint16_t* const value = m_Base + index;
        if (*value != level)
            continue;
        if (Joins(value, around)) {
            *value = kFloodedNow;
            flooded[floods++] = index;
            continue;
        }
        order[keep++] = index;
    }
    end = static_cast<int>(keep);
    for (size_t k = 0; k < floods; ++k)
        m_Base[flooded[k]] = kFlooded;
    return floods == 0 ? 0 : 1;
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
#if defined(__SSE2__)
    // Eight pixels at a time pass over background and flooded pixels (all
    // bits set but perhaps the lowest).
    const __m128i all = _mm_set1_epi16(-1);
    const __m128i low = _mm_set1_epi16(1);
    const auto clean = [&](const uint16_t* at) {
        const __m128i values = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        return _mm_movemask_epi8(_mm_cmpeq_epi16(_mm_or_si128(values, low), all)) == 0xFFFF;
    };
#endif
    for (int y = 0; y < m_Height; ++y) {
        const uint16_t* row = m_Rows[static_cast<size_t>(y)];
        for (int x = 0; x < m_Width;) {
#if defined(__SSE2__)
            if (x + 8 <= m_Width && clean(row + x)) {
                x += 8;
                continue;
            }
#endif
            for (const int stop = std::min(x + 8, m_Width); x < stop; ++x)
                if (row[x] != kUnlabelled && row[x] != kFlooded)
                    points.Add(POINT{x + dx, y + dy});
        }
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
