#include "app/Translations.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace app {

QStringList translationLanguages(const QStringList& uiLanguages) {
    QStringList languages;
    for (const QString& uiLanguage : uiLanguages) {
        QString name = uiLanguage.trimmed();
        name.replace(u'-', u'_');
        while (!name.isEmpty()) {
            if (!languages.contains(name)) languages.append(name);
            const qsizetype cut = name.lastIndexOf(u'_');
            if (cut < 0) break;
            name.truncate(cut);
        }
    }
    return languages;
}

QStringList translationFolders(const QString& applicationDir) {
    return {QStringLiteral(":/translations"), applicationDir,
            applicationDir + QStringLiteral("/translations"),
            applicationDir + QStringLiteral("/../share/thalwise/translations")};
}

std::unique_ptr<QTranslator> loadTranslation(const QString& baseName, const QStringList& languages,
                                             const QStringList& folders) {
    auto translator = std::make_unique<QTranslator>();
    for (const QString& language : languages) {
        for (const QString& folder : folders) {
            const QString path = folder + u'/' + baseName + u'_' + language + QStringLiteral(".qm");
            // The exact file only: QTranslator::load would otherwise try shorter names itself
            // (down to baseName.qm), which would skip over a later folder's exact match.
            if (!QFileInfo(path).isFile()) continue;
            if (translator->load(path)) return translator;
        }
    }
    return nullptr;
}

void installTranslators(QCoreApplication& app) {
    const QStringList languages = translationLanguages(QLocale::system().uiLanguages());
    const auto install = [&app](std::unique_ptr<QTranslator> translator) {
        if (!translator) return;
        translator->setParent(&app);
        QCoreApplication::installTranslator(translator.release());
    };
    // Qt's own first: a translator installed later is asked first, and ours are the program's.
    install(loadTranslation(QStringLiteral("qtbase"), languages,
                            {QLibraryInfo::path(QLibraryInfo::TranslationsPath)}));
    install(loadTranslation(QStringLiteral("thalwise"), languages,
                            translationFolders(QCoreApplication::applicationDirPath())));
}

} // namespace app
