#include "app/views/HistogramView.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/graph/GraphRenderer.h"
#include "app/shell/SharedPrinter.h"
#include "app/shell/TarnwickDoc.h"
#include "morlund/core/PerfCore.h"
#include "morlund/formats/BufManager.h"
#include "morlund/items/DataItem.h"
#include "morlund/items/Formula.h"
#include "morlund/items/Wheel.h"
#include "pellith/workspace/Workspace.h"

namespace tarnwick {

using morlund::DataItem;
using morlund::Wheel;

namespace {

QString FromStd(const std::string& text) { return QString::fromStdString(text); }

bool IsDamper(const DataItem* item) { return item == pellith::DamperVelocityItem(); }

QString ChannelLabel(const DataItem* item) {
    if (IsDamper(item)) return QStringLiteral("Damper Velocity");
    return FromStd(item->GetName());
}

// The four wheels in the order the panels stand: fronts above rears.
const Wheel* const kPanelWheels[] = {Wheel::LEFT_FRONT, Wheel::RIGHT_FRONT, Wheel::LEFT_REAR,
                                     Wheel::RIGHT_REAR};

QString Number(double value, int decimals) { return QString::number(value, 'f', decimals); }

// Decimals that show a step of this size.
int DecimalsFor(double step) {
    return step >= 1.0 ? 0 : std::clamp(static_cast<int>(std::ceil(-std::log10(step))), 0, 6);
}

}  // namespace

// The drawing surface under the controls.
class CHistogramView::Plot : public QWidget {
public:
    explicit Plot(CHistogramView& view) : QWidget(&view), m_view(view) {
        setObjectName(QStringLiteral("HistogramPlot"));
        setMinimumSize(200, 150);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        m_view.Paint(painter, rect(), false);
    }

private:
    CHistogramView& m_view;
};

std::vector<const DataItem*> CHistogramView::ChannelChoices() {
    std::vector<const DataItem*> items{pellith::DamperVelocityItem()};
    for (auto it = DataItem::NewIterator(); it->HasNext();) {
        const DataItem* item = it->GetNext();
        if (item == DataItem::DISTANCE || item == DataItem::TIME || IsDamper(item)) continue;
        if (item->GetLevel() > DataItem::LEVEL_ANALYSIS) continue;
        items.push_back(item);
    }
    return items;
}

CHistogramView::CHistogramView(CTarnwickDoc& doc, const AppSettings& settings, QWidget* parent)
    : QWidget(parent), m_doc(&doc), m_app(settings) {
    setObjectName(QStringLiteral("HistogramView"));
    m_settings.item = pellith::DamperVelocityItem();
    m_settings.wheel = Wheel::ALL;
    m_channel = new QComboBox(this);
    m_channel->setObjectName(QStringLiteral("HistogramChannel"));
    m_wheel = new QComboBox(this);
    m_wheel->setObjectName(QStringLiteral("HistogramWheel"));
    m_bin = new QDoubleSpinBox(this);
    m_bin->setObjectName(QStringLiteral("HistogramBin"));
    m_bin->setDecimals(2);
    m_bin->setRange(0.001, 1e6);
    m_knee = new QDoubleSpinBox(this);
    m_knee->setObjectName(QStringLiteral("HistogramKnee"));
    m_knee->setDecimals(1);
    m_knee->setRange(0.1, 1e5);
    m_overlaid = new QCheckBox(tr("Overlaid"), this);
    m_sync = new QCheckBox(tr("Sync"), this);
    m_sync->setToolTip(tr("Follow the stretch selected in the other windows"));
    m_plot = new Plot(*this);

    // Two rows, so that a narrow window still shows every control whole.
    auto* choices = new QHBoxLayout;
    choices->addWidget(m_channel, 3);
    choices->addWidget(m_wheel, 1);
    auto* sizes = new QHBoxLayout;
    sizes->addWidget(new QLabel(tr("Bin"), this));
    sizes->addWidget(m_bin);
    sizes->addWidget(new QLabel(tr("Knee"), this));
    sizes->addWidget(m_knee);
    sizes->addWidget(m_overlaid);
    sizes->addWidget(m_sync);
    sizes->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addLayout(choices);
    layout->addLayout(sizes);
    layout->addWidget(m_plot, 1);

    for (const DataItem* item : ChannelChoices())
        m_channel->addItem(ChannelLabel(item), item->GetOrdinal());
    m_wheel->addItem(tr("All Wheels"), Wheel::ALL->GetOrdinal());
    for (const Wheel* wheel : kPanelWheels)
        m_wheel->addItem(FromStd(wheel->GetName()), wheel->GetOrdinal());

    m_copy = new QAction(tr("&Copy"), this);
    m_copy->setShortcut(QKeySequence::Copy);
    m_copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(m_copy, &QAction::triggered, this, &CHistogramView::Copy);
    m_print = new QAction(tr("&Print..."), this);
    m_print->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    m_print->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(m_print, &QAction::triggered, this, [this] {
        QPrintDialog dialog(&SharedPrinter(), this);
        if (dialog.exec() == QDialog::Accepted) PrintTo(SharedPrinter());
    });
    m_printPreview = new QAction(tr("Print Pre&view"), this);
    connect(m_printPreview, &QAction::triggered, this, [this] {
        QPrintPreviewDialog preview(&SharedPrinter(), this);
        connect(&preview, &QPrintPreviewDialog::paintRequested, this,
                [this](QPrinter* printer) { PrintTo(*printer); });
        preview.exec();
    });
    addActions({m_copy, m_print, m_printPreview});

    const auto changed = [this] { OnControlsChanged(); };
    connect(m_channel, &QComboBox::currentIndexChanged, this, changed);
    connect(m_wheel, &QComboBox::currentIndexChanged, this, changed);
    connect(m_bin, &QDoubleSpinBox::valueChanged, this, changed);
    connect(m_knee, &QDoubleSpinBox::valueChanged, this, changed);
    connect(m_overlaid, &QCheckBox::toggled, this, changed);
    connect(m_sync, &QCheckBox::toggled, this, changed);
    connect(&doc, &CTarnwickDoc::TitleChanged, this, &CHistogramView::Retitle);

    m_from = doc.SelectionFrom();
    m_to = doc.SelectionTo();
    doc.AddView(this);
    Invalidate();
    Retitle();
}

CHistogramView::~CHistogramView() {
    if (m_doc) m_doc->RemoveView(this);
}

void CHistogramView::Apply(const HistogramSettings& settings) {
    const DataItem* item = m_settings.item;
    m_settings = settings;
    if (m_settings.item == nullptr) m_settings.item = item;
    if (m_settings.wheel == nullptr) m_settings.wheel = Wheel::ALL;
    Invalidate();
    Retitle();
}

void CHistogramView::SaveState(pellith::WorkspaceWindow& window) const {
    window.Set("channel", m_settings.item->GetShortName());
    if (m_settings.wheel != nullptr) window.Set("wheel", m_settings.wheel->GetShortName());
    if (m_settings.binWidth > 0.0) window.SetNumber("bin", m_settings.binWidth);
    if (m_settings.knee > 0.0) window.SetNumber("knee", m_settings.knee);
    window.SetBool("overlaid", m_settings.overlaid);
    window.SetBool("sync", m_settings.sync);
}

void CHistogramView::RestoreState(const pellith::WorkspaceWindow& window,
                                  std::vector<std::string>& problems) {
    const morlund::FormulaNames names = morlund::FormulaNames::FromCatalogue();
    HistogramSettings s = m_settings;
    if (const auto channel = window.Get("channel")) {
        const DataItem* item = names.FindItem(*channel);
        const auto choices = ChannelChoices();
        if (item != nullptr && std::find(choices.begin(), choices.end(), item) != choices.end()) {
            s.item = item;
            s.binWidth = 0.0;
        } else {
            problems.push_back("The histogram's channel \"" + *channel + "\" is not known.");
        }
    }
    if (const auto wheel = window.Get("wheel")) {
        const Wheel* w = names.FindWheel(*wheel);
        const bool offered = w == Wheel::ALL || std::find(std::begin(kPanelWheels),
                                                          std::end(kPanelWheels),
                                                          w) != std::end(kPanelWheels);
        if (w != nullptr && offered)
            s.wheel = w;
        else
            problems.push_back("The histogram's wheel \"" + *wheel + "\" is not known.");
    }
    // Widths and knees that are no sizes keep the defaults.
    if (const auto bin = window.GetNumber("bin"); bin && *bin > 0.0) s.binWidth = *bin;
    if (const auto knee = window.GetNumber("knee"); knee && *knee > 0.0) s.knee = *knee;
    if (const auto overlaid = window.GetBool("overlaid")) s.overlaid = *overlaid;
    if (const auto sync = window.GetBool("sync")) s.sync = *sync;
    Apply(s);
}

void CHistogramView::OnUpdate(DocView*, const DocUpdate& update) {
    if (update.IsPosition()) {
        if (!m_settings.sync || !update.hint) return;
        if (update.kind == DocUpdate::Kind::BufferChosen) return;  // every lap is shown
        if (update.hint->selectionFrom == m_from && update.hint->selectionTo == m_to) return;
        m_from = update.hint->selectionFrom;
        m_to = update.hint->selectionTo;
    }
    Invalidate();
    Retitle();
}

void CHistogramView::Invalidate() {
    m_dirty = true;
    FillControls();
    m_plot->update();
}

const std::vector<HistogramPanel>& CHistogramView::Panels() const {
    Compute();
    return m_panels;
}

const std::vector<int>& CHistogramView::Laps() const {
    Compute();
    return m_laps;
}

void CHistogramView::Compute() const {
    if (!m_dirty) return;
    m_dirty = false;
    m_panels.clear();
    m_laps.clear();
    std::vector<const morlund::PerfCore*> laps;
    const morlund::BufManager* manager = m_doc ? m_doc->Manager() : nullptr;
    if (manager != nullptr) {
        for (int b = 0; b < manager->GetBufCount(); ++b) {
            if (!manager->IsBufferEnabled(b)) continue;
            m_laps.push_back(b);
            laps.push_back(manager->GetBuffer(b));
        }
    }
    const DataItem* item = m_settings.item;
    std::vector<const Wheel*> wheels{nullptr};
    if (item->GetDataType() == DataItem::DT_WHEEL) {
        if (m_settings.wheel == nullptr || m_settings.wheel == Wheel::ALL)
            wheels.assign(std::begin(kPanelWheels), std::end(kPanelWheels));
        else
            wheels = {m_settings.wheel};
    }
    const double width =
        m_settings.binWidth > 0.0 ? m_settings.binWidth : pellith::DefaultBinWidth(*item);
    const double knee = m_settings.knee > 0.0 ? m_settings.knee : pellith::DefaultKneeSpeed();
    for (const Wheel* wheel : wheels) {
        HistogramPanel panel;
        panel.wheel = wheel;
        panel.histogram = pellith::ComputeHistogram(laps, {item, wheel, m_from, m_to, width, knee});
        panel.damper = IsDamper(item);
        m_panels.push_back(std::move(panel));
    }
}

void CHistogramView::FillControls() {
    m_filling = true;
    const DataItem* item = m_settings.item;
    m_channel->setCurrentIndex(std::max(0, m_channel->findData(item->GetOrdinal())));
    m_wheel->setEnabled(item->GetDataType() == DataItem::DT_WHEEL);
    const Wheel* wheel = m_settings.wheel != nullptr ? m_settings.wheel : Wheel::ALL;
    m_wheel->setCurrentIndex(std::max(0, m_wheel->findData(wheel->GetOrdinal())));
    m_bin->setSuffix(QStringLiteral(" ") + FromStd(item->GetShortConvertedQuantityName()));
    const double width =
        m_settings.binWidth > 0.0 ? m_settings.binWidth : pellith::DefaultBinWidth(*item);
    // Enough decimals for the width, at least two.
    const int decimals = std::max(2, DecimalsFor(width));
    m_bin->setDecimals(decimals);
    m_bin->setMinimum(std::pow(10.0, -decimals));
    m_bin->setValue(width);
    m_knee->setSuffix(QStringLiteral(" ") +
                      FromStd(pellith::DamperVelocityItem()->GetShortConvertedQuantityName()));
    m_knee->setValue(m_settings.knee > 0.0 ? m_settings.knee : pellith::DefaultKneeSpeed());
    m_knee->setEnabled(IsDamper(item));
    m_overlaid->setChecked(m_settings.overlaid);
    m_sync->setChecked(m_settings.sync);
    m_filling = false;
}

void CHistogramView::OnControlsChanged() {
    if (m_filling) return;
    HistogramSettings s = m_settings;
    const int ordinal = m_channel->currentData().toInt();
    const DataItem* item = ordinal >= 0 && ordinal < DataItem::GetCount() ? DataItem::Get(ordinal)
                                                                          : m_settings.item;
    if (item != m_settings.item) {
        s.item = item;
        s.binWidth = 0.0;  // the new channel's own default
    } else {
        s.binWidth = m_bin->value();
    }
    s.wheel = Wheel::Get(m_wheel->currentData().toInt());
    s.knee = m_knee->value();
    s.overlaid = m_overlaid->isChecked();
    s.sync = m_sync->isChecked();
    Apply(s);
}

void CHistogramView::Retitle() {
    if (!m_doc) return;
    const QString title = ChannelLabel(m_settings.item) + QStringLiteral(" Histogram; ") +
                          m_doc->Title() + QStringLiteral(" - Histogram View");
    if (title != windowTitle()) setWindowTitle(title);
}

QString CHistogramView::CopyText() const {
    Compute();
    QString text;
    const QString unit = FromStd(m_settings.item->GetShortConvertedQuantityName());
    const morlund::BufManager* manager = m_doc ? m_doc->Manager() : nullptr;
    QStringList names;
    for (int b : m_laps)
        names << (manager != nullptr ? FromStd(manager->GetBuffer(b)->InfoGetName()) : QString());
    for (const HistogramPanel& panel : m_panels) {
        const pellith::Histogram& h = panel.histogram;
        const int decimals = DecimalsFor(h.binWidth);
        text += ChannelLabel(m_settings.item);
        if (panel.wheel != nullptr) text += QStringLiteral(" (%1)").arg(FromStd(panel.wheel->GetName()));
        text += QStringLiteral("\nfrom [%1]\tto [%1]").arg(unit);
        for (const QString& name : names)
            text += QStringLiteral("\t%1 [%]").arg(name);
        text += '\n';
        for (int bin = 0; bin < h.binCount; ++bin) {
            text += Number(h.BinFrom(bin), decimals) + QStringLiteral("\t") + Number(h.BinFrom(bin + 1), decimals);
            for (const pellith::HistogramLap& lap : h.laps)
                text += QStringLiteral("\t") + Number(lap.percent[bin], 2);
            text += '\n';
        }
        if (panel.damper) {
            const char* const rows[] = {"Bump", "Bump slow", "Bump fast", "Rebound", "Rebound slow",
                                        "Rebound fast"};
            for (int r = 0; r < 6; ++r) {
                text += QStringLiteral("%1 [%]\t").arg(rows[r]);
                for (const pellith::HistogramLap& lap : h.laps) {
                    const pellith::DamperShares& s = lap.shares;
                    const double values[] = {s.bump,    s.bumpSlow,    s.bumpFast,
                                             s.rebound, s.reboundSlow, s.reboundFast};
                    text += QStringLiteral("\t") + Number(values[r], 2);
                }
                text += '\n';
            }
        }
        text += '\n';
    }
    return text;
}

void CHistogramView::Copy() { QApplication::clipboard()->setText(CopyText()); }

void CHistogramView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.addAction(m_copy);
    menu.addSeparator();
    menu.addAction(m_print);
    menu.addAction(m_printPreview);
    menu.exec(event->globalPos());
}

