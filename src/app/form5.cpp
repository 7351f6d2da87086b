#include "app/form5.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

TForm5::TForm5(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("TARVEN TEAM"));
    setFixedSize(405, 362);
    setModal(true);

    auto* logo = new QLabel(this);
    logo->setObjectName(QStringLiteral("Image1"));
    logo->setGeometry(16, 16, 120, 120);
    QPixmap pm(120, 120);
    pm.fill(QColor(0, 0, 96));
    {
        QPainter p(&pm);
        p.setPen(QColor(135, 206, 235));
        QFont f(QStringLiteral("Noto Sans CJK JP"));
        f.setPixelSize(22);
        f.setBold(true);
        p.setFont(f);
        p.drawText(pm.rect(), Qt::AlignCenter, QStringLiteral("TARVEN"));
    }
    logo->setPixmap(pm);

    int y = 16;
    for (const char* text : {"DICOM", "Viewer", "Version 1.0.a"}) {
        auto* l = new QLabel(QString::fromLatin1(text), this);
        l->setGeometry(160, y, 220, 24);
        QFont f = l->font();
        f.setPixelSize(18);
        f.setBold(true);
        l->setFont(f);
        y += 28;
    }
    int x = 160;
    for (const char* text : {"Public", "domain", "software"}) {
        auto* l = new QLabel(QString::fromLatin1(text), this);
        l->setGeometry(x, 108, 70, 20);
        x += 72;
    }

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setGeometry(16, 150, 373, 196);
    panel->setAutoFillBackground(true);
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, QColor(0xA6, 0xCA, 0xF0)); // sky blue
    panel->setPalette(pal);
    auto* credits = new QGroupBox(QStringLiteral("Credits"), panel);
    credits->setObjectName(QStringLiteral("GroupBox1"));
    credits->setGeometry(8, 8, 357, 180);
    auto* layout = new QVBoxLayout(credits);
    layout->addWidget(new QLabel(QStringLiteral(
        "TARVEN: image-quality physics for CT, MR and radiography.\n\n"
        "Viewer, ROI statistics, line profile,\n"
        "MTF by the slit method, Wiener spectrum,\n"
        "DICOM tag table and anonymised copy.\n\n"
        "画質評価のための医用画像ツール"), credits));
}
