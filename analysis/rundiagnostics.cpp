#include "analysis/rundiagnostics.h"

namespace {

CString Objects(int count)
{
    return FormatString(count == 1 ? "%d object" : "%d objects", count);
}

} // namespace

void CRunDiagnostics::Note(const CString& step, const CString& effect, int objects)
{
    for (sRunNote& note : m_notes) {
        if (note.step == step) {
            note.objects += objects;
            return;
        }
    }
    m_notes.push_back(sRunNote{step, effect, objects});
}

void CRunDiagnostics::Merge(const CRunDiagnostics& other)
{
    for (const sRunNote& note : other.m_notes)
        Note(note.step, note.effect, note.objects);
}

const sRunNote* CRunDiagnostics::Find(const CString& step) const
{
    for (const sRunNote& note : m_notes)
        if (note.step == step)
            return &note;
    return nullptr;
}

CString CRunDiagnostics::FormatMessage() const
{
    CString text = "Some steps of the count could not be done for every object:\n";
    for (const sRunNote& note : m_notes) {
        text += "\n- " + note.step + ": " + Objects(note.objects);
        if (!note.effect.IsEmpty())
            text += " - " + note.effect;
    }
    return text;
}

CString CRunDiagnostics::FormatShort() const
{
    CString text = "Not done for every object:";
    const char* separator = " ";
    for (const sRunNote& note : m_notes) {
        text += separator + note.step + " (" + Objects(note.objects) + ")";
        separator = ", ";
    }
    return text;
}
