#include "app/monitor/GlyphFallback.h"

#include <QFontDatabase>
#include <QPainterPath>
#include <QTextCharFormat>
#include <QTextCursor>

#include <cstdint>
#include <cstring>

CGlyphFallback::CGlyphFallback(const QFont& font) : m_font(font), m_raw(QRawFont::fromFont(font)) {}

QString CGlyphFallback::MonitorFace()
{
    static const QString face = [] {
        const QStringList families = QFontDatabase::families();
        for (const QString& name :
             {QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("NSimSun")}) {
            if (families.contains(name, Qt::CaseInsensitive))
                return name;
        }
        const QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
        for (const QString& name :
             {QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
              QStringLiteral("Noto Serif CJK SC")}) {
            if (chinese.contains(name, Qt::CaseInsensitive))
                return name;
        }
        if (!chinese.isEmpty())
            return chinese.first();
        return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    }();
    return face;
}

bool CGlyphFallback::Draws(const QRawFont& font, char32_t ch)
{
    if (!font.isValid() || !font.supportsCharacter(ch))
        return false;
    const QString text = QString::fromUcs4(&ch, 1);
    const QList<quint32> glyphs = font.glyphIndexesForString(text);
    return !glyphs.isEmpty() && glyphs.first() != 0 && !font.pathForGlyph(glyphs.first()).isEmpty();
}

bool CGlyphFallback::NeedsFallback(const QString& text)
{
    // Every monitor line's pieces come through here, and hexadecimal is ASCII: one pass over
    // four characters at a time says so before any character is looked at on its own.
    const qsizetype size = text.size();
    const ushort* units = text.utf16();
    std::uint64_t all = 0;
    qsizetype at = 0;
    for (; at + 4 <= size; at += 4) {
        std::uint64_t four = 0;
        std::memcpy(&four, units + at, sizeof four);
        all |= four;
    }
    for (; at < size; ++at)
        all |= units[at];
    if ((all & 0xFF80FF80FF80FF80ull) == 0)
        return false;
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (c.unicode() < 0x80)
            continue;
        char32_t ch = c.unicode();
        if (c.isHighSurrogate() && i + 1 < size && text.at(i + 1).isLowSurrogate())
            ch = QChar::surrogateToUcs4(c, text.at(++i));
        if (!FaceFor(ch).isEmpty())
            return true;
    }
    return false;
}

QString CGlyphFallback::FaceFor(char32_t ch)
{
    const auto known = m_faces.constFind(ch);
    if (known != m_faces.constEnd())
        return *known;
    QString face;
    // Blanks and format characters have no outline in any face.
    const QChar::Category category = QChar::category(ch);
    const bool blank = QChar::isSpace(ch) || category == QChar::Other_Format
                       || category == QChar::Other_Control || category == QChar::Other_NotAssigned
                       || category == QChar::Other_Surrogate;
    if (!blank && !Draws(m_raw, ch)) {
        for (const QString& family : QFontDatabase::families()) {
            QFont candidate(m_font);
            candidate.setFamilies({family});
            const QRawFont raw = QRawFont::fromFont(candidate);
            if (raw.familyName() == family && Draws(raw, ch)) {
                face = family;
                break;
            }
        }
    }
    m_faces.insert(ch, face);
    return face;
}

void CGlyphFallback::Insert(QTextCursor& cursor, const QString& text, const QTextCharFormat& format)
{
    if (!NeedsFallback(text)) {
        cursor.insertText(text, format);
        return;
    }
    // Runs of one face: the monitor's, or the one that draws what it leaves blank.
    QString run;
    QString runFace;
    auto flush = [&] {
        if (run.isEmpty())
            return;
        QTextCharFormat runFormat = format;
        if (!runFace.isEmpty())
            runFormat.setFontFamilies(QStringList{runFace});
        cursor.insertText(run, runFormat);
        run.clear();
    };
    for (const char32_t ch : text.toUcs4()) {
        const QString face = ch < 0x80 ? QString() : FaceFor(ch);
        if (face != runFace) {
            flush();
            runFace = face;
        }
        run += QString::fromUcs4(&ch, 1);
    }
    flush();
}
