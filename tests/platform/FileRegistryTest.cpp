#include "platform/FileRegistry.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using platform::FileRegistry;
using platform::RegistryValue;
using platform::ValueType;

namespace {

const QString Key = QStringLiteral("\\Software\\Quillmark\\thalwise");

RegistryValue dword(std::uint32_t v) {
    return RegistryValue::fromDword(v);
}
RegistryValue binary(const QByteArray& b) {
    return RegistryValue::fromBinary(b);
}
RegistryValue text(const QString& t, ValueType type = ValueType::String) {
    return RegistryValue::fromText(t, type);
}

bool sameValue(const RegistryValue& a, const RegistryValue& b) {
    return a.type == b.type && a.dword == b.dword && a.binary == b.binary && a.text == b.text &&
           a.rawType == b.rawType;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QStringList backups(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("*.reg.bak-*")}, QDir::Files);
}

class FileRegistryTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString path() const { return m_dir.filePath(QStringLiteral("Quillmark/thalwise.reg")); }
    QString folder() const { return m_dir.filePath(QStringLiteral("Quillmark")); }
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(FileRegistryTest, ReadingAMissingStoreCreatesNothing) {
    FileRegistry registry(path());
    EXPECT_FALSE(registry.keyExists(Key));
    EXPECT_FALSE(registry.readValue(Key, QStringLiteral("HomeLat")).has_value());
    EXPECT_TRUE(registry.valueNames(Key).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(folder()));
}

TEST_F(FileRegistryTest, EveryTypeSurvivesTheFile) {
    const QByteArray nan8("\x01\x00\x00\x00\x00\x00\xf8\x7f", 8);
    const QByteArray longBinary(100, '\xab');
    const struct {
        const char* name;
        RegistryValue value;
    } cases[] = {
        {"DwordZero", dword(0)},
        {"DwordMax", dword(0xFFFFFFFFu)},
        {"DwordNegative", dword(static_cast<std::uint32_t>(-5))},
        {"BinaryEmpty", binary({})},
        {"BinaryNaN", binary(nan8)},
        {"BinaryLong", binary(longBinary)},
        {"Empty", text(QString())},
        {"Quotes", text(QStringLiteral("say \"hi\""))},
        {"Backslashes", text(QStringLiteral("C:\\Users\\me\\"))},
        {"TrailingBackslash", text(QStringLiteral("\\"))},
        {"NonAscii", text(QStringLiteral("Temp 72\u00B0F \u20AC \u65E5\u672C \U0001F30A"))},
        {"LineBreaks", text(QStringLiteral("one\r\ntwo\tthree"))},
        {"Nul", text(QStringLiteral("A") + QChar(0) + QStringLiteral("B"))},
        {"LoneSurrogate", text(QString(QChar(0xD83D)) + QStringLiteral("x"))},
        {"Expandable", text(QStringLiteral("%USERPROFILE%\\Charts"), ValueType::ExpandString)},
        {"ExpandableEmpty", text(QString(), ValueType::ExpandString)},
        {"", text(QStringLiteral("the default value"))},
        {"Name with \"quotes\" and \\", dword(7)},
        {"=[odd]", text(QStringLiteral("=[x]"))},
    };
    {
        FileRegistry writer(path());
        for (const auto& c : cases)
            ASSERT_TRUE(writer.writeValue(Key, QString::fromUtf8(c.name), c.value)) << c.name;
    }
    FileRegistry reader(path());
    for (const auto& c : cases) {
        const auto read = reader.readValue(Key, QString::fromUtf8(c.name));
        ASSERT_TRUE(read.has_value()) << c.name;
        EXPECT_TRUE(sameValue(*read, c.value)) << c.name;
    }
    QStringList expectedNames;
    for (const auto& c : cases)
        expectedNames.append(QString::fromUtf8(c.name));
    EXPECT_EQ(reader.valueNames(Key), expectedNames);
    EXPECT_TRUE(backups(folder()).isEmpty());
}

