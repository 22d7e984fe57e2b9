// Usage: qvl-skingen [SOURCE_DIR] [--preview DIR]  (writes data/qvl.bmp, data/qvl@2x.bmp and src/ui/images/*.png under SOURCE_DIR; --preview also writes enlarged PNG copies to DIR)
//
// Draws all of Quorvale's art from code: the skin bitmap that the main window
// cuts into its frame, title, banner and piece sprites, and its companion at
// twice the resolution for high-density screens; the application icon in
// eight sizes; the picture of the About box at single and double resolution. Runs headless (offscreen
// platform); a font is needed only for the lettering.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QStringList>
#include <QtMath>

#include <cstdint>
#include <cstdio>
#include <random>
#include <utility>

#include "config.h"
#include "core/geometry.h"
#include "core/littleendian.h"
#include "ui/skinmap.h"

namespace {

// ---------------------------------------------------------------------------
// Palette shared by the skin and the icons.

const QColor kWood(128, 74, 38);
const QColor kNavy(24, 34, 72);
const QColor kGold(236, 186, 56);
const QColor kRed(204, 38, 48);
const QColor kBlue(46, 98, 204);
const QColor kGreen(48, 156, 78);
const QColor kTeal(22, 150, 142);
const QColor kOrange(236, 124, 30);
const QColor kPurple(136, 74, 192);
const QColor kMagenta(206, 66, 138);

// Pixel sizes of the window icon.
constexpr int kIconSizes[] = {QUORVALE_ICON_SIZES};

// Skin size and its fixed rectangles, from the map the game cuts by.
namespace map = quorvale::skinmap;
QRect rectOf(const map::Rect& r) { return QRect(r.left, r.top, r.width, r.height); }
constexpr int kSkinWidth = map::kWidth;
constexpr int kSkinHeight = map::kHeight;
const QRect kSquare = rectOf(map::kSquare);
const QRect kSquare2 = rectOf(map::kHiddenSquare);
const QRect kWide = rectOf(map::kWide);
const QRect kSmall2 = rectOf(map::kHiddenSmall);
const QRect kSmall = rectOf(map::kSmall);
const QRect kTall[4] = {rectOf(map::kTall[0]), rectOf(map::kTall[1]), rectOf(map::kTall[2]), rectOf(map::kTall[3])};
const QRect kTitle = rectOf(map::kTitle);
const QRect kBanner = rectOf(map::kCongratulations);
// The exit lies under the two middle columns of the board, in the bottom strip.
const int kExitLeft = map::kLeftFrame.width + quorvale::kCellPixels;
const int kExitRight = kExitLeft + 2 * quorvale::kCellPixels;

QFont serifFont(int pixelSize) {
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setPixelSize(pixelSize);
    font.setBold(true);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QFont sansFont(int pixelSize) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(true);
    return font;
}

// ---------------------------------------------------------------------------
// Shapes.

QPainterPath starPath(QPointF centre, double outer, double inner, int points = 5) {
    QPainterPath path;
    for (int i = 0; i < points * 2; ++i) {
        const double r = (i % 2 == 0) ? outer : inner;
        const double a = -M_PI / 2 + i * M_PI / points;
        const QPointF pt(centre.x() + r * std::cos(a), centre.y() + r * std::sin(a));
        if (i == 0) {
            path.moveTo(pt);
        } else {
            path.lineTo(pt);
        }
    }
    path.closeSubpath();
    return path;
}

QPainterPath diamondPath(QPointF c, double rx, double ry) {
    QPainterPath path;
    path.moveTo(c.x(), c.y() - ry);
    path.lineTo(c.x() + rx, c.y());
    path.lineTo(c.x(), c.y() + ry);
    path.lineTo(c.x() - rx, c.y());
    path.closeSubpath();
    return path;
}

QPainterPath ringPath(QPointF c, double r, double width) {
    QPainterPath path;
    path.addEllipse(c, r, r);
    path.addEllipse(c, r - width, r - width);
    path.setFillRule(Qt::OddEvenFill);
    return path;
}

QPainterPath trianglePath(QPointF c, double r) {
    QPainterPath path;
    for (int i = 0; i < 3; ++i) {
        const double a = -M_PI / 2 + i * 2 * M_PI / 3;
        const QPointF pt(c.x() + r * std::cos(a), c.y() + r * std::sin(a) + r * 0.15);
        if (i == 0) {
            path.moveTo(pt);
        } else {
            path.lineTo(pt);
        }
    }
    path.closeSubpath();
    return path;
}

QPainterPath heartPath(QPointF c, double r) {
    QPainterPath path;
    path.moveTo(c.x(), c.y() + r);
    path.cubicTo(c.x() - r * 1.6, c.y() - r * 0.1, c.x() - r * 0.7, c.y() - r * 1.3, c.x(), c.y() - r * 0.45);
    path.cubicTo(c.x() + r * 0.7, c.y() - r * 1.3, c.x() + r * 1.6, c.y() - r * 0.1, c.x(), c.y() + r);
    path.closeSubpath();
    return path;
}

QPainterPath textPath(const QString& text, const QFont& font, QPointF centre) {
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF box = path.boundingRect();
    path.translate(centre - box.center());
    return path;
}

// A raised shape: dark shadow to the lower right, a light rim to the upper
// left, then the face.
void emboss(QPainter& p, const QPainterPath& shape, const QBrush& face, const QColor& onColour, double depth = 1.5) {
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 110));
    p.drawPath(shape.translated(depth, depth));
    p.setBrush(onColour.lighter(175));
    p.drawPath(shape.translated(-depth * 0.6, -depth * 0.6));
    p.setBrush(face);
    p.drawPath(shape);
    p.restore();
}

