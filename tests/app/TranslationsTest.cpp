// The texts the user sees go through Qt's translation, the texts written into files do not, and
// the program's translations are found by the user's languages.
#include "app/Translations.h"
#include "app/AnnotatedImage.h"
#include "app/ChartFiles.h"
#include "app/PointerTools.h"
#include "app/ProgramFolders.h"
#include "archive/ArchiveTidyUp.h"
#include "dialogs/AddText.h"
#include "dialogs/PrintForm.h"
#include "geo/AnnotationFile.h"
#include "geo/AreaStuff.h"
#include "geo/Gpx.h"
#include "geo/ThalwiseUtils.h"
#include "gif/GIFImage.h"
#include "platform/ProfileFile.h"
#include "printing/BitmapPage.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

void ensureApplication() {
    static int argc = 1;
    static char name[] = "thalwise-tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
}

// A made-up translation of every text of every context: the source text in brackets.
class BracketTranslator : public QTranslator {
public:
    QString translate(const char*, const char* sourceText, const char*, int) const override {
        if (!sourceText || !*sourceText) return QString();
        return QStringLiteral("[") + QString::fromUtf8(sourceText) + QStringLiteral("]");
    }
    bool isEmpty() const override { return false; }
};

// Installs a translator for the lifetime of the object.
struct Installed {
    explicit Installed(QTranslator& translator) : m_translator(translator) {
        QCoreApplication::installTranslator(&m_translator);
    }
    ~Installed() { QCoreApplication::removeTranslator(&m_translator); }
    QTranslator& m_translator;
};

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class TranslationsTest : public ::testing::Test {
protected:
    void SetUp() override { ensureApplication(); }
    BracketTranslator bracket;
};

TEST_F(TranslationsTest, DialogsShowTheirTextsTranslated) {
    const Installed installed(bracket);
    TFormAddText addText;
    EXPECT_EQ(addText.windowTitle(), QStringLiteral("[Enter annotation text]"));
    EXPECT_EQ(addText.findChild<QPushButton*>(QStringLiteral("ButtonCancel"))->text(),
              QStringLiteral("[Cancel]"));
    EXPECT_EQ(TFormPrint::caption(), QStringLiteral("[\"Pelagon\" - print image]"));
}

TEST_F(TranslationsTest, UnitsWithoutObjectsTranslateTheirMessages) {
    const Installed installed(bracket);
    const platform::MessageBoxRequest erase =
        app::eraseTextQuestion(QStringLiteral("%2 ok"), {3, 4});
    EXPECT_EQ(erase.caption, QStringLiteral("[Confirm erase text]"));
    // The placeholders are filled in after the translation, in one pass.
    EXPECT_EQ(erase.text, QStringLiteral("[Are you sure you want to erase the text: \r\"%2 ok\"\r"
                                         "at the point at X:3, Y:4 ?]"));
    EXPECT_EQ(archive::purgeQuestion({QStringLiteral("/a/ne01.gif")}, 7),
              QStringLiteral("ne01.gif\r\r[These files in the Chart Archive are older than 7 "
                             "days.]\r[Do you want to delete them now?]"));
    EXPECT_EQ(geo::pixelPanelText(12, 34), QStringLiteral("[X: 12, Y: 34]"));
    EXPECT_EQ(app::chartCaption(QString()),
              QStringLiteral("[\"Pelagon\" Chart viewer (from Brinecast) - [(unknown area)]]"));
    EXPECT_EQ(geo::areaDisplayName(1), QStringLiteral("[North-east area 1]"));
    EXPECT_EQ(geo::areaDisplayName(0), QString()); // no area: no caption, translated or not

    // The decoder's errors reach the message box translated.
    QByteArray notAGif("XIF89a and then some bytes that are no picture at all");
    QBuffer buffer(&notAGif);
    buffer.open(QIODevice::ReadOnly);
    try {
        TGIFImage chart;
        chart.LoadFromStream(buffer);
        ADD_FAILURE() << "the damaged picture loaded";
    } catch (const GIFException& error) {
        EXPECT_EQ(error.message(), QStringLiteral("[Invalid GIF signature]"));
    }
}

