#pragma once
// The MD5 message digest (RFC 1321). The stored passwords are MD5 digests,
// so the algorithm must be exactly the published one.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kestrun {

class CMD5
{
public:
    using Digest = std::array<std::uint8_t, 16>;

    void Update(std::string_view bytes);
    // Pads, appends the bit count and gives the digest; the context is then
    // spent (start a new one for the next message).
    Digest Final();

    // 32 lower-case hexadecimal digits, two per byte in digest order.
    static std::string HexDigest(std::string_view bytes);

private:
    void Transform(const std::uint8_t* block);

    std::array<std::uint32_t, 4> m_state{0x67452301u, 0xefcdab89u, 0x98badcfeu, 0x10325476u};
    std::uint64_t m_nBits = 0;
    std::array<std::uint8_t, 64> m_buffer{};
    std::size_t m_nBuffered = 0;
};

} // namespace kestrun