void CHistogramView::Paint(QPainter& painter, const QRect& rect, bool printing) const {
    Compute();
    painter.save();
    // Black on screen and white on paper, as the graphs: the lap colours are made for it.
    const QColor background = printing ? QColor(Qt::white) : QColor(Qt::black);
    const QColor ink = printing ? QColor(Qt::black) : QColor(Qt::white);
    const QColor grid = printing ? QColor(220, 220, 220) : QColor(70, 70, 70);
    painter.fillRect(rect, background);
    QFont font = painter.font();
    font.setPixelSize(printing ? 14 : 11);
    painter.setFont(font);
    const QFontMetrics fm(font);
    const int line = fm.height();
    const morlund::BufManager* manager = m_doc ? m_doc->Manager() : nullptr;
    if (m_panels.empty() || m_laps.empty() || manager == nullptr) {
        painter.setPen(ink);
        painter.drawText(rect, Qt::AlignCenter, tr("No laps to show"));
        painter.restore();
        return;
    }
    const int count = static_cast<int>(m_panels.size());
    const int columns = count > 1 ? 2 : 1;
    const int rows = (count + columns - 1) / columns;
    const QString unit = FromStd(m_settings.item->GetShortConvertedQuantityName());
    const double knee = m_settings.knee > 0.0 ? m_settings.knee : pellith::DefaultKneeSpeed();
    for (int p = 0; p < count; ++p) {
        const HistogramPanel& panel = m_panels[p];
        const pellith::Histogram& h = panel.histogram;
        const int w = rect.width() / columns, ht = rect.height() / rows;
        QRect area(rect.left() + (p % columns) * w, rect.top() + (p / columns) * ht, w, ht);
        area.adjust(4, 4, -4, -4);
        // The damper shares stand beside the plot.
        QRect shares;
        if (panel.damper) {
            const int sharesWidth =
                std::min(area.width() / 3, fm.horizontalAdvance("  slow 100.0  fast 100.0") + 8);
            shares = QRect(area.right() - sharesWidth + 1, area.top(), sharesWidth, area.height());
            area.setRight(shares.left() - 6);
        }
        painter.setPen(ink);
        QString title = ChannelLabel(m_settings.item) + QStringLiteral(" [") + unit + ']';
        if (panel.wheel != nullptr) title += QStringLiteral(" - ") + FromStd(panel.wheel->GetName());
        painter.drawText(QRect(area.left(), area.top(), area.width(), line), Qt::AlignCenter, title);
        const int labelWidth = fm.horizontalAdvance("100 %") + 6;
        if (h.binCount == 0) {
            painter.drawText(area, Qt::AlignCenter, tr("No values"));
            continue;
        }
        // Percentages: the axis reaches the highest bar, on a round step.
        double top = 0.0;
        for (const pellith::HistogramLap& lap : h.laps)
            for (double v : lap.percent)
                top = std::max(top, v);
        const double yStep = pellith::RoundBinWidth(std::max(top, 1.0) / 5.0);
        top = std::ceil(std::max(top, 1.0) / yStep) * yStep;
        // The axis spans the bins that hold a visible share on some lap: a few stray values
        // far out would squeeze the rest into a sliver.
        constexpr double kVisibleShare = 0.05;  // per cent
        int firstBin = h.binCount, lastBin = -1;
        for (const pellith::HistogramLap& lap : h.laps) {
            for (int bin = 0; bin < h.binCount; ++bin) {
                if (lap.percent[bin] < kVisibleShare) continue;
                firstBin = std::min(firstBin, bin);
                lastBin = std::max(lastBin, bin);
            }
        }
        if (lastBin < firstBin) {
            firstBin = 0;
            lastBin = h.binCount - 1;
        }
        const double x0 = h.BinFrom(firstBin), x1 = h.BinFrom(lastBin + 1);
        const double xStep = pellith::RoundBinWidth((x1 - x0) / 8.0);
        const auto xLabel = [&](double x) {
            return Number(std::fabs(x) < xStep * 1e-6 ? 0.0 : x, DecimalsFor(xStep));
        };
        // Room on the right for half of the last label, which is centred on its tick.
        const double lastTick = std::floor(x1 / xStep + 1e-9) * xStep;
        const int rightPad = std::max(4, fm.horizontalAdvance(xLabel(lastTick)) / 2 + 2);
        const QRect plot(area.left() + labelWidth, area.top() + line + 4,
                         area.width() - labelWidth - rightPad, area.height() - 2 * line - 10);
        if (plot.width() < 20 || plot.height() < 20) {
            painter.drawText(area, Qt::AlignCenter, tr("No values"));
            continue;
        }
        const auto px = [&](double v) { return plot.left() + (v - x0) / (x1 - x0) * plot.width(); };
        const auto py = [&](double v) { return plot.bottom() - v / top * plot.height(); };

        painter.setPen(QPen(grid, 0));
        for (double y = 0.0; y <= top + 1e-9; y += yStep) {
            painter.drawLine(QPointF(plot.left(), py(y)), QPointF(plot.right(), py(y)));
        }
        painter.setPen(ink);
        for (double y = 0.0; y <= top + 1e-9; y += yStep) {
            painter.drawText(QRectF(area.left(), py(y) - line / 2.0, labelWidth - 4, line),
                             Qt::AlignRight | Qt::AlignVCenter,
                             Number(y, DecimalsFor(yStep)) + QStringLiteral(" %"));
        }
        for (double x = std::ceil(x0 / xStep) * xStep; x <= x1 + 1e-9; x += xStep) {
            painter.drawLine(QPointF(px(x), plot.bottom()), QPointF(px(x), plot.bottom() + 3));
            painter.drawText(QRectF(px(x) - 40, plot.bottom() + 4, 80, line), Qt::AlignHCenter,
                             xLabel(x));
        }
        // Bars: side by side, each lap a slice of the bin; or each lap's outline over the
        // others with a light fill.
        const int lapCount = static_cast<int>(h.laps.size());
        painter.save();
        painter.setClipRect(plot);
        for (int l = 0; l < lapCount; ++l) {
            const QColor colour =
                GraphRenderer::ToQColor(morlund::BufManager::GetBufColor(m_laps[l]));
            const pellith::HistogramLap& lap = h.laps[l];
            if (m_settings.overlaid) {
                QPolygonF outline;
                outline << QPointF(px(h.origin), py(0));
                for (int bin = 0; bin < h.binCount; ++bin) {
                    outline << QPointF(px(h.BinFrom(bin)), py(lap.percent[bin]))
                            << QPointF(px(h.BinFrom(bin + 1)), py(lap.percent[bin]));
                }
                outline << QPointF(px(h.BinFrom(h.binCount)), py(0));
                QColor fill = colour;
                fill.setAlpha(60);
                painter.setPen(QPen(colour, printing ? 2 : 1));
                painter.setBrush(fill);
                painter.drawPolygon(outline);
            } else {
                painter.setPen(Qt::NoPen);
                painter.setBrush(colour);
                for (int bin = 0; bin < h.binCount; ++bin) {
                    if (lap.percent[bin] <= 0.0) continue;
                    const double left = px(h.BinFrom(bin));
                    const double slice = (px(h.BinFrom(bin + 1)) - left) / lapCount;
                    painter.drawRect(QRectF(left + l * slice, py(lap.percent[bin]),
                                            std::max(slice, 1.0), py(0) - py(lap.percent[bin])));
                }
            }
        }
        painter.restore();
        painter.setBrush(Qt::NoBrush);
        painter.setPen(ink);
        painter.drawRect(plot);
        if (IsDamper(m_settings.item) && x0 < 0.0 && x1 > 0.0) {
            // Zero and the knee on either side.
            painter.setPen(QPen(Qt::gray, 0, Qt::DashLine));
            for (double x : {0.0, -knee, knee}) {
                if (x > x0 && x < x1)
                    painter.drawLine(QPointF(px(x), plot.top()), QPointF(px(x), plot.bottom()));
            }
        }
        if (shares.isValid()) {
            int y = shares.top();
            painter.setPen(ink);
            painter.drawText(QRect(shares.left(), y, shares.width(), line), Qt::AlignLeft,
                             tr("Knee %1 %2").arg(Number(knee, 1), unit));
            y += line + 4;
            for (int l = 0; l < static_cast<int>(h.laps.size()); ++l) {
                const pellith::DamperShares& s = h.laps[l].shares;
                painter.setPen(GraphRenderer::ToQColor(morlund::BufManager::GetBufColor(m_laps[l])));
                const QString lines[] = {
                    FromStd(manager->GetBuffer(m_laps[l])->InfoGetName()),
                    tr("Bump %1 %").arg(Number(s.bump, 1)),
                    tr("  slow %1  fast %2").arg(Number(s.bumpSlow, 1), Number(s.bumpFast, 1)),
                    tr("Rebound %1 %").arg(Number(s.rebound, 1)),
                    tr("  slow %1  fast %2").arg(Number(s.reboundSlow, 1), Number(s.reboundFast, 1)),
                };
                for (const QString& text : lines) {
                    if (y + line > shares.bottom()) break;
                    painter.drawText(QRect(shares.left(), y, shares.width(), line), Qt::AlignLeft,
                                     fm.elidedText(text, Qt::ElideRight, shares.width()));
                    y += line;
                }
                y += 4;
            }
        }
    }
    painter.restore();
}

