#include "app/edit_history.h"

namespace skarvel::app {

namespace {

// The tables a step covers, in the order of its changes.
constexpr std::array kEdited = {&data::Tables::input, &data::Tables::parameter,
                                &data::Tables::design, &data::Tables::computed};

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
    if (step.tables.empty()) {
        return false;
    }
    step.name = std::move(name);
    step.bytes += sizeof(Step) + step.name.capacity();
    step.before = extrasBefore;
    step.after = extrasAfter;
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

bool EditHistory::amendLast(const data::Tables& current, const data::Tables& after,
                            const EditExtras& extrasAfter) {
    if (!canUndo() || canRedo()) {
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
    record(std::move(last.name), start, last.before, after, extrasAfter);
    return true;
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

std::optional<EditExtras> EditHistory::undo(data::Tables& tables) {
    if (!canUndo()) {
        return std::nullopt;
    }
    const Step& step = steps_[--done_];
    for (const auto& [k, change] : step.tables) {
        data::Undo(tables.*kEdited[k], change);
    }
    return step.before;
}

std::optional<EditExtras> EditHistory::redo(data::Tables& tables) {
    if (!canRedo()) {
        return std::nullopt;
    }
    const Step& step = steps_[done_++];
    for (const auto& [k, change] : step.tables) {
        data::Redo(tables.*kEdited[k], change);
    }
    return step.after;
}

std::vector<std::string> EditHistory::names() const {
    std::vector<std::string> names;
    names.reserve(steps_.size());
    for (const Step& s : steps_) {
        names.push_back(s.name);
    }
    return names;
}

void EditHistory::clear() {
    steps_.clear();
    done_ = 0;
    bytes_ = 0;
}

} // namespace skarvel::app
