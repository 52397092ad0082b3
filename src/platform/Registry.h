#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <utility>

namespace platform {

// Value types of the per-user settings store, as the Windows registry has them.
// Other is any registry type the settings never write (multi-strings, 64-bit numbers, ...):
// it is kept as raw bytes with its type number so that rewriting the store preserves it.
enum class ValueType { Dword, Binary, String, ExpandString, Other };

struct RegistryValue {
    ValueType type = ValueType::String;
    std::uint32_t dword = 0;   // Dword
    QByteArray binary;         // Binary; Other: the raw bytes
    QString text;              // String, ExpandString
    std::uint32_t rawType = 0; // Other: the registry type number (7 multi-string, 11 qword, ...)

    static RegistryValue fromDword(std::uint32_t v) {
        RegistryValue r;
        r.type = ValueType::Dword;
        r.dword = v;
        return r;
    }
    static RegistryValue fromBinary(const QByteArray& bytes) {
        RegistryValue r;
        r.type = ValueType::Binary;
        r.binary = bytes;
        return r;
    }
    static RegistryValue fromText(const QString& text, ValueType type = ValueType::String) {
        RegistryValue r;
        r.type = type;
        r.text = text;
        return r;
    }
};

// The per-user typed settings store that stands in for HKEY_CURRENT_USER.
// Keys are paths with backslashes ("\Software\Quillmark\thalwise"); sections are sub-keys.
// Every read goes to the file; every write reads the file, changes one thing and replaces
// the file atomically, so two running programs each keep their own values (last writer wins
// per value). Reading never creates anything.
class Registry {
public:
    virtual ~Registry() = default;
    virtual bool keyExists(const QString& key) const = 0;
    // Nothing when the key or the value is missing or the store cannot be read.
    virtual std::optional<RegistryValue> readValue(const QString& key,
                                                   const QString& name) const = 0;
    // Value names of a key in the order they were first written; empty when missing.
    virtual QStringList valueNames(const QString& key) const = 0;
    // Creates the key and its missing parents. False when the store cannot be written, or could
    // not give the key back (a key path with a line break or half of a surrogate pair).
    virtual bool createKey(const QString& key) = 0;
    // Writes one value, creating the key. False when the store cannot be written, or could not
    // give the value back (a key path or value name with a line break or half of a surrogate
    // pair); nothing is written then.
    virtual bool writeValue(const QString& key, const QString& name,
                            const RegistryValue& value) = 0;
    // Deletes a key with its values and sub-keys. False when the store cannot be written.
    virtual bool deleteKey(const QString& key) = 0;
    // Replaces the key, with its values and sub-keys, by one that holds exactly these values in
    // this order; no values leave no key. The same as deleteKey and a writeValue for each value,
    // but a store may do it in one write. False when the store cannot be written or would not
    // give back one of the names.
    virtual bool replaceValues(const QString& key,
                               const QList<std::pair<QString, RegistryValue>>& values) {
        bool written = deleteKey(key);
        for (const auto& [name, value] : values)
            written = writeValue(key, name, value) && written;
        return written;
    }
};

} // namespace platform
