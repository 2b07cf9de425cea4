#pragma once
// What the flight targets take from the bytes: the texts a user might type
// into a value cell, and a view that stops a flight after a few simulated
// seconds, as Esc would.

#include "app/trajectory_surface.h"
#include "app/workspace.h"
#include "data/numtext.h"
#include "picture/recording_canvas.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdio>
#include <string>

namespace skarvel::fuzz {

// Ends each flight at its n-th simulated second.
class StopAfterSeconds : public app::FlightView {
  public:
    StopAfterSeconds(app::Workspace& ws, int seconds) : ws_(ws), seconds_(seconds) {}
    void flightStarting() override { elapsed_ = 0; }
    void secondElapsed() override {
        if (++elapsed_ >= seconds_) {
            ws_.requestStop();
        }
    }

  private:
    app::Workspace& ws_;
    int seconds_;
    int elapsed_ = 0;
};

// A workspace whose flights stop after `seconds` and draw on a recorded
// picture of width x height, as the window's do.
struct FlyingWorkspace {
    app::Workspace ws;
    StopAfterSeconds stop;
    app::PictureSurface<picture::RecordingCanvas> surface;
    FlyingWorkspace(int seconds, int width, int height)
        : stop(ws, seconds), surface(width, height) {
        ws.setFlightView(&stop);
        ws.viewport().setSurface(&surface);
        ws.viewport().prepare(width, height);
    }
    FlyingWorkspace(const FlyingWorkspace&) = delete;
    FlyingWorkspace& operator=(const FlyingWorkspace&) = delete;
};

// A text for a cell that now holds `current`.
inline std::string ConsumeCellText(FuzzedDataProvider& provider, const std::string& current) {
    static constexpr std::array<const char*, 24> kOdd = {
        "",        "abc", "nan", "inf", "-inf", "1e999", "1e300", "-1e300",
        "1e-300",  "0",   "-0",  "5.",  ".5",   "-",     "1e",    "12mm",
        "9999999", "-90", "90",  "180", "1e-7", "-1e-7", "1e10",  " 3.3 "};
    char buffer[64];
    switch (provider.ConsumeIntegralInRange(0, 5)) {
    case 0: // any double, as printf writes it
        std::snprintf(buffer, sizeof buffer, "%.17g", provider.ConsumeFloatingPoint<double>());
        return buffer;
    case 1: // a whole number
        return std::to_string(provider.ConsumeIntegralInRange(-1000, 1000));
    case 2: // the value there, scaled
    {
        const double value = data::ParseRealStrict(current);
        const double factor = provider.ConsumeFloatingPointInRange(-4.0, 4.0);
        return data::FormatShortest(value * factor);
    }
    case 3: // a few decimal places
        std::snprintf(buffer, sizeof buffer, "%.3f",
                      provider.ConsumeFloatingPointInRange(-200.0, 200.0));
        return buffer;
    case 4:
        return kOdd[provider.ConsumeIntegralInRange<std::size_t>(0, kOdd.size() - 1)];
    default: // anything
        return provider.ConsumeRandomLengthString(24);
    }
}

} // namespace skarvel::fuzz
