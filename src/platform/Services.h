#pragma once

namespace platform {

class MessageBoxes;
class FileDialogs;
class FontDialogs;
class Clock;
class Desktop;
class Registry;
class Printers;
class FileSystem;

// The platform services the main window uses; main() wires the real ones, tests the fakes.
// None is owned here. Print jobs come from printers.
struct Services {
    MessageBoxes* messageBoxes = nullptr;
    FileDialogs* fileDialogs = nullptr;
    Clock* clock = nullptr;
    Desktop* desktop = nullptr;
    Registry* registry = nullptr;
    Printers* printers = nullptr;
    FileSystem* fileSystem = nullptr;
    FontDialogs* fontDialogs = nullptr;
};

} // namespace platform