// A sunk shape: shadow to the upper left, light to the lower right.
void engrave(QPainter& p, const QPainterPath& shape, const QColor& onColour) {
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(onColour.lighter(150));
    p.drawPath(shape.translated(1, 1));
    p.setBrush(onColour.darker(210));
    p.drawPath(shape.translated(-1, -1));
    p.setBrush(onColour.darker(140));
    p.drawPath(shape);
    p.restore();
}

QLinearGradient goldGradient(const QRectF& r) {
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0.0, QColor(255, 242, 170));
    g.setColorAt(0.45, QColor(246, 200, 70));
    g.setColorAt(1.0, QColor(176, 118, 24));
    return g;
}

// A round stud with a specular highlight.
void stud(QPainter& p, QPointF c, double r, const QColor& colour) {
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 100));
    p.drawEllipse(c + QPointF(r * 0.18, r * 0.22), r, r);
    QRadialGradient g(c - QPointF(r * 0.35, r * 0.4), r * 1.5);
    g.setColorAt(0.0, colour.lighter(190));
    g.setColorAt(0.35, colour.lighter(115));
    g.setColorAt(1.0, colour.darker(170));
    p.setBrush(g);
    p.drawEllipse(c, r, r);
    p.restore();
}

// ---------------------------------------------------------------------------
// A bevelled tile that fills `r` edge to edge: a thin dark outline, a light
// bevel on the upper left, a dark one on the lower right, a shaded face and a
// soft gloss on its upper half.
void drawTile(QPainter& p, const QRectF& r, const QColor& base, double bevel = 4, double radius = 7) {
    p.save();
    p.setPen(Qt::NoPen);
    p.fillRect(r, base.darker(320));
    const QRectF body = r.adjusted(1, 1, -1, -1);
    QPainterPath bodyPath;
    bodyPath.addRoundedRect(body, radius, radius);
    p.setClipPath(bodyPath);
    p.fillRect(body, base.lighter(165));
    QPainterPath lower;
    lower.addRoundedRect(body.translated(bevel * 0.8, bevel * 0.8), radius, radius);
    p.setBrush(base.darker(175));
    p.drawPath(lower);
    p.setClipping(false);

    const QRectF face = body.adjusted(bevel, bevel, -bevel, -bevel);
    QLinearGradient g(face.topLeft(), face.bottomRight());
    g.setColorAt(0.0, base.lighter(128));
    g.setColorAt(0.55, base);
    g.setColorAt(1.0, base.darker(118));
    p.setBrush(g);
    const double faceRadius = std::max(1.0, radius - bevel * 0.6);
    p.drawRoundedRect(face, faceRadius, faceRadius);

    const QRectF glossRect(face.left() + 2, face.top() + 1.5, face.width() - 4, std::min(face.height() * 0.45, 26.0));
    QLinearGradient gloss(glossRect.topLeft(), glossRect.bottomLeft());
    gloss.setColorAt(0.0, QColor(255, 255, 255, 95));
    gloss.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setBrush(gloss);
    p.drawRoundedRect(glossRect, faceRadius, faceRadius);
    p.restore();
}

// ---------------------------------------------------------------------------
// Wood for the frame: a moulded profile across the strip and wavy grain along it.

void drawWood(QPainter& p, const QPolygonF& area, const QRectF& strip, bool horizontal, bool lit, unsigned seed) {
    p.save();
    QPainterPath clip;
    clip.addPolygon(area);
    clip.closeSubpath();
    p.setClipPath(clip);

    // Profile from the outer edge towards the board: lit sides catch the light
    // on their outer half, shaded sides stay darker.
    const bool outerAtStart = (horizontal ? strip.top() < 1 : strip.left() < 1);
    QPointF from = horizontal ? QPointF(0, strip.top()) : QPointF(strip.left(), 0);
    QPointF to = horizontal ? QPointF(0, strip.bottom()) : QPointF(strip.right(), 0);
    if (!outerAtStart) {
        std::swap(from, to);
    }
    QLinearGradient g(from, to);
    g.setColorAt(0.0, lit ? kWood.lighter(150) : kWood.darker(135));
    g.setColorAt(0.3, lit ? kWood.lighter(175) : kWood.lighter(112));
    g.setColorAt(0.55, kWood.lighter(lit ? 120 : 100));
    g.setColorAt(1.0, kWood.darker(150));
    p.fillRect(strip, g);

    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double length = horizontal ? strip.width() : strip.height();
    const double across = horizontal ? strip.height() : strip.width();
    for (int line = 0; line < 16; ++line) {
        const double offset = 1.0 + unit(rng) * (across - 2.0);
        const double amplitude = 0.4 + unit(rng) * 1.1;
        const double wave = 0.02 + unit(rng) * 0.05;
        const double phase = unit(rng) * 6.28;
        QPainterPath grain;
        for (double t = 0; t <= length; t += 3) {
            const double d = offset + amplitude * std::sin(t * wave + phase);
            const QPointF pt = horizontal ? QPointF(strip.left() + t, strip.top() + d)
                                          : QPointF(strip.left() + d, strip.top() + t);
            if (t == 0) {
                grain.moveTo(pt);
            } else {
                grain.lineTo(pt);
            }
        }
        const bool darkLine = unit(rng) < 0.7;
        QColor c = darkLine ? QColor(60, 30, 10, 40 + int(unit(rng) * 50)) : QColor(255, 220, 170, 30);
        p.setPen(QPen(c, 0.6 + unit(rng) * 0.8));
        p.setBrush(Qt::NoBrush);
        p.drawPath(grain);
    }
    p.restore();
}

