// The INI reader and writer on real files: what reads as a key, what is written back, the
// platform's limits, failing writes and hostile content.
#include "platform/ProfileFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

using platform::ProfileFile;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Bytes of a literal that may hold NULs.
template <std::size_t N> QByteArray bytesOf(const char (&text)[N]) {
    return QByteArray(text, qsizetype(N - 1));
}

bool writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

class ProfileFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString path(const char* name = "ne01.ini") const { return m_dir.filePath(name); }
    // A file holding bytes, read into a ProfileFile.
    ProfileFile fileWith(const QByteArray& bytes) const {
        EXPECT_TRUE(writeAll(path(), bytes));
        return ProfileFile(path());
    }
    QTemporaryDir m_dir;
};

TEST_F(ProfileFileTest, ReadsValuesAsThePlatformDoes) {
    const QByteArray nul = bytesOf("[S]\r\nk=ab\0cd\r\nn\0x=1\r\n");
    const struct {
        const char* name;
        QByteArray file;
        const char* section;
        const char* key;
        const char* expected; // nullptr: the key is missing
    } cases[] = {
        {"plain", "[S]\r\nk=v\r\n", "S", "k", "v"},
        {"sectionCase", "[DataLevel]\r\nRevision=1\r\n", "DATALEVEL", "Revision", "1"},
        {"keyCase", "[S]\r\nRevision=1\r\n", "s", "rEVISION", "1"},
        {"nonAsciiCase", "[\xC3\x89t\xC3\xA9]\r\n\xC3\xA9=1\r\n", "\xC3\xA9T\xC3\x89", "\xC3\x89",
         "1"},
        {"blanksInsideBrackets", "  [ \tS  ]  \r\nk=v\r\n", "S", "k", "v"},
        {"blanksAroundKeyAndValue", "[S]\r\n \t k \t = \t v w \t \r\n", "S", "k", "v w"},
        {"blanksAroundTheAskedNames", "[S]\r\nk=v\r\n", " S ", " k\t", "v"},
        {"firstEqualsSplits", "[S]\r\nk=a=b\r\n", "S", "k", "a=b"},
        {"doubleQuotes", "[S]\r\nk=\" a, b \"\r\n", "S", "k", " a, b "},
        {"singleQuotes", "[S]\r\nk='x'\r\n", "S", "k", "x"},
        {"unmatchedQuotes", "[S]\r\nk=\"x'\r\n", "S", "k", "\"x'"},
        {"oneQuote", "[S]\r\nk=\"\r\n", "S", "k", "\""},
        {"quotesInside", "[S]\r\nk=a\"b\"\r\n", "S", "k", "a\"b\""},
        {"emptyValue", "[S]\r\nk=\r\n", "S", "k", ""},
        {"valueCutAtNul", nul, "S", "k", "ab"},
        {"keyCutAtNulIsNoKey", nul, "S", "n", nullptr},
        {"lfEnds", "[S]\nk=v\nj=w", "S", "j", "w"},
        {"loneCrEnds", "[S]\rk=v\rj=w\r", "S", "j", "w"},
        {"mixedEnds", "[A]\r\n\r[S]\n\rk=v", "S", "k", "v"},
        {"keyBeforeAnySection", "k=v\r\n[S]\r\n", "S", "k", nullptr},
        {"commentIsNoKey", "[S]\r\n;k=v\r\n", "S", ";k", nullptr},
        {"indentedComment", "[S]\r\n  ; k=v\r\n", "S", "; k", nullptr},
        {"lineWithoutEquals", "[S]\r\nk\r\n", "S", "k", nullptr},
        {"emptyKeyIsNoKey", "[S]\r\n =v\r\n", "S", "", nullptr},
        {"duplicateKeyFirstWins", "[S]\r\nk=1\r\nK=2\r\n", "S", "k", "1"},
        {"duplicateSectionFirstWins", "[S]\r\nk=1\r\n[s]\r\nk=2\r\nj=3\r\n", "S", "k", "1"},
        {"duplicateSectionKeysUnread", "[S]\r\nk=1\r\n[s]\r\nj=3\r\n", "S", "j", nullptr},
        {"keyOfAnotherSection", "[A]\r\nk=1\r\n[B]\r\n", "B", "k", nullptr},
        {"headerWithoutBracket", "[S\r\nk=v\r\n", "S", "k", "v"},
        {"textAfterBracket", "[S] ; note\r\nk=v\r\n", "S", "k", "v"},
        {"bomDropped", "\xEF\xBB\xBF[S]\r\nk=v\r\n", "S", "k", "v"},
        {"windows1252",
         "[S]\r\nk=72\xB0"
         "F \x80\r\n",
         "S", "k",
         "72\xC2\xB0"
         "F \xE2\x82\xAC"},
        {"missingSection", "[S]\r\nk=v\r\n", "T", "k", nullptr},
    };
    for (const auto& c : cases) {
        const ProfileFile file = fileWith(c.file);
        const QString value = file.readString(QString::fromUtf8(c.section),
                                              QString::fromUtf8(c.key), QStringLiteral("<none>"));
        EXPECT_EQ(value, c.expected ? QString::fromUtf8(c.expected) : QStringLiteral("<none>"))
            << c.name;
    }
}

