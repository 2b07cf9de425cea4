// The stability window's decisions without its widgets: the rows, texts and
// chart points it shows for an analysis and a glide polar.

#include "app/stability_view.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace {

namespace app = skarvel::app;
namespace sim = skarvel::sim;

std::string Line(const app::Plot& plot) {
    std::string text;
    char buffer[96];
    for (const app::PlotPoint& p : plot.points) {
        std::snprintf(buffer, sizeof buffer, " %d:%g,%g", p.series, p.x, p.y);
        text += buffer;
    }
    std::snprintf(buffer, sizeof buffer, " x %g..%g y %g..%g", plot.x.lower, plot.x.upper,
                  plot.y.lower, plot.y.upper);
    return text + buffer;
}

// The view as lines: the trim rows, the message, the margin, the modes (a
// growing one marked "!"), the charts and the note.
std::string Text(const app::StabilityView& v) {
    std::string text;
    for (std::size_t i = 0; i < app::kTrimRows; ++i) {
        text += std::string(app::kTrimCaptions[i]) + " " + v.trim[i] + "\n";
    }
    text += "message " + v.message + "\n" + v.margin + "\n" + v.marginNote + "\n";
    for (const app::ModeRow& m : v.modes) {
        text += m.grows ? "!" : " ";
        for (const std::string& cell : m.cells) {
            text += " " + cell;
        }
        text += "\n";
    }
    return text + "roots" + Line(v.roots) + "\nsink" + Line(v.sink) + "\nratio" + Line(v.ratio) +
           "\n" + v.polarNote + "\n";
}

sim::Mode NewMode(sim::ModeKind kind, double re, double im, std::optional<double> timeTo) {
    sim::Mode m;
    m.kind = kind;
    m.root = {re, im};
    m.naturalFrequency = std::abs(m.root);
    m.damping = -re / m.naturalFrequency;
    if (im != 0) {
        m.period = 2 * M_PI / im;
    }
    m.timeTo = timeTo;
    return m;
}

sim::PolarRow Row(double setting, double V, double sink, bool stalled, double maxRe) {
    sim::GlideTrim t;
    t.V = V;
    t.sink = sink;
    t.ratio = std::sqrt(V * V - sink * sink) / sink;
    t.stalled = stalled;
    return {setting, t, maxRe};
}

TEST(StabilityView, ShowsTheTrimModesAndPolar) {
    sim::StabilityAnalysis a;
    a.loaded = true;
    sim::GlideTrim t;
    t.V = 5.123;
    t.alpha = 0.1;
    t.phi = -1e-5; // rounds to zero: no "-0.00"
    t.omega = 0.25;
    t.gamma = -0.12;
    t.sink = 0.6125;
    t.ratio = 8.31;
    t.CL = 0.4567;
    t.CD = 0.05432;
    a.trim = t;
    a.staticMargin = -3.25; // a tie, rounded away from zero
    a.modes = {NewMode(sim::ModeKind::Phugoid, -0.2, 1.5, 3.4657),
               NewMode(sim::ModeKind::RollSubsidence, -12, 0, 0.0578),
               NewMode(sim::ModeKind::Spiral, 0.05, 0, 13.863)};
    sim::GlidePolar polar;
    polar.rows = {{-6, {}, {}},
                  {-5.5, {}, {}},
                  Row(-5, 6, 0.8, false, -0.1),
                  Row(-4.5, 5, 0.6, false, 0.2),
                  {-4, {}, {}},
                  Row(-3.5, 4, 0.7, true, -0.3)};
    polar.bestRatio = 2;
    polar.leastSink = 2;
    EXPECT_EQ(Text(app::ViewStability(a, polar)), R"(速度(m/s) 5.12
迎角(度) 5.73
横滑り角(度) 0.00
ピッチ角(度) 0.00
バンク角(度) 0.00
旋回角速度(度/s) 14.32
経路角(度) -6.88
沈下率(m/s) 0.613
滑空比 8.31
旋回半径(地面)(m) -
揚力係数 0.457
抗力係数 0.0543
失速 いいえ
message 
静安定余裕: -3.3 %（平均翼弦に対する割合）
負の値: 重心が中立点より後ろにあります。機体は動安定余裕（機動余裕）と失速時のモーメントで支えられます。支えられているかどうかは下のモードが示します。
  フゴイド -0.200 1.500 1.513 0.132 4.19 半減 3.47
  ロール収束 -12.000 0.000 12.000 1.000 - 半減 0.06
! スパイラル 0.050 0.000 0.050 -1.000 - 倍増 13.86
roots 0:-0.2,1.5 0:-0.2,-1.5 0:-12,0 1:0.05,0 x -12.964..1.014 y -1.74..1.74
sink 0:6,0.8 3:6,0.8 2:5,0.6 1:4,0.7 x 3.84..6.16 y 0.584..0.816
ratio 0:-5,7.43303 3:-5,7.43303 2:-4.5,8.27312 1:-3.5,5.62611 x -6.5..6.5 y 5.41434..8.48488
トリムが見つからない水平尾翼取付角: -6〜-5.5 度、-4 度（点がありません）。 赤い点は不安定なトリム（発散するモードがある）で、機体はそこにとどまりません。最良滑空比と最小沈下率は、安定で失速していないトリムから選んでいます。
)");
}

