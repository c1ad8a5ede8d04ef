// The ini text: any bytes read as lines; reads never fail, untouched lines
// stay byte for byte, and a value written reads back.

#include "fuzz/fuzzsupport.h"
#include "platform/core/initext.h"

#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    kestrun::CIniText ini(content);
    if (ini.Serialize() != content)
        std::abort(); // a file read and written unchanged must keep its bytes

    for (const std::string& section : ini.Sections()) {
        for (const std::string& key : ini.Keys(section)) {
            if (!ini.Value(section, key))
                std::abort(); // a listed key must have a value
        }
    }

    // Edits with names a writer accepts.
    const std::vector<std::string> sections = ini.Sections();
    const std::string section = sections.empty() ? "S" : sections.front();
    ini.SetValue(section, "fuzzkey", "value");
    ini.SetValue("fuzz section", "k", "v");
    if (ini.Value(section, "fuzzkey") != "value" || ini.Value("fuzz section", "k") != "v")
        std::abort();
    kestrun::CIniText reread(ini.Serialize());
    if (reread.Value(section, "fuzzkey") != "value" || reread.Value("fuzz section", "k") != "v")
        std::abort(); // a written value must survive the file
    ini.DeleteKey(section, "fuzzkey");
    ini.DeleteSection("fuzz section");
    return 0;
}
