// The class file of a profile (".classes", binary or XML by its content):
// a damaged file raises an exception and leaves the list; a list that
// loads is stored and loads again.

#include "analysis/classes.h"
#include "fuzz/fuzzsupport.h"

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    kestrun::fuzz::Quiet();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = kestrun::fuzz::WriteScratchFile(data, size, ".classes");
    CClasses classes;
    try {
        classes.LoadFile(path.c_str());
    } catch (const CException&) {
        return 0;
    }
    for (const int format : {CClasses::formatBinary, CClasses::formatXML}) {
        classes.SaveFile(path.c_str(), format);
        CClasses again;
        try {
            again.LoadFile(path.c_str());
        } catch (const CException&) {
            std::abort(); // what was stored does not load
        }
        if (again.GetCount() != classes.GetCount())
            std::abort();
    }
    return 0;
}
