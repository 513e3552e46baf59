#include "antenna_check.h"

#include "analysis/root_search.h"
#include "coil/physics.h"
#include "nec/radiation_pattern.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <memory>

namespace brevan::check {

namespace {

// NEC-2's resonance of a wire with lumped loads approaches its limit as (segments)^-0.75: solved
// here for designs from 160 m to 10 m at 30 to 1300 segments. Two levels, the second with every
// segment halved, extrapolate to the limit; the spread of the order between 0.6 and 0.9 is taken
// as the extrapolation's uncertainty.
constexpr double kConvergenceOrder = 0.75;
constexpr double kOrderSpread = 0.39; // (1/(2^0.6 - 1) - 1/(2^0.9 - 1)) / 2
constexpr double kPoleWidth = 0.0005; // of F: a pole's interval is split down to this
constexpr double kFineWidth = 0.0025; // of F: resonance and band edges sampled this closely
constexpr int kMostRounds = 10;
constexpr double kTipTolerance = 0.0005;       // m
constexpr double kInductanceTolerance = 1e-4;  // relative
constexpr double kRescaleThreshold = 0.0002;   // relative change of the correction worth a redo

// ---------------------------------------------------------------- words for the engine

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
    failure.message = detail.empty() ? engineWords(kind) : detail;
    return failure;
}

AntennaCheckFailure modelFailure(const ModelRefusal& refusal, const std::string& which) {
    AntennaCheckFailure failure;
    failure.model = refusal;
    failure.message = "the antenna " + which + " cannot be modelled: " + refusal.reason;
    return failure;
}

// ---------------------------------------------------------------- running the engine

struct Request {
    AntennaModel model;
    Segmentation segmentation;
    std::vector<DeckFrequency> frequencies;
    std::string comment;
    DeckOptions options;
};

using Batch = std::variant<std::vector<EngineRun>, AntennaCheckFailure>;

// Runs the decks as one batch. The engine prints frequencies to five digits only, so each point
// takes the exact frequency the deck asked for, after checking that it is the one printed.
Batch runBatch(const Engine& engine, const std::vector<Request>& requests) {
    std::vector<std::string> decks;
    for (const Request& r : requests) {
        decks.push_back(writeDeck(r.model, r.segmentation, r.frequencies, r.comment, r.options));
    }
    std::vector<EngineRun> runs = engine(decks);
    if (runs.size() != decks.size()) {
        return engineFailure(EngineFailure::Unreadable,
                             "it answered " + std::to_string(runs.size()) + " runs for " +
                                 std::to_string(decks.size()) + " decks");
    }
    for (std::size_t i = 0; i < runs.size(); ++i) {
        EngineRun& run = runs[i];
        if (run.failure != EngineFailure::None) {
            return engineFailure(run.failure, run.detail);
        }
        const auto& asked = requests[i].frequencies;
        if (run.points.size() != asked.size()) {
            return engineFailure(EngineFailure::Unreadable,
                                 "it printed " + std::to_string(run.points.size()) +
                                     " frequencies where " + std::to_string(asked.size()) +
                                     " were asked for");
        }
        for (std::size_t k = 0; k < asked.size(); ++k) {
            const double f = asked[k].frequencyMHz;
            if (std::abs(run.points[k].frequencyMHz - f) > 1e-4 * f) {
                return engineFailure(EngineFailure::Unreadable,
                                     "it analysed " + fixed(run.points[k].frequencyMHz, 5) +
                                         " MHz where " + fixed(f, 5) + " MHz was asked for");
            }
            run.points[k].frequencyMHz = f;
        }
    }
    return runs;
}

// One piece of work that asks the engine for decks round by round: an antenna's analysis or a
// search. `requests` is empty when it is finished.
class Task {
public:
    virtual ~Task() = default;
    virtual std::vector<Request> requests() = 0;
    virtual void take(const std::vector<EngineRun>& runs) = 0;
};

// Runs the tasks together, each round one batch, until every one is finished.
std::optional<AntennaCheckFailure> runTogether(const Engine& engine,
                                               const std::vector<Task*>& tasks) {
    for (;;) {
        std::vector<Request> all;
        std::vector<std::pair<Task*, std::size_t>> owners;
        for (Task* task : tasks) {
            std::vector<Request> mine = task->requests();
            if (!mine.empty()) {
                owners.emplace_back(task, mine.size());
                all.insert(all.end(), mine.begin(), mine.end());
            }
        }
        if (all.empty()) {
            return std::nullopt;
        }
        Batch batch = runBatch(engine, all);
        if (auto* failure = std::get_if<AntennaCheckFailure>(&batch)) {
            return *failure;
        }
        auto& runs = std::get<std::vector<EngineRun>>(batch);
        std::size_t i = 0;
        for (const auto& [task, count] : owners) {
            task->take({runs.begin() + static_cast<std::ptrdiff_t>(i),
                        runs.begin() + static_cast<std::ptrdiff_t>(i + count)});
            i += count;
        }
    }
}

// ---------------------------------------------------------------- one antenna

struct SweepPlan {
    int coarse = 31; // over the whole window, odd so that F is the middle point
    int curve = 41;  // for the picture
};

// A Sommerfeld ground costs the engine about ten times more per frequency.
SweepPlan sweepPlan(GroundKind ground) {
    return sommerfeldGround(ground) ? SweepPlan{17, 21} : SweepPlan{};
}

std::vector<DeckFrequency> at(const CoilImpedance& coil, const std::vector<double>& mhz) {
    std::vector<DeckFrequency> out;
    for (const double f : mhz) {
        out.push_back(DeckFrequency{f, coil(f * 1e6)});
    }
    return out;
}

std::vector<double> evenly(double low, double high, int count) {
    std::vector<double> out;
    for (int i = 0; i < count; ++i) {
        out.push_back(low + (high - low) * i / (count - 1));
    }
    return out;
}

struct Context {
    const AntennaCheckInput& input;
    const Engine& engine;
    const Progress& progress;
    double highestMHz = 0.0; // every model is segmented for the top of the search window
    SweepPlan plan;
    std::string patternCards; // over ground: the far field at F
};

std::string describe(const std::string& what, const AntennaModel& model, double designMHz) {
    return "Brevan check, " + what + ": " + fixed(model.length, 3) + " m tip to tip, coils at +-" +
           fixed(model.coilDistance, 3) + " m, design " + fixed(designMHz, 4) + " MHz";
}

// An antenna analysed at the working segmentation over the whole window, then its resonance at
// the finer one, then the design frequency with the correction between the two applied.
class Analysis : public Task {
public:
    Analysis(const Context& context, AntennaModel model, CoilImpedance coil, Segmentation coarse,
             Segmentation fine, std::string what)
        : m_context(context), m_model(std::move(model)), m_coil(std::move(coil)),
          m_coarse(std::move(coarse)), m_fine(std::move(fine)), m_what(std::move(what)) {}

