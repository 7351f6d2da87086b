// Window controls, zoom and pan, the shared mouse handlers of the display and
// offset stepping of the main window. The ROI is in form1_roi.cpp, the line
// profile in form1_profile.cpp.
#include "app/form1.h"
#include "common/numeric.h"
#include "common/pixels.h"
#include "platform/convert.h"
#include "platform/guard.h"
#include "platform/imagecontrol.h"
#include "viewer/autowindow.h"
#include "viewer/flip.h"
#include "viewer/mouserouter.h"
#include "viewer/offsets.h"
#include "viewer/roi.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

#include <cstdlib>

using namespace tarven;

namespace {

void stepHeader(TForm1& f, OffsetButton button)
{
    const std::int32_t n = toInt(f.EditrawSizeX); // read by every button, also those that do not use it
    if (const auto step = offsetStep(button, TForm1::radioIndex(f.RadioGroupMode), n)) {
        // A step whose result would not fit the header box leaves the offset
        // as it was: every reader converts the box as a 32-bit integer.
        if (const auto header = steppedHeader(toInt(f.EditHeader), *step))
            f.EditHeader->setText(intText(*header));
    }
    f.ButtonDisp->click();
}

int rangeFactor(const QGroupBox* range)
{
    static constexpr int factors[] = {1, 3, 10, 30};
    const int i = TForm1::radioIndex(range);
    return i >= 0 && i < 4 ? factors[i] : 0;
}

int signOf(std::int64_t v) { return (v > 0) - (v < 0); }

} // namespace

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
    connectGuarded(CheckBoxWide, &QCheckBox::toggled, this, [this] { CheckBoxWideClick(); });
    connectGuarded(CheckBoxROI, &QCheckBox::toggled, this, [this] { CheckBoxROIClick(); });
    connectGuarded(CheckBoxLine, &QCheckBox::toggled, this, [this] { CheckBoxLineClick(); });
    connectGuarded(ButtonWLRst, &QPushButton::clicked, this, [this] { ButtonWLRstClick(); });
    connectGuarded(ButtonAutoWL, &QPushButton::clicked, this, [this] { ButtonAutoWLClick(); });
    connectGuarded(ButtonRL, &QPushButton::clicked, this, [this] { ButtonRLClick(); });
    connectGuarded(ButtonUD, &QPushButton::clicked, this, [this] { ButtonUDClick(); });
    connectGuarded(ButtonIncMag, &QPushButton::clicked, this, [this] { ButtonIncMagClick(); });
    connectGuarded(ButtonDecMAg, &QPushButton::clicked, this, [this] { ButtonDecMAgClick(); });
    connectGuarded(EditMF, &QLineEdit::textChanged, this, [this] { EditMFChange(); });
    connectGuarded(EditMF2, &QLineEdit::textChanged, this, [this] { EditMFChange(); });
    connectGuarded(ButtonStat, &QPushButton::clicked, this, [this] { ButtonStatClick(); });
    connectGuarded(ButtonFUp, &QPushButton::clicked, this, [this] { ButtonFUpClick(); });
    connectGuarded(ButtonFDown, &QPushButton::clicked, this, [this] { ButtonFDownClick(); });
    connectGuarded(ButtonYUp, &QPushButton::clicked, this, [this] { ButtonYUpClick(); });
    connectGuarded(ButtonYDown, &QPushButton::clicked, this, [this] { ButtonYDownClick(); });
    connectGuarded(ButtonXUp, &QPushButton::clicked, this, [this] { ButtonXUpClick(); });
    connectGuarded(Button4, &QPushButton::clicked, this, [this] { Button4Click(); });

    // The size menu belongs to the width box (disabled, so out of reach,
    // while "ROI" is checked).
    EditroiSizeX->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(EditroiSizeX, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { PopupMenu1->popup(EditroiSizeX->mapToGlobal(p)); });
    void (TForm1::*menuHandlers[])() = {&TForm1::N321Click,  &TForm1::N641Click,   &TForm1::N1281Click,
                                        &TForm1::N2561Click, &TForm1::N5121Click,  &TForm1::N10241Click,
                                        &TForm1::N20481Click};
    const auto actions = PopupMenu1->actions();
    for (int i = 0; i < actions.size() && i < 7; ++i) {
        auto handler = menuHandlers[i];
        connectGuarded(actions[i], &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    }

    // The display: Image1 and the "ROI" check box share the mouse handlers;
    // Image2 and the start picture Image0 share the line handlers.
    auto route = [this](void (TForm1::*h)(const MouseArgs&)) {
        return [this, h](const MouseArgs& a) { guarded(this, [&] { (this->*h)(a); }); };
    };
    Image1->onMouseDown = route(&TForm1::Image1MouseDown);
    Image1->onMouseMove = route(&TForm1::Image1MouseMove);
    Image1->onMouseUp = route(&TForm1::Image1MouseUp);
    Image1->onDoubleClick = [this] { guarded(this, [this] { Image1DblClick(); }); };
    auto* roiBox = new MouseRouter(CheckBoxROI, this);
    roiBox->onMouseDown = route(&TForm1::Image1MouseDown);
    roiBox->onMouseMove = route(&TForm1::Image1MouseMove);
    roiBox->onMouseUp = route(&TForm1::Image1MouseUp);
    for (ImageControl* overlay : {Image2, Image0}) {
        overlay->onMouseDown = route(&TForm1::Image2MouseDown);
        overlay->onMouseMove = route(&TForm1::Image2MouseMove);
        overlay->onMouseUp = route(&TForm1::Image2MouseUp);
    }
    auto* box = new MouseRouter(Shape1, this);
    box->onMouseDown = route(&TForm1::Shape1MouseDown);
    box->onMouseMove = route(&TForm1::Shape1MouseMove);
    box->onMouseUp = route(&TForm1::Shape1MouseUp);

    connectGuarded(DBGrid1->horizontalHeader(), &QHeaderView::sectionClicked, this, [this] { DBGrid1TitleClick(); });
    connectGuarded(DBGrid1, &QTableView::clicked, this, [this] { DBGrid1CellClick(); });
    openPresetTable();
}

