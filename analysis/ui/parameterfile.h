#pragma once
// Parameter files (ini) of the analysis dialogs: choosing one, checking
// that it holds the section before anything is read from it, and writing
// a section so that a failed write leaves the old file whole.

#include "platform/core/cstring.h"

#include <functional>

class CWnd;

namespace kestrun::analysisui {

// The file the user chose in a file dialog for "*.ini" files with that
// title, opening in the folder when one is given; empty when the dialog
// was cancelled.
CString AskParameterFile(bool open, LPCTSTR title, CWnd* parent, LPCTSTR folder = nullptr);

// Whether the file can be read and holds the section; otherwise one
// message naming the file.
bool HasParameterSection(const CString& path, LPCTSTR section);

// Runs write on a copy of the file beside it and puts the copy in its
// place; when anything fails, the old file stays and a message names it.
bool WriteParameterFile(const CString& path, const std::function<void(const CString&)>& write);

} // namespace kestrun::analysisui
