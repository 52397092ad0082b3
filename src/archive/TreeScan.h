#pragma once
#include <QCollator>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

namespace platform {
class FileSystem;
}

// Walks one folder, or a folder tree, and reports every file that matches its masks through
// events, on the calling thread. For each folder: its OnDirectoryFound, its matching files in
// the order the user's locale sorts their paths ignoring case, then each subfolder's tree in
// that order, then its OnDirectoryDone; OnSearchDone once at the end. Folder paths end with
// the native separator; a file path is its folder path followed by the name.
class TTreeScanner : public QObject {
public:
    // An event: a plain notification that passes only the scanner; the handler reads
    // FileFound() and FileSize() from it during the call.
    using Event = std::function<void(TTreeScanner& sender)>;

    // The scanner reads folders through fileSystem, which must outlive it. No masks,
    // Recursive true, hidden files and folders skipped.
    explicit TTreeScanner(platform::FileSystem& fileSystem, QObject* owner = nullptr);
    ~TTreeScanner() override;

    // Raised when a folder is entered, and for a subfolder passed over because Recursive was
    // switched off during the search.
    Event OnDirectoryFound;
    // Raised when a folder and everything below it has been reported.
    Event OnDirectoryDone;
    // Raised once at the end of a search, after SearchInProgress has returned to false.
    Event OnSearchDone;
    // Raised once for each matching file.
    Event OnFileFound;

    // During an event: the full path of the file or folder concerned. After a search: the
    // last folder reported.
    const QString& FileFound() const { return m_fileFound; }
    // During OnFileFound: the file's size in bytes; 0 at all other times. Quirk "whole-size":
    // the whole size rather than its low 32 bits, so a file of 5 GB never reads as 1 GB.
    qint64 FileSize() const { return m_fileSize; }
    // True from the start of a search until just before OnSearchDone.
    bool SearchInProgress() const { return m_searchInProgress; }

    // The folder the next search starts in; a search makes it end with the separator (the
    // working folder when it was empty).
    const QString& InitialDirectory() const { return m_initialDirectory; }
    void setInitialDirectory(const QString& folder) { m_initialDirectory = folder; }

    // The first mask of the sorted list, or empty. Writing replaces the list by this one mask;
    // writes during a search are ignored.
    QString FileMask() const;
    void setFileMask(const QString& mask);
    // The whole mask list as comma text (commas or blanks between items, double quotes
    // allowed). Writing replaces the list; writes during a search are ignored.
    QString FileMaskCommaText() const;
    void setFileMaskCommaText(const QString& commaText);
    // The masks, sorted ignoring case as the user's locale does, without duplicates. An empty
    // list reports no files.
    const QStringList& masks() const { return m_masks; }

    // Descend into subfolders (read where each subfolder is reached).
    bool Recursive() const { return m_recursive; }
    void setRecursive(bool recursive) { m_recursive = recursive; }
    // Report files that carry the hidden attribute (on Linux: a name starting with ".").
    bool FindHiddenFiles() const { return m_findHiddenFiles; }
    void setFindHiddenFiles(bool find) { m_findHiddenFiles = find; }
    // Enter subfolders that carry the hidden attribute. System folders are never entered.
    bool FindHiddenFolders() const { return m_findHiddenFolders; }
    void setFindHiddenFolders(bool find) { m_findHiddenFolders = find; }

    // Lets the owner keep its window responsive: keepResponsive is called once each time a
    // folder is entered, before its OnDirectoryFound, and after every everyEntries files
    // reported (between two events, never during one). Events keep their order. An empty
    // function turns it off.
    void setKeepResponsive(std::function<void()> keepResponsive, int everyEntries = 64);

    // Runs one complete search from InitialDirectory and returns after all its events. A
    // missing or unreadable folder yields no entries and no error. An exception from a handler
    // ends the search at once and reaches the caller: no further events (OnSearchDone
    // included), SearchInProgress back to false. A call while this scanner is searching (from
    // one of its handlers) does nothing.
    void Search();

private:
    void SearchFolder(const QString& folder);
    // The order of reported paths: the user's locale ignoring case; paths equal but for
    // letter case in character order.
    bool pathBefore(const QString& a, const QString& b) const;
    void raise(const Event& event);
    void keepResponsive();
    void replaceMasks(const QStringList& masks);

    platform::FileSystem& m_fileSystem;
    QCollator m_collator;
    QStringList m_masks;
    QString m_fileFound;
    qint64 m_fileSize = 0;
    bool m_searchInProgress = false;
    QString m_initialDirectory;
    bool m_recursive = true;
    bool m_findHiddenFiles = false;
    bool m_findHiddenFolders = false;
    std::function<void()> m_keepResponsive;
    int m_keepResponsiveEvery = 64;
    int m_entriesSinceResponsive = 0;
};
