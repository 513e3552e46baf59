#include "antenna_check.h"

#include "coil/physics.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <limits>

namespace brevan::check {

namespace {

// The trimmed antenna has to resonate within 0.05 % of F; the searches aim ten times closer so
// that only the rounding to whole centimetres is left.
constexpr double kSearchTolerance = 0.00005;
// Each search probe sweeps F and its neighbours this far apart, for the reactance's slope.
constexpr double kProbeSpacing = 0.002;
constexpr int kMaxProbes = 10;
constexpr int kMaxAnalysisRounds = 6;

// ---------------------------------------------------------------- numbers and words

std::string fixed(double value, int decimals) {
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, decimals);
    return std::string(buffer.data(), result.ptr);
}

std::string engineWords(EngineFailure failure) {
    switch (failure) {
    case EngineFailure::Missing: return "the NEC-2 engine nec2c is not installed";
    case EngineFailure::Failed: return "the NEC-2 engine failed";
    case EngineFailure::TimedOut: return "the NEC-2 engine ran past its time limit";
    case EngineFailure::Unreadable: return "the NEC-2 engine's output could not be read";
    case EngineFailure::None: break;
    }
    return "the NEC-2 engine failed";
}

AntennaCheckFailure engineFailure(EngineFailure kind, const std::string& detail) {
    AntennaCheckFailure failure;
    failure.engine = kind;
    // The adapter's detail already names the engine and says what happened.
    failure.message = detail.empty() ? engineWords(kind) : detail;
    return failure;
}

// ---------------------------------------------------------------- how finely to sweep

// A Sommerfeld ground costs the engine about fifteen times more per frequency than free space
// or a perfect ground, so its sweeps are thinner; the refinement keeps the precision.
struct SweepPlan {
    int coarse = 31; // over the whole search window, odd so that F is the middle point
    int fine = 41;   // around the resonance and the 2:1 band
    int curve = 81;  // for the picture
};

SweepPlan sweepPlan(GroundKind ground) {
    const bool sommerfeld =
        ground == GroundKind::Poor || ground == GroundKind::Average || ground == GroundKind::Good;
    return sommerfeld ? SweepPlan{21, 25, 61} : SweepPlan{};
}

std::vector<double> frequenciesOf(const std::vector<Sweep>& sweeps) {
    std::vector<double> frequencies;
    for (const Sweep& sweep : sweeps) {
        for (int i = 0; i < sweep.count; ++i) {
            frequencies.push_back(sweep.start + sweep.step * i);
        }
    }
    return frequencies;
}

Sweep sweepBetween(double lowMHz, double highMHz, int count) {
    return Sweep{lowMHz, (highMHz - lowMHz) / (count - 1), count};
}

// ---------------------------------------------------------------- running the engine

struct Request {
    AntennaModel model;
    Segmentation segmentation;
    std::vector<Sweep> sweeps;
    std::string comment;
};

using Batch = std::variant<std::vector<std::vector<FeedPoint>>, AntennaCheckFailure>;

// Runs the decks as one batch. The engine prints frequencies to five digits only, so each point
// takes the exact frequency the sweep asked for, after checking that it is the one printed.
Batch runBatch(const Engine& engine, const std::vector<Request>& requests) {
    std::vector<std::string> decks;
    decks.reserve(requests.size());
    for (const Request& request : requests) {
        decks.push_back(
            writeDeck(request.model, request.segmentation, request.sweeps, request.comment));
    }
    const std::vector<EngineRun> runs = engine(decks);
    if (runs.size() != decks.size()) {
        return engineFailure(EngineFailure::Unreadable,
                             "it answered " + std::to_string(runs.size()) + " runs for " +
                                 std::to_string(decks.size()) + " decks");
    }
    std::vector<std::vector<FeedPoint>> results;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const EngineRun& run = runs[i];
        if (run.failure != EngineFailure::None) {
            return engineFailure(run.failure, run.detail);
        }
        const std::vector<double> asked = frequenciesOf(requests[i].sweeps);
        if (run.points.size() != asked.size()) {
            return engineFailure(EngineFailure::Unreadable,
                                 "it printed " + std::to_string(run.points.size()) +
                                     " frequencies where " + std::to_string(asked.size()) +
                                     " were asked for");
        }
        std::vector<FeedPoint> points = run.points;
        for (std::size_t k = 0; k < points.size(); ++k) {
            if (std::abs(points[k].frequencyMHz - asked[k]) > 1e-4 * asked[k]) {
                return engineFailure(EngineFailure::Unreadable,
                                     "it analysed " + fixed(points[k].frequencyMHz, 5) +
                                         " MHz where " + fixed(asked[k], 5) + " MHz was asked for");
            }
            points[k].frequencyMHz = asked[k];
        }
        results.push_back(std::move(points));
    }
    return results;
}

