// Draws the toolbar and window icons into PNG files in the current folder.
// Not part of the build; run it again after changing a drawing:
//   g++ -std=c++20 -fPIC make_icons.cpp $(pkg-config --cflags --libs Qt6Gui) -o /tmp/make_icons
//   (cd src/app/icons && QT_QPA_PLATFORM=offscreen /tmp/make_icons)
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace {

void Save(const char* name, int size, const std::function<void(QPainter&)>& draw)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    draw(p);
    p.end();
    image.save(name);
}

// The letters "Ab" over an arrow in the given colour: the ASC modes.
void AscLetters(QPainter& p, QColor arrow)
{
    QFont f("DejaVu Sans");
    f.setPixelSize(17);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(30, 30, 30));
    p.drawText(QRectF(0, 0, 32, 20), Qt::AlignCenter, "Ab");
    p.setPen(QPen(arrow, 2.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(5, 26), QPointF(22, 26));
    p.setPen(Qt::NoPen);
    p.setBrush(arrow);
    p.drawPolygon(QPolygonF({QPointF(28, 26), QPointF(21, 21.5), QPointF(21, 30.5)}));
}

// A DB9 connector face, the program's sign for a serial port.
void Connector(QPainter& p, QColor body, QColor pins)
{
    QPainterPath face;
    face.moveTo(3, 8);
    face.lineTo(29, 8);
    face.lineTo(25, 22);
    face.lineTo(7, 22);
    face.closeSubpath();
    p.setPen(QPen(QColor(40, 40, 40), 1.5));
    p.setBrush(body);
    p.drawPath(face);
    p.setPen(Qt::NoPen);
    p.setBrush(pins);
    for (int i = 0; i < 5; ++i)
        p.drawEllipse(QPointF(8.5 + i * 3.75, 12.5), 1.4, 1.4);
    for (int i = 0; i < 4; ++i)
        p.drawEllipse(QPointF(10.4 + i * 3.75, 17.5), 1.4, 1.4);
}

} // namespace

