#pragma once
// A host object for script tests: Print records its argument, Count is a
// property, Twice a method with a typed argument, and GetReportTitles
// behaves as the database form's member does: it redimensions the array
// it is given to 16 elements, keeping the lower bound, and fills it.

#include "platform/automation/dispatchmap.h"

#include <string>
#include <vector>

namespace kestrun::test {

class CRecordingHost : public CDispatchable
{
public:
    const CDispatchMap& GetDispatchMap() const override
    {
        using Args = std::span<const COleVariant>;
        static const CDispatchMap map =
            CDispatchMapBuilder<CRecordingHost>("Recorder", "{00000000-0000-0000-0000-000000000001}")
                .Method("Print", VT_EMPTY, {VT_VARIANT},
                        [](CRecordingHost& self, Args args) { self.m_printed.push_back(args[0].Deref().ToString()); })
                .Property(
                    "Count", VT_I4, [](CRecordingHost& self, Args) { return self.m_nCount; },
                    [](CRecordingHost& self, Args, const COleVariant& value) { self.m_nCount = value.lVal; })
                .Method("Twice", VT_I4, {VT_I4}, [](CRecordingHost&, Args args) { return args[0].lVal * 2; })
                .Method("GetReportTitles", VT_I2, {VT_VARIANT},
                        [](CRecordingHost&, Args args) {
                            CVariantArray& titles = const_cast<COleVariant&>(args[0]).GetArray();
                            const LONG lower = titles.GetLBound(1);
                            titles.Redim({{lower, 16}}, true);
                            for (LONG i = 0; i < 16; ++i)
                                titles.Elements()[static_cast<size_t>(i)] = COleVariant(FormatString("T%d", int(i)));
                            return short(16);
                        })
                .Build();
        return map;
    }

    std::string Joined() const
    {
        std::string out;
        for (size_t i = 0; i < m_printed.size(); ++i)
            out += (i ? "|" : "") + std::string(m_printed[i].view());
        return out;
    }

    std::vector<CString> m_printed;
    LONG m_nCount = 0;
};

} // namespace kestrun::test