std::variant<Segmentation, AntennaCheckFailure>
segmentFor(const AntennaModel& model, double highestMHz, const std::string& which) {
    auto segmented = segmentAntenna(model, highestMHz);
    if (const auto* refusal = std::get_if<ModelRefusal>(&segmented)) {
        AntennaCheckFailure failure;
        failure.model = *refusal;
        failure.message = "the antenna " + which + " cannot be modelled: " + refusal->reason;
        return failure;
    }
    return std::get<Segmentation>(segmented);
}

// ---------------------------------------------------------------- interpolation

double resistanceOf(const FeedPoint& point) {
    return point.impedance.real();
}
double reactanceOf(const FeedPoint& point) {
    return point.impedance.imag();
}

// The samples around the interval [j, j+1] that a local polynomial may use: a neighbour much
// farther away than the interval is wide would only add the far curve's shape.
std::vector<std::size_t> nodesAround(const std::vector<FeedPoint>& samples, std::size_t j) {
    const double width = samples[j + 1].frequencyMHz - samples[j].frequencyMHz;
    std::vector<std::size_t> nodes;
    if (j > 0 && samples[j].frequencyMHz - samples[j - 1].frequencyMHz <= 3.0 * width) {
        nodes.push_back(j - 1);
    }
    nodes.push_back(j);
    nodes.push_back(j + 1);
    if (j + 2 < samples.size() &&
        samples[j + 2].frequencyMHz - samples[j + 1].frequencyMHz <= 3.0 * width) {
        nodes.push_back(j + 2);
    }
    return nodes;
}

// Lagrange's polynomial through the nodes: cubic where the neighbours allow it.
double interpolate(const std::vector<FeedPoint>& samples, const std::vector<std::size_t>& nodes,
                   double frequency, double (*value)(const FeedPoint&)) {
    double sum = 0.0;
    for (const std::size_t i : nodes) {
        double weight = 1.0;
        for (const std::size_t k : nodes) {
            if (k != i) {
                weight *= (frequency - samples[k].frequencyMHz) /
                          (samples[i].frequencyMHz - samples[k].frequencyMHz);
            }
        }
        sum += weight * value(samples[i]);
    }
    return sum;
}

std::complex<double> impedanceAt(const std::vector<FeedPoint>& samples, std::size_t j,
                                 double frequency) {
    const auto nodes = nodesAround(samples, j);
    return {interpolate(samples, nodes, frequency, resistanceOf),
            interpolate(samples, nodes, frequency, reactanceOf)};
}

// The root of g in [low, high], where g(low) and g(high) differ in sign.
template <typename Function> double bisect(Function g, double low, double high) {
    const bool risingAtLow = g(low) < 0.0;
    for (int i = 0; i < 80 && high - low > 1e-12 * high; ++i) {
        const double middle = 0.5 * (low + high);
        if ((g(middle) < 0.0) == risingAtLow) {
            low = middle;
        } else {
            high = middle;
        }
    }
    return 0.5 * (low + high);
}

// ---------------------------------------------------------------- one antenna's analysis

// A crossing found between the samples `interval` and `interval + 1`.
struct Crossing {
    double frequencyMHz = 0.0;
    std::size_t interval = 0;
};

struct Crossings {
    std::optional<Crossing> resonance;
    std::optional<Crossing> lower;
    std::optional<Crossing> upper;
};

// Series resonances only (X rising through zero): a falling zero is the parallel resonance,
// kilo-ohms that no builder would call resonant.
std::optional<Crossing> findResonance(const std::vector<FeedPoint>& samples, double designMHz) {
    std::optional<Crossing> nearest;
    for (std::size_t j = 0; j + 1 < samples.size(); ++j) {
        if (!(reactanceOf(samples[j]) < 0.0 && reactanceOf(samples[j + 1]) >= 0.0)) {
            continue;
        }
        const auto nodes = nodesAround(samples, j);
        const double zero =
            bisect([&](double f) { return interpolate(samples, nodes, f, reactanceOf); },
                   samples[j].frequencyMHz, samples[j + 1].frequencyMHz);
        if (!nearest || std::abs(zero - designMHz) < std::abs(nearest->frequencyMHz - designMHz)) {
            nearest = Crossing{zero, j};
        }
    }
    return nearest;
}

