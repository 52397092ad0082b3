#pragma once
#include <QString>
#include <functional>
#include <optional>

namespace platform {

class Registry;

// The printer the user chose last, kept in the settings store from one run to the next.
struct PrinterChoice {
    enum class Output { Printer, PdfFile };
    Output output = Output::Printer;
    QString printerName; // a printer of the system; empty: its default one
    QString paper;       // the paper's key ("A4", "Letter", ...); empty: the printer's own
    QString pdfFolder;   // where PDF files are written
    QString pdfName;     // the file name chosen last in that folder ("trip.pdf")

    bool operator==(const PrinterChoice&) const = default;
};

// The sub-key of the settings key the choice lives under.
QString printerChoiceKey(const QString& settingsKey);

// Nothing when no choice was ever stored (or the store cannot be read). A value of the wrong
// type reads as missing.
std::optional<PrinterChoice> readPrinterChoice(const Registry& registry,
                                               const QString& settingsKey);
// False when the store cannot be written.
bool writePrinterChoice(Registry& registry, const QString& settingsKey,
                        const PrinterChoice& choice);

// path itself when no file of that name exists; otherwise the first free of "name (2).pdf",
// "name (3).pdf", ... up to "name (9999).pdf" in the same folder, so that a print never
// replaces an earlier one. Empty when all of them exist.
QString nextFreeFileName(const QString& path, const std::function<bool(const QString&)>& exists);

} // namespace platform
