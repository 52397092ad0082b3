#include "platform/ProfileFile.h"

#include "platform/Text.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHashFunctions>
#include <QSaveFile>
#include <QVarLengthArray>

#include <algorithm>

namespace platform {

namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

QStringView trimBlanks(QStringView text) {
    return platform::trimmedWhere(text, isBlank);
}

// A NUL ends what is read of a line, as it ends the platform's strings; the rest of the line is
// still written back as it was.
QStringView readablePart(QStringView line) {
    const qsizetype nul = line.indexOf(QChar(u'\0'));
    return nul < 0 ? line : line.left(nul);
}

// The name of a "[name]" line. A header without its "]" runs to the end of the line, so that a
// damaged header still gathers its keys; anything after the "]" is ignored.
QStringView headerName(QStringView line) {
    QStringView inside = trimBlanks(readablePart(line)).mid(1);
    const qsizetype close = inside.indexOf(u']');
    if (close >= 0) inside = inside.left(close);
    return trimBlanks(inside);
}

// The key of a "key=value" line: what stands before the first "=".
QStringView keyName(QStringView line) {
    const QStringView readable = readablePart(line);
    return trimBlanks(readable.left(readable.indexOf(u'=')));
}

QStringView keyValue(QStringView line) {
    const QStringView readable = readablePart(line);
    QStringView value = trimBlanks(readable.mid(readable.indexOf(u'=') + 1));
    // A value in a matching pair of double or single quotes is read without them.
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value;
}

enum class LineKind { Verbatim, Header, Key };

// One look along the line, stopping at the first character that decides: blanks skipped, then
// "[" a header, ";" or nothing a comment, else a key when an "=" follows the name before a NUL.
LineKind kindOf(QStringView line) {
    const char16_t* text = line.utf16();
    const qsizetype size = line.size();
    qsizetype i = 0;
    while (i < size && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    if (i == size || text[i] == u'\0' || text[i] == u';') return LineKind::Verbatim;
    if (text[i] == u'[') return LineKind::Header;
    // A line "=value" names no key (the platform could not look it up either).
    if (text[i] == u'=') return LineKind::Verbatim;
    for (; i < size && text[i] != u'\0'; ++i)
        if (text[i] == u'=') return LineKind::Key;
    return LineKind::Verbatim;
}

// Names match without regard to case: code point by code point after simple case folding, the
// same folding for comparing and for hashing.
char32_t foldedAt(QStringView text, qsizetype& i) {
    char32_t c = text[i].unicode();
    // ASCII folds to its lower case without asking the Unicode tables.
    if (c < 0x80) {
        ++i;
        return c >= u'A' && c <= u'Z' ? c + 32 : c;
    }
    if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
        c = QChar::surrogateToUcs4(text[i], text[i + 1]);
        ++i;
    }
    ++i;
    return QChar::toCaseFolded(c);
}

bool sameName(QStringView a, QStringView b) {
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size())
        if (foldedAt(a, i) != foldedAt(b, j)) return false;
    return i == a.size() && j == b.size();
}

// Quirk "names-cannot-collide": the names are hashed by Qt's keyed string hash under a seed
// drawn for each process, so that a file cannot be written whose names all fall on one slot (a
// fixed hash let a file of chosen names make every lookup a scan of all of them).
std::uint32_t nameHash(QStringView name, std::size_t seed) {
    QVarLengthArray<char32_t, 64> folded(name.size());
    qsizetype n = 0;
    for (qsizetype i = 0; i < name.size();)
        folded[n++] = foldedAt(name, i);
    folded.resize(n);
    const std::uint64_t h =
        qHashBits(folded.constData(), std::size_t(folded.size()) * sizeof(char32_t),
                  seed ^ QHashSeed::globalSeed());
    return std::uint32_t(h ^ (h >> 32));
}

constexpr std::size_t SectionSeed = 0x5ec7104eu;

std::uint32_t keyHash(qint32 header, QStringView key) {
    return nameHash(key, std::size_t(std::uint32_t(header)) * 0x9e3779b97f4a7c15u);
}

