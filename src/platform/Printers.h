#pragma once
#include <memory>

namespace platform {

class PrintJob;

// The printer the program prints on, and the printer set-up dialog. The real one is the only
// code that shows a QPrintDialog; tests record the calls.
class Printers {
public:
    virtual ~Printers() = default;
    // Lets the user choose the printer and its paper and orientation for later jobs.
    // False when the user cancels; the previous choice then stays.
    virtual bool printerSetup() = 0;
    // A new document on the printer chosen last (or the default one); not yet begun.
    virtual std::unique_ptr<PrintJob> createJob() = 0;
};

} // namespace platform
