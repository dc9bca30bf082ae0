#include "app/views/StatView.h"

#include <QAction>
#include <QDateTime>
#include <QLocale>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "app/graph/GraphRenderer.h"
#include "app/shell/SharedPrinter.h"
#include "app/shell/TarnwickDoc.h"
#include "app/views/StatListCtrl.h"
#include "morlund/core/PerfCore.h"
#include "morlund/formats/BufManager.h"
#include "morlund/platform/MessageSink.h"
#include "pellith/analysis/AnalysisText.h"
#include "pellith/stats/StatTable.h"

namespace tarnwick {

namespace {

QString FromStd(const std::string& text) { return QString::fromStdString(text); }

// The fonts and heights of a printed page, in screen pixels.
struct PrintLayout {
    QFont tableFont;
    QFont titleFont;
    QFont footerFont;
    int titleLineHeight = 0;
    int footerLineHeight = 0;
    int pageWidth = 0;
    int pageHeight = 0;
    int usableHeight = 0;
    GridMetrics table;
    double scaleX = 1.0;
    double scaleY = 1.0;
};

QFont PixelFont(QFont font, int pixels, int weight) {
    font.setPixelSize(std::max(pixels, 1));
    font.setWeight(static_cast<QFont::Weight>(weight));
    return font;
}

int LineHeight(const QFont& font, const QPaintDevice* device) {
    const QFontMetrics fm(font, device);
    return fm.height() + fm.leading();
}

}  // namespace

std::optional<StatPages> PaginateStatTable(int rowCount, int usableHeight, int rowTop,
                                           int rowHeight) {
    if (rowHeight <= 0) return std::nullopt;
    const int rowsPerPage = (usableHeight - rowTop) / rowHeight;
    if (rowsPerPage < 1) return std::nullopt;
    const int rows = std::max(rowCount, 1);
    return StatPages{rowsPerPage, (rows + rowsPerPage - 1) / rowsPerPage};
}

int FittedStatColumnWidth(int available, int firstWidth, int scrollBarWidth, int columnCount) {
    if (columnCount < 2) return 0;
    const int rest = available - firstWidth - scrollBarWidth;
    if (rest < 51) return 0;
    return std::max(50, rest / (columnCount - 1));
}

// --- CStatView -----------------------------------------------------------------------

CStatView::CStatView(CTarnwickDoc& doc, const AppSettings& settings, QWidget* parent)
    : QWidget(parent), m_doc(&doc), m_settings(settings), m_table(new CStatListCtrl(this)) {
    setObjectName(QStringLiteral("StatView"));
    m_table->setObjectName(QString::number(kTableId));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_table);
    setFocusProxy(m_table);

    m_print = new QAction(tr("&Print..."), this);
    m_print->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    m_print->setStatusTip(tr("Prints the active perf statistics"));
    m_printPreview = new QAction(tr("Print Pre&view"), this);
    for (QAction* action : {m_print, m_printPreview}) {
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(action);
    }
    connect(m_print, &QAction::triggered, this, &CStatView::Print);
    connect(m_printPreview, &QAction::triggered, this, &CStatView::PrintPreview);
    connect(m_table->Header(), &QHeaderView::sectionClicked, this, &CStatView::OnHeaderClicked);
    connect(&doc, &CTarnwickDoc::TitleChanged, this, &CStatView::Retitle);
    doc.AddView(this);
    Rebuild();
}

CStatView::~CStatView() {
    if (m_doc) m_doc->RemoveView(this);
}

void CStatView::OnUpdate(DocView* sender, const DocUpdate& update) {
    // The comparisons follow the reference lap, which a lap switched on or off may change.
    if (update.kind == DocUpdate::Kind::BuffersShown && m_doc &&
        m_doc->ReferenceLap() != m_reference) {
        Rebuild();
        return;
    }
    if (update.kind == DocUpdate::Kind::BuffersShown) {
        // Another statistics window switched a lap: its heading follows.
        const int count = m_table->ColumnCount() - 1;
        for (int b = 0; b < count; ++b)
            SetHeaderColour(b);
        return;
    }
    if (sender == nullptr && !update.IsPosition()) Rebuild();
}

