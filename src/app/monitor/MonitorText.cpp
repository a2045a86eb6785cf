#include "app/monitor/MonitorText.h"

#include "app/send/SendEditRichText.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <vector>

bool CMonitorText::IsContinuation(const QTextBlock& block)
{
    return block.userState() == kContinuationState;
}

RichText CMonitorText::FromDocument(const QTextDocument& document)
{
    return SendEditRichText::FromDocument(document, IsContinuation);
}

void CMonitorText::ToDocument(const RichText& text, QTextDocument& document, int lineLength)
{
    lineLength = std::max(2, lineLength); // room for a surrogate pair
    SendEditRichText::ToDocument(
        text, document,
        [lineLength](QTextCursor& cursor, QStringView rest, const QTextCharFormat& format) {
            // The cursor is at the end of the current line: what it holds so far counts.
            while (cursor.positionInBlock() + rest.size() > lineLength) {
                qsizetype take = lineLength - cursor.positionInBlock();
                // Hex pairs stay whole where a space is in the last quarter of the piece.
                const qsizetype space = rest.first(take).lastIndexOf(QLatin1Char(' '));
                if (space >= 0 && space + 1 >= take - lineLength / 4)
                    take = space + 1;
                else if (take > 0 && rest[take - 1].isHighSurrogate())
                    --take;
                if (take > 0)
                    cursor.insertText(rest.first(take).toString(), format);
                cursor.insertBlock(QTextBlockFormat(), format);
                cursor.block().setUserState(kContinuationState);
                rest = rest.sliced(take);
            }
            if (!rest.isEmpty())
                cursor.insertText(rest.toString(), format);
        });
}

QString CMonitorText::PlainText(const QTextDocument& document, int from, int to)
{
    QString text;
    if (to <= from)
        return text;
    text.reserve(to - from);
    for (QTextBlock block = document.findBlock(from); block.isValid() && block.position() <= to;
         block = block.next()) {
        const int start = block.position();
        if (start > from && !IsContinuation(block))
            text += QLatin1Char('\n');
        const int begin = std::max(from, start) - start;
        const int end = std::min(to, start + block.length() - 1) - start;
        if (end > begin)
            text += QStringView(block.text()).sliced(begin, end - begin);
    }
    // As the editor's own plain text has it.
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    text.replace(QChar::Nbsp, QLatin1Char(' '));
    return text;
}

QList<int> CMonitorText::ContinuationBreaks(const QTextDocument& document, int from, int to)
{
    QList<int> breaks;
    for (QTextBlock block = document.findBlock(from); block.isValid() && block.position() <= to;
         block = block.next()) {
        if (block.position() > from && IsContinuation(block))
            breaks.append(block.position() - 1);
    }
    return breaks;
}

qint64 CMonitorText::Utf16Length(const std::string& utf8)
{
    qint64 units = 0;
    for (const char c : utf8) {
        const auto b = static_cast<unsigned char>(c);
        if ((b & 0xC0) != 0x80)
            ++units; // a character starts
        if (b >= 0xF0)
            ++units; // outside the BMP: a surrogate pair
    }
    return units;
}
