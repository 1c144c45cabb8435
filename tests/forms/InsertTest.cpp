// The insertion commands as a user meets them: phrases, characters, date and time from the
// menus and keys; pictures from files through the clipboard, with the damaged and the huge
// refused; objects from the insert-object dialog, their context-menu entries and their way
// through a saved document; paste special.
#include "FormsTestSupport.h"
#include "TestSupport.h"
#include "forms/mainwindow/DocumentObjects.h"
#include "forms/dialogs/ObjectDialogs.h"
#include "forms/mainwindow/PictureFile.h"
#include "richtext/rtf/Objects.h"
#include "richtext/rtf/Picture.h"
#include "richtext/rtf/Rtf.h"

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

QImage sampleImage(int w = 6, int h = 4)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(QColor(200, 30, 40));
    return image;
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

class InsertTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        form = start();
        edit = form->RichEdit1;
        edit->setFocus();
    }

    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = folder.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()) << name.toStdString();
        return path;
    }

    // The picture or object characters of the document, in order.
    std::vector<QTextCharFormat> objectFormats() const
    {
        std::vector<QTextCharFormat> formats;
        QTextDocument* doc = edit->view()->document();
        const QString raw = doc->toRawText();
        QTextCursor c(doc);
        for (int i = 0; i < raw.size(); ++i) {
            if (raw[i] == QChar::ObjectReplacementCharacter) {
                c.setPosition(i + 1);
                formats.push_back(c.charFormat());
            }
        }
        return formats;
    }

    std::vector<Picture> pictures() const
    {
        std::vector<Picture> list;
        for (const QTextCharFormat& f : objectFormats())
            if (auto p = pictureFromFormat(f))
                list.push_back(*p);
        return list;
    }

    std::vector<EmbeddedObject> objects() const
    {
        std::vector<EmbeddedObject> list;
        for (const QTextCharFormat& f : objectFormats())
            if (auto o = objectFromFormat(f))
                list.push_back(*o);
        return list;
    }

    // Inserts the picture file through the menu, the dialog answered with its path.
    void insertPicture(const QString& path)
    {
        platform.answerPictureFile(path);
        form->pictureItem->trigger();
    }

    void press(QKeyCombination key) { QTest::keyClick(edit->view(), key.key(), key.keyboardModifiers()); }

    // Saves the document as RTF and loads it again, as a user who saves and reopens.
    void saveAndReload()
    {
        const QString path = folder.filePath(QStringLiteral("dokument.rtf"));
        edit->Lines().SaveFile(path);
        edit->ClearAll();
        edit->Lines().LoadFile(path);
    }

    std::unique_ptr<MainWindow> form;
    RichEdit* edit = nullptr;
};

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
        const QPoint onLink = edit->view()->cursorRect(QTextCursor(edit->view()->document())).center() + QPoint(15, 0);
        QTest::mouseClick(edit->view()->viewport(), Qt::LeftButton, {}, onLink);

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

// ---- objects ----------------------------------------------------------------------------

TEST_F(InsertTest, FileObjectIsEmbeddedSelectedAndSavedWithTheDocument)
{
    const QByteArray contents("Obsah prílohy\n\0\xFF", 16);
    const QString path = writeFile(QStringLiteral("príloha.txt"), contents);
    edit->setText(QStringLiteral("Viď "));
    edit->setSelectionStart(4);
    platform.answerModal([&](QDialog& d) {
        auto& dialog = dynamic_cast<InsertObjectDialog&>(d);
        EXPECT_TRUE(dialog.RadioButton1->isChecked()); // create-new comes preselected
        dialog.RadioButton2->setChecked(true);
        EXPECT_FALSE(dialog.Button1->isEnabled()); // no file yet
        dialog.Edit1->setText(path);
        EXPECT_TRUE(dialog.Button1->isEnabled());
        return int(QDialog::Accepted);
    });
    form->objectItem->trigger();
    EXPECT_TRUE(platform.errors().isEmpty()) << platform.errors().join(u'|').toStdString();
    ASSERT_EQ(objects().size(), 1u);
    const EmbeddedObject object = objects()[0];
    EXPECT_EQ(object.kind, EmbeddedObject::Kind::Embedded);
    EXPECT_EQ(object.fileName, QStringLiteral("príloha.txt"));
    EXPECT_EQ(object.contents, contents);
    EXPECT_EQ(edit->SelectionStart(), 4);
    EXPECT_EQ(edit->SelectionLength(), 1);
    EXPECT_EQ(selectedObject(*edit), object);

    saveAndReload();
    ASSERT_EQ(objects().size(), 1u);
    EXPECT_EQ(objects()[0], object);
    EXPECT_TRUE(edit->Text().startsWith(QStringLiteral("Viď ")));
}

