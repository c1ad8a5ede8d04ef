#pragma once
// The settings report: an analysis profile as plain text, one setting per
// line, lines ending in "\r\n", as the image document shows it.

#include "platform/core/cstring.h"

class CBVSettings;

CString FormatSettingsReport(const CBVSettings& settings, const CString& profileName);
