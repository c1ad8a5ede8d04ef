#pragma once
// CProfileSettings: one profile, the names of its five parts - the
// analysis profile (in "bv.xml"), the frame grabber's profile, the areas of
// interest and the classes (files in the data root) and the scanning box's
// profile. XML element "CProfileSettings" with the keys in that order.

#include "platform/core/object.h"

class CProfileSettings : public CObject
{
    DECLARE_SERIAL(CProfileSettings)

public:
    CProfileSettings() = default;
    CProfileSettings(const CProfileSettings& other) = default;
    CProfileSettings& operator=(const CProfileSettings& other) = default;
    ~CProfileSettings() override = default;

    void Serialize(CArchive& ar) override;

    // The five names alone (also into a profile list, whose other members
    // stay).
    void CopyNames(const CProfileSettings& other) { *this = other; }

    // The first of the five names that is set but would reach outside its
    // folder as a file name (kestrun::IsPlainFileName); null when every
    // name is plain or empty.
    const CString* FindUnsafeName() const;

    CString m_strBVProfile;
    CString m_strFGProfile;
    CString m_strROIProfile;
    CString m_strClassesProfile;
    CString m_strTrayvoProfile;
};
