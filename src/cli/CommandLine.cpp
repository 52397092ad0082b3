#include "cli/CommandLine.h"

#include "cli/Commands.h"

#include "geo/TextFields.h"
#include "geo/ThalwiseUtils.h"

#include <QLocale>
#include <QRegularExpression>
#include <QTextStream>

#include <algorithm>
#include <cmath>

namespace cli {

void reportError(QTextStream& err, const QString& subject, const QString& message) {
    err << ProgramName << ": " << subject << ": " << message << Qt::endl;
}

int usage(QTextStream& err, const char* command) {
    if (const Command* row = findCommand(QLatin1String(command)))
        err << "usage: " << ProgramName << ' ' << row->name << ' ' << row->usage << Qt::endl;
    return 2;
}

CommandLine::CommandLine(const char* command, const char* actionUsage)
    : m_command(command), m_actionUsage(actionUsage) {
    m_parser.addOption(QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                                          QStringLiteral("Shows this help.")));
}

void CommandLine::addFlag(const QString& name, const QString& description) {
    m_parser.addOption(QCommandLineOption(name, description));
}

void CommandLine::addValue(const QString& name, const QString& valueName,
                           const QString& description, bool repeatable) {
    m_parser.addOption(QCommandLineOption(name, description, valueName));
    m_valueNames.append(name);
    if (repeatable) m_repeatableNames.append(name);
}

void CommandLine::addArgument(const QString& name, const QString& description) {
    m_parser.addPositionalArgument(name, description);
}

void CommandLine::setNotes(const QString& notes) {
    m_notes = notes;
}

std::optional<int> CommandLine::parse(const QStringList& args, QTextStream& out, QTextStream& err) {
    // Quirk "negative-numbers-are-values": "-33.5,151" is a southern position, not a bundle of
    // short options. Such words go after "--", where the parser takes every word as an argument,
    // together with the other arguments so that their order stays. A word after an option that
    // takes a value is that value and stays where it is.
    static const QRegularExpression negativeNumber(QStringLiteral("^-[0-9.]"));
    QStringList options;
    QStringList arguments;
    bool protect = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& word = args[i];
        if (word == QLatin1String("--")) {
            arguments += args.mid(i + 1);
            protect = true;
            break;
        }
        if (word.startsWith(QLatin1String("--"))) {
            options.append(word);
            const QString name = word.mid(2).section(u'=', 0, 0);
            if (!word.contains(u'=') && m_valueNames.contains(name) && i + 1 < args.size())
                options.append(args[++i]);
        } else if (word.startsWith(u'-') && !negativeNumber.match(word).hasMatch() &&
                   word != QLatin1String("-")) {
            options.append(word);
        } else {
            arguments.append(word);
            protect = protect || word.startsWith(u'-');
        }
    }
    QStringList words = {
        QStringLiteral("%1 %2").arg(QLatin1String(ProgramName), QLatin1String(m_command))};
    words += options;
    if (protect) words.append(QStringLiteral("--"));
    words += arguments;

    if (!m_parser.parse(words)) return wrong(err, m_parser.errorText());
    if (m_parser.isSet(QStringLiteral("help"))) {
        out << helpText();
        out.flush();
        return 0;
    }
    const QStringList given = m_parser.optionNames();
    for (const QString& name : m_valueNames) {
        if (!m_repeatableNames.contains(name) && m_parser.values(name).size() > 1)
            return wrong(err, QStringLiteral("--%1 is given more than once").arg(name));
    }
    for (const QString& name : given) {
        if (!m_valueNames.contains(name) && given.count(name) > 1)
            return wrong(err, QStringLiteral("--%1 is given more than once").arg(name));
    }
    return std::nullopt;
}

bool CommandLine::isSet(const QString& name) const {
    return m_parser.isSet(name);
}

QString CommandLine::value(const QString& name) const {
    return m_parser.value(name);
}

QStringList CommandLine::values(const QString& name) const {
    return m_parser.values(name);
}

QStringList CommandLine::arguments() const {
    return m_parser.positionalArguments();
}

int CommandLine::wrong(QTextStream& err, const QString& reason) const {
    if (!reason.isEmpty()) reportError(err, QLatin1String(m_command), reason);
    if (!m_actionUsage) return usage(err, m_command);
    err << "usage: " << ProgramName << ' ' << m_command << ' ' << m_actionUsage << Qt::endl;
    return 2;
}

