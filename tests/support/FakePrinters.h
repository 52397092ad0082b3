#pragma once
#include "platform/Printers.h"
#include "support/RecordingPrintJob.h"

#include <QList>

// Counts the printer set-up dialogs it is asked to show and answers setupResult. Every job it
// hands out, and every preview's, is a RecordingPrintJob run by jobScript; their logs stay in
// jobs and previews.
class FakePrinters : public platform::Printers {
public:
    bool printerSetup() override {
        ++setupCalls;
        return setupResult;
    }
    std::unique_ptr<platform::PrintJob> createJob() override {
        auto job = std::make_unique<RecordingPrintJob>(jobScript);
        jobs.append(job->log);
        return job;
    }
    // Renders the preview on a RecordingPrintJob of jobScript; its log goes to previews.
    void preview(const std::function<void(platform::PrintJob&)>& render) override {
        RecordingPrintJob job(jobScript);
        previews.append(job.log);
        render(job);
    }
    QString lastOutputFile() const override { return outputFile; }

    int setupCalls = 0;
    bool setupResult = true;
    RecordingPrintJob::Script jobScript;
    QList<std::shared_ptr<RecordingPrintJob::Log>> jobs;
    QList<std::shared_ptr<RecordingPrintJob::Log>> previews;
    QString outputFile; // what lastOutputFile answers
};
