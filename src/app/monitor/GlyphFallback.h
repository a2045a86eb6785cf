#pragma once

#include <QFont>
#include <QHash>
#include <QRawFont>
#include <QString>

class QTextCharFormat;
class QTextCursor;

// Which face draws a character that the monitor's face does not. Fonts may map a character
// to a glyph without an outline (WenQuanYi Micro Hei does so for ℃), and Qt then draws the
// empty glyph instead of falling back: such characters, and those the face lacks, are found
// here and given the first installed face that really draws them. Looked up once per
// character.
//
// The monitor's own face is chosen here too: "宋体" where installed, else a Chinese face of
// the machine.
class CGlyphFallback
{
public:
    explicit CGlyphFallback(const QFont& font);

    static QString MonitorFace();

    // True when the text holds a character that the face cannot draw (ASCII never is one).
    bool NeedsFallback(const QString& text);
    // Empty when the face draws ch (or no installed face does); else a face that draws it.
    QString FaceFor(char32_t ch);
    // Inserts text at cursor in format, the characters that the face leaves blank in a face
    // that draws them.
    void Insert(QTextCursor& cursor, const QString& text, const QTextCharFormat& format);

private:
    static bool Draws(const QRawFont& font, char32_t ch);

    QFont m_font;
    QRawFont m_raw;
    QHash<char32_t, QString> m_faces;
};
