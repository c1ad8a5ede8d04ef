#pragma once
// A test with its own application profile ("kestrun32.ini") and a
// parameter file, both in a scratch folder; the profile is unset again
// afterwards.

#include "platform/core/profile.h"
#include "platform/core/tests/scratch_folder.h"

#include <gtest/gtest.h>

class IniFilesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_appProfile = (m_folder / "kestrun32.ini").c_str();
        m_parameters = (m_folder / "parameters.ini").c_str();
        kestrun::SetApplicationProfile(m_appProfile);
    }
    void TearDown() override { kestrun::SetApplicationProfile(""); }

    CScratchFolder m_folder;
    CString m_appProfile;
    CString m_parameters;
};
