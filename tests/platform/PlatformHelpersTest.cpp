#include "platform/FileDialogs.h"
#include "platform/Paths.h"
#include "platform/QtDesktop.h"
#include "platform/QtFileDialogs.h"
#include "platform/QtFontDialogs.h"
#include "platform/QtMessageBoxes.h"
#include "platform/SystemClock.h"
#include "platform/Text.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

using platform::Button;
using platform::Icon;

namespace {

QApplication& application() {
    static int argc = 1;
    static char name[] = "PlatformHelpersTest";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

} // namespace

TEST(DayNumber, CountsWholeLocalDaysSinceTheEndOf1899) {
    const struct {
        QDate date;
        QTime time;
        int expected;
    } cases[] = {
        {QDate(1899, 12, 30), QTime(0, 0), 0},
        {QDate(1899, 12, 31), QTime(23, 59, 59), 1},
        {QDate(1900, 1, 1), QTime(0, 0), 2},
        {QDate(1900, 3, 1), QTime(12, 0), 61}, // 1900 is no leap year
        {QDate(2000, 1, 1), QTime(0, 0), 36526},
        {QDate(2024, 2, 29), QTime(23, 59, 59, 999), 45351},
        {QDate(2024, 3, 1), QTime(0, 0), 45352}, // one millisecond later
        {QDate(2026, 12, 8), QTime(6, 0), 46364},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::dayNumber(QDateTime(c.date, c.time)), c.expected)
            << c.date.toString(Qt::ISODate).toStdString();
    EXPECT_EQ(platform::dayNumber(QDateTime()), 0);
    const QDateTime now = platform::SystemClock().now();
    EXPECT_EQ(platform::dayNumber(now), QDate(1899, 12, 30).daysTo(now.date()));
}

TEST(NameFilters, EachPairBecomesOneFilterWhoseMaskQtReads) {
    const struct {
        const char* pairs;
        QStringList expected;
    } cases[] = {
        {"Florida images (fl*.gif)|area-fl*.gif|All files|*.*",
         {"Florida images (fl*.gif) (area-fl*.gif)", "All files (*)"}},
        {"GIF image (*.gif)|*.gif|All files (*.*)|*.*",
         {"GIF image (*.gif) (*.gif)", "All files (*.*) (*)"}},
        {"Pictures|*.gif;*.png", {"Pictures (*.gif *.png)"}},
        {"|*.gif", {"*.gif (*.gif)"}},
        {"Lonely description", {}},
        {"A|*.a|B", {"A (*.a)"}},
        {"Empty mask||B|*.b", {"B (*.b)"}},
        {"", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::nameFiltersFromPairs(QString::fromUtf8(c.pairs)), c.expected)
            << c.pairs;
}

TEST(Paths, AppendingABackslashFolderTextGivesANativePath) {
    const QString sep = QDir::separator();
    const struct {
        const char* folder;
        const char* tail;
        QString expected;
    } cases[] = {
        {"/home/u/Documents", "\\My Pelagon Files\\Chart Archive\\",
         "/home/u/Documents/My Pelagon Files/Chart Archive/"},
        {"/home/u/Documents/", "\\My Pelagon Files\\Program Info\\",
         "/home/u/Documents/My Pelagon Files/Program Info/"},
        {"/", "\\Charts\\", "/Charts/"},
        {"/home/u", "Charts", "/home/u/Charts"},
        {"", "\\Charts\\", "Charts/"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(
            platform::appendFolderPath(QString::fromUtf8(c.folder), QString::fromUtf8(c.tail)),
            QDir::toNativeSeparators(c.expected))
            << c.folder << " + " << c.tail;

    const struct {
        const char* path;
        const char* expected;
    } names[] = {
        {"C:\\Apps\\Thalwise.exe", "Thalwise"}, {"/usr/bin/thalwise", "thalwise"},
        {"/opt/x/thal.wise.bin", "thal.wise"},  {"Thalwise", "Thalwise"},
        {"/home/u/.hidden", ".hidden"},
    };
    for (const auto& n : names)
        EXPECT_EQ(platform::executableBaseName(QString::fromUtf8(n.path)),
                  QString::fromUtf8(n.expected));
    EXPECT_EQ(platform::withTrailingSeparator(QStringLiteral("/usr/bin")),
              QDir::toNativeSeparators(QStringLiteral("/usr/bin/")));
    EXPECT_EQ(platform::withTrailingSeparator(QStringLiteral("/usr/bin/")),
              QDir::toNativeSeparators(QStringLiteral("/usr/bin/")));
    // No folder stays no folder rather than becoming the root.
    EXPECT_EQ(platform::withTrailingSeparator(QString()), QString());
}

TEST(Text, Utf8WhenValidElseWindows1252) {
    const struct {
        QByteArray bytes;
        QString expected;
    } cases[] = {
        {"plain", QStringLiteral("plain")},
        {"", QString()},
        {"72\xC2\xB0"
         "F",
         QStringLiteral("72\u00B0F")}, // UTF-8 degree sign
        {"72\xB0"
         "F",
         QStringLiteral("72\u00B0F")}, // the 1252 byte itself
        {"\x80\x85\x8A\x99\x9F", QStringLiteral("\u20AC\u2026\u0160\u2122\u0178")},
        {"\x81\x8D\x8F\x90\x9D", QStringLiteral("\u0081\u008D\u008F\u0090\u009D")},
        {"caf\xE9 \xFF", QStringLiteral("caf\u00E9 \u00FF")},
        {"\xE2\x82", QStringLiteral("\u00E2\u201A")}, // cut UTF-8: 1252
        {"\xE2\x82\xAC", QStringLiteral("\u20AC")},
        {QByteArray("a\0b", 3), QString(QStringLiteral("a")) + QChar(0) + QLatin1Char('b')},
        {"\xEF\xBB\xBFTMIN=50", QStringLiteral("TMIN=50")}, // a byte-order mark is no text
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::decodeText(c.bytes), c.expected) << c.bytes.toHex().toStdString();
    }
    // Every byte survives decoding and encoding again when it is not UTF-8.
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    EXPECT_EQ(platform::encodeWindows1252(platform::decodeText(all)), all);
    // The code page alone never reads UTF-8.
    EXPECT_EQ(platform::decodeWindows1252("72\xC2\xB0"), QStringLiteral("72\u00C2\u00B0"));
    EXPECT_EQ(platform::encodeWindows1252(QStringLiteral("\u65E5\u00B0")), QByteArray("?\xB0"));
}

TEST(QtMessageBoxesTest, RequestsBecomeTheBoxesAsked) {
    application();
    platform::QtMessageBoxes boxes;
    const struct {
        unsigned buttons;
        Icon icon;
        Button defaultButton;
        QMessageBox::StandardButtons expectedButtons;
        QMessageBox::Icon expectedIcon;
        QMessageBox::StandardButton expectedDefault;
        QMessageBox::StandardButton expectedEscape;
    } cases[] = {
        {Button::Yes | Button::No, Icon::Question, Button::No, QMessageBox::Yes | QMessageBox::No,
         QMessageBox::Question, QMessageBox::No, QMessageBox::No},
        {unsigned(Button::Ok), Icon::Information, Button::None, QMessageBox::Ok,
         QMessageBox::Information, QMessageBox::NoButton, QMessageBox::Ok},
        {Button::Ok | Button::Cancel, Icon::Warning, Button::Cancel,
         QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Warning, QMessageBox::Cancel,
         QMessageBox::Cancel},
        {Button::Yes | Button::No | Button::Cancel, Icon::Error, Button::Yes,
         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Critical,
         QMessageBox::Yes, QMessageBox::Cancel},
        {0u, Icon::None, Button::Yes, QMessageBox::Ok, QMessageBox::NoIcon, QMessageBox::NoButton,
         QMessageBox::Ok}, // never a box without a way out
    };
    for (const auto& c : cases) {
        platform::MessageBoxRequest request;
        request.caption = QStringLiteral("Caption");
        request.text = QStringLiteral("Delete 3 charts?");
        request.buttons = c.buttons;
        request.icon = c.icon;
        request.defaultButton = c.defaultButton;
        const std::unique_ptr<QMessageBox> box(boxes.createBox(request));
        EXPECT_EQ(box->windowTitle(), request.caption);
        EXPECT_EQ(box->text(), request.text);
        EXPECT_EQ(box->standardButtons(), c.expectedButtons) << c.buttons;
        EXPECT_EQ(box->icon(), c.expectedIcon);
        EXPECT_EQ(box->standardButton(box->defaultButton()), c.expectedDefault) << c.buttons;
        EXPECT_EQ(box->standardButton(box->escapeButton()), c.expectedEscape) << c.buttons;
    }
}

TEST(QtMessageBoxesTest, ShowAnswersTheButtonClickedAndCancelWhenClosed) {
    application();
    platform::QtMessageBoxes boxes;
    platform::MessageBoxRequest request;
    request.buttons = Button::Yes | Button::No;
    request.defaultButton = Button::No;
    const struct {
        QMessageBox::StandardButton click; // NoButton: close the box
        Button expected;
    } cases[] = {{QMessageBox::Yes, Button::Yes},
                 {QMessageBox::No, Button::No},
                 {QMessageBox::NoButton, Button::No}};
    for (const auto& c : cases) {
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            if (c.click == QMessageBox::NoButton)
                box->reject();
            else
                box->button(c.click)->click();
        });
        EXPECT_EQ(boxes.show(request), c.expected);
    }
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Error"));
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        EXPECT_EQ(box->text(), QStringLiteral("Unable to write to x.ini"));
        box->button(QMessageBox::Ok)->click();
    });
    boxes.showError(QStringLiteral("Unable to write to x.ini"));
}