    std::vector<Request> requests() override {
        const double f = m_context.input.designMHz;
        if (m_stage == Stage::Sweep) {
            std::vector<double> next =
                m_samples.empty()
                    ? evenly(f * (1 - kResonanceWindow), f * (1 + kResonanceWindow),
                             m_context.plan.coarse)
                    : refinement(m_samples, f, kReferenceImpedance, kPoleWidth * f,
                                 kFineWidth * f);
            if (!next.empty() && ++m_rounds <= kMostRounds) {
                return {request(m_coarse, next)};
            }
            m_converged = m_converged && next.empty();
            m_stage = Stage::Fine;
            m_coarseResonance = nearestResonance(m_samples, f);
        }
        if (m_stage == Stage::Fine) {
            if (const auto next = fineFrequencies()) {
                return {request(m_fine, *next)};
            }
            settleScale();
            m_stage = Stage::Design;
            return {request(m_coarse, {f / m_scale})};
        }
        return {};
    }

    void take(const std::vector<EngineRun>& runs) override {
        if (m_stage == Stage::Sweep) {
            addSamples(m_samples, runs.front().points);
        } else if (m_stage == Stage::Fine) {
            addSamples(m_fineSamples, runs.front().points);
        } else if (m_stage == Stage::Design) {
            addSamples(m_samples, runs.front().points);
            m_stage = Stage::Done;
        }
    }

    // The frequencies at the working level for the picture, within [low, high] as corrected.
    Request curveRequest(double low, double high, int count) const {
        return request(m_coarse, evenly(low / m_scale, high / m_scale, count));
    }
    // The far field at F, over ground.
    Request patternRequest() const {
        Request r = request(m_coarse, {m_context.input.designMHz / m_scale});
        r.options.patternCards = skyPatternCard();
        return r;
    }
    void addCurve(const std::vector<FeedPoint>& points) { addSamples(m_samples, points); }