// ---- window controls ----

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

void TForm1::ButtonWLRstClick()
{
    (void)toInt(EditULVL2);
    (void)toInt(EditLLVL);
}

void TForm1::ButtonAutoWLClick()
{
    headerOffset = toInt(EditHeader);
    rescaleIntercept = toFloat(EditRInterupt);
    rescaleSlope = toFloat(EditRSlope);
    const AutoWindow w = autoWindow(pixelAccess(), matrixX, matrixY, photometric == QStringLiteral("MONOCHROME1 "));
    // With no pixel of the matrix in the loaded bytes there is nothing to
    // measure: the window stays as it was.
    if (w.found) {
        EditLLVL->setText(intText(w.width));
        EditULVL2->setText(intText(w.level));
    }
    ButtonWLRst->click();
    RenderView();
}

void TForm1::CheckBoxWideClick()
{
    const int top = DBGrid1->y();
    if (CheckBoxWide->isChecked())
        DBGrid1->setGeometry(200, top, 493, 210);
    else
        DBGrid1->setGeometry(520, top, 193, 105);
}

void TForm1::ButtonRLClick()
{
    headerOffset = toInt(EditHeader);
    mirrorLeftRight(imageData, headerOffset, matrixX, matrixY);
    RenderView();
}

void TForm1::ButtonUDClick()
{
    headerOffset = toInt(EditHeader);
    matrixX = toInt(EditrawSizeX);
    matrixY = toInt(EditrawSizeY);
    mirrorTopBottom(imageData, headerOffset, matrixX, matrixY);
    RenderView();
}

// ---- zoom ----

void TForm1::ButtonIncMagClick()
{
    const std::int32_t f = toInt(EditMF);
    if (f <= 16)
        EditMF->setText(intText(std::int64_t{f} + 1));
    if (toInt(EditMF) == 0)
        EditMF->setText(QStringLiteral("1"));
}

void TForm1::ButtonDecMAgClick()
{
    const std::int32_t f = toInt(EditMF);
    if (f >= -16)
        EditMF->setText(intText(std::int64_t{f} - 1));
    if (toInt(EditMF) == 0)
        EditMF->setText(QStringLiteral("-1"));
}

void TForm1::EditMFChange()
{
    // The handler writes EditMF2 and renders, and the renderer itself writes
    // EditMF2 for images of at most 256 columns when enlarging; both writes
    // would run this handler again. While it runs, further changes of either
    // box do not re-enter it, so the renderer's value (the magnification
    // actually on screen, |f| * (512 div columns) * 100) is the one that stays
    // shown for such images.
    if (zoomChanging || !RadioButtonZOOM->isChecked())
        return;
    zoomChanging = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{zoomChanging};
    const std::int64_t f = toInt(EditMF);
    if (f > 0)
        EditMF2->setText(intText(roundToInt64(100.0 / static_cast<double>(f))));
    else if (f == 0)
        EditMF2->setText(QStringLiteral("0"));
    else
        EditMF2->setText(intText(std::llabs(f * 100)));
    if (f != 0)
        RenderView();
}

// ---- the mouse on the display: window drag, pan, ROI ----

