#pragma once
// Text of a box -> number, with the framework's conversion errors; number ->
// text in the system's formats.
#include <QString>

#include <cstdint>

class QLineEdit;

namespace tarven {

std::int32_t toInt(const QString& text);
double toFloat(const QString& text);
std::int32_t toInt(const QLineEdit* box);
double toFloat(const QLineEdit* box);

QString intText(std::int64_t value);
QString generalText(double value);

} // namespace tarven
