#include "gif/GIFLzw.h"

#include <QtEndian>

#include <cassert>
#include <cstring>

namespace gif {

namespace {

constexpr int MaxCodeBits = 12;
constexpr unsigned TableSize = 1u << MaxCodeBits;

inline std::uint64_t load64(const std::uint8_t* p) {
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return qFromLittleEndian(v);
}

// Copies len bytes from out + src to out + dst in 8-byte steps. Correct because every byte the
// string needs lies before dst (src + len <= dst); the steps may write up to 7 bytes beyond
// dst + len, which the caller's slack absorbs and later strings overwrite.
inline void copyString(std::uint8_t* out, std::size_t dst, std::size_t src, std::size_t len) {
    std::uint8_t* d = out + dst;
    const std::uint8_t* s = out + src;
    // Each chunk goes through a register: source and destination may lie closer than 8 bytes.
    for (std::size_t i = 0; i < len; i += 8) {
        std::uint64_t chunk;
        std::memcpy(&chunk, s + i, 8);
        std::memcpy(d + i, &chunk, 8);
    }
}

} // namespace

LzwResult LzwDecoder::decode(const std::uint8_t* in, std::size_t inSize, int minCodeSize,
                             std::uint8_t* out, std::size_t outSize) {
    assert(minCodeSize >= 0 && minCodeSize < MaxCodeBits);
    assert(outSize <= 0xFFFFFFFFu);

    // GIF89a appendix F: clear = 2^size, end = clear + 1, codes start at size + 1 bits.
    const unsigned clearCode = 1u << minCodeSize;
    const unsigned endCode = clearCode + 1;
    const std::uint64_t totalBits = std::uint64_t(inSize) * 8;

    unsigned codeSize = unsigned(minCodeSize) + 1;
    unsigned codeMask = (1u << codeSize) - 1;
    unsigned freeCode = clearCode + 2;
    int prev = -1; // the code emitted last; none right after a clear
    std::uint64_t bitPos = 0;
    std::size_t pos = 0;

    for (unsigned c = 0; c < clearCode && c < TableSize; ++c) {
        m_prefix[c] = 0;
        m_suffix[c] = std::uint8_t(c);
        m_length[c] = 1;
    }

    // A new entry: the string of prefix followed by suffix, which the output holds from
    // pos - length(prefix) on. The code size grows by one bit when the next free code passes the
    // current limit, up to 12 bits; a full table takes no entries until a clear code.
    auto addEntry = [&](unsigned prefix, std::uint8_t suffix) {
        if (freeCode >= TableSize) return;
        const unsigned prefixLength = m_length[prefix];
        m_prefix[freeCode] = std::uint16_t(prefix);
        m_suffix[freeCode] = suffix;
        m_length[freeCode] = std::uint16_t(prefixLength + 1);
        m_offset[freeCode] = std::uint32_t(pos - prefixLength);
        if (++freeCode > codeMask && codeSize < MaxCodeBits) {
            ++codeSize;
            codeMask = (1u << codeSize) - 1;
        }
    };

    for (;;) {
        // A code needing more bits than remain ends the frame without error; running out of
        // bits altogether is an under-run only while the frame still lacks pixels.
        if (bitPos + codeSize > totalBits) {
            if (pos >= outSize) return {LzwEnd::FrameFull, pos};
            return {bitPos == totalBits ? LzwEnd::Underrun : LzwEnd::OutOfData, pos};
        }
        const unsigned code = unsigned(load64(in + (bitPos >> 3)) >> (bitPos & 7)) & codeMask;
        bitPos += codeSize;

        // Once the frame is full exactly one more code is read and discarded.
        if (pos >= outSize) return {LzwEnd::FrameFull, pos};

        if (code < clearCode) {
            out[pos] = std::uint8_t(code);
            if (prev >= 0) addEntry(unsigned(prev), std::uint8_t(code));
            prev = int(code);
            ++pos;
            continue;
        }
        if (code == clearCode) {
            codeSize = unsigned(minCodeSize) + 1;
            codeMask = (1u << codeSize) - 1;
            freeCode = clearCode + 2;
            prev = -1;
            continue;
        }
        if (code == endCode) return {LzwEnd::EndCode, pos};

        if (prev < 0) {
            // Right after a clear the table holds no strings: the next free code would have to
            // be defined through itself.
            return {code == freeCode ? LzwEnd::CircularEntry : LzwEnd::InvalidCode, pos};
        }

        const unsigned prevLength = m_length[prev];
        std::uint8_t first;
        std::size_t length;
        if (code < freeCode) {
            length = m_length[code];
            const std::size_t src = m_offset[code];
            first = out[src];
            if (pos + length <= outSize) {
                copyString(out, pos, src, length);
            } else {
                std::memcpy(out + pos, out + src, outSize - pos); // src + length <= pos
                length = outSize - pos;
            }
        } else if (code == freeCode) {
            // The string is the previous one followed by its own first byte (the KwKwK case).
            const std::size_t src = pos - prevLength;
            first = out[src];
            length = prevLength + 1;
            if (pos + length <= outSize) {
                copyString(out, pos, src, prevLength);
                out[pos + prevLength] = first;
            } else {
                std::memcpy(out + pos, out + src, outSize - pos);
                length = outSize - pos;
            }
        } else {
            return {LzwEnd::InvalidCode, pos};
        }

        addEntry(unsigned(prev), first);
        prev = int(code);
        pos += length;
    }
}

} // namespace gif
