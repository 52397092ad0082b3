#include "app/AnnotatedImage.h"

#include "app/ProgramFolders.h"
#include "geo/ChartMetadata.h"
#include "gif/GIFEncoder.h"
#include "platform/Text.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QImageWriter>
#include <QSaveFile>

#include <array>
#include <limits>

namespace app {

namespace {

constexpr int MaxEntries = 256;

inline QRgb opaque(QRgb colour) {
    return colour | 0xFF000000u;
}

int squaredDistance(QRgb a, QRgb b) {
    const int dr = qRed(a) - qRed(b);
    const int dg = qGreen(a) - qGreen(b);
    const int db = qBlue(a) - qBlue(b);
    return dr * dr + dg * dg + db * db;
}

// The palette while the composed picture is mapped onto it. Entries the chart's pixels use are
// never changed; every other entry is free until a colour claims it, and a claimed entry keeps
// its colour from then on, so an index once handed out stays right.
class PaletteMapper {
public:
    PaletteMapper() { m_table.fill(0xFF000000u); }

    // An indexed chart: its table as it is, its pixels' entries taken.
    void startFromIndexed(const QImage& chart) {
        const QList<QRgb> chartTable = chart.colorTable();
        m_size = int(std::min<qsizetype>(chartTable.size(), MaxEntries));
        for (int i = 0; i < m_size; ++i)
            m_table[i] = opaque(chartTable[i]);
        for (int y = 0; y < chart.height(); ++y) {
            const uchar* row = chart.constScanLine(y);
            for (int x = 0; x < chart.width(); ++x)
                m_taken[row[x]] = true;
        }
        // A pixel beyond the table shows black, as the decoder gives it.
        for (int i = 0; i < MaxEntries; ++i)
            if (m_taken[i]) m_kept = i + 1;
        m_size = std::max(m_size, m_kept);
        // The first entry of a colour answers for it.
        for (int i = 0; i < m_size; ++i)
            if (m_taken[i] && !m_indexOf.contains(m_table[i])) m_indexOf.insert(m_table[i], i);
        // A colour held only by an unused entry is still there for an exact match.
        for (int i = 0; i < m_size; ++i)
            if (!m_taken[i] && !m_indexOf.contains(m_table[i])) m_indexOf.insert(m_table[i], i);
        buildFreeList();
    }

    // A chart in true colour: its colours in the order first met, as many as fit.
    void startFromColours(const QImage& chart) {
        for (int y = 0; y < chart.height() && m_size < MaxEntries; ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(chart.constScanLine(y));
            for (int x = 0; x < chart.width() && m_size < MaxEntries; ++x) {
                const QRgb colour = opaque(row[x]);
                if (m_indexOf.contains(colour)) continue;
                m_table[m_size] = colour;
                m_taken[m_size] = true;
                m_indexOf.insert(colour, m_size);
                ++m_size;
            }
        }
        m_kept = m_size;
        buildFreeList();
    }

    // The entry for a colour: exact, else a free one, else the nearest.
    int indexFor(QRgb colour) {
        if (const auto found = m_indexOf.constFind(colour); found != m_indexOf.constEnd()) {
            m_taken[*found] = true;
            return *found;
        }
        while (m_nextFree < m_free.size() && m_taken[m_free[m_nextFree]])
            ++m_nextFree;
        if (m_nextFree < m_free.size()) {
            const int index = m_free[m_nextFree++];
            // The entry's old colour is no longer to be found there.
            if (const auto old = m_indexOf.find(m_table[index]);
                old != m_indexOf.end() && *old == index)
                m_indexOf.erase(old);
            m_table[index] = colour;
            m_taken[index] = true;
            m_indexOf.insert(colour, index);
            return index;
        }
        // Every entry is taken now and keeps its colour, so the answer can be remembered.
        int best = 0;
        int bestDistance = std::numeric_limits<int>::max();
        for (int i = 0; i < MaxEntries; ++i) {
            const int distance = squaredDistance(colour, m_table[i]);
            if (distance < bestDistance) {
                best = i;
                bestDistance = distance;
            }
        }
        m_indexOf.insert(colour, best);
        return best;
    }

    QRgb colour(int index) const { return m_table[index]; }

    // The table up to the last entry in use: by the chart (even where overlays now cover all
    // of its pixels, so the chart's entries stay as they were) or by the picture.
    QList<QRgb> table(int highestUsed) const {
        const int count = std::max(m_kept, highestUsed + 1);
        return QList<QRgb>(m_table.begin(), m_table.begin() + count);
    }

private:
    // Beyond the chart's table first, then unused entries whose colour another entry also holds,
    // then the remaining unused ones: an exact colour is given up only when nothing else is left.
    void buildFreeList() {
        for (int i = m_size; i < MaxEntries; ++i)
            m_free.push_back(i);
        for (const bool duplicates : {true, false})
            for (int i = 0; i < m_size; ++i)
                if (!m_taken[i] && (m_indexOf.value(m_table[i], -1) != i) == duplicates)
                    m_free.push_back(i);
    }

