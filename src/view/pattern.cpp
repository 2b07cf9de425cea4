#include "view/pattern.h"

#include "data/numtext.h"
#include "data/tables.h"
#include "model/planform.h"
#include "model/wing.h"
#include "sim/input_set.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

namespace skarvel::view {

namespace {

namespace dz = data::design;
using model::DesignComponent;
using model::TailType;

constexpr int kSamples = 200;       // points of an edge from root to tip
constexpr double kTextSize = 3;     // mm
constexpr double kLineStep = 4.5;   // mm between label lines
constexpr double kMarkTextSize = 2; // mm
constexpr double kPieceGap = 5;     // mm between pieces
constexpr double kFooter = 14;      // mm at the bottom of a page for its furniture

std::string Format(const char* format, double a, double b) {
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, format, a, b);
    return buffer;
}

// Roughly how wide a text is drawn: full width for Japanese, about half for
// ASCII.
double TextWidth(const std::string& text, double size) {
    double width = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            width += 0.6 * size;
        } else if (byte >= 0xC0) {
            width += size;
        }
    }
    return width;
}

// Samples dense near the tip, where elliptic edges turn fastest.
double Eta(int k) {
    return std::sin(sim::kPi / 2 * k / kSamples);
}

[[noreturn]] void NoPattern(const std::string& why) {
    throw PatternError(why + "ため、型紙を作れません");
}

void RequirePositive(double value, const char* what) {
    if (!(value > 0) || !std::isfinite(value)) {
        NoPattern(std::string(what) + "が0以下の");
    }
}

struct Edges {
    std::function<double(double)> leading;
    std::function<double(double)> trailing;
};

// Which way the paper's grain runs in a piece: along a surface's span, or
// along the length of the fuselage and its reinforcement.
enum class Grain { Span, Length };

// The label block under a piece: name and paper, sizes, the grain arrow.
void Label(PatternPiece& p, const data::Table& design, int column, const std::string& sizes,
           double top, Grain grain) {
    const std::string paper = design.cell(column, dz::PaperName);
    const std::string line1 = p.name + "  紙: " + (paper.empty() ? std::string("-") : paper) +
                              "  " + design.cell(column, dz::PaperThickness) + " mm  " +
                              design.cell(column, dz::PaperWeight) + " g/m²";
    double y = top + kLineStep;
    p.texts.push_back({{0, y}, kTextSize, line1});
    y += kLineStep;
    p.texts.push_back({{0, y}, kTextSize, sizes});
    y += kLineStep;
    const double arrowY = y - kTextSize / 3;
    p.paths.push_back({PatternLine::Mark, {{0, arrowY}, {20, arrowY}}, false, {}});
    p.paths.push_back(
        {PatternLine::Mark, {{17, arrowY - 1.5}, {20, arrowY}, {17, arrowY + 1.5}}, false, {}});
    p.texts.push_back(
        {{23, y}, kTextSize, grain == Grain::Span ? "紙の目（スパン方向）" : "紙の目（長さ方向）"});
    p.height = y + 1;
    for (const PatternText& t : p.texts) {
        p.width = std::max(p.width, t.at.x + TextWidth(t.text, t.size));
    }
}

