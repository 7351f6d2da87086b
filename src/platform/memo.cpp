#include "platform/memo.h"

#include "common/memo.h"

#include <QPlainTextEdit>

namespace tarven {

QStringList memoLines(const QPlainTextEdit* memo) { return memo->toPlainText().split(QLatin1Char('\n')); }

void memoClear(QPlainTextEdit* memo) { memo->setPlainText(QString()); }

void memoSetLine(QPlainTextEdit* memo, int index, const QString& text)
{
    std::vector<std::string> lines;
    for (const auto& l : memoLines(memo))
        lines.push_back(l.toStdString());
    MemoLines m(std::move(lines));
    m.setLine(index, text.toStdString());
    QStringList out;
    for (const auto& l : m.lines())
        out << QString::fromStdString(l);
    memo->setPlainText(out.join(QLatin1Char('\n')));
}

void memoAdd(QPlainTextEdit* memo, const QString& line)
{
    if (memo->document()->isEmpty())
        memo->setPlainText(line);
    else
        memo->appendPlainText(line);
}

} // namespace tarven
