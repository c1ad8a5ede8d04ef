#include "series/classstatistic.h"

#include "series/datadoc.h"

#include "objectmodel/baseobj.h"

#include <map>

void CountClasses(const CDataDoc& doc, std::vector<int>& counts, CStringArray& labels)
{
    struct CClassCount
    {
        int count = 0;
        CString name;
    };
    std::map<WORD, CClassCount> classes;
    const int shown = doc.CountUnselected();
    for (int n = 0; n < shown; ++n) {
        const CBaseObj* record = doc.GetUnselectedAt(n);
        if (record == nullptr)
            continue;
        CClassCount& entry = classes[record->m_dClass];
        ++entry.count;
        if (entry.name.IsEmpty())
            entry.name = record->GetClassName();
    }
    counts.clear();
    labels.RemoveAll();
    for (const auto& [id, entry] : classes) {
        counts.push_back(entry.count);
        CString label = entry.name;
        if (label.IsEmpty())
            label.Format("%u", static_cast<unsigned>(id));
        labels.Add(label);
    }
}
