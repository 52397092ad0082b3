#pragma once
#include <QString>
#include <functional>
#include <memory>

namespace platform {

class PrintJob;

// The printer the program prints on, the printer set-up dialog and the page preview. The real
// one is the only code that shows Qt's print dialogs; tests record the calls.
class Printers {
public:
    virtual ~Printers() = default;
    // Lets the user choose the printer (or a PDF file) and its paper for later jobs, and
    // remembers the choice for the next run. False when the user cancels; the previous choice
    // then stays.
    virtual bool printerSetup() = 0;
    // A new document on the printer chosen last (or the default one); not yet begun. On a PDF
    // file printer the user is asked where each job writes (the folder chosen last offered,
    // with a name no earlier print has), unless the set-up dialog just named the file; null
    // when the user cancels that question.
    virtual std::unique_ptr<PrintJob> createJob() = 0;
    // Shows the pages render draws on a job of the chosen printer's page, as they would print;
    // the user may print them from there. Returns when the preview is closed.
    virtual void preview(const std::function<void(PrintJob&)>& render) = 0;
    // The PDF file the last job from createJob writes; empty when it goes to a printer.
    virtual QString lastOutputFile() const = 0;
};

} // namespace platform
