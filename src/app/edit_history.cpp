#include "app/edit_history.h"

namespace skarvel::app {

namespace {

// The tables a step covers, in the order of its changes.
constexpr std::array kEdited = {&data::Tables::input, &data::Tables::parameter,
                                &data::Tables::design, &data::Tables::computed};

std::size_t StringsBytes(const std::vector<std::string>& lines) {
    std::size_t n = lines.capacity() * sizeof(std::string);
    for (const std::string& line : lines) {
        n += line.capacity();
    }
    return n;
}

// The memory the comment and the files of a step's extras hold, roughly.
std::size_t ExtrasBytes(const EditExtras& e) {
    std::size_t n = e.comment ? e.comment->capacity() : 0;
    if (e.files) {
        const FileState& f = *e.files;
        n += sizeof(FileState) + f.caption.size() + f.inputFile.size() + f.designFile.size() +
             f.dialogs.inputOpen.size() + f.dialogs.inputSave.size() + f.dialogs.designOpen.size() +
             f.dialogs.designSave.size() + (f.savedInput ? StringsBytes(*f.savedInput) : 0) +
             (f.savedDesign ? StringsBytes(*f.savedDesign) : 0);
    }
    return n;
}

// `e` with what `newer` changed laid over it.
EditExtras Overlaid(EditExtras e, const EditExtras& newer) {
    e.model = newer.model;
    e.designComputed = newer.designComputed;
    if (newer.comment) {
        e.comment = newer.comment;
    }
    if (newer.files) {
        e.files = newer.files;
    }
    return e;
}

} // namespace

EditHistory::EditHistory(std::size_t maxSteps, std::size_t maxBytes)
    : maxSteps_(maxSteps < 1 ? 1 : maxSteps), maxBytes_(maxBytes) {}

bool EditHistory::record(std::string name, const data::Tables& before,
                         const EditExtras& extrasBefore, const data::Tables& after,
                         const EditExtras& extrasAfter) {
    Step step;
    for (std::size_t k = 0; k < kEdited.size(); ++k) {
        data::TableChange change = data::ChangeBetween(before.*kEdited[k], after.*kEdited[k]);
        if (!change.empty()) {
            step.bytes += sizeof(std::pair<std::size_t, data::TableChange>) + change.bytes();
            step.tables.emplace_back(k, std::move(change));
        }
    }
    const bool commentChanged = extrasBefore.comment != extrasAfter.comment;
    const bool filesChanged =
        extrasBefore.files && extrasAfter.files && *extrasBefore.files != *extrasAfter.files;
    if (step.tables.empty() && !commentChanged && !filesChanged) {
        return false;
    }
    step.name = std::move(name);
    step.before = extrasBefore;
    step.after = extrasAfter;
    if (!commentChanged) {
        step.before.comment.reset();
        step.after.comment.reset();
    }
    if (!filesChanged) {
        step.before.files.reset();
        step.after.files.reset();
    }
    step.bytes +=
        sizeof(Step) + step.name.capacity() + ExtrasBytes(step.before) + ExtrasBytes(step.after);
    step.serial = ++serial_;
    while (steps_.size() > done_) {
        bytes_ -= steps_.back().bytes;
        steps_.pop_back();
    }
    bytes_ += step.bytes;
    steps_.push_back(std::move(step));
    ++done_;
    // The newest step stays even when it alone is over the size.
    while (steps_.size() > 1 && (steps_.size() > maxSteps_ || bytes_ > maxBytes_)) {
        dropOldest();
    }
    return true;
}

bool EditHistory::amendLast(const data::Tables& current, const EditExtras& extrasCurrent,
                            const data::Tables& after, const EditExtras& extrasAfter,
                            std::optional<std::string> rename) {
    if (joinable() == 0) {
        return false;
    }
    Step last = std::move(steps_.back());
    steps_.pop_back();
    --done_;
    bytes_ -= last.bytes;
    data::Tables start = current;
    for (const auto& [k, change] : last.tables) {
        data::Undo(start.*kEdited[k], change);
    }
    // What the last step left as it was is, before it, what it is now.
    EditExtras before = last.before;
    if (!before.comment) {
        before.comment = extrasCurrent.comment;
    }
    if (!before.files) {
        before.files = extrasCurrent.files;
    }
    return record(rename ? std::move(*rename) : std::move(last.name), start, before, after,
                  Overlaid(last.after, extrasAfter));
}

std::uint64_t EditHistory::joinable() const {
    return canUndo() && !canRedo() ? steps_.back().serial : 0;
}

void EditHistory::dropOldest() {
    bytes_ -= steps_.front().bytes;
    steps_.pop_front();
    --done_;
}

std::string EditHistory::undoName() const {
    return canUndo() ? steps_[done_ - 1].name : std::string();
}

std::string EditHistory::redoName() const {
    return canRedo() ? steps_[done_].name : std::string();
}

std::optional<StepExtras> EditHistory::undo(data::Tables& tables) {
    if (!canUndo()) {
        return std::nullopt;
    }
    const Step& step = steps_[--done_];
    for (const auto& [k, change] : step.tables) {
        data::Undo(tables.*kEdited[k], change);
    }
    return StepExtras{step.before, step.after};
}

std::optional<StepExtras> EditHistory::redo(data::Tables& tables) {
    if (!canRedo()) {
        return std::nullopt;
    }
    const Step& step = steps_[done_++];
    for (const auto& [k, change] : step.tables) {
        data::Redo(tables.*kEdited[k], change);
    }
    return StepExtras{step.after, step.before};
}

std::vector<std::string> EditHistory::names() const {
    std::vector<std::string> names;
    names.reserve(steps_.size());
    for (const Step& s : steps_) {
        names.push_back(s.name);
    }
    return names;
}

void EditHistory::setMaxSteps(std::size_t steps) {
    maxSteps_ = steps < 1 ? 1 : steps;
    while (steps_.size() > maxSteps_) {
        if (done_ == 0) {
            // Only steps that could be redone are left: the newest go.
            bytes_ -= steps_.back().bytes;
            steps_.pop_back();
        } else {
            dropOldest();
        }
    }
}

void EditHistory::clear() {
    steps_.clear();
    done_ = 0;
    bytes_ = 0;
}

} // namespace skarvel::app
