// The preset grid DBGrid1 on the table "dbpara": edit mode (the window
// colour) and apply mode (read-only, aqua), where a click on a record copies
// its mode, byte order, header and intercept into the main window.
#include "app/form1.h"
#include "io/presets.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSqlRecord>
#include <QTableView>

using namespace tarven;

namespace {
const char* const kReadOnly = "readOnly";

bool gridReadOnly(const QTableView* grid) { return grid->property(kReadOnly).toBool(); }

void setGridMode(QTableView* grid, bool readOnly)
{
    grid->setProperty(kReadOnly, readOnly);
    grid->setEditTriggers(readOnly ? QAbstractItemView::NoEditTriggers
                                   : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                         QAbstractItemView::AnyKeyPressed);
    QPalette pal = grid->palette();
    pal.setColor(QPalette::Base, readOnly ? QColor(0, 255, 255) : QApplication::palette(grid).color(QPalette::Base));
    grid->setPalette(pal);
}

// In edit mode the Insert key appends an empty record for a new piece of
// equipment; the grid has no other way to add one.
class InsertRecordKey : public QObject {
public:
    InsertRecordKey(QTableView* grid, QObject* parent) : QObject(parent), grid_(grid) { grid->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Insert &&
            !gridReadOnly(grid_)) {
            if (auto* m = qobject_cast<QSqlTableModel*>(grid_->model())) {
                // Written at once with empty texts, so that each later field
                // edit is an update of a stored record.
                QSqlRecord rec = m->record();
                for (int i = 0; i < rec.count(); ++i) {
                    rec.setValue(i, QString(""));
                    rec.setGenerated(i, true);
                }
                if (m->insertRecord(-1, rec) && m->select())
                    grid_->setCurrentIndex(m->index(m->rowCount() - 1, 0));
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QTableView* grid_;
};
} // namespace

bool TForm1::openPresetTable(const QString& databaseFile)
{
    if (!Table1) {
        Table1 = new PresetTable(this);
        new InsertRecordKey(DBGrid1, this);
        setGridMode(DBGrid1, false);
    }
    DBGrid1->setModel(nullptr);
    const bool ok = Table1->open(databaseFile.isEmpty() ? PresetTable::defaultFile() : databaseFile);
    if (!ok)
        return false; // the grid stays empty; a cell click only re-renders
    DBGrid1->setModel(Table1->model());
    QHeaderView* header = DBGrid1->horizontalHeader();
    const int charWidth = DBGrid1->fontMetrics().averageCharWidth();
    const int widths[] = {13, 3, 4, 6, 6, 3, 5, 5, 5, 5, 5, 5}; // in the grid's order
    for (int i = 0; i < 12; ++i) {
        const int logical = Table1->model()->fieldIndex(kPresetGridOrder[static_cast<std::size_t>(i)]);
        header->moveSection(header->visualIndex(logical), i);
        DBGrid1->setColumnWidth(logical, widths[i] * charWidth + 8);
    }
    return true;
}

void TForm1::DBGrid1TitleClick() { setGridMode(DBGrid1, !gridReadOnly(DBGrid1)); }

void TForm1::DBGrid1CellClick()
{
    if (!gridReadOnly(DBGrid1))
        return;
    auto* model = qobject_cast<QSqlTableModel*>(DBGrid1->model());
    const int row = DBGrid1->currentIndex().row();
    if (model && row >= 0 && row < model->rowCount()) {
        const QSqlRecord rec = model->record(row);
        const QString bit = rec.value(QStringLiteral("bit")).toString();
        if (bit == QStringLiteral("8"))
            setRadioIndex(RadioGroupMode, 0);
        else if (bit == QStringLiteral("16"))
            setRadioIndex(RadioGroupMode, 1);
        else if (bit == QStringLiteral("RGB"))
            setRadioIndex(RadioGroupMode, 2);
        const QString swap = rec.value(QStringLiteral("swap")).toString();
        if (swap == QStringLiteral("yes"))
            CheckBoxSwp->setChecked(true);
        else if (swap == QStringLiteral("no"))
            CheckBoxSwp->setChecked(false);
        const QString header = rec.value(QStringLiteral("header")).toString();
        if (!header.isEmpty())
            EditHeader->setText(header);
        const QString offset = rec.value(QStringLiteral("offset")).toString();
        if (!offset.isEmpty())
            EditRInterupt->setText(offset);
    }
    RenderView();
}
