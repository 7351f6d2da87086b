// The line profile of the main window: the overlay Image2 with the red line,
// the line box Shape1, the state word in LabelLine, and the profile taken on
// release over the box.
#include "app/form1.h"
#include "common/numeric.h"
#include "common/pixels.h"
#include "platform/convert.h"
#include "platform/dialogs.h"
#include "platform/imagecontrol.h"
#include "viewer/profile.h"
#include "viewer/roi.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>

#include <algorithm>
#include <limits>

using namespace tarven;

namespace {
const QString kDrawStar = QStringLiteral("draw*");
const QString kDraw1 = QStringLiteral("draw1");
const QString kDraw2 = QStringLiteral("draw2");
const QString kMove = QStringLiteral("move");

LineBox boxOf(const QRect& r) { return {r.x(), r.y(), r.width(), r.height()}; }
QRect rectOf(const LineBox& b)
{
    return QRect(static_cast<int>(b.left), static_cast<int>(b.top), static_cast<int>(b.width),
                 static_cast<int>(b.height));
}
char dirOf(const QString& d) { return d == QStringLiteral("-") ? '-' : d == QStringLiteral("+") ? '+' : 0; }

// A box origin beyond 64 bits lies outside any image: saturate it.
std::int64_t addSaturated(std::int64_t a, std::int64_t b)
{
    std::int64_t r = 0;
    if (__builtin_add_overflow(a, b, &r))
        return b > 0 ? std::numeric_limits<std::int64_t>::max() : std::numeric_limits<std::int64_t>::min();
    return r;
}

void uncheckRadio(QRadioButton* b)
{
    if (!b->isChecked())
        return;
    b->setAutoExclusive(false);
    b->setChecked(false);
    b->setAutoExclusive(true);
}
} // namespace

void TForm1::showLineBox()
{
    Shape1->setGeometry(lineBox.x(), lineBox.y(), std::max(0, lineBox.width()), std::max(0, lineBox.height()));
}

void TForm1::clearLineOverlay(bool keepLastRowAndColumn)
{
    QImage& c = Image2->canvas();
    if (c.isNull())
        return;
    QPainter p(&c);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    // The overlay's "white" is what shows the image through: transparent.
    p.fillRect(keepLastRowAndColumn ? QRect(0, 0, 511, 511) : QRect(0, 0, 512, 512), Qt::transparent);
    p.end();
    Image2->update();
}

void TForm1::drawProfileLine()
{
    const char dir = dirOf(lineDir);
    QImage& c = Image2->canvas();
    if (!dir || c.isNull())
        return;
    const auto e = lineEnds(boxOf(lineBox), dir);
    QPainter p(&c);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Qt::red, 1, Qt::SolidLine));
    p.drawLine(QPoint(static_cast<int>(e[0]), static_cast<int>(e[1])), QPoint(static_cast<int>(e[2]), static_cast<int>(e[3])));
    p.end();
    Image2->update();
}

void TForm1::CheckBoxLineClick()
{
    Label10->raise();
    if (CheckBoxLine->isChecked()) {
        if (!LabelLine->text().isEmpty() && !RadioButtonPAN->isChecked())
            return;
        Image2->show();
        Image2->setEnabled(true);
        Image2->raise();
        CheckBoxROI->setChecked(false);
        uncheckRadio(RadioButtonPAN);
        LabelLine->setText(kDrawStar);
        clearLineOverlay(false);
        Shape1->show();
        Label10->raise();
    } else {
        LabelLine->setText(QString());
        Image1->raise();
        Label10->raise();
    }
}

void TForm1::Image2MouseDown(const MouseArgs& a)
{
    if (a.button != Qt::LeftButton)
        return;
    if (LabelLine->text() == kDrawStar) {
        lineBox = QRect(a.x, a.y, 0, 0);
        lineStart = QPoint(a.x, a.y);
        showLineBox();
        LabelLine->setText(kDraw1);
    }
    if (LabelLine->text() == kDraw2 && lineDir == QStringLiteral("-")) {
        lineBox = rectOf(pressOnLine(boxOf(lineBox), '-', a.x, a.y));
        showLineBox();
    }
    lineButtonDown = true;
}

