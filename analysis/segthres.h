#pragma once
// CSegThres: the colour threshold that decides, pixel by pixel, whether a
// colour belongs to an object or to the background. It also carries the
// mark colour that traced objects are painted with (a colour its own test
// rejects, so the object search skips them) and the automatic threshold
// taken from the histograms of an area of interest.
//
// Colours are 0x00BBGGRR words; all limits are inclusive. A grey byte is
// tested against the green limits.

#include "platform/core/object.h"
#include "platform/core/types.h"

class CAOI;
class CDataAnalysis;
class Device;

class CSegThres : public CObject
{
    DECLARE_SERIAL(CSegThres)

public:
    enum
    {
        modeDark = 0,    // every channel at or below its lower limit
        modeBright = 1,  // every channel at or above its upper limit
        modeBand = 2,    // every channel between its limits
        modeOutside = 3, // at least one channel outside its limits
    };

    // Lower (80,80,80), upper (240,240,240), mode 0, mark colour 0.
    CSegThres();
    // The mark colour follows from the mode (UpdateMarkColor).
    CSegThres(COLORREF lower, COLORREF upper, WORD mode);
    CSegThres(const CSegThres& other);
    CSegThres& operator=(const CSegThres& other);
    ~CSegThres() override = default;

    // The XML form: "ColorMin" holds the upper bound and "ColorMax" the
    // lower one, as stored profiles have always had it.
    void Serialize(CArchive& ar) override;

    // The colour test as inclusive ranges per channel (red, green, blue):
    // a colour is an object colour when every channel lies in its range,
    // or, inverted, when at least one does not. A range whose min exceeds
    // its max is empty. Fast scans over many pixels test with these.
    struct sChannelRanges
    {
        int min[3];
        int max[3];
        bool inverted;
    };
    sChannelRanges GetObjectRanges() const;

    virtual BOOL IsObjectGrey(BYTE grey) const;
    // The test of GetObjectRanges.
    virtual BOOL IsObjectColor(COLORREF color) const;
    virtual BOOL IsMarkGrey(BYTE grey) const;
    virtual BOOL IsMarkColor(COLORREF color) const;
    // All six fields.
    virtual void Copy(const CSegThres& other);
    // Bounds and mode only; mark colour, per-channel flag and offset do not count.
    virtual bool operator!=(const CSegThres& other) const;
    virtual bool operator==(const CSegThres& other) const;

    // Mark colour from the mode (0 white, 1 black, 2 lower - 1, 3 lower + 1,
    // bytes wrapping), replaced by another colour when the limits would
    // accept that one. Returns whether the mark colour is rejected by the
    // colour test (false only when the limits accept every colour).
    BOOL UpdateMarkColor();
    void InvertMarkColor();
    // Mean distance of the colour from the limit (negative: passes);
    // modes 0 and 1 only, 0 otherwise.
    double Distance(COLORREF color) const;
    void SetTightestLimits();
    // Moves the bounds, keeping band modes at least 3 wide; TRUE when a
    // bound changed.
    BOOL ShiftLimits(int lowerDelta, int upperDelta);
    // Fewer (Tighten) or more (Loosen) colours count as object.
    BOOL Tighten(int offset);
    BOOL Loosen(int offset);

    // Threshold from the histograms of the image inside the area (modes 0
    // and 1 set their bound); then tightened by AutoOffset, in modes 0 and 1
    // only, so that repeated calls give the same band.
    void AutoThreshold(const Device& image, const CAOI& area);
    // The valley position of one 256-bin histogram for the mode; smooths
    // the histogram in place.
    static int FindHistogramThreshold(CDataAnalysis& histogram, int mode);

    // Ini form under the caller's section.
    void WriteProfile(LPCTSTR section, LPCTSTR iniFile) const;
    void ReadProfile(LPCTSTR section, LPCTSTR iniFile);
    // A known mode, the offset within -50..50 and every lower limit at or
    // below its upper one: what a read file must give to be taken.
    bool IsSound() const;

    COLORREF GetLower() const { return m_Lower; }
    COLORREF GetUpper() const { return m_Upper; }
    void SetLower(COLORREF lower) { m_Lower = lower & 0x00FFFFFF; }
    void SetUpper(COLORREF upper) { m_Upper = upper & 0x00FFFFFF; }

    WORD m_Mode = modeDark;
    COLORREF m_MarkColor = 0;
    int m_bPerChannel = 1;
    int m_AutoOffset = 20;

private:
    COLORREF m_Lower;
    COLORREF m_Upper;
};
