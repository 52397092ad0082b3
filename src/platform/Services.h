#pragma once

namespace platform {

class MessageBoxes;
class FileDialogs;
class Clock;
class Desktop;
class Registry;
class Printers;

// The platform services the main window uses; main() wires the real ones, tests the fakes.
// None is owned here.
struct Services {
    MessageBoxes* messageBoxes = nullptr;
    FileDialogs* fileDialogs = nullptr;
    Clock* clock = nullptr;
    Desktop* desktop = nullptr;
    Registry* registry = nullptr;
    Printers* printers = nullptr;
};

} // namespace platform
