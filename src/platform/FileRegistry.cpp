#include "platform/FileRegistry.h"

#include "platform/Text.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QtEndian>

#include <sys/stat.h>

#include <algorithm>
#include <ctime>

namespace platform {

namespace {

const QString RootName = QStringLiteral("HKEY_CURRENT_USER");
const QByteArray Header = QByteArrayLiteral("Windows Registry Editor Version 5.00");
const QByteArray OldHeader = QByteArrayLiteral("REGEDIT4");

// Registry type numbers as the hex(N) form writes them.
constexpr std::uint32_t RegSz = 1, RegExpandSz = 2, RegBinary = 3, RegDword = 4;

// "\Software\\Quillmark\" and "Software\Quillmark" name the same key.
QString normalizeKey(const QString& key) {
    return key.split(QLatin1Char('\\'), Qt::SkipEmptyParts).join(QLatin1Char('\\'));
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// A name as it is looked up: every code point simply case-folded, as sameName compares them.
QString foldedName(const QString& name) {
    QString folded;
    folded.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        char32_t c = name[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < name.size() && name[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(name[i], name[i + 1]);
            ++i;
        }
        folded.append(QChar::fromUcs4(QChar::toCaseFolded(c)));
    }
    return folded;
}

// A folded key path within a folded ancestor's.
bool isWithin(const QString& key, const QString& ancestor) {
    return key.size() > ancestor.size() && key.at(ancestor.size()) == QLatin1Char('\\') &&
           key.startsWith(ancestor);
}

// Quirk "refuse-unreadable-names": a key path or value name is written only when the file can
// give it back: a line break would end its line (the registry editor's form has no escape for
// one) and half of a surrogate pair cannot be written in UTF-8.
bool fitsNameForm(QStringView name) {
    return !name.contains(u'\n') && !name.contains(u'\r') && isWellFormed(name);
}

QByteArray utf16leBytes(const QString& text) {
    QByteArray bytes;
    bytes.reserve((text.size() + 1) * 2);
    for (const QChar c : text) {
        bytes.append(static_cast<char>(c.unicode() & 0xFF));
        bytes.append(static_cast<char>(c.unicode() >> 8));
    }
    bytes.append('\0');
    bytes.append('\0'); // the registry keeps the terminating null of REG_SZ data
    return bytes;
}

// UTF-16LE data ended by a NUL; nothing when the byte count is odd.
std::optional<QString> textFromUtf16le(const QByteArray& bytes) {
    if (bytes.size() % 2 != 0) return std::nullopt;
    QString text;
    text.reserve(bytes.size() / 2);
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        text.append(QChar(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                                (static_cast<unsigned char>(bytes[i + 1]) << 8))));
    // Quirk "nul-kept": only the final NUL ends the string; one inside it is part of the value,
    // so that the value reads back whole after the store is rewritten.
    if (text.endsWith(QChar(u'\0'))) text.chop(1);
    return text;
}

RegistryValue valueFromHex(std::uint32_t type, const QByteArray& bytes) {
    RegistryValue value;
    if (type == RegBinary) {
        value.type = ValueType::Binary;
        value.binary = bytes;
        return value;
    }
    if (type == RegDword && bytes.size() == 4) {
        value.type = ValueType::Dword;
        value.dword = qFromLittleEndian<std::uint32_t>(bytes.constData());
        return value;
    }
    if (type == RegSz || type == RegExpandSz) {
        if (const auto text = textFromUtf16le(bytes)) {
            value.type = type == RegSz ? ValueType::String : ValueType::ExpandString;
            value.text = *text;
            return value;
        }
    }
    value.type = ValueType::Other;
    value.rawType = type;
    value.binary = bytes;
    return value;
}

} // namespace

namespace {

bool sameValue(const RegistryValue& a, const RegistryValue& b) {
    if (a.type != b.type) return false;
    switch (a.type) {
    case ValueType::Dword:
        return a.dword == b.dword;
    case ValueType::Binary:
        return a.binary == b.binary;
    case ValueType::String:
    case ValueType::ExpandString:
        return a.text == b.text;
    case ValueType::Other:
        return a.rawType == b.rawType && a.binary == b.binary;
    }
    return false;
}

} // namespace

// The parsed store: keys in file order, each with its values in file order, both found through
// a hash of their folded names.
struct FileRegistry::Contents {
    struct Value {
        QString name;
        RegistryValue value;
        bool removed = false; // deleted by a later line: skipped, its place kept
    };
    struct Key {
        QString path;   // normalised, without the root
        QString folded; // the path as it is looked up
        std::vector<Value> values;
        QHash<QString, qsizetype> byName; // folded name -> place in values

