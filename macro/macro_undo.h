// Undo and redo for the macro editor: whole states of what the user edits (the working copy and
// the name and count fields' texts) before each change, at most kUndoSteps of them, kept for one
// run of the editor.
#pragma once

#include <cstddef>
#include <cstring>
#include <deque>
#include <optional>
#include <string>

#include "keys/key_record.h"

namespace q7 {

inline constexpr size_t kUndoSteps = 256;

struct EditorState {
  KeyRecord record;
  std::u16string name, count;

  bool operator==(const EditorState& o) const {
    return std::memcmp(&record, &o.record, sizeof record) == 0 && name == o.name && count == o.count;
  }
};

class UndoHistory {
public:
  // The state before a change. Changes with the same non-zero merge tag in a row (typing in one
  // field) make one step: only the state before the first of them is kept.
  void push(const EditorState& before, int mergeTag = 0);
  // The state to return to; current goes to the other side.
  std::optional<EditorState> undo(const EditorState& current);
  std::optional<EditorState> redo(const EditorState& current);
  bool canUndo() const { return !undo_.empty(); }
  bool canRedo() const { return !redo_.empty(); }
  size_t undoSteps() const { return undo_.size(); }

private:
  std::deque<EditorState> undo_, redo_;
  int lastTag_ = 0;
};

} // namespace q7
