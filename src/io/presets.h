#pragma once
// The equipment preset table "dbpara": one record per piece of equipment with
// its raw-format settings, kept in an SQLite file through Qt SQL and shown in
// the main window's grid.
//
// Where it lives: the file dbpara.db in the folder named by the environment
// variable TARVEN_PRESET_DIR when that is set, otherwise in the user's
// application-data folder. It is opened (and created, with an empty table,
// when missing) at start-up; a file that cannot be opened or is not such a
// database leaves the grid empty. Every edited field is written to the file
// at once, so a crash loses at most the field being typed.
#include <QObject>
#include <QSqlTableModel>
#include <QString>

#include <array>
#include <vector>

namespace tarven {

// Fields in the table's order.
inline const std::array<QString, 12> kPresetFields = {
    QStringLiteral("equip"), QStringLiteral("bit"),  QStringLiteral("swap"), QStringLiteral("header"),
    QStringLiteral("offset"), QStringLiteral("UL"),  QStringLiteral("ulvl"), QStringLiteral("llvl"),
    QStringLiteral("lmax"),  QStringLiteral("lmin"), QStringLiteral("umax"), QStringLiteral("umin")};
// The grid shows them in this order.
inline const std::array<QString, 12> kPresetGridOrder = {
    QStringLiteral("equip"), QStringLiteral("bit"),  QStringLiteral("swap"), QStringLiteral("header"),
    QStringLiteral("offset"), QStringLiteral("UL"),  QStringLiteral("llvl"), QStringLiteral("ulvl"),
    QStringLiteral("lmin"),  QStringLiteral("lmax"), QStringLiteral("umin"), QStringLiteral("umax")};

// The records have no key of their own, and two of them may hold the same
// texts (two new empty records, or a copy about to be changed). An edit is
// therefore written to the record by its SQLite row id, never to every
// record with the same texts.
class PresetModel : public QSqlTableModel {
public:
    using QSqlTableModel::QSqlTableModel;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool select() override;

protected:
    QString selectStatement() const override;
    bool updateRowInTable(int row, const QSqlRecord& values) override;

private:
    std::vector<qint64> rowIds_; // row id of each selected row, in the grid's order
    bool byRowId_ = false;       // the table has row ids (a plain SQLite table)
};

class PresetTable : public QObject {
public:
    explicit PresetTable(QObject* parent = nullptr);
    ~PresetTable() override;

    static QString defaultFile();

    // Opens the table in the file, creating the folder, the file and the
    // table when missing. False when it cannot; the table is then closed.
    bool open(const QString& file);
    void close();
    bool isOpen() const { return model_ != nullptr; }
    PresetModel* model() const { return model_; }
    QString file() const { return file_; }

private:
    QString connection_;
    QString file_;
    PresetModel* model_ = nullptr;
};

} // namespace tarven
