// Any bytes as the settings store file: read as the program reads it at start (its settings one
// by one, every waypoint), then one unrelated value written, then read again afresh. Whatever
// the file holds, reading never crashes, and every value read before the write reads back the
// same after it, in the same order: what is read is written back unchanged.
#include "platform/FileRegistry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

namespace {

const QString Settings = QStringLiteral("\\Software\\Quillmark\\thalwise");
const QString Waypoints = Settings + QStringLiteral("\\Waypoints");

bool sameValue(const platform::RegistryValue& a, const platform::RegistryValue& b) {
    return a.type == b.type && a.dword == b.dword && a.binary == b.binary && a.text == b.text &&
           a.rawType == b.rawType;
}

struct Read {
    QStringList names;
    std::vector<std::optional<platform::RegistryValue>> values;
};

Read readKey(const platform::FileRegistry& registry, const QString& key) {
    Read read;
    read.names = registry.valueNames(key);
    for (const QString& name : read.names)
        read.values.push_back(registry.readValue(key, name));
    return read;
}

void expectSame(const Read& before, const Read& after) {
    if (before.names != after.names) std::abort();
    for (std::size_t i = 0; i < before.values.size(); ++i) {
        const auto& a = before.values[i];
        const auto& b = after.values[i];
        // A name listed is always readable.
        if (!a || !b || !sameValue(*a, *b)) std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("thalwise.reg"));
    for (const QString& name : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden))
        QFile::remove(dir.filePath(name)); // backups of earlier inputs
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    platform::FileRegistry registry(path);
    (void)registry.keyExists(Settings);
    const Read settings = readKey(registry, Settings);
    const Read waypoints = readKey(registry, Waypoints);

    if (!registry.writeValue(QStringLiteral("\\Software\\Quillmark\\other"),
                             QStringLiteral("Written"), platform::RegistryValue::fromDword(1)))
        return 0;
    const platform::FileRegistry again(path);
    expectSame(settings, readKey(again, Settings));
    expectSame(waypoints, readKey(again, Waypoints));
    return 0;
}
