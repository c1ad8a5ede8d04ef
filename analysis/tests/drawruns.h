#pragma once
// What a record drew, told as runs: one entry per run of drawing calls of
// one kind in one colour - the pen's colour for lines ("line 0000FF" is
// red), the pixel's for pixels, the text for text.

#include "platform/core/recording_dc.h"

#include <string>
#include <vector>

namespace drawruns {

inline std::vector<std::string> Runs(const CRecordingDC& dc)
{
    std::vector<std::string> runs;
    for (const CDCRecord& r : dc.Records()) {
        std::string entry;
        if (r.op == "LineTo")
            entry = FormatString("line %06X", r.pen.lopnColor).GetString();
        else if (r.op == "SetPixel")
            entry = FormatString("pixel %06X", r.color).GetString();
        else if (r.op == "TextOut")
            entry = "text " + std::string(r.text.GetString());
        else
            continue;
        if (runs.empty() || runs.back() != entry)
            runs.push_back(entry);
    }
    return runs;
}

} // namespace drawruns
