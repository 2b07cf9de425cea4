#pragma once
// The workspace's smaller services, each reached through the workspace as
// its viewport and marker are: the stability analysis with its polar and
// trim flights, the sweep's starting point and its flights, the cutting
// pattern, and the commands on the run history.

#include "app/advice.h"
#include "app/edit_history.h"
#include "app/optimise.h"
#include "app/sweep.h"
#include "sim/glide_polar.h"
#include "sim/modes.h"
#include "sim/settle.h"
#include "view/pattern.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace skarvel::app {

class Workspace;

class AnalysisService {
  public:
    explicit AnalysisService(Workspace& ws) : ws_(ws) {}
    // The steady glide, the static margin and the modes of the input data as
    // a flight would load them; the tables stay as they are.
    sim::StabilityAnalysis stability();
    // The steady glide for each tail setting from -6 to +6 degrees.
    sim::GlidePolar polar();
    // Where the launch in the tables settles, and the steady glides found.
    sim::SettleAnalysis settling();
    // The safe range of each setting a builder changes: the design's cells
    // when a design file is open, else the input data's rows.
    Advice advice();
    // Writes a setting's best value into the tables as one step (the design
    // converted where it is a design cell); nothing flies. False when
    // busy or when the setting has no best value.
    bool applyAdvice(const SettingAdvice& setting);
    // Writes an optimisation's best values into the tables as one step
    // ("最適化の結果"); the window then flies. False when busy or when it
    // found no best point.
    bool applyOptimum(const OptimiseOptions& options, const OptimiseResult& result);
    // Sets the launch rows of the input data to the steady glide, with the
    // mode at that index of stability().modes added at a small amplitude
    // when one is given, and flies. False when nothing flew: a flight in
    // progress, no steady glide, or no such mode.
    bool flyFromTrim(std::optional<std::size_t> mode = std::nullopt);

  private:
    Workspace& ws_;
};

class SweepService {
  public:
    explicit SweepService(Workspace& ws) : ws_(ws) {}
    // What each point of a sweep starts from: the tables and the design now.
    SweepBase base() const;
    // Writes a sweep point's values into the tables as the sweep did and flies
    // from the input data, adding a history row. False when a run is in progress.
    bool flyPoint(const SweepGrid& grid, std::size_t point);
    // "NAME=VALUE" for each, written as a sweep point's values are (the
    // command line's --set). Throws SweepError naming a refused one, before
    // anything is written.
    void applySettings(const std::vector<std::string>& settings);

  private:
    Workspace& ws_;
};

class PatternService {
  public:
    explicit PatternService(const Workspace& ws) : ws_(ws) {}
    // The parts of the design at full size on pages of `paper` (mm) with at
    // least `margin` mm kept free, labelled with the design file's name and
    // `date`, `copies` of every piece. Throws view::PatternError.
    view::PatternLayout layOut(view::PointMm paper, double margin, const std::string& date,
                               int copies = 1) const;

  private:
    const Workspace& ws_;
};

// Undo and redo of the edits of the tables (a cell, a block, a pick-list or
// paper choice, a conversion with the edit that caused it, the launch rows
// of a trim flight, a sweep point, a history row's inputs, the reset, an
// opened file, a burst of typing in the comment). Flights, the run history,
// the marker and the views are results and stay as they are; undo never
// flies. Each does nothing while a flight runs and returns false then.
class EditService {
  public:
    explicit EditService(Workspace& ws) : ws_(ws) {}
    bool undo();
    bool redo();
    // Undoes or redoes until `done` steps are done (the history list's row).
    bool goTo(std::size_t done);
    bool canUndo() const;
    bool canRedo() const;
    // The step undo or redo would take, as the menu names it; empty when none.
    std::string undoName() const;
    std::string redoName() const;
    // Every step's name, oldest first; the first done() of them are done.
    std::vector<std::string> names() const;
    std::size_t done() const;
    // Counts the steps done, undone and redone: a change of the edits.
    std::uint64_t revision() const;
    // The steps kept at most (the oldest go first).
    void setLimit(std::size_t steps);
    // Forgets every step (what the window starts with is no edit).
    void clear();
    // Typing in the comment ends here (the box lost the focus): the next
    // typing is a step of its own.
    void endBurst();

  private:
    // The design model, the comment and the files as the step left them;
    // false for none.
    bool restore(const std::optional<StepExtras>& extras);

    Workspace& ws_;
};

// Each does nothing while a flight runs and returns false then.
class HistoryCommands {
  public:
    explicit HistoryCommands(Workspace& ws) : ws_(ws) {}
    bool select(int row);
    bool deleteSelected();
    bool clear();
    bool sort(int column);
    // Re-runs a row with its inputs, adding no row. False when nothing ran
    // (busy, no such row, or an error row).
    bool rerun(int row);

  private:
    Workspace& ws_;
};

} // namespace skarvel::app