    AntennaResult result() const;
    double scale() const { return m_scale; }
    const AntennaModel& model() const { return m_model; }
    const Segmentation& coarse() const { return m_coarse; }
    const Segmentation& fine() const { return m_fine; }
    const CoilImpedance& coil() const { return m_coil; }
    const Samples& samples() const { return m_samples; }
    std::optional<Resonance> coarseResonance() const { return m_coarseResonance; }

private:
    enum class Stage { Sweep, Fine, Design, Done };

    Request request(const Segmentation& seg, const std::vector<double>& mhz) const {
        return Request{m_model, seg, at(m_coil, mhz),
                       describe(m_what, m_model, m_context.input.designMHz), {}};
    }

    // The finer level's resonance near the working level's, sampled until located.
    std::optional<std::vector<double>> fineFrequencies() {
        if (!m_coarseResonance) {
            return std::nullopt;
        }
        const double r = m_coarseResonance->frequencyMHz;
        const double f = m_context.input.designMHz;
        if (m_fineSamples.empty()) {
            return std::vector<double>{r * 0.985, r * 0.995, r * 1.002, r * 1.01};
        }
        if (++m_fineRounds > kMostRounds) {
            m_converged = false;
            return std::nullopt;
        }
        const auto found = nearestResonance(m_fineSamples, r);
        if (!found) {
            // Not within the samples yet: widen on the side the reactance points to.
            const double low = m_fineSamples.front().frequencyMHz;
            const double high = m_fineSamples.back().frequencyMHz;
            if (high - low > 0.2 * r) {
                m_converged = false;
                return std::nullopt;
            }
            const bool below = m_fineSamples.front().impedance.imag() > 0.0;
            const double span = high - low;
            return below ? std::vector<double>{low - span, low - span / 2}
                         : std::vector<double>{high + span / 2, high + span};
        }
        const auto next = refinement(m_fineSamples, r, kReferenceImpedance, kPoleWidth * f,
                                     kFineWidth * f);
        // Only what bears on the resonance itself: its interval and poles beside it.
        std::vector<double> near;
        for (const double x : next) {
            if (std::abs(x - found->frequencyMHz) < 0.02 * r) {
                near.push_back(x);
            }
        }
        if (near.empty()) {
            m_fineResonance = found->frequencyMHz;
            return std::nullopt;
        }
        return near;
    }

    void settleScale() {
        if (!m_coarseResonance || !m_fineResonance) {
            return;
        }
        const double r1 = m_coarseResonance->frequencyMHz;
        const double r2 = *m_fineResonance;
        const double limit = r2 + (r2 - r1) / (std::pow(2.0, kConvergenceOrder) - 1.0);
        m_scale = limit / r1;
        m_uncertainty = kOrderSpread * std::abs(r2 - r1) / limit;
    }

