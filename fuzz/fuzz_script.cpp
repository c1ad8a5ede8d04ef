// Script code and script containers from outside: the first byte picks
// the reader - VBScript text parsed (not run: a script may loop for
// ever), a container archive, or the editor's text archive. Nothing may
// crash; a refused archive leaves the container as it was.

#include "fuzz/fuzzsupport.h"
#include "scripthost/contscript.h"
#include "scripthost/scripttext.h"
#include "scripthost/vbscript/vbsparser.h"

#include "platform/core/archive.h"
#include "platform/core/file.h"

#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    kestrun::fuzz::Quiet();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t kind = data[0] % 3;
    ++data;
    --size;
    if (kind == 0) {
        const CString text = kestrun::DecodeScriptBytes(std::string_view(reinterpret_cast<const char*>(data), size));
        try {
            kestrun::vbs::ParseUnit(text.view(), 1);
        } catch (const kestrun::vbs::CVbsFault& fault) {
            if (fault.m_pos.m_nLine < 1)
                std::abort(); // an error always names its line
        }
        return 0;
    }
    CMemFile file(data, static_cast<UINT>(size));
    CArchive ar(&file, CArchive::load);
    try {
        if (kind == 1) {
            CContScript script;
            script.SetCode("kept");
            try {
                script.Serialize(ar);
            } catch (const CException&) {
                if (script.GetCode() != "kept")
                    std::abort(); // a refused archive changed the container
            }
        } else {
            CString text;
            kestrun::SerializeScriptText(ar, text);
            if (text.GetLength() > kestrun::kMaxScriptTextSize)
                std::abort();
        }
    } catch (const CException&) {
        // Refused as damaged: what the reader must do.
    }
    return 0;
}