TEST(QtFileDialogsTest, TheRequestSetsUpTheDialog) {
    application();
    platform::QtFileDialogs dialogs;
    platform::FileDialogRequest request;
    request.title = QStringLiteral("Open chart to view");
    request.folder = QDir::tempPath();
    request.filter = QStringLiteral("Florida images (fl*.gif)|area-fl*.gif|All GIF images "
                                    "(*.gif)|*.gif|All files|*.*");
    const struct {
        int filterIndex;
        int expectedSelected;
    } cases[] = {{1, 0}, {2, 1}, {3, 2}, {0, 0}, {9, 0}};
    for (const auto& c : cases) {
        request.filterIndex = c.filterIndex;
        const std::unique_ptr<QFileDialog> dialog(
            dialogs.createDialog(request, platform::QtFileDialogs::Mode::OpenOne));
        EXPECT_EQ(dialog->windowTitle(), request.title);
        EXPECT_EQ(dialog->nameFilters().size(), 3);
        EXPECT_EQ(platform::QtFileDialogs::selectedFilterIndex(*dialog), c.expectedSelected + 1)
            << c.filterIndex;
        EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
        EXPECT_EQ(QDir(dialog->directory()).canonicalPath(),
                  QDir(QDir::tempPath()).canonicalPath());
    }
    request.defaultSuffix = QStringLiteral("gif");
    const std::unique_ptr<QFileDialog> save(
        dialogs.createDialog(request, platform::QtFileDialogs::Mode::Save));
    EXPECT_EQ(save->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(save->defaultSuffix(), QStringLiteral("gif"));
}

TEST(QtDesktopTest, DocumentsFolderIsNativeWithoutTrailingSeparator) {
    const QString folder = platform::QtDesktop().documentsFolder();
    EXPECT_FALSE(folder.isEmpty());
    EXPECT_EQ(folder, QDir::toNativeSeparators(folder));
    EXPECT_TRUE(folder.size() == 1 || !folder.endsWith(QDir::separator())) << folder.toStdString();
}

TEST(QtFontDialogsTest, TheDialogShowsTheFontAndHandsBackItsColour) {
    application();
    // The dialog snaps to the styles a family has: take one with a bold italic face.
    QString family;
    for (const QString& candidate : QFontDatabase::families())
        for (const QString& style : QFontDatabase::styles(candidate))
            if (family.isEmpty() && QFontDatabase::bold(candidate, style) &&
                QFontDatabase::italic(candidate, style))
                family = candidate;
    if (family.isEmpty()) GTEST_SKIP() << "no installed family has a bold italic face";
    platform::FontChoice current;
    current.family = family;
    current.pointSize = 14;
    current.bold = true;
    current.italic = true;
    current.underline = true;
    current.colour = QColor(0x12, 0x34, 0x56);
    platform::QtFontDialogs dialogs;
    const std::unique_ptr<QFontDialog> dialog(dialogs.createDialog(current));
    const QFont shown = dialog->currentFont();
    EXPECT_EQ(shown.pointSize(), 14);
    EXPECT_TRUE(shown.bold());
    EXPECT_TRUE(shown.italic());
    EXPECT_TRUE(shown.underline());
    EXPECT_FALSE(shown.strikeOut());
    EXPECT_EQ(platform::QtFontDialogs::choiceFrom(*dialog, current), current);

    // What the user changes comes back; the dialog has no colour, so that stays.
    QFont changed(family, 9);
    changed.setItalic(true);
    changed.setStrikeOut(true);
    dialog->setCurrentFont(changed);
    const platform::FontChoice chosen = platform::QtFontDialogs::choiceFrom(*dialog, current);
    EXPECT_FALSE(chosen.bold);
    EXPECT_TRUE(chosen.strikeOut);
    EXPECT_EQ(chosen.pointSize, 9);
    EXPECT_EQ(chosen.colour, current.colour);
}
