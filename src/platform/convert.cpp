#include "platform/convert.h"

#include "common/numeric.h"

#include <QLineEdit>

namespace tarven {

std::int32_t toInt(const QString& text) { return parseInt(text.toStdString()); }
double toFloat(const QString& text) { return parseFloat(text.toStdString()); }
std::int32_t toInt(const QLineEdit* box) { return toInt(box->text()); }
double toFloat(const QLineEdit* box) { return toFloat(box->text()); }

QString intText(std::int64_t value) { return QString::number(value); }
QString generalText(double value) { return QString::fromStdString(formatGeneral(value)); }

} // namespace tarven