void drawChevron(QPainter& p, QPointF tip, double w, double h, const QColor& colour) {
    QPainterPath path;
    path.moveTo(tip.x() - w, tip.y() - h);
    path.lineTo(tip.x(), tip.y());
    path.lineTo(tip.x() + w, tip.y() - h);
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0, 0, 0, 150), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path.translated(0.6, 0.8));
    p.setPen(QPen(colour, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    p.restore();
}

// The frame ring around the 240 x 300 board, with the exit in the middle of its
// bottom side.
void drawFrame(QPainter& p) {
    // The ring's outer right and bottom edges and its thickness, from the map.
    const double R = map::kUpFrame.left + map::kUpFrame.width;
    const double B = map::kExit.top + map::kExit.height;
    const double T = map::kUpFrame.height;
    const QPolygonF top({QPointF(0, 0), QPointF(R, 0), QPointF(R - T, T), QPointF(T, T)});
    const QPolygonF bottom({QPointF(0, B), QPointF(R, B), QPointF(R - T, B - T), QPointF(T, B - T)});
    const QPolygonF left({QPointF(0, 0), QPointF(T, T), QPointF(T, B - T), QPointF(0, B)});
    const QPolygonF right({QPointF(R, 0), QPointF(R - T, T), QPointF(R - T, B - T), QPointF(R, B)});
    drawWood(p, top, QRectF(0, 0, R, T), true, true, 11);
    drawWood(p, left, QRectF(0, 0, T, B), false, true, 23);
    drawWood(p, right, QRectF(R - T, 0, T, B), false, false, 37);
    drawWood(p, bottom, QRectF(0, B - T, R, T), true, false, 41);

    p.save();
    // Mitre seams at the four corners.
    p.setPen(QPen(QColor(50, 25, 8, 150), 1.0));
    p.drawLine(QPointF(0.5, 0.5), QPointF(T, T));
    p.drawLine(QPointF(R - 0.5, 0.5), QPointF(R - T, T));
    p.drawLine(QPointF(0.5, B - 0.5), QPointF(T, B - T));
    p.drawLine(QPointF(R - 0.5, B - 0.5), QPointF(R - T, B - T));

    // Outer edge: lit on the top and left, shaded on the bottom and right.
    p.setPen(QPen(kWood.lighter(200), 1));
    p.drawLine(QPointF(0.5, 0.5), QPointF(R - 0.5, 0.5));
    p.drawLine(QPointF(0.5, 0.5), QPointF(0.5, B - 0.5));
    p.setPen(QPen(kWood.darker(260), 1));
    p.drawLine(QPointF(0.5, B - 0.5), QPointF(R - 0.5, B - 0.5));
    p.drawLine(QPointF(R - 0.5, 0.5), QPointF(R - 0.5, B - 0.5));

    // Inner edge: the board lies lower, so the top and left lips cast a shadow.
    p.setPen(QPen(kWood.darker(280), 1));
    p.drawLine(QPointF(T - 0.5, T - 0.5), QPointF(R - T + 0.5, T - 0.5));
    p.drawLine(QPointF(T - 0.5, T - 0.5), QPointF(T - 0.5, B - T + 0.5));
    p.setPen(QPen(kWood.lighter(170), 1));
    p.drawLine(QPointF(R - T + 0.5, T - 0.5), QPointF(R - T + 0.5, B - T + 0.5));
    p.drawLine(QPointF(T - 0.5, B - T + 0.5), QPointF(kExitLeft, B - T + 0.5));
    p.drawLine(QPointF(kExitRight, B - T + 0.5), QPointF(R - T + 0.5, B - T + 0.5));

    // Brass corner caps.
    for (QPointF c : {QPointF(T / 2, T / 2), QPointF(R - T / 2, T / 2), QPointF(T / 2, B - T / 2), QPointF(R - T / 2, B - T / 2)}) {
        stud(p, c, 4.2, kGold);
    }

    // The exit: a dark opening under the two middle columns, with gold arrows
    // and lettering that point the square out of the board.
    const QRectF exit(kExitLeft, B - T, kExitRight - kExitLeft, T);
    QLinearGradient hole(exit.topLeft(), exit.bottomLeft());
    hole.setColorAt(0.0, QColor(10, 40, 22));
    hole.setColorAt(0.5, QColor(8, 24, 14));
    hole.setColorAt(1.0, QColor(2, 8, 4));
    p.fillRect(exit, hole);
    // Soft light falling into the opening from the board.
    QLinearGradient glow(exit.topLeft(), QPointF(exit.left(), exit.top() + 8));
    glow.setColorAt(0.0, QColor(120, 230, 140, 90));
    glow.setColorAt(1.0, QColor(120, 230, 140, 0));
    p.fillRect(exit.adjusted(0, 0, 0, -12), glow);
    // Brass posts that bound the opening.
    for (double x : {double(kExitLeft), double(kExitRight - 4)}) {
        QLinearGradient post(QPointF(x, 0), QPointF(x + 4, 0));
        post.setColorAt(0.0, QColor(255, 236, 150));
        post.setColorAt(0.5, kGold);
        post.setColorAt(1.0, QColor(120, 80, 10));
        p.fillRect(QRectF(x, B - T, 4, T), post);
    }
    const QColor arrow(250, 212, 80);
    for (double x : {96.0, 112.0, 168.0, 184.0}) {
        drawChevron(p, QPointF(x, 334.5), 5, 5, arrow);
    }
    p.setRenderHint(QPainter::TextAntialiasing, true);
    const QPainterPath label = textPath(QStringLiteral("EXIT"), sansFont(12), QPointF(140, 330.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 170));
    p.drawPath(label.translated(0.8, 0.8));
    p.setBrush(arrow);
    p.drawPath(label);
    p.restore();
}

// ---------------------------------------------------------------------------
// The title panel: the game's name letter by letter on coloured tiles.

void drawOrnament(QPainter& p, double cx, double cy) {
    p.save();
    p.setPen(QPen(kGold.darker(110), 1.2));
    p.drawLine(QPointF(cx - 30, cy), QPointF(cx - 9, cy));
    p.drawLine(QPointF(cx + 9, cy), QPointF(cx + 30, cy));
    p.setPen(Qt::NoPen);
    emboss(p, diamondPath(QPointF(cx, cy), 6.5, 6.5), QBrush(goldGradient(QRectF(cx - 6, cy - 6, 12, 12))), kGold, 1.0);
    for (double dx : {-20.0, 20.0}) {
        emboss(p, diamondPath(QPointF(cx + dx, cy), 2.5, 2.5), QBrush(kGold), kGold, 0.6);
    }
    p.restore();
}

void drawTitle(QPainter& p) {
    const QRectF r(kTitle);
    p.save();
    // Wooden rim matching the frame, then a deep blue inlay.
    QPolygonF whole({r.topLeft(), r.topRight(), r.bottomRight(), r.bottomLeft()});
    drawWood(p, whole, r, false, true, 59);
    p.setPen(QPen(kWood.lighter(200), 1));
    p.drawLine(QPointF(r.left() + 0.5, r.top() + 0.5), QPointF(r.right() - 0.5, r.top() + 0.5));
    p.drawLine(QPointF(r.left() + 0.5, r.top() + 0.5), QPointF(r.left() + 0.5, r.bottom() - 0.5));
    p.setPen(QPen(kWood.darker(260), 1));
    p.drawLine(QPointF(r.left() + 0.5, r.bottom() - 0.5), QPointF(r.right() - 0.5, r.bottom() - 0.5));
    p.drawLine(QPointF(r.right() - 0.5, r.top() + 0.5), QPointF(r.right() - 0.5, r.bottom() - 0.5));

    const QRectF inlay = r.adjusted(7, 7, -7, -7);
    p.fillRect(inlay.adjusted(-1, -1, 1, 1), kWood.darker(300));
    QLinearGradient blue(inlay.topLeft(), inlay.bottomRight());
    blue.setColorAt(0.0, kNavy.lighter(150));
    blue.setColorAt(1.0, kNavy.darker(140));
    p.fillRect(inlay, blue);
    p.setPen(QPen(QColor(kGold.red(), kGold.green(), kGold.blue(), 200), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(inlay.adjusted(2.5, 2.5, -2.5, -2.5));

    // Faint stars in the inlay.
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 40; ++i) {
        const QPointF c(inlay.left() + 5 + unit(rng) * (inlay.width() - 10),
                        inlay.top() + 5 + unit(rng) * (inlay.height() - 10));
        p.setBrush(QColor(255, 255, 230, 40 + int(unit(rng) * 70)));
        p.drawEllipse(c, 0.8, 0.8);
    }

    drawOrnament(p, r.center().x(), 19.5);
    drawOrnament(p, r.center().x(), 321.5);

    const QString name = QStringLiteral("QUORVALE");
    const QColor tiles[8] = {kRed, kOrange, kGold.darker(108), kGreen, kTeal, kBlue, kPurple, kMagenta};
    const double size = 32;
    const double gap = 3;
    const double x = r.center().x() - size / 2;
    double y = 32;
    const QFont font = serifFont(23);
    for (int i = 0; i < name.size(); ++i) {
        const QRectF tile(x, y, size, size);
        drawTile(p, tile, tiles[i], 3, 5);
        const QPainterPath letter = textPath(name.mid(i, 1), font, tile.center() + QPointF(0, 0.5));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 150));
        p.drawPath(letter.translated(1.2, 1.4));
        p.setBrush(QColor(255, 250, 236));
        p.drawPath(letter);
        y += size + gap;
    }
    p.restore();
}

