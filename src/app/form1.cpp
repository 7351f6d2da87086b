#include "app/form1.h"

#include "app/form5.h"
#include "app/startup.h"
#include "app/form4.h"
#include "io/presets.h"
#include "platform/widgets.h"
#include "platform/dialogs.h"
#include "platform/guard.h"
#include "platform/imagecontrol.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>

using tarven::ImageControl;

namespace {

using tarven::ui::captioned;
using tarven::ui::edit;
using tarven::ui::label;
using tarven::ui::make;

QFrame* panel(QWidget* parent, const char* name, int x, int y, int w, int h)
{
    auto* p = make<QFrame>(parent, name, x, y, w, h);
    p->setFrameShape(QFrame::Panel);
    p->setFrameShadow(QFrame::Raised);
    return p;
}

// A radio group: a group box whose radio buttons are its items, in order.
QGroupBox* radioGroup(QWidget* parent, const char* name, const QRect& geometry, const QString& caption,
                      const QStringList& items, int columns, int itemIndex)
{
    auto* g = make<QGroupBox>(parent, name, geometry.x(), geometry.y(), geometry.width(), geometry.height());
    g->setTitle(caption);
    const int rows = (static_cast<int>(items.size()) + columns - 1) / columns;
    const int cellW = (geometry.width() - 8) / columns;
    const int cellH = rows > 0 ? (geometry.height() - 18) / rows : 0;
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], g);
        b->setGeometry(4 + (i / rows) * cellW, 15 + (i % rows) * cellH, cellW, cellH);
        b->setChecked(i == itemIndex);
    }
    return g;
}

QImage startPicture()
{
    QImage img(512, 512, QImage::Format_RGB888);
    img.fill(QColor(0, 0, 64));
    QPainter p(&img);
    p.setPen(Qt::white);
    QFont f(QStringLiteral("Noto Sans CJK JP"));
    f.setPixelSize(44);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(0, 150, 512, 60), Qt::AlignCenter, QStringLiteral("TARVEN"));
    f.setPixelSize(20);
    f.setBold(false);
    p.setFont(f);
    p.drawText(QRect(0, 220, 512, 30), Qt::AlignCenter, QStringLiteral("DICOM Viewer"));
    p.drawText(QRect(0, 250, 512, 30), Qt::AlignCenter, QStringLiteral("Ver.1.0.a"));
    f.setPixelSize(13);
    p.setFont(f);
    p.drawText(QRect(0, 320, 512, 60), Qt::AlignCenter,
               QStringLiteral("Load or drop a DICOM or raw 16-bit image\n画像ファイルを読み込むかドロップしてください"));
    return img;
}

} // namespace

TForm1::TForm1(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("DICOM Viewer TARVEN Ver.1.0.a"));
    createControls();
    connectHandlers();
    FormCreate();
}

TForm1::~TForm1() = default;

int TForm1::radioIndex(const QGroupBox* group)
{
    const auto items = group->findChildren<QRadioButton*>(QString(), Qt::FindDirectChildrenOnly);
    for (int i = 0; i < items.size(); ++i)
        if (items[i]->isChecked())
            return i;
    return -1;
}

void TForm1::setRadioIndex(QGroupBox* group, int index)
{
    const auto items = group->findChildren<QRadioButton*>(QString(), Qt::FindDirectChildrenOnly);
    if (index >= 0 && index < items.size()) {
        items[index]->setChecked(true);
        return;
    }
    for (auto* b : items) {
        b->setAutoExclusive(false);
        b->setChecked(false);
        b->setAutoExclusive(true);
    }
}