Crossings findCrossings(const std::vector<FeedPoint>& samples, double designMHz) {
    Crossings found;
    found.resonance = findResonance(samples, designMHz);
    if (!found.resonance) {
        return found;
    }
    const double resonance = found.resonance->frequencyMHz;
    const std::size_t j = found.resonance->interval;
    if (swr(impedanceAt(samples, j, resonance)) >= 2.0) {
        return found;
    }
    const auto excess = [&](std::size_t interval) {
        return
            [&samples, interval](double f) { return swr(impedanceAt(samples, interval, f)) - 2.0; };
    };
    for (std::size_t k = j + 1; k-- > 0;) {
        if (swr(samples[k].impedance) >= 2.0) {
            const double right = k == j ? resonance : samples[k + 1].frequencyMHz;
            found.lower = Crossing{bisect(excess(k), samples[k].frequencyMHz, right), k};
            break;
        }
    }
    for (std::size_t k = j + 1; k < samples.size(); ++k) {
        if (swr(samples[k].impedance) >= 2.0) {
            const double left = k == j + 1 ? resonance : samples[k - 1].frequencyMHz;
            found.upper = Crossing{bisect(excess(k - 1), left, samples[k].frequencyMHz), k - 1};
            break;
        }
    }
    return found;
}

struct Analysis {
    AntennaModel model;
    Segmentation segmentation;
    std::string comment;
    std::vector<FeedPoint> samples; // ascending frequency
    double fineStep = 0.0;          // MHz; zero until the first refinement
    int rounds = 0;
};

void addSamples(Analysis& analysis, const std::vector<FeedPoint>& points) {
    auto& samples = analysis.samples;
    samples.insert(samples.end(), points.begin(), points.end());
    std::sort(samples.begin(), samples.end(), [](const FeedPoint& a, const FeedPoint& b) {
        return a.frequencyMHz < b.frequencyMHz;
    });
    samples.erase(std::unique(samples.begin(), samples.end(),
                              [](const FeedPoint& a, const FeedPoint& b) {
                                  return b.frequencyMHz - a.frequencyMHz < 1e-9 * b.frequencyMHz;
                              }),
                  samples.end());
}

// The half-width of the 2:1 band of a series circuit R + jS(f - f0): the reactance where
// |(Z - 50) / (Z + 50)| = 1/3 is sqrt(((R + 50)^2 - 9 (R - 50)^2) / 8). Zero when R is so far
// from 50 ohm that the SWR never falls to 2.
double bandHalfWidthMHz(double resistance, double slopeOhmPerMHz) {
    const double r = kReferenceImpedance;
    const double square =
        ((resistance + r) * (resistance + r) - 9.0 * (resistance - r) * (resistance - r)) / 8.0;
    if (square <= 0.0 || slopeOhmPerMHz <= 0.0) {
        return 0.0;
    }
    return std::sqrt(square) / slopeOhmPerMHz;
}

// The first refinement: a sweep over the resonance and, from the coarse slope, the whole band.
Sweep fineSweep(const Analysis& analysis, const Crossing& resonance, double designMHz, int count) {
    const auto& s = analysis.samples;
    const FeedPoint& below = s[resonance.interval];
    const FeedPoint& above = s[resonance.interval + 1];
    const double coarseStep = above.frequencyMHz - below.frequencyMHz;
    const double slope = (reactanceOf(above) - reactanceOf(below)) / coarseStep;
    const double weight = (resonance.frequencyMHz - below.frequencyMHz) / coarseStep;
    const double resistance =
        resistanceOf(below) + weight * (resistanceOf(above) - resistanceOf(below));
    const double halfSpan = std::max(1.3 * bandHalfWidthMHz(resistance, slope), coarseStep);
    const double low =
        std::max(resonance.frequencyMHz - halfSpan, designMHz * (1.0 - kResonanceWindow));
    const double high =
        std::min(resonance.frequencyMHz + halfSpan, designMHz * (1.0 + kResonanceWindow));
    return sweepBetween(low, high, count);
}

