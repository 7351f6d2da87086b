#include "platform/guard.h"

#include <QApplication>
#include <QMessageBox>

namespace tarven {

namespace {
MessageSink& sink()
{
    static MessageSink s;
    return s;
}
} // namespace

MessageSink setMessageSink(MessageSink s) { return std::exchange(sink(), std::move(s)); }

void showMessage(QWidget* parent, const QString& text)
{
    if (sink()) {
        sink()(text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QApplication::applicationDisplayName(), text, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("MessageBox"));
    box.exec();
}

} // namespace tarven
