// The platform seam: what is handed to the desktop, how the Qt boxes and dialogs map onto
// the program's questions, and that the scripted platform keeps tests honest.
#include "QStringPrinter.h"
#include "ScriptedPlatform.h"
#include "platform/QtPlatform.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFontDialog>
#include <QFontInfo>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <functional>

using zorim::Answer;
using zorim::FileDialogSetup;
using zorim::openableLink;
using zorim::QtPlatform;
using zorim::test::ScriptedPlatform;

namespace {

// Acts on the next modal window once it is up, as the user would.
void onModal(std::function<void(QWidget*)> act)
{
    QTimer::singleShot(0, [act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            onModal(act);
            return;
        }
        act(modal);
    });
}

} // namespace

TEST(Links, WebAndMailAddressesAreHandedOn)
{
    EXPECT_EQ(openableLink(QStringLiteral("http://www.zoznam.sk/")), QStringLiteral("http://www.zoznam.sk/"));
    EXPECT_EQ(openableLink(QStringLiteral("HTTPS://example.com/a?b=c")), QStringLiteral("HTTPS://example.com/a?b=c"));
    EXPECT_EQ(openableLink(QStringLiteral("ftp://ftp.example.com/pub")), QStringLiteral("ftp://ftp.example.com/pub"));
    EXPECT_EQ(openableLink(QStringLiteral("mailto:jan@example.sk")), QStringLiteral("mailto:jan@example.sk"));
    EXPECT_EQ(openableLink(QStringLiteral("www.sme.sk")), QStringLiteral("http://www.sme.sk"));
    EXPECT_EQ(openableLink(QStringLiteral("ftp.gnu.org")), QStringLiteral("ftp://ftp.gnu.org"));
    EXPECT_EQ(openableLink(QStringLiteral("  http://example.com \r\n")), QStringLiteral("http://example.com"));
}

TEST(Links, FilesProgramsAndOtherSchemesAreRefused)
{
    for (const char* text : {"file:///etc/passwd", "/usr/bin/xterm", "calc.exe", "C:\\WINDOWS\\System32\\calc.exe",
                             "javascript:alert(1)", "data:text/html,x", "smb://server/share", "http://", "http:///path",
                             "mailto:", "mailto:nobody", "", "  ", "http://exa mple.com", "http://example.com/\x01",
                             "-e http://example.com", "ftp:/x"}) {
        EXPECT_EQ(openableLink(QString::fromUtf8(text)), QString()) << text;
    }
}

TEST(QtPlatformBoxes, QuestionAnswersAreTheButtonsPressedAndEscapeIsCancel)
{
    QtPlatform platform;
    const std::pair<QMessageBox::StandardButton, Answer> cases[] = {
        {QMessageBox::Yes, Answer::Yes}, {QMessageBox::No, Answer::No}, {QMessageBox::Cancel, Answer::Cancel}};
    for (const auto& [button, answer] : cases) {
        QString title, text;
        onModal([&, button = button](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            ASSERT_NE(box, nullptr);
            title = box->windowTitle();
            text = box->text();
            box->button(button)->click();
        });
        EXPECT_EQ(platform.question(nullptr, QStringLiteral("Chcete uložiť rozpísaný dokument?")), answer);
        EXPECT_EQ(title, QStringLiteral("Upozornenie"));
        EXPECT_EQ(text, QStringLiteral("Chcete uložiť rozpísaný dokument?"));
    }
    onModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    EXPECT_EQ(platform.question(nullptr, QStringLiteral("?")), Answer::Cancel);
}

