#pragma once
// The main viewer window. Its edit boxes, check boxes and radio groups are
// the authoritative store of the viewer's parameters: an operation converts
// the texts it needs when it runs and writes its results back as text.
//
// The class spans several files, one per subsystem area, each beside its
// engine: layout and start-up here (app/), rendering and interaction in
// viewer/, loading and saving in io/, the DICOM reader and writer in dicom/,
// the analysis hand-offs in mtf/ and wiener/.
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <vector>

class QCheckBox;
class QFileDialog;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableWidget;
class QTableView;
class QScrollArea;

namespace tarven {
class ImageControl;
struct MouseArgs;
class PixelAccess;  // viewer interaction (viewer/)
class PresetTable;  // the equipment preset table (io/presets.h)
} // namespace tarven

// The last histogram or line profile, for the graph window.
struct GraphBuffer {
    std::vector<std::int32_t> values = std::vector<std::int32_t>(50001, 0);
    std::int32_t first = 0;
    std::int32_t last = 0;
    std::int32_t offset = 0;
    QString title;
};

class TForm1 : public QWidget {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // ---- loaded data ----
    std::vector<std::uint8_t> imageData; // the whole loaded file, header included
    QString filePath;

    // ---- module variables (converted copies of the boxes, and state without a box) ----
    std::int32_t bytesPerPixel = 0;
    std::int32_t headerOffset = 0;
    std::int32_t matrixX = 0;
    std::int32_t matrixY = 0;
    QPoint viewCentre;
    std::int32_t displayWidth = 0;
    std::int32_t displayHeight = 0;
    double viewScale = 0;
    double rescaleSlope = 0;
    double rescaleIntercept = 0;
    std::array<std::int32_t, 4> roiImage{}; // left column, top row, width, height
    QRect roiRect;                           // display pixels, both corners inside
    bool roiDrag = false;
    bool dragActive = false;
    bool windowDrag = false;
    QPoint panAnchor;
    QPoint dragAnchor;
    QPoint lineStart;
    QString lineDir;
    bool lineButtonDown = false;
    bool boxGrabbed = false;
    GraphBuffer graphBuffer;
    QString photometric;
    QString fovText;
    double pixelSpacing = 0;
    QString dictionaryText;

    // ---- private bitmaps ----
    QImage startBitmap;
    QImage viewBitmap; // the display bitmap: 24-bit grey, as last rendered

    // ---- controls (objectName = member name) ----
    QLineEdit* EditPathFileName = nullptr;

    QFrame* Panel1 = nullptr;
    QRadioButton* RadioButtonPAN = nullptr;
    QRadioButton* RadioButtonZOOM = nullptr;
    QPushButton* ButtonIncMag = nullptr;
    QLineEdit* EditMF = nullptr;
    QLineEdit* EditMF2 = nullptr;
    QPushButton* ButtonDecMAg = nullptr;
    tarven::ImageControl* Image3 = nullptr;
    QCheckBox* CheckBoxLine = nullptr;
    QLabel* LabelLine = nullptr;

    QFrame* ScrollBox1 = nullptr;
    QFrame* Shape1 = nullptr;
    tarven::ImageControl* Image2 = nullptr;
    tarven::ImageControl* Image1 = nullptr;
    tarven::ImageControl* Image0 = nullptr;
    QLabel* Label10 = nullptr;

    QFrame* Panel4 = nullptr;
    QLineEdit* EditrawPosX = nullptr;
    QLineEdit* EditrawPosY = nullptr;
    QLineEdit* EditroiPosX = nullptr;
    QLineEdit* EditroiPosY = nullptr;
    QLineEdit* EditroiSizeX = nullptr;
    QLineEdit* EditroiSizeY = nullptr;
    QCheckBox* CheckBoxROI = nullptr;
    QRadioButton* RadioButtonPixel = nullptr;
    QRadioButton* RadioButtonHist = nullptr;
    QMenu* PopupMenu1 = nullptr;

    QPlainTextEdit* Memo1 = nullptr;
    QTableView* DBGrid1 = nullptr;
    QLineEdit* EditHSBP = nullptr;
    QLineEdit* EditVSBP = nullptr;
    QPushButton* ButtonStat = nullptr;
    QCheckBox* CheckBoxWide = nullptr;

    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr; // "-a-"
    QWidget* TabSheet2 = nullptr; // "-b-"
    QGroupBox* RadioGroupMode = nullptr;
    QLineEdit* EditFileName = nullptr;
    QLineEdit* EditFileSize = nullptr;
    QLineEdit* EditHeader = nullptr;
    QLineEdit* EditrawSizeX = nullptr;
    QLineEdit* EditrawSizeY = nullptr;
    QCheckBox* CheckBoxSwp = nullptr;
    QCheckBox* CheckBoxSign = nullptr;
    QLineEdit* EditBitAllo = nullptr;
    QLineEdit* EditBitStore = nullptr;
    QLineEdit* EditBitHigh = nullptr;
    QLineEdit* EditRInterupt = nullptr;
    QLineEdit* EditRSlope = nullptr;
    QLineEdit* EditRType = nullptr;
    QCheckBox* CheckBoxRes = nullptr;
    QPushButton* ButtonRL = nullptr;
    QPushButton* ButtonUD = nullptr;
    QPushButton* ButtonFUp = nullptr;
    QPushButton* ButtonFDown = nullptr;
    QPushButton* ButtonYUp = nullptr;
    QPushButton* ButtonYDown = nullptr;
    QPushButton* ButtonXUp = nullptr;
    QPushButton* Button4 = nullptr;
    QPushButton* ButtonLoadBMP = nullptr;
    QLineEdit* EditFOV = nullptr;
    QLineEdit* EditPixelSpacing = nullptr;
    QCheckBox* CheckBoxSwp1 = nullptr;

