#pragma once
// CNormFeature: the learned statistic of one feature of a class, with the
// feature's name and type (its bit in the feature record's flag word; the
// colour channels are 32 red, 64 green, 128 blue).
//
// Serialize writes the XML element, except while a class file is read or
// written: then a process-wide switch (CBinaryScope) makes it the
// statistic's byte form.

#include "objectmodel/normstat.h"
#include "platform/core/cstring.h"

class CNormFeature : public CNormStat
{
    DECLARE_SERIAL(CNormFeature)

public:
    // While one lives, features serialise in the statistic's byte form. The
    // previous state comes back when it ends, also when an exception passes.
    class CBinaryScope
    {
    public:
        CBinaryScope() : m_bPrevious(s_bBinary) { s_bBinary = true; }
        ~CBinaryScope() { s_bBinary = m_bPrevious; }
        CBinaryScope(const CBinaryScope&) = delete;
        CBinaryScope& operator=(const CBinaryScope&) = delete;

    private:
        bool m_bPrevious;
    };

    CNormFeature() = default;
    // The statistic as a prior over the expected range.
    CNormFeature(const CString& name, int type, double expectedMin, double expectedMax);
    CNormFeature(const CNormFeature& other) = default;
    CNormFeature& operator=(const CNormFeature& other) = default;
    ~CNormFeature() override = default;

    void Serialize(CArchive& ar) override;

    static bool IsBinaryArchive() { return s_bBinary; }

    CString m_strName;
    int m_nType = 0;

private:
    static inline bool s_bBinary = false;
};