// ---------------------------------------------------------------------------
// The congratulation banner.

void drawBanner(QPainter& p) {
    const QRectF r(kBanner);
    p.save();
    p.fillRect(r, QColor(92, 54, 8));
    const QRectF body = r.adjusted(1, 1, -1, -1);
    QPainterPath bodyPath;
    bodyPath.addRoundedRect(body, 6, 6);
    p.fillPath(bodyPath, QBrush(goldGradient(body)));
    const QRectF inner = body.adjusted(4, 4, -4, -4);
    QLinearGradient blue(inner.topLeft(), inner.bottomLeft());
    blue.setColorAt(0.0, kNavy.lighter(170));
    blue.setColorAt(0.5, kNavy.lighter(120));
    blue.setColorAt(1.0, kNavy.darker(130));
    QPainterPath innerPath;
    innerPath.addRoundedRect(inner, 4, 4);
    p.fillPath(innerPath, blue);

    // Confetti.
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const QColor confetti[6] = {kRed, kOrange, kGold, kGreen, kTeal, kMagenta};
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 46; ++i) {
        const double cx = inner.left() + 4 + unit(rng) * (inner.width() - 8);
        if (cx > 88 && cx < 282) {
            continue;  // keep the lettering clear
        }
        const double cy = inner.top() + 3 + unit(rng) * (inner.height() - 6);
        p.save();
        p.translate(cx, cy);
        p.rotate(unit(rng) * 180);
        p.setBrush(confetti[i % 6].lighter(115));
        p.drawRect(QRectF(-2, -1, 4, 2));
        p.restore();
    }

    for (double cx : {36.0, 334.0}) {
        emboss(p, starPath(QPointF(cx, r.center().y()), 12, 5), QBrush(goldGradient(QRectF(cx - 12, 348, 24, 24))), kGold,
               1.2);
    }
    for (double cx : {64.0, 306.0}) {
        emboss(p, starPath(QPointF(cx, r.center().y() + 1), 7, 3), QBrush(QColor(255, 236, 160)), kGold, 0.8);
    }

    const QPainterPath text = textPath(QStringLiteral("Congratulations!"), serifFont(22), r.center() + QPointF(0, 0.5));
    p.setPen(QPen(QColor(40, 20, 0), 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(text.translated(1.2, 1.5));
    p.drawPath(text);
    p.setPen(Qt::NoPen);
    p.setBrush(goldGradient(text.boundingRect()));
    p.drawPath(text);
    p.restore();
}

// ---------------------------------------------------------------------------
// The pieces.

void drawSquare(QPainter& p) {
    const QRectF r(kSquare);
    drawTile(p, r, kRed, 5, 10);
    const QRectF ring = r.adjusted(22, 22, -22, -22);
    emboss(p, ringPath(ring.center(), ring.width() / 2, 6), QBrush(goldGradient(ring)), kRed, 1.4);
    const QPainterPath q = textPath(QStringLiteral("Q"), serifFont(50), ring.center() + QPointF(0, 3));
    emboss(p, q, QBrush(goldGradient(q.boundingRect())), kRed, 1.4);
    for (QPointF c : {r.topLeft() + QPointF(14, 14), r.topRight() + QPointF(-14, 14), r.bottomLeft() + QPointF(14, -14),
                      r.bottomRight() + QPointF(-14, -14)}) {
        stud(p, c, 3.4, kGold);
    }
}

void drawSquare2(QPainter& p) {
    const QRectF r(kSquare2);
    drawTile(p, r, kGold.darker(105), 5, 10);
    const QPointF c = r.center() + QPointF(0, 2);
    emboss(p, starPath(c, 40, 17), QBrush(QColor(200, 40, 50)), kGold, 1.6);
    emboss(p, starPath(c, 22, 9.5), QBrush(QColor(255, 236, 170)), QColor(200, 40, 50), 1.0);
    for (QPointF s : {r.topLeft() + QPointF(14, 14), r.topRight() + QPointF(-14, 14), r.bottomLeft() + QPointF(14, -14),
                      r.bottomRight() + QPointF(-14, -14)}) {
        stud(p, s, 3.4, kRed);
    }
}

void drawWide(QPainter& p) {
    const QRectF r(kWide);
    drawTile(p, r, kBlue, 4, 8);
    const QPointF c = r.center();
    QPainterPath groove;
    groove.addRoundedRect(QRectF(c.x() - 40, c.y() - 3, 80, 6), 3, 3);
    engrave(p, groove, kBlue);
    for (double dx : {-30.0, 0.0, 30.0}) {
        emboss(p, diamondPath(c + QPointF(dx, 0), 8, 10), QBrush(QColor(190, 214, 255)), kBlue, 1.2);
    }
}

void drawSmall(QPainter& p) {
    const QRectF r(kSmall);
    drawTile(p, r, kGreen, 4, 8);
    stud(p, r.center(), 12, kGreen.lighter(120));
}

void drawSmall2(QPainter& p) {
    const QRectF r(kSmall2);
    drawTile(p, r, kGold.darker(105), 4, 8);
    stud(p, r.center(), 12, QColor(200, 36, 46));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 210));
    p.drawPath(starPath(r.center() + QPointF(-4, -4), 4, 1.5, 4));
}

