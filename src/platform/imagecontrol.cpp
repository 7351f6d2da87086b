#include "platform/imagecontrol.h"

#include <QMouseEvent>
#include <QPainter>

namespace tarven {

namespace {
MouseArgs argsOf(const QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    return MouseArgs{e->button(), e->buttons(), e->modifiers(), p.x(), p.y()};
}
} // namespace

ImageControl::ImageControl(QWidget* parent) : QWidget(parent) { setMouseTracking(true); }

void ImageControl::setCanvas(QImage image)
{
    canvas_ = std::move(image);
    update();
}

void ImageControl::setTransparent(bool on)
{
    setAttribute(Qt::WA_TranslucentBackground, on);
    setAttribute(Qt::WA_NoSystemBackground, on);
    setAutoFillBackground(!on);
}

void ImageControl::paintEvent(QPaintEvent*)
{
    if (canvas_.isNull())
        return;
    QPainter p(this);
    p.drawImage(0, 0, canvas_);
}

void ImageControl::mousePressEvent(QMouseEvent* e)
{
    pressed_ = true;
    if (onMouseDown)
        onMouseDown(argsOf(e));
}

void ImageControl::mouseMoveEvent(QMouseEvent* e)
{
    if (onMouseMove)
        onMouseMove(argsOf(e));
}

void ImageControl::mouseReleaseEvent(QMouseEvent* e)
{
    const bool click = pressed_ && rect().contains(e->position().toPoint());
    pressed_ = false;
    if (onMouseUp)
        onMouseUp(argsOf(e));
    if (click && onClick)
        onClick();
}

void ImageControl::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (onDoubleClick)
        onDoubleClick();
    else
        QWidget::mouseDoubleClickEvent(e);
}

} // namespace tarven
