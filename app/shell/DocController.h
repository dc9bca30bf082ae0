#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace morlund {
class CustomDataItem;
}

namespace tarnwick {

struct AppSettings;
class CCustomItemDlg;
class CTarnwickDoc;

// The document's commands that ask the user first: they show the file dialogs,
// the selection list and the formula dialog, then hand the answers to the
// document. Cheap to make for each command; `parent` owns the dialogs.
class DocController {
public:
    static constexpr const char* kDeleteBuffersTitle = "Select buffers to delete";

    DocController(CTarnwickDoc& doc, const AppSettings& settings, QWidget* parent)
        : m_doc(doc), m_settings(settings), m_parent(parent) {}

    // Lets the user choose perf files of the document's game and adds them.
    void AddBuffers();
    // Lets the user choose buffers to delete, then deletes them.
    void DeleteBuffers();
    // Lets the user choose a setup file for the current buffer, then reads it.
    void OpenSetup();
    // Opens the setup editor on the current buffer (games without one are refused).
    void EditSetup();
    // Edits a formula channel in the Custom Data Item dialog; true after OK.
    bool EditCustomItem(morlund::CustomDataItem& item);

    static void FillCustomItemDlg(CCustomItemDlg& dlg, const morlund::CustomDataItem& item);
    // Writes the dialog's fields into the item, then tells the document.
    void ApplyCustomItemDlg(const CCustomItemDlg& dlg, morlund::CustomDataItem& item);

private:
    CTarnwickDoc& m_doc;
    const AppSettings& m_settings;
    QWidget* m_parent;
};

// The setup editor's dialogs live above this folder and register themselves at
// start-up; the runner edits the setup of the buffer at the given index.
using SetupEditorRunner = std::function<void(CTarnwickDoc& doc, int buffer, QWidget* parent)>;
void RegisterSetupEditor(SetupEditorRunner runner);
bool HasSetupEditor();

}  // namespace tarnwick
