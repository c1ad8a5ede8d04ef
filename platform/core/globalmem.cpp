#include "platform/core/globalmem.h"

#include <memory>
#include <mutex>
#include <new>
#include <unordered_map>

namespace {

struct CBlock
{
    std::unique_ptr<BYTE[]> bytes;
    std::size_t size = 0;
    int locks = 0;
};

struct CRegistry
{
    std::mutex mutex;
    std::unordered_map<HGLOBAL, CBlock> blocks;
};

CRegistry& Registry()
{
    static CRegistry registry;
    return registry;
}

} // namespace

HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes)
{
    if (bytes == 0)
        return nullptr;
    CBlock block;
    block.bytes.reset((flags & GMEM_ZEROINIT) ? new (std::nothrow) BYTE[bytes]() : new (std::nothrow) BYTE[bytes]);
    if (!block.bytes)
        return nullptr;
    block.size = bytes;
    // The bytes' address is unique while the block lives: it names the block.
    auto handle = reinterpret_cast<HGLOBAL>(block.bytes.get());
    CRegistry& registry = Registry();
    std::lock_guard lock(registry.mutex);
    registry.blocks.emplace(handle, std::move(block));
    return handle;
}

LPVOID GlobalLock(HGLOBAL handle)
{
    CRegistry& registry = Registry();
    std::lock_guard lock(registry.mutex);
    const auto found = registry.blocks.find(handle);
    if (found == registry.blocks.end())
        return nullptr;
    ++found->second.locks;
    return found->second.bytes.get();
}

BOOL GlobalUnlock(HGLOBAL handle)
{
    CRegistry& registry = Registry();
    std::lock_guard lock(registry.mutex);
    const auto found = registry.blocks.find(handle);
    if (found == registry.blocks.end() || found->second.locks == 0)
        return FALSE;
    return --found->second.locks > 0 ? TRUE : FALSE;
}

HGLOBAL GlobalFree(HGLOBAL handle)
{
    CRegistry& registry = Registry();
    std::lock_guard lock(registry.mutex);
    return registry.blocks.erase(handle) == 1 ? nullptr : handle;
}

std::size_t GlobalSize(HGLOBAL handle)
{
    CRegistry& registry = Registry();
    std::lock_guard lock(registry.mutex);
    const auto found = registry.blocks.find(handle);
    return found == registry.blocks.end() ? 0 : found->second.size;
}
