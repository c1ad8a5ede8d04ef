#pragma once
// Texts of measured values and the form factor, shared by every record.

#include "platform/core/cstring.h"

// Two decimals from 0.1 on, four below (so every negative value gets four).
CString FormatColumnValue(double value);
// Decimal places needed to write value; 0 for NaN and infinities.
int CountDecimals(double value);
// decimals -1 detects the number of decimals and reports it back.
CString FormatWithDecimals(double value, int& decimals);
// perimeter² / (4π·area) with the single-precision 4π of the stored
// results, so a circle gives slightly less than 1; 1.0 for an empty area.
double CalcFormFactor(double area, double perimeter);
// "Area[Units]" -> "Area [mm²]": replaces the "[Units]" tag with the unit
// text of the system calibration (the area unit when the title names an
// area). Titles without the tag stay as they are.
void ReplaceUnitsTag(CString& title);
