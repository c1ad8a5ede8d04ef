#include "fuzz/fuzzsupport.h"

#include <cstdlib>
#include <fstream>
#include <memory>
#include <unistd.h>

namespace kestrun::fuzz {

namespace {

class CSilentPresenter : public IMessageBoxPresenter
{
public:
    int Show(const CString&, const CString&, UINT type) override { return DefaultAnswer(type); }
    void Beep(UINT) override {}
};

} // namespace

void Quiet()
{
    SetMessageBoxPresenter(std::make_shared<CSilentPresenter>());
}

std::string WriteScratchFile(const std::uint8_t* data, std::size_t size, const char* extension)
{
    const char* folder = std::getenv("TMPDIR");
    const std::string path = std::string(folder && *folder ? folder : "/tmp") + "/kestrun-fuzz-" +
                             std::to_string(::getpid()) + extension;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path;
}

} // namespace kestrun::fuzz