TEST_F(TranslationsTest, TextsWrittenIntoFilesStayAsTheyAre) {
    const QString documents = QStringLiteral("/home/someone/Documents");
    const QString archiveFolder = app::archiveFolderFor(documents);
    const QString infoFolder = app::programInfoFolderFor(documents);
    const QStringList trip{QStringLiteral("Lat=40.50,Lon=-70.25,Tf=65.0")};
    const QByteArray gpx = geo::gpxDocument(trip, 41.0, -71.0);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto annotationFile = [&dir](const QString& name) {
        platform::ProfileFile file(dir.filePath(name));
        bool failed = false;
        geo::loadAnnotations(file, &failed);
        geo::saveAnnotations(file, {AnnotationLine{{QPoint(1, 2), QPoint(3, 4)}}},
                             {AnnotationText{QStringLiteral("buoy"), QPoint(5, 6)}});
        return readAll(dir.filePath(name));
    };
    const QByteArray annotations = annotationFile(QStringLiteral("plain.ini"));
    ASSERT_FALSE(annotations.isEmpty());

    const Installed installed(bracket);
    EXPECT_EQ(app::archiveFolderFor(documents), archiveFolder);
    EXPECT_TRUE(archiveFolder.endsWith(QStringLiteral("Chart Archive/")));
    EXPECT_EQ(app::programInfoFolderFor(documents), infoFolder);
    EXPECT_EQ(geo::annotationFileName(infoFolder, QStringLiteral("ne01")),
              infoFolder + QStringLiteral("ne01.ini"));
    EXPECT_EQ(geo::gpxDocument(trip, 41.0, -71.0), gpx);
    EXPECT_EQ(annotationFile(QStringLiteral("translated.ini")), annotations);
}

// The .qm files the tests make from .ts texts.
class QmFiles : public TranslationsTest {
protected:
    void SetUp() override {
        TranslationsTest::SetUp();
#ifndef THALWISE_LRELEASE
        GTEST_SKIP() << "Qt's linguist tools were not found at configure time";
#endif
        ASSERT_TRUE(dir.isValid());
    }

