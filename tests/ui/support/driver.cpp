#include "support/driver.h"

#include "app/form1.h"
#include "app/startup.h"
#include "platform/guard.h"
#include "platform/imagecontrol.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

namespace tarven::test {

TForm1* startWindows()
{
    createWindows();
    return qobject_cast<TForm1*>(topLevel(QStringLiteral("Form1")));
}

QWidget* topLevel(const QString& objectName)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == objectName)
            return w;
    return nullptr;
}

namespace {
// Polls until a modal widget satisfying `accept` appears, then hands it over.
void whenModal(const std::function<bool(QWidget*)>& handle)
{
    auto* timer = new QTimer;
    timer->setInterval(5);
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, handle, tries] {
        QWidget* w = QApplication::activeModalWidget();
        if ((w && handle(w)) || ++*tries > 2000) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
}
} // namespace

std::shared_ptr<InputAnswer> answerNextInput(const QString& answer, bool confirm)
{
    auto result = std::make_shared<InputAnswer>();
    whenModal([=](QWidget* w) {
        auto* d = qobject_cast<QInputDialog*>(w);
        if (!d)
            return false;
        result->seen = true;
        result->prompt = d->labelText();
        result->proposal = d->textValue();
        if (!answer.isNull())
            d->setTextValue(answer);
        if (confirm)
            d->accept();
        else
            d->reject();
        return true;
    });
    return result;
}

InputWatch::InputWatch(QString answer, bool confirm) : answer_(std::move(answer)), confirm_(confirm)
{
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        auto* d = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        if (!d)
            return;
        ++seen;
        title = d->windowTitle();
        prompt = d->labelText();
        proposal = d->textValue();
        if (!answer_.isNull())
            d->setTextValue(answer_);
        if (confirm_)
            d->accept();
        else
            d->reject();
    });
    timer_.start();
}

std::shared_ptr<FileAnswer> answerNextFileDialog(const QString& path)
{
    auto result = std::make_shared<FileAnswer>();
    whenModal([=](QWidget* w) {
        auto* d = qobject_cast<QFileDialog*>(w);
        if (!d)
            return false;
        if (!result->seen) {
            result->seen = true;
            result->dialogName = d->objectName();
            const QStringList chosen = d->selectedFiles();
            result->proposedName = chosen.isEmpty() ? QString() : QFileInfo(chosen.first()).fileName();
        }
        if (path.isNull()) {
            d->reject();
            return true;
        }
        // Type the full path, as a user would, and confirm: the dialog checks
        // the typed path itself rather than its asynchronously filled model.
        auto* edit = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!edit)
            return false;
        edit->setText(QFileInfo(path).absoluteFilePath());
        QMetaObject::invokeMethod(d, "accept", Qt::DirectConnection);
        return true;
    });
    return result;
}

std::shared_ptr<bool> closeNextModal(const char* className)
{
    auto seen = std::make_shared<bool>(false);
    const QByteArray name(className);
    whenModal([=](QWidget* w) {
        if (name != w->metaObject()->className())
            return false;
        *seen = true;
        if (auto* d = qobject_cast<QDialog*>(w))
            d->reject();
        else
            w->close();
        return true;
    });
    return seen;
}

std::shared_ptr<QString> closeNextMessageBox()
{
    auto text = std::make_shared<QString>();
    whenModal([=](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (!box)
            return false;
        *text = box->text();
        box->accept();
        return true;
    });
    return text;
}

MessageCapture::MessageCapture()
{
    setMessageSink([this](const QString& m) { messages << m; });
}

MessageCapture::~MessageCapture() { setMessageSink({}); }

QString writeBytes(const QDir& dir, const QString& name, const std::vector<std::uint8_t>& bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return QString();
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    return path;
}

QString writeRaw(const QDir& dir, const QString& name, int columns, int rows, int header,
                 const std::function<std::uint16_t(int, int)>& pixel)
{
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(header), 0xAB);
    bytes.reserve(bytes.size() + static_cast<std::size_t>(columns) * rows * 2);
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < columns; ++x) {
            const std::uint16_t v = pixel(x, y);
            bytes.push_back(static_cast<std::uint8_t>(v & 0xFF));
            bytes.push_back(static_cast<std::uint8_t>(v >> 8));
        }
    return writeBytes(dir, name, bytes);
}

int greyAt(TForm1* form, int x, int y) { return form->Image1->canvas().pixelColor(x, y).red(); }

} // namespace tarven::test
