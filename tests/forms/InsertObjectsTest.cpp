// Objects from the insert-object dialog, their context-menu entries and their way through a
// saved document; paste special.
#include "InsertTest.h"
#include "FormsTestSupport.h"
#include "TestSupport.h"
#include "forms/mainwindow/DocumentObjects.h"
#include "forms/dialogs/ObjectDialogs.h"
#include "forms/mainwindow/PictureFile.h"
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
