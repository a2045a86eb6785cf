#include "GlyphFallback.h"

#include <QFontDatabase>
#include <QPainterPath>

CGlyphFallback::CGlyphFallback(const QFont& font)
    : m_font(font), m_raw(QRawFont::fromFont(font))
{
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
    // One pass without copying: every monitor line's pieces come through here.
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i)
    {
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
    const bool blank = QChar::isSpace(ch) || category == QChar::Other_Format || category == QChar::Other_Control
                    || category == QChar::Other_NotAssigned || category == QChar::Other_Surrogate;
    if (!blank && !Draws(m_raw, ch))
    {
        for (const QString& family : QFontDatabase::families())
        {
            QFont candidate(m_font);
            candidate.setFamilies({family});
            const QRawFont raw = QRawFont::fromFont(candidate);
            if (raw.familyName() == family && Draws(raw, ch))
            {
                face = family;
                break;
            }
        }
    }
    m_faces.insert(ch, face);
    return face;
}
