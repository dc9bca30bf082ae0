#include "app/res/Icons.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmapCache>
#include <QPolygonF>
#include <QTransform>
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <functional>

namespace tarnwick {

namespace {

// One palette for every picture: dark ink outlines, white paper, blue chrome, yellow
// folders, orange data traces, green for adding and red for removing.
const QColor kInk(0x2b, 0x3a, 0x47);
const QColor kPaper(0xff, 0xff, 0xff);
const QColor kPaperShade(0xd9, 0xe2, 0xea);
const QColor kBlue(0x1f, 0x6f, 0xc5);
const QColor kBlueLight(0xdc, 0xeb, 0xf8);
const QColor kFolder(0xf3, 0xc1, 0x4b);
const QColor kFolderDark(0xd1, 0x93, 0x1c);
const QColor kTrace(0xe8, 0x5d, 0x1c);
const QColor kGreen(0x2e, 0x9d, 0x46);
const QColor kRed(0xd8, 0x39, 0x2b);
const QColor kSteel(0xa9, 0xb6, 0xc2);
const QColor kText(0x6b, 0x7b, 0x8a);

// --- a small pixel font for the 16-pixel game badges --------------------------------
// Anti-aliased type at 16 pixels turns to mush; these glyphs are five pixels high and
// land exactly on the pixel grid.

struct Glyph {
    char ch;
    const char* rows[5];  // '1' sets a pixel; every row of a glyph has the same width
};

constexpr Glyph kGlyphs[] = {
    {'0', {"111", "101", "101", "101", "111"}},
    {'1', {"01", "11", "01", "01", "01"}},
    {'2', {"111", "001", "111", "100", "111"}},
    {'3', {"111", "001", "011", "001", "111"}},
    {'4', {"101", "101", "111", "001", "001"}},
    {'C', {"011", "100", "100", "100", "011"}},
    {'F', {"111", "100", "110", "100", "100"}},
    {'G', {"011", "100", "101", "101", "011"}},
    {'K', {"101", "101", "110", "101", "101"}},
    {'L', {"100", "100", "100", "100", "111"}},
    {'M', {"10001", "11011", "10101", "10001", "10001"}},
    {'P', {"110", "101", "110", "100", "100"}},
    {'R', {"110", "101", "110", "101", "101"}},
    {'S', {"011", "100", "010", "001", "110"}},
    {'V', {"101", "101", "101", "101", "010"}},
    {'?', {"111", "001", "011", "000", "010"}},
};

const Glyph* FindGlyph(char ch) {
    for (const Glyph& g : kGlyphs)
        if (g.ch == ch) return &g;
    return nullptr;
}

int GlyphWidth(const Glyph& g) { return static_cast<int>(std::strlen(g.rows[0])); }

int PixelTextWidth(const char* text) {
    int width = 0;
    for (const char* c = text; *c; ++c) {
        if (const Glyph* g = FindGlyph(*c)) width += GlyphWidth(*g) + (width > 0 ? 1 : 0);
    }
    return width;
}

void DrawPixelText(QPainter& p, const char* text, int x, int y, const QColor& color) {
    for (const char* c = text; *c; ++c) {
        const Glyph* g = FindGlyph(*c);
        if (!g) continue;
        for (int row = 0; row < 5; ++row)
            for (int col = 0; col < GlyphWidth(*g); ++col)
                if (g->rows[row][col] == '1') p.fillRect(x + col, y + row, 1, 1, color);
        x += GlyphWidth(*g) + 1;
    }
}

// --- game badges -----------------------------------------------------------------------

// A game's badge labels, from its row: one or two lines ('\n' between them).
struct GameStyle {
    QByteArray small1, small2;  // at 16 pixels
    QByteArray large1, large2;  // at 32 pixels
    QColor fill;
};

GameStyle StyleOf(morlund::GameType game) {
    const morlund::GameInfo& row = morlund::GetGameInfo(game);
    const QList<QByteArray> small = QByteArray(row.badgeSmall).split('\n');
    const QList<QByteArray> large = QByteArray(row.badgeLarge).split('\n');
    const std::uint32_t bgr = row.badgeColour;
    return {small.value(0), small.value(1), large.value(0), large.value(1),
            QColor(static_cast<int>(bgr & 0xff), static_cast<int>((bgr >> 8) & 0xff),
                   static_cast<int>((bgr >> 16) & 0xff))};
}

void PaintBadge(QPainter& p, int size, const QColor& fill) {
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box(0.5, 0.5, size - 1.0, size - 1.0);
    const double radius = size * 0.16;
    QLinearGradient gradient(0, 0, 0, size);
    gradient.setColorAt(0.0, fill.lighter(125));
    gradient.setColorAt(1.0, fill.darker(110));
    p.setBrush(gradient);
    p.setPen(QPen(fill.darker(170), 1.0));
    p.drawRoundedRect(box, radius, radius);
    if (size >= 24) {
        // A thin highlight below the top edge gives the larger badge some depth.
        p.setPen(QPen(QColor(255, 255, 255, 80), 1.0));
        p.drawLine(QPointF(radius, 1.5), QPointF(size - radius, 1.5));
    }
}

void PaintSmallGameLabel(QPainter& p, int size, const GameStyle& style) {
    const bool twoLines = !style.small2.isEmpty();
    const int height = twoLines ? 11 : 5;
    const int top = (size - height + 1) / 2;
    DrawPixelText(p, style.small1.constData(),
                  (size - PixelTextWidth(style.small1.constData())) / 2, top, Qt::white);
    if (twoLines)
        DrawPixelText(p, style.small2.constData(),
                      (size - PixelTextWidth(style.small2.constData())) / 2, top + 6, Qt::white);
}

void PaintLargeGameLabel(QPainter& p, int size, const GameStyle& style) {
    const bool twoLines = !style.large2.isEmpty();
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setBold(true);
    font.setStretch(QFont::SemiCondensed);
    font.setHintingPreference(QFont::PreferFullHinting);
    // The largest type at which both lines fit inside the border.
    const double maxWidth = size * 0.84;
    const double maxHeight = size * (twoLines ? 0.40 : 0.50);
    int pixels = std::max(6, static_cast<int>(maxHeight));
    for (; pixels > 6; --pixels) {
        font.setPixelSize(pixels);
        const QFontMetricsF fm(font);
        const double width = std::max(fm.horizontalAdvance(QString::fromLatin1(style.large1)),
                                      fm.horizontalAdvance(QString::fromLatin1(style.large2)));
        if (width <= maxWidth && fm.capHeight() <= maxHeight) break;
    }
    font.setPixelSize(pixels);
    p.setFont(font);
    const QFontMetricsF fm(font);
    const double cap = fm.capHeight();
    const double gap = std::max(2.0, size * 0.08);
    const double blockHeight = twoLines ? 2 * cap + gap : cap;
    const double firstBase = std::round((size - blockHeight) / 2.0 + cap);
    auto line = [&](const QByteArray& text, double baseline) {
        const QString s = QString::fromLatin1(text);
        const double x = (size - fm.horizontalAdvance(s)) / 2.0;
        p.setPen(QColor(0, 0, 0, 70));
        p.drawText(QPointF(x + size / 32.0, baseline + size / 32.0), s);
        p.setPen(Qt::white);
        p.drawText(QPointF(x, baseline), s);
    };
    line(style.large1, firstBase);
    if (twoLines) line(style.large2, std::round(firstBase + gap + cap));
}

QPixmap DrawGameIcon(morlund::GameType game, int size) {
    const GameStyle style = StyleOf(game);
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    PaintBadge(p, size, style.fill);
    if (size < 24) {
        p.setRenderHint(QPainter::Antialiasing, false);
        PaintSmallGameLabel(p, size, style);
    } else {
        PaintLargeGameLabel(p, size, style);
    }
    return pixmap;
}

// --- command pictograms, on a 16-unit grid ---------------------------------------------
// Lines one unit wide run along half units, so they fall on whole pixels at 16 and 32.

QPen Pen(const QColor& color, double width = 1.0) {
    return QPen(color, width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
}
QPen RoundPen(const QColor& color, double width) {
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void FillOutlined(QPainter& p, const QPainterPath& path, const QBrush& fill,
                  const QColor& line = kInk) {
    p.setPen(Pen(line));
    p.setBrush(fill);
    p.drawPath(path);
}

QPainterPath Polygon(std::initializer_list<QPointF> points) {
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points)));
    path.closeSubpath();
    return path;
}

// A small window with a blue title bar; returns the client area.
QRectF Window(QPainter& p, const QRectF& r) {
    p.setPen(Qt::NoPen);
    p.setBrush(kPaper);
    p.drawRect(r);
    p.setBrush(kBlue);
    p.drawRect(QRectF(r.left(), r.top(), r.width(), 2.5));
    p.setPen(Pen(kInk));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r);
    return QRectF(r.left() + 0.5, r.top() + 2.5, r.width() - 1.0, r.height() - 3.0);
}

