#pragma once
// CSkeletonNew: thins an object to a one-pixel-wide skeleton so that thread
// -like objects can be measured by length, tips and branch points. The
// object's contour is drawn filled into a binary page of its own (255
// object, 0 background) with a margin of one pixel all round, so that the
// neighbours of every object pixel lie inside the page. The page is peeled
// from its contour in cycles of two sub-iterations (after Zhang and Suen),
// staircase corners are removed, and the skeleton is traced: the walk
// around it (the skeleton contour) passes an end point once and a branch
// point once per branch.

#include "analysis/kontur8.h"
#include "objectmodel/chain8.h"
#include "objectmodel/rpolygon.h"
#include "outside/pixmere/dib.h"

#include <array>
#include <vector>

// An end or branch point of the skeleton and the contour indices at which
// the skeleton contour passes it, ascending.
struct TipNode
{
    int x = 0;
    int y = 0;
    std::vector<int> m_arrIndices;
};

class CSkeletonNew
{
public:
    // Neighbour order of GetNeighbours (y points down).
    enum Neighbour
    {
        north,
        northEast,
        east,
        southEast,
        south,
        southWest,
        west,
        northWest
    };

    CSkeletonNew();
    CSkeletonNew(const CSkeletonNew&) = delete;
    CSkeletonNew& operator=(const CSkeletonNew&) = delete;

    // Draws the contour filled into the binary page and thins it. 0 when
    // the contour is empty or cannot be drawn, 1 otherwise.
    int Thin(const CRPolygon& contour);
    // The eight neighbours of (x, y) in the page, each 0 or 1 (outside the
    // page 0), kept in m_Neighbours; returns their sum.
    int GetNeighbours(int x, int y);
    // One peeling cycle over the tracer's contour; the contour is traced
    // again after each sub-iteration that removed pixels. Returns the
    // number of removed pixels.
    int ThinPass(CKontur8& tracer);
    // Removes staircase and T-corner pixels of the tracer's contour and
    // traces again. Returns the number of removed pixels.
    int PruneCorners(CKontur8& tracer);
    // The end (one set neighbour) and branch (more than two) points of the
    // skeleton contour under their contour indices, close branch points
    // merged. Returns 1.
    int FindTips();
    // Appends index to the tip at exactly (x, y), or a new tip.
    void AddTip(int x, int y, int index);
    static bool HasBranches(const TipNode& tip) { return tip.m_arrIndices.size() > 1; }
    // Branch points closer than 5 pixels become one at the member nearest
    // to their mean, with the indices of all of them.
    void MergeBranchTips();

    // The skeleton contour (closed: its last point is its first) and its
    // chain, in page coordinates.
    const CRPolygon& GetSkeleton() const { return m_Tracer.GetPoints(); }
    const CChain8& GetChain() const { return m_Tracer.GetChain(); }
    int GetLastIndex() const { return m_Tracer.GetLastIndex(); }
    std::vector<TipNode>& GetTips() { return m_arrTips; }
    const std::vector<TipNode>& GetTips() const { return m_arrTips; }
    // Image position of the page's pixel (0, 0).
    CPoint GetOrigin() const { return m_Origin; }
    const CDIB& GetPage() const { return m_Page; }
    // The peeling cycles that removed pixels.
    int GetCycles() const { return m_nCycles; }
    // The pixels of the object as drawn into the page.
    int GetObjectPixels() const { return m_nObjectPixels; }

    std::array<int, 8> m_Neighbours{};

private:
    // The object's first pixel in row order from the last start on,
    // traced again; false when the page holds no object pixel.
    bool Retrace(CKontur8& tracer);
    bool IsSet(int x, int y) const;
    void Clear(int x, int y);

    CRPolygon m_Contour;
    CDIB m_Page;
    // The page's pixels (its memory, not a copy).
    cv::Mat m_Pixels;
    std::vector<TipNode> m_arrTips;
    CKontur8 m_Tracer;
    CPoint m_Origin;
    CPoint m_Start;
    int m_nCycles = 0;
    int m_nObjectPixels = 0;
};
