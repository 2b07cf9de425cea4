// A measured track of any bytes: read or refused with a reason, never
// guessed; every point read is finite, and every row is either a point or
// named as left out.

#include "fuzz_common.h"

#include "app/measured.h"

#include <cmath>
#include <string>
#include <string_view>

using namespace skarvel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(bytes), size);
    app::MeasuredTrack track;
    try {
        track = app::ParseMeasuredTrack(text, 0.01);
    } catch (const app::MeasuredError& e) {
        FUZZ_REQUIRE(std::string(e.what()).size() > 0, "an empty reason");
        return 0;
    }
    FUZZ_REQUIRE(!track.points.empty(), "a track without points was read");
    for (const app::MeasuredPoint& p : track.points) {
        FUZZ_REQUIRE(std::isfinite(p.t) && std::isfinite(p.x) && std::isfinite(p.y) &&
                         std::isfinite(p.h),
                     "a point that is no number");
        FUZZ_REQUIRE(track.hasY || p.y == 0, "a side view with a y");
    }
    return 0;
}