TEST_F(InsertTest, NewObjectAndLinkComeFromTheDialogAndUndoInOneStep)
{
    platform.answerModal([](QDialog& d) {
        auto& dialog = dynamic_cast<InsertObjectDialog&>(d);
        EXPECT_EQ(dialog.ListBox1->item(0)->text(), QStringLiteral("Textový dokument"));
        dialog.ListBox1->setCurrentRow(0);
        return int(QDialog::Accepted);
    });
    form->objectItem->trigger();
    ASSERT_EQ(objects().size(), 1u);
    EXPECT_EQ(objects()[0].fileName, QStringLiteral("Nový textový dokument.txt"));
    EXPECT_TRUE(objects()[0].contents.isEmpty());
    EXPECT_EQ(edit->SelectionLength(), 1);
    // The new object opens for editing with the desktop's program.
    EXPECT_EQ(platform.openedFiles(), QStringList({folder.dataPath(QStringLiteral("objekty/Nový textový dokument.txt"))}));

    const QString path = writeFile(QStringLiteral("zdroj.txt"), "zdroj");
    edit->setSelectionStart(edit->TextLength());
    platform.answerModal([&](QDialog& d) {
        auto& dialog = dynamic_cast<InsertObjectDialog&>(d);
        dialog.RadioButton2->setChecked(true);
        dialog.Edit1->setText(path);
        dialog.CheckBox1->setChecked(true);
        return int(QDialog::Accepted);
    });
    form->objectItem->trigger();
    ASSERT_EQ(objects().size(), 2u);
    EXPECT_EQ(objects()[1].kind, EmbeddedObject::Kind::Linked);
    EXPECT_EQ(objects()[1].fileName, path);
    EXPECT_TRUE(objects()[1].contents.isEmpty());
    edit->Undo();
    EXPECT_EQ(objects().size(), 1u);

    // A file that is gone: the message, and nothing inserted.
    platform.answerModal([&](QDialog& d) {
        auto& dialog = dynamic_cast<InsertObjectDialog&>(d);
        dialog.RadioButton2->setChecked(true);
        dialog.Edit1->setText(folder.filePath(QStringLiteral("nie je.txt")));
        return int(QDialog::Accepted);
    });
    form->objectItem->trigger();
    EXPECT_EQ(platform.errors().size(), 1);
    EXPECT_EQ(objects().size(), 1u);
}

TEST_F(InsertTest, ContextMenuOffersTheSelectedObjectsEntriesAfterASeparator)
{
    EmbeddedObject object;
    object.fileName = QStringLiteral("../../poznámky.txt"); // a name from a document leads nowhere else
    object.contents = "poznámky";
    edit->setText(QStringLiteral("ab"));
    edit->setSelectionStart(1);
    insertObjectAtSelection(*edit, object);
    EXPECT_EQ(edit->Text(), QStringLiteral("a") + QChar::ObjectReplacementCharacter + QStringLiteral("b"));

    emit form->contextMenu->aboutToShow();
    EXPECT_TRUE(form->objectSeparator->isVisible());
    EXPECT_TRUE(form->objectPropertiesItem->isVisible());
    const QString type = objectTypeName(object);
    EXPECT_EQ(form->objectPropertiesItem->text(), type + QStringLiteral(" Properties"));
    EXPECT_TRUE(form->objectMenu->menuAction()->isVisible());
    EXPECT_EQ(form->objectMenu->title(), type);

    // Open: a copy in data/objekty handed to the desktop.
    platform.answerQuestion(Answer::Yes);
    form->objectOpenItem->trigger();
    ASSERT_EQ(platform.openedFiles().size(), 1);
    EXPECT_EQ(platform.openedFiles()[0], folder.dataPath(QStringLiteral("objekty/poznámky.txt")));
    EXPECT_EQ(folder.read(QStringLiteral("objekty/poznámky.txt")), QByteArray("poznámky"));

    // Save a copy where the user says.
    const QString target = folder.filePath(QStringLiteral("kópia.txt"));
    platform.answerSaveFile(target);
    form->objectSaveCopyItem->trigger();
    QFile copy(target);
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), QByteArray("poznámky"));

    // Properties, captioned with the type.
    platform.answerModal([](QDialog&) { return int(QDialog::Accepted); });
    form->objectPropertiesItem->trigger();
    EXPECT_EQ(platform.texts(ScriptedPlatform::Kind::Modal), QStringList({type + QStringLiteral(" Properties")}));
    EXPECT_TRUE(platform.errors().isEmpty()) << platform.errors().join(u'|').toStdString();

    // Ordinary text selected: the context menu alone.
    edit->setSelectionStart(0);
    edit->setSelectionLength(1);
    emit form->contextMenu->aboutToShow();
    EXPECT_FALSE(form->objectSeparator->isVisible());
    EXPECT_FALSE(form->objectPropertiesItem->isVisible());
    EXPECT_FALSE(form->objectMenu->menuAction()->isVisible());
}