// Bytes of text in UTF-8, without converting it.
qsizetype utf8Length(QStringView text) {
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            bytes += 1;
        } else if (c < 0x800) {
            bytes += 2;
        } else if (QChar::isHighSurrogate(c) && i + 1 < text.size() &&
                   text[i + 1].isLowSurrogate()) {
            bytes += 4;
            ++i;
        } else {
            bytes += 3;
        }
    }
    return bytes;
}

// A line break in a name or value would start another line in the file; looked up, it is a
// blank.
QString oneLine(const QString& text) {
    QString line = text;
    for (QChar& c : line)
        if (c == u'\r' || c == u'\n') c = u' ';
    return line;
}

// A name as it is looked up: one line, read up to a NUL, blanks around it dropped.
QString cleanName(const QString& name) {
    return trimBlanks(readablePart(oneLine(name))).toString();
}

// True when the text survives a line of the file: no line break, no NUL (which ends what is
// read of a line) and every surrogate half of a pair (only such text survives UTF-8).
bool fitsOneLine(QStringView text) {
    return !text.contains(u'\r') && !text.contains(u'\n') && !text.contains(QChar(u'\0')) &&
           isWellFormed(text);
}

// The value as it is written after "=": in double quotes when reading would otherwise drop its
// outer blanks or a pair of quotes around it.
QString writtenValue(const QString& value) {
    const bool quoted = value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
                        value.back() == value.front();
    if (quoted || trimBlanks(value).size() != value.size()) return u'"' + value + u'"';
    return value;
}

template <typename Table, typename Match>
qint32 findInTable(const Table& entries, std::uint32_t hash, Match match) {
    if (entries.empty()) return -1;
    const std::size_t mask = entries.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const auto& slot = entries[i];
        if (slot.line < 0) return -1;
        if (slot.hash == hash && match(slot.line)) return slot.line;
    }
}

// Adds line under hash to the table, growing it (and dropping entries that are no longer live)
// when it is half full.
template <typename Table, typename Live>
void addToTable(Table& entries, qsizetype& used, qint32 line, std::uint32_t hash, Live live) {
    if ((used + 1) * 2 > qsizetype(entries.size())) {
        Table kept;
        kept.reserve(std::size_t(used));
        for (const auto& slot : entries)
            if (slot.line >= 0 && live(slot.line)) kept.push_back(slot);
        // A third full at most after growing, half full before the next growth.
        std::size_t size = 16;
        while (size < (kept.size() + 1) * 3)
            size *= 2;
        entries.assign(size, {});
        used = 0;
        for (const auto& slot : kept) {
            std::size_t i = slot.hash & (size - 1);
            while (entries[i].line >= 0)
                i = (i + 1) & (size - 1);
            entries[i] = slot;
            ++used;
        }
    }
    const std::size_t mask = entries.size() - 1;
    std::size_t i = hash & mask;
    while (entries[i].line >= 0)
        i = (i + 1) & mask;
    entries[i] = {hash, line};
    ++used;
}

// The line in the table that match accepts, or, when there is none, line added under hash
// (growing the table first when it is half full) and -1: one probe for both.
template <typename Table, typename Match, typename Live>
qint32 findOrAddInTable(Table& entries, qsizetype& used, qint32 line, std::uint32_t hash,
                        Match match, Live live) {
    if ((used + 1) * 2 <= qsizetype(entries.size())) {
        const std::size_t mask = entries.size() - 1;
        std::size_t i = hash & mask;
        for (; entries[i].line >= 0; i = (i + 1) & mask)
            if (entries[i].hash == hash && match(entries[i].line)) return entries[i].line;
        entries[i] = {hash, line};
        ++used;
        return -1;
    }
    if (const qint32 found = findInTable(entries, hash, match); found >= 0) return found;
    addToTable(entries, used, line, hash, live);
    return -1;
}

} // namespace