        const RegistryValue* find(const QString& name) const {
            const auto found = byName.constFind(foldedName(name));
            return found == byName.cend() ? nullptr : &values[std::size_t(*found)].value;
        }
        // Replaces the value in its place or appends it; false when it was there unchanged.
        bool set(const QString& name, const RegistryValue& value) {
            const QString folded = foldedName(name);
            if (const auto found = byName.constFind(folded); found != byName.cend()) {
                RegistryValue& existing = values[std::size_t(*found)].value;
                if (sameValue(existing, value)) return false;
                existing = value;
                return true;
            }
            byName.insert(folded, qsizetype(values.size()));
            values.push_back(Value{name, value, false});
            return true;
        }
        void remove(const QString& name) {
            if (const auto found = byName.constFind(foldedName(name)); found != byName.cend()) {
                values[std::size_t(*found)].removed = true;
                byName.erase(found);
            }
        }
    };
    std::vector<Key> keys;
    QHash<QString, qsizetype> byPath; // folded path -> place in keys
    bool exists = false;              // the file is there
    bool readable = true;             // it could be opened (or does not exist)
    bool whole = true;                // every line of it was understood

    const Key* findKey(const QString& normalizedPath) const {
        const auto found = byPath.constFind(foldedName(normalizedPath));
        return found == byPath.cend() ? nullptr : &keys[std::size_t(*found)];
    }
    qsizetype ensureKey(const QString& normalizedPath) {
        const QString folded = foldedName(normalizedPath);
        if (const auto found = byPath.constFind(folded); found != byPath.cend()) return *found;
        byPath.insert(folded, qsizetype(keys.size()));
        keys.push_back(Key{normalizedPath, folded, {}, {}});
        return qsizetype(keys.size()) - 1;
    }
    // Removes the key with its sub-keys; how many keys went.
    qsizetype removeKeys(const QString& normalizedPath) {
        const QString folded = foldedName(normalizedPath);
        const auto gone = std::remove_if(keys.begin(), keys.end(), [&](const Key& k) {
            return k.folded == folded || isWithin(k.folded, folded);
        });
        const auto removed = qsizetype(keys.end() - gone);
        keys.erase(gone, keys.end());
        byPath.clear();
        for (std::size_t i = 0; i < keys.size(); ++i)
            byPath.insert(keys[i].folded, qsizetype(i));
        return removed;
    }
};

namespace {

using Contents = FileRegistry::Contents;

// Parses one quoted string starting at text[pos] == '"'; the registry editor escapes only
// backslash and double quote. Advances pos past the closing quote.
std::optional<QString> parseQuoted(const QString& text, qsizetype& pos) {
    if (pos >= text.size() || text[pos] != QLatin1Char('"')) return std::nullopt;
    QString result;
    for (++pos; pos < text.size(); ++pos) {
        const QChar c = text[pos];
        if (c == QLatin1Char('"')) {
            ++pos;
            return result;
        }
        if (c == QLatin1Char('\\')) {
            if (pos + 1 >= text.size()) return std::nullopt;
            const QChar next = text[pos + 1];
            if (next != QLatin1Char('\\') && next != QLatin1Char('"')) return std::nullopt;
            result.append(next);
            ++pos;
            continue;
        }
        result.append(c);
    }
    return std::nullopt; // cut off before the closing quote
}

void skipSpaces(const QString& text, qsizetype& pos) {
    while (pos < text.size() && (text[pos] == QLatin1Char(' ') || text[pos] == QLatin1Char('\t')))
        ++pos;
}

bool isHexDigit(QChar c) {
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

// "00,4a,ff" (already joined across continuation lines); every byte exactly two digits.
std::optional<QByteArray> parseHexBytes(const QString& list) {
    QByteArray bytes;
    const QString trimmed = list.trimmed();
    if (trimmed.isEmpty()) return bytes;
    const QStringList parts = trimmed.split(QLatin1Char(','));
    for (const QString& rawPart : parts) {
        const QString part = rawPart.trimmed();
        if (part.size() != 2 || !isHexDigit(part[0]) || !isHexDigit(part[1])) return std::nullopt;
        bytes.append(static_cast<char>(part.toUInt(nullptr, 16)));
    }
    return bytes;
}

// The data after "=": a string, dword:, hex:, hex(N): or "-" (delete). lines/index allow hex
// data to continue over lines ending in a backslash; index is left on the last line used.
enum class DataResult { Value, Delete, Bad };
DataResult parseData(QString data, const QStringList& lines, qsizetype& index, RegistryValue& out) {
    data = data.trimmed();
    if (data == QLatin1String("-")) return DataResult::Delete;
    if (data.startsWith(QLatin1Char('"'))) {
        qsizetype pos = 0;
        const auto text = parseQuoted(data, pos);
        if (!text || pos != data.size()) return DataResult::Bad;
        out = RegistryValue{};
        out.type = ValueType::String;
        out.text = *text;
        return DataResult::Value;
    }
    if (data.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive)) {
        const QString digits = data.mid(6);
        if (digits.size() != 8 || !std::all_of(digits.begin(), digits.end(), isHexDigit))
            return DataResult::Bad;
        out = RegistryValue{};
        out.type = ValueType::Dword;
        out.dword = digits.toUInt(nullptr, 16);
        return DataResult::Value;
    }
    if (!data.startsWith(QLatin1String("hex"), Qt::CaseInsensitive)) return DataResult::Bad;
    std::uint32_t type = RegBinary;
    qsizetype colon = 3;
    if (data.size() > 3 && data[3] == QLatin1Char('(')) {
        const qsizetype close = data.indexOf(QLatin1Char(')'), 4);
        if (close < 0) return DataResult::Bad;
        bool ok = false;
        type = data.mid(4, close - 4).toUInt(&ok, 16);
        if (!ok) return DataResult::Bad;
        colon = close + 1;
    }
    if (colon >= data.size() || data[colon] != QLatin1Char(':')) return DataResult::Bad;
    QString list = data.mid(colon + 1);
    while (list.endsWith(QLatin1Char('\\'))) {
        list.chop(1);
        if (index + 1 >= lines.size())
            return DataResult::Bad; // the file stops inside a continued value
        list += lines[++index].trimmed();
    }
    const auto bytes = parseHexBytes(list);
    if (!bytes) return DataResult::Bad;
    out = valueFromHex(type, *bytes);
    return DataResult::Value;
}

QStringList splitLines(const QByteArray& bytes, bool& whole) {
    if (bytes.startsWith("\xFF\xFE")) {
        // The registry editor's own UTF-16LE export.
        QStringDecoder decoder(QStringDecoder::Utf16LE, QStringDecoder::Flag::Stateless);
        const QString text = decoder.decode(bytes.mid(2));
        // Quirk "utf16-damage-kept": a lone surrogate or a cut unit cannot be written back as
        // it was read, so the file counts as damaged and is kept as a backup before a write.
        if (decoder.hasError() || bytes.size() % 2 != 0 || !isWellFormed(text)) whole = false;
        QStringList lines = text.split(QLatin1Char('\n'));
        for (QString& line : lines)
            if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        if (!text.isEmpty() && !text.endsWith(QLatin1Char('\n'))) whole = false;
        if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
        return lines;
    }
    QByteArray body = bytes;
    if (body.startsWith("\xEF\xBB\xBF")) body.remove(0, 3);
    // A file we wrote always ends in a newline; one that does not was cut short.
    if (!body.isEmpty() && !body.endsWith('\n')) whole = false;
    QList<QByteArray> rawLines = body.split('\n');
    if (!rawLines.isEmpty() && rawLines.last().isEmpty()) rawLines.removeLast();
    QStringList lines;
    lines.reserve(rawLines.size());
    for (QByteArray& raw : rawLines) {
        if (raw.endsWith('\r')) raw.chop(1);
        // Decoded line by line so that one damaged byte does not change every other line.
        if (!isValidUtf8(raw)) whole = false;
        lines.append(decodeText(raw));
    }
    return lines;
}

Contents parse(const QByteArray& bytes) {
    Contents contents;
    contents.exists = true;
    const QStringList lines = splitLines(bytes, contents.whole);
    bool headerSeen = false;
    qsizetype current = -1; // values outside a usable section are skipped
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';'))) continue;
        if (!headerSeen) {
            headerSeen = true;
            const QByteArray first = line.toUtf8();
            if (first == Header || first == OldHeader) continue;
            contents.whole = false; // no header: still read what follows
        }
        if (line.startsWith(QLatin1Char('['))) {
            current = -1;
            if (!line.endsWith(QLatin1Char(']'))) {
                contents.whole = false;
                continue;
            }
            const QString path = line.mid(1, line.size() - 2);
            const qsizetype slash = path.indexOf(QLatin1Char('\\'));
            const QString root = slash < 0 ? path : path.left(slash);
            if (!sameName(root, RootName) && !sameName(root, QStringLiteral("HKCU"))) {
                contents.whole = false; // another root or a deletion entry: not ours to keep
                continue;
            }
            const QString key = normalizeKey(slash < 0 ? QString() : path.mid(slash + 1));
            if (key.isEmpty()) {
                contents.whole = false;
                continue;
            }
            current = contents.ensureKey(key);
            continue;
        }
        if (!line.startsWith(QLatin1Char('"')) && !line.startsWith(QLatin1Char('@'))) {
            contents.whole = false;
            continue;
        }
        QString name;
        qsizetype pos = 0;
        if (line.startsWith(QLatin1Char('@'))) {
            pos = 1;
        } else {
            const auto quoted = parseQuoted(line, pos);
            if (!quoted) {
                contents.whole = false;
                continue;
            }
            name = *quoted;
        }
        skipSpaces(line, pos);
        if (pos >= line.size() || line[pos] != QLatin1Char('=')) {
            contents.whole = false;
            continue;
        }
        RegistryValue value;
        const DataResult result = parseData(line.mid(pos + 1), lines, i, value);
        if (result == DataResult::Bad || current < 0) {
            contents.whole = false;
            continue;
        }
        Contents::Key& key = contents.keys[std::size_t(current)];
        if (result == DataResult::Delete)
            key.remove(name);
        else
            key.set(name, value);
    }
    return contents;
}

