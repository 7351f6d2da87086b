#pragma once
// Qt's own dialogs (never the platform's native ones), so that a test can
// find the active modal dialog, fill it and accept it.
#include <QString>

#include <functional>
#include <optional>

class QWidget;
class QFileDialog;

namespace tarven {

// An input box: the answer when confirmed, the unchanged default otherwise.
QString inputBox(QWidget* parent, const QString& caption, const QString& prompt, const QString& defaultText);
// Programs that drive the windows without a person (benchmarks, scripted
// runs) may answer input boxes and queries themselves: the hook gets caption,
// prompt and proposal and returns the answer, or nothing for "cancel". An
// empty function restores the dialogs.
using InputHook = std::function<std::optional<QString>(const QString&, const QString&, const QString&)>;
void setInputHook(InputHook hook);

// An input query: true when confirmed, with value replaced by the answer.
bool inputQuery(QWidget* parent, const QString& caption, const QString& prompt, QString& value);

// A reusable non-native file dialog owned by a window.
QFileDialog* makeFileDialog(QWidget* owner, const QString& objectName, bool save);
// Runs the dialog; on confirmation returns the chosen path, else an empty text.
QString runFileDialog(QFileDialog* dialog, const QString& proposedName = QString());

void setClipboardText(const QString& text);

} // namespace tarven