// A surface developed flat: the span along x, the chord downwards. Mirrored
// surfaces run tip to tip; a fin runs from its root at the left. Fold lines
// at the given fractions of the half-span.
PatternPiece Surface(std::string id, std::string name, const Edges& e, double span, bool mirrored,
                     const std::vector<double>& folds) {
    PatternPiece p;
    p.id = std::move(id);
    p.name = std::move(name);
    const double half = mirrored ? span / 2 : span;
    double top = e.leading(0);
    double bottom = e.trailing(0);
    for (int k = 0; k <= kSamples; ++k) {
        top = std::min(top, e.leading(Eta(k)));
        bottom = std::max(bottom, e.trailing(Eta(k)));
    }
    const auto at = [&](double eta, double side, double x) {
        return PointMm{(mirrored ? half : 0) + side * eta * half, x - top};
    };
    PatternPath outline{PatternLine::Outline, {}, true, p.id};
    if (mirrored) {
        for (int k = kSamples; k >= 0; --k) {
            outline.points.push_back(at(Eta(k), -1, e.leading(Eta(k))));
        }
        for (int k = 1; k <= kSamples; ++k) {
            outline.points.push_back(at(Eta(k), 1, e.leading(Eta(k))));
        }
        for (int k = kSamples; k >= 0; --k) {
            outline.points.push_back(at(Eta(k), 1, e.trailing(Eta(k))));
        }
        for (int k = 1; k <= kSamples; ++k) {
            outline.points.push_back(at(Eta(k), -1, e.trailing(Eta(k))));
        }
    } else {
        for (int k = 0; k <= kSamples; ++k) {
            outline.points.push_back(at(Eta(k), 1, e.leading(Eta(k))));
        }
        for (int k = kSamples; k >= 0; --k) {
            outline.points.push_back(at(Eta(k), 1, e.trailing(Eta(k))));
        }
    }
    for (const PointMm& q : outline.points) {
        if (!std::isfinite(q.x) || !std::isfinite(q.y)) {
            NoPattern(p.name + "の形が求められない");
        }
    }
    p.paths.push_back(std::move(outline));
    for (const double eta : folds) {
        for (const double side :
             mirrored&& eta > 0 ? std::vector<double>{-1, 1} : std::vector<double>{1}) {
            p.paths.push_back({PatternLine::Fold,
                               {at(eta, side, e.leading(eta)), at(eta, side, e.trailing(eta))},
                               false,
                               {}});
        }
    }
    p.width = mirrored ? span : span;
    p.height = bottom - top;
    return p;
}

Edges EdgesOf(const model::SurfaceShape& s) {
    return {[s](double eta) { return s.leadingEdge(eta); },
            [s](double eta) { return s.trailingEdge(eta); }};
}

std::string SurfaceSizes(double span, double rootChord) {
    return Format("展開長 %.1f mm  翼根弦長 %.1f mm", span, rootChord);
}

void Finish(PatternPiece& p, const data::Table& design, int column, const std::string& sizes,
            Grain grain = Grain::Span) {
    const double outlineWidth = p.width;
    const double outlineHeight = p.height;
    p.width = 0;
    Label(p, design, column, sizes, outlineHeight, grain);
    p.width = std::max(p.width, outlineWidth);
}

PatternPiece Wing(const model::AircraftModel& m, const data::Table& design) {
    const model::DesignData& d = m.design();
    const model::WingGeometry& w = m.wingGeometry();
    const double span = w.mainSpan;
    RequirePositive(span, "主翼の展開長");
    RequirePositive(d.innerWing.rootChord, "主翼の翼根翼弦長");
    const Edges e{[&w](double eta) {
                      return w.usesOuter(eta) ? w.outerOffset + w.outer.leadingEdge(eta)
                                              : w.inner.leadingEdge(eta);
                  },
                  [&w](double eta) {
                      return w.usesOuter(eta) ? w.outerOffset + w.outer.trailingEdge(eta)
                                              : w.inner.trailingEdge(eta);
                  }};
    std::vector<double> folds;
    if (d.innerWing.dihedral != 0) {
        folds.push_back(0);
    }
    if (w.twoStage && w.etaJ > 0 && w.etaJ < 1 && d.mainWing.dihedral != d.innerWing.dihedral) {
        folds.push_back(w.etaJ);
    }
    PatternPiece p = Surface("wing", "主翼", e, span, true, folds);
    Finish(p, design, dz::MainWing, SurfaceSizes(span, e.trailing(0) - e.leading(0)));
    return p;
}

PatternPiece HorizontalTail(const model::AircraftModel& m, const data::Table& design) {
    const DesignComponent& h = m.design().horizontalTail;
    RequirePositive(h.span, "水平尾翼の展開長");
    RequirePositive(h.rootChord, "水平尾翼の翼根翼弦長");
    std::vector<double> folds;
    if (h.dihedral != 0 || m.design().tailType == TailType::VTail) {
        folds.push_back(0);
    }
    // A V tail's two halves are one piece, cut as the V.
    PatternPiece p = Surface("htail", m.design().tailType == TailType::VTail ? "V尾翼" : "水平尾翼",
                             EdgesOf(model::SurfaceShape::Of(h)), h.span, true, folds);
    Finish(p, design, dz::HorizontalTail, SurfaceSizes(h.span, h.rootChord));
    return p;
}

PatternPiece Fin(const model::AircraftModel& m, const data::Table& design, std::string id) {
    const DesignComponent& v = m.design().verticalTail;
    RequirePositive(v.span, "垂直尾翼の展開長");
    RequirePositive(v.rootChord, "垂直尾翼の翼根翼弦長");
    PatternPiece p =
        Surface(std::move(id), "垂直尾翼", EdgesOf(model::SurfaceShape::Of(v)), v.span, false, {});
    Finish(p, design, dz::VerticalTail, SurfaceSizes(v.span, v.rootChord));
    return p;
}

