#pragma once
// Memo controls addressed by line number (see common/memo.h for the rule).
#include <QString>
#include <QStringList>

class QPlainTextEdit;

namespace tarven {

void memoClear(QPlainTextEdit* memo);
void memoSetLine(QPlainTextEdit* memo, int index, const QString& text);
QStringList memoLines(const QPlainTextEdit* memo);
// Appends one line (text without breaks) at the end, as a memo's Lines.Add.
void memoAdd(QPlainTextEdit* memo, const QString& line);

} // namespace tarven
