#include "app/toolbar_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cmath>
#include <iterator>
#include <numbers>
#include <string_view>

#include "app/toolbar.h"

namespace tavrin {

namespace {

// Every glyph is drawn on a 24 x 24 grid: one stroke weight, one dark ink, one blue accent,
// a warm colour for the folder and the sun.
const QColor kInk(0x26, 0x32, 0x3e);
const QColor kAccent(0x1f, 0x6f, 0xd6);
const QColor kAccentLight(0xcf, 0xe2, 0xfa);
const QColor kWarm(0xf2, 0xb1, 0x34);
const QColor kWarmLight(0xf8, 0xd0, 0x6c);
const QColor kBody(0xdc, 0xe2, 0xe9);
const QColor kGridDot(0x8a, 0x96, 0xa3);
constexpr qreal kStroke = 2.0;

QPen pen(const QColor& colour, qreal width = kStroke, Qt::PenCapStyle cap = Qt::RoundCap) {
    return QPen(colour, width, Qt::SolidLine, cap, Qt::RoundJoin);
}

void arrowHead(QPainter& p, QPointF tip, QPointF from, qreal length = 3.2, qreal halfWidth = 2.4) {
    const QPointF direction = tip - from;
    const qreal norm = std::hypot(direction.x(), direction.y());
    if (norm == 0) return;
    const QPointF unit = direction / norm;
    const QPointF normal(-unit.y(), unit.x());
    const QPointF base = tip - unit * length;
    p.setPen(Qt::NoPen);
    p.drawPolygon(QPolygonF{tip, base + normal * halfWidth, base - normal * halfWidth});
}

void text(QPainter& p) {
    p.setPen(pen(kInk, 2.4, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF{{3.5, 20.0}, {9.0, 4.0}, {14.5, 20.0}});
    p.drawLine(QPointF(5.8, 14.5), QPointF(12.2, 14.5));
    // The text cursor.
    p.setPen(pen(kAccent, 2.0, Qt::FlatCap));
    p.drawLine(QPointF(19.0, 4.0), QPointF(19.0, 20.0));
    p.setPen(pen(kAccent, 1.6, Qt::FlatCap));
    p.drawLine(QPointF(17.0, 4.0), QPointF(21.0, 4.0));
    p.drawLine(QPointF(17.0, 20.0), QPointF(21.0, 20.0));
}

void barcode(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    const qreal bars[][2] = {{3, 2}, {6, 1}, {8, 2}, {11, 1}, {13, 3}, {17, 1}, {19, 2}};
    for (const auto& bar : bars) p.drawRect(QRectF(bar[0], 4, bar[1], 13));
    // The human-readable line under the symbol.
    p.setBrush(kAccent);
    p.drawRect(QRectF(3, 19, 7, 1.6));
    p.drawRect(QRectF(14, 19, 7, 1.6));
}

void rectangle(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawRoundedRect(QRectF(3, 6, 18, 12), 1, 1);
}

void line(QPainter& p) {
    p.setPen(pen(kInk, 2.4));
    p.drawLine(QPointF(5.5, 18.5), QPointF(18.5, 5.5));
    p.setPen(pen(kAccent, 1.4));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3, 16, 5, 5));
    p.drawRect(QRectF(16, 3, 5, 5));
}

void box(QPainter& p) {
    p.setPen(pen(kInk, 3.0, Qt::SquareCap));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(4.5, 6.5, 15, 11));
}

void picture(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(kAccentLight);
    p.drawRect(QRectF(3, 4, 18, 16));
    p.setBrush(kWarm);
    p.drawEllipse(QPointF(16, 8.8), 2.2, 2.2);
    p.setBrush(kAccent);
    p.drawPolygon(QPolygonF{{3, 20}, {9.5, 11}, {13.5, 16}, {16, 13.5}, {21, 20}});
    p.setPen(pen(kInk, 2.0, Qt::SquareCap));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(3, 4, 18, 16));
}

