#pragma once
// PageSetupDialog: page setup. One instance, created at start-up, lives until the program ends; its
// radio buttons keep the choice between showings (A4 portrait at start). "OK" shapes the main
// window for the chosen page: its width and the editor's left edge and width, and gives the
// section where the caret stands that paper. The main window hands itself over as a PageTarget,
// so this window knows nothing of it.
#include "forms/dialogs/ModalDialog.h"
#include "richtext/document/DocFormats.h"

#include <QSize>

#include <functional>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace zorim {

class Platform;
class SettingsStore;

// What page setup acts on. windowWidth sets the main window's outer width and lays the window
// out for it before it returns (its left edge and top stay); editorLeft and editorWidth then
// place the editor inside the client area, overriding that layout.
// page and setPage read and set the page of the document's section the dialog acts on.
struct PageTarget {
    std::function<void(int)> windowWidth;
    std::function<void(int)> editorLeft;
    std::function<void(int)> editorWidth;
    std::function<PageSetup()> page;
    std::function<void(const PageSetup&)> setPage;
};

enum class PageSize { A6, A5, A4, A3 };

// The geometry of one page size and orientation, in pixels.
struct PageGeometry {
    int windowWidth;
    int editorLeft;
    int editorWidth;
    bool operator==(const PageGeometry&) const = default;
};
PageGeometry pageGeometry(PageSize size, bool landscape);
// The paper of a size in twips, upright.
QSize paperTwips(PageSize size);

class PageSetupDialog : public ModalDialog {
    Q_OBJECT
public:
    PageSetupDialog(Platform& platform, SettingsStore& settings, QWidget* parent = nullptr);

    // Takes what the dialog acts on and shows its section's paper, unless that is the paper
    // it showed last (a choice cancelled stays shown) or none of its sizes.
    void setTarget(PageTarget target);
    QGroupBox* GroupBox1 = nullptr; // "Veľkosť stránky "
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QRadioButton* RadioButton1 = nullptr; // A4
    QRadioButton* RadioButton2 = nullptr; // A3
    QRadioButton* RadioButton3 = nullptr; // A5
    QRadioButton* RadioButton4 = nullptr; // A6
    QGroupBox* GroupBox2 = nullptr; // "Poloha stránky"
    QLabel* Image1 = nullptr;
    QRadioButton* RadioButton7 = nullptr; // "na šírku"
    QRadioButton* RadioButton8 = nullptr; // "na výšku"
    QPushButton* Button1 = nullptr; // "OK"
    QPushButton* Button2 = nullptr; // "Storno"

    void Button1Click();
    void Button2Click();
    void RadioButton7Click();
    void RadioButton8Click();

    // The geometry routines: portrait, landscape, and Sirka, the landscape one of the checked
    // size.
    void A6();
    void A5();
    void A4();
    void A3();
    void A6b();
    void A5b();
    void A4b();
    void A3b();
    void Sirka();

private:
    void apply(PageSize size, bool landscape, bool setWidth = true);
    void setSectionPaper(); // the chosen paper to the section
    void showPicture(const QString& name);

    SettingsStore& settings_;
    PageTarget target_;
    PageSetup shown_; // the section's page as last shown or set
};

} // namespace zorim
