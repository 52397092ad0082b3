#pragma once
#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>
#include <vector>

namespace platform {

// A classic sections-and-keys INI file, read and written the way the Win32 profile functions
// (GetPrivateProfileString, WritePrivateProfileString) treat one:
//
//   [DataLevel]
//   Revision=1
//   [Lines]
//   0=120,45,300,210
//
// A line "[name]" starts a section; "key=value" lines (split at the first "=") are its keys;
// blanks and tabs around names and values do not count, and a value in a matching pair of double
// or single quotes is read without them. Lines ";..." and lines without "=" are kept as they are
// but name no key. Section and key names match without regard to letter case. The file is read
// once, when the object is made; changes stay in memory until flush() writes the whole file.
// Any content loads without failing: whatever does not read as sections and keys is kept.
class ProfileFile {
public:
    // Reads the file at path now (a missing file is an empty one; nothing is created).
    explicit ProfileFile(const QString& path);

    const QString& path() const { return m_path; }

    // Key names of a section in file order (a key repeated in the section is listed once per
    // line, like the platform), as many as fit a listing buffer of ListingBufferSize bytes where
    // each name takes its UTF-8 byte length + 1 and one byte is kept for the final NUL (with keys
    // 0,1,2,... that admits 3498 names: 0..3497).
    QStringList sectionKeys(const QString& section) const;
    static constexpr int ListingBufferSize = 16384;

    // The value of the first line of the key in the section, cut to maxChars characters (the
    // platform's buffer of 2048 holds 2047); defaultValue when the key is missing.
    QString readString(const QString& section, const QString& key, const QString& defaultValue = {},
                       int maxChars = MaxValueChars) const;
    static constexpr int MaxValueChars = 2047;

    // "key=value" for every listed key whose value is not empty, in listing order.
    QStringList readSectionValues(const QString& section) const;

    bool sectionExists(const QString& section) const;

    // In memory until flush: replaces the value of the key's first line in the section, or
    // appends the key after the section's last key, or appends the section at the end of the file.
    // Blanks around the section and key names do not count. A value with blanks at either end, or
    // in a pair of quotes, is written in double quotes, so it reads back as it was. False, and
    // nothing changed, for what could not be read back: a line break, a NUL or half of a
    // surrogate pair anywhere, a "]" in the section name, a key that is empty, holds "=" or
    // starts with "[" (a section) or ";" (a comment).
    bool writeString(const QString& section, const QString& key, const QString& value);

    // In memory until flush: removes the section header and all its lines (every section of
    // that name).
    void eraseSection(const QString& section);

    // Writes the whole file atomically, UTF-8 without byte-order mark, CRLF line ends. False when
    // it cannot be written (missing or read-only folder, full disk, an existing file that could
    // not be read); memory is then unchanged and the file on disk is as it was.
    bool flush();

    // Changes not yet flushed.
    bool modified() const { return m_modified; }

    // Larger files are read only up to this size (whole lines). The first flush of such a file
    // first copies the original to "<file>.bak", so that nothing beyond the limit is lost.
    static constexpr qint64 MaxFileSize = 32 * 1024 * 1024;

private:
    // Verbatim: one or more consecutive lines that name no key (comments, blank lines, text
    // without "=", lines before the first section). Erased: unlinked, kept only so that line
    // numbers stay valid.
    enum class Kind : std::uint8_t { Verbatim, Header, Key, Erased };

    // One line of the file, or a run of verbatim lines, as a span of m_text without its final
    // line end. Lines form a list in file order through next, so that adding one never moves
    // another.
    struct Line {
        qsizetype begin = 0;
        qint32 length = 0;
        qint32 next = -1;
        qint32 section = -1; // the header line of the section it lies in (keys only)
        Kind kind = Kind::Verbatim;
    };

    // Open addressing of line numbers by a keyed hash of a folded name, seeded anew in each
    // process; a line of -1 marks a free slot. Each slot keeps its name's hash, so that a probe
    // looks at a line only when the hashes agree and growing never hashes a name again.
    // Entries of erased lines stay until the table grows.
    struct Slot {
        std::uint32_t hash = 0;
        qint32 line = -1;
    };
    struct LineTable {
        std::vector<Slot> entries;
        qsizetype used = 0;
    };

    void parse(const QString& text);
    QStringView lineText(qint32 line) const;
    qint32 addLine(qint32 after, const QString& text, Kind kind, qint32 section);

    qint32 findSection(QStringView name) const;
    qint32 findSection(QStringView name, std::uint32_t hash) const;
    void addSection(qint32 header, std::uint32_t hash);
    qint32 findKey(qint32 header, QStringView key) const;
    qint32 findKey(qint32 header, QStringView key, std::uint32_t hash) const;
    void addKey(qint32 line, std::uint32_t hash) const;
    void indexKeysOf(qint32 header) const;
    qint32 lastKeyLine(qint32 header) const;
    QString serialized() const;

    QString m_path;
    QString m_text; // the file's text, then the text of every line written since
    std::vector<Line> m_lines;
    qint32 m_head = -1;
    qint32 m_tail = -1;
    LineTable m_sections; // the first header of each section name
    // The first line of each key, filled a section at a time when one is first looked into.
    mutable LineTable m_keys;
    mutable QSet<qint32> m_indexedSections;
    // The section last appended to and its last key, so that writing many keys stays linear.
    qint32 m_appendSection = -1;
    qint32 m_appendLine = -1;
    bool m_modified = false;
    bool m_unreadable = false; // the file exists but could not be read: never replaced
    bool m_truncated = false;  // read only up to MaxFileSize: back up before replacing
};

// The message the file layer gives for a failed write: "Unable to write to %s" with the full
// path.
QString unableToWriteText(const QString& path);

} // namespace platform