void OpenFolder(QPainter& p) {
    FillOutlined(p,
                 Polygon({{1.5, 13.5},
                          {1.5, 2.5},
                          {5.5, 2.5},
                          {7.5, 4.5},
                          {12.5, 4.5},
                          {12.5, 7.5},
                          {12.5, 13.5}}),
                 kFolderDark);
    p.setPen(Qt::NoPen);
    p.setBrush(kPaper);
    p.drawRect(QRectF(3.5, 5.5, 7.0, 3.0));  // a sheet inside
    FillOutlined(p, Polygon({{1.5, 13.5}, {4.5, 7.5}, {15.5, 7.5}, {12.5, 13.5}}), kFolder);
}

void DataPage(QPainter& p) {
    FillOutlined(p, Polygon({{2.5, 1.5}, {8.5, 1.5}, {11.5, 4.5}, {11.5, 14.5}, {2.5, 14.5}}),
                 kPaper);
    FillOutlined(p, Polygon({{8.5, 1.5}, {8.5, 4.5}, {11.5, 4.5}}), kPaperShade);
    p.setPen(RoundPen(kTrace, 1.25));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({{4.5, 11.0}, {6.0, 7.0}, {7.5, 9.0}, {9.5, 6.0}}));
}

void SignBadge(QPainter& p, const QColor& color, bool plus) {
    const QPointF c(11.5, 11.5);
    p.setPen(Pen(color.darker(140)));
    p.setBrush(color);
    p.drawEllipse(c, 4.0, 4.0);
    p.setPen(Pen(Qt::white, 1.0));
    p.drawLine(QPointF(9.5, 11.5), QPointF(13.5, 11.5));
    if (plus) p.drawLine(QPointF(11.5, 9.5), QPointF(11.5, 13.5));
}