// A key path or value name the file cannot give back is refused, and nothing is written; every
// other name reads back whole from a fresh reader.
TEST_F(FileRegistryTest, RefusesNamesItCouldNotGiveBack) {
    const QString lone(QChar(0xDC00));
    const QString nul(QChar(0));
    const struct {
        QString key, name;
        bool stored;
    } cases[] = {
        {Key, "Home\nLat", false},
        {Key, "Home\rLat", false},
        {Key, "Lat" + lone, false},
        {Key + "\\Way\npoints", "0", false},
        {Key + "\\Way" + lone, "0", false},
        {Key, "A" + nul + "B", true},
        {Key, "[0]", true},
        {Key, "\"] = @", true},
        {Key + "\\[Way]points]", "0", true},
        {Key + "\\Fish \U0001F41F", "\U0001F41F", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString(c.key + "|" + c.name).toStdString());
        QFile::remove(path());
        FileRegistry writer(path());
        ASSERT_TRUE(writer.writeValue("Software\\Other", "Kept", dword(1)));
        const QByteArray before = readAll(path());
        EXPECT_EQ(writer.writeValue(c.key, c.name, text("v")), c.stored);
        EXPECT_EQ(writer.replaceValues(c.key, {{c.name, text("w")}}), c.stored);
        if (c.key != Key) EXPECT_EQ(writer.createKey(c.key + "\\Sub"), c.stored);
        if (!c.stored) {
            EXPECT_EQ(readAll(path()), before);
            continue;
        }
        const FileRegistry reader(path());
        const auto read = reader.readValue(c.key, c.name);
        ASSERT_TRUE(read.has_value());
        EXPECT_EQ(read->text, "w");
        EXPECT_EQ(reader.valueNames(c.key), QStringList{c.name});
        EXPECT_EQ(reader.keyExists(c.key + "\\Sub"), c.key != Key);
        EXPECT_TRUE(reader.readValue("Software\\Other", "Kept").has_value());
    }
}

TEST_F(FileRegistryTest, WritesTheRegistryEditorTextForm) {
    FileRegistry registry(path());
    ASSERT_TRUE(registry.writeValue(Key, QStringLiteral("DaysToKeep"), dword(7)));
    ASSERT_TRUE(registry.writeValue(Key, QStringLiteral("HomeLat"),
                                    binary(QByteArray("\x00\x00\x00\x00\x00\x80\x45\x40", 8))));
    ASSERT_TRUE(registry.writeValue(Key, QStringLiteral("DataFolder"),
                                    text(QStringLiteral("C:\\Charts\\ \"new\""))));
    ASSERT_TRUE(registry.writeValue(Key, QStringLiteral("Path"),
                                    text(QStringLiteral("a"), ValueType::ExpandString)));
    ASSERT_TRUE(registry.writeValue(Key + QStringLiteral("\\Waypoints"), QStringLiteral("0"),
                                    text(QStringLiteral("Lat=1"))));
    const QByteArray expected = "Windows Registry Editor Version 5.00\n"
                                "\n"
                                "[HKEY_CURRENT_USER\\Software\\Quillmark\\thalwise]\n"
                                "\"DaysToKeep\"=dword:00000007\n"
                                "\"HomeLat\"=hex:00,00,00,00,00,80,45,40\n"
                                "\"DataFolder\"=\"C:\\\\Charts\\\\ \\\"new\\\"\"\n"
                                "\"Path\"=hex(2):61,00,00,00\n"
                                "\n"
                                "[HKEY_CURRENT_USER\\Software\\Quillmark\\thalwise\\Waypoints]\n"
                                "\"0\"=\"Lat=1\"\n"
                                "\n";
    EXPECT_EQ(readAll(path()), expected);
}

