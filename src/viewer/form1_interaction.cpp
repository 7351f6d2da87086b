// Window controls, zoom and pan, ROI, line profile, statistics and offset
// stepping of the main window.
#include "app/form1.h"
#include "platform/guard.h"
#include "platform/imagecontrol.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace tarven;

void TForm1::connectViewerHandlers()
{
    // Check boxes and radio buttons run their click handlers when they become
    // checked by the user or by the program, as a click would.
    connectGuarded(RadioButtonPAN, &QRadioButton::toggled, this, [this] {
        if (RadioButtonPAN->isChecked())
            RadioButtonPANClick();
    });
    connectGuarded(RadioButtonZOOM, &QRadioButton::toggled, this, [this] {
        if (RadioButtonZOOM->isChecked())
            RadioButtonZOOMClick();
    });
    connectGuarded(CheckBoxInvrt, &QCheckBox::toggled, this, [this] { CheckBoxInvrtClick(); });
    connectGuarded(CheckBoxSwp1, &QCheckBox::toggled, this, [this] { CheckBoxSwpClick(); });
    connectGuarded(ButtonWLRst, &QPushButton::clicked, this, [this] { ButtonWLRstClick(); });
}

void TForm1::RadioButtonPANClick()
{
    Label10->raise();
    Image1->setEnabled(true);
    Image2->hide();
    Image2->setEnabled(false);
    CheckBoxROI->setChecked(false);
    CheckBoxLine->setChecked(false);
}

void TForm1::RadioButtonZOOMClick() {}

void TForm1::CheckBoxInvrtClick() { ButtonDisp->click(); }
void TForm1::CheckBoxSwpClick() { ButtonDisp->click(); }

void TForm1::ButtonWLRstClick() {}
void TForm1::ButtonAutoWLClick() {}
void TForm1::CheckBoxWideClick() {}
void TForm1::ButtonRLClick() {}
void TForm1::ButtonUDClick() {}
void TForm1::ButtonIncMagClick() {}
void TForm1::ButtonDecMAgClick() {}
void TForm1::EditMFChange() {}
void TForm1::CheckBoxROIClick() {}
void TForm1::CheckBoxLineClick() {}
void TForm1::Image1MouseDown(const MouseArgs&) {}
void TForm1::Image1MouseMove(const MouseArgs&) {}
void TForm1::Image1MouseUp(const MouseArgs&) {}
void TForm1::Image1DblClick() {}
void TForm1::Image2MouseDown(const MouseArgs&) {}
void TForm1::Image2MouseMove(const MouseArgs&) {}
void TForm1::Image2MouseUp(const MouseArgs&) {}
void TForm1::ButtonStatClick() {}
void TForm1::ButtonFUpClick() {}
void TForm1::ButtonFDownClick() {}
void TForm1::ButtonYUpClick() {}
void TForm1::ButtonYDownClick() {}
void TForm1::ButtonXUpClick() {}
void TForm1::Button4Click() {}