TEST_F(ProfileFileTest, ListsKeysInFileOrderOnceALine) {
    const ProfileFile file = fileWith("top=1\r\n"
                                      "[Lines]\r\n"
                                      "1=a\r\n"
                                      "; 9=comment\r\n"
                                      "0=\r\n"
                                      "garbage\r\n"
                                      "\r\n"
                                      "1=again\r\n"
                                      "  Two = \"\"\r\n"
                                      "[Other]\r\n"
                                      "x=1\r\n"
                                      "[LINES]\r\n"
                                      "shadow=1\r\n");
    EXPECT_EQ(file.sectionKeys("lines"), QStringList({"1", "0", "1", "Two"}));
    // Only keys with a value are pairs, each with the value of its key's first line.
    EXPECT_EQ(file.readSectionValues("Lines"), QStringList({"1=a", "1=a"}));
    EXPECT_TRUE(file.sectionKeys("Missing").isEmpty());
    EXPECT_TRUE(file.sectionExists("OTHER"));
    EXPECT_FALSE(file.sectionExists("top"));
}

TEST_F(ProfileFileTest, ListingAndValuesStopAtThePlatformsBuffers) {
    QByteArray content = "[Lines]\r\n";
    for (int i = 0; i < 5000; ++i)
        content += QByteArray::number(i) + "=v\r\n";
    // Names of multi-byte characters take their UTF-8 length: 5461 names of "é" (2 bytes + 1)
    // fill the 16383 bytes.
    content += "[Wide]\r\n";
    for (int i = 0; i < 6000; ++i)
        content += "\xC3\xA9=v\r\n";
    // 4096 names of 3 bytes would take all 16384 bytes, leaving none for the final NUL.
    content += "[Three]\r\n";
    for (int i = 0; i < 5000; ++i)
        content += "abc=v\r\n";
    const QString longValue(3000, u'x');
    content += "[Long]\r\nk=" + longValue.toUtf8() + "\r\n";
    content += "s=" + QString(2046, u'y').toUtf8() + "\xF0\x9F\x8C\x8A\r\n";
    const ProfileFile file = fileWith(content);

    const QStringList keys = file.sectionKeys("Lines");
    ASSERT_EQ(keys.size(), 3498);
    EXPECT_EQ(keys.last(), "3497");
    EXPECT_EQ(file.readSectionValues("Lines").size(), 3498);
    // A key beyond the listing is still read by its name.
    EXPECT_EQ(file.readString("Lines", "4999"), "v");
    EXPECT_EQ(file.sectionKeys("Wide").size(), 5461);
    EXPECT_EQ(file.sectionKeys("Three").size(), 4095);

    EXPECT_EQ(file.readString("Long", "k"), longValue.left(2047));
    EXPECT_EQ(file.readString("Long", "k", {}, 10), longValue.left(10));
    EXPECT_EQ(file.readString("Long", "k", {}, 0), "");
    // A cut between the halves of a surrogate pair drops the first half.
    EXPECT_EQ(file.readString("Long", "s"), QString(2046, u'y'));
}

