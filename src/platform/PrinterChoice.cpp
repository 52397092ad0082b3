#include "platform/PrinterChoice.h"

#include "platform/Registry.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace platform {

namespace {

const QString OutputValue = QStringLiteral("Output");
const QString PrinterValue = QStringLiteral("Printer");
const QString PaperValue = QStringLiteral("Paper");
const QString PdfFolderValue = QStringLiteral("PdfFolder");
const QString PdfNameValue = QStringLiteral("PdfName");
// A folder holding this many prints of one name gets no more of them.
constexpr int MaxNumber = 9999;

QString readText(const Registry& registry, const QString& key, const QString& name) {
    const std::optional<RegistryValue> value = registry.readValue(key, name);
    return value && value->type == ValueType::String ? value->text : QString();
}

} // namespace

QString printerChoiceKey(const QString& settingsKey) {
    return settingsKey + QStringLiteral("\\Printer");
}

std::optional<PrinterChoice> readPrinterChoice(const Registry& registry,
                                               const QString& settingsKey) {
    const QString key = printerChoiceKey(settingsKey);
    if (!registry.keyExists(key)) return std::nullopt;
    PrinterChoice choice;
    const std::optional<RegistryValue> output = registry.readValue(key, OutputValue);
    if (output && output->type == ValueType::Dword && output->dword == 1)
        choice.output = PrinterChoice::Output::PdfFile;
    choice.printerName = readText(registry, key, PrinterValue);
    choice.paper = readText(registry, key, PaperValue);
    choice.pdfFolder = readText(registry, key, PdfFolderValue);
    // A name, never a path: a stored "../x.pdf" or "/etc/x.pdf" keeps only its last part.
    choice.pdfName = QFileInfo(readText(registry, key, PdfNameValue)).fileName();
    return choice;
}

bool writePrinterChoice(Registry& registry, const QString& settingsKey,
                        const PrinterChoice& choice) {
    const QString key = printerChoiceKey(settingsKey);
    const bool pdf = choice.output == PrinterChoice::Output::PdfFile;
    bool written = registry.writeValue(key, OutputValue, RegistryValue::fromDword(pdf ? 1 : 0));
    written = registry.writeValue(key, PrinterValue, RegistryValue::fromText(choice.printerName)) &&
              written;
    written = registry.writeValue(key, PaperValue, RegistryValue::fromText(choice.paper)) && written;
    written =
        registry.writeValue(key, PdfFolderValue, RegistryValue::fromText(choice.pdfFolder)) &&
        written;
    written =
        registry.writeValue(key, PdfNameValue, RegistryValue::fromText(choice.pdfName)) && written;
    return written;
}

QString nextFreeFileName(const QString& path, const std::function<bool(const QString&)>& exists) {
    if (!exists(path)) return path;
    const QFileInfo info(path);
    const QString suffix = info.suffix();
    QString stem = suffix.isEmpty() ? info.fileName() : info.completeBaseName();
    const QString folder = info.path();
    // A name that is numbered already goes on counting: "trip (3).pdf" is followed by
    // "trip (4).pdf", not "trip (3) (2).pdf".
    int first = 2;
    static const QRegularExpression numbered(QStringLiteral("^(.*) \\((\\d{1,4})\\)$"));
    if (const QRegularExpressionMatch match = numbered.match(stem); match.hasMatch()) {
        stem = match.captured(1);
        first = std::max(2, match.captured(2).toInt() + 1);
    }
    for (int n = first; n <= MaxNumber; ++n) {
        QString name = QStringLiteral("%1 (%2)").arg(stem).arg(n);
        if (!suffix.isEmpty()) name += QLatin1Char('.') + suffix;
        const QString candidate = QDir(folder).filePath(name);
        if (!exists(candidate)) return candidate;
    }
    return {};
}

} // namespace platform
