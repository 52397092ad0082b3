// The file-system seam: the real one on a temporary folder and the in-memory fake run the same
// cases, so that tests written against the fake hold on the disk.
#include "platform/LocalFileSystem.h"
#include "support/FakeFileSystem.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <cerrno>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using platform::FileEntry;

namespace {

// A folder to work in, filled through the back door rather than through the seam under test.
class Backend {
public:
    virtual ~Backend() = default;
    virtual platform::FileSystem& fileSystem() = 0;
    // The working folder, native separators, no trailing separator.
    virtual QString root() const = 0;
    virtual void addFile(const QString& relative, const QByteArray& contents,
                         const QDateTime& time) = 0;
    virtual void addFolder(const QString& relative) = 0;
    virtual std::optional<QByteArray> contents(const QString& relative) const = 0;
    // A link at relative that reaches the file at target (both relative to the root).
    virtual void addLink(const QString& relative, const QString& target) = 0;

    QString path(const QString& relative) const {
        return relative.isEmpty() ? root() : root() + QDir::separator() + relative;
    }
};

class DiskBackend : public Backend {
public:
    platform::FileSystem& fileSystem() override { return m_fileSystem; }
    QString root() const override { return QDir::toNativeSeparators(m_dir.path()); }
    void addFile(const QString& relative, const QByteArray& contents,
                 const QDateTime& time) override {
        QFile file(m_dir.filePath(relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
        file.flush();
        ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
    }
    void addFolder(const QString& relative) override {
        ASSERT_TRUE(QDir(m_dir.path()).mkpath(relative));
    }
    std::optional<QByteArray> contents(const QString& relative) const override {
        QFile file(m_dir.filePath(relative));
        if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
        return file.readAll();
    }
    void addLink(const QString& relative, const QString& target) override {
        ASSERT_TRUE(QFile::link(m_dir.filePath(target), m_dir.filePath(relative)));
    }

private:
    QTemporaryDir m_dir;
    platform::LocalFileSystem m_fileSystem;
};

class MemoryBackend : public Backend {
public:
    MemoryBackend() { fake.addFolder(root()); }
    platform::FileSystem& fileSystem() override { return fake; }
    QString root() const override { return QDir::toNativeSeparators("/home/skipper/Documents"); }
    void addFile(const QString& relative, const QByteArray& contents,
                 const QDateTime& time) override {
        fake.addFile(path(relative), contents, time);
    }
    void addFolder(const QString& relative) override { fake.addFolder(path(relative)); }
    std::optional<QByteArray> contents(const QString& relative) const override {
        return fake.contents(path(relative));
    }
    void addLink(const QString& relative, const QString& target) override {
        fake.addAlias(path(relative), path(target));
    }

    FakeFileSystem fake;
};

const QDateTime June15(QDate(2004, 6, 15), QTime(12, 0));
const QDateTime March1(QDate(2026, 3, 1), QTime(8, 30, 15));

class FileSystemCases : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        if (std::string(GetParam()) == "disk")
            backend = std::make_unique<DiskBackend>();
        else
            backend = std::make_unique<MemoryBackend>();
        // A small archive folder: mixed case, a hidden chart, a folder that looks like a chart.
        backend->addFile("B.gif", "BBB", June15);
        backend->addFile("a.gif", "A", March1);
        backend->addFile("C.GIF", "CC", March1);
        backend->addFile("2004-06-15-12ne01.gif", "chart", June15);
        backend->addFile(".hidden.gif", "h", March1);
        backend->addFile("notes.txt", "n", March1);
        backend->addFile("noext", "x", March1);
        backend->addFolder("sub.gif");
        backend->addFile("sub.gif/inner.gif", "i", March1);
    }

    platform::FileSystem& fs() { return backend->fileSystem(); }
    QStringList names(const QList<FileEntry>& entries) {
        QStringList names;
        for (const FileEntry& entry : entries)
            names.append(entry.name);
        names.sort();
        return names;
    }
    FileEntry entryNamed(const QString& name) {
        for (const FileEntry& entry : fs().entries(backend->root(), {QStringLiteral("*")}))
            if (entry.name == name) return entry;
        ADD_FAILURE() << "no entry " << name.toStdString();
        return {};
    }

