// Until the main window stands, the program shows the document control in a plain window.
#include "richtext/RichEdit.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    zorim::RichEdit edit;
    edit.resize(800, 600);
    edit.show();
    return app.exec();
}