PatternPiece Fuselage(const model::AircraftModel& m, const data::Table& design) {
    const model::DesignData& d = m.design();
    const double L = d.fuselageNose.rootChord;
    const double Ln = d.fuselageNose.tipChord;
    const double hn = d.fuselageNose.span;
    const double hr = d.fuselageBody.span;
    RequirePositive(L, "胴体の展開長");
    RequirePositive(hn, "胴体の翼根翼弦長（機首の高さ）");
    if (!(Ln >= 0)) {
        NoPattern("機首補強の展開長が負の");
    }
    if (!(hr >= 0)) {
        NoPattern("胴体の翼端翼弦長（後端の高さ）が負の");
    }
    if (Ln > L) {
        NoPattern("機首補強が胴体より長い");
    }
    PatternPiece p;
    p.id = "fuselage";
    p.name = "胴体";
    const double top = 3 + kMarkTextSize; // room for the marks' names above
    p.paths.push_back({PatternLine::Outline,
                       {{0, top}, {L, top}, {L, top + hr}, {Ln, top + hn}, {0, top + hn}},
                       true,
                       p.id});
    const auto depth = [&](double x) {
        return x <= Ln ? hn : hn + (hr - hn) * (x - Ln) / (L - Ln);
    };
    const TailType tail = d.tailType;
    const model::FuselageStations at = m.stations();
    struct Mark {
        double x;
        const char* name;
    };
    std::vector<Mark> marks{{at.wing, "主翼前縁"}, {at.horizontalTail, "水平尾翼前縁"}};
    if (tail == TailType::Normal || tail == TailType::Canard) {
        marks.push_back({at.finLeadingEdge, "垂直尾翼前縁"});
    }
    marks.push_back({at.centreOfGravity, "重心"});
    double lastTextEnd = -1e9;
    for (const Mark& mk : marks) {
        if (!(mk.x >= 0 && mk.x <= L)) {
            continue;
        }
        p.paths.push_back(
            {PatternLine::Mark, {{mk.x, top - 2}, {mk.x, top + depth(mk.x)}}, false, {}});
        // Names that would run into the one before move up a line.
        // A name that would run past the tail ends at its mark instead.
        const double width = TextWidth(mk.name, kMarkTextSize);
        const double x = mk.x + 0.5 + width > L ? std::max(0.0, mk.x - 0.5 - width) : mk.x + 0.5;
        const double y = x < lastTextEnd ? top - 2.5 - kMarkTextSize : top - 2.5;
        p.texts.push_back({{x, y}, kMarkTextSize, mk.name});
        lastTextEnd = std::max(lastTextEnd, x + width);
    }
    // The centre of gravity is the balance point: a triangle under it.
    const double cg = at.centreOfGravity;
    if (cg >= 0 && cg <= L) {
        const double y = top + depth(cg);
        p.paths.push_back(
            {PatternLine::Mark, {{cg, y}, {cg - 1.5, y + 2.5}, {cg + 1.5, y + 2.5}}, true, {}});
    }
    p.width = L;
    Label(p, design, dz::Fuselage, Format("全長 %.1f mm  機首の高さ %.1f mm", L, hn),
          top + std::max(hn, hr) + 3, Grain::Length);
    p.width = std::max(p.width, L);
    return p;
}

PatternPiece Nose(const model::AircraftModel& m, const data::Table& design) {
    const model::DesignData& d = m.design();
    const double Ln = d.fuselageNose.tipChord;
    const double hn = d.fuselageNose.span;
    PatternPiece p;
    p.id = "nose";
    p.name = "機首補強";
    p.paths.push_back({PatternLine::Outline, {{0, 0}, {Ln, 0}, {Ln, hn}, {0, hn}}, true, p.id});
    p.width = Ln;
    p.height = hn;
    Finish(p, design, dz::NoseReinforcement, Format("長さ %.1f mm  高さ %.1f mm", Ln, hn),
           Grain::Length);
    return p;
}

PatternPath Line(std::initializer_list<PointMm> points, bool closed = false) {
    return {PatternLine::Mark, points, closed, {}};
}

