#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "app/shell/AppSettings.h"
#include "app/shell/DocView.h"
#include "morlund/track/GP2Track.h"
#include "morlund/track/LFSTrack.h"
#include "pellith/analysis/Corners.h"
#include "pellith/stats/SummaryStats.h"

namespace morlund {
class BufManager;
class CustomDataItem;
class PerfCore;
}  // namespace morlund

namespace tarnwick {

// The one document of the program: the laps (buffers) of one game held by one
// buffer manager, the track geometry that belongs to them and the state the
// views share. Every message and question goes through Morlund's message sink;
// the commands that open dialogs live in DocController.
class CTarnwickDoc : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kNoBuffersTitle = "<no buffers loaded>";
    static constexpr const char* kNoEditorText = "Editor not available for this setup type.";
    static constexpr const char* kSetupChangedQuestion =
        "The car setup of buffer '%1' has been changed, do you want to save it?";

    explicit CTarnwickDoc(QObject* parent = nullptr);
    ~CTarnwickDoc() override;
    CTarnwickDoc(const CTarnwickDoc&) = delete;
    CTarnwickDoc& operator=(const CTarnwickDoc&) = delete;

    // --- state read by the views -----------------------------------------------
    morlund::BufManager* Manager() const { return m_manager.get(); }
    std::optional<morlund::GameType> Game() const { return m_game; }  // none while empty
    int BufCount() const;
    bool HasBuffers() const { return BufCount() > 0; }
    // Buffer at an index; null outside 0..count-1.
    morlund::PerfCore* Buffer(int index) const;
    // Every buffer, in index order.
    std::vector<const morlund::PerfCore*> Buffers() const;
    bool IsReadOk() const { return m_readOk; }
    const morlund::GP2Track& GP2Outline() const { return m_gp2Track; }
    bool IsGP2TrackLoaded() const { return m_gp2TrackLoaded; }
    const morlund::LFSTrack& LFSMeshes() const { return m_lfsTrack; }
    bool IsLFSMeshLoaded() const { return m_lfsMeshLoaded; }
    // A GP2 lap with position data, or an LFS lap.
    bool HasTrackGeometry() const;
    const QString& LastFolder() const { return m_lastFolder; }
    const QString& LastFileName() const { return m_lastFileName; }
    int CurrentBuffer() const { return m_currentBuffer; }
    // currentBuffer when it names a buffer, else 0; -1 without buffers.
    int CurrentOrFirstBuffer() const;
    // Makes a buffer current for the views that take it over later; tells no view.
    void SetCurrentBuffer(int index) { m_currentBuffer = index; }
    // The lap the deltas, corner and sector comparisons are taken against: the chosen
    // buffer while it is loaded and shown, else the fastest shown lap; -1 without one.
    int ReferenceLap() const;
    // The chosen reference buffer, -1 for "the fastest lap" (what a workspace stores).
    int ReferenceLapChoice() const;
    // Chooses the reference (-1 or an index outside the buffers: the fastest lap) and
    // updates the views.
    void SetReferenceLap(int buffer);
    // The corners of the reference lap, found once and kept until the laps or their
    // values change.
    const std::vector<pellith::Corner>& ReferenceCorners() const;
    double CursorPos() const { return m_cursorPos; }
    double SelectionFrom() const { return m_selectionFrom; }
    double SelectionTo() const { return m_selectionTo; }

    // --- views -----------------------------------------------------------------
    void AddView(DocView* view);
    void RemoveView(DocView* view);
    const std::vector<DocView*>& Views() const { return m_views; }
    // Stores a hint's values in the document, then tells every view but the
    // sender (and emits ViewsUpdated).
    void UpdateAllViews(DocView* sender, const DocUpdate& update);

    // --- title -----------------------------------------------------------------
    const QString& Title() const { return m_title; }
    void SetTitle(const QString& title);

