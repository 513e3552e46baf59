// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/design_file.h"

#include "measured/measured_sweep.h"
#include "option_table.h"
#include "json/json_text.h"

#include "floating_chars.h"

#include <charconv>
#include <cmath>
#include <nlohmann/json.hpp>
#include <optional>
#include <vector>

namespace brevan::check {
namespace {

constexpr const char* kFormat = "brevan-check design";

// The shortest text that reads back to the same double, with a full stop.
std::string exactText(double value) {
    char buffer[64];
    const auto result = toChars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

Json optionalNumber(const std::optional<double>& value) {
    return value ? Json(*value) : Json();
}

// What each key of the file is called on the command line.
struct Field {
    const char* key;
    const char* option;
    bool required;
};
// The table's inputs the file keeps at `place`, in the table's order.
std::vector<Field> fieldsAt(FileKey place) {
    std::vector<Field> out;
    for (const OptionRow& row : optionTable()) {
        if (row.place == place) {
            out.push_back({row.fileKey, row.option, row.required});
        }
    }
    return out;
}

// A wire named otherwise than by the table's SWG: the key, and how the option writes it.
struct WireField {
    const char* key;
    const char* option;
    WireSystem system;
};
constexpr WireField kWireFields[] = {
    {"wire_awg", "wire", WireSystem::Awg},
    {"wire_mm", "wire", WireSystem::Millimetres},
    {"coil_wire_awg", "coil-wire", WireSystem::Awg},
    {"coil_wire_mm", "coil-wire", WireSystem::Millimetres},
};

constexpr int kStraightVersion = 1;  // a straight bare-wire design, as every reader knows it
constexpr int kShapeVersion = 2;     // an inverted V or insulated wire
constexpr int kSweepVersion = 3;     // a design saved with an analyser's sweep
constexpr int kBuiltCoilVersion = 4; // the coil as the builder made it, or on a solid former
constexpr int kPowerVersion = 5;     // another power or mode than 100 W SSB

// The command's message names the option; the file's reader wants to know the key.
// Every mention of the option as a whole word: "--insulation" is not "--insulation-thickness".
void nameTheKey(std::string& message, const Field& field) {
    const std::string option = std::string("--") + field.option;
    const std::string key = std::string("\"") + field.key + "\"";
    for (auto at = message.find(option); at != std::string::npos; at = message.find(option, at)) {
        const std::size_t end = at + option.size();
        if (end == message.size() || message[end] == ':' || message[end] == ' ') {
            message.replace(at, option.size(), key);
            at += key.size();
        } else {
            at = end;
        }
    }
}

std::string inFileWords(std::string message) {
    for (const FileKey place : {FileKey::Design, FileKey::Sweep}) {
        for (const Field& field : fieldsAt(place)) {
            nameTheKey(message, field);
        }
    }
    for (const std::string choice : {"ground", "shape", "mode"}) {
        const auto at = message.find("--" + choice);
        if (at != std::string::npos) {
            message.replace(at, choice.size() + 2, "\"" + choice + "\"");
        }
    }
    return message;
}

// An insulation was given, even one of no thickness: it goes back out as it came in.
bool insulationGiven(const CheckInputs& in) {
    return in.insulationThicknessMm > 0.0 || in.insulationPermittivity != 1.0;
}

// Another power or mode than the check assumes when none is given.
bool powerGiven(const CheckInputs& in) {
    return in.power.watts != kDefaultPowerW || in.power.mode != Mode::Ssb;
}

// Anything of the coil as the builder made it: an older program would check another coil.
bool builtCoilGiven(const CheckInputs& in) {
    return in.wireSize || in.coilWireSize || in.turns || in.windingLengthMm ||
           in.coilInductanceUh || in.coilSelfResonanceMHz;
}

// The file's lines without their ends, so that the design file shows them one to a line; a
// carriage return before a line feed goes with it, as both readers take either ending.
Json linesOf(const std::string& text) {
    Json lines = Json::array();
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        const std::size_t next = end == std::string::npos ? text.size() : end + 1;
        end = end == std::string::npos ? text.size() : end;
        if (end > start && text[end - 1] == '\r') {
            --end;
        }
        lines.push_back(text.substr(start, end - start));
        start = next;
    }
    return lines;
}

Json sweepJson(const SweepCopy& sweep, const CheckInputs& in) {
    const bool line = in.feedlineLengthM.has_value();
    return Json{{"file", sweep.fileName},
                {"lines", linesOf(sweep.text)},
                {"feedline_length_m", optionalNumber(in.feedlineLengthM)},
                {"feedline_velocity_factor", line ? Json(in.feedlineVelocityFactor) : Json()},
                {"feedline_loss_db_per_100m", line ? Json(in.feedlineLossDb) : Json()}};
}

// Why the parser stopped, in its words: "at line 1, column 12: syntax error while parsing …".
struct ParseErrorOnly : nlohmann::json_sax<Json> {
    std::string message;
    bool null() override { return true; }
    bool boolean(bool) override { return true; }
    bool number_integer(number_integer_t) override { return true; }
    bool number_unsigned(number_unsigned_t) override { return true; }
    bool number_float(number_float_t, const string_t&) override { return true; }
    bool string(string_t&) override { return true; }
    bool binary(binary_t&) override { return true; }
    bool start_object(std::size_t) override { return true; }
    bool key(string_t&) override { return true; }
    bool end_object() override { return true; }
    bool start_array(std::size_t) override { return true; }
    bool end_array() override { return true; }
    bool parse_error(std::size_t, const std::string&,
                     const nlohmann::detail::exception& error) override {
        message = error.what();
        const auto at = message.find("parse error ");
        if (at != std::string::npos) {
            message.erase(0, at + 12);
        }
        return false;
    }
};

std::string parseErrorOf(std::string_view content) {
    ParseErrorOnly errors;
    Json::sax_parse(content, &errors);
    return errors.message;
}

// The number under `key`, as the option's text, when there is one.
std::optional<std::string> numberAt(const Json& object, const Field& field,
                                    std::map<std::string, std::string>& given) {
    const auto it = object.find(field.key);
    if (it == object.end() || it->is_null()) {
        if (field.required) {
            return std::string("The design file has no \"") + field.key + "\".";
        }
        return std::nullopt;
    }
    if (!it->is_number()) {
        return std::string("The design file's \"") + field.key + "\" is not a number.";
    }
    given[field.option] = exactText(it->get<double>());
    return std::nullopt;
}

// The sweep as it was opened, read again by the same readers; its line goes to `given`.
std::variant<SweepCopy, std::string> readSweepCopy(const Json& sweep,
                                                   std::map<std::string, std::string>& given) {
    if (!sweep.is_object()) {
        return std::string("The design file's \"sweep\" is not an object.");
    }
    const auto file = sweep.find("file");
    if (file == sweep.end() || !file->is_string() || file->get_ref<const std::string&>().empty()) {
        return std::string("The design file's \"sweep\" has no \"file\".");
    }
    const auto lines = sweep.find("lines");
    if (lines == sweep.end() || !lines->is_array()) {
        return std::string("The design file's \"sweep\" has no \"lines\".");
    }
    SweepCopy copy{file->get<std::string>(), {}};
    for (const Json& line : *lines) {
        if (!line.is_string()) {
            return std::string("The design file's \"sweep\" has a line that is not a text.");
        }
        copy.text += line.get_ref<const std::string&>();
        copy.text += '\n';
    }
    const auto read = readSweep(copy.text, copy.fileName);
    if (const auto* error = std::get_if<SweepError>(&read)) {
        return "The design file's sweep cannot be used: " + message(*error) + ".";
    }
    for (const Field& field : fieldsAt(FileKey::Sweep)) {
        if (auto refusal = numberAt(sweep, field, given)) {
            return *refusal;
        }
    }
    given["measured"] = copy.fileName;
    return copy;
}

} // namespace

std::map<std::string, std::string> optionTexts(const CheckInputs& in) {
    std::map<std::string, std::string> given{
        {"frequency", exactText(in.frequencyMHz)},
        {"length", exactText(in.lengthM)},
        {"distance", exactText(in.distanceM)},
        {"wire", wireOptionText(in.wireSwg, in.wireSize)},
        {"former", exactText(in.formerMm)},
        {"coil-length", exactText(in.coilLengthMm)},
        {"coil-wire", wireOptionText(in.coilWireSwg, in.coilWireSize)}};
    const std::pair<const char*, const std::optional<double>*> built[] = {
        {"turns", &in.turns},
        {"winding-length", &in.windingLengthMm},
        {"coil-inductance", &in.coilInductanceUh},
        {"coil-self-resonance", &in.coilSelfResonanceMHz}};
    for (const auto& [option, value] : built) {
        if (*value) {
            given[option] = exactText(**value);
        }
    }
    if (in.pitchMm) {
        given["pitch"] = exactText(*in.pitchMm);
    }
    if (in.coilQ) {
        given["coil-q"] = exactText(*in.coilQ);
    }
    if (in.ground.kind != GroundKind::FreeSpace) {
        given["ground"] = groundName(in.ground.kind);
        given["height"] = exactText(in.ground.height);
    }
    if (in.hang.shape == HangShape::InvertedV) {
        given["shape"] = "inverted-v";
        if (in.hang.endsHeight) {
            given["ends-height"] = exactText(*in.hang.endsHeight);
        } else {
            given["leg-angle"] = exactText(in.hang.legAngle);
        }
    }
    if (insulationGiven(in)) {
        given["insulation"] = exactText(in.insulationPermittivity);
        given["insulation-thickness"] = exactText(in.insulationThicknessMm);
    }
    if (in.formerPermittivity != 1.0) {
        given["former-material"] = exactText(in.formerPermittivity);
    }
    if (powerGiven(in)) {
        given["power"] = exactText(in.power.watts);
        given["mode"] = modeDuty(in.power.mode).option;
    }
    return given;
}

std::string designFileJson(const DesignFile& design) {
    const CheckInputs& in = design.inputs;
    const bool overGround = in.ground.kind != GroundKind::FreeSpace;
    // A program that knows only version 1 would read a V as straight and a sleeve as bare wire,
    // one that knows only version 2 would drop the sweep: such a design is of the version that
    // the other refuses.
    // One that knows only version 3 would check step 2's coil, or wind it on a tube.
    const bool beyondFirst = in.hang.shape == HangShape::InvertedV || insulationGiven(in);
    const bool solidFormer = in.formerPermittivity != 1.0;
    const int version = powerGiven(in)                      ? kPowerVersion
                        : solidFormer || builtCoilGiven(in) ? kBuiltCoilVersion
                        : design.sweep                      ? kSweepVersion
                        : beyondFirst                       ? kShapeVersion
                                                            : kStraightVersion;
    Json object{
        {"format", kFormat},
        {"version", version},
        {"frequency_mhz", in.frequencyMHz},
        {"length_a_m", in.lengthM},
        {"distance_b_m", in.distanceM},
        {"wire_swg", in.wireSwg},
        {"former_mm", in.formerMm},
        {"coil_length_mm", in.coilLengthMm},
        {"coil_wire_swg", in.coilWireSwg},
        {"pitch_mm", optionalNumber(in.pitchMm)},
        {"coil_q", optionalNumber(in.coilQ)},
        {"ground", groundName(in.ground.kind)},
        {"height_m", overGround ? Json(in.ground.height) : Json()},
        {"insulation_thickness_mm", insulationGiven(in) ? Json(in.insulationThicknessMm) : Json()},
        {"insulation_permittivity", insulationGiven(in) ? Json(in.insulationPermittivity) : Json()},
    };
    if (in.hang.shape == HangShape::InvertedV) {
        object["shape"] = "inverted-v";
        object["leg_angle_deg"] = in.hang.endsHeight ? Json() : Json(in.hang.legAngle);
        object["ends_height_m"] = optionalNumber(in.hang.endsHeight);
    }
    if (solidFormer) {
        object["former_permittivity"] = in.formerPermittivity;
    }
    for (const WireField& field : kWireFields) {
        const std::optional<WireSize>& size =
            std::string(field.option) == "wire" ? in.wireSize : in.coilWireSize;
        if (size && size->system == field.system) {
            object[field.key] = size->value;
        }
    }
    const std::pair<const char*, const std::optional<double>*> built[] = {
        {"turns", &in.turns},
        {"winding_length_mm", &in.windingLengthMm},
        {"coil_inductance_uh", &in.coilInductanceUh},
        {"coil_self_resonance_mhz", &in.coilSelfResonanceMHz}};
    for (const auto& [key, value] : built) {
        if (*value) {
            object[key] = **value;
        }
    }
    if (powerGiven(in)) {
        object["power_w"] = in.power.watts;
        object["mode"] = modeDuty(in.power.mode).option;
    }
    if (design.sweep) {
        object["sweep"] = sweepJson(*design.sweep, in);
    }
    return jsonText(object);
}

std::variant<DesignFile, std::string> readDesignFile(std::string_view content) {
    const Json document = Json::parse(content, nullptr, false);
    if (document.is_discarded() || !document.is_object()) {
        return std::string("This is not a design file: it is not a JSON object (") +
               (document.is_discarded() ? parseErrorOf(content) : std::string("no object")) + ").";
    }
    const auto format = document.find("format");
    if (format == document.end() || !format->is_string() || *format != kFormat) {
        return std::string("This is not a design file: it does not say \"format\": \"") + kFormat +
               "\".";
    }
    const auto version = document.find("version");
    if (version == document.end() || !version->is_number() || version->get<double>() < 1 ||
        version->get<double>() != std::trunc(version->get<double>())) {
        return std::string("The design file has no valid \"version\".");
    }
    if (version->get<double>() > kDesignFileVersion) {
        return "The design file is of version " + exactText(version->get<double>()) +
               ", made by a newer program; this one reads up to version " +
               std::to_string(kDesignFileVersion) + ". Open it with a newer Brevan Check.";
    }

    std::map<std::string, std::string> given;
    for (const Field& field : fieldsAt(FileKey::Design)) {
        if (auto refusal = numberAt(document, field, given)) {
            return *refusal;
        }
    }
    // A wire given otherwise than by the table's gauge: its refusals name its own key.
    std::vector<Field> wireKeys;
    for (const WireField& field : kWireFields) {
        const auto it = document.find(field.key);
        if (it == document.end() || it->is_null()) {
            continue;
        }
        if (!it->is_number()) {
            return std::string("The design file's \"") + field.key + "\" is not a number.";
        }
        const std::string value = exactText(it->get<double>());
        given[field.option] = field.system == WireSystem::Awg ? "AWG " + value : value + "mm";
        wireKeys.push_back(Field{field.key, field.option, false});
    }
    const auto ground = document.find("ground");
    if (ground == document.end() || !ground->is_string() ||
        ground->get_ref<const std::string&>().empty()) {
        return std::string("The design file has no \"ground\".");
    }
    if (*ground == "free space") {
        if (given.count("height")) {
            return std::string("The design file gives a \"height_m\" in free space.");
        }
    } else {
        given["ground"] = ground->get<std::string>();
    }
    const auto shape = document.find("shape");
    if (shape != document.end() && !shape->is_null()) {
        if (!shape->is_string()) {
            return std::string("The design file's \"shape\" is not a text.");
        }
        given["shape"] = shape->get<std::string>();
    }
    const auto mode = document.find("mode");
    if (mode != document.end() && !mode->is_null()) {
        if (!mode->is_string()) {
            return std::string("The design file's \"mode\" is not a text.");
        }
        given["mode"] = mode->get<std::string>();
    }
    DesignFile design;
    const auto sweep = document.find("sweep");
    if (sweep != document.end() && !sweep->is_null()) {
        auto copy = readSweepCopy(*sweep, given);
        if (const auto* refusal = std::get_if<std::string>(&copy)) {
            return *refusal;
        }
        design.sweep = std::get<SweepCopy>(std::move(copy));
    }

    const auto read = readCheckInputs(given);
    if (const auto* error = std::get_if<UsageError>(&read)) {
        std::string message = error->message;
        for (const Field& field : wireKeys) {
            nameTheKey(message, field);
        }
        return "The design file cannot be used: " + inFileWords(message) + ".";
    }
    design.inputs = std::get<CheckInputs>(read);
    return design;
}

} // namespace brevan::check
