// The colour-excess split of a colour page into three grey pages: how far
// each of red, green and blue stands out from the other two, stretched to
// the full grey range over the area of interest.

#include "analysis/bv.h"

#include "outside/pixmere/dib.h"
#include "platform/core/exceptions.h"

#include <algorithm>
#include <array>
#include <span>
#include <utility>

namespace {

// An output must take a grey value at every source pixel; anything else
// is refused before a pixel is written.
void CheckOutput(const CDIB* output, const CDIB& source)
{
    if (output == nullptr)
        return;
    if (output->GetBitCount() != 8 || output->GetWidth() < source.GetWidth() ||
        output->GetHeight() < source.GetHeight())
        AfxThrowInvalidArgException();
}

// The mean of two bytes for the excess mode.
int PairMean(int p, int q, int mode)
{
    return mode == 2 ? (p + q) / 2 : (p + q) * 2 / 3;
}

int Excess(int value, int mean)
{
    const int excess = std::max(value - mean, 0);
    return (excess * excess) >> 8;
}

// The columns of row y the split visits: inside the area's row and its
// rectangle without the last column; empty when left > right.
void RowSpan(const CAOI& aoi, const CRect& rect, int y, int& left, int& right)
{
    left = std::max(aoi.GetRowLeft(y), static_cast<int>(rect.left));
    right = std::min(aoi.GetRowRight(y), static_cast<int>(rect.right) - 1);
}

} // namespace

void CBV::ColourExcessChannels(CDIB* source, CDIB* out1, CDIB* out2, CDIB* out3, CAOI* aoi)
{
    if (source == nullptr || aoi == nullptr)
        return;
    if (source->GetBitCount() != 24)
        AfxThrowInvalidArgException();
    const std::array<CDIB*, 3> outputs = {out1, out2, out3};
    for (const CDIB* output : outputs)
        CheckOutput(output, *source);

    const CRect area = aoi->GetRect();
    // Right and bottom without their last pixel, within the source.
    CRect rect;
    rect.IntersectRect(CRect(area.left, area.top, area.right - 1, area.bottom - 1),
                       CRect(0, 0, source->GetWidth(), source->GetHeight()));
    if (rect.IsRectEmpty())
        return;

    std::array<int, 3> minimum = {0xFFFF, 0xFFFF, 0xFFFF};
    std::array<int, 3> maximum = {0, 0, 0};
    for (int y = rect.top; y < rect.bottom; ++y) {
        int left = 0;
        int right = 0;
        RowSpan(*aoi, rect, y, left, right);
        const std::span<const BYTE> row = std::as_const(*source).GetRow(y);
        for (int x = left; x <= right; ++x) {
            const int b0 = row[static_cast<size_t>(x) * 3];
            const int b1 = row[static_cast<size_t>(x) * 3 + 1];
            const int b2 = row[static_cast<size_t>(x) * 3 + 2];
            const std::array<int, 3> values = {Excess(b2, PairMean(b0, b1, m_nExcessMode)),
                                               Excess(b1, PairMean(b0, b2, m_nExcessMode)),
                                               Excess(b0, PairMean(b1, b2, m_nExcessMode))};
            for (size_t c = 0; c < 3; ++c) {
                if (outputs[c] == nullptr)
                    continue;
                outputs[c]->GetRow(y)[static_cast<size_t>(x)] = static_cast<BYTE>(values[c]);
                minimum[c] = std::min(minimum[c], values[c]);
                maximum[c] = std::max(maximum[c], values[c]);
            }
        }
    }

    for (size_t c = 0; c < 3; ++c) {
        if (outputs[c] == nullptr)
            continue;
        const double factor = maximum[c] == minimum[c] ? 1.0 : 255.0 / (maximum[c] - minimum[c]);
        for (int y = rect.top; y < rect.bottom; ++y) {
            int left = 0;
            int right = 0;
            RowSpan(*aoi, rect, y, left, right);
            const std::span<BYTE> row = outputs[c]->GetRow(y);
            for (int x = left; x <= right; ++x) {
                BYTE& value = row[static_cast<size_t>(x)];
                value = static_cast<BYTE>(std::clamp(static_cast<int>((value - minimum[c]) * factor + 0.5), 0, 255));
            }
        }
    }
}

void CBV::SplitColorChannels(CDIB* source, CDIB* red, CDIB* green, CDIB* blue, int mode)
{
    if (source == nullptr)
        return;
    const std::array<CDIB*, 3> outputs = {red, green, blue};
    for (const CDIB* output : outputs)
        CheckOutput(output, *source);

    std::array<BYTE, 256> zero{};
    std::array<BYTE, 256> ramp{};
    for (size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = static_cast<BYTE>(i);
    if (red)
        red->SetPalette(256, ramp.data(), zero.data(), zero.data());
    if (green)
        green->SetPalette(256, zero.data(), ramp.data(), zero.data());
    if (blue)
        blue->SetPalette(256, zero.data(), zero.data(), ramp.data());
    if (source->GetBytes() < 3)
        return;

    for (CDIB* output : outputs) {
        if (output == nullptr)
            continue;
        for (int y = 0; y < source->GetHeight(); ++y) {
            const std::span<BYTE> row = output->GetRow(y);
            std::fill_n(row.begin(), source->GetWidth(), BYTE{0});
        }
    }
    m_nExcessMode = mode;
    ColourExcessChannels(source, red, green, blue, m_AOIDoc.GetActiveAOI(true));
}