TEST_F(FileRegistryTest, ReadsWhatAPersonOrTheRegistryEditorWrote) {
    // CRLF line ends, a byte-order mark, comments, blank lines, upper-case hex, a long binary
    // continued over lines, a repeated section, names in another case, a 64-bit value.
    QDir().mkpath(folder());
    writeAll(path(), "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n\r\n"
                     "; written by hand\r\n"
                     "[HKEY_CURRENT_USER\\SOFTWARE\\quillmark\\Thalwise]\r\n"
                     "\"DaysToKeep\" = dword:0000001E\r\n"
                     "\"Blob\"=hex:01,02,03,\\\r\n"
                     "  04,05\r\n"
                     "\"Big\"=hex(b):01,00,00,00,00,00,00,00\r\n"
                     "\r\n"
                     "[HKEY_CURRENT_USER\\Software\\Quillmark\\thalwise]\r\n"
                     "\"Name\"=\"x\"\r\n"
                     "\"AsDword\"=hex(4):2a,00,00,00\r\n"
                     "\"AsString\"=hex(1):41,00,42,00,00,00\r\n");
    FileRegistry registry(path());
    EXPECT_TRUE(registry.keyExists(Key));
    EXPECT_TRUE(registry.keyExists(QStringLiteral("\\Software\\Quillmark")));
    EXPECT_FALSE(registry.keyExists(Key + QStringLiteral("\\Waypoints")));
    EXPECT_EQ(registry.readValue(Key, QStringLiteral("daystokeep"))->dword, 30u);
    EXPECT_EQ(registry.readValue(Key, QStringLiteral("Blob"))->binary,
              QByteArray("\x01\x02\x03\x04\x05"));
    const auto big = registry.readValue(Key, QStringLiteral("Big"));
    EXPECT_EQ(big->type, ValueType::Other);
    EXPECT_EQ(big->rawType, 11u);
    EXPECT_EQ(registry.readValue(Key, QStringLiteral("AsDword"))->dword, 42u);
    EXPECT_EQ(registry.readValue(Key, QStringLiteral("AsString"))->text, QStringLiteral("AB"));
    EXPECT_EQ(registry.valueNames(Key),
              QStringList({"DaysToKeep", "Blob", "Big", "Name", "AsDword", "AsString"}));

    // A write keeps the unfamiliar value as it was, and needs no backup: all was understood.
    ASSERT_TRUE(registry.writeValue(Key, QStringLiteral("Name"), text(QStringLiteral("y"))));
    EXPECT_TRUE(backups(folder()).isEmpty());
    EXPECT_TRUE(sameValue(*registry.readValue(Key, QStringLiteral("Big")), *big));
}

TEST_F(FileRegistryTest, WhatIsReadIsWrittenBackUnchangedOrKeptAsABackup) {
    const QByteArray header = "Windows Registry Editor Version 5.00\n\n"
                              "[HKEY_CURRENT_USER\\Software\\Quillmark\\thalwise]\n";
    QByteArray utf16("\xFF\xFE");
    for (const QChar c : QString::fromLatin1(header + "\"V\"=\"") + QChar(0xD83D) + "A\"\n")
        utf16.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
    const QString nulInside = QStringLiteral("A") + QChar(0) + QStringLiteral("B");
    const struct {
        const char* name;
        QByteArray file;
        QString value;
        bool damaged;
    } cases[] = {
        {"hexNulInside", header + "\"V\"=hex(1):41,00,00,00,42,00,00,00\n", nulInside, false},
        {"quotedNulInside", header + QByteArray("\"V\"=\"A\0B\"\n", 10), nulInside, false},
        {"hexLoneSurrogate", header + "\"V\"=hex(1):3d,d8,41,00,00,00\n",
         QString(QChar(0xD83D)) + "A", false},
        {"utf16LoneSurrogate", utf16, QString(QChar(0xD83D)) + "A", true},
    };
    QDir().mkpath(folder());
    for (const auto& c : cases) {
        for (const QString& old : backups(folder()))
            QFile::remove(QDir(folder()).filePath(old));
        writeAll(path(), c.file);
        FileRegistry writer(path());
        EXPECT_EQ(writer.readValue(Key, QStringLiteral("V"))->text, c.value) << c.name;
        ASSERT_TRUE(writer.writeValue(Key, QStringLiteral("Other"), dword(1))) << c.name;
        EXPECT_EQ(FileRegistry(path()).readValue(Key, QStringLiteral("V"))->text, c.value)
            << c.name;
        const QStringList kept = backups(folder());
        EXPECT_EQ(kept.size(), c.damaged ? 1 : 0) << c.name;
        if (!kept.isEmpty()) EXPECT_EQ(readAll(QDir(folder()).filePath(kept.first())), c.file);
    }
}