    std::array<QRgb, MaxEntries> m_table; // beyond the chart's table: black until claimed
    std::array<bool, MaxEntries> m_taken{};
    int m_size = 0; // entries of the chart's table
    int m_kept = 0; // up to the last entry the chart's pixels use
    QHash<QRgb, int> m_indexOf;
    std::vector<int> m_free;
    std::size_t m_nextFree = 0;
};

// The path made absolute and clean, with links resolved in the part that exists.
QString resolvedPath(const QString& path) {
    const QString clean =
        QDir::cleanPath(QFileInfo(QDir::fromNativeSeparators(path)).absoluteFilePath());
    QString head = clean;
    QString tail; // the part that does not exist (yet), starting with "/"
    while (true) {
        const QFileInfo info(head);
        if (info.exists()) {
            const QString canonical = info.canonicalFilePath();
            if (!canonical.isEmpty())
                return canonical.endsWith(u'/') ? canonical + tail.mid(1) : canonical + tail;
        }
        const qsizetype slash = head.lastIndexOf(u'/');
        if (slash < 0 || slash == head.size() - 1) return clean; // not even the root exists
        tail.prepend(head.mid(slash));
        head.truncate(slash);
        if (head.isEmpty() || head.endsWith(u':')) head += u'/';
    }
}

constexpr Qt::CaseSensitivity PathCase =
#if defined(Q_OS_WIN) || defined(Q_OS_DARWIN)
    Qt::CaseInsensitive;
#else
    Qt::CaseSensitive;
#endif

// True when path is folder itself or lies anywhere below it; both resolved.
bool liesIn(const QString& path, const QString& folder) {
    if (path.compare(folder, PathCase) == 0) return true;
    const QString prefix = folder.endsWith(u'/') ? folder : folder + u'/';
    return path.startsWith(prefix, PathCase);
}

bool fail(QString* error, const QString& reason) {
    if (error) *error = reason;
    return false;
}

bool writePng(const QImage& composed, const QStringList& commentLines, const QString& path,
              QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(error, QCoreApplication::translate("AnnotatedImage", "cannot open %1: %2")
                               .arg(path, file.errorString()));
    QImageWriter writer(&file, "png");
    // A tEXt chunk carries the same lines as a GIF's comment, the picture's mark among them.
    writer.setText(QStringLiteral("Comment"), commentLines.join(QLatin1String("\r\n")));
    if (!writer.write(composed))
        return fail(error, QCoreApplication::translate("AnnotatedImage", "cannot write %1: %2")
                               .arg(path, writer.errorString()));
    if (!file.commit())
        return fail(error, QCoreApplication::translate("AnnotatedImage", "cannot write %1: %2")
                               .arg(path, file.errorString()));
    return true;
}

} // namespace

PalettedPicture palettedPicture(const QImage& composed, const QImage& chartBitmap) {
    PalettedPicture result;
    if (composed.isNull()) return result;
    const QImage picture = composed.convertToFormat(QImage::Format_RGB32);

    PaletteMapper mapper;
    QImage chart; // indexed, or null when the chart's own indices do not count
    if (chartBitmap.colorCount() > 0) {
        chart = chartBitmap.format() == QImage::Format_Indexed8
                    ? chartBitmap
                    : chartBitmap.convertToFormat(QImage::Format_Indexed8);
        mapper.startFromIndexed(chart);
    } else if (!chartBitmap.isNull()) {
        mapper.startFromColours(chartBitmap.convertToFormat(QImage::Format_RGB32));
    }

    const int width = picture.width();
    const int height = picture.height();
    result.indices.resize(std::size_t(width) * std::size_t(height));
    int highest = 0;
    // Overlays come in runs of one colour; remembering the last one spares most look-ups.
    QRgb lastColour = 0;
    int lastIndex = -1;
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        const uchar* own = !chart.isNull() && y < chart.height() ? chart.constScanLine(y) : nullptr;
        const int ownWidth = own ? std::min(width, chart.width()) : 0;
        std::uint8_t* out = result.indices.data() + std::size_t(y) * std::size_t(width);
        for (int x = 0; x < width; ++x) {
            const QRgb colour = opaque(row[x]);
            int index;
            if (x < ownWidth && mapper.colour(own[x]) == colour) {
                index = own[x]; // untouched chart: its own entry, even where a duplicate is first
            } else if (colour == lastColour && lastIndex >= 0) {
                index = lastIndex;
            } else {
                index = mapper.indexFor(colour);
                lastColour = colour;
                lastIndex = index;
            }
            out[x] = std::uint8_t(index);
            highest = std::max(highest, index);
        }
    }
    result.colourTable = mapper.table(highest);
    return result;
}

