#include "macro/macro_undo.h"

namespace q7 {

void UndoHistory::push(const EditorState& before, int mergeTag) {
  redo_.clear();
  const bool merged = mergeTag != 0 && mergeTag == lastTag_ && !undo_.empty();
  lastTag_ = mergeTag;
  if (merged) return;
  if (undo_.size() >= kUndoSteps) undo_.pop_front(); // the oldest step goes
  undo_.push_back(before);
}

std::optional<EditorState> UndoHistory::undo(const EditorState& current) {
  lastTag_ = 0;
  if (undo_.empty()) return std::nullopt;
  EditorState back = std::move(undo_.back());
  undo_.pop_back();
  redo_.push_back(current);
  return back;
}

std::optional<EditorState> UndoHistory::redo(const EditorState& current) {
  lastTag_ = 0;
  if (redo_.empty()) return std::nullopt;
  EditorState forth = std::move(redo_.back());
  redo_.pop_back();
  undo_.push_back(current);
  return forth;
}

} // namespace q7