void TForm1::Image2MouseMove(const MouseArgs& a)
{
    const QString state = LabelLine->text();
    if (state == kDraw1) {
        if (const auto d = lineFromDrag(lineStart.x(), lineStart.y(), a.x, a.y)) {
            lineDir = QString(QChar::fromLatin1(d->dir));
            lineBox = rectOf(d->box);
            showLineBox();
        }
        clearLineOverlay(true);
        drawProfileLine();
    } else if (state == kDraw2 && lineButtonDown) {
        lineBox = rectOf(dragLineEnd(boxOf(lineBox), dirOf(lineDir), a.x, a.y));
        showLineBox();
        clearLineOverlay(false);
        drawProfileLine();
    }
}

void TForm1::Image2MouseUp(const MouseArgs&)
{
    LabelLine->setText(kMove);
    lineButtonDown = false;
    Shape1->raise();
    boxGrabbed = false;
}

void TForm1::Shape1MouseDown(const MouseArgs& a)
{
    if (a.button == Qt::LeftButton && LabelLine->text() == kMove)
        boxGrabbed = true;
}

void TForm1::Shape1MouseMove(const MouseArgs& a)
{
    if (!boxGrabbed || !CheckBoxLine->isChecked())
        return;
    // The box's centre jumps to the mouse (coordinates relative to the box).
    lineBox.moveTo(lineBox.x() + a.x - lineBox.width() / 2, lineBox.y() + a.y - lineBox.height() / 2);
    showLineBox();
    clearLineOverlay(true);
    drawProfileLine();
}

void TForm1::Shape1MouseUp(const MouseArgs& a)
{
    if (a.button == Qt::LeftButton)
        takeProfile();
    Image2->raise();
    drawProfileLine();
    LabelLine->setText(kDraw2);
    boxGrabbed = false;
}

void TForm1::takeProfile()
{
    // No line drawn yet: there is no diagonal to follow, so no profile; the
    // clipboard and the graph buffer keep what they had.
    const char dir = dirOf(lineDir);
    if (!dir)
        return;
    viewScale = displayScale(toFloat(EditMF), matrixX);
    viewCentre = QPoint(toInt(EditrawPosX), toInt(EditrawPosY));
    matrixX = toInt(EditrawSizeX);
    matrixY = toInt(EditrawSizeY);
    const double s = viewScale;
    ProfileRequest q;
    q.x0 = addSaturated(truncToInt64(static_cast<double>(lineBox.x() - 256) * s), viewCentre.x());
    q.y0 = addSaturated(truncToInt64(static_cast<double>(lineBox.y() - 256) * s), viewCentre.y());
    q.wi = roundToInt64(static_cast<double>(lineBox.width()) * s);
    q.hi = roundToInt64(static_cast<double>(lineBox.height()) * s);
    rescaleIntercept = toInt(EditRInterupt);
    rescaleSlope = toFloat(EditRSlope);
    headerOffset = toInt(EditHeader);
    q.dir = dir;
    q.matrixX = matrixX;
    q.matrixY = matrixY;
    q.rescale = CheckBoxRes->isChecked();
    q.slope = rescaleSlope;
    q.intercept = rescaleIntercept;
    const Profile p = tarven::takeProfile(pixelAccess(), q);

    setClipboardText(QString::fromStdString(p.text));
    // values[1 .. n]; a line longer than the buffer keeps its first 50000
    // pixels for the graph (the clipboard has them all).
    std::fill(graphBuffer.values.begin(), graphBuffer.values.end(), 0);
    const auto n = std::min<std::size_t>(p.values.size(), graphBuffer.values.size() - 1);
    std::copy(p.values.begin(), p.values.begin() + static_cast<std::ptrdiff_t>(n), graphBuffer.values.begin() + 1);
    graphBuffer.first = 1;
    graphBuffer.last = static_cast<std::int32_t>(n);
    graphBuffer.offset = 0;
    graphBuffer.title = QStringLiteral("profile");
}
