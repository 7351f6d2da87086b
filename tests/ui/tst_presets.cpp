// The equipment preset table: a real SQLite file "dbpara.db" shown in DBGrid1,
// edit and apply modes, the title click and the cell click.
#include "app/form1.h"
#include "app/startup.h"
#include "io/presets.h"
#include "support/driver.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlTableModel>
#include <QTableView>
#include <QtTest>

using namespace tarven::test;

namespace {
using Record = std::array<const char*, 5>; // equip, bit, swap, header, offset

void writeDatabase(const QString& file, const std::vector<Record>& records)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fixture"));
        db.setDatabaseName(file);
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec(QStringLiteral("CREATE TABLE dbpara (equip VARCHAR(20), bit VARCHAR(20), swap VARCHAR(20), "
                                      "header VARCHAR(20), offset VARCHAR(20), UL VARCHAR(20), ulvl VARCHAR(20), "
                                      "llvl VARCHAR(20), lmax VARCHAR(20), lmin VARCHAR(20), umax VARCHAR(20), "
                                      "umin VARCHAR(20))")));
        for (const Record& r : records) {
            q.prepare(QStringLiteral("INSERT INTO dbpara (equip, bit, swap, header, offset) VALUES (?, ?, ?, ?, ?)"));
            for (const char* v : r)
                q.addBindValue(QString::fromUtf8(v));
            QVERIFY(q.exec());
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fixture"));
}

QString readField(const QString& file, int row, const QString& field)
{
    QString value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("reader"));
        db.setDatabaseName(file);
        if (db.open()) {
            QSqlQuery q(db);
            q.exec(QStringLiteral("SELECT \"%1\" FROM dbpara ORDER BY rowid").arg(field));
            for (int i = 0; q.next(); ++i)
                if (i == row)
                    value = q.value(0).toString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("reader"));
    return value;
}
} // namespace

class TestPresets : public QObject {
    Q_OBJECT
private:
    TForm1* f = nullptr;
    QTemporaryDir tmp;

    QString dbFile() const { return QDir(tmp.path()).filePath(QStringLiteral("dbpara.db")); }
    QSqlTableModel* model() const { return qobject_cast<QSqlTableModel*>(f->DBGrid1->model()); }
    int column(const char* field) const { return model()->fieldIndex(QString::fromLatin1(field)); }
    void clickCell(int row)
    {
        const QRect r = f->DBGrid1->visualRect(model()->index(row, column("equip")));
        QTest::mouseClick(f->DBGrid1->viewport(), Qt::LeftButton, {}, r.center());
    }
    void clickTitle()
    {
        QHeaderView* h = f->DBGrid1->horizontalHeader();
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(h->sectionViewportPosition(0) + 5, h->height() / 2));
    }
    void loadRaw()
    {
        TForm1::setRadioIndex(f->RadioGroupMode, 1);
        const QString p = writeRaw(QDir(tmp.path()), QStringLiteral("img.raw"), 64, 64, 0, [](int, int) { return 1; });
        auto a = answerNextInput(QStringLiteral("64 64"));
        f->dropFiles({p});
        QVERIFY(a->seen);
    }

