#pragma once

// What every command of thalwise-cli shares: its command line read by QCommandLineParser with
// the program's conventions, the way errors are written, and the readers of the values users
// type (positions, pixels, whole numbers), each saying what is wrong with a value it refuses.

#include "geo/Waypoint.h"

#include <QCommandLineParser>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <optional>

class QTextStream;

namespace cli {

inline constexpr char ProgramName[] = "thalwise-cli";

// "thalwise-cli: SUBJECT: MESSAGE" on err, one line.
void reportError(QTextStream& err, const QString& subject, const QString& message);

// One command's command line. The command declares its options and arguments, then parses:
//   CommandLine line("probe");
//   line.addValue("at", "LAT,LON", "...");
//   if (const std::optional<int> done = line.parse(args, out, err)) return *done;
// Options may come before, between or after the arguments, as "--at 42,-70" or "--at=42,-70".
// An option given twice is refused unless it is declared repeatable.
class CommandLine {
public:
    // command names the row of the command table that gives the usage line and summary; an
    // action of a command (archive intake) gives its own usage, the words after the name.
    explicit CommandLine(const char* command, const char* actionUsage = nullptr);

    // An option without a value.
    void addFlag(const QString& name, const QString& description);
    // An option that takes a value, shown as "--NAME <VALUENAME>" in the help.
    void addValue(const QString& name, const QString& valueName, const QString& description,
                  bool repeatable = false);
    // An argument, for the help's list of arguments.
    void addArgument(const QString& name, const QString& description);
    // Paragraphs the help shows after the summary.
    void setNotes(const QString& notes);

    // Reads args (the words after the command's name). Nothing when the command should go on;
    // otherwise the command is done and this is its exit status: 0 after "--help" printed the
    // command's help on out, 2 after a wrong command line was told on err.
    std::optional<int> parse(const QStringList& args, QTextStream& out, QTextStream& err);

    bool isSet(const QString& name) const;
    // The option's value; empty when it is not given.
    QString value(const QString& name) const;
    QStringList values(const QString& name) const;
    QStringList arguments() const;

    // A wrong command line: "thalwise-cli: COMMAND: REASON" when there is a reason, then the
    // usage line. Returns 2, the status for wrong usage.
    int wrong(QTextStream& err, const QString& reason = {}) const;

    // The command's help: the usage line, the summary, the notes, the options and arguments.
    QString helpText() const;

private:
    const char* m_command;
    const char* m_actionUsage;
    QCommandLineParser m_parser;
    QStringList m_valueNames;      // options taking a value, for telling values from options
    QStringList m_repeatableNames; // options that may be given more than once
    QString m_notes;
};

// "usage: thalwise-cli COMMAND ARGUMENTS" on err, the line a wrong command line ends with.
// Returns 2.
int usage(QTextStream& err, const char* command);

// A position in decimal degrees, negative south and west.
struct Position {
    float latitude = 0.0f;
    float longitude = 0.0f;
};

// The readers of typed values. Each returns nothing for a value it refuses and sets *why to
// "TEXT: WHAT IS WRONG" (such as "95,-70: latitude 95 is out of range (-90 to 90)").

// "LAT,LON": latitude -90..90, longitude -180..180, with a period.
std::optional<Position> readPosition(const QString& text, QString* why);
// "X,Y": two whole numbers.
std::optional<QPoint> readPixel(const QString& text, QString* why);
// A waypoint's stored text ("Lat=%.2f,Lon=%.2f,Tf=%.1f"), as ParseWaypoint reads it; *why names
// the item that is missing or wrong ("no Tf= item", "Lat=91 is out of range (-90 to 90)").
std::optional<Waypoint> readWaypoint(const QString& text, QString* why);
// A whole number within lowest..highest.
std::optional<int> readWholeNumber(const QString& text, int lowest, int highest, QString* why);

// Numbers the user reads, with a period whatever the locale, never "-0.0".
QString fixed(double value, int decimals);
// A value with at least one decimal and as many more as it needs to read back unchanged
// (3.25 stays 3.25, -15 reads -15.0), never in exponent form.
QString shortestText(float value);

} // namespace cli
