#include "sim/text_export.h"

#include "data/numtext.h"
#include "data/textfile.h"

namespace skarvel::sim {

std::vector<std::string> FlightTextLines(const FlightRecord& record) {
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(record.lastIndex) + 3);
    lines.emplace_back("No\tt\tCL\tx\ty\tz\tu\tv\tw\tphi\ttheta\tpsi\tp\tq\tr");
    lines.emplace_back("\t時刻(s)\t揚力係数\tx座標(m)\ty座標(m)\t-z座標(m)\t軸速度(m/s)\t"
                       "横滑速度(m/s)\t縦滑速度(m/s)\tロール角(rad)\tピッチ角(rad)\t"
                       "ヨー角(rad)\tロール角速度\tピッチ角速度\tヨー角速度");
    for (int k = 0; k <= record.lastIndex; ++k) {
        const FlightSample& s = record.sample(k);
        std::string line = std::to_string(k);
        line += '\t';
        line += data::FormatFixed(s.t, 3);
        for (double v :
             {s.CL, s.x, s.y, s.z, s.u, s.v, s.w, s.phi, s.theta, s.psi, s.p, s.q, s.r}) {
            line += '\t';
            line += data::FormatFixed(v, 10);
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

void WriteFlightText(const std::string& path, const FlightRecord& record) {
    data::WriteCp932Lines(path, FlightTextLines(record));
}

} // namespace skarvel::sim