    // --- opening and closing ---------------------------------------------------
    // Empties the document, then reads the file into it: recognises the game
    // (the primary game decides between the GP games), creates the manager, adds
    // the first buffer and loads the track geometry from the install folders.
    // False (after the reader or the document told the user) leaves it empty.
    bool OpenDocument(const QString& path, const AppSettings& settings);
    // Opens the first path as the document and adds the others as buffers; the
    // views are updated once when any were added. False when the first failed.
    bool OpenFiles(const QStringList& paths, const AppSettings& settings);
    // Empties the document and holds laps read or built elsewhere (benchmarks build
    // them in memory), named after buffer 0; the views are updated once.
    void TakeLaps(std::unique_ptr<morlund::BufManager> manager, morlund::GameType game);
    // Deletes the manager and the track geometry and resets the shared state.
    void DeleteContents();
    // Offers to save every changed setup (Yes/No/Cancel per buffer). False when
    // the user cancelled or a setup the user wanted saved could not be saved.
    bool SaveModified();
    // SaveModified, then empties the document and emits Closed(); false when refused.
    bool CloseIfAllowed();
    // Adds a buffer from a file; true when one was added.
    bool AddBufferFromFile(const QString& path, bool updateViews);
    // Adds every path, names the document after buffer 0 where that is the
    // first lap it holds, and updates the views once; returns the number added.
    int AddBuffers(const QStringList& paths);

    // --- commands (the main frame asks the Can... rules to enable them) ----------
    // Removes the buffers at the given indices (others ignored). Offers to save
    // a changed setup first; Cancel keeps every buffer. Retitles the document
    // when buffer 0 went, keeps the current buffer on a lap that remains, and
    // updates the views. Returns the number removed.
    int DeleteBuffers(const std::vector<int>& indices);
    // Replaces the current buffer's setup by a setup file; true when it was taken.
    bool ReadSetupFile(const QString& path);
    // Saves the current buffer's setup, or with `allChanged` (Shift held) every
    // changed setup.
    void SaveSetups(bool allChanged);
    // The buffer whose setup the editor opens; -1 (after telling the user for
    // games without an editor) when there is none.
    int SetupEditBuffer() const;
    // The distance range the export starts with: the selection, or (from, -1)
    // when there is none.
    static std::pair<double, double> ExportRange(double from, double to);
    std::pair<double, double> ExportRangeOfSelection() const {
        return ExportRange(m_selectionFrom, m_selectionTo);
    }
    // A formula channel was edited: rebuilds the formula names when its short name
    // changed, drops every cached formula value and updates the views.
    void FormulaChanged(bool renamed);

    bool CanAddBuffers() const;
    bool CanDeleteBuffers() const;
    bool CanExport() const;
    bool CanSetupOpenSave() const;
    bool CanSetupEdit() const;
    bool CanNewTrackView() const;

    // --- summary statistics ---------------------------------------------------------
    // A buffer's summary, computed once and kept until its values change (index
    // errors raise InvalidArgument).
    const pellith::LapSummary& Summary(int buffer) const;
    // Every lap's summaries, for the statistics table.
    pellith::LapSummaryCache& Summaries() const { return m_summaries; }

signals:
    void TitleChanged(const QString& title);
    void ViewsUpdated(tarnwick::DocView* sender, const tarnwick::DocUpdate& update);
    // The last view of the document has gone (its window was closed).
    void LastViewRemoved();
    // The document was emptied by CloseIfAllowed; its windows close.
    void Closed();

private:
    const morlund::PerfCore& BufferAt(int index) const;
    // The game has a setup editor (whether or not a lap is loaded).
    bool CanEditSetups() const;
    void RememberFile(const QString& path);
    void LoadTrackGeometry(const AppSettings& settings);
    // Asks whether to save a changed setup; false when the buffer must stay
    // (Cancel, or the save failed).
    bool OfferSetupSave(morlund::PerfCore& buffer);

    std::unique_ptr<morlund::BufManager> m_manager;
    std::optional<morlund::GameType> m_game;
    morlund::GP2Track m_gp2Track;
    morlund::LFSTrack m_lfsTrack;
    bool m_readOk = false;
    bool m_gp2TrackLoaded = false;
    bool m_lfsMeshLoaded = false;
    QString m_lastFolder;
    QString m_lastFileName;
    int m_currentBuffer = 0;
    double m_cursorPos = -1.0;
    // Held as the lap itself so that removing other buffers keeps the choice.
    const morlund::PerfCore* m_referenceLap = nullptr;
    mutable std::vector<pellith::Corner> m_corners;
    mutable const morlund::PerfCore* m_cornersOf = nullptr;  // the lap they were found on
    double m_selectionFrom = 0.0;
    double m_selectionTo = 0.0;

    QString m_title;
    std::vector<DocView*> m_views;
    mutable pellith::LapSummaryCache m_summaries;
};

}  // namespace tarnwick
