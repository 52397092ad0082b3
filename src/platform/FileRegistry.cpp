#include "platform/FileRegistry.h"

#include "platform/Text.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QtEndian>

#include <algorithm>

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

bool isWithin(const QString& key, const QString& ancestor) {
    return key.size() > ancestor.size() && key.at(ancestor.size()) == QLatin1Char('\\') &&
           sameName(key.left(ancestor.size()), ancestor);
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

// Null-terminated UTF-16LE data; nothing when the byte count is odd.
std::optional<QString> textFromUtf16le(const QByteArray& bytes) {
    if (bytes.size() % 2 != 0) return std::nullopt;
    QString text;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        const auto unit = static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                                (static_cast<unsigned char>(bytes[i + 1]) << 8));
        if (unit == 0) break;
        text.append(QChar(unit));
    }
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

// The parsed store: keys in file order, each with its values in file order.
struct FileRegistry::Contents {
    struct Key {
        QString path; // normalised, without the root
        QList<std::pair<QString, RegistryValue>> values;
    };
    QList<Key> keys;
    bool exists = false;  // the file is there
    bool readable = true; // it could be opened (or does not exist)
    bool whole = true;    // every line of it was understood

    Key* findKey(const QString& normalizedPath) {
        for (Key& k : keys)
            if (sameName(k.path, normalizedPath)) return &k;
        return nullptr;
    }
    const Key* findKey(const QString& normalizedPath) const {
        return const_cast<Contents*>(this)->findKey(normalizedPath);
    }
    Key& ensureKey(const QString& normalizedPath) {
        if (Key* k = findKey(normalizedPath)) return *k;
        keys.append(Key{normalizedPath, {}});
        return keys.last();
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
        if (decoder.hasError()) whole = false;
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
    Contents::Key* current = nullptr; // values outside a usable section are skipped
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
            current = nullptr;
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
            current = &contents.ensureKey(key);
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
        if (result == DataResult::Bad || !current) {
            contents.whole = false;
            continue;
        }
        auto& values = current->values;
        const auto found = std::find_if(values.begin(), values.end(),
                                        [&](const auto& v) { return sameName(v.first, name); });
        if (result == DataResult::Delete) {
            if (found != values.end()) values.erase(found);
        } else if (found != values.end()) {
            found->second = value;
        } else {
            values.append({name, value});
        }
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

// A string the quoted form cannot carry on one line (line breaks, other control characters)
// goes in the hex(1) form, which keeps every character.
bool fitsQuotedForm(const QString& text) {
    return std::none_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x20; });
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
        for (const auto& [name, value] : key.values)
            text += valueLine(name, value) + QLatin1Char('\n');
        text += QLatin1Char('\n');
    }
    return text.toUtf8();
}

Contents load(const QString& path) {
    QFile file(path);
    if (!file.exists()) return Contents{};
    Contents failed;
    failed.exists = true;
    failed.whole = false;
    if (!file.open(QIODevice::ReadOnly)) {
        failed.readable = false;
        return failed;
    }
    if (file.size() > FileRegistry::MaxStoreSize) return failed;
    return parse(file.readAll());
}

QString backupPath(const QString& path) {
    const QString base = path + QStringLiteral(".bak-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    QString candidate = base;
    for (int n = 2; QFileInfo::exists(candidate); ++n)
        candidate = base + QLatin1Char('-') + QString::number(n);
    return candidate;
}

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

QString defaultRegistryPath(const QString& executableBaseName) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (folder.isEmpty()) folder = QDir::homePath() + QStringLiteral("/.config");
    return folder + QStringLiteral("/Quillmark/") + executableBaseName + QStringLiteral(".reg");
}

FileRegistry::FileRegistry(const QString& storeFilePath) : m_path(storeFilePath) {}

bool FileRegistry::keyExists(const QString& key) const {
    const QString path = normalizeKey(key);
    const Contents contents = load(m_path);
    if (!contents.exists || !contents.readable) return false;
    if (path.isEmpty()) return true;
    // Parent keys exist whenever one of their sub-keys does.
    return std::any_of(contents.keys.begin(), contents.keys.end(), [&](const Contents::Key& k) {
        return sameName(k.path, path) || isWithin(k.path, path);
    });
}

std::optional<RegistryValue> FileRegistry::readValue(const QString& key,
                                                     const QString& name) const {
    const Contents contents = load(m_path);
    const Contents::Key* k = contents.findKey(normalizeKey(key));
    if (!k) return std::nullopt;
    for (const auto& [valueName, value] : k->values)
        if (sameName(valueName, name)) return value;
    return std::nullopt;
}

QStringList FileRegistry::valueNames(const QString& key) const {
    const Contents contents = load(m_path);
    QStringList names;
    if (const Contents::Key* k = contents.findKey(normalizeKey(key)))
        for (const auto& value : k->values)
            names.append(value.first);
    return names;
}

bool FileRegistry::createKey(const QString& key) {
    const QString path = normalizeKey(key);
    if (path.isEmpty()) return true;
    return modify([&](Contents& contents) {
        if (contents.findKey(path)) return false;
        contents.ensureKey(path);
        return true;
    });
}

bool FileRegistry::writeValue(const QString& key, const QString& name, const RegistryValue& value) {
    const QString path = normalizeKey(key);
    if (path.isEmpty()) return false; // values need a key below the root
    return modify([&](Contents& contents) {
        auto& values = contents.ensureKey(path).values;
        for (auto& [existingName, existing] : values) {
            if (sameName(existingName, name)) {
                if (sameValue(existing, value)) return false;
                existing = value;
                return true;
            }
        }
        values.append({name, value});
        return true;
    });
}

bool FileRegistry::deleteKey(const QString& key) {
    const QString path = normalizeKey(key);
    if (path.isEmpty()) return false;
    return modify([&](Contents& contents) {
        const qsizetype removed = contents.keys.removeIf([&](const Contents::Key& k) {
            return sameName(k.path, path) || isWithin(k.path, path);
        });
        return removed > 0;
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

    Contents contents = load(m_path);
    if (!contents.readable) return false; // never replace what we could not even read
    if (!change(contents)) return true;
    if (contents.exists && !contents.whole) {
        // Keep what the user had before the readable part replaces it.
        if (!QFile::copy(m_path, backupPath(m_path))) return false;
    }
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    const QByteArray bytes = serialize(contents);
    if (file.write(bytes) != bytes.size()) return false;
    const bool committed = file.commit();
    if (locked) lock.unlock();
    return committed;
}

} // namespace platform
