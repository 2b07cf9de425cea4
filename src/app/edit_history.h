#pragma once
// The edits of the tables as named steps that can be undone and redone. A
// step holds only what changed (the cells and, where they changed, the
// styles of the input data, the parameters, the design and the computed
// data) and the design model before and after it; the marker table is a
// result, not an edit, and is never part of a step. The history is bounded:
// beyond its number of steps or its size the oldest steps are dropped.

#include "app/file_commands.h"
#include "data/table_change.h"
#include "data/tables.h"
#include "model/aircraft.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace skarvel::app {

// What an edit changes besides the tables: the design model computed from
// them (read only and shared, so a step keeps it at the cost of a pointer),
// and, only when the edit changed them, the design's comment and the files.
struct EditExtras {
    model::SharedAircraftModel model;
    bool designComputed = true;
    std::optional<std::string> comment;
    std::shared_ptr<const FileState> files;
};

// What undo or redo gives back: the extras of the state it goes to and of
// the state it leaves (the files put back are the ones the step changed).
struct StepExtras {
    EditExtras to;
    EditExtras from;
};

class EditHistory {
  public:
    static constexpr std::size_t kDefaultSteps = 1000;
    static constexpr std::size_t kDefaultBytes = std::size_t{64} << 20;

    explicit EditHistory(std::size_t maxSteps = kDefaultSteps,
                         std::size_t maxBytes = kDefaultBytes);

    // Records the step from `before` to `after` and drops the steps that could
    // have been redone; nothing when neither the tables nor the comment nor
    // the files changed (false).
    bool record(std::string name, const data::Tables& before, const EditExtras& extrasBefore,
                const data::Tables& after, const EditExtras& extrasAfter);

    bool canUndo() const { return done_ > 0; }
    bool canRedo() const { return done_ < steps_.size(); }
    // The names of the step undo or redo would take; empty when there is none.
    std::string undoName() const;
    std::string redoName() const;

    // Joins the change from `current` (the tables as the last step left
    // them) to `after` into the last step, which keeps its name unless
    // renamed: a design edit and the conversion it causes are one step, and
    // so is a burst of typing. False when the last step is not the newest
    // done one (nothing joined), or when the joined step changes nothing and
    // so is gone.
    bool amendLast(const data::Tables& current, const EditExtras& extrasCurrent,
                   const data::Tables& after, const EditExtras& extrasAfter,
                   std::optional<std::string> rename = std::nullopt);
    // A number naming the newest step while it is the last one done (so an
    // edit may join it); 0 otherwise.
    std::uint64_t joinable() const;

    // Puts the last step done back out of `tables`; the extras to restore.
    // None when there is nothing to undo.
    std::optional<StepExtras> undo(data::Tables& tables);
    // Does the next undone step again.
    std::optional<StepExtras> redo(data::Tables& tables);

    // Every step's name, oldest first; the first done() of them are done.
    std::vector<std::string> names() const;
    std::size_t done() const { return done_; }
    std::size_t size() const { return steps_.size(); }
    // The memory the steps hold, roughly, in bytes.
    std::size_t bytes() const { return bytes_; }
    void clear();
    // Keeps at most `steps` steps from now on, the oldest dropped first.
    void setMaxSteps(std::size_t steps);

  private:
    struct Step {
        std::string name;
        // The tables that changed, by their index in the edited tables
        // (input, parameter, design, computed).
        std::vector<std::pair<std::size_t, data::TableChange>> tables;
        EditExtras before, after;
        std::size_t bytes = 0;
        std::uint64_t serial = 0;
    };
    void dropOldest();

    std::size_t maxSteps_;
    std::size_t maxBytes_;
    std::deque<Step> steps_;
    std::size_t done_ = 0;
    std::size_t bytes_ = 0;
    std::uint64_t serial_ = 0;
};

} // namespace skarvel::app