QString CommandLine::helpText() const {
    QString text;
    if (const Command* row = findCommand(QLatin1String(m_command)))
        text = QStringLiteral("usage: %1 %2 %3\n\n%4\n")
                   .arg(QLatin1String(ProgramName), QLatin1String(row->name),
                        QLatin1String(m_actionUsage ? m_actionUsage : row->usage),
                        QLatin1String(row->summary));
    if (!m_notes.isEmpty()) text += m_notes + u'\n';
    // Qt's own text begins with its usage line and a blank line; the options and arguments
    // follow.
    const QString qtHelp = m_parser.helpText();
    const qsizetype lists = qtHelp.indexOf(QLatin1String("\n\n"));
    return text + u'\n' + (lists < 0 ? qtHelp : qtHelp.mid(lists + 2));
}

QString fixed(double value, int decimals) {
    // Without this a negative zero would read "-0.0".
    return geo::formatFixed(value == 0.0 ? 0.0 : value, decimals, QLocale::c());
}

QString shortestText(float value) {
    for (int decimals = 1; decimals < 9; ++decimals) {
        const QString candidate = fixed(value, decimals);
        if (QLocale::c().toFloat(candidate) == value) return candidate;
    }
    return fixed(value, 9);
}

std::optional<Position> readPosition(const QString& text, QString* why) {
    const QStringList parts = text.split(u',');
    if (parts.size() != 2) {
        *why = text + QStringLiteral(": not a position LAT,LON in decimal degrees");
        return std::nullopt;
    }
    const struct {
        const char* name;
        double limit;
    } coordinates[] = {{"latitude", 90.0}, {"longitude", 180.0}};
    double values[2] = {};
    for (int i = 0; i < 2; ++i) {
        bool ok = false;
        values[i] = QLocale::c().toDouble(parts[i], &ok);
        if (!ok || !std::isfinite(values[i])) {
            *why = QStringLiteral("%1: %2 %3 is not a number")
                       .arg(text, QLatin1String(coordinates[i].name), parts[i]);
            return std::nullopt;
        }
        if (std::fabs(values[i]) > coordinates[i].limit) {
            *why = QStringLiteral("%1: %2 %3 is out of range (-%4 to %4)")
                       .arg(text, QLatin1String(coordinates[i].name), parts[i])
                       .arg(coordinates[i].limit);
            return std::nullopt;
        }
    }
    return Position{float(values[0]), float(values[1])};
}

std::optional<QPoint> readPixel(const QString& text, QString* why) {
    const QStringList parts = text.split(u',');
    bool xOk = false;
    bool yOk = false;
    const int x = parts.size() == 2 ? QLocale::c().toInt(parts[0], &xOk) : 0;
    const int y = parts.size() == 2 ? QLocale::c().toInt(parts[1], &yOk) : 0;
    if (!xOk || !yOk) {
        *why = text + QStringLiteral(": not a pixel X,Y of two whole numbers");
        return std::nullopt;
    }
    return QPoint(x, y);
}

std::optional<Waypoint> readWaypoint(const QString& text, QString* why) {
    if (std::optional<Waypoint> waypoint = ParseWaypoint(text)) return waypoint;
    // The first item of each name counts, as the reader takes it.
    const QStringList items = geo::splitCommaText(text);
    const struct {
        const char* name;
        double limit;
    } fields[] = {{"Lat", 90.0}, {"Lon", 180.0}, {"Tf", HUGE_VAL}};
    *why = text + QStringLiteral(": not a waypoint text");
    for (const auto& field : fields) {
        const auto item = std::find_if(items.begin(), items.end(), [&](const QString& candidate) {
            return candidate.contains(u'=') &&
                   candidate.section(u'=', 0, 0)
                           .compare(QLatin1String(field.name), Qt::CaseInsensitive) == 0;
        });
        if (item == items.end()) {
            *why = QStringLiteral("%1: no %2= item").arg(text, QLatin1String(field.name));
            break;
        }
        const QString value = item->section(u'=', 1);
        bool ok = false;
        double number = QLocale::c().toDouble(value, &ok);
        if (!ok) number = QLocale().toDouble(value, &ok);
        if (!ok || !std::isfinite(number)) {
            *why = QStringLiteral("%1: %2 is not a number").arg(text, *item);
            break;
        }
        if (std::fabs(number) > field.limit) {
            *why = QStringLiteral("%1: %2 is out of range (-%3 to %3)")
                       .arg(text, *item)
                       .arg(field.limit);
            break;
        }
    }
    return std::nullopt;
}

std::optional<int> readWholeNumber(const QString& text, int lowest, int highest, QString* why) {
    bool ok = false;
    const int value = QLocale::c().toInt(text, &ok);
    if (!ok) {
        *why = text + QStringLiteral(": not a whole number");
        return std::nullopt;
    }
    if (value < lowest || value > highest) {
        *why = QStringLiteral("%1: out of range (%2 to %3)").arg(text).arg(lowest).arg(highest);
        return std::nullopt;
    }
    return value;
}

} // namespace cli