// An output modem line: its name over a raised level (a square pulse).
void LineLevel(QPainter& p, const char* name, QColor colour)
{
    QFont f("DejaVu Sans");
    f.setPixelSize(13);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(30, 30, 30));
    p.drawText(QRectF(0, 0, 32, 15), Qt::AlignCenter, name);
    p.setPen(QPen(colour, 2.6, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawPolyline(QPolygonF({QPointF(3, 29), QPointF(10, 29), QPointF(10, 19), QPointF(22, 19),
                              QPointF(22, 29), QPointF(29, 29)}));
}

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);

    // Port closed: a grey connector with a red bar under it.
    Save("port_closed.png", 32, [](QPainter& p) {
        Connector(p, QColor(200, 200, 200), QColor(90, 90, 90));
        p.setPen(QPen(QColor(200, 0, 0), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(8, 27), QPointF(24, 27));
    });
    // Port open: a green connector with signal waves under it.
    Save("port_open.png", 32, [](QPainter& p) {
        Connector(p, QColor(90, 200, 90), QColor(20, 80, 20));
        p.setPen(QPen(QColor(0, 130, 0), 2.5, Qt::SolidLine, Qt::RoundCap));
        QPainterPath wave;
        wave.moveTo(5, 27);
        for (int i = 0; i < 4; ++i)
            wave.cubicTo(7.75 + i * 5.5, 23, 9.25 + i * 5.5, 31, 10.5 + i * 5.5, 27);
        p.setBrush(Qt::NoBrush);
        p.drawPath(wave);
    });
    // Pause: two bars.
    Save("pause.png", 32, [](QPainter& p) {
        p.setPen(QPen(QColor(20, 40, 110), 1.2));
        p.setBrush(QColor(40, 90, 200));
        p.drawRoundedRect(QRectF(7, 5, 6.5, 22), 1.5, 1.5);
        p.drawRoundedRect(QRectF(18.5, 5, 6.5, 22), 1.5, 1.5);
    });
    // Clear: a page of coloured lines struck through.
    Save("clear.png", 32, [](QPainter& p) {
        p.setPen(QPen(QColor(90, 90, 90), 1.2));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6, 3, 20, 26));
        const QColor lines[] = {QColor(128, 128, 128), QColor(0, 0, 200), QColor(200, 0, 0),
                                QColor(0, 0, 200)};
        for (int i = 0; i < 4; ++i) {
            p.setPen(QPen(lines[i], 2));
            p.drawLine(QPointF(9, 8 + i * 5), QPointF(23, 8 + i * 5));
        }
        p.setPen(QPen(QColor(210, 30, 30), 3.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4, 28), QPointF(28, 4));
    });
    // ASC receive and ASC send: the letters "Ab" with an arrow, blue and red as received and
    // sent text are in the monitor.
    Save("asc_receive.png", 32, [](QPainter& p) { AscLetters(p, QColor(0, 0, 200)); });
    Save("asc_send.png", 32, [](QPainter& p) { AscLetters(p, QColor(200, 0, 0)); });

    Save("line_dtr.png", 32, [](QPainter& p) { LineLevel(p, "DTR", QColor(0, 140, 0)); });
    Save("line_rts.png", 32, [](QPainter& p) { LineLevel(p, "RTS", QColor(200, 120, 0)); });
    // Send window: a panel of typed lines, one green comment, docked at the bottom.
    Save("send_window.png", 32, [](QPainter& p) {
        p.setPen(QPen(QColor(90, 90, 90), 1.2));
        p.setBrush(QColor(240, 240, 240));
        p.drawRect(QRectF(3, 5, 26, 22));
        p.setBrush(QColor(0x1f, 0x4e, 0x79));
        p.drawRect(QRectF(3, 5, 26, 5));
        const QColor lines[] = {QColor(0, 128, 0), QColor(30, 30, 30), QColor(30, 30, 30)};
        for (int i = 0; i < 3; ++i) {
            p.setPen(QPen(lines[i], 2));
            p.drawLine(QPointF(7, 14 + i * 4.5), QPointF(i == 0 ? 19 : 25, 14 + i * 4.5));
        }
    });
    // Send one line: a line of text with a red arrow leaving it.
    Save("send_line.png", 32, [](QPainter& p) {
        p.setPen(QPen(QColor(30, 30, 30), 2.4));
        p.drawLine(QPointF(4, 9), QPointF(18, 9));
        p.setPen(QPen(QColor(200, 0, 0), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4, 20), QPointF(21, 20));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(200, 0, 0));
        p.drawPolygon(QPolygonF({QPointF(29, 20), QPointF(20, 14), QPointF(20, 26)}));
        p.setPen(QPen(QColor(30, 30, 30), 2.4));
        p.drawLine(QPointF(4, 27), QPointF(14, 27));
    });
    // Message filter: a funnel over a short monitor line that passes it.
    Save("filter.png", 32, [](QPainter& p) {
        p.setPen(QPen(QColor(60, 60, 60), 1.4));
        p.setBrush(QColor(0x5a, 0xa0, 0xff));
        p.drawPolygon(QPolygonF({QPointF(3, 4), QPointF(29, 4), QPointF(19, 15), QPointF(19, 24),
                                 QPointF(13, 28), QPointF(13, 15)}));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 200));
        p.drawRect(QRectF(22, 25, 8, 3));
    });
    // Save the monitor: a disk with a label of coloured monitor lines.
    Save("save_monitor.png", 32, [](QPainter& p) {
        QPainterPath body;
        body.moveTo(4, 4);
        body.lineTo(24, 4);
        body.lineTo(28, 8);
        body.lineTo(28, 28);
        body.lineTo(4, 28);
        body.closeSubpath();
        p.setPen(QPen(QColor(20, 40, 110), 1.4));
        p.setBrush(QColor(40, 90, 200));
        p.drawPath(body);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(220, 220, 220));
        p.drawRect(QRectF(9, 4.7, 13, 7));
        p.setBrush(QColor(40, 90, 200));
        p.drawRect(QRectF(17, 6, 3, 4.5));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7.5, 15, 17, 11.5));
        const QColor lines[] = {QColor(200, 0, 0), QColor(0, 0, 200)};
        for (int i = 0; i < 2; ++i) {
            p.setPen(QPen(lines[i], 2));
            p.drawLine(QPointF(10, 18.5 + i * 4.5), QPointF(22, 18.5 + i * 4.5));
        }
    });
    // Cyclic send: a red arrow running round a circle, a line of text inside it.
    Save("cyclic_send.png", 32, [](QPainter& p) {
        p.setPen(QPen(QColor(200, 0, 0), 3, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(4, 4, 24, 24), 120 * 16, 280 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(200, 0, 0));
        // The arrow's head at the arc's open end (about 11 o'clock), pointing clockwise.
        p.drawPolygon(QPolygonF({QPointF(13.5, 1.5), QPointF(13.5, 11.5), QPointF(5.5, 5)}));
        p.setPen(QPen(QColor(30, 30, 30), 2.4));
        p.drawLine(QPointF(11, 16), QPointF(21, 16));
    });
    // Trigger-mode send: a blue received line, a yellow flash, a red answer going out.
    Save("trigger_send.png", 32, [](QPainter& p) {
        p.setPen(QPen(QColor(0, 0, 200), 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(3, 8), QPointF(13, 8));
        p.setPen(QPen(QColor(120, 90, 0), 1));
        p.setBrush(QColor(255, 200, 0));
        p.drawPolygon(QPolygonF({QPointF(18, 2), QPointF(11, 16), QPointF(16, 16), QPointF(12, 27),
                                 QPointF(22, 12), QPointF(17, 12), QPointF(22, 2)}));
        p.setPen(QPen(QColor(200, 0, 0), 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(16, 26), QPointF(24, 26));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(200, 0, 0));
        p.drawPolygon(QPolygonF({QPointF(30, 26), QPointF(23, 21.5), QPointF(23, 30.5)}));
    });
    // The window icon: the packaging mark (connector over a monitor line).
    Save("vrl.png", 64, [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x1f, 0x4e, 0x79));
        p.drawRoundedRect(QRectF(1, 1, 30, 30), 5, 5);
        p.translate(0, -2);
        Connector(p, QColor(0xe6, 0xe6, 0xe6), QColor(0x1f, 0x4e, 0x79));
        p.setBrush(QColor(0xff, 0x50, 0x50));
        p.drawRect(QRectF(5, 24, 5, 3));
        p.setBrush(QColor(0x5a, 0xa0, 0xff));
        p.drawRect(QRectF(11, 24, 16, 3));
    });
    return 0;
}