// What an analysis still needs: nothing when every crossing lies between samples no farther
// apart than the fine step.
std::vector<Sweep> nextSweeps(Analysis& analysis, double designMHz, const SweepPlan& plan) {
    if (analysis.samples.empty()) {
        return {sweepBetween(designMHz * (1.0 - kResonanceWindow),
                             designMHz * (1.0 + kResonanceWindow), plan.coarse)};
    }
    if (analysis.rounds >= kMaxAnalysisRounds) {
        return {};
    }
    const Crossings found = findCrossings(analysis.samples, designMHz);
    if (!found.resonance) {
        return {};
    }
    if (analysis.fineStep == 0.0) {
        const Sweep sweep = fineSweep(analysis, *found.resonance, designMHz, plan.fine);
        analysis.fineStep = sweep.step;
        return {sweep};
    }
    std::vector<Sweep> sweeps;
    for (const auto& crossing : {found.resonance, found.lower, found.upper}) {
        if (!crossing) {
            continue;
        }
        const double low = analysis.samples[crossing->interval].frequencyMHz;
        const double width = analysis.samples[crossing->interval + 1].frequencyMHz - low;
        if (width <= 1.5 * analysis.fineStep) {
            continue;
        }
        const int inside =
            std::clamp(static_cast<int>(std::ceil(width / analysis.fineStep)) - 1, 3, plan.fine);
        const double step = width / (inside + 1);
        sweeps.push_back(Sweep{low + step, step, inside});
    }
    return sweeps;
}

const FeedPoint& nearestSample(const std::vector<FeedPoint>& samples, double frequencyMHz) {
    return *std::min_element(samples.begin(), samples.end(),
                             [frequencyMHz](const FeedPoint& a, const FeedPoint& b) {
                                 return std::abs(a.frequencyMHz - frequencyMHz) <
                                        std::abs(b.frequencyMHz - frequencyMHz);
                             });
}

AntennaResult resultOf(const Analysis& analysis, double designMHz) {
    AntennaResult result;
    result.length = analysis.model.length;
    result.coil = analysis.model.coil;
    const FeedPoint& design = nearestSample(analysis.samples, designMHz);
    result.designImpedance = design.impedance;
    result.designSwr = swr(design.impedance);
    result.designEfficiency = efficiency(design);
    const Crossings found = findCrossings(analysis.samples, designMHz);
    if (found.resonance) {
        result.resonanceMHz = found.resonance->frequencyMHz;
        result.resonanceResistance =
            impedanceAt(analysis.samples, found.resonance->interval, found.resonance->frequencyMHz)
                .real();
    }
    if (found.lower && found.upper) {
        result.band.lowerMHz = found.lower->frequencyMHz;
        result.band.upperMHz = found.upper->frequencyMHz;
    } else if (found.lower) {
        result.band.lowerMHz = found.lower->frequencyMHz;
    } else if (found.upper) {
        result.band.upperMHz = found.upper->frequencyMHz;
    }
    return result;
}

// ---------------------------------------------------------------- searches on one value

// A search for the value x (a tip change, an inductance) that puts the reactance at F to zero.
// The reactance rises with x in both cases: a longer wire or a bigger coil lowers the resonance.
struct RootSearch {
    double lower = 0.0; // the range x may take
    double upper = 0.0;
    double xTolerance = 0.0;
    std::vector<std::array<double, 3>> tried; // x, reactance at F (ohm), its slope (ohm/MHz)
    std::optional<double> next;               // the x to probe next; nothing when finished
    double root = 0.0;
    bool outOfRange = false; // the reactance at F does not change sign within the range
};

// Finished when the estimated resonance lies within the search tolerance of F.
bool closeEnough(const std::array<double, 3>& probe, double designMHz) {
    return probe[2] > 0.0 && std::abs(probe[1] / probe[2]) < kSearchTolerance * designMHz;
}