// The scale bar, the 10 mm square, the file and the page number.
PatternGroup Furniture(PointMm paper, double margin, const std::string& fileName,
                       const std::string& date, int page, int pages, const std::string& extra) {
    PatternGroup g;
    const double x0 = margin;
    const double y = paper.y - margin - 4;
    g.paths.push_back(Line({{x0, y}, {x0 + 100, y}}));
    for (int k = 0; k <= 10; ++k) {
        const double tick = k % 5 == 0 ? 2 : 1;
        g.paths.push_back(Line({{x0 + 10 * k, y - tick}, {x0 + 10 * k, y}}));
    }
    g.texts.push_back({{x0, y + 3.5}, kMarkTextSize + 0.5, "100 mm"});
    const double sx = x0 + 106;
    g.paths.push_back(Line({{sx, y - 10}, {sx + 10, y - 10}, {sx + 10, y}, {sx, y}}, true));
    g.texts.push_back({{sx, y + 3.5}, kMarkTextSize + 0.5, "10 mm"});
    const std::string number = std::to_string(page) + "/" + std::to_string(pages);
    const double right = paper.x - margin;
    // At the top right, in the margin, clear of the labels at the bottom.
    g.texts.push_back({{right - TextWidth(number, kTextSize), margin - 2}, kTextSize, number});
    g.texts.push_back({{sx + 14, y - 5}, kMarkTextSize + 0.5, fileName + "  " + date});
    if (!extra.empty()) {
        g.texts.push_back({{sx + 14, y}, kMarkTextSize + 0.5, extra});
    }
    return g;
}

void Translate(PatternGroup& g, const PatternPiece& p, double dx, double dy) {
    for (PatternPath path : p.paths) {
        for (PointMm& q : path.points) {
            q.x += dx;
            q.y += dy;
        }
        g.paths.push_back(std::move(path));
    }
    for (PatternText t : p.texts) {
        t.at.x += dx;
        t.at.y += dy;
        g.texts.push_back(std::move(t));
    }
}

} // namespace

std::vector<PatternPiece> PatternPieces(const model::AircraftModel& model, bool computed,
                                        const data::Table& design) {
    if (!computed || !model.wingComputed()) {
        const auto step = model.failedStep();
        NoPattern(step ? "設計の計算が" +
                             std::string(model::DesignStepName(*step, model.design().tailType)) +
                             "で失敗した"
                       : std::string("設計の計算に失敗した"));
    }
    std::vector<PatternPiece> pieces;
    pieces.push_back(Wing(model, design));
    pieces.push_back(HorizontalTail(model, design));
    const TailType tail = model.design().tailType;
    if (tail != TailType::VTail) {
        pieces.push_back(Fin(model, design, "vtail"));
        if (tail == TailType::TwinFin) {
            pieces.push_back(Fin(model, design, "vtail2"));
        }
    }
    pieces.push_back(Fuselage(model, design));
    // A reinforcement of no length, or of no sheet, is nothing to cut.
    if (model.design().fuselageNose.tipChord > 0 &&
        data::ParseReal(design.cell(dz::NoseReinforcement, dz::SheetCount)) > 0) {
        pieces.push_back(Nose(model, design));
    }
    return pieces;
}

std::optional<PaperSize> PaperSizeFromName(std::string_view name) {
    std::string lower(name);
    for (char& c : lower) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    if (lower == "a4") {
        return PaperSize::A4;
    }
    if (lower == "a3") {
        return PaperSize::A3;
    }
    if (lower == "b5") {
        return PaperSize::B5;
    }
    if (lower == "letter") {
        return PaperSize::Letter;
    }
    return std::nullopt;
}

PointMm PaperDimensions(PaperSize paper) {
    switch (paper) {
    case PaperSize::A3:
        return {297, 420};
    case PaperSize::B5:
        return {182, 257}; // JIS B5
    case PaperSize::Letter:
        return {215.9, 279.4};
    case PaperSize::A4:
        break;
    }
    return {210, 297};
}