TEST(QtPlatformDialogs, SaveDialogShowsItsSetupAndCancelGivesNoName)
{
    QtPlatform platform;
    FileDialogSetup setup;
    setup.title = QStringLiteral("Uložiť dokument");
    setup.filter = QStringLiteral("Formát ZORIM|*.zrm|Formát RTF|*.rtf|Textový súbor|*.txt|Všetky formáty|*.*");
    setup.filterIndex = 2;
    setup.defaultExtension = QStringLiteral("*.rtf");
    setup.fileName = QStringLiteral("Dokument");

    QString title, filter, suffix;
    bool confirmsOverwrite = true;
    onModal([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        filter = dialog->selectedNameFilter();
        suffix = dialog->defaultSuffix();
        confirmsOverwrite = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
        dialog->reject();
    });
    EXPECT_EQ(platform.saveFileName(nullptr, setup), std::nullopt);
    EXPECT_EQ(title, QStringLiteral("Uložiť dokument"));
    EXPECT_EQ(filter, QStringLiteral("Formát RTF"));
    EXPECT_EQ(suffix, QStringLiteral("rtf"));
    EXPECT_FALSE(confirmsOverwrite);
}

// A name typed without an extension gets the chosen filter's; a filter of all files gives the
// default extension.
TEST(QtPlatformDialogs, ANameWithoutExtensionGetsTheChosenFiltersExtension)
{
    QtPlatform platform;
    QTemporaryDir dir;
    FileDialogSetup setup;
    setup.title = QStringLiteral("Uložiť dokument");
    setup.filter = QStringLiteral("Formát ZORIM|*.zrm|Formát RTF|*.rtf|Textový súbor|*.txt|Všetky formáty|*.*");
    setup.defaultExtension = QStringLiteral("*.rtf");
    setup.folder = dir.path();
    const std::pair<int, const char*> cases[] = {{0, "list.zrm"}, {2, "list.txt"}, {3, "list.rtf"}, {1, "list.rtf"}};
    for (const auto& [filter, expected] : cases) {
        onModal([filter = filter](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            ASSERT_NE(dialog, nullptr);
            auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_TRUE(types && name);
            types->setCurrentIndex(filter);
            emit types->activated(filter);
            emit types->textActivated(types->itemText(filter));
            name->clear();
            QTest::keyClicks(name, QStringLiteral("list"));
            QTest::keyClick(name, Qt::Key_Return);
        });
        EXPECT_EQ(platform.saveFileName(nullptr, setup), QDir(dir.path()).filePath(QString::fromLatin1(expected)));
    }
}

TEST(QtPlatformBoxes, ConfirmIsYesOrNoAndEscapeIsNo)
{
    QtPlatform platform;
    QString title;
    onModal([&](QWidget* w) {
        title = w->windowTitle();
        qobject_cast<QMessageBox*>(w)->button(QMessageBox::Yes)->click();
    });
    EXPECT_TRUE(platform.confirm(nullptr, QStringLiteral("Súbor a.zrm už existuje. Chcete ho nahradiť?")));
    EXPECT_EQ(title, QStringLiteral("Upozornenie"));
    onModal([](QWidget* w) { qobject_cast<QMessageBox*>(w)->button(QMessageBox::No)->click(); });
    EXPECT_FALSE(platform.confirm(nullptr, QStringLiteral("?")));
    onModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    EXPECT_FALSE(platform.confirm(nullptr, QStringLiteral("?")));
}

TEST(QtPlatformBoxes, InformationIsCaptionedInSlovak)
{
    QtPlatform platform;
    QString title;
    onModal([&](QWidget* w) {
        title = w->windowTitle();
        qobject_cast<QMessageBox*>(w)->button(QMessageBox::Ok)->click();
    });
    platform.information(nullptr, QStringLiteral("Dokument bol uložený!"));
    EXPECT_EQ(title, QStringLiteral("Informácia"));
}

TEST(Links, AddressesLongerThanTheLimitAreRefused)
{
    const QString base = QStringLiteral("http://example.com/");
    EXPECT_EQ(openableLink(base + QString(zorim::kMaxLinkLength - base.size(), u'a')).size(), zorim::kMaxLinkLength);
    EXPECT_EQ(openableLink(base + QString(zorim::kMaxLinkLength, u'a')), QString());
}