void CStatView::Rebuild() {
    if (!m_doc) return;
    CStatListCtrl& table = *m_table;
    table.setUpdatesEnabled(false);
    table.DeleteAllRows();
    while (table.ColumnCount() > 0)
        table.DeleteColumn(0);
    table.Header()->ClearColumnColours();

    const morlund::BufManager* manager = m_doc->Manager();
    const bool miles = m_settings.use_miles != 0;
    pellith::StatTable stats;
    if (manager != nullptr) {
        const char* outline = m_doc->IsGP2TrackLoaded() ? m_doc->GP2Outline().GetName() : nullptr;
        stats = pellith::BuildStatTable(
            *manager, pellith::GetStatTrackName(*manager, outline != nullptr ? outline : ""), miles,
            m_doc->Summaries());
        m_reference = m_doc->ReferenceLap();
        pellith::AppendAnalysisSections(stats, m_doc->Buffers(), m_reference,
                                        pellith::kDefaultSectorCount, m_doc->ReferenceCorners(),
                                        miles);
    }
    const QString first = stats.headers.empty() ? QString() : FromStd(stats.headers.front());
    if (table.InsertColumn(0, first, 2, QColor(), true, Qt::AlignLeft, kFirstColumnWidth) < 0)
        morlund::ShowMessage("Error InsertColumn(subitem 0)");
    const int buffers = static_cast<int>(stats.headers.size()) - 1;
    for (int b = 0; b < buffers; ++b) {
        const QString name = FromStd(stats.headers[static_cast<std::size_t>(b) + 1]);
        if (table.InsertColumn(b + 1, name, 0, QColor(), false, Qt::AlignLeft, kLapColumnWidth) <
            0) {
            morlund::ShowMessage(QStringLiteral("Error InsertColumn(%1, subitem %2)")
                                     .arg(name)
                                     .arg(b + 1)
                                     .toStdString());
        }
        SetHeaderColour(b);
    }
    for (const pellith::StatRow& row : stats.rows)
        table.InsertRow(-1, 0, FromStd(row.label), row.level);
    m_columnCount = buffers + 1;
    for (int b = 0; b < buffers; ++b) {
        for (int r = 0; r < static_cast<int>(stats.rows.size()); ++r) {
            const auto& cells = stats.rows[static_cast<std::size_t>(r)].cells;
            const std::string& cell = cells[static_cast<std::size_t>(b)];
            if (!table.SetCellText(r, b + 1, FromStd(cell))) break;
        }
    }
    table.setUpdatesEnabled(true);
    table.RedrawRows(0, table.RowCount() - 1);
    FitColumns(ClientWidth());
    Retitle();
}

void CStatView::FitColumns(int available) {
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int w = FittedStatColumnWidth(available, m_table->columnWidth(0), scrollBar,
                                        m_table->ColumnCount());
    if (w == 0) return;
    for (int c = 1; c < m_table->ColumnCount(); ++c)
        m_table->setColumnWidth(c, w);
}

int CStatView::ClientWidth() const { return m_table->width() - 2 * m_table->frameWidth(); }

void CStatView::SetHeaderColour(int buffer) {
    const morlund::BufManager* manager = m_doc ? m_doc->Manager() : nullptr;
    if (manager == nullptr || !manager->HasBuffer(buffer)) return;
    std::optional<QColor> colour;
    if (manager->IsBufferEnabled(buffer))
        colour = GraphRenderer::ToQColor(morlund::BufManager::GetBufColor(buffer));
    m_table->Header()->SetColumnColour(buffer + 1, colour);
}

void CStatView::OnHeaderClicked(int column) {
    if (column == 0) {
        FitColumns(ClientWidth());
        return;
    }
    morlund::BufManager* manager = m_doc ? m_doc->Manager() : nullptr;
    const int buffer = column - 1;
    if (manager == nullptr || !manager->HasBuffer(buffer)) return;
    manager->EnableBuffer(buffer, !manager->IsBufferEnabled(buffer));
    SetHeaderColour(buffer);
    m_doc->UpdateAllViews(this, DocUpdate::BuffersShown());
}

void CStatView::Retitle() {
    if (!m_doc) return;
    QString title = m_doc->Title() + QStringLiteral(" - Stat View");
    const int count = m_doc->BufCount();
    if (count > 1) title += QStringLiteral(" (%1)").arg(count);
    if (title != windowTitle()) setWindowTitle(title);
}

void CStatView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FitColumns(ClientWidth());
}

// --- printing -------------------------------------------------------------------------

namespace {

PrintLayout LayoutFor(const QPrinter& printer, const QWidget& screen, const QFont& tableFont,
                      int fontAdjust) {
    PrintLayout p;
    // Everything is drawn in screen pixels, scaled to the printer.
    p.scaleX = static_cast<double>(printer.logicalDpiX()) / screen.logicalDpiX();
    p.scaleY = static_cast<double>(printer.logicalDpiY()) / screen.logicalDpiY();
    p.pageWidth = static_cast<int>(printer.width() / p.scaleX);
    p.pageHeight = static_cast<int>(printer.height() / p.scaleY);
    const int tablePixels = tableFont.pixelSize() > 0
                                ? tableFont.pixelSize()
                                : qRound(tableFont.pointSizeF() * screen.logicalDpiY() / 72.0);
    p.tableFont = PixelFont(tableFont, tablePixels + fontAdjust, tableFont.weight());
    p.titleFont = PixelFont(QFont(), 17, QFont::Bold);
    p.footerFont = PixelFont(QFont(), 13, QFont::Normal);
    p.titleLineHeight = LineHeight(p.titleFont, &screen);
    p.footerLineHeight = LineHeight(p.footerFont, &screen);
    p.usableHeight = p.pageHeight - 3 * p.titleLineHeight - 4 * p.footerLineHeight;
    p.table = GridMetrics::For(p.tableFont, &screen);
    return p;
}

}  // namespace

