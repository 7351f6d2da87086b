#pragma once
// Drives the real windows the way a user would: finds them by objectName,
// answers the modal dialogs they open, writes small raw files.
#include <QDir>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class TForm1;

namespace tarven::test {

// Fresh windows as at program start; returns Form1 found among the top-level widgets.
TForm1* startWindows();

QWidget* topLevel(const QString& objectName);

template <class T>
T* child(QWidget* window, const char* name)
{
    return window->findChild<T*>(QString::fromLatin1(name));
}

// Answers the next modal QInputDialog: records its prompt and proposal, then
// types `answer` (a null QString keeps the proposal) and confirms, or cancels.
struct InputAnswer {
    QString prompt;
    QString proposal;
    bool seen = false;
};
std::shared_ptr<InputAnswer> answerNextInput(const QString& answer = QString(), bool confirm = true);

// Answers the next modal QFileDialog with a path (a null QString cancels it);
// records the dialog's objectName.
struct FileAnswer {
    QString dialogName;
    QString proposedName;
    bool seen = false;
};
std::shared_ptr<FileAnswer> answerNextFileDialog(const QString& path);

// Answers every input dialog while it lives and counts them, so that a
// prompt that calls itself up again shows as a second one. A null answer
// keeps the proposal.
class InputWatch {
public:
    explicit InputWatch(QString answer = QString(), bool confirm = true);
    int seen = 0;
    QString title, prompt, proposal;

private:
    QString answer_;
    bool confirm_;
    QTimer timer_;
};

// Closes the next modal dialog of the given class name (e.g. "TForm5") and records that it was seen.
std::shared_ptr<bool> closeNextModal(const char* className);

// Reads and closes the next modal QMessageBox; returns its text through the pointer.
std::shared_ptr<QString> closeNextMessageBox();

// Collects the messages the handler guard would show in message boxes.
class MessageCapture {
public:
    MessageCapture();
    ~MessageCapture();
    QStringList messages;
};

// Writes header bytes (0xAB) followed by 16-bit little-endian pixels.
QString writeRaw(const QDir& dir, const QString& name, int columns, int rows, int header,
                 const std::function<std::uint16_t(int x, int y)>& pixel);
QString writeBytes(const QDir& dir, const QString& name, const std::vector<std::uint8_t>& bytes);

// Grey shown by Image1 at display pixel (x, y).
int greyAt(TForm1* form, int x, int y);

} // namespace tarven::test