void TForm1::Image1MouseDown(const MouseArgs& a)
{
    if (a.button != Qt::LeftButton) {
        windowDrag = false;
        if (a.button == Qt::RightButton) {
            dragAnchor = QPoint(a.x, a.y);
            dragActive = true;
            windowDrag = true;
        }
        return;
    }
    if (!CheckBoxROI->isChecked()) {
        panAnchor = QPoint(a.x, a.y);
        if (RadioButtonPAN->isChecked())
            dragActive = true;
        return;
    }
    const DisplayRect r{roiRect.left(), roiRect.top(), roiRect.right(), roiRect.bottom()};
    const RoiGrip g = gripAt(r, a.x, a.y);
    roiDragTopLeft = roiDragTopLeft || g.topLeft;
    roiDragBottomRight = roiDragBottomRight || g.bottomRight;
    roiDragMove = roiDragMove || g.move;
}

void TForm1::Image1MouseMove(const MouseArgs& a)
{
    // Every move derives the display scale first, so a zoom code that is not
    // a number stops it before the window drag writes anything.
    viewScale = displayScale(toFloat(EditMF), matrixX);
    if (windowDrag && dragActive) {
        const int f = rangeFactor(RadioGroupRange);
        // Both boxes are converted before either is written.
        const std::int64_t width = std::int64_t{toInt(EditLLVL)} + std::int64_t{a.x - dragAnchor.x()} * f;
        const std::int64_t level = std::int64_t{toInt(EditULVL2)} + std::int64_t{a.y - dragAnchor.y()} * f;
        EditLLVL->setText(intText(width));
        EditULVL2->setText(intText(level));
        RenderView();
        dragAnchor = QPoint(a.x, a.y);
    }

    const bool roi = CheckBoxROI->isChecked();
    if (!roi && RadioButtonPAN->isChecked() && !windowDrag) {
        std::int64_t cx = toInt(EditrawPosX), cy = toInt(EditrawPosY);
        viewCentre = QPoint(static_cast<int>(cx), static_cast<int>(cy));
        if (dragActive) {
            const std::int64_t dx = a.x - panAnchor.x(), dy = a.y - panAnchor.y();
            if (viewScale > 1) {
                cx -= roundToInt64(static_cast<double>(dx) * viewScale);
                cy -= roundToInt64(static_cast<double>(dy) * viewScale);
            } else {
                // At most one image pixel per display pixel: one pixel per
                // mouse event, against the mouse.
                cx -= signOf(dx);
                cy -= signOf(dy);
            }
            EditrawPosX->setText(intText(cx));
            EditrawPosY->setText(intText(cy));
            RenderView();
            panAnchor = QPoint(a.x, a.y);
        }
    }

    if (roi && !windowDrag && (roiDragTopLeft || roiDragBottomRight || roiDragMove)) {
        if (roiDragTopLeft || roiDragBottomRight) {
            drawRoiFrame();
            QRect r = roiRect;
            if (roiDragTopLeft)
                r.setTopLeft(QPoint(a.x, a.y));
            if (roiDragBottomRight)
                r.setBottomRight(QPoint(a.x, a.y));
            roiRect = r;
            const std::int64_t w = std::int64_t{r.right()} - r.left() + 1, h = std::int64_t{r.bottom()} - r.top() + 1;
            EditroiSizeX->setText(intText(w));
            EditroiSizeY->setText(intText(h));
            EditroiPosX->setText(intText(r.left() + w / 2));
            EditroiPosY->setText(intText(r.top() + h / 2));
            drawRoiFrame();
        } else {
            drawRoiFrame();
            const DisplayRect m =
                moveRectTo({roiRect.left(), roiRect.top(), roiRect.right(), roiRect.bottom()}, a.x, a.y);
            roiRect.setCoords(static_cast<int>(m.left), static_cast<int>(m.top), static_cast<int>(m.right),
                              static_cast<int>(m.bottom));
            drawRoiFrame();
            EditroiPosX->setText(intText(a.x));
            EditroiPosY->setText(intText(a.y));
        }
    }
}

void TForm1::Image1MouseUp(const MouseArgs&)
{
    dragActive = false;
    windowDrag = false;
    roiDragTopLeft = roiDragBottomRight = roiDragMove = false;
    if (CheckBoxROI->isChecked()) {
        // Both halves of the "ROI" click: the frame is rebuilt from the boxes
        // over a fresh rendering.
        CheckBoxROI->setChecked(false);
        CheckBoxROI->setChecked(true);
    }
}

// ---- offset stepping ----

void TForm1::ButtonFUpClick() { stepHeader(*this, OffsetButton::FrameUp); }
void TForm1::ButtonFDownClick() { stepHeader(*this, OffsetButton::FrameDown); }
void TForm1::ButtonYUpClick() { stepHeader(*this, OffsetButton::RowUp); }
void TForm1::ButtonYDownClick() { stepHeader(*this, OffsetButton::RowDown); }
void TForm1::ButtonXUpClick() { stepHeader(*this, OffsetButton::PixelUp); }
void TForm1::Button4Click() { stepHeader(*this, OffsetButton::PixelBack); }