QString quoted(const QString& text) {
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('"')) out.append(QLatin1Char('\\'));
        out.append(c);
    }
    out.append(QLatin1Char('"'));
    return out;
}

// Bytes as the registry editor lists them, wrapped at about 80 columns.
QString hexList(const QString& prefix, const QByteArray& bytes) {
    QString out = prefix;
    qsizetype column = prefix.size();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        out +=
            QStringLiteral("%1").arg(static_cast<unsigned char>(bytes[i]), 2, 16, QLatin1Char('0'));
        column += 2;
        if (i + 1 < bytes.size()) {
            out.append(QLatin1Char(','));
            ++column;
            if (column > 76) {
                out += QStringLiteral("\\\n  ");
                column = 2;
            }
        }
    }
    return out;
}

// A string the quoted form cannot carry on one line (line breaks, other control characters) or in
// UTF-8 (a lone surrogate) goes in the hex(1) form, which keeps every UTF-16 unit.
bool fitsQuotedForm(const QString& text) {
    return std::none_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x20; }) &&
           isWellFormed(text);
}

QString valueLine(const QString& name, const RegistryValue& value) {
    const QString left = (name.isEmpty() ? QStringLiteral("@") : quoted(name)) + QLatin1Char('=');
    switch (value.type) {
    case ValueType::Dword:
        return left + QStringLiteral("dword:%1").arg(value.dword, 8, 16, QLatin1Char('0'));
    case ValueType::Binary:
        return hexList(left + QStringLiteral("hex:"), value.binary);
    case ValueType::String:
        if (fitsQuotedForm(value.text)) return left + quoted(value.text);
        return hexList(left + QStringLiteral("hex(1):"), utf16leBytes(value.text));
    case ValueType::ExpandString:
        return hexList(left + QStringLiteral("hex(2):"), utf16leBytes(value.text));
    case ValueType::Other:
        return hexList(left + QStringLiteral("hex(%1):").arg(value.rawType, 0, 16), value.binary);
    }
    return left + QStringLiteral("hex:");
}

