// SPDX-License-Identifier: GPL-3.0-or-later
// The core's report laid out: verdict, warnings, tables, notes, drawing, plot and the files it
// offers to save. No figure or sentence is made here; the core words them all.
import { $, listItems, paragraphs, rowsInto, svgElement } from "./dom.js";
import { showPlot } from "./plot.js";
import { state } from "./state.js";

export function showReport(report) {
  state.shownReport = report;
  paragraphs($("verdict"), report.verdict);
  const warnings = report.warnings || [];
  $("warnings").hidden = warnings.length === 0;
  listItems($("warning-list"), warnings);
  rowsInto($("antenna-table"), report.antennas);
  rowsInto($("design-table"), report.design);
  rowsInto($("cut-table"), report.cutList);
  $("trim").textContent = report.trim || "";
  $("needed-coil").textContent = report.neededCoil || "";
  listItems($("notes"), report.notes || []);
  listItems($("coil-notes"), report.coilNotes || []);
  showTolerances(report.tolerances);
  showPower(report.power);
  paragraphs($("sheet-verdict"), report.sheetVerdict || []);
  showDrawing(report.drawing);
  showPlot(report);
  offer("save-svg", report.plotSvg, "image/svg+xml");
  offer("save-deck", report.deck, "text/plain");
  offer("save-json", report.json, "application/json");
  const measured = report.measuredNotes || [];
  $("measured").hidden = measured.length === 0;
  paragraphs($("measured-notes"), measured);
  $("report-text").textContent = report.text || "";
}

// Most keystrokes leave the drawing as it was: it is parsed again only when it changes.
function showDrawing(text) {
  if (text === state.shownDrawing) {
    return;
  }
  state.shownDrawing = text;
  const drawing = svgElement(text);
  $("drawing").replaceChildren(...(drawing ? [drawing] : []));
}

// A save link for the text, or hidden where the report has none; its last text is let go.
function offer(id, text, type) {
  const link = $(id);
  if (state.downloads[id]) {
    URL.revokeObjectURL(state.downloads[id]);
  }
  if (text === undefined) {
    link.hidden = true;
    link.removeAttribute("href");
    state.downloads[id] = null;
    return;
  }
  state.downloads[id] = URL.createObjectURL(new Blob([text], { type }));
  link.href = state.downloads[id];
  link.hidden = false;
}

// How exactly to build it: hidden until the full-wave check has found the table.
function showTolerances(tolerances) {
  $("tolerances").hidden = !tolerances;
  rowsInto($("tolerance-table"), tolerances ? tolerances.rows : []);
  $("tolerance-basis").textContent = tolerances ? tolerances.basis : "";
  $("tolerance-sentence").textContent = tolerances ? tolerances.sentence : "";
}

// What the coils and the tips hold at the power: hidden until the full-wave check has run.
function showPower(power) {
  $("power-figures").hidden = !power;
  $("power-title").textContent = power ? power.title : "";
  rowsInto($("power-table"), power ? power.rows : []);
  listItems($("power-notes"), power ? power.notes : []);
}
