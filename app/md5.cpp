#include "app/md5.h"

#include <algorithm>

namespace kestrun {
namespace {

constexpr std::array<std::uint32_t, 64> kSine = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};

constexpr std::array<int, 16> kShift = {7, 12, 17, 22, 5, 9, 14, 20, 4, 11, 16, 23, 6, 10, 15, 21};

constexpr std::uint32_t RotateLeft(std::uint32_t x, int n)
{
    return (x << n) | (x >> (32 - n));
}

} // namespace

void CMD5::Transform(const std::uint8_t* block)
{
    std::array<std::uint32_t, 16> words{};
    for (std::size_t i = 0; i < words.size(); ++i) {
        words[i] = static_cast<std::uint32_t>(block[4 * i]) | (static_cast<std::uint32_t>(block[4 * i + 1]) << 8) |
                   (static_cast<std::uint32_t>(block[4 * i + 2]) << 16) |
                   (static_cast<std::uint32_t>(block[4 * i + 3]) << 24);
    }
    std::uint32_t a = m_state[0], b = m_state[1], c = m_state[2], d = m_state[3];
    for (int i = 0; i < 64; ++i) {
        const int round = i / 16;
        std::uint32_t f;
        int k;
        if (round == 0) {
            f = (b & c) | (~b & d);
            k = i;
        } else if (round == 1) {
            f = (d & b) | (~d & c);
            k = (5 * i + 1) % 16;
        } else if (round == 2) {
            f = b ^ c ^ d;
            k = (3 * i + 5) % 16;
        } else {
            f = c ^ (b | ~d);
            k = (7 * i) % 16;
        }
        const std::uint32_t rotated = RotateLeft(a + f + kSine[i] + words[k], kShift[round * 4 + i % 4]);
        a = d;
        d = c;
        c = b;
        b += rotated;
    }
    m_state[0] += a;
    m_state[1] += b;
    m_state[2] += c;
    m_state[3] += d;
}

void CMD5::Update(std::string_view bytes)
{
    m_nBits += static_cast<std::uint64_t>(bytes.size()) * 8;
    while (!bytes.empty()) {
        const std::size_t take = std::min(bytes.size(), m_buffer.size() - m_nBuffered);
        std::copy_n(reinterpret_cast<const std::uint8_t*>(bytes.data()), take, m_buffer.begin() + m_nBuffered);
        m_nBuffered += take;
        bytes.remove_prefix(take);
        if (m_nBuffered == m_buffer.size()) {
            Transform(m_buffer.data());
            m_nBuffered = 0;
        }
    }
}

CMD5::Digest CMD5::Final()
{
    const std::uint64_t bits = m_nBits;
    // One 0x80 byte, zeros up to 56 modulo 64, then the bit count.
    static constexpr std::array<char, 64> kPadding = {'\x80'};
    const std::size_t padding = m_nBuffered < 56 ? 56 - m_nBuffered : 120 - m_nBuffered;
    Update(std::string_view(kPadding.data(), padding));
    std::array<char, 8> length{};
    for (std::size_t i = 0; i < length.size(); ++i)
        length[i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
    Update(std::string_view(length.data(), length.size()));

    Digest digest{};
    for (std::size_t i = 0; i < digest.size(); ++i)
        digest[i] = static_cast<std::uint8_t>((m_state[i / 4] >> (8 * (i % 4))) & 0xFF);
    return digest;
}

std::string CMD5::HexDigest(std::string_view bytes)
{
    CMD5 md5;
    md5.Update(bytes);
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    for (const std::uint8_t byte : md5.Final()) {
        text += kHex[byte >> 4];
        text += kHex[byte & 0x0F];
    }
    return text;
}

} // namespace kestrun