QByteArray serialize(const Contents& contents) {
    QString text = QString::fromLatin1(Header) + QStringLiteral("\n\n");
    for (const auto& key : contents.keys) {
        text += QLatin1Char('[') + RootName + QLatin1Char('\\') + key.path + QStringLiteral("]\n");
        for (const auto& value : key.values)
            if (!value.removed) text += valueLine(value.name, value.value) + QLatin1Char('\n');
        text += QLatin1Char('\n');
    }
    return text.toUtf8();
}

QString backupPath(const QString& path) {
    const QString base = path + QStringLiteral(".bak-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    QString candidate = base;
    for (int n = 2; QFileInfo::exists(candidate); ++n)
        candidate = base + QLatin1Char('-') + QString::number(n);
    return candidate;
}

} // namespace

QString defaultRegistryPath(const QString& executableBaseName) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (folder.isEmpty()) folder = QDir::homePath() + QStringLiteral("/.config");
    return folder + QStringLiteral("/Quillmark/") + executableBaseName + QStringLiteral(".reg");
}

FileRegistry::FileRegistry(const QString& storeFilePath) : m_path(storeFilePath) {}
FileRegistry::~FileRegistry() = default;

// The file's identity, size and modification time, and when they were taken.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    bool operator==(const FileStamp& other) const {
        return device == other.device && inode == other.inode && size == other.size &&
               modified.tv_sec == other.modified.tv_sec &&
               modified.tv_nsec == other.modified.tv_nsec;
    }
};