// A secant step from the last two probes, kept inside the best bracket found so far (where it
// would leave it, the bracket's own false-position point is taken instead).
double secantStep(const RootSearch& search) {
    const auto& last = search.tried.back();
    const auto& before = search.tried[search.tried.size() - 2];
    double x = last[0];
    if (last[1] != before[1]) {
        x = last[0] - last[1] * (last[0] - before[0]) / (last[1] - before[1]);
    }
    std::optional<std::array<double, 3>> below;
    std::optional<std::array<double, 3>> above;
    for (const auto& probe : search.tried) {
        if (probe[1] < 0.0 && (!below || probe[0] > (*below)[0])) {
            below = probe;
        }
        if (probe[1] >= 0.0 && (!above || probe[0] < (*above)[0])) {
            above = probe;
        }
    }
    if (below && above) {
        const double low = std::min((*below)[0], (*above)[0]);
        const double high = std::max((*below)[0], (*above)[0]);
        if (!(x > low && x < high)) {
            x = (*below)[0] -
                (*below)[1] * ((*above)[0] - (*below)[0]) / ((*above)[1] - (*below)[1]);
        }
    }
    return std::clamp(x, search.lower, search.upper);
}

void takeProbe(RootSearch& search, double x, const std::vector<FeedPoint>& points,
               double designMHz) {
    const double slope = (reactanceOf(points[2]) - reactanceOf(points[0])) /
                         (points[2].frequencyMHz - points[0].frequencyMHz);
    search.tried.push_back({x, reactanceOf(points[1]), slope});
    const auto best = std::min_element(
        search.tried.begin(), search.tried.end(),
        [](const auto& a, const auto& b) { return std::abs(a[1]) < std::abs(b[1]); });
    search.root = (*best)[0];
    search.next.reset();
    if (closeEnough(search.tried.back(), designMHz)) {
        search.root = x;
        return;
    }
    if (search.tried.size() >= static_cast<std::size_t>(kMaxProbes)) {
        return;
    }
    const double proposed = secantStep(search);
    const bool atBound = proposed == search.lower || proposed == search.upper;
    if (atBound && std::abs(proposed - x) < search.xTolerance) {
        search.outOfRange = true; // the bound itself was probed and the sign did not change
        return;
    }
    if (std::abs(proposed - x) < search.xTolerance) {
        search.root = proposed;
        return;
    }
    search.next = proposed;
}

Sweep probeSweep(double designMHz) {
    return Sweep{designMHz * (1.0 - kProbeSpacing), designMHz * kProbeSpacing, 3};
}

// ---------------------------------------------------------------- the check

struct Context {
    const AntennaCheckInput& input;
    const Engine& engine;
    const Progress& progress;
    double highestMHz = 0.0; // every model is segmented for the top of the search window
    SweepPlan plan;
};

void tell(const Context& context, const std::string& line) {
    if (context.progress) {
        context.progress(line);
    }
}

std::string describe(const std::string& what, const AntennaModel& model, double designMHz) {
    return "Brevan check, " + what + ": " + fixed(model.length, 3) + " m, coils " +
           fixed(model.coil.inductance * 1e6, 3) + " uH + " + fixed(model.coil.resistance, 2) +
           " ohm at +-" + fixed(model.coilDistance, 3) + " m, design " + fixed(designMHz, 4) +
           " MHz";
}

std::variant<Analysis, AntennaCheckFailure>
newAnalysis(const Context& context, const AntennaModel& model, const std::string& what) {
    auto segmented = segmentFor(model, context.highestMHz, what);
    if (auto* failure = std::get_if<AntennaCheckFailure>(&segmented)) {
        return std::move(*failure);
    }
    Analysis analysis;
    analysis.model = model;
    analysis.segmentation = std::get<Segmentation>(segmented);
    analysis.comment = describe(what, model, context.input.designMHz);
    return analysis;
}

// A probe of one search: its model, or why the model cannot be made.
using ProbeModel = std::function<std::variant<Request, AntennaCheckFailure>(double x)>;

struct SearchTask {
    RootSearch* search;
    ProbeModel probe;
};