void align(QPainter& p) {
    // A figure whose corner has snapped onto the grid, and the way it came.
    p.setPen(Qt::NoPen);
    p.setBrush(kGridDot);
    for (const qreal y : {4.0, 12.0, 20.0})
        for (const qreal x : {4.0, 12.0, 20.0}) p.drawRect(QRectF(x - 1.25, y - 1.25, 2.5, 2.5));
    p.setPen(pen(kAccent, 1.8, Qt::SquareCap));
    p.setBrush(kAccentLight);
    p.drawRect(QRectF(4, 4, 8, 8));
    p.setPen(pen(kInk, 2.0));
    p.drawLine(QPointF(21, 21), QPointF(16.5, 16.5));
    p.setBrush(kInk);
    arrowHead(p, QPointF(13.8, 13.8), QPointF(21, 21), 4.4, 3.0);
}

void files(QPainter& p) {
    p.setPen(pen(kInk, 1.6));
    p.setBrush(kWarm);
    QPainterPath back;
    back.moveTo(3, 19);
    back.lineTo(3, 5.5);
    back.lineTo(9, 5.5);
    back.lineTo(11, 8);
    back.lineTo(20, 8);
    back.lineTo(20, 19);
    back.closeSubpath();
    p.drawPath(back);
    p.setBrush(kWarmLight);
    p.drawPolygon(QPolygonF{{3, 19}, {5.5, 11}, {22, 11}, {20, 19}});
}

void setup(QPainter& p) {
    // The label sheet with its width and length.
    p.setPen(pen(kInk, 1.8));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(8.5, 2.5, 12.5, 15), 2, 2);
    p.setPen(pen(kAccent, 1.8));
    p.drawLine(QPointF(11.5, 7), QPointF(18, 7));
    p.drawLine(QPointF(11.5, 10.5), QPointF(16, 10.5));
    p.drawLine(QPointF(11.5, 14), QPointF(17, 14));
    p.setPen(pen(kInk, 1.4, Qt::FlatCap));
    p.drawLine(QPointF(11, 21.5), QPointF(18.5, 21.5));
    p.drawLine(QPointF(4, 5), QPointF(4, 15));
    p.setBrush(kInk);
    arrowHead(p, QPointF(8.5, 21.5), QPointF(14.75, 21.5), 3.0, 2.2);
    arrowHead(p, QPointF(21, 21.5), QPointF(14.75, 21.5), 3.0, 2.2);
    arrowHead(p, QPointF(4, 2.5), QPointF(4, 10), 3.0, 2.2);
    arrowHead(p, QPointF(4, 17.5), QPointF(4, 10), 3.0, 2.2);
}

// A printer; the paper coming out carries what is printed.
void printerBody(QPainter& p) {
    p.setPen(pen(kInk, 1.6));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(7, 3, 10, 6));
    p.setBrush(kBody);
    p.drawRoundedRect(QRectF(2.5, 8.5, 19, 9), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawEllipse(QPointF(18.3, 11.5), 1.1, 1.1);
    p.setPen(pen(kInk, 1.6));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(6.5, 14, 11, 7.5));
}

void testPrint(QPainter& p) {
    printerBody(p);
    p.setPen(pen(kAccent, 1.8, Qt::FlatCap));
    p.drawLine(QPointF(9, 16.4), QPointF(15, 16.4));
    p.drawLine(QPointF(12, 16.4), QPointF(12, 20.5));
}

void print(QPainter& p) {
    printerBody(p);
    p.setPen(pen(kInk, 1.2, Qt::FlatCap));
    p.drawLine(QPointF(8.8, 16.6), QPointF(15.2, 16.6));
    p.drawLine(QPointF(8.8, 19.0), QPointF(13.2, 19.0));
}

void variables(QPainter& p) {
    p.setPen(pen(kInk, 2.4));
    p.drawLine(QPointF(3.5, 7.5), QPointF(10.5, 16.5));
    p.drawLine(QPointF(10.5, 7.5), QPointF(3.5, 16.5));
    p.setPen(pen(kAccent, 2.4));
    p.drawLine(QPointF(14, 9.5), QPointF(20.5, 9.5));
    p.drawLine(QPointF(14, 14.5), QPointF(20.5, 14.5));
}