struct FileRegistry::Snapshot {
    Contents contents;
    bool kept = false; // the file was read whole: stamp and bytes stand for contents
    FileStamp stamp;
    timespec stampedAt{}; // the clock when the stamp was taken
    QByteArray bytes;
};

namespace {

timespec wallClock() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return now;
}

std::optional<FileStamp> stampOf(const struct stat& info) {
    if (!S_ISREG(info.st_mode)) return std::nullopt;
    return FileStamp{info.st_dev, info.st_ino, info.st_size, info.st_mtim};
}

std::optional<FileStamp> stampOf(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) return std::nullopt;
    return stampOf(info);
}

// A change of the file after `at` gives it another modification time unless that time is
// within the clock's step of `at`: file times come from a clock that moves in steps of a few
// milliseconds (whole seconds on some file systems, whose times have no fraction).
bool tellsChanges(const FileStamp& stamp, const timespec& at) {
    const qint64 margin = stamp.modified.tv_nsec == 0 ? 2'000'000'000 : 100'000'000;
    const qint64 apart = (qint64(at.tv_sec) - stamp.modified.tv_sec) * 1'000'000'000 +
                         (at.tv_nsec - stamp.modified.tv_nsec);
    return apart > margin || apart < -margin;
}

} // namespace

FileRegistry::Contents& FileRegistry::current(bool verify) const {
    // Quirk "parse-once": the parsed store is kept while the file is unchanged, instead of
    // parsing the whole file again for every value read.
    const timespec now = wallClock();
    const std::optional<FileStamp> stamp = stampOf(m_path);
    if (m_snapshot && m_snapshot->kept && stamp && *stamp == m_snapshot->stamp && !verify &&
        tellsChanges(*stamp, m_snapshot->stampedAt))
        return m_snapshot->contents;

    QFile file(m_path);
    if (!file.exists()) {
        m_snapshot = std::make_unique<Snapshot>();
        return m_snapshot->contents;
    }
    Contents failed;
    failed.exists = true;
    failed.whole = false;
    failed.readable = file.open(QIODevice::ReadOnly);
    if (!failed.readable || !stamp || file.size() > MaxStoreSize) {
        m_snapshot = std::make_unique<Snapshot>();
        m_snapshot->contents = std::move(failed);
        return m_snapshot->contents;
    }
    QByteArray bytes = file.readAll();
    if (m_snapshot && m_snapshot->kept && bytes == m_snapshot->bytes) {
        // Touched or rewritten with the same bytes: the parse stands, with the new stamp.
        m_snapshot->stamp = *stamp;
        m_snapshot->stampedAt = now;
        return m_snapshot->contents;
    }
    auto snapshot = std::make_unique<Snapshot>();
    snapshot->contents = parse(bytes);
    snapshot->kept = true;
    snapshot->stamp = *stamp;
    snapshot->stampedAt = now;
    snapshot->bytes = std::move(bytes);
    m_snapshot = std::move(snapshot);
    return m_snapshot->contents;
}

bool FileRegistry::keyExists(const QString& key) const {
    const QString path = normalizeKey(key);
    const Contents& contents = current(false);
    if (!contents.exists || !contents.readable) return false;
    if (path.isEmpty()) return true;
    // Parent keys exist whenever one of their sub-keys does.
    const QString folded = foldedName(path);
    return contents.byPath.contains(folded) ||
           std::any_of(contents.keys.begin(), contents.keys.end(),
                       [&](const Contents::Key& k) { return isWithin(k.folded, folded); });
}

std::optional<RegistryValue> FileRegistry::readValue(const QString& key,
                                                     const QString& name) const {
    const Contents::Key* k = current(false).findKey(normalizeKey(key));
    if (!k) return std::nullopt;
    if (const RegistryValue* value = k->find(name)) return *value;
    return std::nullopt;
}

