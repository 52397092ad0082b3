// libFuzzer target: any bytes as a BMP file through LoadDibFromStream, and what loads printed
// in bands onto a job that draws nothing; then the same bytes split into a header block and a
// pixel block handed to PrintDibRect directly, as a caller with blocks from anywhere would.
// A refusal is orderly; a crash, a sanitizer report, a leak or a loaded header that the engine
// calls invalid is a finding.

#include "printing/PrnDib.h"
#include "printing/PrnUtils.h"

#include <QBuffer>
#include <QImage>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// Bands of a tiny screen, with or without large-bitmap support; every band's pixels read.
class NullJob : public platform::PrintJob {
public:
    explicit NullJob(bool largeBitmaps) : m_large(largeBitmaps) {}
    bool begin(const QString&, platform::PageOrientation) override { return true; }
    platform::PageMetrics pageMetrics() const override {
        return {QSize(5100, 6600), QRect(100, 150, 4880, 6270), 600, 600, QSize(40, 16), m_large};
    }
    bool drawImage(const QRect& target, const QImage& image) override {
        if (image.size() != target.size()) std::abort();
        volatile std::uint8_t sink =
            image.constScanLine(image.height() - 1)[image.bytesPerLine() - 1];
        (void)sink;
        return true;
    }
    platform::TextMetrics textMetrics(const platform::PrintFont&) const override { return {}; }
    int textWidth(const QString&, const platform::PrintFont&) const override { return 0; }
    bool drawText(const QPoint&, const QString&, const platform::PrintFont&) override {
        return false;
    }
    bool newPage() override { return false; }
    bool end() override { return true; }
    void abort() override {}

private:
    bool m_large;
};

// Pictures of millions of pixels are legal but slow to expand under the sanitizers.
bool small(const QByteArray& header) {
    const std::optional<printing::DibHeaderMetrics> m = printing::dibHeaderMetrics(header);
    return !m || qint64(m->width) * m->absHeight() <= 4 * 1024 * 1024;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const bool large = size > 0 && (data[0] & 1);
    {
        QByteArray copy = bytes;
        QBuffer stream(&copy);
        stream.open(QIODevice::ReadOnly);
        const std::optional<printing::PackedDib> dib = LoadDibFromStream(stream);
        if (dib) {
            const std::optional<printing::DibHeaderMetrics> m =
                printing::dibHeaderMetrics(dib->header);
            if (!m || m->width != dib->width || m->absHeight() != dib->height) std::abort();
            if (!small(dib->header)) return -1;
            NullJob job(large);
            const QRect source(0, 0, dib->width, dib->height);
            const QRect target(3, 2, 57, 41);
            const printing::DibPrintResult result =
                PrintDibRect(job, target, source, dib->header, dib->pixels, QRect(0, 0, 50, 40));
            // A loaded picture is always printable, apart from runs cut off mid-record.
            if (result != printing::DibPrintResult::Printed &&
                result != printing::DibPrintResult::UnreadableImage)
                std::abort();
            if (dib->width <= 300 && dib->height <= 300)
                PrintDibRect(job, source, source, dib->header, dib->pixels, source);
        }
    }
    // The engine on its own: the first byte says where the header block ends.
    if (size >= 2) {
        const qsizetype split = std::min<qsizetype>(qsizetype(data[1]) * 8, bytes.size() - 2);
        const QByteArray header = bytes.mid(2, split);
        if (!small(header)) return 0;
        NullJob job(large);
        PrintDibRect(job, QRect(0, 0, 33, 21), QRect(1, 1, 5, 3), header, bytes.mid(2 + split),
                     QRect(0, 0, 33, 21));
    }
    return 0;
}