// Each tall piece has a colour and a pair of symbols of its own.
void drawTall(QPainter& p, int which) {
    const QRectF r(kTall[which]);
    const QColor colours[4] = {kTeal, kOrange, kPurple, kMagenta};
    const QColor base = colours[which];
    drawTile(p, r, base, 4, 8);
    const QColor symbolFace = base.lighter(185);
    for (int cell = 0; cell < 2; ++cell) {
        const QPointF c(r.center().x(), r.top() + 30 + cell * 60);
        QPainterPath shape;
        switch (which) {
        case 0:
            shape = ringPath(c, 13, 5);
            break;
        case 1:
            shape = diamondPath(c, 12, 15);
            break;
        case 2:
            shape = trianglePath(c, 15);
            break;
        default:
            shape = heartPath(c, 12);
            break;
        }
        emboss(p, shape, QBrush(symbolFace), base, 1.3);
    }
    // A groove between the two cells of the piece.
    QPainterPath groove;
    groove.addRoundedRect(QRectF(r.left() + 14, r.center().y() - 1.5, r.width() - 28, 3), 1.5, 1.5);
    engrave(p, groove, base);
}

// The skin at `scale` times its size: every shape is drawn in skin
// coordinates through a scaled painter, so the double-resolution skin is the
// same drawing with twice the detail, not an enlarged copy.
QImage drawSkin(int scale) {
    QImage skin(kSkinWidth * scale, kSkinHeight * scale, QImage::Format_RGB32);
    skin.fill(QColor(40, 28, 20));
    QPainter p(&skin);
    p.scale(scale, scale);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    drawFrame(p);
    drawTitle(p);
    drawBanner(p);
    drawSquare(p);
    drawSquare2(p);
    drawWide(p);
    drawSmall2(p);
    drawSmall(p);
    for (int i = 0; i < 4; ++i) {
        drawTall(p, i);
    }
    p.end();
    return skin;
}

// ---------------------------------------------------------------------------
// The application icon: the board with the square above the exit.

// The 16 colours of the small icon; entry 0 is transparent.
const QRgb kIconColours[16] = {
    qRgba(0, 0, 0, 0),       qRgb(24, 16, 10),    qRgb(150, 90, 45),   qRgb(212, 150, 84),
    qRgb(88, 48, 22),        qRgb(58, 44, 34),    qRgb(246, 202, 62),  qRgb(206, 36, 46),
    qRgb(255, 126, 112),     qRgb(46, 96, 202),   qRgb(136, 180, 252), qRgb(44, 156, 76),
    qRgb(146, 222, 132),     qRgb(236, 124, 30),  qRgb(255, 194, 116), qRgb(8, 30, 16),
};

