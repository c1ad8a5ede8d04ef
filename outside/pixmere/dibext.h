#pragma once
// CDIBExt: an accumulating page. Pages added to it sum up per pixel and
// channel in 16 bits (saturating at 65535); WriteBack turns the sums into
// a page again, as their average or as their sum limited to 255. Its own
// pixel operations read and write those 16-bit values directly, which is
// what the watershed works on.

#include "outside/pixmere/device.h"

#include <opencv2/core/mat.hpp>

class CDIB;

class CDIBExt : public Device
{
public:
    enum : int
    {
        WriteAverage = 0,
        WriteSum = 1,
    };

    CDIBExt() = default;
    CDIBExt(const CDIBExt& other);
    CDIBExt& operator=(const CDIBExt& other);
    ~CDIBExt() override;

    // Empty sums of the size for pages of the depth: up to 8 bits one
    // channel, 24 bits three. FALSE, and nothing changed, for a size
    // outside 1..65535 or another depth.
    BOOL InitDIB(int width, int height, int bitsPerPixel);
    // Adds a page of the accumulator's size and depth; anything else
    // raises CInvalidArgException.
    void Add(const CDIB& page);
    // The sums into the page: WriteAverage divides by the number of pages
    // added (rounded; the sums as they are when none was added), WriteSum
    // takes them as they are; both limit to 255. An empty page takes the
    // accumulator's size and depth; a page of another size, a one-channel
    // page under three channels or an unknown mode raise
    // CInvalidArgException. A one-channel accumulator fills all three
    // channels of a 24-bit page. Answers 1, or 0 when the accumulator is
    // empty.
    int WriteBack(CDIB& page, int mode) const;
    // Spreads the values linearly over 0..255 (the smallest becomes 0,
    // the largest 255, one scale for all channels) and counts them as one
    // page, so both write-back modes give the spread image. FALSE when
    // all values are equal or there is nothing; the values then stay.
    BOOL IncreaseDynamic();

    // Pages added since InitDIB.
    int GetCount() const { return m_count; }
    // The sums: CV_16UC1 or CV_16UC3, rows top down.
    cv::Mat GetMat() const { return m_sums; }

    // Device: the 16-bit value of a one-channel accumulator; with three
    // channels the colour word of the values limited to 255 each.
    int GetWidth() const override { return m_sums.cols; }
    int GetHeight() const override { return m_sums.rows; }
    int GetBitCount() const override { return m_sums.empty() ? 0 : m_sums.channels() * 8; }
    CDIB* GetDIB() override { return nullptr; }
    // The grey ramp for a one-channel accumulator.
    COLORREF GetPalEntry(int index) const override;
    COLORREF GetPixel(int x, int y) const override;
    // One channel: the value, limited to 65535. Three: the colour word's bytes.
    void SetPixel(int x, int y, COLORREF value) override;

private:
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < m_sums.cols && y < m_sums.rows; }

    cv::Mat m_sums;
    int m_count = 0;
};
