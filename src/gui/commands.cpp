#include "gui/commands.h"

#include "gui/form_sim.h"
#include "gui/picture_commands.h"
#include "gui/window_edits.h"
#include "gui/window_files.h"

#include <array>
#include <cstddef>

namespace skarvel::gui {

namespace {

using app::Option;
using C = Command;
using W = TFormSim;

constexpr CommandHandler Flips(Option option) {
    return {option, nullptr, nullptr};
}
constexpr CommandHandler Runs(void (*run)(app::Workspace&)) {
    return {std::nullopt, run, nullptr};
}
constexpr CommandHandler Asks(void (*window)(TFormSim&)) {
    return {std::nullopt, nullptr, window};
}

// clang-format off
constexpr std::array kCommands = {
    CommandSpec{C::InputOpen, "ActionInputOpen", "入力データを開く(&I)", "入力データを開く", "input-open", "", Asks([](W& w) { w.files().openInput(); })},
    CommandSpec{C::InputSaveAs, "ActionInputSaveAs", "入力データに名前を付けて保存(&A)...", "入力データに名前を付けて保存", "input-save", "", Asks([](W& w) { w.files().saveInput(); })},
    CommandSpec{C::FileOpen, "ActionFileOpen", "KXファイルを開く(&O)", "KXファイルを開く", "design-open", "", Asks([](W& w) { w.files().openDesign(); })},
    CommandSpec{C::FileSave, "ActionFileSave", "KXファイルを保存(&S)", "KXファイルに名前を付けて保存", "design-save", "", Asks([](W& w) { w.files().saveDesign(); })},
    CommandSpec{C::Convert, "ActionConvert", "入力データに変換(&D)", "KXファイルを入力データに変換", "convert", "", Runs([](app::Workspace& ws) { ws.convertToInput(); })},
    CommandSpec{C::SaveChanged, "ActionSaveChanged", "上書き保存(&S)", "変更した入力データと設計データを上書き保存", "", "Ctrl+S", Asks([](W& w) { w.edits().saveChanged(); })},
    CommandSpec{C::PrintPattern, "ActionPrintPattern", "型紙を印刷(&T)...", "型紙を原寸で印刷", "", "", Asks([](W& w) { w.printPattern(); })},
    CommandSpec{C::SavePattern, "ActionSavePattern", "型紙を保存(&E)...", "型紙をPDFまたはSVGで保存", "", "", Asks([](W& w) { w.savePattern(); })},
    CommandSpec{C::Exit, "ActionExit", "終了(&X)", "終了", "", "", Asks([](W& w) { w.exitProgram(); })},
    CommandSpec{C::Undo, "ActionUndo", "元に戻す(&U)", "元に戻す", "undo", "Ctrl+Z", Asks([](W& w) { w.edits().undo(); })},
    CommandSpec{C::Redo, "ActionRedo", "やり直し(&Y)", "やり直し", "redo", "Ctrl+Y; Ctrl+Shift+Z", Asks([](W& w) { w.edits().redo(); })},
    CommandSpec{C::EditHistory, "ActionEditHistory", "操作の履歴(&H)...", "元に戻せる操作の一覧", "", "", Asks([](W& w) { w.edits().showHistory(); })},
    CommandSpec{C::CopyWindow, "ActionCopyWindow", "Skarvel画面をクリップボードへコピー(&W)", "Skarvel画面をクリップボードへコピー", "", "", Asks([](W& w) { w.pictures().copyWindow(); })},
    CommandSpec{C::CopyChart, "ActionCopyChart", "グラフをクリップボードへコピー(&E)", "グラフをクリップボードへコピー", "", "", Asks([](W& w) { w.pictures().copyChart(); })},
    CommandSpec{C::SaveChart, "ActionSaveChart", "グラフをファイル保存(&G)", "グラフをファイル保存", "", "", Asks([](W& w) { w.pictures().saveChart(); })},
    CommandSpec{C::Copy3D, "ActionCopy3D", "軌跡をクリップボードへコピー(&C)", "軌跡をクリップボードへコピー", "", "", Asks([](W& w) { w.pictures().copyTrajectory(); })},
    CommandSpec{C::Save3D, "ActionSave3D", "軌跡をファイル保存(&S)", "軌跡をファイル保存", "", "", Asks([](W& w) { w.pictures().saveTrajectory(); })},
    CommandSpec{C::SaveText, "ActionSaveText", "計算データをテキスト保存(&T)", "計算データをテキスト保存", "", "", Asks([](W& w) { w.files().exportFlightText(); })},
    CommandSpec{C::ClearHistory, "ActionClearHistory", "計算履歴をクリア(&L)", "計算履歴をクリア", "", "", Runs([](app::Workspace& ws) { ws.historyCommands().clear(); })},
    CommandSpec{C::Reset, "ActionReset", "データのリセット（プログラムのデフォルト値）(&R)", "", "", "", Asks([](W& w) { w.resetTables(); })},
    CommandSpec{C::RunFromInput, "ActionRunFromInput", "入力データから計算実行(&D)", "入力データから計算実行", "run-input", "", Asks([](W& w) { w.runFromInput(); })},
    CommandSpec{C::RunFromParameters, "ActionRunFromParameters", "パラメータから計算実行(&P)", "パラメータから計算実行", "run-parameters", "", Asks([](W& w) { w.runFromParameters(); })},
    CommandSpec{C::Stability, "ActionStability", "安定解析(&S)...", "安定解析", "", "", Asks([](W& w) { w.showStability(); })},
    CommandSpec{C::Sweep, "ActionSweep", "スイープ(&W)...", "パラメータスイープ", "", "", Asks([](W& w) { w.showSweep(); })},
    CommandSpec{C::Optimise, "ActionOptimise", "最適化(&O)...", "設計や入力データの値を最適化", "", "", Asks([](W& w) { w.showOptimise(); })},
    CommandSpec{C::LiveCharts, "ActionGr", "グラフ(&G)", "グラフを更新", "", "", Flips(Option::LiveCharts)},
    CommandSpec{C::LiveTrajectory, "Action3D", "軌跡(&Q)", "軌跡を更新", "", "", Flips(Option::LiveTrajectory)},
    CommandSpec{C::ReplayStart, "ActionVTRB", "先頭へ戻る(&B)", "先頭へ戻る", "replay-start", "", Runs([](app::Workspace& ws) { ws.marker().replayToStart(); })},
    CommandSpec{C::PlayForward, "ActionVTRF", "順方向再生(&P)", "順方向再生", "play-forward", "", Asks([](W& w) { w.playForward(); })},
    CommandSpec{C::Stop, "ActionStop", "ストップ(&S)", "ストップ(Esc)", "stop", "", Runs([](app::Workspace& ws) { ws.requestStop(); })},
    CommandSpec{C::PlayBackward, "ActionVTRR", "逆方向再生(&R)", "逆方向再生", "play-backward", "", Asks([](W& w) { w.playBackward(); })},
    CommandSpec{C::ReplayEnd, "ActionVTRE", "最後へ移動(&E)", "最後へ移動", "replay-end", "", Runs([](app::Workspace& ws) { ws.marker().replayToEnd(); })},
    CommandSpec{C::ReplayStep, "ActionVTRStep", "再生ステップ変更(&T)", "再生ステップ変更", "replay-step", "", Asks([](W& w) { w.askReplayStep(); })},
    CommandSpec{C::CursorGround, "ActionVTRXY", "平面投影を表示(&H)", "平面投影を表示", "", "", Flips(Option::CursorGround)},
    CommandSpec{C::GroundTrack, "ActionXY", "地面投影(&P)", "軌跡の地面に投影図を表示", "", "", Flips(Option::GroundTrack)},
    CommandSpec{C::SpanVerticals, "ActionWing", "投影垂直線表示(&W)", "軌跡上に翼幅を表示", "", "", Flips(Option::SpanVerticals)},
    CommandSpec{C::AutoFit, "ActionAutoFit", "自動最大表示(&A)", "", "", "", Flips(Option::AutoFit)},
    CommandSpec{C::Fit, "ActionFit", "最大表示(&A)", "軌跡を最大表示", "fit-all", "", Runs([](app::Workspace& ws) { ws.viewport().fitToTrajectory(); })},
    CommandSpec{C::FitXY, "ActionFitXY", "最適表示(&F)", "軌跡を最適表示", "best-fit", "Ctrl+F", Runs([](app::Workspace& ws) { ws.viewport().fitToRange(); })},
    CommandSpec{C::Origin, "ActionOrigin", "原点を戻す(&O)", "軌跡の原点を初期値に戻す", "reset-origin", "", Runs([](app::Workspace& ws) { ws.viewport().resetOrigin(); })},
    CommandSpec{C::ZoomIn, "ActionZoom", "5%拡大(&Z)", "軌跡を5%拡大", "zoom-in", "", Runs([](app::Workspace& ws) { ws.viewport().zoom(1.05); })},
    CommandSpec{C::ZoomOut, "ActionTere", "5%縮小(&T)", "軌跡を5%縮小", "zoom-out", "", Runs([](app::Workspace& ws) { ws.viewport().zoom(0.95); })},
    CommandSpec{C::Up, "ActionUp", "上へ移動(&U)", "軌跡を上へ5%移動", "move-up", "", Runs([](app::Workspace& ws) { ws.viewport().move(view::Direction::Up); })},
    CommandSpec{C::Down, "ActionDown", "下へ移動(&D)", "軌跡を下へ5%移動", "move-down", "", Runs([](app::Workspace& ws) { ws.viewport().move(view::Direction::Down); })},
    CommandSpec{C::Left, "ActionLeft", "左へ移動(&L)", "軌跡を左へ5%移動", "move-left", "", Runs([](app::Workspace& ws) { ws.viewport().move(view::Direction::Left); })},
    CommandSpec{C::Right, "ActionRight", "右へ移動(&R)", "軌跡を右へ5%移動", "move-right", "", Runs([](app::Workspace& ws) { ws.viewport().move(view::Direction::Right); })},
    CommandSpec{C::ViewAngleX, "ActionX", "視角横移動(&X)", "視角横移動", "view-angle-h", "", Asks([](W& w) { w.askHorizontalAngle(); })},
    CommandSpec{C::ViewAngleY, "ActionY", "視角縦移動(&Y)", "視角縦移動", "view-angle-v", "", Asks([](W& w) { w.askVerticalAngle(); })},
    CommandSpec{C::Help, "ActionHelp", "ヘルプ(&H)", "ヘルプ", "help", "F1", Asks([](W& w) { w.showHelp(); })},
    CommandSpec{C::About, "ActionAbout", "バージョン情報(&A)", "バージョン情報", "", "", Asks([](W& w) { w.showAbout(); })},
};
// clang-format on

constexpr bool InIdOrder() {
    for (std::size_t i = 0; i < kCommands.size(); ++i) {
        if (static_cast<std::size_t>(kCommands[i].id) != i) {
            return false;
        }
    }
    return true;
}
constexpr bool EveryRowHasOneHandler() {
    for (const CommandSpec& spec : kCommands) {
        const CommandHandler& h = spec.handler;
        if (int(h.option.has_value()) + int(h.run != nullptr) + int(h.window != nullptr) != 1) {
            return false;
        }
    }
    return true;
}
static_assert(kCommands.size() == kCommandCount, "one row for each command");
static_assert(InIdOrder(), "the table is indexed by command id");
static_assert(EveryRowHasOneHandler(), "each command does one thing");

BarItem Cmd(Command c) {
    return BarItem{BarItem::Kind::Command, c};
}
BarItem Sep() {
    return BarItem{BarItem::Kind::Separator};
}
BarItem Label(ToolBarLabel l) {
    return BarItem{BarItem::Kind::Label, {}, l};
}
BarItem Sub(const char* caption, std::vector<Command> items) {
    return BarItem{BarItem::Kind::Submenu, {}, 0, caption, std::move(items)};
}

} // namespace

std::span<const CommandSpec> CommandTable() {
    return kCommands;
}

const CommandSpec& Spec(Command id) {
    return kCommands[static_cast<std::size_t>(id)];
}

const std::vector<MenuSpec>& MenuLayout() {
    static const std::vector<MenuSpec> menus = {
        {"ファイル(&F)",
         {Cmd(C::InputOpen), Cmd(C::InputSaveAs), Sep(), Cmd(C::FileOpen), Cmd(C::FileSave),
          Cmd(C::Convert), Sep(), Cmd(C::SaveChanged), Sep(), Cmd(C::PrintPattern),
          Cmd(C::SavePattern), Sep(), Cmd(C::Exit)}},
        {"編集(&E)",
         {Cmd(C::Undo), Cmd(C::Redo), Cmd(C::EditHistory), Sep(), Cmd(C::CopyWindow), Sep(),
          Cmd(C::CopyChart), Cmd(C::SaveChart), Sep(), Cmd(C::Copy3D), Cmd(C::Save3D), Sep(),
          Cmd(C::SaveText), Sep(), Cmd(C::ClearHistory), Cmd(C::Reset)}},
        {"計算(&R)",
         {Cmd(C::RunFromInput), Cmd(C::RunFromParameters), Cmd(C::Stability), Cmd(C::Sweep),
          Cmd(C::Optimise), Sep(), Cmd(C::LiveCharts), Cmd(C::LiveTrajectory)}},
        {"再生(&P)",
         {Cmd(C::ReplayStart), Cmd(C::PlayForward), Cmd(C::Stop), Cmd(C::PlayBackward),
          Cmd(C::ReplayEnd), Sep(), Cmd(C::ReplayStep), Cmd(C::CursorGround)}},
        {"軌跡表示(&D)",
         {Sub("オプション(&P)", {C::GroundTrack, C::SpanVerticals, C::AutoFit}), Sep(), Cmd(C::Fit),
          Cmd(C::FitXY), Cmd(C::Origin), Cmd(C::ZoomIn), Cmd(C::ZoomOut), Sep(), Cmd(C::Up),
          Cmd(C::Down), Cmd(C::Left), Cmd(C::Right), Sep(), Cmd(C::ViewAngleX),
          Cmd(C::ViewAngleY)}},
        {"ヘルプ(&H)", {Cmd(C::Help), Sep(), Cmd(C::About)}},
    };
    return menus;
}

const std::vector<BarItem>& ToolBarLayout() {
    static const std::vector<BarItem> bar = {
        Cmd(C::InputOpen),
        Cmd(C::InputSaveAs),
        Sep(),
        Cmd(C::FileOpen),
        Cmd(C::FileSave),
        Cmd(C::Convert),
        Sep(),
        Cmd(C::Undo),
        Cmd(C::Redo),
        Sep(),
        Cmd(C::RunFromInput),
        Cmd(C::RunFromParameters),
        Sep(),
        Cmd(C::ReplayStart),
        Cmd(C::PlayForward),
        Cmd(C::Stop),
        Cmd(C::PlayBackward),
        Cmd(C::ReplayEnd),
        Cmd(C::ReplayStep),
        Label(ReplayStepLabel),
        Sep(),
        Cmd(C::Fit),
        Cmd(C::FitXY),
        Cmd(C::Origin),
        Sep(),
        Cmd(C::ZoomIn),
        Cmd(C::ZoomOut),
        Sep(),
        Cmd(C::Up),
        Cmd(C::Down),
        Cmd(C::Left),
        Cmd(C::Right),
        Sep(),
        Cmd(C::ViewAngleX),
        Label(AngleXLabel),
        Cmd(C::ViewAngleY),
        Label(AngleYLabel),
    };
    return bar;
}

} // namespace skarvel::gui