PatternLayout LayOutPattern(const std::vector<PatternPiece>& pieces, PointMm paper, double margin,
                            const std::string& fileName, const std::string& date) {
    margin = std::max(margin, kPatternMargin);
    const double W = paper.x - 2 * margin;
    const double H = paper.y - 2 * margin - kFooter;
    if (W < 120 || H < 3 * kTileOverlap) {
        throw PatternError("用紙の印刷範囲が小さすぎるため、型紙を作れません");
    }
    std::vector<const PatternPiece*> order;
    for (const PatternPiece& p : pieces) {
        order.push_back(&p);
    }
    std::stable_sort(order.begin(), order.end(), [](const PatternPiece* a, const PatternPiece* b) {
        return a->width * a->height > b->width * b->height;
    });

    // The pages before any is laid out: a part too large for the paper
    // (a span typed in metres, say) is refused, not tiled over thousands of
    // pages. Counted in doubles, as a tile count may lie beyond any int.
    const double stepX = W - kTileOverlap;
    const double stepY = H - kTileOverlap;
    const auto tiles = [&](const PatternPiece& p, double& columns, double& rows) {
        columns = std::max(1.0, std::ceil((p.width - kTileOverlap) / stepX));
        rows = std::max(1.0, std::ceil((p.height - kTileOverlap) / stepY));
    };
    double pageCount = 0;
    for (const PatternPiece* p : order) {
        double columns = 1, rows = 1;
        if (p->width > W || p->height > H) {
            tiles(*p, columns, rows);
        }
        pageCount += columns * rows;
        if (!(columns * rows <= kMaxPatternPages) || !(pageCount <= kMaxPatternPages)) {
            char why[200];
            std::snprintf(why, sizeof why, "%sの型紙が %.0f ページ以上になる（上限 %d ページ）",
                          p->name.c_str(), std::min(pageCount, 1e15), kMaxPatternPages);
            NoPattern(why);
        }
    }

    struct Page {
        std::vector<PatternGroup> groups;
        std::string extra; // a tile's name
    };
    std::vector<Page> pages;
    // Pieces too large for a page: one page per tile, the tiles overlapping
    // by kTileOverlap with crosses to align them in the overlap.
    for (const PatternPiece* p : order) {
        if (p->width <= W && p->height <= H) {
            continue;
        }
        double tileColumns = 1, tileRows = 1;
        tiles(*p, tileColumns, tileRows);
        const int columns = static_cast<int>(tileColumns); // at most kMaxPatternPages
        const int rows = static_cast<int>(tileRows);
        PatternPiece marked = *p;
        for (int c = 1; c < columns; ++c) {
            const double x = c * stepX + kTileOverlap / 2;
            for (double y = 5; y < p->height; y += 40) {
                marked.paths.push_back(Line({{x - 3, y}, {x + 3, y}}));
                marked.paths.push_back(Line({{x, y - 3}, {x, y + 3}}));
            }
        }
        for (int r = 1; r < rows; ++r) {
            const double y = r * stepY + kTileOverlap / 2;
            for (double x = 5; x < p->width; x += 40) {
                marked.paths.push_back(Line({{x - 3, y}, {x + 3, y}}));
                marked.paths.push_back(Line({{x, y - 3}, {x, y + 3}}));
            }
        }
        int tile = 0;
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                PatternGroup g;
                g.clip = RectMm{margin, margin, W, H};
                Translate(g, marked, margin - c * stepX, margin - r * stepY);
                char extra[200];
                std::snprintf(extra, sizeof extra, "%s タイル %d/%d（横%d・縦%d）", p->name.c_str(),
                              ++tile, columns * rows, c + 1, r + 1);
                pages.push_back({{std::move(g)}, extra});
            }
        }
    }
    // The rest in rows, reading order.
    double x = 0, y = 0, rowHeight = 0;
    bool open = false;
    for (const PatternPiece* p : order) {
        if (p->width > W || p->height > H) {
            continue;
        }
        if (open && x > 0 && x + p->width > W) {
            x = 0;
            y += rowHeight + kPieceGap;
            rowHeight = 0;
        }
        if (!open || y + p->height > H) {
            pages.push_back({{PatternGroup{}}, {}});
            x = y = rowHeight = 0;
            open = true;
        }
        Translate(pages.back().groups.front(), *p, margin + x, margin + y);
        x += p->width + kPieceGap;
        rowHeight = std::max(rowHeight, p->height);
    }
    PatternLayout layout;
    const int count = static_cast<int>(pages.size());
    for (int k = 0; k < count; ++k) {
        PatternPage page{paper.x, paper.y, std::move(pages[static_cast<std::size_t>(k)].groups)};
        page.groups.push_back(Furniture(paper, margin, fileName, date, k + 1, count,
                                        pages[static_cast<std::size_t>(k)].extra));
        layout.pages.push_back(std::move(page));
    }
    return layout;
}

} // namespace skarvel::view
