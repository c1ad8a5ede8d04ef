#include "platform/core/maps.h"

#include "platform/core/encoding.h"

namespace kestrun {

UINT HashString(const char* key)
{
    if (key == nullptr)
        AfxThrowInvalidArgException();
    // The stored order of keys follows the hash of their single-byte form.
    const std::string_view text(key);
    const std::string bytes = IsAscii(text) ? std::string() : Utf8ToCp1252(text);
    UINT hash = 0;
    for (const char c : bytes.empty() ? text : std::string_view(bytes))
        hash = (hash << 5) + hash + static_cast<UINT>(static_cast<int>(static_cast<signed char>(c)));
    return hash;
}

} // namespace kestrun

IMPLEMENT_DYNAMIC(CMapStringToPtr, CObject)
IMPLEMENT_SERIAL(CMapStringToOb, CObject, 0)
IMPLEMENT_SERIAL(CMapStringToString, CObject, 0)
IMPLEMENT_DYNAMIC(CMapPtrToPtr, CObject)
IMPLEMENT_DYNAMIC(CMapWordToPtr, CObject)
