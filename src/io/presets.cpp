#include "io/presets.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>

namespace tarven {

QVariant PresetModel::data(const QModelIndex& index, int role) const
{
    if (role == Qt::TextAlignmentRole) {
        const QString field = headerData(index.column(), Qt::Horizontal, Qt::DisplayRole).toString();
        if (field == QStringLiteral("swap"))
            return int(Qt::AlignHCenter | Qt::AlignVCenter);
        if (field == QStringLiteral("bit") || field == QStringLiteral("header") || field == QStringLiteral("offset") ||
            field == QStringLiteral("ulvl") || field == QStringLiteral("llvl"))
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    }
    return QSqlTableModel::data(index, role);
}

bool PresetModel::select()
{
    // The row ids in the same order as the records the grid selects.
    rowIds_.clear();
    QSqlQuery q(database());
    const QString table = database().driver()->escapeIdentifier(tableName(), QSqlDriver::TableName);
    byRowId_ = filter().isEmpty() && q.exec(QStringLiteral("SELECT rowid FROM %1 ORDER BY rowid").arg(table));
    if (byRowId_)
        while (q.next())
            rowIds_.push_back(q.value(0).toLongLong());
    return QSqlTableModel::select();
}

QString PresetModel::selectStatement() const
{
    const QString s = QSqlTableModel::selectStatement();
    return byRowId_ && !s.isEmpty() ? s + QStringLiteral(" ORDER BY rowid") : s;
}

bool PresetModel::updateRowInTable(int row, const QSqlRecord& values)
{
    // Rows appended since the last select have no known row id yet.
    if (!byRowId_ || row < 0 || static_cast<std::size_t>(row) >= rowIds_.size())
        return QSqlTableModel::updateRowInTable(row, values);
    const QSqlDriver* driver = database().driver();
    QStringList sets;
    QVariantList binds;
    for (int i = 0; i < values.count(); ++i)
        if (values.isGenerated(i)) {
            sets << driver->escapeIdentifier(values.fieldName(i), QSqlDriver::FieldName) + QStringLiteral(" = ?");
            binds << values.value(i);
        }
    if (sets.isEmpty())
        return true;
    QSqlQuery q(database());
    q.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                  .arg(driver->escapeIdentifier(tableName(), QSqlDriver::TableName), sets.join(QStringLiteral(", "))));
    for (const QVariant& v : binds)
        q.addBindValue(v);
    q.addBindValue(rowIds_[static_cast<std::size_t>(row)]);
    if (!q.exec()) {
        setLastError(q.lastError());
        return false;
    }
    return true;
}

PresetTable::PresetTable(QObject* parent) : QObject(parent)
{
    static int serial = 0;
    connection_ = QStringLiteral("tarven-presets-%1").arg(++serial);
}

PresetTable::~PresetTable() { close(); }

QString PresetTable::defaultFile()
{
    QString dir = qEnvironmentVariable("TARVEN_PRESET_DIR");
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return QDir(dir).filePath(QStringLiteral("dbpara.db"));
}

bool PresetTable::open(const QString& file)
{
    close();
    if (file.isEmpty())
        return false;
    QDir().mkpath(QFileInfo(file).absolutePath());
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
        db.setDatabaseName(file);
        if (db.open()) {
            QSqlQuery q(db);
            QStringList columns;
            for (const QString& f : kPresetFields)
                columns << QStringLiteral("\"%1\" VARCHAR(20)").arg(f);
            // Also proves that the file is an SQLite database.
            ok = q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS dbpara (%1)").arg(columns.join(QStringLiteral(", "))));
            if (ok) {
                // Every field the grid needs must be there.
                const QSqlRecord rec = db.record(QStringLiteral("dbpara"));
                for (const QString& f : kPresetFields)
                    ok = ok && rec.indexOf(f) >= 0;
            }
            if (ok) {
                model_ = new PresetModel(this, db);
                model_->setTable(QStringLiteral("dbpara"));
                model_->setEditStrategy(QSqlTableModel::OnFieldChange);
                ok = model_->select();
            }
        }
    }
    if (!ok) {
        close();
        return false;
    }
    file_ = file;
    return true;
}

void PresetTable::close()
{
    delete model_;
    model_ = nullptr;
    file_.clear();
    if (QSqlDatabase::contains(connection_)) {
        {
            QSqlDatabase db = QSqlDatabase::database(connection_, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(connection_);
    }
}

} // namespace tarven