// Runs the analyses and searches together, one deck each per round, until all are finished.
std::optional<AntennaCheckFailure> runTogether(const Context& context,
                                               const std::vector<Analysis*>& analyses,
                                               const std::vector<SearchTask>& searches) {
    const double designMHz = context.input.designMHz;
    for (;;) {
        std::vector<Request> requests;
        std::vector<Analysis*> analysisOwners;
        std::vector<std::pair<RootSearch*, double>> searchOwners;
        for (Analysis* analysis : analyses) {
            std::vector<Sweep> sweeps = nextSweeps(*analysis, designMHz, context.plan);
            if (!sweeps.empty()) {
                ++analysis->rounds;
                requests.push_back(Request{analysis->model, analysis->segmentation,
                                           std::move(sweeps), analysis->comment});
                analysisOwners.push_back(analysis);
            }
        }
        for (const SearchTask& task : searches) {
            if (!task.search->next) {
                continue;
            }
            auto request = task.probe(*task.search->next);
            if (auto* failure = std::get_if<AntennaCheckFailure>(&request)) {
                return std::move(*failure);
            }
            requests.push_back(std::get<Request>(std::move(request)));
            searchOwners.emplace_back(task.search, *task.search->next);
        }
        if (requests.empty()) {
            return std::nullopt;
        }
        Batch batch = runBatch(context.engine, requests);
        if (auto* failure = std::get_if<AntennaCheckFailure>(&batch)) {
            return std::move(*failure);
        }
        const auto& results = std::get<std::vector<std::vector<FeedPoint>>>(batch);
        std::size_t i = 0;
        for (Analysis* analysis : analysisOwners) {
            addSamples(*analysis, results[i++]);
        }
        for (const auto& [search, x] : searchOwners) {
            takeProbe(*search, x, results[i++], designMHz);
        }
    }
}

double reactanceAtDesign(const Analysis& analysis, double designMHz) {
    return reactanceOf(nearestSample(analysis.samples, designMHz));
}

// First guess of the tip change: a resonance scales roughly inversely with the antenna's
// length, loaded or not.
double firstTipChange(const Analysis& built, double designMHz) {
    const auto resonance = findResonance(built.samples, designMHz);
    const double ratio = resonance ? resonance->frequencyMHz / designMHz
                                   : (reactanceAtDesign(built, designMHz) < 0.0 ? 1.1 : 0.9);
    return 0.5 * built.model.length * (ratio - 1.0);
}

// First guess of the inductance: the secant through the designed and the built coil, which both
// sit on the designed length; or, when they are alike, the coils' own reactance taking up the
// antenna's reactance at F.
double firstInductance(const Analysis& designed, const Analysis& built, double designMHz) {
    const double lDesigned = designed.model.coil.inductance;
    const double lBuilt = built.model.coil.inductance;
    const double xDesigned = reactanceAtDesign(designed, designMHz);
    const double xBuilt = reactanceAtDesign(built, designMHz);
    if (std::abs(lDesigned - lBuilt) > 0.01 * std::max(lDesigned, lBuilt) && xDesigned != xBuilt) {
        return lBuilt - xBuilt * (lBuilt - lDesigned) / (xBuilt - xDesigned);
    }
    return lBuilt - xBuilt / (2.0 * 2.0 * kPi * designMHz * 1e6);
}

RootSearch startSearch(double lower, double upper, double tolerance, double x0, double reactance0,
                       double first) {
    RootSearch search;
    search.lower = lower;
    search.upper = upper;
    search.xTolerance = tolerance;
    search.tried.push_back({x0, reactance0, 0.0});
    search.root = x0;
    search.next = std::clamp(first, lower, upper);
    return search;
}

// The whole number of turns whose inductance as wound comes closest to `needed`.
int closestWholeTurns(const AntennaCheckInput& input, double needed) {
    const double built = input.built.inductance;
    int turns = input.builtTurns > 0 ? input.builtTurns : 1;
    if (built > 0.0 && needed > 0.0) {
        turns = std::max(1, static_cast<int>(std::lround(turns * std::sqrt(needed / built))));
    }
    const auto miss = [&](int n) { return std::abs(input.coilOfTurns(n).inductance - needed); };
    constexpr int kMostTurns = 100000; // a helper that never stops growing must not hang us
    while (turns < kMostTurns && miss(turns + 1) < miss(turns)) {
        ++turns;
    }
    while (turns > 1 && miss(turns - 1) < miss(turns)) {
        --turns;
    }
    return turns;
}

// One frequency range for the three curves: every dip, every 2:1 edge and F, with a margin of
// the widest band (at least 1 % of F) on each side, inside the search window.
std::pair<double, double> curveRange(const std::vector<const AntennaResult*>& results,
                                     double designMHz) {
    double low = designMHz;
    double high = designMHz;
    double widest = 0.0;
    for (const AntennaResult* result : results) {
        for (const auto& f : {result->resonanceMHz, result->band.lowerMHz, result->band.upperMHz}) {
            if (f) {
                low = std::min(low, *f);
                high = std::max(high, *f);
            }
        }
        if (result->band.lowerMHz && result->band.upperMHz) {
            widest = std::max(widest, *result->band.upperMHz - *result->band.lowerMHz);
        }
    }
    const double margin = std::max(widest, 0.01 * designMHz);
    return {std::max(low - margin, designMHz * (1.0 - kResonanceWindow)),
            std::min(high + margin, designMHz * (1.0 + kResonanceWindow))};
}

