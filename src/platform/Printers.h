#pragma once

class QPrinter;

namespace platform {

// The printer the program prints on, and the printer set-up dialog. The real one is the only
// code that shows a QPrintDialog; tests record the calls.
class Printers {
public:
    virtual ~Printers() = default;
    // Lets the user choose the printer and its paper and orientation for later jobs.
    // False when the user cancels; the previous choice then stays.
    virtual bool printerSetup() = 0;
};

} // namespace platform