void TForm1::createControls()
{
    // Two labels that lie under the display and are never seen.
    label(this, 60, 300, QStringLiteral("Res.Interapt"));
    label(this, 60, 320, QStringLiteral("FOV"));

    EditPathFileName = edit(this, "EditPathFileName", 3, 1, 782, QStringLiteral("FileName"));

    // Tool bar.
    Panel1 = panel(this, "Panel1", 1, 23, 513, 25);
    RadioButtonPAN = captioned<QRadioButton>(Panel1, "RadioButtonPAN", 4, 4, 48, 17, QStringLiteral("PAN"));
    RadioButtonZOOM = captioned<QRadioButton>(Panel1, "RadioButtonZOOM", 54, 4, 58, 17, QStringLiteral("ZOOM"));
    ButtonIncMag = captioned<QPushButton>(Panel1, "ButtonIncMag", 116, 2, 22, 21, QStringLiteral("-"));
    EditMF = edit(Panel1, "EditMF", 140, 2, 44, QStringLiteral("1"));
    EditMF2 = edit(Panel1, "EditMF2", 140, 2, 44, QStringLiteral("100"));
    ButtonDecMAg = captioned<QPushButton>(Panel1, "ButtonDecMAg", 186, 2, 22, 21, QStringLiteral("+"));
    Image3 = make<ImageControl>(Panel1, "Image3", 272, 0, 105, 25);
    {
        QImage logo(105, 25, QImage::Format_RGB888);
        logo.fill(QColor(0, 0, 96));
        QPainter p(&logo);
        p.setPen(QColor(135, 206, 235));
        QFont f(QStringLiteral("Noto Sans CJK JP"));
        f.setPixelSize(14);
        f.setBold(true);
        p.setFont(f);
        p.drawText(logo.rect(), Qt::AlignCenter, QStringLiteral("TARVEN"));
        p.end();
        Image3->setCanvas(logo);
        Image3->setCursor(Qt::PointingHandCursor);
    }
    CheckBoxLine = captioned<QCheckBox>(Panel1, "CheckBoxLine", 384, 4, 50, 17, QStringLiteral("Line"));
    LabelLine = make<QLabel>(Panel1, "LabelLine", 438, 5, 70, 16);

    // Display: bottom to top Image1, Image0, Image2, Shape1, Label10.
    ScrollBox1 = make<QFrame>(this, "ScrollBox1", 0, 48, 512, 512);
    Image1 = make<ImageControl>(ScrollBox1, "Image1", 0, 0, 512, 512);
    Image1->setCursor(Qt::CrossCursor);
    Image1->hide();
    Image0 = make<ImageControl>(ScrollBox1, "Image0", 0, 0, 512, 512);
    Image2 = make<ImageControl>(ScrollBox1, "Image2", 0, 0, 512, 512);
    Image2->setTransparent(true);
    Image2->hide();
    Shape1 = make<QFrame>(ScrollBox1, "Shape1", 0, 0, 64, 64);
    Shape1->setStyleSheet(QStringLiteral("QFrame#Shape1 { border: 2px dotted #87CEEB; background: transparent; }"));
    Label10 = make<QLabel>(ScrollBox1, "Label10", 432, 0, 80, 40);
    Label10->setText(QStringLiteral(">"));
    Label10->setAlignment(Qt::AlignRight | Qt::AlignTop);
    Label10->setStyleSheet(QStringLiteral("color: red; font-weight: bold; font-size: 32px; background: transparent;"));
    Label10->setAttribute(Qt::WA_TransparentForMouseEvents);

    // Position bar.
    Panel4 = panel(this, "Panel4", 0, 562, 515, 27);
    EditrawPosX = edit(Panel4, "EditrawPosX", 3, 3, 44, QString());
    EditrawPosY = edit(Panel4, "EditrawPosY", 49, 3, 44, QString());
    EditroiPosX = edit(Panel4, "EditroiPosX", 103, 3, 44, QString());
    EditroiPosY = edit(Panel4, "EditroiPosY", 149, 3, 44, QString());
    EditroiSizeX = edit(Panel4, "EditroiSizeX", 195, 3, 44, QStringLiteral("0"));
    EditroiSizeY = edit(Panel4, "EditroiSizeY", 241, 3, 44, QString());
    CheckBoxROI = captioned<QCheckBox>(Panel4, "CheckBoxROI", 294, 5, 50, 17, QStringLiteral("ROI"));
    RadioButtonPixel = captioned<QRadioButton>(Panel4, "RadioButtonPixel", 348, 5, 56, 17, QStringLiteral("Pixel"));
    RadioButtonPixel->setChecked(true);
    RadioButtonHist = captioned<QRadioButton>(Panel4, "RadioButtonHist", 408, 5, 56, 17, QStringLiteral("Hist"));
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    for (int size = 32; size <= 2048; size *= 2)
        PopupMenu1->addAction(QString::number(size))->setObjectName(QStringLiteral("MenuROI%1").arg(size));

    // Right top: preset grid under the acquisition summary, statistics.
    DBGrid1 = make<QTableView>(this, "DBGrid1", 520, 27, 265, 94);
    Memo1 = make<QPlainTextEdit>(this, "Memo1", 520, 24, 265, 97);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    EditHSBP = edit(this, "EditHSBP", 520, 122, 76, QString());
    EditVSBP = edit(this, "EditVSBP", 598, 122, 76, QString());
    ButtonStat = captioned<QPushButton>(this, "ButtonStat", 676, 121, 52, 22, QStringLiteral("Ave/SD"));
    CheckBoxWide = make<QCheckBox>(this, "CheckBoxWide", 732, 124, 16, 16);

    // Page control.
    PageControl1 = make<QTabWidget>(this, "PageControl1", 520, 144, 193, 357);
    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    TabSheet2 = new QWidget;
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    PageControl1->addTab(TabSheet1, QStringLiteral("-a-"));
    PageControl1->addTab(TabSheet2, QStringLiteral("-b-"));

    QWidget* a = TabSheet1;
    RadioGroupMode = radioGroup(a, "RadioGroupMode", QRect(3, 2, 181, 40), QString(),
                                {QStringLiteral(" 8bit"), QStringLiteral("16bit"), QStringLiteral("DICOM")}, 3, 2);
    int y = 46;
    auto row = [&](const char* caption, const char* name, const QString& text) {
        label(a, 4, y + 2, QString::fromUtf8(caption));
        QLineEdit* e = edit(a, name, 80, y, 100, text);
        y += 22;
        return e;
    };
    EditFileName = row("File", "EditFileName", QStringLiteral("FileName"));
    EditFileSize = row("Size", "EditFileSize", QStringLiteral("0"));
    EditHeader = row("Header", "EditHeader", QStringLiteral("0"));
    EditrawSizeX = row("Matrix X", "EditrawSizeX", QStringLiteral("0"));
    EditrawSizeY = row("Matrix Y", "EditrawSizeY", QStringLiteral("0"));
    CheckBoxSwp = captioned<QCheckBox>(a, "CheckBoxSwp", 4, y, 60, 17, QStringLiteral("Swap"));
    CheckBoxSign = captioned<QCheckBox>(a, "CheckBoxSign", 80, y, 60, 17, QStringLiteral("Sign"));
    y += 22;
    label(a, 4, y + 2, QStringLiteral("Bits A/S/H"));
    EditBitAllo = edit(a, "EditBitAllo", 80, y, 32, QString());
    EditBitStore = edit(a, "EditBitStore", 114, y, 32, QString());
    EditBitHigh = edit(a, "EditBitHigh", 148, y, 32, QString());
    y += 22;
    EditRInterupt = row("Intercept", "EditRInterupt", QStringLiteral("0"));
    EditRSlope = row("Slope", "EditRSlope", QStringLiteral("1"));
    EditRType = row("Res.Type", "EditRType", QString());
    CheckBoxRes = captioned<QCheckBox>(a, "CheckBoxRes", 4, y, 70, 17, QStringLiteral("Res.On"));
    y += 24;
    label(a, 4, y + 4, QStringLiteral("Flip"));
    ButtonRL = captioned<QPushButton>(a, "ButtonRL", 80, y, 48, 24, QStringLiteral("R/L"));
    ButtonUD = captioned<QPushButton>(a, "ButtonUD", 132, y, 48, 24, QStringLiteral("U/D"));

    QWidget* b = TabSheet2;
    label(b, 8, 4, QStringLiteral("pixel"));
    label(b, 52, 4, QStringLiteral("row"));
    label(b, 96, 4, QStringLiteral("frame"));
    Button4 = captioned<QPushButton>(b, "Button4", 8, 22, 36, 24, QStringLiteral("R"));
    ButtonXUp = captioned<QPushButton>(b, "ButtonXUp", 8, 48, 36, 24, QStringLiteral("L"));
    ButtonYDown = captioned<QPushButton>(b, "ButtonYDown", 52, 22, 36, 24, QStringLiteral("D"));
    ButtonYUp = captioned<QPushButton>(b, "ButtonYUp", 52, 48, 36, 24, QStringLiteral("U"));
    ButtonFDown = captioned<QPushButton>(b, "ButtonFDown", 96, 22, 36, 24, QStringLiteral("D"));
    ButtonFUp = captioned<QPushButton>(b, "ButtonFUp", 96, 48, 36, 24, QStringLiteral("U"));
    CheckBoxSwp1 = captioned<QCheckBox>(b, "CheckBoxSwp1", 8, 84, 60, 17, QStringLiteral("Swap"));
    ButtonLoadBMP = captioned<QPushButton>(b, "ButtonLoadBMP", 8, 108, 80, 24, QStringLiteral("LoadBMP"));
    label(b, 8, 144, QStringLiteral("FOV"));
    EditFOV = edit(b, "EditFOV", 84, 142, 96, QStringLiteral("0"));
    label(b, 8, 168, QStringLiteral("PixelSpacing"));
    EditPixelSpacing = edit(b, "EditPixelSpacing", 84, 166, 96, QStringLiteral("0"));

    // Command panels.
    Panel5 = panel(this, "Panel5", 718, 155, 70, 230);
    CheckBoxWLock = captioned<QCheckBox>(Panel5, "CheckBoxWLock", 6, 6, 60, 17, QStringLiteral("Lock"));
    BitBtn2 = captioned<QPushButton>(Panel5, "BitBtn2", 4, 28, 62, 32, QStringLiteral("Load"));
    ButtonAutoWL = captioned<QPushButton>(Panel5, "ButtonAutoWL", 4, 64, 62, 32, QStringLiteral("AutoW"));
    ButtonToTable = captioned<QPushButton>(Panel5, "ButtonToTable", 4, 100, 62, 32, QStringLiteral("CalMTF"));
    ButtonCalWS = captioned<QPushButton>(Panel5, "ButtonCalWS", 4, 136, 62, 32, QStringLiteral("CalWS"));
    Button2 = captioned<QPushButton>(Panel5, "Button2", 4, 172, 62, 32, QStringLiteral("Graph"));

    Panel3 = panel(this, "Panel3", 718, 386, 71, 127);
    BitBtnSave = captioned<QPushButton>(Panel3, "BitBtnSave", 4, 4, 63, 28, QStringLiteral("Save"));
    ButtonSAVE_DICOMtag = captioned<QPushButton>(Panel3, "ButtonSAVE_DICOMtag", 4, 34, 63, 28, QStringLiteral("S_DICOM"));
    ButtonSaveROI = captioned<QPushButton>(Panel3, "ButtonSaveROI", 4, 64, 63, 28, QStringLiteral("SaveROI"));
    ButtonSaveBMP = captioned<QPushButton>(Panel3, "ButtonSaveBMP", 4, 94, 63, 28, QStringLiteral("SaveBMP"));

    Panel2 = panel(this, "Panel2", 519, 502, 195, 88);
    label(Panel2, 4, 2, QStringLiteral("W.Width/Level"));
    EditLLVL = edit(Panel2, "EditLLVL", 4, 18, 58, QStringLiteral("0"));
    EditULVL2 = edit(Panel2, "EditULVL2", 64, 18, 58, QStringLiteral("0"));
    EditULVL = edit(Panel2, "EditULVL", 200, 18, 58, QString()); // outside the panel's visible area
    ButtonWLRst = make<QPushButton>(Panel2, "ButtonWLRst", 124, 19, 17, 17);
    CheckBoxInvrt = captioned<QCheckBox>(Panel2, "CheckBoxInvrt", 126, 2, 66, 16, QStringLiteral("Invert"));
    ButtonDisp = captioned<QPushButton>(Panel2, "ButtonDisp", 144, 18, 46, 22, QStringLiteral("Disp"));
    RadioGroupRange = radioGroup(Panel2, "RadioGroupRange", QRect(4, 42, 187, 42), QStringLiteral("Range"),
                                 {QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("10"), QStringLiteral("30")}, 4, 1);

    BitBtn1 = captioned<QPushButton>(this, "BitBtn1", 726, 516, 61, 50, QStringLiteral("Close"));

    // Bottom: element log under the tag table.
    MemoTag = make<QPlainTextEdit>(this, "MemoTag", 530, 620, 100, 40);
    Memo_ermnt = make<QPlainTextEdit>(this, "Memo_ermnt", 7, 610, 512, 82);
    Memo_ermnt->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo_ermnt->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo_ermnt->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    StringGridDTag = make<QTableWidget>(this, "StringGridDTag", 0, 591, 793, 105);
    StringGridDTag->setColumnCount(7);
    StringGridDTag->setRowCount(94);
    StringGridDTag->horizontalHeader()->hide();
    StringGridDTag->verticalHeader()->hide();
    // The minimum first: the default size is clamped to it (the style's
    // minimum is above 16).
    StringGridDTag->verticalHeader()->setMinimumSectionSize(16);
    StringGridDTag->verticalHeader()->setDefaultSectionSize(16);
    StringGridDTag->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGridDTag->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff); // vertical scroll bar only
    StringGridDTag->setSelectionBehavior(QAbstractItemView::SelectRows);   // rows range-selected
    StringGridDTag->setSelectionMode(QAbstractItemView::ContiguousSelection);
    const int widths[] = {24, 36, 35, 33, 50, 296, 338};
    for (int c = 0; c < 7; ++c)
        StringGridDTag->setColumnWidth(c, widths[c]);

    OpenDialogImg = tarven::makeFileDialog(this, QStringLiteral("OpenDialogImg"), false);
    SaveDialogImg = tarven::makeFileDialog(this, QStringLiteral("SaveDialogImg"), true);
    SaveDialogImg->setDefaultSuffix(QStringLiteral("raw"));
    SaveDialogImg->setNameFilters({QStringLiteral("DICOM (*.dcm)"), QStringLiteral("RAW (*.raw)"), QStringLiteral("BMP (*.bmp)")});
}

