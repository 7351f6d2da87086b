#include "platform/dialogs.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QInputDialog>

namespace tarven {

namespace {
InputHook& inputHook()
{
    static InputHook hook;
    return hook;
}

QInputDialog* makeInput(QWidget* parent, const QString& caption, const QString& prompt, const QString& text)
{
    auto* d = new QInputDialog(parent);
    d->setObjectName(QStringLiteral("InputDialog"));
    d->setWindowTitle(caption);
    d->setLabelText(prompt);
    d->setTextValue(text);
    d->setInputMode(QInputDialog::TextInput);
    return d;
}
} // namespace

QString inputBox(QWidget* parent, const QString& caption, const QString& prompt, const QString& defaultText)
{
    QString value = defaultText;
    return inputQuery(parent, caption, prompt, value) ? value : defaultText;
}

void setInputHook(InputHook hook) { inputHook() = std::move(hook); }

bool inputQuery(QWidget* parent, const QString& caption, const QString& prompt, QString& value)
{
    if (inputHook()) {
        auto answer = inputHook()(caption, prompt, value);
        if (answer)
            value = *answer;
        return answer.has_value();
    }
    QInputDialog* d = makeInput(parent, caption, prompt, value);
    const bool ok = d->exec() == QDialog::Accepted;
    if (ok)
        value = d->textValue();
    delete d;
    return ok;
}

QFileDialog* makeFileDialog(QWidget* owner, const QString& objectName, bool save)
{
    auto* d = new QFileDialog(owner);
    d->setObjectName(objectName);
    d->setOption(QFileDialog::DontUseNativeDialog, true);
    d->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    d->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    d->setWindowModality(Qt::ApplicationModal);
    return d;
}

QString runFileDialog(QFileDialog* dialog, const QString& proposedName)
{
    if (!proposedName.isNull())
        dialog->selectFile(proposedName);
    if (dialog->exec() != QDialog::Accepted)
        return QString();
    const QStringList files = dialog->selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}

void setClipboardText(const QString& text) { QApplication::clipboard()->setText(text); }

} // namespace tarven
