#pragma once
// Shared by the fuzz programs: message boxes answer silently with their
// default button, and inputs that must be files are written to one scratch
// file per process.

#include "platform/core/archive.h"
#include "platform/core/exceptions.h"
#include "platform/core/file.h"
#include "platform/core/messagebox.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace kestrun::fuzz {

// Installs the silent presenter; call once from LLVMFuzzerInitialize.
void Quiet();

// Writes the bytes to this process's scratch file, named with the
// extension, and answers its path.
std::string WriteScratchFile(const std::uint8_t* data, std::size_t size, const char* extension);

// Stores loaded through its Serialize and loads the stored bytes into
// again; aborts when what was stored does not load.
template <class T>
void StoreAndReload(T& loaded, T& again)
{
    CMemFile stored;
    {
        CArchive ar(&stored, CArchive::store);
        loaded.Serialize(ar);
        ar.Close();
    }
    const auto bytes = stored.Data();
    try {
        CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
        CArchive ar(&file, CArchive::load);
        again.Serialize(ar);
    } catch (const CException&) {
        std::abort(); // what was stored does not load
    }
}

} // namespace kestrun::fuzz
