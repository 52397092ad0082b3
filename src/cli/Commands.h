#pragma once

// The commands of thalwise-cli: a small table from command name to function, so that tests call
// the commands directly and later commands are one more row.

#include <QString>
#include <QStringList>

#include <vector>

class QImage;
class QTextStream;
class TGIFImage;

namespace cli {

// Runs one command with its arguments; writes results to out and one-line errors to err.
// Returns the process exit status: 0 success, 1 a file failed, 2 wrong usage.
using CommandFunction = int (*)(const QStringList& args, QTextStream& out, QTextStream& err);

struct Command {
    const char* name;
    const char* usage; // arguments after the name, e.g. "FILE..."
    CommandFunction run;
};

const std::vector<Command>& commands();

// Dispatches args (without the program name) to the command named by args[0].
int run(const QStringList& args, QTextStream& out, QTextStream& err);

// "info FILE...": file, width, height, frames and the first frame's comment lines per file.
int info(const QStringList& args, QTextStream& out, QTextStream& err);
// "decode FILE OUT.ppm": the whole image at the logical screen's size as binary PPM.
int decode(const QStringList& args, QTextStream& out, QTextStream& err);

// The first frame's comment text split at CR and LF, each line trimmed, empty lines skipped.
QStringList commentLines(const TGIFImage& image);

// Writes image as binary PPM (P6, maxval 255) atomically. On failure returns false and sets
// *error to a one-line reason.
bool writePpm(const QImage& image, const QString& path, QString* error);

} // namespace cli
