#include "app/graph/GraphRenderer.h"

#include <QFontMetrics>
#include <QHash>
#include <QPen>
#include <QStaticText>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "app/graph/GraphFormat.h"
#include "app/graph/GraphRendererImpl.h"
#include "app/graph/GraphSeriesCache.h"
#include "morlund/core/PerfCore.h"
#include "morlund/formats/BufManager.h"
#include "morlund/formats/GameStrings.h"
#include "morlund/items/DataItem.h"
#include "morlund/items/Wheel.h"
#include "pellith/analysis/Corners.h"

namespace tarnwick {

using morlund::BufManager;
using morlund::DataItem;
using morlund::PerfCore;
using morlund::Wheel;

using namespace graph_detail;

bool GraphRenderer::Impl::MakeLayout(const GraphScene& scene, Layout& L) {
    const GraphState& st = *scene.state;
    L.scene = &scene;
    L.state = &st;
    L.font = scene.printing ? printFont : screenFont;
    const QFontMetrics fm(L.font);
    L.lineHeight = std::max(1, fm.lineSpacing());
    const QRect& plot = st.plot;
    L.left = plot.left() + st.leftMargin;
    L.right = plot.left() + plot.width();
    L.top = plot.top();
    L.bottom = plot.top() + plot.height();
    L.width = L.right - L.left;
    L.height = plot.height();
    if (!grid || !grid->SameAs(st.xStart, st.xEnd, L.left, std::max(L.width, 0)))
        grid = std::make_unique<GraphColumnGrid>(st.xStart, st.xEnd, L.left, L.width);
    L.text = scene.printing ? QColor(Qt::black) : kScreenText;
    L.textBackground = scene.printing ? QColor(Qt::white) : QColor(Qt::black);
    L.bufferCount = scene.manager != nullptr ? scene.manager->GetBufCount() : 0;
    L.grid = grid.get();
    if (scene.manager == nullptr || scene.items == nullptr || L.height < 1) return false;
    const GraphItemList& items = *scene.items;
    if (st.yItem < 0 || st.yItem >= static_cast<int>(items.size()) || !items[st.yItem])
        return false;
    L.yItem = items[st.yItem].get();
    if (st.xItem >= 0 && st.xItem < static_cast<int>(items.size())) L.xItem = items[st.xItem].get();
    L.xIsDistance = st.xIsDistance || L.xItem == nullptr || L.xItem->dataItems.empty();

    const GraphItem& y = *L.yItem;
    L.virtualHeight = VirtualExtent(y, st.wheel);
    L.valueScale = y.ValueScale();
    const double minimum = y.Minimum();
    const double maximum = y.Maximum();
    int zero;
    if (maximum > 0 && minimum >= 0) {
        const int raise = y.IsCarChannel() ? L.height / 10 : 4 * L.lineHeight;
        zero = L.bottom - 1 - raise;
    } else if (maximum > 0) {
        zero = L.top + L.height / 2;
    } else {
        zero = L.top;
    }
    L.zeroY = zero - y.offset;

    if (!L.xIsDistance) {
        const GraphItem& x = *L.xItem;
        L.virtualWidth = VirtualExtent(x, st.wheel);
        L.xValueScale = x.ValueScale();
        int origin;
        if (x.Minimum() >= 0)
            origin = L.left;
        else if (x.Maximum() > 0)
            origin = L.left + L.width / 2;
        else
            origin = L.right - 1;
        L.originX = origin - x.offset;
    }
    return true;
}

std::optional<YAxisMap> GraphRenderer::YAxis(const GraphScene& scene) {
    Layout L;
    if (scene.state == nullptr || !m_impl->MakeLayout(scene, L) || L.yItem == nullptr)
        return std::nullopt;
    return YAxisMap{L.zeroY + L.yItem->offset, L.top, L.height, L.valueScale};
}

void GraphRenderer::Impl::DrawBackground(QPainter& p, const GraphScene& scene) const {
    const QColor bg = scene.printing    ? QColor(Qt::white)
                      : scene.lowColour ? QColor(Qt::black)
                                        : kScreenBackground;
    p.fillRect(scene.state->plot, bg);
}

const GraphRenderer::Impl::PreparedText& GraphRenderer::Impl::Prepared(const Layout& L,
                                                                       const QString& text) const {
    QHash<QString, PreparedText>& known = texts[L.scene->printing ? 1 : 0];
    auto it = known.find(text);
    if (it != known.end()) return *it;
    if (known.size() > 4000) known.clear();
    PreparedText prepared;
    prepared.text.setText(text);
    prepared.text.setTextFormat(Qt::PlainText);
    prepared.text.setPerformanceHint(QStaticText::AggressiveCaching);
    prepared.text.prepare(QTransform(), L.font);
    // The width the static text is laid out at: with a stretched font the plain font
    // metrics can come out narrower than the glyphs drawn, which clips the box.
    prepared.width = std::max(QFontMetrics(L.font).horizontalAdvance(text),
                              static_cast<int>(std::ceil(prepared.text.size().width())));
    return *known.insert(text, prepared);
}

void GraphRenderer::Impl::Text(QPainter& p, const Layout& L, int x, int top, const QString& text,
                               const QColor& colour, const QColor& background) const {
    const PreparedText& prepared = Prepared(L, text);
    p.fillRect(QRect(x, top, prepared.width, L.lineHeight), background);
    p.setPen(colour);
    p.drawStaticText(QPoint(x, top), prepared.text);
}

void GraphRenderer::Impl::DrawGrid(QPainter& p, const Layout& L) const {
    const GraphItem& y = *L.yItem;
    const int vh = L.virtualHeight;
    const int labelCount = std::max(L.height / (L.lineHeight + L.lineHeight / 2), 1);
    // The smallest 1, 2 or 5 times a power of ten that leaves room for every label.
    long long step = 0;
    for (long long pow10 = 1; pow10 <= 10000000 && step == 0; pow10 *= 10)
        for (int m : {1, 2, 5})
            if (step == 0 && m * pow10 * labelCount >= vh) step = m * pow10;
    if (step == 0) return;
    // From zero, or from the largest multiple of the step not above -vh.
    const long long ceilSteps = (static_cast<long long>(vh) + step - 1) / step;
    const long long first = y.Minimum() == 0.0 ? 0 : -ceilSteps * step;
    for (long long v = first; v <= vh; v += step) {
        const int py = ClampDevice(L.zeroY - RoundDiv(v * L.height, vh));
        if (py < L.top || py >= L.bottom) continue;
        p.setPen(CosmeticPen(kGridColour));
        p.drawLine(L.left, py, L.right - 1, py);
        const QString label = GraphValueText(static_cast<double>(v) / L.valueScale, L.bufferCount);
        const int cx = Prepared(L, label).width;
        const int ty = std::clamp(py - L.lineHeight / 2, L.top, L.bottom - L.lineHeight);
        Text(p, L, std::max(L.scene->state->plot.left(), L.left - cx), ty, label, L.text,
             L.textBackground);
    }
}

void GraphRenderer::Impl::DrawWheelLegend(QPainter& p, const Layout& L) const {
    const Wheel* wheel = L.state->wheel;
    if (L.yItem->IsCarChannel() || (wheel != nullptr && wheel != Wheel::ALL)) return;
    for (int w = 0; w < 4; ++w)
        Text(p, L, L.left + 2, L.bottom - (4 - w) * L.lineHeight,
             QString::fromStdString(BufManager::GetWheelString(w)),
             GraphRenderer::ToQColor(BufManager::GetWheelColor(w)), L.textBackground);
}

void GraphRenderer::Impl::DrawXAxis(QPainter& p, const Layout& L) const {
    if (L.xIsDistance) return;
    if (L.originX < L.left || L.originX >= L.right) return;
    p.setPen(CosmeticPen(kGridColour));
    p.drawLine(L.originX, L.top, L.originX, L.bottom - 1);
}

// Each corner's number at its apex along the bottom of the plot, with a short tick.
void GraphRenderer::Impl::DrawCornerMarks(QPainter& p, const Layout& L) const {
    const std::vector<pellith::Corner>* corners = L.scene->corners;
    if (!L.xIsDistance || corners == nullptr || L.width < 1) return;
    p.save();
    p.setPen(CosmeticPen(L.scene->printing ? QColor(Qt::black) : QColor(255, 200, 0)));
    for (std::size_t k = 0; k < corners->size(); ++k) {
        const int x = L.Column((*corners)[k].apex);
        if (x < L.left || x >= L.right) continue;
        p.drawLine(x, L.bottom - 1, x, L.bottom - 1 - L.lineHeight / 2);
        p.drawText(QRect(x - 20, L.bottom - 1 - 2 * L.lineHeight, 40, L.lineHeight),
                   Qt::AlignCenter, QString::number(k + 1));
    }
    p.restore();
}

void GraphRenderer::Impl::DrawBox(QPainter& p, const Layout& L, const ValueBox& box) const {
    if (box.text.isEmpty()) return;
    const int lh = L.lineHeight;
    const PreparedText& prepared = Prepared(L, box.text);
    const int cx = prepared.width;
    const int x = box.anchor.x();
    const int y = box.anchor.y();
    const int k = box.index;
    int tx = x;
    int ty = 0;
    QLine leader;
    switch (box.placement) {
        case Placement::kBelow:
            ty = y + ((k % 10) + 1) * lh + 1;
            leader = QLine(x, ty, x, ty - lh / 2);
            break;
        case Placement::kAbove:
            ty = y - ((k % 10) + 2) * lh;
            leader = QLine(x, ty + lh, x, ty + lh + lh / 2);
            break;
        case Placement::kLeft:
            tx = x - cx - lh;
            ty = y + (k % 10) * lh;
            leader = QLine(tx + cx, ty + lh / 2, tx + cx + lh / 2, ty + lh / 2);
            break;
        case Placement::kRight:
            tx = x + lh;
            ty = y - (k % 10) * lh;
            leader = QLine(tx, ty + lh / 2, tx - lh / 2, ty + lh / 2);
            break;
        case Placement::kTop:
            ty = L.top + k * lh;
            break;
        case Placement::kBottom:
            ty = L.bottom - (k + 1) * lh;
            break;
    }
    if (tx + cx > L.right) tx = box.placement == Placement::kTop ? x - cx - 1 : x - cx + 1;
    p.fillRect(QRect(tx, ty, cx, lh), box.colour);
    p.setPen(Qt::black);
    p.drawStaticText(QPoint(tx, ty), prepared.text);
    if (!leader.isNull()) {
        p.setPen(CosmeticPen(box.colour));
        p.drawLine(leader);
    }
}

void GraphRenderer::Impl::DrawSelection(QPainter& p, const Layout& L) const {
    const GraphState& st = *L.state;
    QRect band;
    if (!st.cursorMode) {
        const int a = std::min(st.selStart, st.selEnd);
        const int b = std::max(st.selStart, st.selEnd);
        if (a == b) return;
        band = QRect(a, L.top, b - a, L.height);
    } else {
        if (L.width < 1) return;
        const int h = L.xIsDistance ? L.height : (L.bufferCount + 1) * L.lineHeight;
        band = QRect(L.CursorColumn(), L.top, 1, std::min(h, L.height));
    }
    // Inverting twice restores the picture: a moved band is erased by drawing it again.
    p.save();
    p.setClipping(false);
    p.setCompositionMode(QPainter::CompositionMode_Difference);
    p.fillRect(band, Qt::white);
    p.restore();
}

GraphRenderer::GraphRenderer() : m_impl(std::make_unique<Impl>()) {}
GraphRenderer::~GraphRenderer() = default;

void GraphRenderer::Invalidate() { m_impl->cache.Clear(); }
void GraphRenderer::Invalidate(const morlund::PerfCore* buffer) { m_impl->cache.Drop(buffer); }
void GraphRenderer::KeepOnly(const std::vector<const morlund::PerfCore*>& buffers) {
    m_impl->cache.KeepOnly(buffers);
}

void GraphRenderer::Paint(QPainter& painter, const GraphScene& scene) {
    if (scene.state == nullptr) return;
    Impl& im = *m_impl;
    im.reduce = m_reduce;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setBackgroundMode(Qt::TransparentMode);
    im.DrawBackground(painter, scene);
    Layout L;
    if (!im.MakeLayout(scene, L)) {
        painter.restore();
        return;
    }
    painter.setFont(L.font);
    im.DrawGrid(painter, L);
    im.DrawWheelLegend(painter, L);
    im.DrawXAxis(painter, L);
    im.DrawCornerMarks(painter, L);

    im.boxes.clear();
    painter.save();
    if (L.width >= 1) {
        painter.setClipRect(QRect(L.left, L.top, L.width, L.height));
        if (L.yItem->IsTimeDifference())
            im.DrawTimeDifference(painter, L);
        else if (L.yItem->IsDeltaToReference())
            im.DrawDeltaToReference(painter, L);
        else
            im.DrawItem(painter, L);
    }
    painter.restore();
    // Boxes after every curve, so that no later lap hides an earlier lap's values.
    painter.save();
    painter.setClipRect(scene.state->plot);
    for (const ValueBox& box : im.boxes)
        im.DrawBox(painter, L, box);
    painter.restore();
    im.boxes.clear();

    if (!scene.printing) im.DrawSelection(painter, L);
    painter.restore();
}

void GraphRenderer::PaintSelection(QPainter& painter, const GraphScene& scene) {
    if (scene.state == nullptr || scene.printing) return;
    Layout L;
    m_impl->MakeLayout(scene, L);
    if (L.height < 1) return;
    m_impl->DrawSelection(painter, L);
}

int GraphRenderer::LeftMargin(bool printing) const {
    return QFontMetrics(printing ? m_impl->printFont : m_impl->screenFont)
        .horizontalAdvance(QStringLiteral("-0.000000"));
}

QColor GraphRenderer::ToQColor(std::uint32_t bgr) {
    return QColor(static_cast<int>(bgr & 0xff), static_cast<int>((bgr >> 8) & 0xff),
                  static_cast<int>((bgr >> 16) & 0xff));
}

}  // namespace tarnwick