TEST_F(ProfileFileTest, WritesAsThePlatformRewritesTheFile) {
    const QByteArray original = "; annotations\r\n"
                                "stray line\n"
                                "[DataLevel]\r"
                                "Revision=1\r\n"
                                "[Lines]\n"
                                "0 = 1,2,3,4\r\n"
                                "0=shadowed\r\n"
                                "; end of lines\r\n"
                                "\r\n"
                                "[Text]\r\n"
                                "0=1,2,x\r\n"
                                "[lines]\r\n"
                                "7=second section\r\n"
                                "[Tail]\r\n"
                                "k=v";
    const struct {
        const char* name;
        std::function<void(ProfileFile&)> change;
        QByteArray expected;
    } cases[] = {
        {"nothingChangedStillCrlf", [](ProfileFile&) {},
         "; annotations\r\nstray line\r\n[DataLevel]\r\nRevision=1\r\n[Lines]\r\n0 = 1,2,3,4\r\n"
         "0=shadowed\r\n; end of lines\r\n\r\n[Text]\r\n0=1,2,x\r\n[lines]\r\n"
         "7=second section\r\n[Tail]\r\nk=v\r\n"},
        {"replaceFirstLineAndAddAfterTheLastKey",
         [](ProfileFile& f) {
             f.writeString("Lines", "1", "5,6,7,8");
             f.writeString("Lines", "2", "a");
             f.writeString("LINES", "0", "9,9,9,9");
             f.eraseSection("None");
         },
         "; annotations\r\nstray line\r\n[DataLevel]\r\nRevision=1\r\n[Lines]\r\n0=9,9,9,9\r\n"
         "0=shadowed\r\n1=5,6,7,8\r\n2=a\r\n; end of lines\r\n\r\n[Text]\r\n0=1,2,x\r\n[lines]\r\n"
         "7=second section\r\n[Tail]\r\nk=v\r\n"},
        {"newKeysInOtherSections",
         [](ProfileFile& f) {
             f.eraseSection("Text");
             f.eraseSection("Tail");
             f.writeString("Empty", "a", "1");
             f.writeString("DataLevel", "Other", "2");
         },
         "; annotations\r\nstray line\r\n[DataLevel]\r\nRevision=1\r\nOther=2\r\n[Lines]\r\n"
         "0 = 1,2,3,4\r\n0=shadowed\r\n; end of lines\r\n\r\n[lines]\r\n7=second section\r\n"
         "[Empty]\r\na=1\r\n"},
        {"eraseEverySectionOfTheName", [](ProfileFile& f) { f.eraseSection("lines"); },
         "; annotations\r\nstray line\r\n[DataLevel]\r\nRevision=1\r\n[Text]\r\n0=1,2,x\r\n"
         "[Tail]\r\nk=v\r\n"},
        {"rewrittenSectionMovesToTheEnd",
         [](ProfileFile& f) {
             f.eraseSection("Lines");
             f.writeString("Lines", "0", "1,1,2,2");
             f.eraseSection("Text");
             f.writeString("Text", "0", "3,3,t");
             f.writeString("Text", "1", "4,4,u");
         },
         "; annotations\r\nstray line\r\n[DataLevel]\r\nRevision=1\r\n[Tail]\r\nk=v\r\n"
         "[Lines]\r\n0=1,1,2,2\r\n[Text]\r\n0=3,3,t\r\n1=4,4,u\r\n"},
        {"blanksAroundNamesDoNotCountAroundValuesAreQuoted",
         [](ProfileFile& f) {
             f.eraseSection("Lines");
             f.eraseSection("Text");
             f.eraseSection("Tail");
             f.writeString(" DataLevel ", " Revision ", " a b ");
         },
         "; annotations\r\nstray line\r\n[DataLevel]\r\nRevision=\" a b \"\r\n"},
    };
    for (const auto& c : cases) {
        ProfileFile file = fileWith(original);
        c.change(file);
        ASSERT_TRUE(file.flush()) << c.name;
        EXPECT_FALSE(file.modified()) << c.name;
        EXPECT_EQ(readAll(path()), c.expected) << c.name;
    }
}

TEST_F(ProfileFileTest, MemoryReadsWhatWasWrittenBeforeAndAfterTheFlush) {
    ProfileFile file = fileWith("[Lines]\r\n0=1,2,3,4\r\n");
    EXPECT_FALSE(file.modified());
    file.writeString("Lines", "0", "5,6,7,8");
    file.writeString("lines", "1", "\"quoted\"");
    file.writeString("Text", "0", "1,2,x");
    file.eraseSection("text");
    file.writeString("TEXT", "0", "3,4,y");
    EXPECT_TRUE(file.modified());
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_EQ(file.readString("Lines", "0"), "5,6,7,8") << pass;
        EXPECT_EQ(file.readString("Lines", "1"), "\"quoted\"") << pass;
        EXPECT_EQ(file.readSectionValues("Text"), QStringList({"0=3,4,y"})) << pass;
        ASSERT_TRUE(file.flush());
    }
    const ProfileFile reread(path());
    EXPECT_EQ(reread.readString("Lines", "1"), "\"quoted\"");
    EXPECT_EQ(reread.sectionKeys("Text"), QStringList({"0"}));
}

