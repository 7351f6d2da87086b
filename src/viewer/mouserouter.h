#pragma once
// Hands the mouse events of a plain widget (a check box, the line box frame)
// to handler callbacks, with coordinates relative to that widget, without
// taking the events from it.
#include "platform/imagecontrol.h"

#include <QEvent>
#include <QMouseEvent>
#include <QObject>

#include <functional>

namespace tarven {

class MouseRouter : public QObject {
public:
    MouseRouter(QWidget* source, QObject* parent) : QObject(parent) { source->installEventFilter(this); }

    std::function<void(const MouseArgs&)> onMouseDown;
    std::function<void(const MouseArgs&)> onMouseMove;
    std::function<void(const MouseArgs&)> onMouseUp;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const auto type = event->type();
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseMove || type == QEvent::MouseButtonRelease) {
            const auto* e = static_cast<QMouseEvent*>(event);
            const QPoint p = e->position().toPoint();
            const MouseArgs a{e->button(), e->buttons(), e->modifiers(), p.x(), p.y()};
            const auto& fn = type == QEvent::MouseButtonPress ? onMouseDown
                             : type == QEvent::MouseMove      ? onMouseMove
                                                              : onMouseUp;
            if (fn)
                fn(a);
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace tarven