TEST_F(FileRegistryTest, TwoStoresOnOneFileKeepEachOthersValues) {
    FileRegistry first(path());
    FileRegistry second(path());
    ASSERT_TRUE(first.writeValue(Key, QStringLiteral("A"), dword(1)));
    ASSERT_TRUE(second.writeValue(Key, QStringLiteral("B"), dword(2)));
    ASSERT_TRUE(first.writeValue(Key, QStringLiteral("C"), dword(3)));
    ASSERT_TRUE(second.writeValue(Key, QStringLiteral("A"), dword(10)));
    ASSERT_TRUE(first.writeValue(Key, QStringLiteral("B"), dword(20)));
    for (const FileRegistry* r : {&first, &second}) {
        EXPECT_EQ(r->readValue(Key, QStringLiteral("A"))->dword, 10u);
        EXPECT_EQ(r->readValue(Key, QStringLiteral("B"))->dword, 20u);
        EXPECT_EQ(r->readValue(Key, QStringLiteral("C"))->dword, 3u);
        EXPECT_EQ(r->valueNames(Key), QStringList({"A", "B", "C"}));
    }
    // Another program rewriting the file in place to the same size within one tick of the file
    // system's clock (here a whole second) leaves identity, size and time alike: the bytes tell.
    const QDateTime tick = QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch() + 1);
    for (const std::uint32_t value : {4u, 5u}) {
        QByteArray bytes = readAll(path());
        writeAll(path(), bytes.replace(QByteArray("dword:0000000") + char('0' + value - 1),
                                       QByteArray("dword:0000000") + char('0' + value)));
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(tick, QFileDevice::FileModificationTime));
        file.close();
        EXPECT_EQ(first.readValue(Key, QStringLiteral("C"))->dword, value);
    }
}

TEST_F(FileRegistryTest, DeletingAKeyTakesItsSubKeysOnly) {
    FileRegistry registry(path());
    const QString waypoints = Key + QStringLiteral("\\Waypoints");
    ASSERT_TRUE(registry.writeValue(Key, QStringLiteral("Keep"), dword(1)));
    ASSERT_TRUE(registry.writeValue(waypoints, QStringLiteral("0"), text("a")));
    ASSERT_TRUE(registry.writeValue(waypoints + QStringLiteral("\\Deeper"), QStringLiteral("x"),
                                    text("b")));
    ASSERT_TRUE(registry.writeValue(Key + QStringLiteral("\\WaypointsOther"), QStringLiteral("y"),
                                    text("c")));
    ASSERT_TRUE(registry.deleteKey(QStringLiteral("\\software\\quillmark\\thalwise\\waypoints")));
    EXPECT_FALSE(registry.keyExists(waypoints));
    EXPECT_FALSE(registry.keyExists(waypoints + QStringLiteral("\\Deeper")));
    EXPECT_TRUE(registry.keyExists(Key + QStringLiteral("\\WaypointsOther")));
    EXPECT_EQ(registry.readValue(Key, QStringLiteral("Keep"))->dword, 1u);
    EXPECT_TRUE(registry.deleteKey(waypoints)); // deleting what is gone is no failure
}

