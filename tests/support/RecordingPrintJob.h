#pragma once
#include "platform/PrintJob.h"

#include <QImage>
#include <QList>
#include <QStringList>
#include <algorithm>
#include <memory>

// A print job that records every call in order and draws nothing. Its page, fonts and
// failures come from a script. The log is shared, so it outlives a job the code under test
// has already destroyed.
class RecordingPrintJob : public platform::PrintJob {
public:
    struct Script {
        // Portrait; a landscape job reports it turned (width and height, x and y swapped).
        // Unprintable edges of 100, 150, 120 and 180 pixels: an even margin of 180. A screen of
        // 1024 x 768 (not turned) and a printer that takes large pictures.
        platform::PageMetrics metrics{
            QSize(5100, 6600), QRect(100, 150, 4880, 6270), 600, 600, QSize(1024, 768), true};
        QStringList families{QStringLiteral("Courier New")};
        int lineHeight = 100; // of a 10-point font; in proportion for other sizes
        int charWidth = 50;   // every character of a 10-point font; in proportion for other sizes
        bool beginResult = true;
        int failDrawAt = 0; // the k-th drawImage or drawText (from 1) fails; 0: none does
        int failDraws = 1;  // and so do the failDraws - 1 draws after it
    };

    enum class Kind { Begin, PageMetrics, DrawImage, TextMetrics, DrawText, NewPage, End, Abort };
    struct Call {
        Call() = default;
        Call(Kind kind) : kind(kind) {}
        Kind kind = Kind::Begin;
        bool result = true;
        QString text; // Begin: the title; DrawText: the line
        platform::PageOrientation orientation = platform::PageOrientation::Portrait;
        QRect target;             // DrawImage
        QImage image;             // DrawImage: the pixels as passed
        QPoint topLeft;           // DrawText
        platform::PrintFont font; // TextMetrics, DrawText
        int page = 0;             // the page the call came on, from 1; 0 outside the document
    };
    struct Log {
        QList<Call> calls;
        QList<Call> of(Kind kind) const {
            QList<Call> found;
            for (const Call& call : calls)
                if (call.kind == kind) found.append(call);
            return found;
        }
        // The pages begun, counting the first one.
        int pages() const {
            int pages = 0;
            for (const Call& call : calls)
                pages = std::max(pages, call.page);
            return pages;
        }
        // The lines drawn on one page (from 1), or on every page with 0.
        QStringList lines(int page = 0) const {
            QStringList lines;
            for (const Call& call : of(Kind::DrawText))
                if (page == 0 || call.page == page) lines.append(call.text);
            return lines;
        }
        bool ended() const { return !of(Kind::End).isEmpty(); }
    };

    RecordingPrintJob() = default;
    explicit RecordingPrintJob(Script script) : script(std::move(script)) {}

    bool begin(const QString& title, platform::PageOrientation orientation) override {
        Call call;
        call.kind = Kind::Begin;
        call.text = title;
        call.orientation = orientation;
        call.result = m_state == State::New && script.beginResult;
        if (call.result) {
            m_state = State::Printing;
            m_orientation = orientation;
            m_page = 1;
        }
        return add(call);
    }
    platform::PageMetrics pageMetrics() const override {
        Call call;
        call.kind = Kind::PageMetrics;
        add(call);
        platform::PageMetrics metrics = script.metrics;
        if (m_orientation == platform::PageOrientation::Landscape) {
            metrics.sheet.transpose();
            const QRect p = metrics.printable;
            metrics.printable = QRect(p.y(), p.x(), p.height(), p.width());
            std::swap(metrics.dpiX, metrics.dpiY);
        }
        return metrics;
    }
    bool drawImage(const QRect& target, const QImage& image) override {
        Call call{Kind::DrawImage};
        call.target = target;
        call.image = image;
        call.result = drawAllowed() && !image.isNull() && !target.isEmpty();
        return add(call);
    }
    platform::TextMetrics textMetrics(const platform::PrintFont& font) const override {
        Call call{Kind::TextMetrics};
        call.font = font;
        add(call);
        return {script.lineHeight * font.pointSize / 10,
                script.families.contains(font.family, Qt::CaseInsensitive)};
    }
    int textWidth(const QString& line, const platform::PrintFont& font) const override {
        return int(line.size()) * script.charWidth * font.pointSize / 10;
    }
    bool drawText(const QPoint& topLeft, const QString& line,
                  const platform::PrintFont& font) override {
        Call call{Kind::DrawText};
        call.topLeft = topLeft;
        call.text = line;
        call.font = font;
        call.result = drawAllowed();
        return add(call);
    }
    bool newPage() override {
        Call call{Kind::NewPage};
        call.result = m_state == State::Printing;
        if (call.result) ++m_page;
        return add(call);
    }
    bool end() override {
        Call call{Kind::End};
        call.result = m_state == State::Printing;
        add(call);
        m_state = State::Done;
        return call.result;
    }
    void abort() override {
        add(Call{Kind::Abort});
        m_state = State::Done;
    }

    Script script;
    std::shared_ptr<Log> log = std::make_shared<Log>();

private:
    enum class State { New, Printing, Done };
    bool drawAllowed() {
        if (m_state != State::Printing) return false;
        ++m_draws;
        return script.failDrawAt == 0 || m_draws < script.failDrawAt ||
               m_draws >= script.failDrawAt + std::max(1, script.failDraws);
    }
    bool add(Call call) const {
        call.page = m_state == State::Printing ? m_page : 0;
        log->calls.append(call);
        return call.result;
    }

    State m_state = State::New;
    platform::PageOrientation m_orientation = platform::PageOrientation::Portrait;
    int m_page = 0;
    int m_draws = 0;
};
