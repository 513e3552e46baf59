// SPDX-License-Identifier: GPL-3.0-or-later
#include "field_words.h"
#include "form_reading.h"

#include <gtest/gtest.h>

using brevan::faces::optionText;
using brevan::faces::readForm;
using brevan::faces::refusedOption;

struct TextRow {
    const char* typed;
    char decimalPoint;
    const char* option;
};

class OptionText : public ::testing::TestWithParam<TextRow> {};

TEST_P(OptionText, TakesTheUsersSeparatorAndTheFullStop) {
    EXPECT_EQ(optionText(GetParam().typed, GetParam().decimalPoint), GetParam().option);
}

INSTANTIATE_TEST_SUITE_P(Rows, OptionText,
                         ::testing::Values(TextRow{"7,05", ',', "7.05"},
                                           TextRow{"7.05", ',', "7.05"},
                                           TextRow{"7.05", '.', "7.05"},
                                           TextRow{"7,05", '.', "7,05"}, // refused by the command
                                           TextRow{"  15 ", '.', "15"}, TextRow{"   ", '.', ""},
                                           TextRow{"1e1", ',', "1e1"}));

TEST(RefusedOption, IsTheOptionTheMessageStartsWith) {
    EXPECT_EQ(refusedOption("--coil-length: 'x' is not a number; give ..."), "coil-length");
    EXPECT_EQ(refusedOption("--frequency is missing; give ..."), "frequency");
    EXPECT_EQ(refusedOption("Step 1 gives ..."), "");
}

std::map<std::string, std::string> typical() {
    return {{"frequency", "7.05"}, {"length", "15"},      {"distance", "3"},  {"wire", "16"},
            {"former", "50"},      {"coil-length", "40"}, {"coil-wire", "20"}};
}

struct FormRow {
    const char* name;
    std::map<std::string, std::string> changes; // empty value: the field is left empty
    std::vector<std::string> refused;
    const char* firstWords; // of the first refused option's message
};

class ReadForm : public ::testing::TestWithParam<FormRow> {};

TEST_P(ReadForm, NamesEveryRefusedFieldInTheCommandsWords) {
    auto given = typical();
    for (const auto& [option, value] : GetParam().changes) {
        if (value.empty()) {
            given.erase(option);
        } else {
            given[option] = value;
        }
    }
    const auto reading = readForm(given);
    std::vector<std::string> refused;
    for (const auto& [option, message] : reading.refusals) {
        refused.push_back(option);
    }
    EXPECT_EQ(refused, GetParam().refused);
    EXPECT_EQ(reading.inputs.has_value(), GetParam().refused.empty());
    if (!refused.empty()) {
        EXPECT_EQ(reading.refusals.at(refused.front()).rfind(GetParam().firstWords, 0), 0u)
            << reading.refusals.at(refused.front());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReadForm,
    ::testing::Values(
        FormRow{"Accepted", {}, {}, ""},
        FormRow{"OneNotANumber", {{"length", "abc"}}, {"length"}, "--length: 'abc' is not a"},
        FormRow{"TwoAtOnce",
                {{"length", "0"}, {"former", "x"}},
                {"former", "length"},
                "--former: 'x' is not a number"},
        FormRow{"Missing", {{"frequency", ""}}, {"frequency"}, "--frequency is missing"},
        FormRow{"PitchBelowTheWire", {{"pitch", "0.1"}}, {"pitch"}, "--pitch: '0.1' is out"},
        FormRow{"GroundWithoutHeight", {{"ground", "good"}}, {"height"}, "--ground needs"},
        FormRow{"HeightTooLow",
                {{"ground", "poor"}, {"height", "0.01"}},
                {"height"},
                "--height: '0.01' is out of range"},
        // The inverted V: its measure's own message beside its field, and nothing about the
        // shape, which reads as straight without it.
        FormRow{"VAngleOutOfRange",
                {{"shape", "inverted-v"}, {"leg-angle", "40"}},
                {"leg-angle"},
                "--leg-angle: '40' is out of range"},
        FormRow{"VEndsInFreeSpace",
                {{"shape", "inverted-v"}, {"ends-height", "6"}},
                {"ends-height"},
                "--ends-height needs --height"},
        FormRow{"VEndsAboveApexAndLength",
                {{"shape", "inverted-v"},
                 {"ground", "good"},
                 {"height", "8"},
                 {"ends-height", "9"},
                 {"length", "x"}},
                {"ends-height", "length"},
                "--ends-height: '9' is not below the apex"},
        FormRow{"VWithoutItsMeasure",
                {{"shape", "inverted-v"}},
                {"shape"},
                "--shape inverted-v needs --leg-angle"},
        FormRow{"VAccepted", {{"shape", "inverted-v"}, {"leg-angle", "120"}}, {}, ""},
        // The material is a choice in the window: the thickness field gets the message.
        FormRow{"InsulationWithoutThickness",
                {{"insulation", "pvc"}},
                {"insulation-thickness"},
                "--insulation needs --insulation-thickness"},
        FormRow{
            "InsulationAccepted", {{"insulation", "pe"}, {"insulation-thickness", "1"}}, {}, ""},
        FormRow{"PermittivityBelowOne",
                {{"insulation", "0.9"}, {"insulation-thickness", "1"}},
                {"insulation"},
                "--insulation: '0.9' is out of range"}),
    [](const auto& row) { return std::string(row.param.name); });

// The core's messages in the form's words: each option named becomes its field, the longest
// name first, and the decimal point the visitor's form takes.
TEST(FieldWords, NameTheFormsFieldsAndItsDecimalPoint) {
    using brevan::faces::inFieldWords;
    struct Row {
        const char* message;
        char decimalPoint;
        const char* words;
    };
    const Row rows[] = {
        {"--frequency: 'abc' is not a number; give the design frequency in MHz, with a full "
         "stop as the decimal point",
         '.',
         "Frequency F: 'abc' is not a number; give the design frequency in MHz, with a full "
         "stop as the decimal point"},
        {"--length: 'x' is not a number; with a full stop as the decimal point", ',',
         "Total length A: 'x' is not a number; with a full stop or ',' as the decimal point"},
        {"--insulation-thickness needs --insulation (see --help)", '.',
         "Insulation thickness needs Wire insulation"},
        {"Give --feedline-length and --feedline-vf (and --feedline-loss) of the coax", '.',
         "Give Sweep's feed line and Velocity factor (and Line loss) of the coax"},
        {"--measured: unknown --thing stays", '.', "--measured: unknown --thing stays"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(inFieldWords(row.message, row.decimalPoint), row.words) << row.message;
    }
    // Every field the form has is named once.
    for (const auto& field : brevan::faces::formFields()) {
        EXPECT_EQ(inFieldWords(std::string("--") + field.option, '.'), field.label);
    }
}