TEST(QtPlatformClock, LongTimeHasSecondsAndNoTimeZone)
{
    QtPlatform platform;
    const QString text = platform.longTime(QTime(13, 5, 9));
    EXPECT_TRUE(text.contains(QStringLiteral("05")) && text.contains(QStringLiteral("09"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QLatin1String("UTC")) || text.contains(QLatin1String("CET"))) << text.toStdString();
    EXPECT_FALSE(platform.shortDate(QDate(2024, 3, 5)).isEmpty());
}

TEST(ScriptedPlatformScript, AnswersInOrderAndRecordsWhatWasShown)
{
    ScriptedPlatform platform;
    platform.answerQuestion(Answer::No);
    platform.answerSaveFile(QStringLiteral("/tmp/a.zrm"));
    EXPECT_EQ(platform.question(nullptr, QStringLiteral("q")), Answer::No);
    platform.error(nullptr, QStringLiteral("File not found"));
    FileDialogSetup setup;
    setup.title = QStringLiteral("Uložiť dokument");
    EXPECT_EQ(platform.saveFileName(nullptr, setup), QStringLiteral("/tmp/a.zrm"));
    EXPECT_TRUE(platform.scriptDone());
    EXPECT_EQ(platform.questions(), QStringList{QStringLiteral("q")});
    EXPECT_EQ(platform.errors(), QStringList{QStringLiteral("File not found")});
    EXPECT_FALSE(platform.openLink(QStringLiteral("file:///etc/passwd")));
    EXPECT_TRUE(platform.openedLinks().isEmpty());
}

TEST(ScriptedPlatformScript, UnexpectedQuestionOrLeftoverAnswerFailsTheTest)
{
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedPlatform platform;
            EXPECT_EQ(platform.question(nullptr, QStringLiteral("q")), Answer::Cancel);
        },
        "unexpected question");
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedPlatform platform;
            platform.answerQuestion(Answer::Yes);
            FileDialogSetup setup;
            EXPECT_EQ(platform.openFileName(nullptr, setup), std::nullopt);
            platform.question(nullptr, QStringLiteral("q"));
        },
        "unexpected open dialog");
    EXPECT_NONFATAL_FAILURE({ ScriptedPlatform platform; platform.answerSaveFile(std::nullopt); }, "never asked");
}

// Qt's own dialogs with the Slovak translation: the user's standard dialogs speak Slovak
// also on a desktop in another language. Last in this file: the translation stays installed.
TEST(QtPlatformDialogs, StandardDialogsAreQtsOwnAndSpeakSlovak)
{
    if (!zorim::installSlovakTranslations(*QCoreApplication::instance()))
        GTEST_SKIP() << "Qt's Slovak translation is not installed";
    QtPlatform platform;
    bool native = true;
    QStringList buttons;
    onModal([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        native = !dialog->testOption(QFileDialog::DontUseNativeDialog);
        for (const QPushButton* button : dialog->findChildren<QPushButton*>())
            buttons << button->text();
        dialog->reject();
    });
    EXPECT_EQ(platform.openFileName(nullptr, FileDialogSetup{}), std::nullopt);
    EXPECT_FALSE(native);
    EXPECT_TRUE(buttons.contains(QStringLiteral("Zrušiť"))) << buttons.join(QLatin1Char(',')).toStdString();
}

namespace {

// Acts on the next modal window other than the one given, once it is up.
void onModalOver(QWidget* below, std::function<void(QWidget*)> act)
{
    QTimer::singleShot(10, [below, act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == below) {
            onModalOver(below, act);
            return;
        }
        act(modal);
    });
}