// What would read back as something else is refused and leaves the file as it was; everything
// else reads back as written, from memory and from the file.
TEST_F(ProfileFileTest, RefusesWhatItCouldNotGiveBack) {
    const QString lone(QChar(0xD800));
    const QString nul(QChar(0));
    const struct {
        QString section, key, value;
        bool stored;
    } cases[] = {
        {"Lines", "[0]", "1,2,3,4", false},
        {"Lines", " [0", "1,2,3,4", false},
        {"Lines", "a=b", "1", false},
        {"Lines", ";0", "1", false},
        {"Lines", "0", "1" + nul + "2", false},
        {"Lines", "0" + nul, "1", false},
        {"Lines", "0", "caf" + lone, false},
        {"Lines", lone, "1", false},
        {"Li" + lone, "0", "1", false},
        {"Lines", "0", "two\r\nlines", false},
        {"Li\nnes", "0", "1", false},
        {"Li]nes", "0", "1", false},
        {"Lines", "0", "  padded\t", true},
        {"Lines", "0", "\"quoted\"", true},
        {"Lines", "0", "\"", true},
        {"Lines", "0", "a=b;[c]", true},
        {"Lines", "0]", "1", true},
        {"[Lines", "key [0]", "\U0001F41F", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString(c.section + "|" + c.key + "|" + c.value).toStdString());
        ProfileFile file = fileWith("[Lines]\r\n0=old\r\n1=next\r\n");
        EXPECT_EQ(file.writeString(c.section, c.key, c.value), c.stored);
        ASSERT_TRUE(file.flush());
        const ProfileFile reread(path());
        const ProfileFile* files[] = {&file, &reread};
        for (const ProfileFile* f : files) {
            EXPECT_EQ(f->readString("Lines", "1"), "next");
            if (!c.stored) {
                EXPECT_EQ(f->sectionKeys("Lines"), QStringList({"0", "1"}));
                EXPECT_EQ(f->readString("Lines", "0"), "old");
                continue;
            }
            EXPECT_EQ(f->readString(c.section, c.key, "missing"), c.value);
            EXPECT_TRUE(f->sectionKeys(c.section).contains(c.key.trimmed()));
        }
    }
}

TEST_F(ProfileFileTest, ReadsWindows1252AndWritesUtf8) {
    ProfileFile file = fileWith("[Text]\r\n0=1,2,72\xB0"
                                "F \x80 caf\xE9\r\n");
    EXPECT_EQ(file.readString("Text", "0"), QString::fromUtf8("1,2,72\u00B0F \u20AC caf\u00E9"));
    file.writeString("Text", "1", QString::fromUtf8("3,4,\u00E9"));
    ASSERT_TRUE(file.flush());
    EXPECT_EQ(readAll(path()), "[Text]\r\n0=1,2,72\xC2\xB0"
                               "F \xE2\x82\xAC caf\xC3\xA9\r\n"
                               "1=3,4,\xC3\xA9\r\n");
    // A byte-order mark is read past and not written.
    ProfileFile bom = fileWith("\xEF\xBB\xBF[S]\r\nk=\xC3\xA9\r\n");
    EXPECT_EQ(bom.readString("S", "k"), QString::fromUtf8("\u00E9"));
    ASSERT_TRUE(bom.flush());
    EXPECT_EQ(readAll(path()), "[S]\r\nk=\xC3\xA9\r\n");
}

TEST_F(ProfileFileTest, AMissingFileIsEmptyAndOnlyAFlushCreatesIt) {
    ProfileFile file(path());
    EXPECT_TRUE(file.sectionKeys("DataLevel").isEmpty());
    EXPECT_EQ(file.readString("DataLevel", "Revision", "none"), "none");
    EXPECT_FALSE(file.sectionExists("DataLevel"));
    file.writeString("DataLevel", "Revision", "1");
    EXPECT_FALSE(QFileInfo::exists(path()));
    ASSERT_TRUE(file.flush());
    EXPECT_EQ(readAll(path()), "[DataLevel]\r\nRevision=1\r\n");
}

