#include "analysis/segthres.h"

#include "objectmodel/toolfunctions.h"
#include "objectmodel/xmlarchive.h"
#include "objectmodel/xmlarchivenode.h"
#include "platform/core/gdi.h"
#include "platform/core/profile.h"

#include <algorithm>
#include <array>
#include <cstring>

IMPLEMENT_SERIAL(CSegThres, CObject, 1)

namespace {

using Channels = std::array<int, 3>;

Channels Split(COLORREF color)
{
    return {static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
            static_cast<int>((color >> 16) & 0xFF)};
}

COLORREF Join(const Channels& c)
{
    return RGB(c[0], c[1], c[2]);
}

int Green(COLORREF color)
{
    return static_cast<int>((color >> 8) & 0xFF);
}

// Modes outside 0..3 test as the band mode.
int TestMode(WORD mode)
{
    return mode <= CSegThres::modeOutside ? static_cast<int>(mode) : static_cast<int>(CSegThres::modeBand);
}

bool IsObjectValue(int mode, int value, int lower, int upper)
{
    switch (mode) {
    case CSegThres::modeDark:
        return value <= lower;
    case CSegThres::modeBright:
        return value >= upper;
    case CSegThres::modeOutside:
        return value < lower || value > upper;
    default:
        return value >= lower && value <= upper;
    }
}

int ClampByte(int value)
{
    return std::clamp(value, 0, 255);
}

} // namespace

CSegThres::CSegThres() : m_Lower(RGB(80, 80, 80)), m_Upper(RGB(240, 240, 240)) {}

CSegThres::CSegThres(COLORREF lower, COLORREF upper, WORD mode)
    : m_Mode(mode), m_Lower(lower & 0x00FFFFFF), m_Upper(upper & 0x00FFFFFF)
{
    UpdateMarkColor();
}

CSegThres::CSegThres(const CSegThres& other) : CObject(other), m_Lower(0), m_Upper(0)
{
    Copy(other);
}

CSegThres& CSegThres::operator=(const CSegThres& other)
{
    if (this != &other)
        Copy(other);
    return *this;
}

BOOL CSegThres::IsObjectGrey(BYTE grey) const
{
    return IsObjectValue(TestMode(m_Mode), grey, Green(m_Lower), Green(m_Upper)) ? TRUE : FALSE;
}

CSegThres::sChannelRanges CSegThres::GetObjectRanges() const
{
    const Channels lo = Split(m_Lower);
    const Channels up = Split(m_Upper);
    const int mode = TestMode(m_Mode);
    sChannelRanges ranges{};
    // The outside mode wants at least one channel outside: the negation of
    // "every channel inside".
    ranges.inverted = mode == modeOutside;
    for (size_t i = 0; i < 3; ++i) {
        switch (mode) {
        case modeDark:
            ranges.min[i] = 0;
            ranges.max[i] = lo[i];
            break;
        case modeBright:
            ranges.min[i] = up[i];
            ranges.max[i] = 255;
            break;
        default:
            ranges.min[i] = lo[i];
            ranges.max[i] = up[i];
            break;
        }
    }
    return ranges;
}

BOOL CSegThres::IsObjectColor(COLORREF color) const
{
    const Channels v = Split(color);
    const sChannelRanges ranges = GetObjectRanges();
    bool all = true;
    for (size_t i = 0; i < 3; ++i)
        all = all && v[i] >= ranges.min[i] && v[i] <= ranges.max[i];
    return all != ranges.inverted ? TRUE : FALSE;
}

BOOL CSegThres::IsMarkGrey(BYTE grey) const
{
    return grey == Green(m_MarkColor) ? TRUE : FALSE;
}

BOOL CSegThres::IsMarkColor(COLORREF color) const
{
    return color == m_MarkColor ? TRUE : FALSE;
}

void CSegThres::Copy(const CSegThres& other)
{
    m_Lower = other.m_Lower;
    m_Upper = other.m_Upper;
    m_Mode = other.m_Mode;
    m_MarkColor = other.m_MarkColor;
    m_bPerChannel = other.m_bPerChannel;
    m_AutoOffset = other.m_AutoOffset;
}

bool CSegThres::operator!=(const CSegThres& other) const
{
    return m_Lower != other.m_Lower || m_Upper != other.m_Upper || m_Mode != other.m_Mode;
}

bool CSegThres::operator==(const CSegThres& other) const
{
    return !(*this != other);
}