TEST_F(FileRegistryTest, ReplacingAKeysValuesStoresWhatDeletingAndWritingEachWould) {
    const QString waypoints = Key + QStringLiteral("\\Waypoints");
    const QList<std::pair<QString, RegistryValue>> values = {{QStringLiteral("1"), text("b")},
                                                             {QStringLiteral("0"), text("a")}};
    QByteArray stores[2]; // one value at a time, then in one write
    for (const int batch : {0, 1}) {
        QFile::remove(path());
        FileRegistry registry(path());
        ASSERT_TRUE(registry.writeValue(waypoints, QStringLiteral("2"), text("old")));
        ASSERT_TRUE(registry.writeValue(waypoints + QStringLiteral("\\Deeper"), QStringLiteral("x"),
                                        text("c")));
        ASSERT_TRUE(registry.writeValue(Key, QStringLiteral("Keep"), dword(1)));
        ASSERT_TRUE(batch ? registry.replaceValues(waypoints, values)
                          : registry.platform::Registry::replaceValues(waypoints, values));
        stores[batch] = readAll(path());
        ASSERT_TRUE(registry.replaceValues(waypoints, {})); // no values: no key
        EXPECT_FALSE(registry.keyExists(waypoints));
        EXPECT_EQ(registry.readValue(Key, QStringLiteral("Keep"))->dword, 1u);
    }
    EXPECT_EQ(stores[1], stores[0]);
    EXPECT_TRUE(stores[1].endsWith("\"Keep\"=dword:00000001\n\n"
                                   "[HKEY_CURRENT_USER\\Software\\Quillmark\\thalwise\\Waypoints]\n"
                                   "\"1\"=\"b\"\n\"0\"=\"a\"\n\n"));
}

TEST_F(FileRegistryTest, CreatingAKeyWritesAnEmptySectionOnce) {
    FileRegistry registry(path());
    ASSERT_TRUE(registry.createKey(Key));
    EXPECT_TRUE(registry.keyExists(Key));
    EXPECT_TRUE(registry.valueNames(Key).isEmpty());
    const QByteArray once = readAll(path());
    ASSERT_TRUE(registry.createKey(Key));
    EXPECT_EQ(readAll(path()), once);
    EXPECT_TRUE(once.contains("[HKEY_CURRENT_USER\\Software\\Quillmark\\thalwise]\n"));
}

