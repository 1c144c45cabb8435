// The insertion commands as a user meets them: phrases, characters, date and time from the
// menus and keys; pictures from files through the clipboard, with the damaged and the huge
// refused. Objects and paste special: InsertObjectsTest.cpp.
#include "InsertTest.h"
#include "FormsTestSupport.h"
#include "TestSupport.h"
#include "forms/mainwindow/DocumentObjects.h"
#include "forms/dialogs/ObjectDialogs.h"
#include "forms/mainwindow/PictureFile.h"
#include "forms/widgets/NotePane.h"
#include "richtext/formats/rtf/Objects.h"
#include "richtext/formats/rtf/Picture.h"
#include "richtext/formats/rtf/Rtf.h"

#include <QBuffer>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>
#include <QUrl>

using namespace zorim;
using namespace zorim::test;

namespace {

QByteArray imageBytes(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// A JPEG written by another program (from a Word document of the shared test data).
QByteArray sampleJpeg()
{
    QFile file(sharedTestData(QStringLiteral("rtf/word/image.rtf")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QTextDocument doc;
    QTextCursor c(&doc);
    readRtf(file.readAll(), c);
    c.setPosition(doc.toRawText().indexOf(QChar::ObjectReplacementCharacter) + 1);
    const auto pic = pictureFromFormat(c.charFormat());
    return pic ? pic->data : QByteArray();
}

QByteArray le(uint32_t v, int bytes)
{
    QByteArray b;
    for (int i = 0; i < bytes; ++i)
        b.append(char((v >> (8 * i)) & 0xFF));
    return b;
}

// A placeable Windows metafile of one inch square with nothing but its end record.
QByteArray sampleWmf()
{
    QByteArray header = le(0x9AC6CDD7u, 4) + le(0, 2) + le(0, 2) + le(0, 2) + le(1440, 2) + le(1440, 2) + le(1440, 2)
                        + le(0, 4) + le(0, 2);
    QByteArray wmf = le(1, 2) + le(9, 2) + le(0x300, 2) + le(12, 4) + le(0, 2) + le(3, 4) + le(0, 2);
    wmf += le(3, 4) + le(0, 2); // end of the metafile
    return header + wmf;
}

// A bitmap header that names the size and has no pixels.
QByteArray bmpHeader(int32_t w, int32_t h)
{
    return "BM" + le(54, 4) + le(0, 4) + le(54, 4) + le(40, 4) + le(uint32_t(w), 4) + le(uint32_t(h), 4) + le(1, 2)
           + le(24, 2) + le(0, 4) + le(0, 4) + le(2835, 4) + le(2835, 4) + le(0, 4) + le(0, 4);
}

// The checksum of PNG chunks.
uint32_t crc32(const QByteArray& bytes)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (const char ch : bytes) {
        crc ^= uint8_t(ch);
        for (int k = 0; k < 8; ++k)
            crc = crc & 1 ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
    }
    return crc ^ 0xFFFFFFFFu;
}

QByteArray be32(uint32_t v)
{
    QByteArray b;
    for (int i = 3; i >= 0; --i)
        b.append(char((v >> (8 * i)) & 0xFF));
    return b;
}

const QByteArray kGif = QByteArray::fromHex("47494638396101000100800000ffffff0000002c00000000010001000002024401003b");

// ---- texts ----------------------------------------------------------------------------------

// A clicked web or mail address goes to the desktop; anything else is shown, never started.
TEST_F(InsertTest, ClickedLinksOpenWebAndMailAddressesAndShowEverythingElse)
{
    form->show();
    const QString tooLong = QStringLiteral("http://zorim.sk/%2Fa") + QString(2100, u'a');
    const std::pair<QString, bool> links[] = {
        {QStringLiteral("http://zorim.sk/"), true},       {QStringLiteral("https://zorim.sk/a?b=1"), true},
        {QStringLiteral("ftp://ftp.zorim.sk/"), true},    {QStringLiteral("mailto:jan@zorim.sk"), true},
        {QStringLiteral("file:///etc/passwd"), false},    {QStringLiteral("/usr/bin/xterm"), false},
        {QStringLiteral("javascript:alert(1)"), false},   {QStringLiteral("zorim-update:run%2F"), false},
        {tooLong, false},
    };
    for (const auto& [target, opens] : links) {
        // A linked run whose shown text is no address: the click opens its target.
        const QByteArray rtf = "{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"" + target.toLatin1() +
                               "\"}{\\fldrslt kliknite sem}}\\par}";
        QBuffer buffer;
        buffer.setData(rtf);
        buffer.open(QIODevice::ReadOnly);
        edit->LoadStream(buffer);
        platform.clearShown();
        const int before = int(platform.openedLinks().size());
        const QPoint onLink = edit->widget()->cursorRect(QTextCursor(edit->widget()->document())).center() + QPoint(15, 0);
        QTest::mouseClick(edit->widget()->viewport(), Qt::LeftButton, {}, onLink);

        const QStringList messages = platform.texts(ScriptedPlatform::Kind::Message);
        if (opens) {
            EXPECT_EQ(platform.openedLinks().value(before), target);
            EXPECT_EQ(messages, QStringList());
        } else {
            EXPECT_EQ(platform.openedLinks().size(), before) << target.left(40).toStdString();
            ASSERT_EQ(messages.size(), 1) << target.left(40).toStdString();
            EXPECT_TRUE(messages[0].contains(target.left(80))) << messages[0].toStdString();
        }
    }
    EXPECT_EQ(platform.errors(), QStringList());
}

TEST_F(InsertTest, EveryTextReplacesTheSelectionExactlyStaysSelectedAndUndoesInOneStep)
{
    const std::pair<QAction* MainWindowControls::*, QString> cases[] = {
        {&MainWindowControls::greetingItem, QStringLiteral("Dobrý deň")},   {&MainWindowControls::dearSirItem, QStringLiteral("Vážený pán ")},
        {&MainWindowControls::dearMadamItem, QStringLiteral("Vážená pani ")}, {&MainWindowControls::regardsItem, QStringLiteral("S pozdravom")},
        {&MainWindowControls::atSignItem, QStringLiteral("@")},  {&MainWindowControls::hashItem, QStringLiteral("#")},
        {&MainWindowControls::dollarItem, QStringLiteral("$")},  {&MainWindowControls::sectionSignItem, QStringLiteral("§")},
        {&MainWindowControls::backslashItem, QStringLiteral("\\")}, {&MainWindowControls::lessThanItem, QStringLiteral("<")},
        {&MainWindowControls::greaterThanItem, QStringLiteral(">")},  {&MainWindowControls::bracesItem, QStringLiteral("{}")},
        {&MainWindowControls::contextGreetingItem, QStringLiteral("Dobrý deň")},   {&MainWindowControls::contextDearSirItem, QStringLiteral("Vážený pán ")},
        {&MainWindowControls::contextBackslashItem, QStringLiteral("\\")}, {&MainWindowControls::contextBracesItem, QStringLiteral("{}")},
    };
    for (const auto& [item, text] : cases) {
        edit->setText(QStringLiteral("Ahoj svet"));
        edit->setSelectionStart(5);
        edit->setSelectionLength(4);
        (form.get()->*item)->trigger();
        EXPECT_EQ(edit->Text(), QStringLiteral("Ahoj ") + text) << text.toStdString();
        EXPECT_EQ(edit->SelectionStart(), 5);
        EXPECT_EQ(edit->SelectedText(), text);
        edit->Undo();
        EXPECT_EQ(edit->Text(), QStringLiteral("Ahoj svet")) << text.toStdString();
    }
    EXPECT_TRUE(platform.shown().empty());
}

TEST_F(InsertTest, KeysRunTheCommandsOfTheKeyboardMap)
{
    const std::pair<QKeyCombination, QString> cases[] = {
        {Qt::SHIFT | Qt::Key_F5, QStringLiteral("Dobrý deň")},   {Qt::SHIFT | Qt::Key_F6, QStringLiteral("Vážený pán ")},
        {Qt::SHIFT | Qt::Key_F7, QStringLiteral("Vážená pani ")}, {Qt::SHIFT | Qt::Key_F8, QStringLiteral("S pozdravom")},
        {Qt::SHIFT | Qt::Key_F4, QStringLiteral("S pozdravom")}, {Qt::SHIFT | Qt::Key_F9, QStringLiteral("\\")},
        {Qt::CTRL | Qt::Key_F10, QStringLiteral("<")},           {Qt::SHIFT | Qt::Key_F11, QStringLiteral(">")},
        {Qt::SHIFT | Qt::Key_F12, QStringLiteral("{}")},         {Qt::CTRL | Qt::Key_D, QStringLiteral("5.3.2024")},
        {Qt::CTRL | Qt::Key_W, QStringLiteral("5.3.2024")},      {Qt::CTRL | Qt::Key_Q, QStringLiteral("9:07:03")},
    };
    for (const auto& [key, text] : cases) {
        edit->ClearAll();
        press(key);
        EXPECT_EQ(edit->Text(), text);
        EXPECT_EQ(edit->SelectedText(), text);
    }
    // Shift+F1 aligns the paragraph and inserts nothing.
    edit->ClearAll();
    press(Qt::SHIFT | Qt::Key_F1);
    EXPECT_EQ(edit->Text(), QString());
    // Ctrl+P, Ctrl+O and the toolbar's picture and object buttons open their dialogs.
    platform.answerPictureFile(std::nullopt);
    press(Qt::CTRL | Qt::Key_P);
    platform.answerModal([](QDialog&) { return int(QDialog::Rejected); });
    press(Qt::CTRL | Qt::Key_O);
    platform.answerPictureFile(std::nullopt);
    form->pictureButton->click();
    platform.answerModal([](QDialog&) { return int(QDialog::Rejected); });
    form->objectButton->click();
    EXPECT_EQ(platform.texts(ScriptedPlatform::Kind::PictureFile),
              QStringList({"Vložiť obrázok", "Vložiť obrázok"}));
    EXPECT_EQ(platform.texts(ScriptedPlatform::Kind::Modal), QStringList({"Vložiť objekt", "Vložiť objekt"}));
    EXPECT_EQ(edit->Text(), QString());
}

TEST_F(InsertTest, TimeFollowsTheRegionalClockAndMarkerBuiltAtStart)
{
    EXPECT_EQ(InsertCommands::longTimePattern(QLocale(QLocale::Slovak, QLocale::Slovakia)), QStringLiteral("h':'mm':'ss"));
    EXPECT_EQ(InsertCommands::longTimePattern(QLocale(QLocale::German, QLocale::Germany)), QStringLiteral("hh':'mm':'ss"));
    EXPECT_EQ(InsertCommands::longTimePattern(QLocale(QLocale::English, QLocale::UnitedStates)),
              QStringLiteral("h':'mm':'ss Ap"));
    EXPECT_EQ(InsertCommands::longTimePattern(QLocale(QLocale::Korean, QLocale::SouthKorea)).left(3), QStringLiteral("Ap "));

    // An afternoon on a 12-hour clock: the hour counts from 1 to 12, the marker follows.
    form.reset();
    platform.regional = QLocale(QLocale::English, QLocale::UnitedStates);
    platform.clock = QDateTime(QDate(2024, 3, 5), QTime(13, 7, 3));
    form = start();
    form->timeItem->trigger();
    EXPECT_EQ(form->RichEdit1->Text(), QStringLiteral("1:07:03 PM"));
    // Changing the regional settings later changes nothing: the pattern was built at start.
    platform.regional = QLocale(QLocale::German, QLocale::Germany);
    form->RichEdit1->ClearAll();
    form->contextTimeItem->trigger();
    EXPECT_EQ(form->RichEdit1->Text(), QStringLiteral("1:07:03 PM"));
}

// ---- pictures -------------------------------------------------------------------------------

TEST_F(InsertTest, PictureDialogOffersEveryReadableTypeTogetherAndOnePerType)
{
    platform.answerPictureFile(std::nullopt);
    form->pictureItem->trigger();
    ASSERT_EQ(platform.shown().size(), 1u);
    const FileDialogSetup& setup = platform.shown()[0].file;
    EXPECT_EQ(setup.title, QStringLiteral("Vložiť obrázok"));
    const QStringList filters = qtNameFilters(setup.filter);
    ASSERT_EQ(filters.size(), 9);
    EXPECT_EQ(filters[0], QStringLiteral("Všetky obrázky (*.bmp *.jpg *.jpeg *.png *.gif *.ico *.emf *.wmf)"));
    EXPECT_EQ(filters[1], QStringLiteral("Bitmapy (*.bmp)"));
    EXPECT_EQ(filters[8], QStringLiteral("Metasúbory (*.wmf)"));
    // The preview shows what would be inserted, and nothing for a file it cannot read.
    ASSERT_TRUE(setup.preview);
    EXPECT_EQ(setup.preview(writeFile(QStringLiteral("a.png"), imageBytes(sampleImage(), "PNG"))).size(), QSize(6, 4));
    EXPECT_TRUE(setup.preview(writeFile(QStringLiteral("b.png"), "not a picture")).isNull());
    EXPECT_EQ(edit->Text(), QString());
}

TEST_F(InsertTest, PictureOfEachTypeGoesThroughTheClipboardIntoTheDocumentAndIsSaved)
{
    const QByteArray jpeg = sampleJpeg();
    ASSERT_FALSE(jpeg.isEmpty());
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(Qt::blue);
    const std::pair<QString, QByteArray> files[] = {
        {QStringLiteral("a.bmp"), imageBytes(sampleImage(), "BMP")}, {QStringLiteral("b.PNG"), imageBytes(sampleImage(), "PNG")},
        {QStringLiteral("c.jpg"), jpeg},                               {QStringLiteral("d.jpeg"), jpeg},
        {QStringLiteral("e.gif"), kGif},                               {QStringLiteral("f.ico"), imageBytes(icon, "ICO")},
        {QStringLiteral("g.wmf"), sampleWmf()},
    };
    edit->setText(QStringLiteral("ab"));
    for (const auto& [name, bytes] : files) {
        edit->setSelectionStart(1);
        insertPicture(writeFile(name, bytes));
        EXPECT_TRUE(platform.errors().isEmpty()) << name.toStdString() << platform.errors().join(u'|').toStdString();
    }
    const auto pics = pictures();
    ASSERT_EQ(pics.size(), 7u);
    EXPECT_EQ(edit->Text(), QStringLiteral("a") + QString(7, QChar::ObjectReplacementCharacter) + QStringLiteral("b"));
    // Inserted one after another at position 1: the last is first. JPEG, PNG and the metafile
    // keep the file's own bytes.
    EXPECT_EQ(pics[0].kind, PictureKind::Wmf);
    EXPECT_EQ(pics[2].kind, PictureKind::Png);
    EXPECT_EQ(pics[3].data, jpeg);
    EXPECT_EQ(pics[4].data, jpeg);
    EXPECT_EQ(pics[5].data, imageBytes(sampleImage(), "PNG"));
    EXPECT_EQ(QImage::fromData(pics[6].data).size(), QSize(6, 4));
    // The clipboard keeps the last picture, as a metafile for other programs; pasting again
    // inserts it again.
    EXPECT_TRUE(QGuiApplication::clipboard()->mimeData()->hasFormat(QStringLiteral("image/x-wmf")));
    edit->Paste();
    EXPECT_EQ(pictures().size(), 8u);
    // Undo takes the last insertion back in one step.
    edit->Undo();
    EXPECT_EQ(pictures().size(), 7u);

    const auto before = pictures();
    saveAndReload();
    EXPECT_EQ(pictures(), before);
    EXPECT_TRUE(edit->Text().startsWith(u'a'));
    EXPECT_TRUE(edit->Text().endsWith(u'b'));
}

TEST_F(InsertTest, BitmapPictureLandsOnTheClipboardAsABitmap)
{
    insertPicture(writeFile(QStringLiteral("a.bmp"), imageBytes(sampleImage(), "BMP")));
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(data->hasImage());
    EXPECT_EQ(qvariant_cast<QImage>(data->imageData()).size(), QSize(6, 4));
}

TEST_F(InsertTest, DamagedUnknownAndHugePicturesAreRefusedWithTheirMessageAndChangeNothing)
{
    const QByteArray jpeg = sampleJpeg();
    QByteArray lyingBmp = imageBytes(sampleImage(40, 40), "BMP");
    lyingBmp.replace(10, 4, le(0x00FFFFFF, 4)); // the pixels would start far beyond the file
    QByteArray hugePng = imageBytes(sampleImage(), "PNG");
    hugePng.replace(16, 8, QByteArray::fromHex("0000c3500000c350")); // IHDR: 50 000 × 50 000
    hugePng.replace(29, 4, be32(crc32(hugePng.mid(12, 17))));
    // An enhanced metafile whose header claims a megabyte of records in 88 bytes.
    QByteArray lyingEmf = le(1, 4) + QByteArray(36, '\0') + " EMF" + le(0x10000, 4) + le(1000000, 4);
    lyingEmf.resize(88);
    const std::pair<QString, QByteArray> files[] = {
        {QStringLiteral("a.tiff"), imageBytes(sampleImage(), "PNG")},
        {QStringLiteral("bez_pripony"), imageBytes(sampleImage(), "PNG")},
        {QStringLiteral("b.jpg"), jpeg.left(jpeg.size() / 2)},
        {QStringLiteral("c.jpg"), imageBytes(sampleImage(), "PNG")},
        {QStringLiteral("d.bmp"), lyingBmp},
        {QStringLiteral("e.bmp"), bmpHeader(50000, 50000)},
        {QStringLiteral("f.ico"), QByteArray("\0\0\1\0\0\0", 6)},
        {QStringLiteral("g.png"), hugePng},
        {QStringLiteral("h.wmf"), sampleWmf().left(30)},
        {QStringLiteral("i.emf"), lyingEmf},
        {QStringLiteral("j.gif"), kGif.left(12)},
    };
    auto* keep = new QMimeData;
    keep->setText(QStringLiteral("predtým"));
    QGuiApplication::clipboard()->setMimeData(keep);
    edit->setText(QStringLiteral("text"));
    edit->setModified(false);
    QStringList messages;
    for (const auto& [name, bytes] : files) {
        platform.clearShown();
        insertPicture(writeFile(name, bytes));
        ASSERT_EQ(platform.errors().size(), 1) << name.toStdString();
        messages << platform.errors().constFirst();
    }
    EXPECT_EQ(messages[0], QStringLiteral("Unknown picture file extension (.tiff)"));
    EXPECT_EQ(messages[1], QStringLiteral("Unknown picture file extension (.)"));
    EXPECT_EQ(messages[2], QStringLiteral("Premature end of JPEG file"));
    EXPECT_TRUE(messages[3].startsWith(QStringLiteral("Not a JPEG file"))) << messages[3].toStdString();
    EXPECT_EQ(messages[4], QStringLiteral("Bitmap image is not valid"));
    EXPECT_EQ(messages[5], QStringLiteral("Obrázok je príliš veľký (50000 × 50000 bodov)."));
    EXPECT_EQ(messages[6], QStringLiteral("Icon image is not valid"));
    EXPECT_EQ(messages[7], QStringLiteral("Obrázok je príliš veľký (50000 × 50000 bodov)."));
    EXPECT_EQ(messages[8], QStringLiteral("Metafile is not valid"));
    EXPECT_EQ(messages[9], QStringLiteral("Metafile is not valid"));
    EXPECT_EQ(messages[10], QStringLiteral("GIF image is not valid"));
    EXPECT_EQ(edit->Text(), QStringLiteral("text"));
    EXPECT_FALSE(edit->Modified());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("predtým"));
}

TEST_F(InsertTest, PictureLoaderReadsTheDeclaredSizeBeforeDecoding)
{
    // A bitmap that claims more pixels than allowed is refused before any pixel is made.
    EXPECT_THROW(loadPictureData(bmpHeader(9000, 9000), QStringLiteral("bmp")), PictureFileError);
    EXPECT_THROW(loadPictureData(bmpHeader(-5, 3), QStringLiteral("bmp")), PictureFileError);
    const PictureFile ok = loadPictureData(imageBytes(sampleImage(), "BMP"), QStringLiteral("BMP"));
    EXPECT_EQ(ok.image.size(), QSize(6, 4));
    // A JPEG whose frame header names 50 000 × 50 000 pixels.
    QByteArray jpeg = sampleJpeg();
    qsizetype sof = jpeg.indexOf("\xFF\xC0");
    if (sof < 0)
        sof = jpeg.indexOf("\xFF\xC2");
    ASSERT_GT(sof, 0);
    jpeg.replace(sof + 5, 4, QByteArray::fromHex("c350c350"));
    try {
        loadPictureData(jpeg, QStringLiteral("jpg"));
        ADD_FAILURE() << "a huge JPEG was accepted";
    } catch (const PictureFileError& e) {
        EXPECT_EQ(QString::fromUtf8(e.what()), QStringLiteral("Obrázok je príliš veľký (50000 × 50000 bodov)."));
    }
}

} // namespace

// A picture goes in at the caret as one character: its paragraph keeps its format and gets
// no paragraph after it, and text typed after it keeps the format of the text before it.
TEST_F(InsertTest, PictureGoesInLikeACharacterAndLeavesItsParagraphAsItWas)
{
    edit->setText(QStringLiteral("Prvý"));
    edit->SelectAll();
    edit->SelectionAttributes().setSize(14);
    edit->ParagraphAttributes().setNumbering(1);
    edit->setSelectionStart(edit->TextLength());
    const TextAttributes& caret = edit->SelectionAttributes();
    const QString face = caret.Name();
    insertPicture(writeFile(QStringLiteral("a.png"), imageBytes(sampleImage(), "PNG")));
    typeText(edit->widget(), QStringLiteral("x"));

    EXPECT_EQ(edit->Text(), QStringLiteral("Prvý") + QChar::ObjectReplacementCharacter + u'x');
    EXPECT_EQ(edit->ParagraphAttributes().Numbering(), 1);
    edit->setSelectionStart(edit->TextLength() - 1);
    edit->setSelectionLength(1);
    EXPECT_EQ(edit->SelectionAttributes().Name(), face);
    EXPECT_EQ(edit->SelectionAttributes().Size(), 14);
    const QString path = folder.filePath(QStringLiteral("s.rtf"));
    edit->Lines().SaveFile(path);
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_FALSE(saved.readAll().contains("Sans Serif"));
}

// A footnote put in from the menu: the pane under the editor shows it and takes the keys, what
// is typed there is the note's text (all of it one undo step of the document), and the pane
// goes when the caret leaves the note's paragraph.
TEST_F(InsertTest, AFootnoteIsWrittenInTheNotePaneAndUndoneInOneStep)
{
    edit->setText(QStringLiteral("Veta.\r\nĎalší odsek."));
    edit->setSelectionStart(5);
    form->footnoteItem->trigger();
    QApplication::processEvents();
    ASSERT_FALSE(form->notePane->isHidden());
    EXPECT_LT(form->RichEdit1->geometry().bottom(), form->notePane->geometry().top());
    RichEdit& pane = form->notePane->edit();
    QTest::keyClicks(pane.widget(), QStringLiteral("Zdroj"));
    QApplication::processEvents();
    EXPECT_EQ(edit->Text(), QStringLiteral("Veta.\uFFFC\r\nĎalší odsek."));
    EXPECT_TRUE(edit->Modified());
    EXPECT_TRUE(QString::fromLatin1(edit->document().save(TextFormat::Rtf)).contains("Zdroj}"));

    edit->setFocus();
    edit->setSelectionStart(10);
    QApplication::processEvents();
    EXPECT_TRUE(form->notePane->isHidden());
    edit->setSelectionStart(3);
    QApplication::processEvents();
    EXPECT_TRUE(form->notePane->isHidden()) << "the note stands after the caret";
    edit->setSelectionStart(6);
    QApplication::processEvents();
    ASSERT_FALSE(form->notePane->isHidden());
    EXPECT_EQ(pane.Text(), QStringLiteral("Zdroj"));

    edit->Undo();
    edit->setSelectionStart(6);
    QApplication::processEvents();
    EXPECT_EQ(pane.Text(), QString()) << "the keys typed in the pane were one step";
    EXPECT_EQ(edit->Text(), QStringLiteral("Veta.\uFFFC\r\nĎalší odsek."));
    edit->Undo();
    EXPECT_EQ(edit->Text(), QStringLiteral("Veta.\r\nĎalší odsek."));
}
