#pragma once
// Reading and writing the parameter values of the analysis settings in ini
// files and in the application profile. Every read keeps the current value
// when the key is missing; numbers kept as text are converted only when the
// text is not empty. Writes that fail raise CFileException, so a settings
// file is never left half written without the caller knowing.

#include "platform/core/cstring.h"

namespace kestrun::ini {

// Private profile (ini) files.
void ReadInt(LPCTSTR section, LPCTSTR key, LPCTSTR iniFile, int& value);
void ReadUInt(LPCTSTR section, LPCTSTR key, LPCTSTR iniFile, UINT& value);
void ReadFloat(LPCTSTR section, LPCTSTR key, LPCTSTR iniFile, float& value);
void Write(LPCTSTR section, LPCTSTR key, const CString& text, LPCTSTR iniFile);
// True when the key is present with a value other than -1: an old settings
// file whose values still wait to be taken over.
bool IsMarkerPending(LPCTSTR section, LPCTSTR key, LPCTSTR iniFile);

// The application profile, each value read as text whose default is the
// current value formatted as the profile stores it ("%ld", "%f").
void ReadProfileInt(LPCTSTR section, LPCTSTR key, int& value);
void ReadProfileUInt(LPCTSTR section, LPCTSTR key, UINT& value);
void ReadProfileWord(LPCTSTR section, LPCTSTR key, WORD& value);
void ReadProfileFloat(LPCTSTR section, LPCTSTR key, float& value);
void ReadProfileDouble(LPCTSTR section, LPCTSTR key, double& value);

} // namespace kestrun::ini