    std::unique_ptr<Backend> backend;
};

TEST_P(FileSystemCases, MasksSelectEntriesWithoutRegardToCase) {
    const struct {
        QStringList masks;
        QStringList expected; // sorted
    } cases[] = {
        {{"*.gif"}, {".hidden.gif", "2004-06-15-12ne01.gif", "B.gif", "C.GIF", "a.gif", "sub.gif"}},
        {{"*ne01.gif"}, {"2004-06-15-12ne01.gif"}},
        // A file that matches two masks is listed once.
        {{"*ne01.gif", "*.GIF"},
         {".hidden.gif", "2004-06-15-12ne01.gif", "B.gif", "C.GIF", "a.gif", "sub.gif"}},
        {{"?.gif"}, {"B.gif", "C.GIF", "a.gif"}},
        {{"NOTES.TXT"}, {"notes.txt"}},
        // "*.*" is every name, also one without a dot.
        {{"*.*"},
         {".hidden.gif", "2004-06-15-12ne01.gif", "B.gif", "C.GIF", "a.gif", "noext", "notes.txt",
          "sub.gif"}},
        {{"*.gi"}, {}},
        {{}, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(names(fs().entries(backend->root(), c.masks)), c.expected)
            << c.masks.join(' ').toStdString();
    EXPECT_TRUE(fs().entries(backend->path("missing"), {"*"}).isEmpty());
    EXPECT_EQ(names(fs().entries(backend->path("sub.gif") + QDir::separator(), {"*"})),
              QStringList{"inner.gif"});
}

TEST_P(FileSystemCases, EntriesCarryPathSizeFlagsAndTime) {
    const FileEntry chart = entryNamed("B.gif");
    EXPECT_EQ(chart.path, backend->path("B.gif"));
    EXPECT_EQ(chart.size, 3);
    EXPECT_FALSE(chart.isFolder);
    EXPECT_FALSE(chart.hidden);
    EXPECT_FALSE(chart.system);
    EXPECT_EQ(chart.lastWriteTime.toSecsSinceEpoch(), June15.toSecsSinceEpoch());
    EXPECT_TRUE(entryNamed(".hidden.gif").hidden);
    const FileEntry folder = entryNamed("sub.gif");
    EXPECT_TRUE(folder.isFolder);
    EXPECT_EQ(folder.size, 0);
}

TEST_P(FileSystemCases, CopyReplacesTheDestinationAndKeepsTheSourceTime) {
    ASSERT_TRUE(fs().createFolder(backend->path("archive")));
    backend->addFile("archive/B.gif", "old archived copy", March1);
    EXPECT_TRUE(fs().copyFile(backend->path("B.gif"), backend->path("archive/B.gif")));
    EXPECT_EQ(backend->contents("archive/B.gif"), QByteArray("BBB"));
    EXPECT_EQ(fs().lastWriteTime(backend->path("archive/B.gif"))->toSecsSinceEpoch(),
              June15.toSecsSinceEpoch());
    // Nothing is left beside the copy.
    EXPECT_EQ(names(fs().entries(backend->path("archive"), {"*"})), QStringList{"B.gif"});
    EXPECT_EQ(backend->contents("B.gif"), QByteArray("BBB"));
}

TEST_P(FileSystemCases, FailedCopiesLeaveTheDestinationAlone) {
    EXPECT_FALSE(fs().copyFile(backend->path("missing.gif"), backend->path("a.gif")));
    EXPECT_FALSE(fs().copyFile(backend->path("B.gif"), backend->path("no/such/folder/B.gif")));
    EXPECT_FALSE(fs().copyFile(backend->path("B.gif"), backend->path("B.gif")));
    EXPECT_FALSE(fs().copyFile(backend->path("B.gif"), backend->path("sub.gif")));
    EXPECT_FALSE(fs().copyFile(backend->path("sub.gif"), backend->path("copy.gif")));
    EXPECT_EQ(backend->contents("a.gif"), QByteArray("A"));
    EXPECT_EQ(backend->contents("B.gif"), QByteArray("BBB"));
    EXPECT_FALSE(fs().exists(backend->path("copy.gif")));
    EXPECT_FALSE(fs().exists(backend->path("no")));
}

TEST_P(FileSystemCases, DeleteRemovesFilesOnly) {
    EXPECT_TRUE(fs().deleteFile(backend->path("a.gif")));
    EXPECT_FALSE(fs().exists(backend->path("a.gif")));
    EXPECT_FALSE(fs().deleteFile(backend->path("a.gif")));
    EXPECT_FALSE(fs().deleteFile(backend->path("sub.gif")));
    EXPECT_TRUE(fs().exists(backend->path("sub.gif/inner.gif")));
}

TEST_P(FileSystemCases, LastWriteTimesRoundTripToTheSecond) {
    const QString chart = backend->path("2004-06-15-12ne01.gif");
    const QDateTime stamp(QDate(2004, 6, 15), QTime(12, 0)); // the archive's date and hour
    for (const QDateTime& time :
         {March1, stamp, QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59))}) {
        ASSERT_TRUE(fs().setLastWriteTime(chart, time));
        const auto read = fs().lastWriteTime(chart);
        ASSERT_TRUE(read.has_value());
        EXPECT_EQ(read->toSecsSinceEpoch(), time.toSecsSinceEpoch());
        EXPECT_EQ(read->toLocalTime().time().hour(), time.time().hour());
    }
    EXPECT_FALSE(fs().setLastWriteTime(chart, QDateTime()));
    EXPECT_FALSE(fs().setLastWriteTime(backend->path("missing.gif"), March1));
    EXPECT_FALSE(fs().lastWriteTime(backend->path("missing.gif")).has_value());
}

TEST_P(FileSystemCases, CreateFolderMakesParentsButNotOverAFile) {
    const QString deep = backend->path("My Pelagon Files/Chart Archive");
    EXPECT_TRUE(fs().createFolder(deep));
    EXPECT_TRUE(fs().exists(deep));
    EXPECT_TRUE(fs().createFolder(deep + QDir::separator())); // there already
    EXPECT_TRUE(fs().entries(deep, {"*"}).isEmpty());
    EXPECT_FALSE(fs().createFolder(backend->path("a.gif/inside")));
    EXPECT_FALSE(fs().createFolder(backend->path("notes.txt")));
    EXPECT_FALSE(fs().createFolder(QString()));
    EXPECT_FALSE(fs().exists(QString()));
}

TEST_P(FileSystemCases, SameFileSeesThroughOtherSpellingsAndLinks) {
    const QString chart = backend->path("a.gif");
    backend->addLink("link.gif", "a.gif");
    EXPECT_TRUE(fs().sameFile(chart, backend->path("sub.gif/../a.gif")));
    EXPECT_TRUE(fs().sameFile(backend->path("link.gif"), chart));
    EXPECT_FALSE(fs().sameFile(chart, backend->path("B.gif")));
    EXPECT_FALSE(fs().sameFile(backend->path("missing.gif"), backend->path("missing.gif")));
    EXPECT_FALSE(fs().sameFile(backend->path("sub.gif"), backend->path("sub.gif"))); // a folder
}

INSTANTIATE_TEST_SUITE_P(DiskAndMemory, FileSystemCases, ::testing::Values("disk", "memory"),
                         [](const auto& info) { return std::string(info.param); });

// A scoped environment variable: set (or unset with nullptr) for one test, then put back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray* value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name)) {
        value ? qputenv(name, *value) : qunsetenv(name);
    }
    ~ScopedEnv() { m_had ? qputenv(m_name, m_old) : qunsetenv(m_name); }

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

