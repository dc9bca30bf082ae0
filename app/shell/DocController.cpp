#include "app/shell/DocController.h"

#include <QFileDialog>
#include <string>
#include <vector>

#include "app/shell/CustomItemDlg.h"
#include "app/shell/PerfFileDialog.h"
#include "app/shell/SelectionListDlg.h"
#include "app/shell/TarnwickDoc.h"
#include "morlund/core/PerfCore.h"
#include "morlund/formats/BufManager.h"
#include "morlund/items/CustomDataItem.h"

namespace tarnwick {

void DocController::AddBuffers() {
    if (!m_doc.CanAddBuffers()) return;
    // The alternative open dialog comes with the perf file browser; until then
    // every game uses the standard one.
    QStringList paths;
    if (!PromptForPerfFiles(paths, m_doc.LastFolder(), {}, true, m_doc.Manager(), m_settings,
                            m_parent)) {
        return;
    }
    m_doc.AddBuffers(paths);
}

void DocController::DeleteBuffers() {
    if (!m_doc.CanDeleteBuffers()) return;
    std::vector<std::string> names;
    for (int i = 0; i < m_doc.BufCount(); ++i)
        names.push_back(m_doc.Buffer(i)->InfoGetName());
    SelectionListDlg dlg(names, QString::fromLatin1(kDeleteBuffersTitle), m_parent);
    dlg.selection = {m_doc.CurrentBuffer()};
    if (dlg.exec() != QDialog::Accepted || dlg.selection.empty()) return;
    m_doc.DeleteBuffers(dlg.selection);
}

void DocController::OpenSetup() {
    if (!m_doc.CanSetupOpenSave()) return;
    const morlund::GameType game = *m_doc.Game();
    const FileFilter filter = BuildSetupFileFilter(*m_doc.Manager());
    QFileDialog dialog(m_parent, QStringLiteral("Open"),
                       LocalPath(m_settings.GetPath(game) + GetSetupSubdir(game)));
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(filter.nameFilters);
    dialog.selectNameFilter(filter.SelectedNameFilter());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    m_doc.ReadSetupFile(dialog.selectedFiles().front());
}

bool DocController::EditCustomItem(morlund::CustomDataItem& item) {
    CCustomItemDlg dlg(m_parent);
    FillCustomItemDlg(dlg, item);
    if (dlg.exec() != QDialog::Accepted) return false;
    ApplyCustomItemDlg(dlg, item);
    return true;
}

void DocController::FillCustomItemDlg(CCustomItemDlg& dlg, const morlund::CustomDataItem& item) {
    dlg.name = QString::fromStdString(item.GetName());
    dlg.shortName = QString::fromStdString(item.GetShortName());
    dlg.type = item.GetDataType() == morlund::DataItem::DT_CAR ? 1 : 0;
    dlg.quantity = static_cast<int>(item.GetQuantity()) + 1;
    dlg.factor = item.GetRawUnitConversionFactor();
    dlg.minimum = item.GetMinValue();
    dlg.maximum = item.GetMaxValue();
    dlg.formula = QString::fromStdString(item.GetFormula());
}

void DocController::ApplyCustomItemDlg(const CCustomItemDlg& dlg, morlund::CustomDataItem& item) {
    using morlund::DataItem;
    const std::string shortName = dlg.shortName.toStdString();
    const bool renamed = shortName != item.GetShortName();
    item.SetName(dlg.name.toStdString().c_str());
    item.SetShortName(shortName.c_str());
    item.SetRawUnitConversionFactor(dlg.factor);
    item.SetMinValue(dlg.minimum);
    item.SetMaxValue(dlg.maximum);
    item.SetDataType(dlg.type == 1 ? DataItem::DT_CAR : DataItem::DT_WHEEL);
    // The empty entry (or none) has no quantity of its own: plain factor, as
    // for a definition file without one. Anything else would index the unit tables.
    const int quantity = dlg.quantity - 1;
    item.SetQuantity(quantity >= DataItem::Q_LENGTH && quantity <= DataItem::Q_SPRING_CONSTANT
                         ? static_cast<DataItem::Quantity>(quantity)
                         : DataItem::Q_FACTOR);
    item.SetFormula(dlg.formula.toStdString().c_str());
    m_doc.FormulaChanged(renamed);
}

namespace {

SetupEditorRunner& SetupEditor() {
    static SetupEditorRunner runner;
    return runner;
}

}  // namespace

void RegisterSetupEditor(SetupEditorRunner runner) { SetupEditor() = std::move(runner); }
bool HasSetupEditor() { return static_cast<bool>(SetupEditor()); }

void DocController::EditSetup() {
    const int buffer = m_doc.SetupEditBuffer();
    if (buffer < 0 || !HasSetupEditor()) return;
    SetupEditor()(m_doc, buffer, m_parent);
}

}  // namespace tarnwick