private slots:
    void initTestCase() { qputenv("TARVEN_PRESET_DIR", QFile::encodeName(tmp.path())); }
    void init()
    {
        QFile::remove(dbFile());
        writeDatabase(dbFile(), {{"CT-A", "16", "yes", "2048", "-1024"},
                                 {"Cam", "RGB", "maybe", "", ""},
                                 {"CR", "8", "no", "x", "7"}});
        f = startWindows();
        QVERIFY(f);
        loadRaw();
    }
    void cleanup() { tarven::destroyWindows(); }

    void gridShowsTheTable()
    {
        QVERIFY(model());
        QCOMPARE(model()->tableName(), QStringLiteral("dbpara"));
        QCOMPARE(model()->rowCount(), 3);
        QCOMPARE(model()->columnCount(), 12);
        const QStringList order = {"equip", "bit", "swap", "header", "offset", "UL",
                                   "llvl",  "ulvl", "lmin", "lmax",  "umin",  "umax"};
        QHeaderView* h = f->DBGrid1->horizontalHeader();
        for (int i = 0; i < order.size(); ++i)
            QCOMPARE(model()->headerData(h->logicalIndex(i), Qt::Horizontal).toString(), order[i]);
        QCOMPARE(model()->data(model()->index(0, column("bit")), Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask,
                 int(Qt::AlignRight));
        QCOMPARE(model()->data(model()->index(0, column("swap")), Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask,
                 int(Qt::AlignHCenter));
        QVERIFY(f->DBGrid1->columnWidth(column("equip")) > f->DBGrid1->columnWidth(column("bit")));
    }

    void editModeClickChangesNothing()
    {
        const QString header = f->EditHeader->text();
        clickCell(0);
        QCOMPARE(f->EditHeader->text(), header);
        QCOMPARE(TForm1::radioIndex(f->RadioGroupMode), 1);
        QVERIFY(!f->CheckBoxSwp->isChecked());
    }

    void applyModeCopiesTheRecord()
    {
        const QColor window = f->DBGrid1->palette().color(QPalette::Base);
        clickTitle();
        QCOMPARE(f->DBGrid1->palette().color(QPalette::Base), QColor(0, 255, 255));
        QCOMPARE(f->DBGrid1->editTriggers(), QAbstractItemView::NoEditTriggers);

        // Header 2048 on a 8192-byte file: rendered with the new header.
        clickCell(0);
        QCOMPARE(TForm1::radioIndex(f->RadioGroupMode), 1);
        QVERIFY(f->CheckBoxSwp->isChecked());
        QCOMPARE(f->EditHeader->text(), QStringLiteral("2048"));
        QCOMPARE(f->EditRInterupt->text(), QStringLiteral("-1024"));
        QCOMPARE(f->headerOffset, 2048); // the render ran

        // "RGB" selects "DICOM"; other swap texts and empty fields keep the window's.
        clickCell(1);
        QCOMPARE(TForm1::radioIndex(f->RadioGroupMode), 2);
        QVERIFY(f->CheckBoxSwp->isChecked());
        QCOMPARE(f->EditHeader->text(), QStringLiteral("2048"));
        QCOMPARE(f->EditRInterupt->text(), QStringLiteral("-1024"));

        // A header that is not an integer is copied; the render reports it.
        MessageCapture m;
        clickCell(2);
        QCOMPARE(TForm1::radioIndex(f->RadioGroupMode), 0);
        QVERIFY(!f->CheckBoxSwp->isChecked());
        QCOMPARE(f->EditHeader->text(), QStringLiteral("x"));
        QCOMPARE(f->EditRInterupt->text(), QStringLiteral("7"));
        QCOMPARE(m.messages, QStringList{QStringLiteral("'x' は整数ではありません")});

        clickTitle();
        QCOMPARE(f->DBGrid1->palette().color(QPalette::Base), window);
        QVERIFY(f->DBGrid1->editTriggers() != QAbstractItemView::NoEditTriggers);
    }

    void editsAreSavedAtOnce()
    {
        QVERIFY(model()->setData(model()->index(1, column("header")), QStringLiteral("512")));
        QCOMPARE(readField(dbFile(), 1, QStringLiteral("header")), QStringLiteral("512"));
        // A new record by the Insert key, filled in and saved.
        f->DBGrid1->setFocus();
        QTest::keyClick(f->DBGrid1, Qt::Key_Insert);
        QCOMPARE(model()->rowCount(), 4);
        QVERIFY(model()->setData(model()->index(3, column("equip")), QStringLiteral("MR-B")));
        QCOMPARE(readField(dbFile(), 3, QStringLiteral("equip")), QStringLiteral("MR-B"));
    }

    void editingOneOfTwoEqualRecordsLeavesTheOther()
    {
        // Two new records are equal (all empty) until filled in: an edit of
        // the first must not be written into the second as well.
        f->DBGrid1->setFocus();
        QTest::keyClick(f->DBGrid1, Qt::Key_Insert);
        QTest::keyClick(f->DBGrid1, Qt::Key_Insert);
        QCOMPARE(model()->rowCount(), 5);
        QVERIFY(model()->setData(model()->index(3, column("equip")), QStringLiteral("MR-B")));
        QCOMPARE(readField(dbFile(), 3, QStringLiteral("equip")), QStringLiteral("MR-B"));
        QCOMPARE(readField(dbFile(), 4, QStringLiteral("equip")), QString());
        QCOMPARE(model()->data(model()->index(4, column("equip"))).toString(), QString());
        QVERIFY(model()->setData(model()->index(4, column("header")), QStringLiteral("0")));
        QCOMPARE(readField(dbFile(), 3, QStringLiteral("header")), QString());
        QCOMPARE(readField(dbFile(), 4, QStringLiteral("header")), QStringLiteral("0"));
    }

    void unreadableDatabaseLeavesTheGridEmpty()
    {
        const QString bad = writeBytes(QDir(tmp.path()), QStringLiteral("bad.db"), std::vector<std::uint8_t>(600, 'z'));
        QVERIFY(!f->openPresetTable(bad));
        QVERIFY(!model());
        // The window still works; an apply-mode click only re-renders.
        clickTitle();
        f->DBGrid1CellClick();
        QCOMPARE(f->headerOffset, 0);
        f->ButtonDisp->click();

        // A missing file is created with an empty table.
        const QString fresh = QDir(tmp.path()).filePath(QStringLiteral("sub/new.db"));
        QVERIFY(f->openPresetTable(fresh));
        QCOMPARE(model()->rowCount(), 0);
        QCOMPARE(model()->columnCount(), 12);
        QVERIFY(QFile::exists(fresh));
    }
};

QTEST_MAIN(TestPresets)
#include "tst_presets.moc"