BOOL CSegThres::UpdateMarkColor()
{
    const Channels lo = Split(m_Lower);
    switch (m_Mode) {
    case modeDark:
        m_MarkColor = RGB(255, 255, 255);
        break;
    case modeBright:
        m_MarkColor = RGB(0, 0, 0);
        break;
    case modeBand:
        m_MarkColor = RGB((lo[0] + 255) & 0xFF, (lo[1] + 255) & 0xFF, (lo[2] + 255) & 0xFF);
        break;
    case modeOutside:
        m_MarkColor = RGB((lo[0] + 1) & 0xFF, (lo[1] + 1) & 0xFF, (lo[2] + 1) & 0xFF);
        break;
    default:
        break;
    }
    const auto rejected = [this](COLORREF c) {
        return !IsObjectColor(c) && !IsObjectGrey(static_cast<BYTE>(Green(c)));
    };
    if (rejected(m_MarkColor))
        return TRUE;

    // The rule above fails at the ends of the byte range (a lower limit of
    // 0 in the band mode, 255 in the dark mode, ...). Acceptance of a byte
    // only changes at the limits, so the values around them and the ends of
    // the range stand for every byte.
    const Channels up = Split(m_Upper);
    std::array<std::array<int, 8>, 3> candidates;
    for (size_t i = 0; i < 3; ++i)
        candidates[i] = {0, 255, lo[i] - 1, lo[i], lo[i] + 1, up[i] - 1, up[i], up[i] + 1};
    COLORREF colourOnly = IsObjectColor(m_MarkColor) ? CLR_INVALID : m_MarkColor;
    for (int r : candidates[0]) {
        for (int g : candidates[1]) {
            for (int b : candidates[2]) {
                const COLORREF c = RGB(ClampByte(r), ClampByte(g), ClampByte(b));
                if (rejected(c)) {
                    m_MarkColor = c;
                    return TRUE;
                }
                if (colourOnly == CLR_INVALID && !IsObjectColor(c))
                    colourOnly = c;
            }
        }
    }
    // Grey pages cannot be marked with these limits; colour pages can.
    if (colourOnly != CLR_INVALID) {
        m_MarkColor = colourOnly;
        return TRUE;
    }
    // The limits accept every colour: no mark colour can work.
    return FALSE;
}

void CSegThres::InvertMarkColor()
{
    m_MarkColor = ~m_MarkColor & 0x00FFFFFF;
}

double CSegThres::Distance(COLORREF color) const
{
    const Channels v = Split(color);
    int sum = 0;
    if (m_Mode == modeDark) {
        const Channels lo = Split(m_Lower);
        for (size_t i = 0; i < 3; ++i)
            sum += lo[i] - v[i];
    } else if (m_Mode == modeBright) {
        const Channels up = Split(m_Upper);
        for (size_t i = 0; i < 3; ++i)
            sum += v[i] - up[i];
    } else {
        return 0.0;
    }
    return static_cast<double>(sum / 3);
}

void CSegThres::SetTightestLimits()
{
    switch (m_Mode) {
    case modeDark:
        m_Lower = RGB(1, 1, 1);
        break;
    case modeBright:
        m_Upper = RGB(254, 254, 254);
        break;
    case modeBand:
        m_Lower = RGB(127, 127, 127);
        m_Upper = RGB(129, 129, 129);
        break;
    case modeOutside:
        m_Lower = RGB(1, 1, 1);
        m_Upper = RGB(254, 254, 254);
        break;
    default:
        break;
    }
}

BOOL CSegThres::ShiftLimits(int lowerDelta, int upperDelta)
{
    const COLORREF oldLower = m_Lower;
    const COLORREF oldUpper = m_Upper;
    // Band modes keep the limits at least this far apart.
    constexpr int minGap = 3;
    const bool band = m_Mode >= modeBand;

    if (lowerDelta != 0) {
        Channels lo = Split(m_Lower);
        Channels up = Split(m_Upper);
        for (size_t i = 0; i < 3; ++i) {
            lo[i] = ClampByte(lo[i] + lowerDelta);
            if (band && !(lo[i] <= up[i] - minGap))
                lo[i] = std::max(up[i] - minGap, 0);
            up[i] = std::max(up[i], lo[i]);
        }
        m_Lower = Join(lo);
        m_Upper = Join(up);
    }
    if (upperDelta != 0) {
        Channels lo = Split(m_Lower);
        Channels up = Split(m_Upper);
        for (size_t i = 0; i < 3; ++i) {
            up[i] = ClampByte(up[i] + upperDelta);
            if (band && !(up[i] >= lo[i] + minGap))
                up[i] = std::min(lo[i] + minGap, 255);
            lo[i] = std::min(lo[i], up[i]);
        }
        m_Lower = Join(lo);
        m_Upper = Join(up);
    }
    return (m_Lower != oldLower || m_Upper != oldUpper) ? TRUE : FALSE;
}

BOOL CSegThres::Tighten(int offset)
{
    switch (TestMode(m_Mode)) {
    case modeDark:
        return ShiftLimits(-offset, 0);
    case modeBright:
        return ShiftLimits(0, offset);
    case modeBand:
        return ShiftLimits(offset, -offset);
    default:
        return ShiftLimits(-offset, offset);
    }
}