// The user's trash in the desktop's freedesktop.org layout, on an account whose
// ~/.local/share does not exist yet; a relative XDG_DATA_HOME is no data home, and nothing ever
// lands in the working folder; a home that is not there is never made.
TEST(HomeTrash, MadePrivateWhereMissingWithInfoFilesAndUniqueNamesAndNowhereElse) {
    QTemporaryDir home, work, archive;
    const QString oldWork = QDir::currentPath();
    const QByteArray homePath = QFile::encodeName(home.path());
    const QByteArray relative("data");
    ScopedEnv homeSet("HOME", &homePath);
    ScopedEnv dataHome("XDG_DATA_HOME", &relative);
    ASSERT_TRUE(QDir::setCurrent(work.path()));
    platform::LocalFileSystem disk;
    // A name to be escaped: blank, "%", "#" and a non-ASCII letter.
    const QString chart = archive.filePath(QString::fromUtf8("2026-11-24 12%\xc3\xa9#.gif"));
    const auto trashChart = [&] {
        QFile file(chart);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.close();
        return disk.moveToTrash(chart).value_or("(stayed)");
    };
    const QString trash = home.path() + "/.local/share/Trash/";
    EXPECT_EQ(trashChart(), QDir::toNativeSeparators(
                                trash + QString::fromUtf8("files/2026-11-24 12%\xc3\xa9#.gif")));
    EXPECT_EQ(trashChart(), QDir::toNativeSeparators(
                                trash + QString::fromUtf8("files/2026-11-24 12%\xc3\xa9#.2.gif")));
    for (const char* made : {".local", ".local/share/Trash/files", ".local/share/Trash/info"}) {
        struct stat info;
        ASSERT_EQ(::stat(QFile::encodeName(home.filePath(made)).constData(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u) << made;
    }
    QFile info(trash + QString::fromUtf8("info/2026-11-24 12%\xc3\xa9#.2.gif.trashinfo"));
    ASSERT_TRUE(info.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(info.readAll()).split('\n');
    ASSERT_EQ(lines.size(), 4); // the last one empty
    // RFC 2396 escaping of the file system's bytes: each byte outside the unreserved characters
    // and "/" as "%" and two hex digits (é is C3 A9 in UTF-8). The temporary folder's own name
    // holds none of them.
    ASSERT_FALSE(archive.path().contains(QRegularExpression("[^A-Za-z0-9/._-]")));
    EXPECT_EQ(lines[0] + lines[1],
              "[Trash Info]Path=" + archive.path() + "/2026-11-24%2012%25%C3%A9%23.gif");
    const QDateTime deleted =
        QDateTime::fromString(lines[2], "'DeletionDate='yyyy-MM-dd'T'HH:mm:ss");
    EXPECT_TRUE(deleted.isValid() && qAbs(deleted.secsTo(QDateTime::currentDateTime())) < 60)
        << lines[2].toStdString();
    // A name whose info file would pass 255 bytes is shortened in the trash, not refused.
    const QString longChart = archive.filePath(QString(250, 'x') + ".gif");
    QFile(longChart).open(QIODevice::WriteOnly);
    const QString trashedLong = disk.moveToTrash(longChart).value_or("(stayed)");
    EXPECT_EQ(QFileInfo(trashedLong).fileName(), QString(241, 'x') + ".gif");
    // Without a home there is no trash, and the chart stays where it was; a home that does not
    // exist is not made.
    const QByteArray gone = homePath + "/gone";
    {
        ScopedEnv goneHome("HOME", &gone);
        ScopedEnv noDataHome("XDG_DATA_HOME", nullptr);
        QFile again(chart);
        ASSERT_TRUE(again.open(QIODevice::WriteOnly));
        again.close();
        EXPECT_EQ(disk.trashFile(chart).refusal, platform::TrashRefusal::NoTrash);
        EXPECT_FALSE(QFileInfo::exists(QFile::decodeName(gone)));
    }
    {
        ScopedEnv noHome("HOME", nullptr);
        EXPECT_EQ(trashChart(), "(stayed)");
    }
    EXPECT_TRUE(QFile::exists(chart));
    EXPECT_TRUE(QDir(work.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    QDir::setCurrent(oldWork);
}

// Across file systems a chart keeps its permissions and time, a link stays a link, and a name
// already taken is never replaced.
TEST(MoveByCopy, KeepsPermissionsTimeAndLinksAndNeverReplaces) {
    QTemporaryDir from, to;
    const auto name = [](const QTemporaryDir& dir, const char* file) {
        return QFile::encodeName(dir.filePath(file));
    };
    for (const char* file : {"chart.gif", "taken.gif"}) {
        QFile made(from.filePath(file));
        ASSERT_TRUE(made.open(QIODevice::WriteOnly) && made.write(file) > 0);
    }
    ASSERT_EQ(::chmod(name(from, "chart.gif"), 0640), 0);
    const QDateTime written(QDate(2026, 11, 24), QTime(12, 0));
    ASSERT_TRUE(platform::LocalFileSystem().setLastWriteTime(from.filePath("chart.gif"), written));
    ASSERT_EQ(::symlink("chart.gif", name(from, "link.gif")), 0);
    ASSERT_EQ(platform::moveByCopy(name(from, "taken.gif"), name(to, "chart.gif")), 0);

    EXPECT_EQ(platform::moveByCopy(name(from, "chart.gif"), name(to, "chart.gif")), EEXIST);
    EXPECT_TRUE(QFile::exists(from.filePath("chart.gif")));
    QFile taken(to.filePath("chart.gif"));
    EXPECT_TRUE(taken.open(QIODevice::ReadOnly) && taken.readAll() == "taken.gif");
    EXPECT_EQ(platform::moveByCopy(name(from, "link.gif"), name(to, "link.gif")), 0);
    char target[64] = {};
    EXPECT_EQ(::readlink(name(to, "link.gif"), target, 63), 9);
    EXPECT_STREQ(target, "chart.gif"); // the link, not a copy of what it points to
    QFile::remove(to.filePath("chart.gif"));
    EXPECT_EQ(platform::moveByCopy(name(from, "chart.gif"), name(to, "chart.gif")), 0);
    EXPECT_FALSE(QFile::exists(from.filePath("chart.gif")));
    struct stat moved;
    ASSERT_EQ(::stat(name(to, "chart.gif"), &moved), 0);
    EXPECT_EQ(moved.st_mode & 07777, 0640u);
    EXPECT_EQ(QFileInfo(to.filePath("chart.gif")).lastModified(), written);
}

// A chart on another mount goes to that mount's own trash, $top/.Trash-$uid, by a rename; its
// info file gives the path from the mount's top. /dev/shm serves where it is a mount of its own.
TEST(MountTrash, AChartOnAnotherMountGoesToThatMountsTrash) {
    QTemporaryDir home;
    struct stat shm, tmp;
    if (::stat("/dev/shm", &shm) != 0 ||
        ::stat(QFile::encodeName(home.path()).constData(), &tmp) != 0 || shm.st_dev == tmp.st_dev ||
        ::access("/dev/shm", W_OK) != 0)
        GTEST_SKIP() << "/dev/shm is no writable mount of its own here";
    const QByteArray homePath = QFile::encodeName(home.path());
    ScopedEnv homeSet("HOME", &homePath);
    ScopedEnv dataHome("XDG_DATA_HOME", nullptr);
    QTemporaryDir archive(QStringLiteral("/dev/shm/thalwise-archive-XXXXXX"));
    ASSERT_TRUE(archive.isValid());
    const QString chart = archive.filePath("2026-11-24-12ne01.gif");
    QFile file(chart);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("GIF89a") > 0);
    file.close();

    const std::optional<QString> trashed = platform::LocalFileSystem().moveToTrash(chart);
    ASSERT_TRUE(trashed.has_value());
    const QString trash = "/dev/shm/.Trash-" + QString::number(::getuid());
    EXPECT_TRUE(trashed->startsWith(trash + "/files/2026-11-24-12ne01")) << trashed->toStdString();
    const QString infoPath = trash + "/info/" + QFileInfo(*trashed).fileName() + ".trashinfo";
    QFile info(infoPath);
    ASSERT_TRUE(info.open(QIODevice::ReadOnly));
    EXPECT_TRUE(info.readAll().contains("\nPath=" + QFile::encodeName(archive.path()).mid(9) +
                                        "/2026-11-24-12ne01.gif\n"));
    EXPECT_FALSE(QDir(home.path() + "/.local/share/Trash").exists());
    QFile::remove(*trashed);
    QFile::remove(infoPath);
}

TEST(FileMasks, StarsBacktrackAndQuestionMarksTakeOneCharacter) {
    const struct {
        const char* name;
        const char* mask;
        bool matches;
    } cases[] = {
        {"aXbYb", "*a*b", true},
        {"aXbYc", "*a*b", false},
        {"ab", "a*b", true},
        {"ab", "a?b", false},
        {"a.b.gif", "*.gif", true},
        {"gif", "*.gif", false},
        {"x.gif", "**.gif", true},
        {"x", "", false},
        {"", "*", true},
        {"\xc3\x89T\xc3\x89.GIF", "\xc3\xa9t\xc3\xa9.gif", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::matchesFileMask(QString::fromUtf8(c.name), QString::fromUtf8(c.mask)),
                  c.matches)
            << c.name << " ~ " << c.mask;
}

TEST(FakeFileSystemScript, FailsTheOperationOnThePathItWasToldAndRecordsCalls) {
    FakeFileSystem fake;
    fake.addFile("/in/chart.gif", "new");
    fake.addFile("/archive/chart.gif", "old");
    fake.failOn(FakeFileSystem::Operation::Copy, "/archive/chart.gif");
    fake.failOn(FakeFileSystem::Operation::Delete, "/archive/chart.gif");
    EXPECT_FALSE(fake.copyFile("/in/chart.gif", "/archive/chart.gif"));
    EXPECT_FALSE(fake.deleteFile("/archive/chart.gif"));
    EXPECT_EQ(fake.contents("/archive/chart.gif"), QByteArray("old"));
    EXPECT_TRUE(fake.copyFile("/in/chart.gif", "/archive/other.gif"));
    EXPECT_EQ(fake.calls,
              (QStringList{"copy /in/chart.gif /archive/chart.gif", "delete /archive/chart.gif",
                           "copy /in/chart.gif /archive/other.gif"}));
}

} // namespace
