#pragma once
// The tool functions that every subsystem uses: a wait that keeps the user
// interface alive, the program's version, free disk space, path parts,
// ini-file and profile values, class colours and token splitting.
//
// Paths: the program writes '\' in many places, and paths are native
// ('/') here. The path functions take both as separators and add '/'.

#include "platform/core/arrays.h"
#include "platform/core/cstring.h"

class CEvent;

// Waits for the event while delivering the messages of this thread's
// windows (handlers may run commands re-entrantly). 0 when the event was
// signalled, WAIT_TIMEOUT (258) when timeoutMs passed first (INFINITE
// waits for ever), -1 for any other result of the wait.
int WaitWithMessages(CEvent& event, DWORD timeoutMs);

// "major.minor.patch.tweak" of the program (null or the program's own
// handle); empty for every other module, as none carries a version.
CString GetFileVersionString(HMODULE module = nullptr);

// Free megabytes (free bytes for all users >> 20) of the file system that
// holds path; -1 after a message box when it cannot be told.
LONGLONG GetDiskFreeMB(const char* path);

// The path without one final separator.
CString StripTrailingBackslash(const CString& path);
// The path with a final '/' unless it is empty or already ends in one.
CString AddTrailingBackslash(const CString& path);

// Writes the value as decimal text; the result of WritePrivateProfileString.
BOOL WriteIniInt(LPCTSTR section, LPCTSTR key, LONG value, LPCTSTR iniFile);
// The value, cut to 199 bytes (at a character boundary).
CString ReadIniString(LPCTSTR section, LPCTSTR key, LPCTSTR def, LPCTSTR iniFile);

// The standard colour of a class index; black for indices without one.
COLORREF GetIndexColor(int index);

// The folder of a CSIDL_* number; empty when there is none.
CString GetSpecialFolderPath(int csidl);
// The common application-data folder, without a final separator.
CString GetCommonAppDataPath();
// The program's data root below it ("Tarvex AV/Halvorn"), without a final
// separator: settings, profiles, classes and areas live there.
CString GetDataRootPath();

// Doubles in the application profile, as "%lf" text (six decimals). The
// default goes through the same text, so it comes back rounded alike.
double GetProfileDouble(LPCTSTR section, LPCTSTR entry, double def);
BOOL WriteProfileDouble(LPCTSTR section, LPCTSTR entry, double value);

// The chosen parts of a path joined, in the order drive ("C:", only when
// the path starts with one), folder (with its final separator), name and
// extension (with its dot; only when ext is exactly 1).
CString SplitModulePath(const CString& path, BOOL drive, BOOL folder, BOOL name, int ext);
// Of the program's own path: 1 the folder with a final '/', 2 the name
// without extension, 3 the name with extension, anything else the path.
CString GetModulePathPart(int part);

// The program's own name, "kestrun". Some settings belong to the program
// alone (other tools that share the parameter files leave them alone); they
// are read and written only when the running program carries this name.
CString GetProgramName();
// Whether the running program's file name without extension is
// GetProgramName(), compared without regard to case.
BOOL IsProgramRunning();

// Splits text at separator into parts, overwriting the array's elements
// and cutting it to the number of parts; returns that number. Runs of
// separators count as one. The first character always opens the first
// part, even when it is the separator (";7" is one part, ";7").
int SplitTokens(const CString& text, char separator, CStringArray& parts);