// The names in path's folder that belong to the file or to a temporary copy of it.
QStringList traces(const QString& path) {
    const QFileInfo info(path);
    return QDir(info.path()).entryList({info.fileName() + "*"}, QDir::AllEntries | QDir::Hidden);
}

void expectFailedFlush(const QString& path, const char* name) {
    const QStringList before = traces(path);
    ProfileFile file(path);
    file.writeString("DataLevel", "Revision", "1");
    EXPECT_FALSE(file.flush()) << name;
    EXPECT_TRUE(file.modified()) << name;
    EXPECT_EQ(file.readString("DataLevel", "Revision"), "1") << name;
    EXPECT_EQ(traces(path), before) << name;
}

TEST_F(ProfileFileTest, AFlushWhereNoFileCanBeMadeFailsAndLeavesNothing) {
    ASSERT_TRUE(writeAll(path("plain-file"), "x"));
    expectFailedFlush(m_dir.filePath("missing/ne01.ini"), "missingFolder");
    expectFailedFlush(m_dir.filePath("plain-file/ne01.ini"), "folderIsAFile");
    if (QFileInfo::exists("/proc/self"))
        expectFailedFlush("/proc/thalwise-ne01.ini", "readOnlyFileSystem");
}

TEST_F(ProfileFileTest, AFlushIntoAReadOnlyFolderFailsAndKeepsTheOldFile) {
    const QString folder = m_dir.filePath("read-only");
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("read-only"));
    const QString file = folder + "/ne01.ini";
    ASSERT_TRUE(writeAll(file, "[Lines]\r\n0=1,2,3,4\r\n"));
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const bool rightsIgnoreReadOnly = writeAll(folder + "/probe", "x");
    QFile::remove(folder + "/probe");
    if (!rightsIgnoreReadOnly) {
        expectFailedFlush(file, "readOnlyFolder");
        EXPECT_EQ(readAll(file), "[Lines]\r\n0=1,2,3,4\r\n");
    }
    QFile::setPermissions(folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (rightsIgnoreReadOnly) GTEST_SKIP() << "running with rights that ignore read-only folders";
}

TEST_F(ProfileFileTest, AFileThatCannotBeReadIsNeverReplaced) {
    // A folder where the file should be: nothing is read and nothing is written.
    QDir(m_dir.path()).mkdir("ne01.ini");
    ProfileFile file(path());
    file.writeString("DataLevel", "Revision", "1");
    EXPECT_FALSE(file.flush());
    EXPECT_TRUE(QFileInfo(path()).isDir());
}