ProfileFile::ProfileFile(const QString& path) : m_path(path) {
    QFile file(path);
    if (!file.exists()) {
        parse(QString());
        return;
    }
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly)) {
        const qint64 size = file.size();
        bytes = file.read(std::min(size, MaxFileSize));
        if (file.error() != QFileDevice::NoError) {
            m_unreadable = true;
            bytes.clear();
        } else if (size > MaxFileSize) {
            // Only whole lines of a cut file are read: no half key, no half character.
            m_truncated = true;
            const qsizetype lastBreak = std::max(bytes.lastIndexOf('\n'), bytes.lastIndexOf('\r'));
            bytes.truncate(lastBreak + 1);
        }
    } else {
        // A file that is there but cannot be read (a folder, no permission) is never replaced
        // by what little we would know of it.
        m_unreadable = true;
    }
    parse(decodeText(bytes));
}

void ProfileFile::parse(const QString& text) {
    m_text = text;
    m_lines.clear();
    m_head = m_tail = -1;
    m_sections = {};
    m_keys = {};
    m_indexedSections.clear();
    m_appendSection = m_appendLine = -1;

    // Quirk "headers-in-flight": a header joins the section table a few headers after it is
    // read, its slot fetched from memory meanwhile, so that a file of millions of sections does
    // not wait for memory at each one. They join in file order: the first of a name still wins.
    constexpr int InFlight = 16;
    Slot pending[InFlight];
    int pendingCount = 0;
    int pendingFirst = 0;
    auto addPending = [&]() {
        const Slot next = pending[pendingFirst];
        pendingFirst = (pendingFirst + 1) % InFlight;
        --pendingCount;
        const QStringView name = headerName(lineText(next.line));
        findOrAddInTable(
            m_sections.entries, m_sections.used, next.line, next.hash,
            [&](qint32 other) { return sameName(headerName(lineText(other)), name); },
            [&](qint32 other) { return m_lines[other].kind == Kind::Header; });
    };

    const QStringView all(m_text);
    const char16_t* chars = all.utf16();
    const qsizetype size = all.size();
    // One entry per line at most (lone CRs aside): no copying while the list grows.
    m_lines.reserve(std::size_t(all.count(u'\n')) + 1);
    qint32 section = -1;
    qsizetype pos = 0;
    while (pos < size) {
        // LF, CRLF and a lone CR all end a line.
        qsizetype end = pos;
        while (end < size && (chars[end] > u'\r' || (chars[end] != u'\n' && chars[end] != u'\r')))
            ++end;
        const QStringView line = all.mid(pos, end - pos);
        LineKind kind = kindOf(line);
        // Lines before the first section belong to none and name no key.
        if (kind == LineKind::Key && section < 0) kind = LineKind::Verbatim;

        if (kind == LineKind::Verbatim && m_tail >= 0 && m_lines[m_tail].kind == Kind::Verbatim) {
            // Consecutive verbatim lines are one entry, so that a file of empty lines costs
            // nothing per line.
            m_lines[m_tail].length = qint32(end - m_lines[m_tail].begin);
        } else {
            const Kind stored = kind == LineKind::Header ? Kind::Header
                                : kind == LineKind::Key  ? Kind::Key
                                                         : Kind::Verbatim;
            Line entry;
            entry.begin = pos;
            entry.length = qint32(end - pos);
            entry.kind = stored;
            entry.section = stored == Kind::Key ? section : -1;
            const auto index = qint32(m_lines.size());
            m_lines.push_back(entry);
            if (m_tail >= 0)
                m_lines[m_tail].next = index;
            else
                m_head = index;
            m_tail = index;
            if (stored == Kind::Header) {
                section = index;
                // A section name that appears again is a shadow: only its first section is
                // read and written, erasing removes them all.
                const std::uint32_t hash = nameHash(headerName(line), SectionSeed);
                if (!m_sections.entries.empty())
                    __builtin_prefetch(&m_sections.entries[hash & (m_sections.entries.size() - 1)]);
                if (pendingCount == InFlight) addPending();
                pending[(pendingFirst + pendingCount++) % InFlight] = {hash, index};
            }
        }

        pos = end;
        if (pos < size) {
            if (chars[pos] == u'\r' && pos + 1 < size && chars[pos + 1] == u'\n') ++pos;
            ++pos;
        }
    }
    while (pendingCount > 0)
        addPending();
}

QStringView ProfileFile::lineText(qint32 line) const {
    const Line& entry = m_lines[std::size_t(line)];
    return QStringView(m_text).mid(entry.begin, entry.length);
}