    QFrame* Panel5 = nullptr;
    QCheckBox* CheckBoxWLock = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QPushButton* ButtonAutoWL = nullptr;
    QPushButton* ButtonToTable = nullptr;
    QPushButton* ButtonCalWS = nullptr;
    QPushButton* Button2 = nullptr;

    QFrame* Panel3 = nullptr;
    QPushButton* BitBtnSave = nullptr;
    QPushButton* ButtonSAVE_DICOMtag = nullptr;
    QPushButton* ButtonSaveROI = nullptr;
    QPushButton* ButtonSaveBMP = nullptr;

    QFrame* Panel2 = nullptr;
    QLineEdit* EditLLVL = nullptr;
    QLineEdit* EditULVL2 = nullptr;
    QLineEdit* EditULVL = nullptr;
    QCheckBox* CheckBoxInvrt = nullptr;
    QPushButton* ButtonDisp = nullptr;
    QPushButton* ButtonWLRst = nullptr;
    QGroupBox* RadioGroupRange = nullptr;

    QPushButton* BitBtn1 = nullptr;

    QPlainTextEdit* Memo_ermnt = nullptr;
    QTableWidget* StringGridDTag = nullptr;
    QPlainTextEdit* MemoTag = nullptr;

    QFileDialog* OpenDialogImg = nullptr;
    QFileDialog* SaveDialogImg = nullptr;

    // ---- radio groups: item index, -1 when none is selected ----
    static int radioIndex(const QGroupBox* group);
    static void setRadioIndex(QGroupBox* group, int index);

    // ---- operations ----
    void RenderView();
    void buildDictionaryText(); // joins the DICOM dictionary into dictionaryText
    void ReadDicom();
    void ReadROI();
    void loadFile(const QString& fileName, bool dropped); // the common steps of loading

    // ---- handlers (app/ and viewer/) ----
    void ButtonDispClick();
    void BitBtn1Click();
    void Image3Click();
    void Button2Click();
    void BitBtnLoadClick();
    void dropFiles(const QStringList& fileNames);
    // window controls, zoom and pan, ROI, profile, statistics, offsets
    void ButtonWLRstClick();
    void ButtonAutoWLClick();
    void CheckBoxInvrtClick();
    void CheckBoxSwpClick();
    void CheckBoxWideClick();
    void ButtonRLClick();
    void ButtonUDClick();
    void ButtonIncMagClick();
    void ButtonDecMAgClick();
    void EditMFChange();
    void RadioButtonPANClick();
    void RadioButtonZOOMClick();
    void CheckBoxROIClick();
    void CheckBoxLineClick();
    void Image1MouseDown(const tarven::MouseArgs& a);
    void Image1MouseMove(const tarven::MouseArgs& a);
    void Image1MouseUp(const tarven::MouseArgs& a);
    void Image1DblClick();
    void Image2MouseDown(const tarven::MouseArgs& a);
    void Image2MouseMove(const tarven::MouseArgs& a);
    void Image2MouseUp(const tarven::MouseArgs& a);
    void ButtonStatClick();
    void ButtonFUpClick();
    void ButtonFDownClick();
    void ButtonYUpClick();
    void ButtonYDownClick();
    void ButtonXUpClick();
    void Button4Click();
    // saving (io/) and the anonymised copy (dicom/)
    void ButtonSave512Click();
    void BitBtnSaveClick();
    void ButtonSaveBMPClick();
    void ButtonLoadBMPClick();
    void ButtonSAVE_DICOMtagClick();
    void StringGridDTagDblClick();
    // analysis hand-offs (mtf/, wiener/)
    void ButtonToTableClick();
    void ButtonCalWSClick();

    // ---- viewer interaction and presets (viewer/form1_*.cpp, io/) ----
    // The three flags of roiDrag: top-left corner, bottom-right corner, move.
    bool roiDragTopLeft = false;
    bool roiDragBottomRight = false;
    bool roiDragMove = false;
    QRect lineBox;             // Shape1 as left, top, width, height (width and height may be 0)
    bool zoomChanging = false; // EditMFChange is running: its own writes do not run it again
    tarven::PresetTable* Table1 = nullptr;
    // The pixel-access rule over imageData with headerOffset, matrixX and "Swap".
    tarven::PixelAccess pixelAccess() const;
    void drawRoiFrame();                      // inverts the focus frame of roiRect on Image1
    void clearLineOverlay(bool keepLastRowAndColumn);
    void drawProfileLine();
    void showLineBox();                       // Shape1 geometry := lineBox
    void takeProfile();
    void setRoiSizeFromMenu(int size);
    void N321Click();
    void N641Click();
    void N1281Click();
    void N2561Click();
    void N5121Click();
    void N10241Click();
    void N20481Click();
    void Shape1MouseDown(const tarven::MouseArgs& a);
    void Shape1MouseMove(const tarven::MouseArgs& a);
    void Shape1MouseUp(const tarven::MouseArgs& a);
    void DBGrid1TitleClick();
    void DBGrid1CellClick();
    // Opens (creating when missing) the preset table in the given SQLite file;
    // an empty name takes the default place. False leaves the grid empty.
    bool openPresetTable(const QString& databaseFile = QString());

protected:
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void FormCreate();
    void createControls();
    void connectHandlers();
    void connectViewerHandlers();   // viewer/: window, zoom, ROI, profile, stats, offsets
    void connectAnalysisHandlers(); // mtf/, wiener/
};