bool CHistogramView::PrintTo(QPrinter& printer) {
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    // Screen-sized units scaled to the page, as the graph prints.
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    const double scale = printer.resolution() / 96.0;
    painter.scale(scale, scale);
    const QRect target(0, 0, static_cast<int>(page.width() / scale),
                       static_cast<int>(page.height() / scale));
    painter.setPen(Qt::black);
    painter.drawText(QRect(0, 0, target.width(), 20), Qt::AlignLeft, windowTitle());
    Paint(painter, target.adjusted(0, 24, 0, 0), true);
    painter.end();
    return true;
}

// --- CHistogramFrame -------------------------------------------------------------------------

CHistogramFrame::CHistogramFrame(CTarnwickDoc& doc, const AppSettings& settings, QWidget* parent)
    : CViewFrame(parent), m_view(new CHistogramView(doc, settings)) {
    HoldView(m_view, doc, QStringLiteral("HistogramFrame"));
}

CHistogramFrame::~CHistogramFrame() {
    DropView();
}

QAction* CHistogramFrame::ViewAction(ViewCommand command) const {
    switch (command) {
        case ViewCommand::Print:
            return m_view->PrintAction();
        case ViewCommand::PrintPreview:
            return m_view->PrintPreviewAction();
        default:
            return nullptr;
    }
}

void CHistogramFrame::SaveState(pellith::WorkspaceWindow& window) const {
    m_view->SaveState(window);
}

void CHistogramFrame::RestoreState(const pellith::WorkspaceWindow& window,
                                   std::vector<std::string>& problems) {
    m_view->RestoreState(window, problems);
}

void RegisterHistogramView() {
    RegisterViewKind(StartView::Histogram, [](CTarnwickDoc& doc, const AppSettings& settings) {
        return new CHistogramFrame(doc, settings);
    });
}

}  // namespace tarnwick
