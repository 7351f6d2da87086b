#pragma once
// The handler guard: every event handler runs inside it. An error of ours
// ends the handler and its message is shown in a message box, as the
// framework's default handler does; what the handler wrote before stays.
#include <QObject>
#include <QString>
#include <QWidget>

#include <exception>
#include <functional>
#include <new>
#include <utility>

#include "common/errors.h"

class QWidget;

namespace tarven {

// Shows a message box with the text (or hands it to the sink, when set).
void showMessage(QWidget* parent, const QString& text);

// Tests may route messages to a sink instead of a modal box; pass an empty
// function to restore the box. Returns the previous sink.
using MessageSink = std::function<void(const QString&)>;
MessageSink setMessageSink(MessageSink sink);

template <class F>
void guarded(QWidget* parent, F&& handler)
{
    try {
        std::forward<F>(handler)();
    } catch (const Error& e) {
        showMessage(parent, QString::fromUtf8(e.what()));
    } catch (const std::bad_alloc&) {
        showMessage(parent, QStringLiteral("メモリが不足しています"));
    } catch (const std::exception& e) {
        // Anything else that escapes a handler would cross Qt's event loop
        // and end the program: show it like our own errors instead.
        showMessage(parent, QString::fromUtf8(e.what()));
    }
}

} // namespace tarven

namespace tarven {

// Connects a signal to a handler that runs inside the guard.
template <class Sender, class Signal, class Fn>
void connectGuarded(Sender* sender, Signal signal, QWidget* context, Fn fn)
{
    QObject::connect(sender, signal, context, [context, fn](auto&&...) { guarded(context, fn); });
}

} // namespace tarven