void Disk(QPainter& p) {
    FillOutlined(p, Polygon({{1.5, 1.5}, {12.5, 1.5}, {14.5, 3.5}, {14.5, 14.5}, {1.5, 14.5}}),
                 kBlue);
    p.setPen(Qt::NoPen);
    p.setBrush(kPaperShade);
    p.drawRect(QRectF(4.0, 2.0, 7.0, 4.0));  // shutter
    p.setBrush(kInk);
    p.drawRect(QRectF(8.0, 3.0, 2.0, 2.0));
    p.setBrush(kPaper);
    p.drawRect(QRectF(3.0, 8.0, 10.0, 6.0));  // label
    p.setPen(Pen(kPaperShade));
    p.drawLine(QPointF(4.5, 10.5), QPointF(11.5, 10.5));
    p.drawLine(QPointF(4.5, 12.5), QPointF(9.5, 12.5));
}

// A spanner (the car setup) with its jaw at `head`, the handle running down to the left.
// A clear margin around it keeps it apart from a picture underneath.
void Spanner(QPainter& p, QPointF head, double scale) {
    QPainterPath body;
    body.addEllipse(QPointF(0, 0), 3.2, 3.2);
    QPainterPath handle;
    handle.addRoundedRect(QRectF(0.0, -1.4, 11.0, 2.8), 1.4, 1.4);
    body = body.united(handle);
    QPainterPath jaw;
    jaw.addRect(QRectF(-4.0, -1.2, 3.6, 2.4));
    body = body.subtracted(jaw);
    QTransform t;
    t.translate(head.x(), head.y());
    t.rotate(135.0);
    t.scale(scale, scale);
    const QPainterPath shape = t.map(body).simplified();
    if (scale < 1.0) {
        p.save();
        p.setCompositionMode(QPainter::CompositionMode_Clear);
        p.setPen(RoundPen(Qt::black, 3.0));
        p.setBrush(Qt::black);
        p.drawPath(shape);
        p.restore();
    }
    FillOutlined(p, shape, kSteel);
}

