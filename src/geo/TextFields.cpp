#include "geo/TextFields.h"

#include <algorithm>
#include <limits>

namespace geo {

QStringList splitLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n') continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n') ++i;
        start = i + 1;
    }
    if (start < n) lines.append(text.mid(start));
    return lines;
}

QString joinCommaText(const QStringList& items) {
    QString text;
    for (qsizetype k = 0; k < items.size(); ++k) {
        if (k > 0) text += u',';
        const QString& item = items[k];
        const bool needsQuotes = std::any_of(item.begin(), item.end(), [](QChar c) {
            return c.unicode() <= u' ' || c == u',' || c == u'"';
        });
        if (!needsQuotes) {
            text += item;
            continue;
        }
        text += u'"';
        for (QChar c : item) {
            if (c == u'"') text += u'"';
            text += c;
        }
        text += u'"';
    }
    return text;
}

QStringList splitCommaText(const QString& text) {
    QStringList items;
    const qsizetype n = text.size();
    qsizetype i = 0;
    auto isBlank = [&text](qsizetype at) { return text[at].unicode() <= u' '; };
    auto skipBlanks = [&] {
        while (i < n && isBlank(i))
            ++i;
    };
    skipBlanks();
    while (i < n) {
        QString item;
        if (text[i] == u'"') {
            ++i;
            while (i < n) {
                if (text[i] == u'"') {
                    if (i + 1 < n && text[i + 1] == u'"') {
                        item += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item += text[i++];
            }
        } else {
            const qsizetype begin = i;
            while (i < n && !isBlank(i) && text[i] != u',')
                ++i;
            item = text.mid(begin, i - begin);
        }
        items.append(item);
        skipBlanks();
        if (i < n && text[i] == u',') {
            ++i;
            skipBlanks();
            if (i == n) items.append(QString()); // a trailing comma ends with an empty item
        }
    }
    return items;
}

std::optional<int> readDecimalInteger(const QString& text) {
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i == text.size()) return std::nullopt;
    long long value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9') return std::nullopt;
        value = value * 10 + (c - u'0');
        // Beyond the magnitude of the most negative int: stop before the value can overflow.
        if (value > 2147483648LL) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<int>::max()) return std::nullopt;
    return int(value);
}

} // namespace geo
