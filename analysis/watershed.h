#pragma once
// CWatershed: splits a binary object mask (0 background, 254 object) into
// basins by flooding its distance labels level by level from the deepest
// pixels outwards. Pixels where two basins would meet are left unflooded
// and keep their labels: the dam lines.
//
// The working image holds 16-bit values, so labels never run into the two
// markers (objects deeper than 253 levels flood like shallow ones); the
// markers sit above every label. Pixels on the outer border of the image
// are never flooded: a mask needs a one-pixel margin. One object keeps its
// storage for the next mask, so a run of many masks allocates once.

#include "outside/pixmere/dibext.h"
#include "platform/core/arrays.h"
#include "platform/core/object.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

class CDIB;

class CWatershed : public CObject
{
    DECLARE_DYNCREATE(CWatershed)

public:
    // Object pixel not yet labelled; background after seeding.
    static constexpr int kUnlabelled = 0xFFFE;
    // Flooded: belongs to a basin.
    static constexpr int kFlooded = 0xFFFF;

    CWatershed();
    ~CWatershed() override;

    // Takes the mask: 254 becomes an unlabelled object pixel, 255 a
    // flooded one, every other value stays.
    void SetImage(const Device& source);
    // The mask from an 8-bit matrix, as SetImage.
    void SetMask(const cv::Mat& mask);

    // Labels, seeds, and the first level to flood.
    void Prepare();
    // Grows the basins over the current level until nothing changes.
    void FloodLevel();
    // New basins at the current level, then one level down.
    void Step();
    // The whole flooding.
    void Segment();

    // Appends every pixel that is neither background nor flooded (the dam
    // pixels after Segment), moved by the offset, row by row.
    void CollectDamPoints(CArray<POINT, POINT>& points, int dx, int dy) const;
    // The working image into an 8-bit page: background 254, flooded 255,
    // labels limited to 253 so that they keep meaning a dam.
    int WriteBack(CDIB& target) const;

    // The join table: 1 when a pixel whose flooded neighbours form the
    // code may be flooded.
    static const std::array<int, 256>& JoinTable();
    int GetLevel() const { return m_nLevel; }
    // The working value at (x, y): a label, kUnlabelled or kFlooded.
    int GetValue(int x, int y) const;

    // Steps of the flooding, on the working image.
    int LabelDistances();
    void MarkSeeds(int deepest);
    // One pass over the pixels of the level; 1 when some were flooded.
    int GrowLevel(int level);
    // Seeds the peaks of the level that no basin reached, joining those
    // that lie more than 1 and less than 4 pixels apart; their number.
    int NewBasins(int level);

    CDIBExt m_Image;
    int m_nLevel = 0;

private:
    int OldValue(int x, int y) const;
    void Flood(int x, int y);
    void BeginPass();
    bool HasFloodedNeighbour(int x, int y) const;
    int SpreadDistances();
    int ChessboardDistances();
    void IndexLevels(int deepest);
    // The pixels of the level not yet flooded by its growth passes.
    std::span<const uint32_t> LevelPixels(int level) const;
    bool FitImage(int width, int height);

    // Rows of m_Image's values; the same values as one block, a pixel by
    // its index y * m_Stride + x.
    std::vector<uint16_t*> m_Rows;
    uint16_t* m_Base = nullptr;
    size_t m_Stride = 0;
    std::array<std::ptrdiff_t, 8> m_Around{};
    // Pixels written by the current pass and their values before it.
    std::vector<unsigned> m_Stamp;
    std::vector<uint16_t> m_Old;
    unsigned m_nPass = 0;
    // The inner pixels by label, in scan order, as indices; a growth pass
    // drops those it floods, so the live part of a level ends at m_Next.
    std::vector<uint32_t> m_Order;
    std::vector<int> m_LevelStart;
    std::vector<int> m_Counts;
    std::vector<int> m_Next;
    std::vector<POINT> m_Seeds;
    // The labelling's queue.
    std::vector<POINT> m_Queue;
    // The pixels flooded by the current growth pass.
    std::vector<uint32_t> m_FloodedNow;
    // The image holds only background and unlabelled object pixels, as
    // SetMask left it.
    bool m_bPlain = false;
    int m_Width = 0;
    int m_Height = 0;
};
