#pragma once
// CRunDiagnostics: what a run of the engine could not do because a step
// is not in this build - each step once, with the number of objects it
// concerned and what that means for the table. A run that needed no such
// step leaves it empty. Several runs over one page (sub-areas) merge
// theirs, so the user hears of every one.

#include "platform/core/cstring.h"

#include <vector>

struct sRunNote
{
    CString step;
    // What the table shows instead; may be empty.
    CString effect;
    int objects = 0;
};

class CRunDiagnostics
{
public:
    // Adds objects to the step's count; a step new to the run goes last.
    void Note(const CString& step, const CString& effect, int objects);
    void Merge(const CRunDiagnostics& other);
    void RemoveAll() { m_notes.clear(); }

    bool IsEmpty() const { return m_notes.empty(); }
    int GetSize() const { return static_cast<int>(m_notes.size()); }
    // Null when the step was not noted.
    const sRunNote* Find(const CString& step) const;
    auto begin() const { return m_notes.begin(); }
    auto end() const { return m_notes.end(); }

    // The message for the user: one line per step, with its objects and
    // what the table shows instead.
    CString FormatMessage() const;
    // One line for the status bar.
    CString FormatShort() const;

private:
    std::vector<sRunNote> m_notes;
};