    const Context& m_context;
    AntennaModel m_model;
    CoilImpedance m_coil;
    Segmentation m_coarse;
    Segmentation m_fine;
    std::string m_what;
    Stage m_stage = Stage::Sweep;
    Samples m_samples;
    Samples m_fineSamples;
    int m_rounds = 0;
    int m_fineRounds = 0;
    bool m_converged = true;
    std::optional<Resonance> m_coarseResonance;
    std::optional<double> m_fineResonance;
    double m_scale = 1.0;
    double m_uncertainty = 0.0;
};

AntennaResult Analysis::result() const {
    AntennaResult out;
    const double f = m_context.input.designMHz;
    out.length = m_model.length;
    out.coilAtDesign = m_coil(f * 1e6);
    out.converged = m_converged;
    const double shifted = f / m_scale;
    const auto design = std::min_element(
        m_samples.begin(), m_samples.end(), [shifted](const FeedPoint& a, const FeedPoint& b) {
            return std::abs(a.frequencyMHz - shifted) < std::abs(b.frequencyMHz - shifted);
        });
    out.designImpedance = impedanceAt(m_samples, shifted);
    out.designSwr = swr(out.designImpedance);
    out.designEfficiency = efficiency(*design);
    if (const auto r = nearestResonance(m_samples, f)) {
        out.resonanceMHz = r->frequencyMHz * m_scale;
        out.resonanceUncertainty = m_uncertainty;
        out.resonanceResistance = impedanceAt(m_samples, r->frequencyMHz).real();
        const Band band = bandAround(m_samples, *r, kReferenceImpedance);
        if (band.lowerMHz) {
            out.band.lowerMHz = *band.lowerMHz * m_scale;
        }
        if (band.upperMHz) {
            out.band.upperMHz = *band.upperMHz * m_scale;
        }
    }
    return out;
}

std::variant<std::pair<Segmentation, Segmentation>, AntennaCheckFailure>
levels(const Context& context, const AntennaModel& model, const std::string& what,
       std::optional<SegmentCounts> counts = std::nullopt) {
    auto coarse = counts ? segmentWith(model, *counts, 1, context.highestMHz)
                         : segmentAntenna(model, context.highestMHz);
    if (auto* refusal = std::get_if<ModelRefusal>(&coarse)) {
        return modelFailure(*refusal, what);
    }
    const SegmentCounts base = std::get<Segmentation>(coarse).counts;
    auto fine = segmentWith(model, base, 2, context.highestMHz);
    if (auto* refusal = std::get_if<ModelRefusal>(&fine)) {
        return modelFailure(*refusal, what);
    }
    return std::pair{std::get<Segmentation>(coarse), std::get<Segmentation>(fine)};
}

std::variant<std::unique_ptr<Analysis>, AntennaCheckFailure>
newAnalysis(const Context& context, double length, CoilImpedance coil, const std::string& what,
            std::optional<SegmentCounts> counts = std::nullopt) {
    const AntennaModel model = antennaModel(context.input, length, coil);
    auto segmented = levels(context, model, what, counts);
    if (auto* failure = std::get_if<AntennaCheckFailure>(&segmented)) {
        return *failure;
    }
    auto& [coarse, fine] = std::get<std::pair<Segmentation, Segmentation>>(segmented);
    return std::make_unique<Analysis>(context, model, std::move(coil), coarse, fine, what);
}

// ---------------------------------------------------------------- searches on one value

// A search as a task: each probe is one frequency on the working segmentation.
class SearchTask : public Task {
public:
    using Probe = std::function<std::variant<Request, AntennaCheckFailure>(double x)>;
    SearchTask(RootSearch search, Probe probe) : m_search(std::move(search)), m_probe(probe) {}

    std::vector<Request> requests() override {
        if (m_failure || !m_search.next) {
            return {};
        }
        auto request = m_probe(*m_search.next);
        if (auto* failure = std::get_if<AntennaCheckFailure>(&request)) {
            m_failure = *failure;
            return {};
        }
        return {std::get<Request>(std::move(request))};
    }
    void take(const std::vector<EngineRun>& runs) override {
        takeProbe(m_search, *m_search.next, runs.front().points.front().impedance.imag());
    }
    const RootSearch& search() const { return m_search; }
    const std::optional<AntennaCheckFailure>& failure() const { return m_failure; }

private:
    RootSearch m_search;
    Probe m_probe;
    std::optional<AntennaCheckFailure> m_failure;
};

double roundToCentimetre(double metres) {
    return std::round(metres * 100.0) / 100.0;
}

// The whole number of turns whose apparent inductance at F comes closest to `needed`, below the
// coil's own resonance.
int closestApparentTurns(const AntennaCheckInput& input, double needed) {
    const double omega = 2.0 * kPi * input.designMHz * 1e6;
    const auto apparent = [&](int n) { return input.coilOfTurns(n)(input.designMHz * 1e6).imag() / omega; };
    const auto miss = [&](int n) {
        const double l = apparent(n);
        return l > 0.0 ? std::abs(l - needed) : 1e300;
    };
    int turns = std::max(1, input.builtTurns);
    constexpr int kMostTurns = 100000;
    while (turns < kMostTurns && miss(turns + 1) < miss(turns)) {
        ++turns;
    }
    while (turns > 1 && miss(turns - 1) < miss(turns)) {
        --turns;
    }
    return turns;
}

// The range of frequencies the three pictures share: every dip, every 2:1 edge and F, with a
// margin of the widest band (at least 1 % of F) on each side, inside the search window.
std::pair<double, double> curveRange(const std::vector<AntennaResult>& results, double f) {
    double low = f;
    double high = f;
    double widest = 0.0;
    for (const AntennaResult& r : results) {
        for (const auto& x : {r.resonanceMHz, r.band.lowerMHz, r.band.upperMHz}) {
            if (x) {
                low = std::min(low, *x);
                high = std::max(high, *x);
            }
        }
        if (r.band.lowerMHz && r.band.upperMHz) {
            widest = std::max(widest, *r.band.upperMHz - *r.band.lowerMHz);
        }
    }
    const double margin = std::max(widest, 0.01 * f);
    return {std::max(low - margin, f * (1 - kResonanceWindow)),
            std::min(high + margin, f * (1 + kResonanceWindow))};
}

} // namespace