// The three curves, each split in two decks so that two cores share the work evenly.
std::optional<AntennaCheckFailure> sweepCurves(const Context& context,
                                               const std::vector<Analysis*>& analyses,
                                               const std::vector<AntennaResult*>& results) {
    const auto [low, high] = curveRange({results.begin(), results.end()}, context.input.designMHz);
    const int count = context.plan.curve;
    const Sweep whole = sweepBetween(low, high, count);
    const int firstHalf = count / 2;
    std::vector<Request> requests;
    for (const Analysis* analysis : analyses) {
        requests.push_back(Request{analysis->model,
                                   analysis->segmentation,
                                   {Sweep{whole.start, whole.step, firstHalf}},
                                   analysis->comment});
        requests.push_back(
            Request{analysis->model,
                    analysis->segmentation,
                    {Sweep{whole.start + whole.step * firstHalf, whole.step, count - firstHalf}},
                    analysis->comment});
    }
    Batch batch = runBatch(context.engine, requests);
    if (auto* failure = std::get_if<AntennaCheckFailure>(&batch)) {
        return std::move(*failure);
    }
    auto& points = std::get<std::vector<std::vector<FeedPoint>>>(batch);
    for (std::size_t i = 0; i < results.size(); ++i) {
        auto& curve = results[i]->curve;
        curve = std::move(points[2 * i]);
        curve.insert(curve.end(), points[2 * i + 1].begin(), points[2 * i + 1].end());
    }
    return std::nullopt;
}

template <typename T> const AntennaCheckFailure* failureIn(const T& value) {
    return std::get_if<AntennaCheckFailure>(&value);
}

} // namespace

AntennaModel antennaModel(const AntennaCheckInput& input, double length, const CoilLoad& coil) {
    AntennaModel model;
    model.length = length;
    model.coilDistance = input.coilDistance;
    model.wireDiameter = input.wireDiameter;
    model.coil = coil;
    model.ground = input.ground;
    return model;
}

double swr(std::complex<double> impedance, double reference) {
    const double gamma = std::abs((impedance - reference) / (impedance + reference));
    if (!(gamma < 1.0)) {
        return std::numeric_limits<double>::infinity();
    }
    return (1.0 + gamma) / (1.0 - gamma);
}

bool inBand(const SwrBand& band, double frequencyMHz) {
    return band.lowerMHz && band.upperMHz && frequencyMHz >= *band.lowerMHz &&
           frequencyMHz <= *band.upperMHz;
}