// What a user reads in a window: captions, labels, buttons, groups, tabs, list entries,
// column titles and the first rows of its lists, tooltips.
QStringList shownTexts(QWidget* window, bool withListRows)
{
    QStringList texts{window->windowTitle()};
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets << window;
    for (QWidget* w : widgets) {
        texts << w->toolTip();
        if (auto* l = qobject_cast<QLabel*>(w))
            texts << l->text();
        if (auto* b = qobject_cast<QAbstractButton*>(w))
            texts << b->text();
        if (auto* g = qobject_cast<QGroupBox*>(w))
            texts << g->title();
        if (auto* t = qobject_cast<QTabWidget*>(w))
            for (int i = 0; i < t->count(); ++i)
                texts << t->tabText(i);
        if (auto* c = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < c->count(); ++i)
                texts << c->itemText(i);
        if (auto* v = qobject_cast<QAbstractItemView*>(w); v && v->model() && withListRows) {
            const QAbstractItemModel* m = v->model();
            for (int col = 0; col < m->columnCount(v->rootIndex()); ++col) {
                texts << m->headerData(col, Qt::Horizontal).toString();
                for (int row = 0; row < std::min(20, m->rowCount(v->rootIndex())); ++row)
                    texts << m->data(m->index(row, col, v->rootIndex())).toString();
            }
        }
    }
    return texts;
}

// The English words of the texts Qt's Slovak translation leaves out.
QStringList englishIn(const QStringList& texts)
{
    static const QSet<QString> english{
        "Pick", "Screen", "Color", "Folder", "Drive", "Pages", "Page", "All", "Odd", "Even", "Left", "Right", "Top",
        "Bottom", "Double", "Sided", "Printing", "Off", "Long", "Short", "binding", "Set", "Specify", "Job",
        "Control", "Scheduled", "Billing", "priority", "Banner", "Start", "End", "Print", "Immediately", "Hold",
        "Indefinitely", "Day", "Night", "Shift", "Weekend", "Specific", "Time", "None", "Standard", "Unclassified",
        "Confidential", "Classified", "Secret", "Custom", "Layout", "order", "per", "sheet", "Printer", "Properties",
        "Options", "Advanced", "conflicts", "Please", "Envelope", "Postcard", "Architect", "Extra", "Plus", "Small",
        "Big", "Cancel", "Open", "Save", "Yes", "No", "Close"};
    static const QRegularExpression nonWord(QStringLiteral("[^\\w]+"));
    QStringList found;
    for (const QString& text : texts) {
        const QStringList words = QString(text).remove(QLatin1Char('&')).split(nonWord, Qt::SkipEmptyParts);
        for (const QString& word : words)
            if (english.contains(word))
                found << text;
    }
    found.removeDuplicates();
    return found;
}

} // namespace