AntennaModel antennaModel(const AntennaCheckInput& input, double length, CoilImpedance) {
    AntennaModel model;
    model.length = length;
    model.coilDistance = input.coilDistance;
    model.wireDiameter = input.wireDiameter;
    model.ground = input.ground;
    return model;
}

bool inBand(const SwrBand& band, double frequencyMHz) {
    return band.lowerMHz && band.upperMHz && frequencyMHz >= *band.lowerMHz &&
           frequencyMHz <= *band.upperMHz;
}

namespace {

void tell(const Context& context, const std::string& line) {
    if (context.progress) {
        context.progress(line);
    }
}

template <typename T> const AntennaCheckFailure* failureIn(const T& value) {
    return std::get_if<AntennaCheckFailure>(&value);
}

// The frequency the working level must resonate at for the corrected antenna to resonate at F.
double workingTarget(const Analysis& analysis, double designMHz) {
    return designMHz / analysis.scale();
}

struct TrimSearch {
    std::unique_ptr<SearchTask> task;
    double limit = 0.0;
};

// The trim as a search over the tip change at the built antenna's segment counts, so that the
// reactance changes smoothly with it; outward when the built antenna resonates above F.
std::optional<TrimSearch> trimSearch(const Context& context, const Analysis& built, double start,
                                     double startReactance, double target) {
    const auto& in = context.input;
    const auto resonance = built.coarseResonance();
    if (!resonance) {
        return std::nullopt;
    }
    const Segmentation& seg = built.coarse();
    const double half = in.length / 2.0;
    // Shortest: the wire beyond each coil cut to half its segments' length. Longest: that wire
    // doubled. The wire beyond keeps its segment count, so the reactance changes smoothly with
    // the trim.
    const double coilSegment =
        seg.coilsAtFeed ? seg.longestSegment
                        : seg.counts.coilShare * in.coilDistance / std::max(1, seg.counts.inner);
    const double coilHalf = coilSegment / 2.0;
    const double shortestOuter = seg.counts.outer * std::max(coilSegment, seg.shortestSegment) /
                                 2.0 * (1.0 + 1e-6);
    const double shortest = (seg.coilsAtFeed ? coilHalf : in.coilDistance + coilHalf) +
                            shortestOuter - half;
    const double longest = half - (seg.coilsAtFeed ? 0.0 : in.coilDistance);
    const bool outward = resonance->frequencyMHz > target;
    const double guess = start + half * (resonance->frequencyMHz / target - 1.0);
    RootSearch search = startRootSearch(start, startReactance, guess,
                                        outward ? longest : std::min(shortest, start),
                                        kTipTolerance);
    const SegmentCounts counts = seg.counts;
    const CoilImpedance coil = built.coil();
    SearchTask::Probe probe = [&context, counts, coil,
                               target](double tip) -> std::variant<Request, AntennaCheckFailure> {
        const AntennaModel model =
            antennaModel(context.input, context.input.length + 2.0 * tip, coil);
        auto segmented = segmentWith(model, counts, 1, context.highestMHz);
        if (std::holds_alternative<ModelRefusal>(segmented)) {
            // Stretched past the rules: cut afresh for this length.
            segmented = segmentAntenna(model, context.highestMHz);
        }
        if (auto* refusal = std::get_if<ModelRefusal>(&segmented)) {
            return modelFailure(*refusal, "trimmed");
        }
        return Request{model, std::get<Segmentation>(segmented), at(coil, {target}),
                       describe("trim probe", model, context.input.designMHz), {}};
    };
    return TrimSearch{std::make_unique<SearchTask>(std::move(search), std::move(probe)),
                      outward ? longest : shortest};
}

std::unique_ptr<SearchTask> coilSearch(const Context& context, const Analysis& built,
                                       double target) {
    const auto& in = context.input;
    const double omega = 2.0 * kPi * target * 1e6;
    const std::complex<double> builtCoil = built.coil()(target * 1e6);
    const double start = builtCoil.imag() / omega;
    const double startReactance = impedanceAt(built.samples(), target).imag();
    const double resonance = built.coarseResonance()->frequencyMHz;
    const bool more = resonance > target;
    const double guess = start * std::pow(resonance / target, 2.0);
    RootSearch search = startRootSearch(start, startReactance, guess,
                                        more ? 1000.0 * start : 1e-3 * start,
                                        kInductanceTolerance * start);
    const Segmentation seg = built.coarse();
    const double resistance = builtCoil.real();
    SearchTask::Probe probe = [&context, seg, target, omega,
                               resistance](double inductance) -> std::variant<Request, AntennaCheckFailure> {
        const AntennaModel model = antennaModel(context.input, context.input.length, {});
        return Request{model, seg, {DeckFrequency{target, {resistance, omega * inductance}}},
                       describe("coil probe", model, context.input.designMHz), {}};
    };
    (void)in;
    return std::make_unique<SearchTask>(std::move(search), std::move(probe));
}

// A coil of no impedance at all is the plain wire, which trims like any other.
bool coilActsAsCapacitor(const AntennaCheckInput& input) {
    const std::complex<double> coil = input.built(input.designMHz * 1e6);
    return coil.imag() <= 0.0 && coil != std::complex<double>{};
}

std::optional<AntennaCheckFailure>
sweepCurves(const Context& context, const std::vector<Analysis*>& analyses,
            std::vector<AntennaResult*> results) {
    std::vector<AntennaResult> plain;
    for (const AntennaResult* r : results) {
        plain.push_back(*r);
    }
    const auto [low, high] = curveRange(plain, context.input.designMHz);
    const int count = context.plan.curve;
    std::vector<Request> requests;
    for (const Analysis* a : analyses) {
        // Two halves, so two cores share the work evenly.
        Request whole = a->curveRequest(low, high, count);
        Request first = whole;
        first.frequencies.resize(static_cast<std::size_t>(count / 2));
        Request second = whole;
        second.frequencies.erase(second.frequencies.begin(),
                                 second.frequencies.begin() + count / 2);
        requests.push_back(std::move(first));
        requests.push_back(std::move(second));
    }
    Batch batch = runBatch(context.engine, requests);
    if (auto* failure = std::get_if<AntennaCheckFailure>(&batch)) {
        return *failure;
    }
    const auto& runs = std::get<std::vector<EngineRun>>(batch);
    for (std::size_t i = 0; i < analyses.size(); ++i) {
        analyses[i]->addCurve(runs[2 * i].points);
        analyses[i]->addCurve(runs[2 * i + 1].points);
        const double scale = analyses[i]->scale();
        auto& curve = results[i]->curve;
        curve.clear();
        for (FeedPoint p : analyses[i]->samples()) {
            p.frequencyMHz *= scale;
            if (p.frequencyMHz >= low * (1 - 1e-9) && p.frequencyMHz <= high * (1 + 1e-9)) {
                curve.push_back(p);
            }
        }
    }
    return std::nullopt;
}

// Over ground the power budget counts what the ground absorbs as radiated; the far field over
// the upper half space tells what reaches the sky.
std::optional<AntennaCheckFailure> skyShares(const Context& context,
                                             const std::vector<Analysis*>& analyses,
                                             const std::vector<AntennaResult*>& results) {
    std::vector<Request> requests;
    for (const Analysis* a : analyses) {
        requests.push_back(a->patternRequest());
    }
    Batch batch = runBatch(context.engine, requests);
    if (auto* failure = std::get_if<AntennaCheckFailure>(&batch)) {
        return *failure;
    }
    const auto& runs = std::get<std::vector<EngineRun>>(batch);
    for (std::size_t i = 0; i < runs.size(); ++i) {
        std::string error;
        const auto pattern = readSkyPattern(runs[i].output, &error);
        if (!pattern) {
            return engineFailure(EngineFailure::Unreadable,
                                 "the far field printed by nec2c could not be read: " + error);
        }
        results[i]->sky = SkyShare{pattern->skyShare, pattern->maxGainDbi,
                                   pattern->maxGainElevationDeg};
    }
    return std::nullopt;
}

} // namespace