TEST_F(InsertTest, EmbeddedFileEditedWithTheDesktopsProgramComesBackIntoTheDocument)
{
    EmbeddedObject object;
    object.fileName = QStringLiteral("list.txt");
    object.contents = "prvá verzia";
    insertObjectAtSelection(*edit, object);
    edit->setModified(false);
    platform.answerQuestion(Answer::Yes);
    form->objectOpenItem->trigger();
    ASSERT_EQ(platform.openedFiles().size(), 1);
    const QString copy = platform.openedFiles()[0];

    // The user saves the file in the other program.
    writeFile(QStringLiteral("data/objekty/list.txt"), "druhá verzia");
    form->commands().insert.objectFileChanged(copy);
    ASSERT_EQ(objects().size(), 1u);
    EXPECT_EQ(objects()[0].contents, QByteArray("druhá verzia"));
    EXPECT_TRUE(edit->Modified());

    // Once the object is gone from the document, a later save there changes nothing.
    edit->ClearAll();
    writeFile(QStringLiteral("data/objekty/list.txt"), "tretia verzia");
    form->commands().insert.objectFileChanged(copy);
    EXPECT_TRUE(objects().empty());
    EXPECT_TRUE(platform.errors().isEmpty());
}

// An object is opened only after the user has seen its whole name, never when opening it would
// run it; the copies made for opening cannot run and go when the program ends.
TEST_F(InsertTest, OpeningAnObjectAsksFirstAndNeverRunsAnything)
{
    const QString script = writeFile(QStringLiteral("skript"), "#!/bin/sh\necho\n");
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EmbeddedObject linked;
    linked.kind = EmbeddedObject::Kind::Linked;
    linked.fileName = script;
    EmbeddedObject launcher;
    launcher.fileName = QStringLiteral("x.desktop");
    launcher.contents = "[Desktop Entry]\nExec=sh\n";
    EmbeddedObject renamed; // a script under a harmless name
    renamed.fileName = QStringLiteral("list.txt");
    renamed.contents = "#!/bin/sh\nrm -rf ~\n";
    for (const EmbeddedObject& object : {linked, launcher, renamed}) {
        edit->ClearAll();
        insertObjectAtSelection(*edit, object);
        platform.clearShown();
        form->objectOpenItem->trigger();
        ASSERT_EQ(platform.errors().size(), 1) << object.fileName.toStdString();
        EXPECT_TRUE(platform.errors()[0].contains(QStringLiteral("neotvorí")));
        EXPECT_TRUE(platform.questions().isEmpty());
    }
    EXPECT_TRUE(platform.openedFiles().isEmpty());

    EmbeddedObject note;
    note.fileName = QStringLiteral("poznámka.txt");
    note.contents = "obsah";
    edit->ClearAll();
    insertObjectAtSelection(*edit, note);
    platform.clearShown();
    platform.answerQuestion(Answer::No);
    form->objectOpenItem->trigger();
    ASSERT_EQ(platform.questions().size(), 1);
    EXPECT_TRUE(platform.questions()[0].contains(QStringLiteral("„poznámka.txt“")));
    EXPECT_TRUE(platform.openedFiles().isEmpty());
    platform.answerQuestion(Answer::Yes);
    form->objectOpenItem->trigger();
    ASSERT_EQ(platform.openedFiles().size(), 1);
    const QString copy = platform.openedFiles()[0];
    EXPECT_EQ(QFileInfo(copy).permissions() & QFileDevice::Permissions(0x7177), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    form.reset();
    EXPECT_FALSE(QFileInfo::exists(copy));
}

// ---- paste special --------------------------------------------------------------------------

TEST_F(InsertTest, PasteSpecialListsWhatTheClipboardOffersAndPastesTheChosenForm)
{
    const QString file = writeFile(QStringLiteral("list.txt"), "obsah");
    auto* data = new QMimeData;
    data->setText(QStringLiteral("čistý text"));
    // Rich text holding a bold word and a picture.
    QTextDocument rich;
    QTextCursor c(&rich);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    c.insertText(QStringLiteral("tučné"), bold);
    zorim::insertPicture(c, pictureFromImage(sampleImage()));
    data->setData(QStringLiteral("text/rtf"), writeRtf(rich));
    data->setImageData(sampleImage());
    data->setUrls({QUrl::fromLocalFile(file)});
    QGuiApplication::clipboard()->setMimeData(data);

    auto choose = [&](const QString& entry, bool link = false) {
        platform.answerModal([entry, link](QDialog& d) {
            auto& dialog = dynamic_cast<PasteSpecialDialog&>(d);
            if (link)
                dialog.RadioButton2->setChecked(true);
            const auto found = dialog.ListBox1->findItems(entry, Qt::MatchExactly);
            EXPECT_EQ(found.size(), 1) << entry.toStdString();
            if (!found.isEmpty())
                dialog.ListBox1->setCurrentItem(found[0]);
            return int(QDialog::Accepted);
        });
        edit->ClearAll();
        form->pasteSpecialItem->trigger();
    };

    QStringList listed;
    platform.answerModal([&](QDialog& d) {
        auto& dialog = dynamic_cast<PasteSpecialDialog&>(d);
        for (int i = 0; i < dialog.ListBox1->count(); ++i)
            listed << dialog.ListBox1->item(i)->text();
        EXPECT_TRUE(dialog.RadioButton1->isChecked());
        return int(QDialog::Rejected);
    });
    form->pasteSpecialItem->trigger();
    const QString type = objectTypeName(fileObject(file, false));
    EXPECT_EQ(listed, QStringList({type, "Rich Text Format", "Rich Text Format Without Objects", "Unformatted text",
                                   "Windows Bitmap"}));
    EXPECT_EQ(edit->Text(), QString());

    choose(QStringLiteral("Unformatted text"));
    EXPECT_EQ(edit->Text(), QStringLiteral("čistý text"));
    EXPECT_EQ(edit->SelectionStart(), edit->TextLength());

    choose(QStringLiteral("Rich Text Format"));
    EXPECT_EQ(edit->Text(), QStringLiteral("tučné") + QChar::ObjectReplacementCharacter);
    EXPECT_EQ(edit->SelectionAttributes().Style() & fs::Bold, fs::Bold);

    choose(QStringLiteral("Rich Text Format Without Objects"));
    EXPECT_EQ(edit->Text(), QStringLiteral("tučné"));

    choose(QStringLiteral("Windows Bitmap"));
    ASSERT_EQ(pictures().size(), 1u);
    EXPECT_EQ(QImage::fromData(pictures()[0].data).size(), QSize(6, 4));

    choose(type);
    ASSERT_EQ(objects().size(), 1u);
    EXPECT_EQ(objects()[0].contents, QByteArray("obsah"));
    EXPECT_EQ(edit->SelectionLength(), 1);

    choose(type, true);
    ASSERT_EQ(objects().size(), 1u);
    EXPECT_EQ(objects()[0].kind, EmbeddedObject::Kind::Linked);
    EXPECT_EQ(objects()[0].fileName, file);
    EXPECT_TRUE(platform.errors().isEmpty()) << platform.errors().join(u'|').toStdString();
}

TEST_F(InsertTest, PasteSpecialWithAnEmptyClipboardShowsNothing)
{
    QGuiApplication::clipboard()->setMimeData(new QMimeData);
    form->pasteSpecialItem->trigger();
    EXPECT_TRUE(platform.shown().empty());
}

} // namespace