// Every Qt dialog the program shows, walked as the user reads it: no English word of the texts
// Qt's Slovak translation lacks. After the test above: the translation is installed.
TEST(QtPlatformDialogs, QtsDialogsShowNoEnglishWords)
{
    if (!zorim::installSlovakTranslations(*QCoreApplication::instance()))
        GTEST_SKIP() << "Qt's Slovak translation is not installed";
    QtPlatform platform;
    QStringList english;
    const auto read = [&](QWidget* w, bool withListRows) {
        english << englishIn(shownTexts(w, withListRows));
        static_cast<QDialog*>(w)->reject();
    };

    onModal([&](QWidget* w) { read(w, true); });
    EXPECT_EQ(platform.chooseColor(nullptr, QColor(Qt::red)), std::nullopt);
    // The font lists hold the installed fonts' own names.
    onModal([&](QWidget* w) { read(w, false); });
    EXPECT_EQ(platform.chooseFont(nullptr, zorim::FontChoice{QFont(QStringLiteral("DejaVu Sans")), QColor()}), std::nullopt);

    QTemporaryDir folder;
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("listy")));
    QFile file(folder.path() + QStringLiteral("/list.zrm"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    FileDialogSetup setup;
    setup.folder = folder.path();
    setup.filter = QStringLiteral("Formát ZORIM|*.zrm|Všetky formáty|*.*");
    const auto readFiles = [&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        dialog->setViewMode(QFileDialog::Detail);
        // The folder's entries come in from a thread of their own.
        EXPECT_TRUE(QTest::qWaitFor([&] { return shownTexts(w, true).contains(QStringLiteral("listy")); }));
        read(w, true);
    };
    onModal(readFiles);
    EXPECT_EQ(platform.openFileName(nullptr, setup), std::nullopt);
    onModal(readFiles);
    EXPECT_EQ(platform.saveFileName(nullptr, setup), std::nullopt);

    // The print dialog with its options shown, and its printer's properties.
    onModal([&](QWidget* w) {
        for (QPushButton* b : w->findChildren<QPushButton*>())
            if (b->text().contains(QLatin1String(">>")))
                b->click();
        if (auto* properties = w->findChild<QPushButton*>(QStringLiteral("properties")); properties && properties->isEnabled()) {
            onModalOver(w, [&](QWidget* p) { read(p, true); });
            properties->click();
        }
        read(w, true);
    });
    QPrinter printer;
    EXPECT_FALSE(platform.choosePrinter(nullptr, printer));

    onModal([&](QWidget* w) {
        english << englishIn(shownTexts(w, true));
        QTest::keyClick(w, Qt::Key_Escape);
    });
    platform.question(nullptr, QStringLiteral("?"));
    EXPECT_EQ(english, QStringList()) << english.join(QLatin1String(" | ")).toStdString();
}

// The real font dialog, accepted as the user would: it opens on the given face, size and style
// (a face not installed shows as the face the text is drawn in, not the list's first), and OK
// on what it showed gives the font back as given. Run under the GTK theme as well, where the
// desktop's face would otherwise be the list's first ("C059 Bold Italic").
TEST(QtPlatformFontDialog, OpensOnTheGivenFontAndOkWithoutAChangeGivesItBack)
{
    QtPlatform platform;
    const auto font = [](const char* family, int points, bool bold, bool italic, bool underline) {
        QFont f(QString::fromLatin1(family));
        f.setPointSize(points);
        f.setBold(bold);
        f.setItalic(italic);
        f.setUnderline(underline);
        return f;
    };
    for (const QFont& given : {font("Liberation Serif", 14, true, true, false), font("DejaVu Sans", 9, false, false, true),
                               font("Liberation Sans", 12, true, false, false), font("Verdana", 12, false, false, false)}) {
        const std::string name = given.toString().toStdString();
        QFont shown;
        onModal([&](QWidget* w) {
            shown = static_cast<QFontDialog*>(w)->currentFont();
            static_cast<QDialog*>(w)->accept();
        });
        const auto chosen = platform.chooseFont(nullptr, zorim::FontChoice{given, QColor(Qt::blue)});
        ASSERT_TRUE(chosen.has_value()) << name;
        EXPECT_EQ(shown.family(), QFontInfo(given).family()) << name;
        EXPECT_EQ(shown.pointSize(), given.pointSize()) << name;
        EXPECT_EQ(shown.bold(), given.bold()) << name;
        EXPECT_EQ(shown.italic(), given.italic()) << name;
        EXPECT_EQ(chosen->font.family(), given.family()) << name;
        EXPECT_EQ(chosen->font.pointSize(), given.pointSize()) << name;
        EXPECT_EQ(chosen->font.bold(), given.bold()) << name;
        EXPECT_EQ(chosen->font.italic(), given.italic()) << name;
        EXPECT_EQ(chosen->font.underline(), given.underline()) << name;
        EXPECT_EQ(chosen->color, QColor(Qt::blue)) << name;
    }

    // A new size alone: the face not installed stays named as it was.
    onModal([](QWidget* w) {
        for (QLineEdit* edit : w->findChildren<QLineEdit*>())
            if (edit->text() == QLatin1String("12"))
                edit->setText(QStringLiteral("20"));
        static_cast<QDialog*>(w)->accept();
    });
    const auto resized = platform.chooseFont(nullptr, zorim::FontChoice{font("Verdana", 12, false, true, false), QColor()});
    ASSERT_TRUE(resized.has_value());
    EXPECT_EQ(resized->font.family(), QStringLiteral("Verdana"));
    EXPECT_EQ(resized->font.pointSize(), 20);
    EXPECT_TRUE(resized->font.italic());
}
