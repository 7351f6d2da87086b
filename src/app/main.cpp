#include "app/form1.h"
#include "app/startup.h"

#include <QApplication>
#include <QStringList>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    tarven::createWindows();
    // A file named on the command line ("Open with") loads as a dropped file would.
    const QStringList args = QApplication::arguments().mid(1);
    if (!args.isEmpty())
        QMetaObject::invokeMethod(tarven::windows().form1, [args] {
            if (auto* f = tarven::windows().form1)
                f->dropFiles(args);
        }, Qt::QueuedConnection);
    return app.exec();
}
