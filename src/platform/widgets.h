#pragma once
// Creating controls the way the windows are laid out: each with its name as
// objectName and its geometry relative to its parent.
#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <QWidget>

namespace tarven::ui {

template <class W>
W* make(QWidget* parent, const char* name, int x, int y, int w, int h)
{
    auto* widget = new W(parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(x, y, w, h);
    return widget;
}

// An edit box of the standard height.
inline QLineEdit* edit(QWidget* parent, const char* name, int x, int y, int w, const QString& text = QString())
{
    auto* e = make<QLineEdit>(parent, name, x, y, w, 20);
    e->setText(text);
    return e;
}

// A control with a caption (button, check box, radio button, label).
template <class W>
W* captioned(QWidget* parent, const char* name, int x, int y, int w, int h, const QString& caption)
{
    auto* widget = make<W>(parent, name, x, y, w, h);
    widget->setText(caption);
    return widget;
}

// An unnamed label sized to its text.
inline QLabel* label(QWidget* parent, int x, int y, const QString& text)
{
    auto* l = new QLabel(text, parent);
    l->move(x, y);
    l->adjustSize();
    return l;
}

} // namespace tarven::ui
