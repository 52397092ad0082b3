#pragma once
#include "platform/PrintJob.h"

#include <memory>

class QPainter;
class QPrinter;

namespace platform {

// A document painted with QPainter on a QPrinter: the printer chosen in the set-up dialog, or
// a PDF file when the printer's output format is PDF. The printer must outlive the job. A job
// destroyed before end is ended as it stands.
class QtPrintJob : public PrintJob {
public:
    explicit QtPrintJob(QPrinter& printer);
    ~QtPrintJob() override;

    bool begin(const QString& title, PageOrientation orientation) override;
    PageMetrics pageMetrics() const override;
    bool drawImage(const QRect& target, const QImage& image) override;
    TextMetrics textMetrics(const PrintFont& font) const override;
    int textWidth(const QString& line, const PrintFont& font) const override;
    bool drawText(const QPoint& topLeft, const QString& line, const PrintFont& font) override;
    bool newPage() override;
    bool end() override;
    void abort() override;

private:
    bool active() const;

    QPrinter& m_printer;
    std::unique_ptr<QPainter> m_painter;
};

} // namespace platform