QStringList FileRegistry::valueNames(const QString& key) const {
    QStringList names;
    if (const Contents::Key* k = current(false).findKey(normalizeKey(key)))
        for (const auto& value : k->values)
            if (!value.removed) names.append(value.name);
    return names;
}

bool FileRegistry::createKey(const QString& key) {
    const QString path = normalizeKey(key);
    if (path.isEmpty()) return true;
    if (!fitsNameForm(path)) return false;
    return modify([&](Contents& contents) {
        if (contents.findKey(path)) return false;
        contents.ensureKey(path);
        return true;
    });
}

bool FileRegistry::writeValue(const QString& key, const QString& name, const RegistryValue& value) {
    const QString path = normalizeKey(key);
    if (path.isEmpty()) return false; // values need a key below the root
    if (!fitsNameForm(path) || !fitsNameForm(name)) return false;
    return modify([&](Contents& contents) {
        return contents.keys[std::size_t(contents.ensureKey(path))].set(name, value);
    });
}

bool FileRegistry::deleteKey(const QString& key) {
    const QString path = normalizeKey(key);
    if (path.isEmpty()) return false;
    return modify([&](Contents& contents) { return contents.removeKeys(path) > 0; });
}

bool FileRegistry::replaceValues(const QString& key,
                                 const QList<std::pair<QString, RegistryValue>>& values) {
    const QString path = normalizeKey(key);
    if (path.isEmpty() || !fitsNameForm(path)) return false;
    if (!std::all_of(values.begin(), values.end(),
                     [](const auto& value) { return fitsNameForm(value.first); }))
        return false;
    // Quirk "batch-replace": a whole section (every waypoint) costs one write of the file, not
    // one per value; each write re-reads and replaces the whole store.
    return modify([&](Contents& contents) {
        const bool removed = contents.removeKeys(path) > 0;
        if (values.isEmpty()) return removed;
        Contents::Key& replaced = contents.keys[std::size_t(contents.ensureKey(path))];
        for (const auto& [name, value] : values)
            replaced.set(name, value);
        return true;
    });
}

bool FileRegistry::modify(const std::function<bool(Contents&)>& change) {
    const QString folder = QFileInfo(m_path).absolutePath();
    if (!QFileInfo::exists(folder)) {
        // Without a folder there is no store yet: create it only for a real change.
        Contents empty;
        if (!change(empty)) return true;
        if (!QDir().mkpath(folder)) return false;
    }
    // Two programs exiting together must not interleave their read-change-write steps. A lock
    // left by a crashed program goes stale; a busy one is waited for a little, then ignored
    // rather than losing the write.
    QLockFile lock(m_path + QStringLiteral(".lock"));
    lock.setStaleLockTime(10000);
    const bool locked = lock.tryLock(2000);

    // A write builds on the bytes the file holds now, never on what a time stamp suggests.
    Contents& contents = current(true);
    if (!contents.readable) return false; // never replace what we could not even read
    // The change is made on the parsed store itself: whatever happens next, it no longer
    // stands for the file until it has been written.
    m_snapshot->kept = false;
    if (!change(contents)) {
        m_snapshot->kept = true; // nothing changed
        return true;
    }
    if (contents.exists && !contents.whole) {
        // Keep what the user had before the readable part replaces it.
        if (!QFile::copy(m_path, backupPath(m_path))) {
            m_snapshot.reset();
            return false;
        }
    }
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly)) {
        m_snapshot.reset();
        return false;
    }
    QByteArray bytes = serialize(contents);
    if (file.write(bytes) != bytes.size()) {
        m_snapshot.reset();
        return false;
    }
    // The new file keeps the identity and time of what was just written under its temporary
    // name; a program that replaces it after this gives it another identity.
    struct stat written {};
    const bool stamped = file.flush() && ::fstat(file.handle(), &written) == 0;
    const timespec writtenAt = wallClock();
    const bool committed = file.commit();
    if (locked) lock.unlock();
    const std::optional<FileStamp> stamp = stamped ? stampOf(written) : std::nullopt;
    if (!committed || !stamp) {
        m_snapshot.reset();
        return committed;
    }
    contents.exists = true;
    contents.whole = true;
    m_snapshot->kept = true;
    m_snapshot->stamp = *stamp;
    m_snapshot->stampedAt = writtenAt;
    m_snapshot->bytes = std::move(bytes);
    return true;
}

} // namespace platform
