#pragma once
#include "platform/Printers.h"
#include "support/RecordingPrintJob.h"

#include <QList>

// Counts the printer set-up dialogs it is asked to show and answers setupResult. Every job it
// hands out is a RecordingPrintJob run by jobScript; their logs stay in jobs.
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

    int setupCalls = 0;
    bool setupResult = true;
    RecordingPrintJob::Script jobScript;
    QList<std::shared_ptr<RecordingPrintJob::Log>> jobs;
};
