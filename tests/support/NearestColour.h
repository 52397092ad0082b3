#pragma once
// The test oracle for palette mapping: the entry nearest a colour by squared RGB distance,
// the lowest index on a tie, found by trying every entry.

#include <QList>
#include <QRgb>
#include <limits>

inline int nearestEntry(const QList<QRgb>& table, QRgb colour) {
    int best = -1;
    int bestDistance = std::numeric_limits<int>::max();
    for (int i = 0; i < table.size(); ++i) {
        const int dr = qRed(table[i]) - qRed(colour);
        const int dg = qGreen(table[i]) - qGreen(colour);
        const int db = qBlue(table[i]) - qBlue(colour);
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}
