// The measurement channels of the engine: one group per measured quantity
// over time, with one item per area of interest (or one for the screen).
// A measurement series is set up from them.

#include "analysis/bv.h"

#include "objectmodel/toolfunctions.h"
#include "outside/grabwell/fgboard.h"
#include "platform/core/profile.h"

#include <cmath>
#include <cstdlib>

namespace {

constexpr int kChannels = 12;
constexpr const char* kSection = "AreaChannel";

// A stored limit; one that reads as no finite number gives the default.
double ReadLimit(const char* key, double fallback)
{
    const CString text = GetProfileString(kSection, key, FormatString("%f", fallback));
    char* end = nullptr;
    const double value = std::strtod(text.GetString(), &end);
    return end != text.GetString() && std::isfinite(value) ? value : fallback;
}

CDataItemAttrib Item(const CString& name, int colorIndex, int channel, int area)
{
    return CDataItemAttrib(name, GetIndexColor(colorIndex), static_cast<WORD>(area), static_cast<WORD>(channel), 1, 0);
}

} // namespace

void CBV::ClearAreaChannels()
{
    m_AreaChannels.clear();
    m_arrHoleChains.clear();
    m_arrHoleAreas.RemoveAll();
    m_Kontur.Reset(TRUE);
}

void CBV::CreateAreaChannels()
{
    ClearAreaChannels();
    // The areas in use; none at all gives the screen items.
    std::vector<int> areas;
    for (int i = 0; i < m_AOIDoc.GetAOICount(); ++i)
        if (const CAOI* aoi = m_AOIDoc.GetAOI(i); aoi != nullptr && !aoi->m_bExcluded)
            areas.push_back(i);
    const bool screen = m_AOIDoc.GetAOICount() == 0;

    double yMin = 0.0;
    double yMax = 300000.0;
    if (GetProfileInt(kSection, "SaveYMinMax", 0) != 0) {
        yMin = ReadLimit("Ymin", 0.0);
        yMax = ReadLimit("Ymax", 300000.0);
    }
    const auto group = [this](const char* name, int flag, double low, double high) -> CDataGroupAttrib& {
        m_AreaChannels.push_back(std::make_unique<CDataGroupAttrib>("Time", 2, name, flag, static_cast<float>(low),
                                                                    static_cast<float>(high)));
        return *m_AreaChannels.back();
    };
    const auto perArea = [&](CDataGroupAttrib& g) {
        if (screen)
            g.AddItemAttrib(Item("Screen", 0, 0, 0));
        for (const int i : areas)
            g.AddItemAttrib(Item(FormatString("AOI%d", i + 1), i, 0, i));
    };

    CDataGroupAttrib& area = group("AreaChannel", 0, yMin, yMax);
    for (int c = 0; c < kChannels; ++c) {
        if (screen)
            area.AddItemAttrib(Item(FormatString("Chan%d/Screen", c + 1), 4 * c, c, 0));
        for (const int i : areas)
            area.AddItemAttrib(Item(FormatString("Chan%d/AOI%d", c + 1, i + 1), i + 4 * c, c, i));
    }
    perArea(group("AreaAOI", 1, 0.0, 10000.0));
    perArea(group("MeanColor", 0, 0.0, 255.0));
    perArea(group("Match", 1, 0.0, 255.0));
    CDataGroupAttrib& distribution = group("Distribution", 1, 0.0, 1.0);
    distribution.AddItemAttrib(Item("Video1", 0, 0, 0));
    if (const FGBoard* board = GetFG(); board != nullptr && board->GetGrabMode() == 1)
        distribution.AddItemAttrib(Item("Video2", 1, 0, 1));
    perArea(group("Length", 1, 0.0, 180.0));
    perArea(group("Curvature", 1, 0.0, 180.0));
    group("Growth", 1, 0.0, 800.0).AddItemAttrib(Item(screen ? "Screen" : "AOI1", 0, 0, 0));
    group("Width", 1, 0.0, 100.0).AddItemAttrib(Item("Screen", 0, 0, 0));
}