TEST_F(ProfileFileTest, AFileThatCanBeWrittenButNotReadIsNeverReplaced) {
    // Replacing it would lose all it holds.
    const QString writeOnly = path("fl01.ini");
    ASSERT_TRUE(writeAll(writeOnly, "[Lines]\r\n0=1,2,3,4\r\n"));
    QFile::setPermissions(writeOnly, QFileDevice::WriteOwner);
    if (QFile probe(writeOnly); probe.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "running with rights that read any file";
    ProfileFile unreadable(writeOnly);
    unreadable.writeString("DataLevel", "Revision", "1");
    EXPECT_FALSE(unreadable.flush());
    QFile::setPermissions(writeOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(readAll(writeOnly), "[Lines]\r\n0=1,2,3,4\r\n");
}

TEST_F(ProfileFileTest, AnyContentLoadsAndRewritesToWhatItRead) {
    // Random files of the characters that matter, and random bytes: whatever was read before a
    // flush must be read again from the file written.
    const QByteArray alphabet("[]=;\"' \t\r\n\r\nabAB0\x01\xC3\xA9\xFF", 22);
    const QByteArray nulAlphabet = alphabet + QByteArray(1, '\0');
    QRandomGenerator random(20260401);
    for (int round = 0; round < 150; ++round) {
        QByteArray bytes;
        const int size = int(random.bounded(400));
        const QByteArray& letters = round % 2 ? alphabet : nulAlphabet;
        for (int i = 0; i < size; ++i)
            bytes += round % 5 == 4 ? char(random.bounded(256))
                                    : letters[int(random.bounded(int(letters.size())))];
        ProfileFile file = fileWith(bytes);
        QStringList names = {"", "a", "A", "ab", "b", "0", "\xC3\xA9"};
        QList<QStringList> keys;
        QStringList values;
        for (const QString& section : names) {
            keys.append(file.sectionKeys(section));
            values.append(file.readSectionValues(section).join(u'|'));
        }
        ASSERT_TRUE(file.flush()) << round;
        const ProfileFile reread(path());
        for (qsizetype i = 0; i < names.size(); ++i) {
            EXPECT_EQ(reread.sectionKeys(names[i]), keys[i])
                << round << ": " << bytes.toHex().data();
            EXPECT_EQ(reread.readSectionValues(names[i]).join(u'|'), values[i]) << round;
        }
    }
}

TEST_F(ProfileFileTest, ManySectionsAndKeysStayFast) {
    // 200000 sections and one section of 200000 keys: looking each up must not scan the file.
    QByteArray content;
    content.reserve(8 * 1024 * 1024);
    for (int i = 0; i < 200000; ++i)
        content += "[S" + QByteArray::number(i) + "]\nk=" + QByteArray::number(i) + "\n";
    content += "[Lines]\n";
    for (int i = 0; i < 200000; ++i)
        content += QByteArray::number(i) + "=" + QByteArray::number(i) + "\n";
    // A lookup that scans runs for minutes here and meets the test's time limit.
    ProfileFile file = fileWith(content);
    for (int i = 0; i < 200000; i += 7)
        ASSERT_EQ(file.readString("s" + QString::number(i), "K"), QString::number(i));
    for (int i = 0; i < 200000; i += 3)
        ASSERT_EQ(file.readString("Lines", QString::number(i)), QString::number(i));
    file.eraseSection("Lines");
    for (int i = 0; i < 20000; ++i)
        file.writeString("Lines", QString::number(i), "1,2,3,4");
    EXPECT_EQ(file.readSectionValues("Lines").size(), 3498);
    ASSERT_TRUE(file.flush());
}

TEST_F(ProfileFileTest, AHugeFileIsReadUpToTheLimitAndKeptAsABackup) {
    // 100 MB: sections of keys up to beyond the 32 MiB limit, then a hole, then a last section
    // that is never read.
    QByteArray block;
    int sections = 0;
    for (int i = 0; i < 1000; ++i)
        block += "k" + QByteArray::number(i) + "=value of some length\r\n";
    {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        while (f.size() < 34 * 1024 * 1024)
            f.write("[S" + QByteArray::number(sections++) + "]\r\n" + block);
        ASSERT_TRUE(f.seek(100 * 1000 * 1000 - 20));
        f.write("\r\n[Tail]\r\nk=v\r\n");
    }
    const qint64 size = QFileInfo(path()).size();
    ProfileFile file(path());
    EXPECT_EQ(file.readString("S0", "k0"), "value of some length");
    EXPECT_EQ(file.readString("S1000", "k999"), "value of some length");
    EXPECT_FALSE(file.sectionExists("Tail"));
    EXPECT_FALSE(file.sectionExists("S" + QString::number(sections - 1)));
    // The last section read ends with a whole line.
    QString lastSection;
    for (int s = 0; file.sectionExists("S" + QString::number(s)); ++s)
        lastSection = "S" + QString::number(s);
    const QStringList lastKeys = file.sectionKeys(lastSection);
    ASSERT_FALSE(lastKeys.isEmpty());
    EXPECT_EQ(file.readString(lastSection, lastKeys.last()), "value of some length");

    file.writeString("DataLevel", "Revision", "1");
    ASSERT_TRUE(file.flush());
    EXPECT_EQ(QFileInfo(path() + ".bak").size(), size);
    EXPECT_LE(QFileInfo(path()).size(), ProfileFile::MaxFileSize + 64);
    // Only the first flush of the cut file backs it up.
    QFile::remove(path() + ".bak");
    file.writeString("DataLevel", "Revision", "2");
    ASSERT_TRUE(file.flush());
    EXPECT_FALSE(QFileInfo::exists(path() + ".bak"));
}

TEST(ProfileFileText, UnableToWriteNamesTheFullPath) {
    EXPECT_EQ(platform::unableToWriteText("/home/u/Documents/My Pelagon Files/ne01.ini"),
              "Unable to write to /home/u/Documents/My Pelagon Files/ne01.ini");
    EXPECT_EQ(platform::unableToWriteText("ne01.ini"),
              "Unable to write to " + QDir::current().absoluteFilePath("ne01.ini"));
}

} // namespace
