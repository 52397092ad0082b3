#pragma once

// The variable-length-code LZW decoder of GIF89a (appendix F): codes of at most 12 bits, a table
// of 4096 entries, no allocation per code.

#include <cstddef>
#include <cstdint>

namespace gif {

// How one frame's code stream ended.
enum class LzwEnd {
    EndCode,       // the end-of-information code arrived
    FrameFull,     // every pixel was stored and the one extra code was read (or the data ended)
    OutOfData,     // the codes ran out before the frame was full; some bits were left over
    Underrun,      // the codes ran out with no bits left before the frame was full
    InvalidCode,   // a code above the next free code: decoding stops, the rest keeps its fill
    CircularEntry, // a code would define itself ("Circular decoder table entry")
};

struct LzwResult {
    LzwEnd end = LzwEnd::EndCode;
    std::size_t pixelsWritten = 0; // pixels stored before decoding stopped
};

class LzwDecoder {
public:
    // Bytes the output buffer must have beyond outSize (strings are copied in 8-byte steps).
    static constexpr std::size_t OutputSlack = 16;
    // Bytes the input must have beyond inSize, all zero (the bit reader loads 8 bytes at once).
    static constexpr std::size_t InputPadding = 8;

    // Decodes the joined data sub-blocks of one frame (the minimum code size byte excluded,
    // 0 to 11) into out, writing at most outSize indices in code-stream order. Literal codes
    // above 255 (code sizes above 8) are stored as their low byte. out[pixelsWritten, outSize)
    // is left undefined: the caller fills it. The bytes from outSize to outSize + OutputSlack may
    // be overwritten.
    LzwResult decode(const std::uint8_t* in, std::size_t inSize, int minCodeSize, std::uint8_t* out,
                     std::size_t outSize);

private:
    // The string of code c is length[c] bytes that were already written to the output at
    // offset[c]; prefix and suffix name it as (earlier string, last byte) as in GIF89a.
    std::uint16_t m_prefix[4096];
    std::uint8_t m_suffix[4096];
    std::uint16_t m_length[4096];
    std::uint32_t m_offset[4096];
};

} // namespace gif
