#pragma once
// giflib (a test oracle and benchmark baseline only, never linked by the program) reading from
// an in-memory file.

#include <QByteArray>
#include <gif_lib.h>

#include <algorithm>
#include <cstring>

struct MemoryReader {
    const QByteArray* data;
    qsizetype pos = 0;
};

// giflib's input callback over a MemoryReader in the file's UserData.
inline int readFromMemory(GifFileType* file, GifByteType* buffer, int size) {
    auto* r = static_cast<MemoryReader*>(file->UserData);
    const int n = static_cast<int>(std::min<qsizetype>(size, r->data->size() - r->pos));
    std::memcpy(buffer, r->data->constData() + r->pos, static_cast<std::size_t>(n));
    r->pos += n;
    return n;
}
