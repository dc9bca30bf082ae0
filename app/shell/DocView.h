#pragma once

#include <optional>

namespace tarnwick {

// Where a view stands, passed along with its updates so that the other views
// can follow it: the current buffer, the cursor and the selected distance range.
struct ViewHint {
    int buffer = 0;
    double cursorPos = -1.0;  // -1: no cursor
    double selectionFrom = 0.0;
    double selectionTo = 0.0;  // from and to both 0: no selection
};

// What changed in the document. Views keep whatever an update leaves valid: a
// moved cursor keeps every cached value, new values of one buffer drop only
// that buffer's.
struct DocUpdate {
    enum class Kind {
        Moved,         // a view moved its cursor or selection (carries its hint)
        BufferChosen,  // a view chose another current buffer (carries its hint)
        BufferValues,  // the values of one buffer changed: its setup was edited or read
        AllValues,     // every value may have changed: units, formulas, options
        Buffers,       // buffers were added or removed
        BuffersShown,  // buffers were switched on or off; values unchanged
    };

    Kind kind = Kind::AllValues;
    int buffer = -1;               // BufferValues: the buffer whose values changed
    std::optional<ViewHint> hint;  // Moved and BufferChosen: where the sender stands

    static DocUpdate Moved(const ViewHint& hint) { return {Kind::Moved, -1, hint}; }
    static DocUpdate BufferChosen(const ViewHint& hint) { return {Kind::BufferChosen, -1, hint}; }
    static DocUpdate ValuesOf(int buffer) { return {Kind::BufferValues, buffer, std::nullopt}; }
    static DocUpdate AllValues() { return {Kind::AllValues, -1, std::nullopt}; }
    static DocUpdate BuffersChanged() { return {Kind::Buffers, -1, std::nullopt}; }
    static DocUpdate BuffersShown() { return {Kind::BuffersShown, -1, std::nullopt}; }

    // A view's position, which views follow only while synchronised; every
    // other update changes what the views show and reaches them all.
    bool IsPosition() const { return kind == Kind::Moved || kind == Kind::BufferChosen; }
    // Cached values may be stale (for BufferValues: those of `buffer`).
    bool ChangesValues() const {
        return kind == Kind::BufferValues || kind == Kind::AllValues || kind == Kind::Buffers;
    }
};

// A window showing the document. Views register with the document and are
// told of every change through OnUpdate.
class DocView {
public:
    virtual ~DocView() = default;
    // `sender` is the view that caused the update (null for the document).
    virtual void OnUpdate(DocView* sender, const DocUpdate& update) = 0;
};

}  // namespace tarnwick
