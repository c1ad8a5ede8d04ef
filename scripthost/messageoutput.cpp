#include "scripthost/messageoutput.h"

#include "platform/core/messagebox.h"

#include <cstdio>
#include <mutex>

namespace kestrun {

namespace {

std::mutex& SinkMutex()
{
    static std::mutex mutex;
    return mutex;
}

CMessageOutputSink& Sink()
{
    static CMessageOutputSink sink;
    return sink;
}

} // namespace

void MessageOutput(const CString& text, const char* file, int line) noexcept
{
    try {
        CMessageOutputSink sink;
        {
            const std::lock_guard lock(SinkMutex());
            sink = Sink();
        }
        if (sink)
            sink(text);
        else
            std::fprintf(stderr, "%s(%d): %s\n", file, line, text.GetString());
    } catch (...) {
        // The output is a diagnostic; losing it must not end the program.
    }
}

CMessageOutputSink SetMessageOutputSink(CMessageOutputSink sink)
{
    const std::lock_guard lock(SinkMutex());
    CMessageOutputSink previous = std::move(Sink());
    Sink() = std::move(sink);
    return previous;
}

void ReportOleError(HRESULT hr) noexcept
{
    try {
        AfxMessageBox(FormatString("OLE-Fehler 0x%08X", static_cast<unsigned>(hr)), MB_ICONSTOP);
    } catch (...) {
        // Reporting must not throw over the error it reports.
    }
}

} // namespace kestrun
