#include "design_file.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>

#include <charconv>
#include <optional>

namespace brevan::checkapp {
namespace {

using check::CheckInputs;
using check::GroundKind;

constexpr const char* kFormat = "brevan-check design";

// The shortest text that reads back to the same double, with a full stop.
std::string exactText(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

QJsonValue optionalNumber(const std::optional<double>& value) {
    return value ? QJsonValue(*value) : QJsonValue();
}

// What each key of the file is called on the command line.
struct Field {
    const char* key;
    const char* option;
    bool required;
};
// The insulation's thickness comes before its material: the one option's name begins with the
// other's, and the messages are worded in keys in this order.
constexpr Field kFields[] = {
    {"frequency_mhz", "frequency", true},
    {"length_a_m", "length", true},
    {"distance_b_m", "distance", true},
    {"wire_swg", "wire", true},
    {"former_mm", "former", true},
    {"coil_length_mm", "coil-length", true},
    {"coil_wire_swg", "coil-wire", true},
    {"pitch_mm", "pitch", false},
    {"coil_q", "coil-q", false},
    {"height_m", "height", false},
    {"leg_angle_deg", "leg-angle", false},
    {"ends_height_m", "ends-height", false},
    {"insulation_thickness_mm", "insulation-thickness", false},
    {"insulation_permittivity", "insulation", false},
};

constexpr int kStraightVersion = 1; // a straight bare-wire design, as every reader knows it

// The command's message names the option; the file's reader wants to know the key.
QString inFileWords(std::string message) {
    for (const Field& field : kFields) {
        const std::string option = std::string("--") + field.option;
        const auto at = message.find(option);
        if (at != std::string::npos &&
            (at + option.size() == message.size() || message[at + option.size()] == ':' ||
             message[at + option.size()] == ' ')) {
            message.replace(at, option.size(), std::string("\"") + field.key + "\"");
        }
    }
    for (const std::string choice : {"ground", "shape"}) {
        const auto at = message.find("--" + choice);
        if (at != std::string::npos) {
            message.replace(at, choice.size() + 2, "\"" + choice + "\"");
        }
    }
    return QString::fromStdString(message);
}

// An insulation was given, even one of no thickness: it goes back out as it came in.
bool insulationGiven(const CheckInputs& in) {
    return in.insulationThicknessMm > 0.0 || in.insulationPermittivity != 1.0;
}

} // namespace

std::map<std::string, std::string> optionTexts(const CheckInputs& in) {
    std::map<std::string, std::string> given{
        {"frequency", exactText(in.frequencyMHz)},    {"length", exactText(in.lengthM)},
        {"distance", exactText(in.distanceM)},        {"wire", std::to_string(in.wireSwg)},
        {"former", exactText(in.formerMm)},           {"coil-length", exactText(in.coilLengthMm)},
        {"coil-wire", std::to_string(in.coilWireSwg)}};
    if (in.pitchMm) {
        given["pitch"] = exactText(*in.pitchMm);
    }
    if (in.coilQ) {
        given["coil-q"] = exactText(*in.coilQ);
    }
    if (in.ground.kind != GroundKind::FreeSpace) {
        given["ground"] = check::groundName(in.ground.kind);
        given["height"] = exactText(in.ground.height);
    }
    if (in.hang.shape == check::HangShape::InvertedV) {
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
    return given;
}

QByteArray designFileJson(const CheckInputs& in) {
    const bool overGround = in.ground.kind != GroundKind::FreeSpace;
    // A program that knows only version 1 would read a V as straight and a sleeve as bare wire:
    // such a design is version 2, which it refuses.
    const bool beyondFirst = in.hang.shape == check::HangShape::InvertedV || insulationGiven(in);
    QJsonObject object{
        {"format", kFormat},
        {"version", beyondFirst ? kDesignFileVersion : kStraightVersion},
        {"frequency_mhz", in.frequencyMHz},
        {"length_a_m", in.lengthM},
        {"distance_b_m", in.distanceM},
        {"wire_swg", in.wireSwg},
        {"former_mm", in.formerMm},
        {"coil_length_mm", in.coilLengthMm},
        {"coil_wire_swg", in.coilWireSwg},
        {"pitch_mm", optionalNumber(in.pitchMm)},
        {"coil_q", optionalNumber(in.coilQ)},
        {"ground", check::groundName(in.ground.kind)},
        {"height_m", overGround ? QJsonValue(in.ground.height) : QJsonValue()},
        {"insulation_thickness_mm",
         insulationGiven(in) ? QJsonValue(in.insulationThicknessMm) : QJsonValue()},
        {"insulation_permittivity",
         insulationGiven(in) ? QJsonValue(in.insulationPermittivity) : QJsonValue()},
    };
    if (in.hang.shape == check::HangShape::InvertedV) {
        object.insert("shape", "inverted-v");
        object.insert("leg_angle_deg",
                      in.hang.endsHeight ? QJsonValue() : QJsonValue(in.hang.legAngle));
        object.insert("ends_height_m", optionalNumber(in.hang.endsHeight));
    }
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

std::variant<CheckInputs, QString> readDesignFile(const QByteArray& content) {
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(content, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        return QStringLiteral("This is not a design file: it is not a JSON object (%1).")
            .arg(parseError.error != QJsonParseError::NoError ? parseError.errorString()
                                                              : QStringLiteral("no object"));
    }
    const QJsonObject object = document.object();
    if (object.value("format").toString() != QLatin1String(kFormat)) {
        return QStringLiteral("This is not a design file: it does not say \"format\": \"%1\".")
            .arg(QLatin1String(kFormat));
    }
    const QJsonValue version = object.value("version");
    if (!version.isDouble() || version.toDouble() < 1 ||
        version.toDouble() != static_cast<int>(version.toDouble())) {
        return QStringLiteral("The design file has no valid \"version\".");
    }
    if (version.toInt() > kDesignFileVersion) {
        return QStringLiteral("The design file is of version %1, made by a newer program; this "
                              "one reads up to version %2. Open it with a newer Brevan Check.")
            .arg(version.toInt())
            .arg(kDesignFileVersion);
    }

    std::map<std::string, std::string> given;
    for (const Field& field : kFields) {
        const QJsonValue value = object.value(QLatin1String(field.key));
        if (value.isNull() || value.isUndefined()) {
            if (field.required) {
                return QStringLiteral("The design file has no \"%1\".")
                    .arg(QLatin1String(field.key));
            }
            continue;
        }
        if (!value.isDouble()) {
            return QStringLiteral("The design file's \"%1\" is not a number.")
                .arg(QLatin1String(field.key));
        }
        given[field.option] = exactText(value.toDouble());
    }
    const QString ground = object.value("ground").toString();
    if (ground.isEmpty()) {
        return QStringLiteral("The design file has no \"ground\".");
    }
    if (ground == QLatin1String("free space")) {
        if (given.count("height")) {
            return QStringLiteral("The design file gives a \"height_m\" in free space.");
        }
    } else {
        given["ground"] = ground.toStdString();
    }
    const QJsonValue shape = object.value("shape");
    if (!shape.isUndefined() && !shape.isNull()) {
        if (!shape.isString()) {
            return QStringLiteral("The design file's \"shape\" is not a text.");
        }
        given["shape"] = shape.toString().toStdString();
    }

    const auto read = check::readCheckInputs(given);
    if (const auto* error = std::get_if<check::UsageError>(&read)) {
        return QStringLiteral("The design file cannot be used: %1.")
            .arg(inFileWords(error->message));
    }
    return std::get<CheckInputs>(read);
}

} // namespace brevan::checkapp
