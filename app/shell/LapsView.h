#pragma once

#include <QTableWidget>

#include "app/shell/TarnwickDoc.h"

namespace tarnwick {

// The laps of the document at a glance: one row per buffer in its colour, with
// the lap information. The window a document opens in until its start view exists.
class LapsView : public QTableWidget, public DocView {
    Q_OBJECT
public:
    explicit LapsView(CTarnwickDoc& doc, QWidget* parent = nullptr);
    ~LapsView() override;

    void OnUpdate(DocView* sender, int hint, const ViewHint* viewHint) override;

private:
    void Fill();

    CTarnwickDoc& m_doc;
};

}  // namespace tarnwick
