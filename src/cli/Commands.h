#pragma once

// The commands of thalwise-cli: a small table from command name to the function that runs it.
// Each command lives in a file of its own (InfoCommand.cpp, ProbeCommand.cpp, ...) and reads its
// command line with CommandLine; adding a command is that file and one row of the table. The
// chart commands go through the same unit functions as the window (area recognition, mapping,
// temperature scale, range and bearing), so that both give the same numbers.

#include <QStringList>

#include <vector>

class QTextStream;

namespace cli {

// Runs one command with its arguments (the words after its name); writes results to out and
// one-line errors to err. Returns the process exit status: 0 success, 1 a file or computation
// failed, 2 wrong usage. "COMMAND --help" prints the command's help on out with status 0.
using CommandFunction = int (*)(const QStringList& args, QTextStream& out, QTextStream& err);

// What the program must start before a command runs: drawing text needs a GUI application for
// its fonts (the offscreen platform serves, no display is needed).
enum class Application { Core, Gui };

struct Command {
    const char* name;
    const char* usage;   // arguments after the name, e.g. "FILE..."
    const char* summary; // one line: what the command does
    CommandFunction run;
    Application application = Application::Core;
};

const std::vector<Command>& commands();
// The row of the command named name, or nullptr.
const Command* findCommand(const QString& name);

// Dispatches args (without the program name) to the command named by args[0]; "--help" lists
// the commands, "--version" gives the program's version.
int run(const QStringList& args, QTextStream& out, QTextStream& err);

// True when the command line asks for a command that needs a GUI application.
bool needsFonts(const QStringList& args);

} // namespace cli