void Magnifier(QPainter& p, QPointF c, double r, QPointF handleEnd, int sign) {
    p.setPen(RoundPen(kInk, 2.2));
    const double k = (r + 0.6) / std::sqrt(2.0);
    p.drawLine(QPointF(c.x() + k, c.y() + k), handleEnd);
    p.setPen(Pen(kInk));
    p.setBrush(kBlueLight);
    p.drawEllipse(c, r, r);
    if (sign != 0) {
        const double s = r - 2.0;
        p.setPen(Pen(kInk));
        p.drawLine(QPointF(c.x() - s, c.y()), QPointF(c.x() + s, c.y()));
        if (sign > 0) p.drawLine(QPointF(c.x(), c.y() - s), QPointF(c.x(), c.y() + s));
    }
}

// A double-headed arrow from a to b, blue.
void AxisArrow(QPainter& p, QPointF a, QPointF b) {
    const QPointF d = (b - a) / std::hypot(b.x() - a.x(), b.y() - a.y());
    const QPointF n(-d.y(), d.x());
    const double head = 2.5;
    const double half = 2.0;
    p.setPen(Pen(kBlue));
    p.drawLine(a + d * head, b - d * head);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawPolygon(QPolygonF({a, a + d * head + n * half, a + d * head - n * half}));
    p.drawPolygon(QPolygonF({b, b - d * head + n * half, b - d * head - n * half}));
}

// A smooth closed curve through the midpoints of a polygon, its corners rounded off.
QPainterPath SmoothLoop(const QList<QPointF>& pts) {
    QPainterPath path;
    const auto n = pts.size();
    path.moveTo((pts[n - 1] + pts[0]) / 2);
    for (qsizetype i = 0; i < n; ++i)
        path.quadTo(pts[i], (pts[i] + pts[(i + 1) % n]) / 2);
    path.closeSubpath();
    return path;
}

