// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Every sentence the report says about a design, in one place so they can be read and reviewed
// together: pure functions from the record to words. The record holds numbers and outcomes;
// the text and JSON writers print what these return.
//
//   CheckReport --verdictSentences--> "What it means"
//   CheckReport --warningSentences--> "Warnings"
//   CheckReport, NeededCoil --trimSummary / neededCoilSummary--> the antenna table's short cells

#include "check_report.h"

#include <string>
#include <vector>

namespace brevan::check {

// What it means for the builder, first in the report: the coil as wound, where the antenna as
// built resonates, what to change and what it then does.
std::vector<std::string> verdictSentences(const CheckReport& report);

// The same for a printed sheet: what the coils and tips hold at the power in one line
// (powerSummary) in place of its sentences.
std::vector<std::string> sheetVerdictSentences(const CheckReport& report);

// Advisory, in plain English: the window's range checks, the coil, the antenna and the model.
std::vector<std::string> warningSentences(const CheckReport& report);

// The trim and the coil at the designed length in a few words, for the antenna table; the
// report must have its antenna check.
std::string trimSummary(const CheckReport& report);
std::string neededCoilSummary(const AntennaCheck& check);

// From the measured sweep: what to cut from each tip of the antenna as it hangs and what it then
// measures, or why no cut can be worked out. Empty without --measured. It is also the first
// line of the verdict's measured part.
std::string measuredVerdict(const CheckReport& report);

// The rest of what the sweep says, for the as-measured section: the SWR-only sweep's minimum,
// what the feed line does, a resistance far from the model's, the coils instead of the cut,
// and where the sweep stops short.
std::vector<std::string> measuredNotes(const CheckReport& report);

// What the sweep shows in one sentence, for a face without the text report's rows: the lowest
// SWR and where it falls, the SWR at F and the 2:1 band. Empty without a sweep.
std::string measuredSummary(const CheckReport& report);

// An inverted V as modelled, in one line: the apex, then the angle between the legs, the ends'
// height and the span between them, as built and trimmed. Empty for the straight wire.
std::string hangSentence(const CheckReport& report);

// The cut list of an inverted V: lengths are along the wire. Empty for the straight wire.
std::string alongWireNote(const CheckReport& report);

// Insulated antenna wire: the sleeve, its inductance per metre and how much shorter the antenna
// is cut than bare wire (or why that cannot be said), and why the coil's enamel does not count.
// Empty for bare wire or without the full-wave check.
std::string insulationSentence(const CheckReport& report);

// How much shorter the insulated wire is cut than bare, for a table: "26 cm (13 cm each tip)",
// or why there is no figure. Empty for bare wire.
std::string insulationSummary(const CheckReport& report);

// The sleeve in a few words, "1 mm of PVC (relative permittivity 3.5)", for the inputs.
std::string insulationText(const Insulation& insulation);

// What the coils are wound on, for the inputs: "a tube or air inside the winding", or "a solid
// PTFE rod (relative permittivity 2.1)".
std::string formerText(double permittivity);

// The coils that would do instead, in one sentence, or how near any could come; empty when
// none were worked out.
std::string alternativesSentence(const CheckReport& report);

// Where the coils should go: the positions with the highest efficiency and the widest band,
// and how far the design's own B is from them. Empty without the study.
std::vector<std::string> studySentences(const CheckReport& report);

// Why a position of the study has no coil, in a few words for its table row.
std::string studyOutcomeText(StudyOutcome outcome);

} // namespace brevan::check
