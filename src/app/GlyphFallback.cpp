#include "GlyphFallback.h"

#include <QFontDatabase>
#include <QPainterPath>

#include <algorithm>

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
    const bool ascii = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
    if (ascii)
        return false;
    for (const char32_t ch : text.toUcs4())
    {
        if (ch >= 0x80 && !FaceFor(ch).isEmpty())
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
