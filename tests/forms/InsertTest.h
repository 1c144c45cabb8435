#pragma once
// The window for the insertion tests: started with the document focused, with helpers that
// write files, list the pictures and objects in the document, and save and reload it.
#include "FormsTestSupport.h"
#include "TestSupport.h"
#include "forms/mainwindow/DocumentObjects.h"
#include "richtext/formats/rtf/Objects.h"
#include "richtext/formats/rtf/Picture.h"

#include <QColor>
#include <QFile>
#include <QImage>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <memory>
#include <vector>

namespace zorim::test {

// A small picture of one colour.
inline QImage sampleImage(int w = 6, int h = 4)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(QColor(200, 30, 40));
    return image;
}

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
        QTextDocument* doc = edit->widget()->document();
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

    void press(QKeyCombination key) { QTest::keyClick(edit->widget(), key.key(), key.keyboardModifiers()); }

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

} // namespace zorim::test
