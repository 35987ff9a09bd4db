#include "wizard/WizardPicture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {
// The picture is drawn on this grid and scaled to the size asked for.
constexpr qreal DesignWidth = 166;
constexpr qreal DesignHeight = 315;

void DrawSky(QPainter& p) {
    QLinearGradient sky(0, 0, 0, DesignHeight);
    sky.setColorAt(0.0, QColor(29, 53, 87));
    sky.setColorAt(0.55, QColor(69, 123, 157));
    sky.setColorAt(1.0, QColor(241, 196, 140));
    p.fillRect(QRectF(0, 0, DesignWidth, DesignHeight), sky);

    // The rising sun behind the hills.
    QRadialGradient glow(QPointF(112, 226), 70);
    glow.setColorAt(0.0, QColor(255, 214, 120, 230));
    glow.setColorAt(0.35, QColor(255, 190, 90, 120));
    glow.setColorAt(1.0, QColor(255, 190, 90, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(QPointF(112, 226), 70, 70);
    p.setBrush(QColor(255, 225, 140));
    p.drawEllipse(QPointF(112, 230), 20, 20);

    // A few stars still out.
    p.setBrush(QColor(255, 255, 255, 170));
    for (const QPointF& star : {QPointF(18, 22), QPointF(60, 12), QPointF(138, 30), QPointF(96, 52),
                                QPointF(30, 70), QPointF(150, 84)})
        p.drawEllipse(star, 1.1, 1.1);
}

void DrawHills(QPainter& p) {
    QPainterPath far;
    far.moveTo(0, 250);
    far.cubicTo(40, 228, 90, 236, 166, 222);
    far.lineTo(166, 315);
    far.lineTo(0, 315);
    far.closeSubpath();
    p.setBrush(QColor(58, 110, 84));
    p.drawPath(far);

    QPainterPath near;
    near.moveTo(0, 268);
    near.cubicTo(50, 250, 110, 262, 166, 252);
    near.lineTo(166, 315);
    near.lineTo(0, 315);
    near.closeSubpath();
    p.setBrush(QColor(38, 82, 60));
    p.drawPath(near);
}

void DrawLark(QPainter& p) {
    // A crested lark, sitting on the near hill and facing right.
    const QColor back(122, 94, 68);
    const QColor belly(222, 200, 160);
    const QColor dark(70, 52, 38);

    QPainterPath tail;
    tail.moveTo(34, 250);
    tail.lineTo(14, 262);
    tail.lineTo(20, 266);
    tail.lineTo(40, 256);
    tail.closeSubpath();
    p.setBrush(dark);
    p.drawPath(tail);

    QPainterPath body;
    body.moveTo(30, 252);
    body.cubicTo(36, 232, 66, 224, 78, 234);
    body.cubicTo(84, 246, 72, 262, 52, 262);
    body.cubicTo(42, 262, 32, 258, 30, 252);
    p.setBrush(back);
    p.drawPath(body);

    QPainterPath chest;
    chest.moveTo(60, 258);
    chest.cubicTo(74, 256, 82, 246, 78, 236);
    chest.cubicTo(72, 242, 66, 250, 60, 258);
    p.setBrush(belly);
    p.drawPath(chest);

    QPainterPath wing;
    wing.moveTo(40, 246);
    wing.cubicTo(48, 236, 62, 236, 66, 244);
    wing.cubicTo(58, 252, 48, 254, 40, 246);
    p.setBrush(dark);
    p.drawPath(wing);

    // Head, crest, beak (open: the lark sings) and eye.
    p.setBrush(back);
    p.drawEllipse(QPointF(80, 228), 9, 8.5);
    QPainterPath crest;
    crest.moveTo(74, 222);
    crest.lineTo(71, 210);
    crest.lineTo(81, 220);
    crest.closeSubpath();
    p.drawPath(crest);
    QPainterPath beak;
    beak.moveTo(88, 225);
    beak.lineTo(99, 222);
    beak.lineTo(89, 228);
    beak.lineTo(98, 232);
    beak.lineTo(87, 231);
    beak.closeSubpath();
    p.setBrush(QColor(232, 160, 60));
    p.drawPath(beak);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(82, 226), 2.2, 2.2);
    p.setBrush(Qt::black);
    p.drawEllipse(QPointF(82.6, 226), 1.2, 1.2);

    // Legs.
    p.setPen(QPen(dark, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(52, 261), QPointF(50, 270));
    p.drawLine(QPointF(60, 260), QPointF(60, 269));
    p.setPen(Qt::NoPen);
}

// Speech bubbles rising from the lark's beak, each with letters of another
// language.
void DrawBubbles(QPainter& p) {
    struct Bubble {
        QRectF box;
        const char* letters; // UTF-8
    };
    const Bubble bubbles[] = {
        {QRectF(96, 178, 46, 28), "Aa"},
        {QRectF(38, 132, 50, 30), "\xc3\x84\xc3\xa9"},
        {QRectF(92, 92, 52, 30), "\xc3\x9f\xc3\xb8"},
        {QRectF(30, 46, 54, 32), "\xce\xa9\xd0\x96"},
    };
    QFont font = p.font();
    font.setPixelSize(17);
    font.setBold(true);
    p.setFont(font);
    int i = 0;
    for (const Bubble& b : bubbles) {
        const int alpha = 235 - 30 * i++;
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, alpha));
        p.drawRoundedRect(b.box, 9, 9);
        // The bubble's tail points down towards the singer.
        QPainterPath tail;
        const QPointF foot(b.box.center().x() - 6, b.box.bottom());
        tail.moveTo(foot);
        tail.lineTo(foot + QPointF(12, 0));
        tail.lineTo(foot + QPointF(-2, 9));
        tail.closeSubpath();
        p.drawPath(tail);
        p.setPen(QColor(29, 53, 87, alpha));
        p.drawText(b.box, Qt::AlignCenter, QString::fromUtf8(b.letters));
    }
}
} // namespace

QPixmap WizardPicture(const QSize& size, qreal devicePixelRatio) {
    QPixmap picture(size * devicePixelRatio);
    picture.setDevicePixelRatio(devicePixelRatio);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(size.width() / DesignWidth, size.height() / DesignHeight);
    DrawSky(p);
    DrawHills(p);
    DrawBubbles(p);
    DrawLark(p);
    return picture;
}