std::variant<AntennaCheck, AntennaCheckFailure>
checkAntenna(const AntennaCheckInput& input, const Engine& engine, const Progress& progress) {
    const double designMHz = input.designMHz;
    const Context context{input, engine, progress, designMHz * (1.0 + kResonanceWindow),
                          sweepPlan(input.ground.kind)};
    AntennaCheck check;

    tell(context, "analysing the antenna as designed and as built");
    auto designedOr =
        newAnalysis(context, antennaModel(input, input.length, input.designed), "as designed");
    if (const auto* failure = failureIn(designedOr)) {
        return *failure;
    }
    auto builtOr = newAnalysis(context, antennaModel(input, input.length, input.built), "as built");
    if (const auto* failure = failureIn(builtOr)) {
        return *failure;
    }
    Analysis& designed = std::get<Analysis>(designedOr);
    Analysis& built = std::get<Analysis>(builtOr);
    if (auto failure = runTogether(context, {&designed, &built}, {})) {
        return *failure;
    }

    tell(context, "finding the trim and the coil that would need none");
    // The tip may not be cut back past its coil: the wire beyond the coil keeps one segment.
    const double shortest = 2.0 * input.coilDistance + built.segmentation.longestSegment;
    RootSearch trim =
        startSearch(0.5 * (shortest - input.length) + 0.001, input.length, 0.0005, 0.0,
                    reactanceAtDesign(built, designMHz), firstTipChange(built, designMHz));
    RootSearch coil = startSearch(0.0, 1e-3, 1e-4 * std::max(input.built.inductance, 1e-7),
                                  input.built.inductance, reactanceAtDesign(built, designMHz),
                                  firstInductance(designed, built, designMHz));
    const ProbeModel trimProbe =
        [&](double tipChange) -> std::variant<Request, AntennaCheckFailure> {
        const AntennaModel model = antennaModel(input, input.length + 2.0 * tipChange, input.built);
        auto segmented = segmentFor(model, context.highestMHz, "trimmed");
        if (const auto* failure = failureIn(segmented)) {
            return *failure;
        }
        return Request{model,
                       std::get<Segmentation>(segmented),
                       {probeSweep(designMHz)},
                       describe("trim probe", model, designMHz)};
    };
    const ProbeModel coilProbe =
        [&](double inductance) -> std::variant<Request, AntennaCheckFailure> {
        const AntennaModel model =
            antennaModel(input, input.length, CoilLoad{inductance, input.built.resistance});
        return Request{model,
                       built.segmentation,
                       {probeSweep(designMHz)},
                       describe("coil probe", model, designMHz)};
    };
    if (auto failure = runTogether(context, {&designed, &built},
                                   {SearchTask{&trim, trimProbe}, SearchTask{&coil, coilProbe}})) {
        return *failure;
    }
    // A trim that cannot reach F goes as far as it can; the report says it falls short.
    check.trim.reachesDesign = !trim.outOfRange;
    if (trim.outOfRange) {
        trim.root = trim.tried.back()[0] <= trim.lower ? std::ceil(trim.lower * 100.0) / 100.0
                                                       : std::floor(trim.upper * 100.0) / 100.0;
    }
    check.designed = resultOf(designed, designMHz);
    check.built = resultOf(built, designMHz);
    check.builtSegmentation = built.segmentation;
    check.builtDeck = writeDeck(built.model, built.segmentation,
                                {sweepBetween(0.95 * designMHz, 1.05 * designMHz, 21)},
                                describe("the antenna as built", built.model, designMHz));

    // Whole centimetres for the tape measure; when one centimetre moves the resonance by more
    // than the tolerance (short antennas on high bands) the nearest one is still the best.
    double tipChange = std::round(trim.root * 100.0) / 100.0;
    if (input.length + 2.0 * tipChange <= shortest) {
        tipChange += 0.01;
    }
    check.trim.tipChange = tipChange;
    check.trim.trimmedLength = input.length + 2.0 * tipChange;
    // No coil can help a wire that is already too long: the needed inductance stays zero.
    check.trim.neededInductance = coil.outOfRange ? 0.0 : coil.root;

    tell(context, "analysing the trimmed antenna");
    auto trimmedOr =
        newAnalysis(context, antennaModel(input, check.trim.trimmedLength, input.built),
                    "as built and trimmed");
    if (const auto* failure = failureIn(trimmedOr)) {
        return *failure;
    }
    Analysis& trimmed = std::get<Analysis>(trimmedOr);
    std::vector<Analysis*> last = {&trimmed};
    std::optional<Analysis> turnsAnalysis;
    if (input.coilOfTurns && check.trim.neededInductance > 0.0) {
        check.trim.neededTurns = closestWholeTurns(input, check.trim.neededInductance);
        check.trim.neededTurnsCoil = input.coilOfTurns(check.trim.neededTurns);
        auto turnsOr =
            newAnalysis(context, antennaModel(input, input.length, check.trim.neededTurnsCoil),
                        "with the needed turns");
        if (const auto* failure = failureIn(turnsOr)) {
            return *failure;
        }
        turnsAnalysis = std::get<Analysis>(std::move(turnsOr));
        last.push_back(&*turnsAnalysis);
    }
    if (auto failure = runTogether(context, last, {})) {
        return *failure;
    }
    check.trimmed = resultOf(trimmed, designMHz);
    if (turnsAnalysis) {
        check.trim.neededTurnsResonanceMHz = resultOf(*turnsAnalysis, designMHz).resonanceMHz;
    }

    tell(context, "sweeping the SWR curves");
    if (auto failure = sweepCurves(context, {&designed, &built, &trimmed},
                                   {&check.designed, &check.built, &check.trimmed})) {
        return *failure;
    }
    return check;
}

} // namespace brevan::check
