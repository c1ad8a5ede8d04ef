#pragma once
// Shared by the fuzz programs: message boxes answer silently with their
// default button, and inputs that must be files are written to one scratch
// file per process.

#include "platform/core/messagebox.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace kestrun::fuzz {

// Installs the silent presenter; call once from LLVMFuzzerInitialize.
void Quiet();

// Writes the bytes to this process's scratch file, named with the
// extension, and answers its path.
std::string WriteScratchFile(const std::uint8_t* data, std::size_t size, const char* extension);

} // namespace kestrun::fuzz