qint32 ProfileFile::addLine(qint32 after, const QString& text, Kind kind, qint32 section) {
    Line entry;
    entry.begin = m_text.size();
    entry.length = qint32(text.size());
    entry.kind = kind;
    entry.section = section;
    m_text += text;
    const auto index = qint32(m_lines.size());
    if (after < 0) {
        if (m_tail >= 0)
            m_lines[m_tail].next = index;
        else
            m_head = index;
        m_tail = index;
    } else {
        entry.next = m_lines[after].next;
        m_lines[after].next = index;
        if (m_tail == after) m_tail = index;
    }
    m_lines.push_back(entry);
    return index;
}

qint32 ProfileFile::findSection(QStringView name) const {
    return findSection(name, nameHash(name, SectionSeed));
}

qint32 ProfileFile::findSection(QStringView name, std::uint32_t hash) const {
    return findInTable(m_sections.entries, hash, [&](qint32 line) {
        return m_lines[line].kind == Kind::Header && sameName(headerName(lineText(line)), name);
    });
}

void ProfileFile::addSection(qint32 header, std::uint32_t hash) {
    addToTable(m_sections.entries, m_sections.used, header, hash,
               [&](qint32 line) { return m_lines[line].kind == Kind::Header; });
}

qint32 ProfileFile::findKey(qint32 header, QStringView key) const {
    return findKey(header, key, keyHash(header, key));
}

qint32 ProfileFile::findKey(qint32 header, QStringView key, std::uint32_t hash) const {
    if (!m_indexedSections.contains(header)) indexKeysOf(header);
    return findInTable(m_keys.entries, hash, [&](qint32 line) {
        const Line& entry = m_lines[line];
        return entry.kind == Kind::Key && entry.section == header &&
               sameName(keyName(lineText(line)), key);
    });
}

void ProfileFile::addKey(qint32 line, std::uint32_t hash) const {
    addToTable(m_keys.entries, m_keys.used, line, hash,
               [&](qint32 l) { return m_lines[l].kind == Kind::Key; });
}

void ProfileFile::indexKeysOf(qint32 header) const {
    m_indexedSections.insert(header);
    for (qint32 i = m_lines[header].next; i >= 0 && m_lines[i].kind != Kind::Header;
         i = m_lines[i].next) {
        if (m_lines[i].kind != Kind::Key) continue;
        // A key repeated in a section is read from its first line.
        const QStringView name = keyName(lineText(i));
        const std::uint32_t hash = keyHash(header, name);
        if (findKey(header, name, hash) < 0) addKey(i, hash);
    }
}

qint32 ProfileFile::lastKeyLine(qint32 header) const {
    if (m_appendSection == header) return m_appendLine;
    qint32 last = header;
    for (qint32 i = m_lines[header].next; i >= 0 && m_lines[i].kind != Kind::Header;
         i = m_lines[i].next)
        if (m_lines[i].kind == Kind::Key) last = i;
    return last;
}

QStringList ProfileFile::sectionKeys(const QString& section) const {
    QStringList keys;
    const qint32 header = findSection(cleanName(section));
    if (header < 0) return keys;
    // The platform lists the names into a buffer, each followed by a NUL, and keeps one byte for
    // the NUL that ends the list; the names that do not fit are not listed.
    qsizetype room = ListingBufferSize - 1;
    for (qint32 i = m_lines[header].next; i >= 0 && m_lines[i].kind != Kind::Header;
         i = m_lines[i].next) {
        if (m_lines[i].kind != Kind::Key) continue;
        const QStringView name = keyName(lineText(i));
        const qsizetype size = utf8Length(name) + 1;
        if (size > room) break;
        room -= size;
        keys.append(name.toString());
    }
    return keys;
}

QString ProfileFile::readString(const QString& section, const QString& key,
                                const QString& defaultValue, int maxChars) const {
    const qint32 header = findSection(cleanName(section));
    if (header < 0) return defaultValue;
    const qint32 line = findKey(header, cleanName(key));
    if (line < 0) return defaultValue;
    return cutText(keyValue(lineText(line)), maxChars);
}

