#include "view/view_state.h"

#include "sim/units.h"
#include "view/pixel.h"

#include <cmath>

namespace skarvel::view {

void UpdateProjection(ViewState& v) {
    const double c = sim::kRadiansPerDegree;
    const double s = v.s;
    v.Q[0] = {-s * std::sin(-v.a * c), s * std::cos(-v.a * c), 0};
    v.Q[1] = {-s * std::cos(-v.a * c) * std::sin(v.b * c),
              -s * std::sin(-v.a * c) * std::sin(v.b * c), s * std::cos(v.b * c)};
    const double ks = v.k / s;
    for (int r = 0; r < 2; ++r) {
        for (int j = 0; j < 3; ++j) {
            v.P[r][j] = ks * v.Q[r][j];
        }
    }
}

ViewState InitialView(int width, int height, int a, int b) {
    ViewState v;
    v.width = width;
    v.height = height;
    v.a = a;
    v.b = b;
    v.ox = RoundPixel(width / 2.0);
    v.oy = RoundPixel(3.0 * height / 4);
    UpdateProjection(v);
    return v;
}

Point Project(const ViewState& v, double x, double y, double z) {
    return {RoundPixel(v.P[0][0] * x + v.P[0][1] * y + v.P[0][2] * z + v.ox),
            RoundPixel(v.P[1][0] * x + v.P[1][1] * y + v.P[1][2] * z + v.oy)};
}

} // namespace skarvel::view