bool CStatView::PrintTo(QPrinter& printer) {
    const int rowCount = m_table->RowCount();
    if (rowCount == 0) return false;
    const PrintLayout layout =
        LayoutFor(printer, *this, m_table->font(), m_settings.stat_prt_font_size_adjust);
    const std::optional<StatPages> pages = PaginateStatTable(
        rowCount, layout.usableHeight, layout.table.headerHeight, layout.table.rowHeight);
    if (!pages) {
        morlund::ShowMessage(kPageTooSmallText, morlund::MessageIcon::Warning);
        return false;
    }
    int from = 1;
    int to = pages->lastPage;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = std::clamp(printer.fromPage(), 1, pages->lastPage);
        to = std::clamp(printer.toPage() > 0 ? printer.toPage() : pages->lastPage, from,
                        pages->lastPage);
    }
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    FitColumns(layout.pageWidth);
    painter.scale(layout.scaleX, layout.scaleY);
    const QString date = QLocale::c().toString(QDateTime::currentDateTime(),
                                               QStringLiteral("dddd, MMMM dd, yyyy  HH:mm"));
    const int tlh = layout.titleLineHeight;
    const int flh = layout.footerLineHeight;
    const int width = layout.pageWidth;
    for (int page = from; page <= to; ++page) {
        if (page > from) printer.newPage();
        painter.save();
        painter.setPen(Qt::black);
        painter.setFont(layout.titleFont);
        painter.drawText(QRect(0, tlh, width, tlh), Qt::AlignLeft | Qt::AlignTop,
                         m_settings.stat_prt_hdr);
        painter.drawLine(0, 2 * tlh, width, 2 * tlh);

        painter.translate(0, 3 * tlh);
        painter.setFont(layout.tableFont);
        m_table->DrawHeadings(painter, layout.table);
        const int first = (page - 1) * pages->rowsPerPage;
        const int last = std::min(first + pages->rowsPerPage - 1, rowCount - 1);
        m_table->DrawRows(painter, layout.table, first, last);

        painter.translate(0, layout.usableHeight);
        painter.setFont(layout.footerFont);
        painter.setPen(Qt::black);
        painter.drawText(QRect(0, 2 * flh, width, flh), Qt::AlignLeft | Qt::AlignTop, date);
        if (pages->lastPage != 1) {
            painter.drawText(QRect(0, 2 * flh, width, flh), Qt::AlignRight | Qt::AlignTop,
                             QStringLiteral("Page %1/%2").arg(page).arg(pages->lastPage));
        }
        painter.drawLine(0, 2 * flh - flh / 4, width, 2 * flh - flh / 4);
        painter.restore();
    }
    painter.end();
    FitColumns(ClientWidth());
    return true;
}

void CStatView::Print() {
    if (m_table->RowCount() == 0) return;
    QPrinter& printer = SharedPrinter();
    QPrintDialog dialog(&printer, this);
    const PrintLayout layout =
        LayoutFor(printer, *this, m_table->font(), m_settings.stat_prt_font_size_adjust);
    if (const auto pages = PaginateStatTable(m_table->RowCount(), layout.usableHeight,
                                             layout.table.headerHeight, layout.table.rowHeight))
        dialog.setMinMax(1, pages->lastPage);
    if (dialog.exec() == QDialog::Accepted) PrintTo(printer);
}

void CStatView::PrintPreview() {
    if (m_table->RowCount() == 0) return;
    QPrintPreviewDialog preview(&SharedPrinter(), this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* printer) { PrintTo(*printer); });
    preview.exec();
}

// --- CStatFrame -------------------------------------------------------------------------

CStatFrame::CStatFrame(CTarnwickDoc& doc, const AppSettings& settings, QWidget* parent)
    : CViewFrame(parent), m_view(new CStatView(doc, settings)) {
    HoldView(m_view, doc, QStringLiteral("StatFrame"));
}

CStatFrame::~CStatFrame() {
    // The view goes while this is still a statistics window (see the graph's frame).
    DropView();
}

QAction* CStatFrame::ViewAction(ViewCommand command) const {
    switch (command) {
        case ViewCommand::Print:
            return m_view->PrintAction();
        case ViewCommand::PrintPreview:
            return m_view->PrintPreviewAction();
        default:
            return nullptr;
    }
}

void RegisterStatView() {
    RegisterViewKind(StartView::Stat, [](CTarnwickDoc& doc, const AppSettings& settings) {
        return new CStatFrame(doc, settings);
    });
}

}  // namespace tarnwick