    // Writes folder/name.ts with the translations (context, source, translation) and makes
    // folder/name.qm from it.
    void makeQm(const QString& folder, const QString& name,
                const QList<std::array<QString, 3>>& messages) {
#ifdef THALWISE_LRELEASE
        QByteArray ts = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n"
                        "<TS version=\"2.1\" language=\"de\">\n";
        for (const auto& [context, source, translation] : messages)
            ts += "<context><name>" + context.toHtmlEscaped().toUtf8() +
                  "</name><message><source>" + source.toHtmlEscaped().toUtf8() +
                  "</source><translation>" + translation.toHtmlEscaped().toUtf8() +
                  "</translation></message></context>\n";
        ts += "</TS>\n";
        QDir().mkpath(folder);
        const QString tsPath = folder + u'/' + name + QStringLiteral(".ts");
        QFile file(tsPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(ts);
        file.close();
        QProcess lrelease;
        lrelease.start(QStringLiteral(THALWISE_LRELEASE),
                       {QStringLiteral("-silent"), tsPath, QStringLiteral("-qm"),
                        folder + u'/' + name + QStringLiteral(".qm")});
        ASSERT_TRUE(lrelease.waitForFinished(60000));
        ASSERT_EQ(lrelease.exitCode(), 0) << lrelease.readAllStandardError().toStdString();
#else
        (void)folder, (void)name, (void)messages;
#endif
    }

    QTemporaryDir dir;
};

TEST_F(QmFiles, AnInstalledTranslationChangesWhatTheUserSees) {
    makeQm(dir.path(), QStringLiteral("thalwise_de"),
           {{QStringLiteral("TFormAddText"), QStringLiteral("Enter annotation text"),
             QStringLiteral("Anmerkungstext eingeben")},
            {QStringLiteral("PointerTools"), QStringLiteral("Confirm erase line"),
             QStringLiteral("Linie löschen?")},
            {QStringLiteral("ArchiveTidyUp"), QLatin1String(archive::PurgeCaption),
             QStringLiteral("Archiv aufräumen")},
            {QStringLiteral("ThalwiseUtils"), QStringLiteral("Lat: %1    Lon: %2"),
             QStringLiteral("Länge %2 / Breite %1")}});
    std::unique_ptr<QTranslator> german = app::loadTranslation(
        QStringLiteral("thalwise"), app::translationLanguages({QStringLiteral("de-CH")}),
        app::translationFolders(dir.path()));
    ASSERT_NE(german, nullptr);
    const Installed installed(*german);
    EXPECT_EQ(TFormAddText().windowTitle(), QStringLiteral("Anmerkungstext eingeben"));
    EXPECT_EQ(app::eraseLineQuestion({0, {1, 2}, {3, 4}}).caption,
              QStringLiteral("Linie löschen?"));
    // A constant marked where it is declared is found under the context it is shown with.
    EXPECT_EQ(QCoreApplication::translate("ArchiveTidyUp", archive::PurgeCaption),
              QStringLiteral("Archiv aufräumen"));
    // A translation may put the readout's parts in another order.
    EXPECT_EQ(geo::positionPanelText(40.5f, -70.25f, true, QLocale::c()),
              QStringLiteral("Länge 70.250\u00B0 / Breite 40.500\u00B0"));
    // A text without a translation stays English.
    EXPECT_EQ(TFormPrint::caption(), QStringLiteral("\"Pelagon\" - print image"));
}

TEST_F(QmFiles, ThePreferredLanguageWinsOverTheEarlierFolder) {
    const QString first = dir.filePath(QStringLiteral("first"));
    const QString second = dir.filePath(QStringLiteral("second"));
    const QList<std::array<QString, 3>> english{{QStringLiteral("TFormAddText"),
                                                 QStringLiteral("Enter annotation text"),
                                                 QStringLiteral("from first")}};
    // The first folder has the second language and a file without a language, which a loader
    // that shortens names would take for the first language.
    makeQm(first, QStringLiteral("thalwise_en"), english);
    makeQm(first, QStringLiteral("thalwise"), english);
    makeQm(second, QStringLiteral("thalwise_pt"),
           {{QStringLiteral("TFormAddText"), QStringLiteral("Enter annotation text"),
             QStringLiteral("Introduza o texto")}});
    std::unique_ptr<QTranslator> loaded = app::loadTranslation(
        QStringLiteral("thalwise"),
        app::translationLanguages({QStringLiteral("pt-BR"), QStringLiteral("en-US")}),
        {first, second});
    ASSERT_NE(loaded, nullptr);
    const Installed installed(*loaded);
    EXPECT_EQ(TFormAddText::caption(), QStringLiteral("Introduza o texto"));

    EXPECT_EQ(
        app::loadTranslation(QStringLiteral("thalwise"), {QStringLiteral("fr")}, {first, second}),
        nullptr);
}

TEST(TranslationLanguages, PreferredFirstEachNameOnce) {
    const struct {
        QStringList uiLanguages;
        QStringList expected;
    } cases[] = {
        {{}, {}},
        {{QStringLiteral("de-DE")}, {QStringLiteral("de_DE"), QStringLiteral("de")}},
        {{QStringLiteral("pt-BR"), QStringLiteral("pt"), QStringLiteral("en-US")},
         {QStringLiteral("pt_BR"), QStringLiteral("pt"), QStringLiteral("en_US"),
          QStringLiteral("en")}},
        {{QStringLiteral("zh-Hant-TW")},
         {QStringLiteral("zh_Hant_TW"), QStringLiteral("zh_Hant"), QStringLiteral("zh")}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(app::translationLanguages(c.uiLanguages), c.expected)
            << c.uiLanguages.join(u' ').toStdString();
}

TEST(EmbeddedTranslations, TheSourceLanguageFileIsInTheProgram) {
#ifndef THALWISE_LRELEASE
    GTEST_SKIP() << "Qt's linguist tools were not found at configure time";
#endif
    EXPECT_TRUE(QFile::exists(QStringLiteral(":/translations/thalwise_en.qm")));
}

// The text of the element the reader stands on; control characters are written as
// <byte value="xd"/> in a .ts file.
QString textOf(QXmlStreamReader& xml) {
    QString text;
    for (int depth = 1; depth > 0 && !xml.atEnd();) {
        switch (xml.readNext()) {
        case QXmlStreamReader::Characters:
            text += xml.text();
            break;
        case QXmlStreamReader::StartElement:
            ++depth;
            if (xml.name() == QLatin1String("byte"))
                text += QChar(
                    xml.attributes().value(QLatin1String("value")).mid(1).toUInt(nullptr, 16));
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        default:
            break;
        }
    }
    return text;
}

// (context, source) of every message of a .ts file.
QSet<QString> messagesOf(const QByteArray& ts) {
    QSet<QString> messages;
    QXmlStreamReader xml(ts);
    QString context;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == QLatin1String("name"))
            context = textOf(xml);
        else if (xml.name() == QLatin1String("source"))
            messages.insert(context + u'\x1F' + textOf(xml));
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString() << " at line "
                                 << xml.lineNumber();
    return messages;
}

QString message(const char* context, const char* source) {
    return QString::fromUtf8(context) + u'\x1F' + QString::fromUtf8(source);
}

// lupdate finds the texts, the constants under the contexts they are shown with, and the .ts
// file in the repository holds what lupdate finds today.
TEST(SourceTexts, LupdateFindsThemAndTheRepositoryFileIsCurrent) {
#ifndef THALWISE_LUPDATE
    GTEST_SKIP() << "Qt's linguist tools were not found at configure time";
#else
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString ts = dir.filePath(QStringLiteral("thalwise_en.ts"));
    QProcess lupdate;
    lupdate.start(QStringLiteral(THALWISE_LUPDATE),
                  {QStringLiteral("-silent"), QStringLiteral("-extensions"),
                   QStringLiteral("cpp,h"), QStringLiteral("-locations"), QStringLiteral("none"),
                   QStringLiteral(THALWISE_SOURCE_DIR "/src"), QStringLiteral("-ts"), ts});
    ASSERT_TRUE(lupdate.waitForFinished(120000));
    ASSERT_EQ(lupdate.exitCode(), 0) << lupdate.readAllStandardError().toStdString();
    const QSet<QString> found = messagesOf(readAll(ts));
    EXPECT_GT(found.size(), 150) << "texts lost their translation wrappers";
    const QString expected[] = {
        message("ChartFiles", app::OutOfMemoryText),
        message("ChartFiles", app::UnrecognisedAreaMessage),
        message("ChartFiles", app::AreaNotRecognisedWarning),
        message("ArchiveTidyUp", archive::PurgeCaption),
        message("ArchiveTidyUp", archive::DeleteCaption),
        message("ArchiveTidyUp", archive::RetentionItems[0].caption),
        message("ArchiveTidyUp", archive::RetentionItems[5].caption),
        message("BitmapPage", printing::message::BitmapLoadError),
        message("GIFImage", gif::message::InvalidSignature),
        message("GIFImage", gif::message::FileTooLarge),
        message("AreaStuff", "Florida area 14"),
        message("TFormPrint", "\"Pelagon\" - print image"),
    };
    for (const QString& text : expected)
        EXPECT_TRUE(found.contains(text)) << text.toStdString();
    // Data never goes into the translations: the names of folders, files and settings.
    for (const QString& data :
         {QStringLiteral("Chart Archive"), QStringLiteral("Program Info"),
          QStringLiteral("My Pelagon Files"), QStringLiteral("DaysToKeep"), QStringLiteral("Trip"),
          QStringLiteral("Pelagon image"), QStringLiteral("Thalwise.pdf")})
        for (const QString& text : found)
            EXPECT_FALSE(text.endsWith(u'\x1F' + data)) << text.toStdString();
    const QSet<QString> inRepository = messagesOf(readAll(QStringLiteral(THALWISE_TS_FILE)));
    const QStringList missing = QSet<QString>(found).subtract(inRepository).values();
    const QStringList gone = QSet<QString>(inRepository).subtract(found).values();
    EXPECT_TRUE(missing.isEmpty() && gone.isEmpty())
        << "translations/thalwise_en.ts is out of date: build the target thalwise_lupdate.\n"
        << "New: " << missing.join(u'|').toStdString()
        << "\nGone: " << gone.join(u'|').toStdString();
#endif
}

} // namespace