QStringList scaleMetadataLines(const QStringList& commentTexts) {
    for (auto text = commentTexts.crbegin(); text != commentTexts.crend(); ++text) {
        if (!geo::readChartComment(*text).hasRange) continue;
        // The values as the reader takes them: the first line of each key.
        const QStringList lines = geo::commentLines(*text);
        QStringList result;
        for (const char* key : {"TMIN", "TMAX", "VARIATION"})
            result.append(QLatin1String(key) + u'=' + geo::commentValue(lines, QLatin1String(key)));
        return result;
    }
    return {};
}

bool isAnnotatedPicture(const QStringList& commentTexts) {
    const QString key = AnnotatedPictureMark.section(u'=', 0, 0);
    for (const QString& text : commentTexts)
        if (!geo::commentValue(geo::commentLines(text), key).isNull()) return true;
    return false;
}

bool writeAnnotatedImage(const QImage& composed, const QImage& chartBitmap,
                         const QStringList& metadataLines, const QString& path, QString* error) {
    if (composed.isNull())
        return fail(error, QCoreApplication::translate("AnnotatedImage", "no picture to save"));
    QStringList lines;
    for (const QString& line : metadataLines)
        if (!line.trimmed().isEmpty()) lines.append(line);
    // Quirk "saved-picture-marked": the picture carries its marks drawn in, so opened again it
    // must not get the area's marks drawn over it a second time. Without a range the mark alone
    // would be one line, which reads as a chart's time stamp: an empty TIMESTAMP keeps it keyed.
    if (lines.isEmpty()) lines.append(QStringLiteral("TIMESTAMP="));
    lines.append(AnnotatedPictureMark);
    if (path.endsWith(QLatin1String(".png"), Qt::CaseInsensitive))
        return writePng(composed, lines, path, error);

    PalettedPicture paletted = palettedPicture(composed, chartBitmap);
    gif::EncoderInput input;
    input.screenWidth = composed.width();
    input.screenHeight = composed.height();
    input.globalTable = paletted.colourTable;
    input.comments.push_back(platform::encodeWindows1252(lines.join(QLatin1String("\r\n"))));
    input.commentPlacement = gif::CommentPlacement::BeforeFirstImage;
    gif::EncoderFrame frame;
    frame.width = composed.width();
    frame.height = composed.height();
    frame.indices = std::move(paletted.indices);
    input.frames.push_back(std::move(frame));
    return gif::writeGifFile(path, input, error);
}

SaveAsRefusal saveAsRefusal(const QString& target, const QString& shownChartPath,
                            const QString& archiveFolder) {
    if (target.isEmpty()) return SaveAsRefusal::None;
    const QString resolvedTarget = resolvedPath(target);
    if (!shownChartPath.isEmpty() &&
        resolvedTarget.compare(resolvedPath(shownChartPath), PathCase) == 0)
        return SaveAsRefusal::IsShownChart;
    if (!archiveFolder.isEmpty() && liesIn(resolvedTarget, resolvedPath(archiveFolder)))
        return SaveAsRefusal::InArchiveFolder;
    return SaveAsRefusal::None;
}

QString saveAsRefusalText(SaveAsRefusal refusal) {
    switch (refusal) {
    case SaveAsRefusal::None:
        break;
    case SaveAsRefusal::IsShownChart:
        return QCoreApplication::translate(
            "AnnotatedImage", "The chart on screen cannot be replaced. Choose another file name.");
    case SaveAsRefusal::InArchiveFolder:
        return QCoreApplication::translate(
            "AnnotatedImage", "Pictures cannot be saved in the chart archive, where they would be "
                              "taken for charts. Choose another folder.");
    }
    return QString();
}

QString saveAsProposal(const QString& saveAsName, const QString& archiveFolder,
                       const QString& documentsFolder) {
    if (archiveFolder.isEmpty() || saveAsName.isEmpty() ||
        !liesIn(resolvedPath(saveAsName), resolvedPath(archiveFolder)))
        return saveAsName;
    return pelagonFilesFolderFor(documentsFolder) +
           QFileInfo(QDir::fromNativeSeparators(saveAsName)).fileName();
}

} // namespace app