BOOL CSegThres::Loosen(int offset)
{
    switch (TestMode(m_Mode)) {
    case modeDark:
        return ShiftLimits(offset, 0);
    case modeBright:
        return ShiftLimits(0, -offset);
    case modeBand:
        return ShiftLimits(-offset, offset);
    default:
        return ShiftLimits(offset, -offset);
    }
}

// --- persistence -----------------------------------------------------------------

void CSegThres::WriteProfile(LPCTSTR section, LPCTSTR iniFile) const
{
    const Channels lo = Split(m_Lower);
    const Channels up = Split(m_Upper);
    static constexpr const char* lowerKeys[] = {"RedLower", "GreenLower", "BlueLower"};
    static constexpr const char* upperKeys[] = {"RedUpper", "GreenUpper", "BlueUpper"};
    for (size_t i = 0; i < 3; ++i) {
        WritePrivateProfileString(section, lowerKeys[i], FormatString("%d", lo[i]), iniFile);
        WritePrivateProfileString(section, upperKeys[i], FormatString("%d", up[i]), iniFile);
    }
    WritePrivateProfileString(section, "MarkColor", FormatString("%ld", static_cast<long>(m_MarkColor)), iniFile);
    WriteIniInt(section, "Mode", m_Mode, iniFile);
    WritePrivateProfileString(section, "AutoOffset", FormatString("%ld", static_cast<long>(m_AutoOffset)), iniFile);
}

bool CSegThres::IsSound() const
{
    if (m_Mode > modeOutside || m_AutoOffset < -50 || m_AutoOffset > 50)
        return false;
    for (int shift = 0; shift < 24; shift += 8) {
        if (((m_Lower >> shift) & 0xFF) > ((m_Upper >> shift) & 0xFF))
            return false;
    }
    return true;
}

void CSegThres::ReadProfile(LPCTSTR section, LPCTSTR iniFile)
{
    // Parameter files of the old layout carry a marker per threshold; one
    // that is set is reset, and the threshold keeps its values.
    const char* marker = nullptr;
    if (section != nullptr && std::strcmp(section, "Threshold0") == 0)
        marker = "MinColor0:";
    else if (section != nullptr && std::strcmp(section, "Threshold1") == 0)
        marker = "MinColor1:";
    if (marker != nullptr && static_cast<int>(GetPrivateProfileInt("Thresholds:", marker, -1, iniFile)) != -1) {
        WritePrivateProfileString("Thresholds:", marker, "-1", iniFile);
        return;
    }

    Channels lo = Split(m_Lower);
    Channels up = Split(m_Upper);
    static constexpr const char* lowerKeys[] = {"RedLower", "GreenLower", "BlueLower"};
    static constexpr const char* upperKeys[] = {"RedUpper", "GreenUpper", "BlueUpper"};
    const auto readByte = [&](const char* key, int current) {
        return ClampByte(static_cast<int>(GetPrivateProfileInt(section, key, current, iniFile)));
    };
    for (size_t i = 0; i < 3; ++i) {
        lo[i] = readByte(lowerKeys[i], lo[i]);
        up[i] = readByte(upperKeys[i], up[i]);
    }
    m_Lower = Join(lo);
    m_Upper = Join(up);
    m_MarkColor = GetPrivateProfileInt(section, "MarkColor", static_cast<int>(m_MarkColor), iniFile) & 0x00FFFFFF;
    m_Mode = static_cast<WORD>(GetPrivateProfileInt(section, "Mode", m_Mode, iniFile));
    m_AutoOffset = static_cast<int>(GetPrivateProfileInt(section, "AutoOffset", m_AutoOffset, iniFile));
}

void CSegThres::Serialize(CArchive& ar)
{
    CXMLArchive& xml = CXMLArchive::FromArchive(ar);
    if (xml.GetChildNode(RUNTIME_CLASS(CSegThres)->m_lpszClassName) == nullptr)
        return;
    CXMLArchiveNode* node = xml.GetCurrentNode();
    UINT upper = m_Upper;
    UINT lower = m_Lower;
    UINT mark = m_MarkColor;
    int mode = m_Mode;
    // The names are swapped: "ColorMin" has always held the upper bound.
    node->SerializeUInt("ColorMin", upper);
    node->SerializeUInt("ColorMax", lower);
    node->SerializeUInt("MarkColor", mark);
    node->SerializeInt("Mode", mode);
    node->SerializeInt("AutoOffset", m_AutoOffset);
    if (ar.IsLoading()) {
        m_Upper = upper & 0x00FFFFFF;
        m_Lower = lower & 0x00FFFFFF;
        m_MarkColor = mark & 0x00FFFFFF;
        m_Mode = static_cast<WORD>(mode);
    }
    node->EndNode();
}