void TForm1::connectHandlers()
{
    using tarven::connectGuarded;
    connectGuarded(ButtonDisp, &QPushButton::clicked, this, [this] { ButtonDispClick(); });
    connectGuarded(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connectGuarded(BitBtn2, &QPushButton::clicked, this, [this] { BitBtnLoadClick(); });
    connectGuarded(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    Image3->onClick = [this] { tarven::guarded(this, [this] { Image3Click(); }); };
    connectViewerHandlers();
    connectAnalysisHandlers();
}

void TForm1::FormCreate()
{
    // Flicker-free repaint comes with Qt's backing store; the window accepts
    // dropped files itself.
    setAcceptDrops(true);
    imageData.clear();
    startBitmap = startPicture();
    viewBitmap = QImage();
    displayWidth = 512;
    displayHeight = 512;
    Image0->setCanvas(startBitmap);
    {
        QImage white(512, 512, QImage::Format_RGB888);
        white.fill(Qt::white);
        Image1->setCanvas(white);
        QImage clear(512, 512, QImage::Format_ARGB32_Premultiplied);
        clear.fill(Qt::transparent);
        Image2->setCanvas(clear);
    }
    setFixedSize(795, 731); // the user cannot resize the window
    move(51, 20);
    EditLLVL->setText(QStringLiteral("600"));
    EditULVL2->setText(QStringLiteral("600"));
    // dictionaryText is built from the dictionary table by the DICOM reader's
    // start-up hook.
    buildDictionaryText();
    const char* headings[] = {"No", "Grou", "Elem", "VR", "LengVR", "Data", "Name"};
    for (int c = 0; c < 7; ++c)
        StringGridDTag->setItem(0, c, new QTableWidgetItem(QString::fromLatin1(headings[c])));
    // Checking "PAN" runs its click action; then neither mode is selected.
    RadioButtonPAN->setChecked(true);
    RadioButtonPAN->setAutoExclusive(false);
    RadioButtonPAN->setChecked(false);
    RadioButtonPAN->setAutoExclusive(true);
    Shape1->hide();
}

void TForm1::ButtonDispClick()
{
    Label10->raise();
    RenderView();
}

void TForm1::BitBtn1Click()
{
    if (Table1)
        Table1->close(); // the preset table
    viewBitmap = QImage();
    imageData.clear();
    imageData.shrink_to_fit();
    close();
}

void TForm1::closeEvent(QCloseEvent* e)
{
    e->accept();
    QApplication::quit();
}

void TForm1::Image3Click()
{
    if (auto* f5 = tarven::windows().form5)
        f5->exec();
}

void TForm1::Button2Click()
{
    if (auto* f4 = tarven::windows().form4)
        f4->exec();
}

void TForm1::dragEnterEvent(QDragEnterEvent* e)
{
    if (e->mimeData()->hasUrls())
        e->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* e)
{
    QStringList names;
    for (const QUrl& url : e->mimeData()->urls())
        if (url.isLocalFile())
            names << url.toLocalFile();
    e->acceptProposedAction();
    if (!names.isEmpty())
        tarven::guarded(this, [&] { dropFiles(names); });
}

void TForm1::connectAnalysisHandlers()
{
    using tarven::connectGuarded;
    connectGuarded(ButtonToTable, &QPushButton::clicked, this, [this] { ButtonToTableClick(); });
    connectGuarded(ButtonCalWS, &QPushButton::clicked, this, [this] { ButtonCalWSClick(); });
    connectGuarded(ButtonSAVE_DICOMtag, &QPushButton::clicked, this, [this] { ButtonSAVE_DICOMtagClick(); });
    connectGuarded(ButtonSaveROI, &QPushButton::clicked, this, [this] { ButtonSave512Click(); });
    connectGuarded(BitBtnSave, &QPushButton::clicked, this, [this] { BitBtnSaveClick(); });
    connectGuarded(ButtonSaveBMP, &QPushButton::clicked, this, [this] { ButtonSaveBMPClick(); });
    connectGuarded(ButtonLoadBMP, &QPushButton::clicked, this, [this] { ButtonLoadBMPClick(); });
    connectGuarded(StringGridDTag, &QTableWidget::cellDoubleClicked, this, [this] { StringGridDTagDblClick(); });
}
