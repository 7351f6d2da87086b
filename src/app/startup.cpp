#include "app/startup.h"

#include "app/form1.h"
#include "app/form4.h"
#include "app/form5.h"
#include "mtf/form2.h"
#include "wiener/form3.h"

#include <QApplication>
#include <QFont>

namespace tarven {

Windows& windows()
{
    static Windows w;
    return w;
}

void createWindows()
{
    destroyWindows();
    QApplication::setApplicationName(QStringLiteral("TARVEN"));
    QApplication::setApplicationDisplayName(QStringLiteral("TARVEN"));
    // Japanese captions, element names and messages need a CJK face.
    QFont font(QStringLiteral("Noto Sans CJK JP"));
    font.setPixelSize(12);
    QApplication::setFont(font);

    auto& w = windows();
    w.form1 = new TForm1;
    w.form2 = new TForm2;
    w.form3 = new TForm3;
    w.form4 = new TForm4;
    w.form5 = new TForm5;
    w.form1->show();
}

void destroyWindows()
{
    auto& w = windows();
    delete w.form5;
    delete w.form4;
    delete w.form3;
    delete w.form2;
    delete w.form1;
    w = Windows{};
}

} // namespace tarven
