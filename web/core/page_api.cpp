// SPDX-License-Identifier: GPL-3.0-or-later
#include "page_api.h"

#include "band_plan.h"
#include "field_words.h"
#include "form_reading.h"
#include "half_dipole_svg.h"
#include "measured/measured_sweep.h"
#include "nec/nec_output.h"
#include "option_table.h"
#include "report/advice.h"
#include "report/power_words.h"
#include "report/report_format.h"
#include "report/report_json.h"
#include "report/report_plot.h"
#include "report/report_text.h"
#include "report/study_plot.h"
#include "report/tolerance_words.h"
#include "result_rows.h"

#include <nlohmann/json.hpp>

#include <cmath>

#include "floating_chars.h"

namespace brevan::web {
namespace {

using nlohmann::json;

// The window's words about the check's state (checkapp/check_window.cpp), so the page says
// the same.
constexpr const char* kWaiting = "Full-wave check: waiting for typing to pause…";
constexpr const char* kLastAccepted = "The results shown are of the last design accepted.";
constexpr const char* kDone = "Full-wave check done (nec2c).";
constexpr const char* kNotYet = "The antennas appear when the full-wave check is done.";

// The sweep's feed line is read only while a sweep is open.
constexpr const char* kSweepOnly[] = {"feedline-length", "feedline-vf", "feedline-loss"};

// A number as the window's form shows it: the shortest text that reads back the same.
std::string shown(double value) {
    char buffer[64];
    const auto result = toChars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// Typed text comes back quoted in refusals; text that is not UTF-8 is replaced, never thrown on.
std::string written(const json& value) {
    return value.dump(-1, ' ', false, json::error_handler_t::replace);
}

json rows(const std::vector<faces::ResultRow>& rows) {
    json out = json::array();
    for (const auto& row : rows) {
        out.push_back({{"label", row.label}, {"value", row.value}});
    }
    return out;
}

json antennaRows(const check::CheckReport& report) {
    json out = json::array();
    for (const auto& row : faces::antennaRows(report)) {
        out.push_back({{"label", row.label}, {"cells", row.cells}});
    }
    return out;
}

// Each curve's points with the read-out the pointer shows over them.
json plotCurves(const check::CheckReport& report) {
    json out = json::array();
    for (const check::PlotCurve& curve : check::reportPlotCurves(report)) {
        json points = json::array();
        for (const auto& [mhz, swr] : curve.points) {
            const std::string swrText = swr < 100 ? check::number(swr, 2) : "over 100";
            points.push_back(
                {{"mhz", mhz},
                 {"text", curve.label + ": " + check::number(mhz, 3) + " MHz, SWR " + swrText}});
        }
        out.push_back({{"label", curve.label}, {"points", std::move(points)}});
    }
    return out;
}

// How exactly to build it, as the window's table has it: each difference, the resonance's moves
// and the SWR at F (or why it does not apply); with the antenna it is of and what matters most.
json tolerancesJson(const check::CheckReport& report) {
    json rows = json::array();
    for (const auto& row : faces::toleranceRows(report)) {
        rows.push_back({{"label", row.label}, {"cells", row.cells}});
    }
    if (rows.empty()) {
        return nullptr;
    }
    return {{"rows", std::move(rows)},
            {"basis", "Of the antenna " + check::toleranceBasis(report) + "."},
            {"sentence", check::toleranceSentence(report)}};
}

// What the coils and the tips hold at the power, as the window's tab has it.
json powerJson(const check::CheckReport& report) {
    json rows = json::array();
    for (const auto& row : check::powerRows(report)) {
        rows.push_back({{"label", row.label}, {"cells", {row.built, row.trimmed}}});
    }
    if (rows.empty()) {
        return nullptr;
    }
    return {{"title", "At " + check::powerSettingText(report.inputs.power) +
                          ": what the coils and the tips hold"},
            {"rows", std::move(rows)},
            {"notes", check::powerMethodNotes(report)}};
}

// Beside the coil, in the text report's words: the table gauge the design used for a wire given
// as AWG or millimetres, and what Medhurst's grounded-coil capacitance would give.
json coilNotes(const check::CheckReport& r) {
    const check::CheckInputs& in = r.inputs;
    json notes = json::array();
    if (in.wireSize) {
        notes.push_back("Antenna wire in the design: SWG " + std::to_string(in.wireSwg) +
                        ", the table's gauge nearest to " +
                        check::wireName(in.wireSwg, in.wireSize));
    }
    if (in.coilWireSize) {
        notes.push_back("Coil wire in the design: SWG " + std::to_string(in.coilWireSwg) +
                        ", the table's gauge nearest to " +
                        check::wireName(in.coilWireSwg, in.coilWireSize));
    }
    notes.push_back(
        "Medhurst's grounded coil: " + check::number(r.losses.medhurstCapacitance * 1e12, 2) +
        " pF, self-resonance " + check::significant(r.losses.medhurstResonance / 1e6, 3) + " MHz");
    if (r.antenna && r.antenna->medhurst) {
        notes.push_back("With Medhurst's capacitance: " + check::medhurstSummary(*r.antenna));
    }
    return notes;
}

// What an accepted design shows, with or without the full-wave check.
json reportJson(const check::CheckReport& report) {
    json out{{"verdict", check::verdictSentences(report)},
             {"sheetVerdict", check::sheetVerdictSentences(report)},
             {"power", powerJson(report)},
             {"warnings", check::warningSentences(report)},
             {"design", rows(faces::designRows(report))},
             {"cutList", rows(faces::cutListRows(report))},
             {"antennas", antennaRows(report)},
             {"drawing", halfDipoleSvg(report)},
             {"coilNotes", coilNotes(report)},
             {"tolerances", tolerancesJson(report)}};
    if (report.antenna) {
        out["trim"] = "Trim of each tip: " + check::trimSummary(report);
        out["neededCoil"] =
            "Or, at the designed length: " + check::neededCoilSummary(*report.antenna);
        out["plotSvg"] = check::reportPlotCurvesSvg(report);
        out["plotSvgCompact"] = check::compactReportPlotSvg(report);
        out["plotCurves"] = plotCurves(report);
        out["deck"] = report.antenna->builtDeck;
        out["text"] = check::reportText(report, BREVAN_VERSION_TEXT);
        // The bytes brevan-check --format json prints for the same inputs, for the page's export.
        out["json"] = check::reportJson(report, BREVAN_VERSION_TEXT);
        if (report.measured) {
            out["measuredNotes"] = json::array({check::measuredSummary(report)});
            for (const std::string& note : check::measuredNotes(report)) {
                out["measuredNotes"].push_back(faces::inFieldWords(note, '.'));
            }
        }
        const std::string hang = check::hangSentence(report);
        const std::string along = check::alongWireNote(report);
        const std::string insulation = check::insulationSentence(report);
        out["notes"] = json::array();
        for (const std::string* note : {&hang, &along, &insulation}) {
            if (!note->empty()) {
                out["notes"].push_back(*note);
            }
        }
    } else {
        out["trim"] = kNotYet;
    }
    return out;
}

// A line per position for a screen reader, with the figures the report's study table gives (as
// the check window's study panel says it).
std::string spokenPoint(const check::StudyPoint& p, const check::Lengths& lengths) {
    std::string line = "B = " + lengths.m(p.coilDistance, 2) + ": ";
    if (p.outcome != check::StudyOutcome::Found) {
        return line + check::studyOutcomeText(p.outcome);
    }
    line += "each coil " + check::number(p.inductance * 1e6, 2) + " uH";
    if (p.turns > 0) {
        line += ", " + std::to_string(p.turns) + " turns";
    }
    line += ", Q " + check::significant(p.coilQ, 3) + ", efficiency " +
            check::number(p.efficiency * 100, 1) + " %, " +
            check::number(p.resonanceResistance, 1) + " ohm at resonance";
    if (const auto wide = check::bandWidth(p.band)) {
        line += ", 2:1 band " + check::number(*wide * 1000, 0) + " kHz on 50 ohm";
    }
    return line;
}

// The design a study holds for: the accepted inputs as option texts, B left out.
json studyKey(const check::CheckInputs& inputs) {
    json key = check::optionTexts(inputs);
    key.erase("distance");
    return key;
}

struct Reading {
    json response;
    std::optional<check::CheckReport> report;
    std::optional<check::MeasuredSetup> measured;
};

// The open sweep read by the command's readers, with the line it came through (as
// readMeasuredSetup in cli/run_check.cpp); or why not, in words.
std::variant<check::MeasuredSetup, std::string> measuredSetup(const check::SweepCopy& sweep,
                                                              const check::CheckInputs& in) {
    auto read = check::readSweep(sweep.text, sweep.fileName);
    if (const auto* error = std::get_if<check::SweepError>(&read)) {
        return check::message(*error);
    }
    check::MeasuredSetup setup{sweep.fileName, std::get<check::MeasuredSweep>(std::move(read)), {}};
    if (in.feedlineLengthM) {
        setup.feedLine = check::FeedLine{*in.feedlineLengthM, in.feedlineVelocityFactor,
                                         in.feedlineLossDb, in.frequencyMHz, 50.0};
    }
    return setup;
}

// The window's readInputs: the command's reading of the fields, then the fast part of the check.
Reading readDesign(const PageRequest& request) {
    Reading reading;
    json& out = reading.response;
    auto given = optionTexts(request.fields, request.decimalPoint, request.sweep.has_value());
    // The link carries the design, never the sweep: the file is on this machine only.
    out["options"] = given;
    for (const char* option : kSweepOnly) {
        out["options"].erase(option);
    }
    if (request.sweep) {
        given["measured"] = request.sweep->fileName;
    }
    const faces::FormReading form = faces::readForm(given);
    out["refusals"] = json::object();
    for (const auto& [option, message] : form.refusals) {
        out["refusals"][option] = faces::inFieldWords(message, request.decimalPoint);
    }
    const auto frequency =
        given.count("frequency") ? check::parseOptionNumber(given.at("frequency")) : std::nullopt;
    out["band"] = frequency ? faces::bandChoiceAt(faces::bandChoices(), *frequency) : -1;
    out["accepted"] = false;
    if (!form.inputs) {
        out["status"] = kLastAccepted;
        return reading;
    }
    auto built = check::buildCheckReport(*form.inputs);
    if (const auto* refusal = std::get_if<check::DesignRefusal>(&built)) {
        out["designRefusal"] = refusal->message;
        out["status"] = kLastAccepted;
        return reading;
    }
    if (request.sweep) {
        auto setup = measuredSetup(*request.sweep, *form.inputs);
        if (auto* message = std::get_if<std::string>(&setup)) {
            out["sweepError"] =
                "The sweep is not read: " + faces::inFieldWords(*message, request.decimalPoint) +
                ".";
        } else {
            reading.measured = std::get<check::MeasuredSetup>(std::move(setup));
        }
    }
    out["accepted"] = true;
    out["status"] = kWaiting;
    reading.report = std::get<check::CheckReport>(std::move(built));
    return reading;
}

} // namespace

std::map<std::string, std::string> optionTexts(const std::map<std::string, std::string>& fields,
                                               char decimalPoint, bool withSweep) {
    std::map<std::string, std::string> given;
    for (const auto& [option, typed] : fields) {
        // Choices go as they are; numbers as the command reads them.
        std::string text = faces::optionText(typed, decimalPoint);
        if (!text.empty()) {
            given[option] = text;
        }
    }
    if (!withSweep) {
        for (const char* option : kSweepOnly) {
            given.erase(option);
        }
    }
    return given;
}

std::variant<PageRequest, std::string> readRequest(const std::string& text) {
    const json parsed = json::parse(text, nullptr, false);
    if (parsed.is_discarded() || !parsed.is_object() || !parsed.contains("fields") ||
        !parsed["fields"].is_object()) {
        return std::string("the page's request is not an object with its fields");
    }
    PageRequest request;
    for (const auto& [option, value] : parsed["fields"].items()) {
        if (!value.is_string()) {
            return "the field " + option + " is not a text";
        }
        request.fields[option] = value.get<std::string>();
    }
    if (parsed.contains("decimalPoint")) {
        const json& point = parsed["decimalPoint"];
        if (!point.is_string() || point.get<std::string>().size() != 1) {
            return std::string("the decimal point is not one character");
        }
        request.decimalPoint = point.get<std::string>()[0];
    }
    if (parsed.contains("sweep") && !parsed["sweep"].is_null()) {
        const json& sweep = parsed["sweep"];
        if (!sweep.is_object() || !sweep.contains("file") || !sweep["file"].is_string() ||
            !sweep.contains("text") || !sweep["text"].is_string()) {
            return std::string("the sweep is not an object with its file name and text");
        }
        request.sweep =
            check::SweepCopy{sweep["file"].get<std::string>(), sweep["text"].get<std::string>()};
    }
    return request;
}

std::string bandsResponse() {
    json out = json::array();
    for (const faces::BandChoice& band : faces::bandChoices()) {
        out.push_back({{"label", band.label}, {"centre", shown(band.centreMHz)}});
    }
    return written(out);
}

std::string fieldsResponse() {
    json out = json::array();
    for (const check::OptionRow& row : check::optionTable()) {
        if (row.label) {
            out.push_back({{"option", row.option},
                           {"label", check::plainLabel(row.label)},
                           {"picker", row.picker ? json(check::plainLabel(row.picker)) : json()},
                           {"unit", row.unit}});
        }
    }
    return written(out);
}

std::string designResponse(const PageRequest& request) {
    Reading reading = readDesign(request);
    if (reading.report) {
        reading.response["report"] = reportJson(*reading.report);
        // What a study shown holds for: it stays while only B changes.
        reading.response["study"] = {
            {"key", studyKey(reading.report->inputs)},
            {"distance", check::number(reading.report->inputs.distanceM, 3)}};
    }
    return written(reading.response);
}

std::string checkResponse(const PageRequest& request, const check::Engine& engine,
                          const std::function<void(const std::string&)>& progress) {
    Reading reading = readDesign(request);
    json& out = reading.response;
    if (!reading.report) {
        out["checked"] = false;
        return written(out);
    }
    check::CheckReport& report = *reading.report;
    auto failure = check::addAntennaCheck(report, engine, [&](const std::string& stage) {
        progress("Full-wave check: " + stage + "…");
    });
    if (!failure && reading.measured) {
        failure =
            check::addMeasured(report, *reading.measured, engine, [&](const std::string& stage) {
                progress("Full-wave check: " + stage + "…");
            });
    }
    out["report"] = reportJson(report);
    out["checked"] = !failure.has_value();
    if (failure) {
        // The window's words, and where its engine comes from on the page.
        out["status"] = "The full-wave check did not finish: " + failure->message;
    } else {
        out["status"] = kDone;
    }
    return written(out);
}

std::string studyResponse(const PageRequest& request, const check::Engine& engine,
                          const std::function<void(const std::string&)>& progress) {
    PageRequest design = request;
    design.sweep.reset(); // the study is of the design; a sweep plays no part in it
    Reading reading = readDesign(design);
    if (!reading.report) {
        return written(
            {{"studied", false}, {"status", "The study did not finish: a field is not accepted."}});
    }
    check::CheckReport& report = *reading.report;
    const auto failure = check::addCoilPositionStudy(
        report, engine, [&](const std::string& stage) { progress("Studying: " + stage + "…"); });
    if (failure) {
        // The window's words (checkapp/study_panel.cpp).
        return written(
            {{"studied", false}, {"status", "The study did not finish: " + failure->message}});
    }
    const check::StudyPicture picture = check::studyPicture(report);
    json points = json::array();
    for (std::size_t i = 0; i < report.study->points.size(); ++i) {
        const check::StudyPoint& p = report.study->points[i];
        // To the millimetre, the resolution a builder measures B to (as the window takes it).
        points.push_back({{"b", p.coilDistance},
                          {"x", picture.xs[i]},
                          {"take", shown(std::round(p.coilDistance * 1000.0) / 1000.0)},
                          {"spoken", spokenPoint(p, check::Lengths(report.inputs.units))}});
    }
    return written(
        {{"studied", true},
         {"status", "Study done (nec2c). Click a position, or pick one with the arrow "
                    "keys and Enter, to take it into the design."},
         {"key", studyKey(report.inputs)},
         {"distance", check::number(report.inputs.distanceM, 3)},
         {"svg", check::studyPlotSvg(report)},
         {"sentences", check::studySentences(report)},
         {"frame",
          {check::StudyPicture::kWidth, check::StudyPicture::kTop, check::StudyPicture::kBottom}},
         {"points", std::move(points)}});
}

std::string sweepResponse(const std::string& text) {
    const json parsed = json::parse(text, nullptr, false);
    if (parsed.is_discarded() || !parsed.is_object() || !parsed.contains("file") ||
        !parsed["file"].is_string() || !parsed.contains("text") || !parsed["text"].is_string()) {
        return written(
            {{"ok", false}, {"message", "the page's sweep is not a file name and text"}});
    }
    const std::string name = parsed["file"].get<std::string>();
    auto read = check::readSweep(parsed["text"].get<std::string>(), name);
    if (const auto* error = std::get_if<check::SweepError>(&read)) {
        // The window's words (checkapp/check_window_files.cpp), with the sweep it keeps.
        const std::string kept =
            parsed.contains("kept") && parsed["kept"].is_string()
                ? " The sweep " + parsed["kept"].get<std::string>() + " is kept."
                : std::string();
        return written(
            {{"ok", false}, {"message", "The sweep is not read: " + message(*error) + "." + kept}});
    }
    return written({{"ok", true}, {"status", "Measured sweep: " + name}});
}

std::string designFileResponse(const PageRequest& request) {
    const Reading reading = readDesign(request);
    if (!reading.report) {
        // The window's words when a field is refused (checkapp/check_window_files.cpp).
        return written({{"error", "The design cannot be saved while a field is not accepted: "
                                  "see the message beside it."}});
    }
    check::DesignFile design{reading.report->inputs, request.sweep};
    return written({{"file", check::designFileJson(design)}});
}

std::string openDesignResponse(const std::string& fileName, const std::string& fileText) {
    const auto read = check::readDesignFile(fileText);
    if (const auto* message = std::get_if<std::string>(&read)) {
        // The window's words (checkapp/check_window_files.cpp).
        return written({{"error", "Cannot open " + fileName + ". " + *message +
                                      " The design shown is kept."}});
    }
    const check::DesignFile& design = std::get<check::DesignFile>(read);
    const check::CheckInputs& in = design.inputs;
    json fields = check::optionTexts(in);
    if (in.feedlineLengthM) {
        fields["feedline-length"] = shown(*in.feedlineLengthM);
        fields["feedline-vf"] = shown(in.feedlineVelocityFactor);
        fields["feedline-loss"] = shown(in.feedlineLossDb);
    }
    json sweep = nullptr;
    if (design.sweep) {
        sweep = {
            {"file", design.sweep->fileName},
            {"text", design.sweep->text},
            {"status", "Measured sweep: " + design.sweep->fileName + ", kept in the design file"}};
    }
    return written({{"fields", std::move(fields)}, {"sweep", std::move(sweep)}});
}

check::EngineRun engineRunFromOutput(bool ok, const std::string& outputOrError) {
    check::EngineRun run;
    if (!ok) {
        run.failure = check::EngineFailure::Failed;
        run.detail = "nec2c stopped: " + outputOrError;
        return run;
    }
    std::string error;
    auto points = check::parseEngineOutput(outputOrError, &error);
    if (!points) {
        run.failure = check::EngineFailure::Unreadable;
        run.detail = "the output of nec2c could not be read: " + error;
        return run;
    }
    run.points = std::move(*points);
    run.output = outputOrError;
    return run;
}

} // namespace brevan::web