TEST_F(FileRegistryTest, AStoreCutShortAtEveryLengthReadsWhatItCanAndIsBackedUp) {
    FileRegistry full(path());
    ASSERT_TRUE(full.writeValue(Key, QStringLiteral("DaysToKeep"), dword(30)));
    ASSERT_TRUE(full.writeValue(Key, QStringLiteral("HomeLat"),
                                binary(QByteArray("\x00\x00\x00\x00\x00\x80\x45\x40", 8))));
    ASSERT_TRUE(full.writeValue(Key, QStringLiteral("DataFolder"),
                                text(QStringLiteral("C:\\Ch\u00E4rts\\"))));
    ASSERT_TRUE(full.writeValue(Key, QStringLiteral("Blob"), binary(QByteArray(40, '\x11'))));
    ASSERT_TRUE(full.writeValue(Key + QStringLiteral("\\Waypoints"), QStringLiteral("0"),
                                text(QStringLiteral("Lat=1"))));
    const QByteArray original = readAll(path());
    const QString cutPath = m_dir.filePath(QStringLiteral("cut/thalwise.reg"));
    const QString cutFolder = m_dir.filePath(QStringLiteral("cut"));
    QDir().mkpath(cutFolder);
    FileRegistry cut(cutPath);
    const QStringList names = {"DaysToKeep", "HomeLat", "DataFolder", "Blob"};

    for (qsizetype length = 0; length < original.size(); ++length) {
        const QByteArray prefix = original.left(length);
        writeAll(cutPath, prefix);
        for (const QString& name : names) {
            const auto read = cut.readValue(Key, name);
            if (!read) continue;
            const auto expected = full.readValue(Key, name);
            // Whatever is read is of the stored type; a value that reads in full is exact.
            EXPECT_EQ(read->type, expected->type) << length << " " << name.toStdString();
            if (read->type == ValueType::Binary) {
                EXPECT_TRUE(expected->binary.startsWith(read->binary)) << length;
            } else {
                EXPECT_TRUE(sameValue(*read, *expected)) << length << " " << name.toStdString();
            }
        }
        // A value whose line is complete is always read.
        const qsizetype daysLine = original.indexOf("\"DaysToKeep\"");
        const qsizetype daysEnd = original.indexOf('\n', daysLine);
        if (length > daysEnd) {
            const auto days = cut.readValue(Key, QStringLiteral("DaysToKeep"));
            ASSERT_TRUE(days.has_value()) << length;
            EXPECT_EQ(days->dword, 30u) << length;
        }

        // A write over a cut file keeps the old one beside it. (Each write syncs the file to
        // disk, so this runs at every fifth length and at every cut next to a line end.)
        if (length % 5 != 0 && original.at(length) != '\n' && original.at(length - 1) != '\n')
            continue;
        for (const QString& old : backups(cutFolder))
            QFile::remove(QDir(cutFolder).filePath(old));
        ASSERT_TRUE(cut.writeValue(Key, QStringLiteral("New"), dword(1))) << length;
        const QStringList kept = backups(cutFolder);
        // A cut between two lines leaves a file that is read whole (nothing of it is lost by
        // the write); a cut inside a line or inside a continued value leaves a backup.
        const bool cutBetweenLines =
            length == 0 || (prefix.endsWith('\n') && !prefix.endsWith("\\\n"));
        if (cutBetweenLines) {
            EXPECT_TRUE(kept.isEmpty()) << length;
        } else {
            ASSERT_EQ(kept.size(), 1) << length;
            EXPECT_EQ(readAll(QDir(cutFolder).filePath(kept.first())), prefix) << length;
        }
        EXPECT_EQ(cut.readValue(Key, QStringLiteral("New"))->dword, 1u) << length;
    }
}

TEST_F(FileRegistryTest, DamagedLinesAreSkippedAndTheRestIsRead) {
    QDir().mkpath(folder());
    const QByteArray damaged = "Windows Registry Editor Version 5.00\n"
                               "[HKEY_CURRENT_USER\\Software\\Quillmark\\thalwise]\n"
                               "\"Good1\"=dword:00000001\n"
                               "\"Bad1\"=dword:1\n"
                               "\"Bad2\"=hex:0,1\n"
                               "\"Bad3\"=\"unterminated\n"
                               "\"Bad4\"=\"escape \\n\"\n"
                               "garbage line\n"
                               "\"Bad5\"=sz:text\n"
                               "\"Bad6\"=\"x\" trailing\n"
                               "\"Latin1\"=\"caf\xE9\"\n"
                               "\"Good2\"=\"ok\"\n"
                               "[HKEY_LOCAL_MACHINE\\Software\\Other]\n"
                               "\"Foreign\"=dword:00000001\n"
                               "[HKEY_CURRENT_USER\\Software\\Quillmark\\thalwise\n"
                               "\"Orphan\"=dword:00000001\n"
                               "[HKEY_CURRENT_USER\\Software\\Quillmark\\thalwise]\n"
                               "\"Good3\"=dword:00000003\n";
    writeAll(path(), damaged);
    FileRegistry registry(path());
    EXPECT_EQ(registry.valueNames(Key), QStringList({"Good1", "Latin1", "Good2", "Good3"}));
    EXPECT_EQ(registry.readValue(Key, QStringLiteral("Latin1"))->text, QStringLiteral("caf\u00E9"));
    EXPECT_FALSE(registry.keyExists(QStringLiteral("\\Software\\Other")));

    ASSERT_TRUE(registry.writeValue(Key, QStringLiteral("Good2"), text(QStringLiteral("new"))));
    const QStringList kept = backups(folder());
    ASSERT_EQ(kept.size(), 1);
    EXPECT_TRUE(kept.first().contains(QRegularExpression(R"(^thalwise\.reg\.bak-\d{8}-\d{6}$)")))
        << kept.first().toStdString();
    EXPECT_EQ(readAll(QDir(folder()).filePath(kept.first())), damaged);
    EXPECT_EQ(registry.readValue(Key, QStringLiteral("Good3"))->dword, 3u);

    // The rewritten file is whole: no further backups.
    ASSERT_TRUE(registry.writeValue(Key, QStringLiteral("Good2"), text(QStringLiteral("again"))));
    EXPECT_EQ(backups(folder()).size(), 1);
}

