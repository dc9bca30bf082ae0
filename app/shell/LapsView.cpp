#include "app/shell/LapsView.h"

#include <QHeaderView>
#include <QPainter>
#include <QPixmap>

#include "app/shell/AppSettings.h"
#include "morlund/core/PerfCore.h"
#include "morlund/formats/BufManager.h"
#include "pellith/stats/LapTimeText.h"

namespace tarnwick {

namespace {
// A 0x00BBGGRR colour value as Qt's colour.
QColor ToQColor(unsigned long bgr) {
    return QColor(static_cast<int>(bgr & 0xff), static_cast<int>((bgr >> 8) & 0xff),
                  static_cast<int>((bgr >> 16) & 0xff));
}

QIcon Swatch(unsigned long bgr) {
    QPixmap pixmap(14, 14);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(Qt::black);
    p.setBrush(ToQColor(bgr));
    p.drawRect(1, 1, 11, 11);
    return QIcon(pixmap);
}
}  // namespace

LapsView::LapsView(CTarnwickDoc& doc, QWidget* parent) : QTableWidget(parent), m_doc(doc) {
    setObjectName("LapsView");
    setColumnCount(7);
    setHorizontalHeaderLabels({tr("Lap"), tr("Info"), tr("Lap time"), tr("Track"), tr("Length (m)"),
                               tr("Samples"), tr("Date")});
    verticalHeader()->setVisible(false);
    horizontalHeader()->setStretchLastSection(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAlternatingRowColors(true);
    m_doc.AddView(this);
    connect(this, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (row < 0 || row == m_doc.CurrentBuffer()) return;
        ViewHint hint{row, m_doc.CursorPos(), m_doc.SelectionFrom(), m_doc.SelectionTo()};
        m_doc.UpdateAllViews(this, 0, &hint);
    });
    Fill();
}

LapsView::~LapsView() { m_doc.RemoveView(this); }

void LapsView::OnUpdate(DocView*, int, const ViewHint*) { Fill(); }

void LapsView::Fill() {
    const QSignalBlocker blocker(this);
    setWindowTitle(m_doc.Title());
    const morlund::BufManager* manager = m_doc.Manager();
    const int count = manager != nullptr ? manager->GetBufCount() : 0;
    setRowCount(count);
    for (int b = 0; b < count; ++b) {
        const morlund::PerfCore& lap = *manager->GetBuffer(b);
        const QStringList texts = {
            QString::fromStdString(lap.InfoGetName()),
            QString::fromStdString(lap.InfoGetInfo()),
            QString::fromStdString(pellith::LapTimeText(lap.InfoGetLapTime())),
            QString::fromStdString(manager->GetTrackString(-1)),
            QString::number(lap.InfoGetTrackLength(), 'f', 1),
            QString::number(lap.GetSampleCount()),
            QString::fromStdString(lap.InfoGetDateString()),
        };
        for (int c = 0; c < texts.size(); ++c) {
            auto* item = new QTableWidgetItem(texts[c]);
            if (c == 0) item->setIcon(Swatch(morlund::BufManager::GetBufColor(b)));
            if (c == 2 || c == 4 || c == 5)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            setItem(b, c, item);
        }
    }
    resizeColumnsToContents();
    if (count > 0) setCurrentCell(std::clamp(m_doc.CurrentBuffer(), 0, count - 1), 0);
}

}  // namespace tarnwick