struct IconPiece {
    int col, row, width, height;
    QColor colour;
};

// The layout shown on the icon: square at the exit, the rest around it.
const IconPiece kIconPieces[10] = {
    {1, 3, 2, 2, kRed},   {1, 0, 2, 1, kBlue},  {0, 0, 1, 2, kOrange}, {3, 0, 1, 2, kOrange}, {0, 2, 1, 2, kOrange},
    {3, 2, 1, 2, kOrange}, {1, 1, 1, 1, kGreen}, {2, 1, 1, 1, kGreen},  {0, 4, 1, 1, kGreen},  {3, 4, 1, 1, kGreen},
};

// Pixel-exact icon at 32 x 32, drawn with the 16 colours only.
QImage drawIconSmall() {
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(kIconColours[0]);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    auto fill = [&](int x, int y, int w, int h, int index) { p.fillRect(QRect(x, y, w, h), QColor(kIconColours[index])); };
    // Frame 26 x 31 at (3, 0); board 20 x 25 at (6, 3); cells of 5 pixels.
    fill(3, 0, 26, 31, 2);
    fill(3, 0, 26, 1, 3);
    fill(3, 0, 1, 31, 3);
    fill(3, 30, 26, 1, 4);
    fill(28, 0, 1, 31, 4);
    fill(5, 2, 22, 27, 1);
    fill(6, 3, 20, 25, 5);
    // The exit: a dark gap in the bottom side with gold posts.
    fill(11, 28, 10, 3, 15);
    fill(10, 28, 1, 3, 6);
    fill(21, 28, 1, 3, 6);
    fill(14, 29, 4, 1, 6);
    const int light[] = {8, 10, 14, 12};
    const int base[] = {7, 9, 13, 11};
    for (const IconPiece& piece : kIconPieces) {
        const int kind = piece.colour == kRed ? 0 : piece.colour == kBlue ? 1 : piece.colour == kOrange ? 2 : 3;
        const int x = 6 + piece.col * 5;
        const int y = 3 + piece.row * 5;
        const int w = piece.width * 5;
        const int h = piece.height * 5;
        fill(x, y, w, h, 1);
        fill(x, y, w - 1, h - 1, light[kind]);
        fill(x + 1, y + 1, w - 2, h - 2, base[kind]);
    }
    // A gold mark on the square.
    fill(15, 22, 2, 2, 6);
    p.end();
    return img;
}

// The small icons (16, 22 and 24 pixels), drawn pixel by pixel so that the
// pieces stay crisp: cells of `cell` pixels, a frame `frame` pixels thick on
// the top and sides and whatever height is left below the board for the exit
// (none at 16 pixels, where the square simply reaches the bottom edge).
QImage drawIconPixel(int size, int cell, int frame) {
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    const int boardW = 4 * cell;
    const int boardH = 5 * cell;
    const int outerW = boardW + 2 * frame;
    const int left = (size - outerW) / 2;
    const int bottom = size - frame - boardH;
    const QColor frameLight(212, 150, 84);
    const QColor frameBase(150, 90, 45);
    const QColor frameDark(88, 48, 22);
    p.fillRect(QRect(left, 0, outerW, size), frameBase);
    p.fillRect(QRect(left, 0, outerW, 1), frameLight);
    p.fillRect(QRect(left, 0, 1, size), frameLight);
    p.fillRect(QRect(left + outerW - 1, 0, 1, size), frameDark);
    const int bx = left + frame;
    const int by = frame;
    p.fillRect(QRect(bx, by, boardW, boardH), QColor(58, 44, 34));
    if (bottom > 0) {
        p.fillRect(QRect(left, size - 1, outerW, 1), frameDark);
        // The exit under the two middle columns, between gold posts.
        p.fillRect(QRect(bx + cell, by + boardH, 2 * cell, bottom), QColor(8, 30, 16));
        p.fillRect(QRect(bx + cell - 1, by + boardH, 1, bottom), kGold);
        p.fillRect(QRect(bx + 3 * cell, by + boardH, 1, bottom), kGold);
    }
    for (const IconPiece& piece : kIconPieces) {
        const QRect r(bx + piece.col * cell, by + piece.row * cell, piece.width * cell, piece.height * cell);
        p.fillRect(r, piece.colour.darker(220));
        p.fillRect(r.adjusted(0, 0, -1, -1), piece.colour.lighter(150));
        p.fillRect(r.adjusted(1, 1, -1, -1), piece.colour);
    }
    // A gold mark in the middle of the square.
    const IconPiece& square = kIconPieces[0];
    const int mark = cell >= 4 ? 2 : 1;
    p.fillRect(QRect(bx + (square.col + 1) * cell - mark / 2, by + (square.row + 1) * cell - mark / 2,
                     mark, mark),
               kGold);
    p.end();
    return img;
}

QImage toSixteenColours(const QImage& img) {
    QList<QRgb> table(std::begin(kIconColours), std::end(kIconColours));
    return img.convertToFormat(QImage::Format_Indexed8, table, Qt::ThresholdDither | Qt::AvoidDither);
}