void PaintCommand(QPainter& p, CommandIcon id) {
    switch (id) {
        case CommandIcon::FileOpen:
            OpenFolder(p);
            break;
        case CommandIcon::AddBuffers:
            DataPage(p);
            SignBadge(p, kGreen, true);
            break;
        case CommandIcon::DeleteBuffers:
            DataPage(p);
            SignBadge(p, kRed, false);
            break;
        case CommandIcon::SetupOpen:
            OpenFolder(p);
            Spanner(p, {12.4, 8.4}, 0.8);
            break;
        case CommandIcon::SetupSave:
            Disk(p);
            Spanner(p, {12.4, 8.4}, 0.8);
            break;
        case CommandIcon::SetupEdit:
            Spanner(p, {10.6, 5.4}, 1.0);
            break;
        case CommandIcon::NewStatView: {
            const QRectF c = Window(p, QRectF(1.5, 1.5, 13.0, 13.0));
            p.setPen(Qt::NoPen);
            const double bottom = c.bottom();
            p.setBrush(kBlue);
            p.drawRect(QRectF(3.0, bottom - 4.0, 2.0, 4.0));
            p.setBrush(kTrace);
            p.drawRect(QRectF(6.0, bottom - 7.0, 2.0, 7.0));
            p.setBrush(kGreen);
            p.drawRect(QRectF(9.0, bottom - 5.0, 2.0, 5.0));
            p.setBrush(kBlue);
            p.drawRect(QRectF(12.0, bottom - 8.0, 2.0, 8.0));
            break;
        }
        case CommandIcon::NewGraphView: {
            Window(p, QRectF(1.5, 1.5, 13.0, 13.0));
            p.setPen(RoundPen(kTrace, 1.3));
            p.setBrush(Qt::NoBrush);
            p.drawPolyline(QPolygonF(
                {{3.0, 12.0}, {5.0, 7.5}, {7.0, 9.5}, {9.5, 5.5}, {11.5, 9.0}, {13.0, 7.0}}));
            break;
        }
        case CommandIcon::NewTextView: {
            Window(p, QRectF(1.5, 1.5, 13.0, 13.0));
            p.setPen(Pen(kBlue));
            p.drawLine(QPointF(3.5, 6.5), QPointF(6.5, 6.5));
            p.drawLine(QPointF(8.5, 6.5), QPointF(12.5, 6.5));
            p.setPen(Pen(kText));
            for (double y : {8.5, 10.5, 12.5}) {
                p.drawLine(QPointF(3.5, y), QPointF(6.5, y));
                p.drawLine(QPointF(8.5, y), QPointF(12.5, y));
            }
            break;
        }
        case CommandIcon::NewTrackView: {
            Window(p, QRectF(1.5, 1.5, 13.0, 13.0));
            p.setPen(RoundPen(kInk, 1.25));
            p.setBrush(Qt::NoBrush);
            p.drawPath(SmoothLoop(
                {{3.0, 12.5}, {3.0, 5.5}, {8.5, 5.5}, {9.0, 9.0}, {13.0, 7.0}, {13.0, 12.5}}));
            break;
        }
        case CommandIcon::CursorMode: {
            p.setPen(RoundPen(kBlue, 1.3));
            p.setBrush(Qt::NoBrush);
            p.drawPolyline(QPolygonF(
                {{1.0, 11.0}, {4.0, 6.0}, {6.5, 8.5}, {9.5, 5.0}, {12.0, 10.0}, {15.0, 7.0}}));
            p.setPen(Pen(kRed));
            p.drawLine(QPointF(9.5, 3.5), QPointF(9.5, 13.5));
            p.setPen(Qt::NoPen);
            p.setBrush(kRed);
            p.drawPolygon(QPolygonF({{6.5, 0.5}, {12.5, 0.5}, {9.5, 3.5}}));
            p.drawPolygon(QPolygonF({{6.5, 15.5}, {12.5, 15.5}, {9.5, 12.5}}));
            break;
        }
        case CommandIcon::ZoomSelection: {
            QPen dashed(kBlue, 1.0, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
            dashed.setDashPattern({2.0, 1.0});
            p.setPen(dashed);
            p.setBrush(QColor(0x1f, 0x6f, 0xc5, 40));
            p.drawRect(QRectF(1.5, 1.5, 11.0, 8.0));
            Magnifier(p, {9.5, 9.5}, 3.5, {14.3, 14.3}, 0);
            break;
        }
        case CommandIcon::ZoomInX:
        case CommandIcon::ZoomOutX:
            Magnifier(p, {6.5, 6.5}, 4.5, {11.0, 11.0}, id == CommandIcon::ZoomInX ? 1 : -1);
            AxisArrow(p, {0.5, 14.5}, {15.5, 14.5});
            break;
        case CommandIcon::ZoomInY:
        case CommandIcon::ZoomOutY:
            Magnifier(p, {6.5, 6.5}, 4.5, {11.0, 11.0}, id == CommandIcon::ZoomInY ? 1 : -1);
            AxisArrow(p, {14.5, 0.5}, {14.5, 15.5});
            break;
        case CommandIcon::Cascade:
            Window(p, QRectF(1.5, 1.5, 9.0, 7.0));
            Window(p, QRectF(3.5, 4.5, 9.0, 7.0));
            Window(p, QRectF(5.5, 7.5, 9.0, 7.0));
            break;
        case CommandIcon::TileHorizontally:
            Window(p, QRectF(1.5, 1.5, 13.0, 6.0));
            Window(p, QRectF(1.5, 8.5, 13.0, 6.0));
            break;
        case CommandIcon::TileVertically:
            Window(p, QRectF(1.5, 1.5, 6.0, 13.0));
            Window(p, QRectF(8.5, 1.5, 6.0, 13.0));
            break;
    }
}

QPixmap DrawCommandIcon(CommandIcon id, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    PaintCommand(p, id);
    return pixmap;
}

// --- the program icon, on a 64-unit grid -----------------------------------------------
// Two telemetry traces and a cursor line on a dark panel: a lap being compared.

QPixmap DrawProgramIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const double unit = 64.0 / size;  // one pixel in design units
    p.scale(1.0 / unit, 1.0 / unit);

    const QRectF panel(2.0 + unit / 2, 2.0 + unit / 2, 60.0 - unit, 60.0 - unit);
    QLinearGradient bg(0, 0, 0, 64);
    bg.setColorAt(0.0, QColor(0x2f, 0x4e, 0x70));
    bg.setColorAt(1.0, QColor(0x13, 0x22, 0x33));
    p.setBrush(bg);
    p.setPen(QPen(QColor(0x0b, 0x16, 0x22), unit));
    p.drawRoundedRect(panel, 11.0, 11.0);

    if (size >= 32) {
        p.setPen(QPen(QColor(255, 255, 255, 40), unit));
        for (double y : {18.0, 32.0, 46.0})
            p.drawLine(QPointF(8.0, y), QPointF(56.0, y));
    }
    auto trace = [&](std::initializer_list<QPointF> points, const QColor& color) {
        const QList<QPointF> pts(points);
        QPainterPath path(pts.front());
        for (qsizetype i = 1; i + 1 < pts.size(); ++i)
            path.quadTo(pts[i], (pts[i] + pts[i + 1]) / 2);
        path.lineTo(pts.back());
        p.setPen(
            QPen(color, std::max(4.0, 1.7 * unit), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    };
    trace({{9, 50}, {14, 20}, {22, 16}, {30, 40}, {38, 44}, {46, 16}, {55, 12}},
          QColor(0x4f, 0xc3, 0xf7));
    trace({{9, 40}, {16, 36}, {24, 50}, {34, 52}, {44, 30}, {50, 38}, {55, 34}},
          QColor(0xff, 0x8a, 0x2a));
    // The cursor that compares both laps at one point of the track.
    p.setPen(QPen(QColor(255, 255, 255, 210), std::max(2.0, unit)));
    p.drawLine(QPointF(40.0, 8.0), QPointF(40.0, 56.0));
    return pixmap;
}

QPixmap Cached(const QString& key, const std::function<QPixmap()>& draw) {
    QPixmap pixmap;
    if (!QPixmapCache::find(key, &pixmap)) {
        pixmap = draw();
        QPixmapCache::insert(key, pixmap);
    }
    return pixmap;
}

}  // namespace

QPixmap ProgramIconPixmap(int size) {
    size = std::max(size, 1);
    return Cached(QStringLiteral("tarnwick/program/%1").arg(size),
                  [size] { return DrawProgramIcon(size); });
}

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(ProgramIconPixmap(size));
    return icon;
}

QPixmap GameIconPixmap(morlund::GameType game, int size) {
    size = std::max(size, 1);
    return Cached(QStringLiteral("tarnwick/game/%1/%2").arg(morlund::GameIndex(game)).arg(size),
                  [game, size] { return DrawGameIcon(game, size); });
}

QIcon GameIcon(morlund::GameType game) {
    QIcon icon;
    icon.addPixmap(GameIconPixmap(game, 16));
    icon.addPixmap(GameIconPixmap(game, 32));
    return icon;
}

QPixmap CommandIconPixmap(CommandIcon id, int size) {
    size = std::max(size, 1);
    return Cached(QStringLiteral("tarnwick/command/%1/%2").arg(static_cast<int>(id)).arg(size),
                  [id, size] { return DrawCommandIcon(id, size); });
}

QIcon MakeCommandIcon(CommandIcon id) {
    QIcon icon;
    icon.addPixmap(CommandIconPixmap(id, 16));
    icon.addPixmap(CommandIconPixmap(id, 32));
    return icon;
}

}  // namespace tarnwick