// Without a trim every row is "-" and the message says why; an error that
// stopped the analysis takes its place.
TEST(StabilityView, WithoutATrimTheMessageTakesTheRowsPlace) {
    sim::StabilityAnalysis a;
    const app::StabilityView failed = app::ViewStability(a, {}, "読めません");
    EXPECT_EQ(failed.trim[0], "-");
    EXPECT_EQ(failed.message, "解析中にエラーが発生しました: 読めません");
    EXPECT_EQ(failed.margin, "静安定余裕: -（求められません）");
    a.loaded = true;
    EXPECT_EQ(app::ViewStability(a, {}).message,
              "定常滑空は、計算の初期値からは見つかりませんでした。"
              "これは定常滑空が存在しないことを示すものではありません"
              "（失速のモデルは不連続で、スパイラル降下にしか落ち着かない機体もあります）。");
}

} // namespace

// Where the launch settles, in words, and the glides found.
TEST(StabilityView, SaysWhereTheLaunchSettles) {
    sim::SettleAnalysis a;
    a.loaded = true;
    a.settling.kind = sim::SettleKind::Glide;
    a.settling.radius = 10.5858;
    a.settling.equilibrium = true;
    sim::Equilibrium e;
    e.trim.V = 4.27755;
    e.trim.sink = 1.18164;
    e.trim.ratio = 3.47916;
    e.trim.radius = 10.5863;
    e.trim.stalled = true;
    e.largestRealPart = -0.63;
    e.endsHere = true;
    sim::Equilibrium other;
    other.trim.V = 5.5;
    other.trim.sink = 0.666;
    other.trim.ratio = 8.28;
    other.largestRealPart = 0.1;
    a.equilibria = {e, other};
    const app::SettleView glide = app::ViewSettling(a);
    EXPECT_EQ(glide.sentence, "この発射では: 失速した定常旋回 (半径 10.6 m) に落ち着く");
    EXPECT_EQ(glide.equilibria,
              (std::vector<std::string>{
                  "定常滑空 1: 速度 4.28 m/s、沈下率 1.182 m/s、滑空比 3.48、旋回半径 10.6 m、"
                  "安定、失速（この発射の行き先）",
                  "定常滑空 2: 速度 5.50 m/s、沈下率 0.666 m/s、滑空比 8.28、旋回半径 - (直線)、"
                  "不安定"}));
    a.settling.kind = sim::SettleKind::Cycle;
    a.settling.period = 2.99988;
    a.settling.vMin = 3.5695;
    a.settling.vMax = 6.12711;
    EXPECT_EQ(app::ViewSettling(a).sentence,
              "この発射では: 周期 3.0 s の振動が続く (速度 3.6–6.1 m/s)");
    a.settling.kind = sim::SettleKind::Ground;
    a.settling.time = 43.33;
    EXPECT_EQ(app::ViewSettling(a).sentence, "この発射では: 43.3 s で地面に達する");
}
