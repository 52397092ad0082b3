#include "archive/TreeScan.h"

#include "geo/TextFields.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

#include <QDir>

#include <algorithm>
#include <utility>

namespace {

// SearchInProgress returns to false however the walk ends, also when a handler throws.
class SearchingFlag {
public:
    explicit SearchingFlag(bool& flag) : m_flag(flag) { m_flag = true; }
    ~SearchingFlag() { m_flag = false; }
    SearchingFlag(const SearchingFlag&) = delete;
    SearchingFlag& operator=(const SearchingFlag&) = delete;

private:
    bool& m_flag;
};

struct FoundFile {
    QString path;
    qint64 size = 0;
};

} // namespace

TTreeScanner::TTreeScanner(platform::FileSystem& fileSystem, QObject* owner)
    : QObject(owner), m_fileSystem(fileSystem) {
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
    // Plain character order, as the user's file lists show it: time stamps are zero-padded.
    m_collator.setNumericMode(false);
}

TTreeScanner::~TTreeScanner() = default;

QString TTreeScanner::FileMask() const {
    return m_masks.isEmpty() ? QString() : m_masks.first();
}

void TTreeScanner::setFileMask(const QString& mask) {
    if (m_searchInProgress) return;
    replaceMasks(QStringList{mask});
}

QString TTreeScanner::FileMaskCommaText() const {
    return geo::joinCommaText(m_masks);
}

void TTreeScanner::setFileMaskCommaText(const QString& commaText) {
    if (m_searchInProgress) return;
    replaceMasks(geo::splitCommaText(commaText));
}

void TTreeScanner::replaceMasks(const QStringList& masks) {
    // Sorted ignoring case, and a mask equal to one listed already but for letter case is
    // dropped: the masks themselves match without regard to case.
    m_masks.clear();
    for (const QString& mask : masks) {
        const auto at = std::lower_bound(
            m_masks.begin(), m_masks.end(), mask,
            [this](const QString& listed, const QString& m) { return m_collator(listed, m); });
        if (at != m_masks.end() && m_collator.compare(*at, mask) == 0) continue;
        m_masks.insert(at, mask);
    }
}

void TTreeScanner::setKeepResponsive(std::function<void()> keepResponsive, int everyEntries) {
    m_keepResponsive = std::move(keepResponsive);
    m_keepResponsiveEvery = std::max(1, everyEntries);
}

void TTreeScanner::keepResponsive() {
    m_entriesSinceResponsive = 0;
    if (m_keepResponsive) m_keepResponsive();
}

void TTreeScanner::raise(const Event& event) {
    if (event) event(*this);
}

bool TTreeScanner::pathBefore(const QString& a, const QString& b) const {
    // Quirk "case-twins-both-reported": on a file system that tells letter case apart, two
    // files whose names differ only in case are two charts; both are reported, in character
    // order after the locale's, instead of the second being taken for a duplicate.
    const int order = m_collator.compare(a, b);
    return order != 0 ? order < 0 : a < b;
}

void TTreeScanner::Search() {
    // Quirk "no-nested-search": a handler (or the window's event processing between entries)
    // that starts this scanner again would overwrite FileFound under the running walk.
    if (m_searchInProgress) return;
    {
        SearchingFlag searching(m_searchInProgress);
        m_fileFound.clear();
        m_fileSize = 0;
        if (m_initialDirectory.isEmpty()) m_initialDirectory = QDir::currentPath();
        m_initialDirectory = platform::withTrailingSeparator(m_initialDirectory);
        m_entriesSinceResponsive = 0;
        SearchFolder(m_initialDirectory);
    }
    raise(OnSearchDone);
}

void TTreeScanner::SearchFolder(const QString& folder) {
    // Once per folder, before anything else, the window may handle what is pending.
    keepResponsive();

    m_fileSize = 0;
    m_fileFound = folder;
    raise(OnDirectoryFound);

    const QChar separator = QDir::separator();
    QStringList subfolders;
    if (m_recursive) {
        // As the Windows attribute filter does: system folders are never entered, hidden ones
        // only when asked for.
        for (const platform::FileEntry& entry :
             m_fileSystem.entries(folder, {QStringLiteral("*.*")})) {
            if (!entry.isFolder || entry.system) continue;
            if (entry.hidden && !m_findHiddenFolders) continue;
            if (entry.name == QLatin1String(".") || entry.name == QLatin1String("..")) continue;
            subfolders.append(folder + entry.name + separator);
        }
    }

    // One listing for all masks: a file that several masks match is listed once.
    QList<FoundFile> files;
    if (!m_masks.isEmpty()) {
        for (const platform::FileEntry& entry : m_fileSystem.entries(folder, m_masks)) {
            if (entry.isFolder) continue;
            if (entry.hidden && !m_findHiddenFiles) continue;
            files.append(FoundFile{folder + entry.name, entry.size});
        }
    }
    std::sort(files.begin(), files.end(), [this](const FoundFile& a, const FoundFile& b) {
        return pathBefore(a.path, b.path);
    });
    files.erase(
        std::unique(files.begin(), files.end(),
                    [](const FoundFile& a, const FoundFile& b) { return a.path == b.path; }),
        files.end());

    for (const FoundFile& file : files) {
        m_fileFound = file.path;
        m_fileSize = file.size;
        raise(OnFileFound);
        m_fileSize = 0;
        if (++m_entriesSinceResponsive >= m_keepResponsiveEvery) keepResponsive();
    }

    std::sort(subfolders.begin(), subfolders.end(),
              [this](const QString& a, const QString& b) { return pathBefore(a, b); });
    subfolders.erase(std::unique(subfolders.begin(), subfolders.end()), subfolders.end());
    for (const QString& subfolder : subfolders) {
        if (m_recursive) {
            SearchFolder(subfolder);
        } else {
            // Switched off during the search: the subfolder is named but not entered.
            m_fileFound = subfolder;
            raise(OnDirectoryFound);
        }
    }

    m_fileFound = folder;
    raise(OnDirectoryDone);
}
