// When a fault of the simulated radio strikes.
//
// A schedule is written as text on the command line:
//   "0.05" or "5%"   each event is hit with that probability (seeded)
//   "3" or "1,7,300" the events with these ordinal numbers (1-based) are hit
//   "" or "0"        never
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace ks340::sim {

// A small deterministic generator (splitmix64): the same seed gives the same
// faults on every platform and standard library.
class SimRandom {
public:
    explicit SimRandom(std::uint64_t seed = 0) : state_(seed) {}
    std::uint64_t next();
    // Uniform in [0, 1).
    double nextUnit();

private:
    std::uint64_t state_;
};

class FaultSchedule {
public:
    FaultSchedule() = default;
    static FaultSchedule never() { return {}; }
    static FaultSchedule withRate(double probability);
    static FaultSchedule atOrdinals(std::set<std::uint64_t> ordinals);

    // Parses the command-line form; nullopt (with a reason in *error) when
    // the text is not a schedule.
    static std::optional<FaultSchedule> parse(std::string_view text, std::string* error = nullptr);

    // Whether the event with this ordinal (1-based) is hit. A rate draws one
    // number from `random` per call, ordinals draw nothing.
    bool hits(std::uint64_t ordinal, SimRandom& random) const;

    bool active() const { return rate_ > 0.0 || !ordinals_.empty(); }
    double rate() const { return rate_; }
    const std::set<std::uint64_t>& ordinals() const { return ordinals_; }
    std::string describe() const;

private:
    double rate_ = 0.0;
    std::set<std::uint64_t> ordinals_;
};

}  // namespace ks340::sim