void newValues(QPainter& p) {
    // Two turning arrows around a count.
    p.setBrush(Qt::NoBrush);
    p.setPen(pen(kAccent, 2.0, Qt::FlatCap));
    const QRectF circle(4, 4, 16, 16);
    p.drawArc(circle, 20 * 16, 140 * 16);
    p.drawArc(circle, 200 * 16, 140 * 16);
    p.setBrush(kAccent);
    const auto onCircle = [](qreal degrees) {
        const qreal radians = degrees * std::numbers::pi / 180.0;
        return QPointF(12 + 8 * std::cos(radians), 12 - 8 * std::sin(radians));
    };
    arrowHead(p, onCircle(12), onCircle(30), 4.2, 3.0);
    arrowHead(p, onCircle(192), onCircle(210), 4.2, 3.0);
    p.setPen(pen(kInk, 2.0, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF{{10.2, 10.0}, {12.6, 8.4}, {12.6, 16.0}});
}

void settings(QPainter& p) {
    QPolygonF teeth;
    constexpr int kPoints = 32;
    for (int k = 0; k < kPoints; ++k) {
        // Each tooth takes four corners: two at the rim, two at the root.
        const qreal radius = (k % 4 == 1 || k % 4 == 2) ? 10.0 : 7.4;
        const qreal radians = (k + 0.5) * 2 * std::numbers::pi / kPoints;
        teeth << QPointF(12 + radius * std::cos(radians), 12 + radius * std::sin(radians));
    }
    QPainterPath gear;
    gear.addPolygon(teeth);
    gear.closeSubpath();
    gear.addEllipse(QPointF(12, 12), 3.2, 3.2);
    gear.setFillRule(Qt::OddEvenFill);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawPath(gear);
}

using Glyph = void (*)(QPainter&);

struct GlyphEntry {
    std::string_view button;
    Glyph draw;
};

// In the toolbar's order, one for each button.
constexpr GlyphEntry kGlyphs[] = {
    {"TextBt", text},       {"BarcBt", barcode},   {"RectBt", rectangle}, {"LineBt", line},
    {"BoxBt", box},         {"PictBt", picture},   {"AlignBt", align},    {"FilesBt", files},
    {"SetupBt", setup},     {"TPrintBt", testPrint}, {"PrintBt", print},  {"VarBt", variables},
    {"NewValuesBt", newValues}, {"SettingsBt", settings},
};
static_assert(std::size(kGlyphs) == kToolbarButtons.size(), "a glyph for every toolbar button");
constexpr bool glyphsInToolbarOrder() {
    for (std::size_t i = 0; i < kToolbarButtons.size(); ++i)
        if (kGlyphs[i].button != kToolbarButtons[i].name) return false;
    return true;
}
static_assert(glyphsInToolbarOrder(), "the glyphs follow the toolbar's buttons");

Glyph glyphOf(const QString& buttonName) {
    for (const GlyphEntry& entry : kGlyphs)
        if (buttonName == QLatin1StringView(entry.button.data(), static_cast<qsizetype>(entry.button.size()))) return entry.draw;
    return nullptr;
}

}  // namespace

void paintToolbarGlyph(QPainter& painter, const QString& buttonName, qreal side) {
    const Glyph glyph = glyphOf(buttonName);
    if (glyph == nullptr) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(side / 24.0, side / 24.0);
    glyph(painter);
    painter.restore();
}

QPixmap toolbarGlyphPixmap(const QString& buttonName, int side, qreal devicePixelRatio) {
    const int pixels = static_cast<int>(std::lround(side * devicePixelRatio));
    QPixmap pixmap(pixels, pixels);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        paintToolbarGlyph(painter, buttonName, pixels);
    }
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

QIcon toolbarIcon(const QString& buttonName) {
    QIcon icon;
    for (const qreal ratio : {1.0, 2.0}) icon.addPixmap(toolbarGlyphPixmap(buttonName, kToolbarGlyphSize, ratio));
    return icon;
}

}  // namespace tavrin
