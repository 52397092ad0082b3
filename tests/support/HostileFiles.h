#pragma once
// Files made to cost the program time or memory while staying under its own size limits: charts
// of tiny blocks, an annotation file of names that collide in a fixed hash, a settings store of
// many values. Made at test time, never kept in the repository.

#include <QByteArray>

namespace hostile {

// A 1 x 1 screen with a global table of two colours; a 1 x 1 image and the trailer.
inline const QByteArray GifHeader("GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff", 19);
inline const QByteArray GifImage(",\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x4c\x01\x00;", 16);

// A GIF of about fileSize bytes, nearly all of it one application extension ("XMP DataXMP") of
// one-byte data sub-blocks.
inline QByteArray gifOfOneByteSubBlocks(qsizetype fileSize) {
    QByteArray gif = GifHeader + QByteArray("!\xff\x0bXMP DataXMP", 14);
    for (qsizetype i = 0; i < (fileSize - 50) / 2; ++i)
        gif.append("\x01x", 2);
    return gif.append('\0').append(GifImage);
}

// A GIF with count comment extensions of one byte each before a 1 x 1 image.
inline QByteArray gifOfOneByteComments(qsizetype count) {
    QByteArray gif = GifHeader;
    for (qsizetype i = 0; i < count; ++i)
        gif.append("!\xfe\x01x\x00", 5);
    return gif.append(GifImage);
}

// An area's annotation file whose section "Lines" (the file's first line) holds 2^pairs keys
// (pairs at most 14) of 56 characters, every one with the same value of the hash the annotation
// reader once used: FNV-1a over the case-folded name, seeded with the number of the section's
// line (0). Each pair below is two 4-character blocks that take that hash from the state the
// blocks before them leave to one same state, so any choice of one block per pair collides.
inline QByteArray annotationFileOfCollidingKeys(int pairs) {
    static const char* const Blocks[14][2] = {
        {"7yfa", "e6uu"}, {"9tfa", "g3uu"}, {"9tfa", "g3uu"}, {"9tfa", "g3uu"}, {"9tfa", "g3uu"},
        {"46ea", "bwtu"}, {"9tfa", "g3uu"}, {"46ea", "bwtu"}, {"g3gd", "9ttp"}, {"53fa", "cpuu"},
        {"9tfa", "g3uu"}, {"9tfa", "g3uu"}, {"bwfm", "46wy"}, {"b3fa", "4puu"},
    };
    QByteArray file("[Lines]\r\n");
    for (int choice = 0; choice < (1 << pairs); ++choice) {
        for (int p = 0; p < pairs; ++p)
            file.append(Blocks[p][(choice >> p) & 1]);
        file.append("=10,20,30,40\r\n");
    }
    return file;
}

// A settings store with the program's own values and count waypoints "0", "1", ... in its
// "Waypoints" key.
inline QByteArray settingsStoreOfWaypoints(int count) {
    QByteArray store("Windows Registry Editor Version 5.00\n\n"
                     "[HKEY_CURRENT_USER\\Software\\Quillmark\\thalwise]\n"
                     "\"DaysToKeep\"=dword:00000007\n\n"
                     "[HKEY_CURRENT_USER\\Software\\Quillmark\\thalwise\\Waypoints]\n");
    for (int i = 0; i < count; ++i)
        store += "\"" + QByteArray::number(i) +
                 "\"=\"Lat=41.25,Lon=-70.50,Tf=" + QByteArray::number(50 + i % 30) + ".0\"\n";
    return store;
}

} // namespace hostile