std::variant<AntennaCheck, AntennaCheckFailure>
checkAntenna(const AntennaCheckInput& input, const Engine& engine, const Progress& progress) {
    const double f = input.designMHz;
    const Context context{input, engine, progress, f * (1.0 + kResonanceWindow),
                          sweepPlan(input.ground.kind), {}};
    AntennaCheck check;

    tell(context, "analysing the antenna as designed and as built");
    auto designedOr = newAnalysis(context, input.length, input.designed, "as designed");
    if (const auto* failure = failureIn(designedOr)) {
        return *failure;
    }
    auto builtOr = newAnalysis(context, input.length, input.built, "as built");
    if (const auto* failure = failureIn(builtOr)) {
        return *failure;
    }
    Analysis& designed = *std::get<std::unique_ptr<Analysis>>(designedOr);
    Analysis& built = *std::get<std::unique_ptr<Analysis>>(builtOr);
    if (auto failure = runTogether(engine, {&designed, &built})) {
        return *failure;
    }
    check.designed = designed.result();
    check.built = built.result();
    check.segments = built.coarse().totalSegments;
    check.fineSegments = built.fine().totalSegments;
    {
        const double span = 0.05 * f;
        check.builtDeck = writeExportDeck(
            built.model(), built.coarse(), input.built(f * 1e6), f, f - span, span / 10.0, 21,
            "Brevan check: the shortened dipole as built, " + fixed(input.length, 3) +
                " m tip to tip, coils at +-" + fixed(input.coilDistance, 3) +
                " m as parallel R, L, C equal to each coil at " + fixed(f, 4) + " MHz");
    }

    // ---- the trim and the coil that would need none
    tell(context, "finding the trim and the coil that would need none");
    const bool capacitor = coilActsAsCapacitor(input);
    const double target = workingTarget(built, f);
    std::optional<TrimSearch> trim;
    std::unique_ptr<SearchTask> coil;
    if (capacitor) {
        check.trim.outcome = TrimOutcome::CoilResonates;
    } else if (!built.coarseResonance()) {
        check.trim.outcome = TrimOutcome::NoResonance;
    } else {
        const double x0 = impedanceAt(built.samples(), target).imag();
        trim = trimSearch(context, built, 0.0, x0, target);
        coil = coilSearch(context, built, target);
        std::vector<Task*> tasks{trim->task.get(), coil.get()};
        if (auto failure = runTogether(engine, tasks)) {
            return *failure;
        }
        for (const SearchTask* task : {trim->task.get(), coil.get()}) {
            if (task->failure()) {
                return *task->failure();
            }
        }
    }

    // ---- the trimmed antenna, and the whole turns nearest the needed coil
    tell(context, "analysing the trimmed antenna");
    std::unique_ptr<Analysis> trimmed;
    std::unique_ptr<Analysis> turns;
    std::unique_ptr<Analysis> limitAnalysis;
    std::vector<Task*> last;
    if (trim) {
        const RootSearch& s = trim->task->search();
        if (s.state == SearchState::Converged) {
            double tip = roundToCentimetre(s.root);
            check.trim.tipChange = tip;
            check.trim.trimmedLength = input.length + 2.0 * tip;
            auto trimmedOr = newAnalysis(context, check.trim.trimmedLength, input.built,
                                         "as built and trimmed", built.coarse().counts);
            if (const auto* failure = failureIn(trimmedOr)) {
                return *failure;
            }
            trimmed = std::move(std::get<std::unique_ptr<Analysis>>(trimmedOr));
            last.push_back(trimmed.get());
        } else {
            check.trim.outcome = s.state == SearchState::OutOfRange
                                     ? (trim->limit < 0.0 ? TrimOutcome::CoilsInTheWay
                                                          : TrimOutcome::TooFar)
                                     : TrimOutcome::NotConverged;
            // Out of range: the limit itself; out of tries: the probe that came closest.
            const auto closest = std::min_element(
                s.probes.begin(), s.probes.end(), [](const auto& a, const auto& b) {
                    return std::abs(a.second) < std::abs(b.second);
                });
            const double limit =
                s.state == SearchState::OutOfRange ? trim->limit : closest->first;
            check.trim.limitLength = input.length + 2.0 * limit;
            // Where the antenna resonates at that limit, for the words that say why.
            auto limitOr = newAnalysis(context, check.trim.limitLength, input.built, "at the trim's limit");
            if (auto* analysis = std::get_if<std::unique_ptr<Analysis>>(&limitOr)) {
                limitAnalysis = std::move(*analysis);
                last.push_back(limitAnalysis.get());
            }
        }
    }
    if (coil) {
        const RootSearch& s = coil->search();
        if (s.state == SearchState::Converged) {
            NeededCoil& needed = check.neededCoil;
            needed.outcome = CoilOutcome::Found;
            needed.apparentInductance = s.root;
            if (input.coilOfTurns) {
                needed.turns = closestApparentTurns(input, s.root);
                const CoilImpedance turnsCoil = input.coilOfTurns(needed.turns);
                needed.turnsAtDesign = turnsCoil(f * 1e6);
                auto turnsOr = newAnalysis(context, input.length, turnsCoil,
                                           "with the needed turns", built.coarse().counts);
                if (const auto* failure = failureIn(turnsOr)) {
                    return *failure;
                }
                turns = std::move(std::get<std::unique_ptr<Analysis>>(turnsOr));
                last.push_back(turns.get());
            }
        } else {
            check.neededCoil.outcome = s.state == SearchState::OutOfRange
                                           ? CoilOutcome::NoCoilReaches
                                           : CoilOutcome::NotConverged;
        }
    }
    if (auto failure = runTogether(engine, last)) {
        return *failure;
    }
    // The correction of the trimmed antenna differs a little from the built one's: when that
    // moves its resonance off F, the trim is sought once more for the trimmed antenna's target.
    if (trimmed && std::abs(trimmed->scale() / built.scale() - 1.0) > kRescaleThreshold) {
        const double retarget = workingTarget(*trimmed, f);
        const double x0 = impedanceAt(trimmed->samples(), retarget).imag();
        auto again = trimSearch(context, *trimmed, check.trim.tipChange, x0, retarget);
        if (again) {
            if (auto failure = runTogether(engine, {again->task.get()})) {
                return *failure;
            }
            if (again->task->failure()) {
                return *again->task->failure();
            }
            const RootSearch& s = again->task->search();
            const double tip = roundToCentimetre(s.root);
            if (s.state == SearchState::Converged && tip != check.trim.tipChange) {
                check.trim.tipChange = tip;
                check.trim.trimmedLength = input.length + 2.0 * tip;
                auto redoOr = newAnalysis(context, check.trim.trimmedLength, input.built,
                                          "as built and trimmed", built.coarse().counts);
                if (const auto* failure = failureIn(redoOr)) {
                    return *failure;
                }
                trimmed = std::move(std::get<std::unique_ptr<Analysis>>(redoOr));
                if (auto failure = runTogether(engine, {trimmed.get()})) {
                    return *failure;
                }
            }
        }
    }
    if (trimmed) {
        check.trimmed = trimmed->result();
        if (!check.trimmed->resonanceMHz ||
            std::abs(*check.trimmed->resonanceMHz / f - 1.0) > 0.01) {
            check.trim.outcome = TrimOutcome::NotConverged;
        }
    }
    if (turns) {
        check.neededCoil.turnsResonanceMHz = turns->result().resonanceMHz;
    }
    if (limitAnalysis) {
        check.trim.limitResonanceMHz = limitAnalysis->result().resonanceMHz;
    }

    // ---- the pictures
    tell(context, "sweeping the SWR curves");
    std::vector<Analysis*> pictured{&designed, &built};
    std::vector<AntennaResult*> results{&check.designed, &check.built};
    if (trimmed) {
        pictured.push_back(trimmed.get());
        results.push_back(&*check.trimmed);
    }
    if (auto failure = sweepCurves(context, pictured, results)) {
        return *failure;
    }
    if (input.ground.kind != GroundKind::FreeSpace) {
        tell(context, "working out the far field over the ground");
        if (auto failure = skyShares(context, pictured, results)) {
            return *failure;
        }
    }
    return check;
}

} // namespace brevan::check
