#pragma once
// Items of the further measurement records inside their XML element. A
// missing item keeps the value it has; an item whose text is no number
// is a damaged file (CArchiveException naming it), never a silent 0.

#include "platform/core/arrays.h"
#include "platform/core/geometry.h"

class CXMLArchive;

namespace kestrun {

void SerializeRecordInt(CXMLArchive& ar, const char* name, int& value);
void SerializeRecordUInt(CXMLArchive& ar, const char* name, DWORD& value);
void SerializeRecordDouble(CXMLArchive& ar, const char* name, double& value);
// Points as one text "x,y x,y ...".
void SerializeRecordPoints(CXMLArchive& ar, const char* name, CArray<POINT, POINT>& points);

} // namespace kestrun
