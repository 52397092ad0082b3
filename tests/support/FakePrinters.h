#pragma once
#include "platform/Printers.h"

// Counts the printer set-up dialogs it is asked to show and answers setupResult.
class FakePrinters : public platform::Printers {
public:
    bool printerSetup() override {
        ++setupCalls;
        return setupResult;
    }

    int setupCalls = 0;
    bool setupResult = true;
};