TEST_F(FileRegistryTest, AStoreThatCannotBeOpenedIsNeverReplaced) {
    QDir().mkpath(path()); // a folder where the file should be
    FileRegistry registry(path());
    EXPECT_FALSE(registry.keyExists(Key));
    EXPECT_FALSE(registry.readValue(Key, QStringLiteral("A")).has_value());
    EXPECT_FALSE(registry.writeValue(Key, QStringLiteral("A"), dword(1)));
    EXPECT_FALSE(registry.createKey(Key));
    EXPECT_FALSE(registry.replaceValues(Key, {{QStringLiteral("A"), dword(1)}}));
    EXPECT_TRUE(QFileInfo(path()).isDir());
}

TEST_F(FileRegistryTest, AStoreWithoutItsFolderIsCreatedOnTheFirstWrite) {
    const QString deep = m_dir.filePath(QStringLiteral("a/b/c/thalwise.reg"));
    FileRegistry registry(deep);
    ASSERT_TRUE(registry.writeValue(Key, QStringLiteral("A"), dword(1)));
    EXPECT_TRUE(QFileInfo::exists(deep));
    EXPECT_FALSE(QFileInfo::exists(deep + QStringLiteral(".lock")));
}

TEST(DefaultRegistryPath, IsPerExecutableUnderTheVendorConfigFolder) {
    const QString path = platform::defaultRegistryPath(QStringLiteral("Thalwise"));
    EXPECT_TRUE(path.endsWith(QStringLiteral("/Quillmark/Thalwise.reg"))) << path.toStdString();
    EXPECT_NE(path, platform::defaultRegistryPath(QStringLiteral("Other")));
}

TEST_F(FileRegistryTest, RandomlyDamagedStoresNeverFailToRead) {
    FileRegistry registry(path());
    ASSERT_TRUE(registry.writeValue(Key, QStringLiteral("A"), dword(1)));
    ASSERT_TRUE(registry.writeValue(Key, QStringLiteral("B"), binary(QByteArray(60, '\x7f'))));
    ASSERT_TRUE(registry.writeValue(Key, QStringLiteral("C"), text(QStringLiteral("x\\\"y"))));
    ASSERT_TRUE(registry.writeValue(Key + QStringLiteral("\\S"), QStringLiteral("0"), text("z")));
    const QByteArray original = readAll(path());
    const char replacements[] = {'\n', '\\', '"', '[', ']', '=', ',', ':', '\0', '\x80', 'g'};
    std::uint32_t seed = 12345; // a fixed linear congruential sequence: repeatable runs
    const auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 8; };
    for (int round = 0; round < 400; ++round) {
        QByteArray damaged = original;
        for (int n = 1 + next() % 3; n > 0; --n)
            damaged[next() % damaged.size()] = replacements[next() % sizeof replacements];
        writeAll(path(), damaged);
        for (const char* name : {"A", "B", "C"})
            (void)registry.readValue(Key, QString::fromLatin1(name));
        (void)registry.valueNames(Key);
        (void)registry.keyExists(Key + QStringLiteral("\\S"));
        // No damage can turn a digit into another digit: a DWORD read is the one written.
        const auto a = registry.readValue(Key, QStringLiteral("A"));
        if (a && a->type == ValueType::Dword) {
            EXPECT_EQ(a->dword, 1u) << round;
        }
    }
}