QStringList ProfileFile::readSectionValues(const QString& section) const {
    QStringList pairs;
    for (const QString& key : sectionKeys(section)) {
        // A key whose value is empty is not listed.
        const QString value = readString(section, key);
        if (!value.isEmpty()) pairs.append(key + u'=' + value);
    }
    return pairs;
}

bool ProfileFile::sectionExists(const QString& section) const {
    return findSection(cleanName(section)) >= 0;
}

bool ProfileFile::writeString(const QString& section, const QString& key, const QString& value) {
    // Quirk "refuse-unreadable": what would read back as something else (another line, a
    // section, a comment, a shorter key or value) is refused rather than written.
    const QString name = trimBlanks(key).toString();
    const QString sectionName = trimBlanks(section).toString();
    if (!fitsOneLine(key) || !fitsOneLine(section) || !fitsOneLine(value) || name.isEmpty() ||
        name.contains(u'=') || name.front() == u'[' || name.front() == u';' ||
        sectionName.contains(u']'))
        return false;
    const QString text = name + u'=' + writtenValue(value);

    const std::uint32_t sectionHash = nameHash(sectionName, SectionSeed);
    qint32 header = findSection(sectionName, sectionHash);
    if (header < 0) {
        header = addLine(-1, u'[' + sectionName + u']', Kind::Header, -1);
        addSection(header, sectionHash);
    }
    const std::uint32_t hash = keyHash(header, name);
    if (const qint32 line = findKey(header, name, hash); line >= 0) {
        Line& entry = m_lines[line];
        entry.begin = m_text.size();
        entry.length = qint32(text.size());
        m_text += text;
    } else {
        // A new key goes after the section's last key, so that comments and blank lines that
        // close the section stay before the next header.
        const qint32 added = addLine(lastKeyLine(header), text, Kind::Key, header);
        addKey(added, hash);
        m_appendSection = header;
        m_appendLine = added;
    }
    m_modified = true;
    return true;
}

void ProfileFile::eraseSection(const QString& section) {
    const QString name = cleanName(section);
    if (findSection(name) < 0) return;
    qint32 kept = -1;
    bool erasing = false;
    for (qint32 i = m_head; i >= 0;) {
        Line& entry = m_lines[i];
        const qint32 next = entry.next;
        if (entry.kind == Kind::Header) erasing = sameName(headerName(lineText(i)), name);
        if (erasing) {
            entry.kind = Kind::Erased;
            if (kept >= 0)
                m_lines[kept].next = next;
            else
                m_head = next;
        } else {
            kept = i;
        }
        i = next;
    }
    m_tail = kept;
    m_appendSection = m_appendLine = -1;
    m_modified = true;
}

QString ProfileFile::serialized() const {
    QString text;
    text.reserve(m_text.size() + 2 * qsizetype(m_lines.size()));
    for (qint32 i = m_head; i >= 0; i = m_lines[i].next) {
        const QStringView line = lineText(i);
        if (m_lines[i].kind == Kind::Verbatim) {
            // Verbatim runs hold the line ends they were read with; all are written as CRLF.
            qsizetype start = 0;
            for (qsizetype j = 0; j < line.size(); ++j) {
                if (line[j] != u'\r' && line[j] != u'\n') continue;
                text += line.mid(start, j - start);
                text += u"\r\n";
                if (line[j] == u'\r' && j + 1 < line.size() && line[j + 1] == u'\n') ++j;
                start = j + 1;
            }
            text += line.mid(start);
        } else {
            text += line;
        }
        text += u"\r\n";
    }
    return text;
}

bool ProfileFile::flush() {
    if (m_unreadable) return false;
    if (m_truncated && QFile::exists(m_path)) {
        // The part beyond the size limit was never read: keep the original before replacing it.
        const QString backup = m_path + QStringLiteral(".bak");
        QFile::remove(backup);
        if (!QFile::copy(m_path, backup)) return false;
    }
    const QByteArray bytes = serialized().toUtf8();
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) return false;
    // Memory becomes what the file now holds, which also drops the text of replaced lines.
    m_truncated = false;
    m_modified = false;
    parse(decodeText(bytes));
    return true;
}

QString unableToWriteText(const QString& path) {
    return QCoreApplication::translate("ProfileFile", "Unable to write to %1")
        .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
}

} // namespace platform
