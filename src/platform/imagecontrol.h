#pragma once
// An image control: a widget that owns a bitmap (its canvas) and paints it
// 1:1 at its top-left corner, so grab() shows exactly the drawn pixels.
// Mouse events are handed to plain callbacks, so one control's events can be
// routed to another control's handlers.
#include <QImage>
#include <QWidget>

#include <functional>

namespace tarven {

struct MouseArgs {
    Qt::MouseButton button = Qt::NoButton;
    Qt::MouseButtons buttons;
    Qt::KeyboardModifiers modifiers;
    int x = 0;
    int y = 0;
};

class ImageControl : public QWidget {
    Q_OBJECT
public:
    explicit ImageControl(QWidget* parent = nullptr);

    QImage& canvas() { return canvas_; }
    const QImage& canvas() const { return canvas_; }
    void setCanvas(QImage image);
    // Transparent controls show their parent through canvas pixels of alpha 0.
    void setTransparent(bool on);

    std::function<void(const MouseArgs&)> onMouseDown;
    std::function<void(const MouseArgs&)> onMouseMove;
    std::function<void(const MouseArgs&)> onMouseUp;
    std::function<void()> onDoubleClick;
    std::function<void()> onClick;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;

private:
    QImage canvas_;
    bool pressed_ = false;
};

} // namespace tarven
