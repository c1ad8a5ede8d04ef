#pragma once
// The program's pictures, drawn by us and known by name as resources are:
// the splash picture "SPLASH" and the measurement choices "MEASURE_AD"
// and "MEASURE_BV".

#include "platform/core/cstring.h"

#include <cstdint>
#include <vector>

// Rows top down, blue-green-red.
struct CProgramPicture
{
    int nWidth = 0;
    int nHeight = 0;
    std::vector<std::uint8_t> bits;
    int Stride() const { return nWidth * 3; }
};

// The picture of a name; null for a name that has none.
const CProgramPicture* FindProgramPicture(const CString& strName);
