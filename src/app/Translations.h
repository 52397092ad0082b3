#pragma once
// The program's texts in the user's language: Qt's own translations and ours, picked by the
// user's UI languages.

#include <QString>
#include <QStringList>

#include <memory>

class QCoreApplication;
class QTranslator;

namespace app {

// The language names to look for, in order of preference, for a list of UI languages such as
// QLocale::uiLanguages() gives: each name with "_" between its parts ("de-DE" gives "de_DE"),
// then without its last part, and so on ("de"), each name once. Empty for an empty list.
QStringList translationLanguages(const QStringList& uiLanguages);

// The folders our translations are looked for in, in order: the program's resource
// (":/translations"), the executable's folder, its "translations" subfolder, and the data
// folder beside it ("../share/thalwise/translations"). applicationDir without a trailing slash.
QStringList translationFolders(const QString& applicationDir);

// Loads the file baseName + "_" + language + ".qm" for the first language (in order) that has
// one in any of the folders (folders in order for each language), so that a preferred language
// in any folder wins over a later one. Nothing (nullptr) when no file is found or none loads.
std::unique_ptr<QTranslator> loadTranslation(const QString& baseName, const QStringList& languages,
                                             const QStringList& folders);

// Installs, for QLocale::system()'s UI languages, Qt's own translations ("qtbase_xx" from Qt's
// translations folder) and ours ("thalwise_xx"), each where one loads. The translators belong
// to app. Call once, before the first window is made.
void installTranslators(QCoreApplication& app);

} // namespace app