// The same picture in full colour, with bevels, at `size` pixels square. It
// is laid out on a 128-pixel canvas (the 32-pixel layout times 4) and drawn
// through a painter scaled to the size asked for, so every size is drawn
// afresh rather than resampled from another.
QImage drawIconLarge(int size) {
    constexpr double s = 4.0;
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.scale(size / 128.0, size / 128.0);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF outer(3 * s, 0, 26 * s, 31 * s);
    QPainterPath outerPath;
    outerPath.addRoundedRect(outer, 6, 6);
    p.setClipPath(outerPath);
    QPolygonF all({outer.topLeft(), outer.topRight(), outer.bottomRight(), outer.bottomLeft()});
    drawWood(p, all, outer, false, true, 5);
    p.setClipping(false);
    p.setPen(QPen(kWood.darker(260), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(outer.adjusted(1, 1, -1, -1), 6, 6);
    for (QPointF c : {outer.topLeft() + QPointF(6, 6), outer.topRight() + QPointF(-6, 6),
                      outer.bottomLeft() + QPointF(6, -6), outer.bottomRight() + QPointF(-6, -6)}) {
        stud(p, c, 3, kGold);
    }
    const QRectF board(6 * s, 3 * s, 20 * s, 25 * s);
    p.fillRect(board.adjusted(-2, -2, 2, 2), kWood.darker(300));
    p.fillRect(board, QColor(58, 44, 34));
    // The exit below the two middle columns.
    const QRectF exit(board.left() + 5 * s, board.bottom(), 10 * s, 3 * s);
    QLinearGradient hole(exit.topLeft(), exit.bottomLeft());
    hole.setColorAt(0.0, QColor(10, 40, 22));
    hole.setColorAt(1.0, QColor(2, 8, 4));
    p.fillRect(exit, hole);
    p.fillRect(QRectF(exit.left() - 2, exit.top(), 3, exit.height()), kGold);
    p.fillRect(QRectF(exit.right() - 1, exit.top(), 3, exit.height()), kGold);
    drawChevron(p, QPointF(exit.center().x(), exit.bottom() - 2.5), 5, 5, QColor(250, 212, 80));
    for (const IconPiece& piece : kIconPieces) {
        const QRectF r(board.left() + piece.col * 5 * s, board.top() + piece.row * 5 * s, piece.width * 5 * s,
                       piece.height * 5 * s);
        drawTile(p, r, piece.colour, 2.5, 4);
        if (piece.colour == kRed) {
            const QPainterPath q = textPath(QStringLiteral("Q"), serifFont(24), r.center() + QPointF(0, 1));
            emboss(p, q, QBrush(goldGradient(q.boundingRect())), kRed, 1.0);
        }
    }
    p.end();
    return img;
}

// ---------------------------------------------------------------------------
// The About box picture: the square piece as a cheerful crowned character,
// 52 x 58 pixels times `factor`. Drawn four times larger still and reduced,
// for smooth edges.

QImage drawTamberlo(int factor) {
    const int scale = 4 * factor;
    QImage big(52 * scale, 58 * scale, QImage::Format_RGB32);
    QPainter p(&big);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.scale(scale, scale);
    const QRectF all(0, 0, 52, 58);
    QRadialGradient sky(QPointF(26, 30), 40);
    sky.setColorAt(0.0, QColor(120, 190, 255));
    sky.setColorAt(1.0, kNavy.lighter(120));
    p.fillRect(all, sky);
    // Rays behind the character.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 12; ++i) {
        QPainterPath ray;
        const double a0 = i * M_PI / 6;
        const double a1 = a0 + M_PI / 14;
        ray.moveTo(26, 34);
        ray.lineTo(26 + 60 * std::cos(a0), 34 + 60 * std::sin(a0));
        ray.lineTo(26 + 60 * std::cos(a1), 34 + 60 * std::sin(a1));
        ray.closeSubpath();
        p.setBrush(QColor(255, 255, 255, 30));
        p.drawPath(ray);
    }
    // The square piece.
    const QRectF piece(8, 17, 36, 36);
    drawTile(p, piece, kRed, 2.5, 5);
    // Eyes.
    for (double ex : {19.5, 32.5}) {
        p.setBrush(Qt::white);
        p.setPen(QPen(QColor(60, 10, 10), 0.6));
        p.drawEllipse(QPointF(ex, 31), 4.2, 5);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 20, 60));
        p.drawEllipse(QPointF(ex + 0.8, 32), 2.2, 2.6);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(ex + 1.5, 31), 0.8, 0.8);
    }
    // Cheeks and smile.
    p.setBrush(QColor(255, 140, 150, 150));
    p.drawEllipse(QPointF(14.5, 39), 2.6, 1.8);
    p.drawEllipse(QPointF(37.5, 39), 2.6, 1.8);
    QPainterPath smile;
    smile.moveTo(19, 40);
    smile.quadTo(26, 48, 33, 40);
    smile.quadTo(26, 44, 19, 40);
    p.setBrush(QColor(70, 8, 12));
    p.setPen(QPen(QColor(70, 8, 12), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(smile);
    // Crown.
    QPainterPath crown;
    crown.moveTo(14, 19);
    crown.lineTo(13, 7);
    crown.lineTo(19.5, 12.5);
    crown.lineTo(26, 4);
    crown.lineTo(32.5, 12.5);
    crown.lineTo(39, 7);
    crown.lineTo(38, 19);
    crown.closeSubpath();
    p.setPen(QPen(QColor(110, 70, 0), 0.8));
    p.setBrush(goldGradient(QRectF(13, 4, 26, 15)));
    p.drawPath(crown);
    p.setPen(Qt::NoPen);
    stud(p, QPointF(26, 14.5), 1.8, kBlue);
    stud(p, QPointF(19, 15.5), 1.3, kGreen);
    stud(p, QPointF(33, 15.5), 1.3, kGreen);
    for (QPointF tip : {QPointF(13, 7), QPointF(26, 4), QPointF(39, 7)}) {
        stud(p, tip, 1.4, QColor(255, 240, 200));
    }
    // Sparkles.
    p.setBrush(QColor(255, 255, 220));
    p.drawPath(starPath(QPointF(6, 8), 3.5, 1.0, 4));
    p.drawPath(starPath(QPointF(46, 11), 2.8, 0.8, 4));
    p.drawPath(starPath(QPointF(45, 50), 2.2, 0.7, 4));
    p.end();
    return big.scaled(52 * factor, 58 * factor, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// ---------------------------------------------------------------------------
// Output.

// Writes an uncompressed 24-bit Windows bitmap, bottom-up, rows padded to 4 bytes.
bool writeBmp24(const QImage& image, const QString& path) {
    using quorvale::writeInt16;
    using quorvale::writeInt32;
    const QImage img = image.convertToFormat(QImage::Format_RGB32);
    const int rowBytes = (img.width() * 3 + 3) & ~3;
    const int pixelBytes = rowBytes * img.height();
    constexpr int kHeaderBytes = 14 + 40;  // file header + BITMAPINFOHEADER
    std::uint8_t header[kHeaderBytes] = {'B', 'M'};
    writeInt32(header + 2, kHeaderBytes + pixelBytes);  // file size
    writeInt32(header + 10, kHeaderBytes);              // where the pixels start
    writeInt32(header + 14, 40);
    writeInt32(header + 18, img.width());
    writeInt32(header + 22, img.height());  // positive: bottom-up rows
    writeInt16(header + 26, 1);             // planes
    writeInt16(header + 28, 24);            // bits per pixel; compression at 30 stays 0
    writeInt32(header + 34, pixelBytes);
    writeInt32(header + 38, 2835);  // 72 dpi
    writeInt32(header + 42, 2835);  // no palette: 46 and 50 stay 0
    QByteArray out(reinterpret_cast<const char*>(header), kHeaderBytes);
    for (int y = img.height() - 1; y >= 0; --y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            out.append(char(qBlue(line[x])));
            out.append(char(qGreen(line[x])));
            out.append(char(qRed(line[x])));
        }
        for (int pad = img.width() * 3; pad < rowBytes; ++pad) {
            out.append('\0');
        }
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(out) == out.size();
}

bool savePng(const QImage& img, const QString& path) {
    if (!img.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

QImage enlarged(const QImage& img, int factor) {
    return img.convertToFormat(QImage::Format_ARGB32)
        .scaled(img.width() * factor, img.height() * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);

    QString sourceDir = QStringLiteral(QUORVALE_SOURCE_DIR);
    QString previewDir;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--preview") && i + 1 < args.size()) {
            previewDir = args[++i];
        } else if (args[i].startsWith(QLatin1String("-"))) {
            std::fprintf(stderr, "usage: qvl-skingen [SOURCE_DIR] [--preview DIR]\n");
            return 2;
        } else {
            sourceDir = args[i];
        }
    }

    const QDir root(sourceDir);
    if (!root.mkpath(QStringLiteral("data")) || !root.mkpath(QStringLiteral("src/ui/images"))) {
        std::fprintf(stderr, "cannot create the output folders under %s\n", qPrintable(sourceDir));
        return 1;
    }

    const QImage skin = drawSkin(1);
    const QImage skin2x = drawSkin(2);
    const QImage tamberlo = drawTamberlo(1);
    const QImage tamberlo2x = drawTamberlo(2);

    bool ok = true;
    for (const auto& [image, name] : {std::pair{skin, "data/qvl.bmp"}, std::pair{skin2x, "data/qvl@2x.bmp"}}) {
        const QString path = root.filePath(QString::fromLatin1(name));
        if (!writeBmp24(image, path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            ok = false;
        }
    }
    // The window icon in the sizes desktops ask for. Up to 32 pixels it is
    // drawn pixel by pixel (the 32-pixel one in 16 colours); from 48 on it is
    // the bevelled drawing.
    QList<std::pair<int, QImage>> icons;
    for (int size : kIconSizes) {
        QImage icon;
        if (size == 16) {
            icon = drawIconPixel(16, 3, 1);
        } else if (size == 22) {
            icon = drawIconPixel(22, 4, 1);
        } else if (size == 24) {
            icon = drawIconPixel(24, 4, 1);
        } else if (size == 32) {
            icon = toSixteenColours(drawIconSmall());
        } else {
            icon = drawIconLarge(size);
        }
        icons.append({size, icon});
    }
    for (const auto& [size, icon] : icons) {
        const QString name = QStringLiteral("src/ui/images/quorvale-%1.png").arg(size);
        ok = savePng(icon, root.filePath(name)) && ok;
    }
    ok = savePng(tamberlo, root.filePath(QStringLiteral("src/ui/images/tamberlo.png"))) && ok;
    ok = savePng(tamberlo2x, root.filePath(QStringLiteral("src/ui/images/tamberlo@2x.png"))) && ok;

    if (!previewDir.isEmpty()) {
        QDir().mkpath(previewDir);
        const QDir out(previewDir);
        ok = savePng(enlarged(skin, 2), out.filePath(QStringLiteral("skin.png"))) && ok;
        ok = savePng(skin2x, out.filePath(QStringLiteral("skin@2x.png"))) && ok;
        for (const auto& [size, icon] : icons) {
            ok = savePng(enlarged(icon, std::max(1, 256 / size)), out.filePath(QStringLiteral("icon%1.png").arg(size))) &&
                 ok;
        }
        ok = savePng(enlarged(tamberlo, 4), out.filePath(QStringLiteral("tamberlo.png"))) && ok;
        ok = savePng(enlarged(tamberlo2x, 2), out.filePath(QStringLiteral("tamberlo@2x.png"))) && ok;
    }
    return ok ? 0 : 1;
}
