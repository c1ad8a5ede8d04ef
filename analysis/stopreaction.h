#pragma once
// CStopReaction: one stop of a moving cell - how many frames it lasted,
// its angle, the frame index where it began and whether it was short (0)
// or long (1). Delivered with the track that holds it.

#include "objectmodel/baseobj.h"

class CStopReaction : public CBaseObj
{
    DECLARE_DYNCREATE(CStopReaction)

public:
    enum
    {
        stopShort = 0,
        stopLong = 1,
    };

    CStopReaction() = default;
    CStopReaction(int frames, int angle, int stopIndex, int stopClass)
        : m_nFrames(frames), m_nAngle(angle), m_nStopIndex(stopIndex), m_nClass(stopClass)
    {
    }
    CStopReaction(const CStopReaction&) = default;
    CStopReaction& operator=(const CStopReaction&) = default;
    ~CStopReaction() override = default;

    void GetColumnTitles(CStringArray& titles, int selection) override;
    CString GetColumnValues(int column) override;
    // The four values as items of an element "CStopReaction" in the
    // archive's current element; missing items keep their values.
    void SerializeItems(CArchive& ar);

    bool operator==(const CStopReaction& other) const
    {
        return m_nFrames == other.m_nFrames && m_nAngle == other.m_nAngle && m_nStopIndex == other.m_nStopIndex &&
               m_nClass == other.m_nClass;
    }

    int m_nFrames = 0;
    int m_nAngle = 0;
    int m_nStopIndex = 0;
    int m_nClass = stopShort;
};
