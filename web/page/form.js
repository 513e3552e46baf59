// SPDX-License-Identifier: GPL-3.0-or-later
// The design form: its fields read as the command line's option texts, the rows in use following
// the pickers, a design filled in from a link or a file, and the core's refusals beside their
// fields.
import { $ } from "./dom.js";
import { state } from "./state.js";

const GAUGES = [10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30];
// The coax the open sweep was measured through: shown and read only while a sweep is open.
const FEED_LINE = ["feedline-length", "feedline-vf", "feedline-loss"];
// The coil as the builder made it: the turns wound and their length, or the coil as measured.
const BUILT_COIL = ["turns", "winding-length", "coil-inductance", "coil-self-resonance"];
// Picked by name from a list: the other rod's or insulation's permittivity is typed.
const PICKED = ["insulation", "former-material"];
const NUMBER_FIELDS = ["frequency", "length", "distance", "former", "coil-length", "pitch",
  "coil-q", "former-material", ...BUILT_COIL, "height", "leg-angle", "ends-height",
  "insulation-thickness", "insulation", "power", ...FEED_LINE];
const REFUSABLE = [...NUMBER_FIELDS, "wire", "coil-wire", "shape", "mode", "units"];
const TYPICAL = { frequency: "7.05", length: "15", distance: "3", wire: "16", former: "50",
  "coil-length": "40", "coil-wire": "20" };

// The user's decimal separator, read as a full stop as the window reads it.
// The browser's own number locale, which follows the visitor's settings (and, in a test, an
// emulated locale) where navigator.language names only the language of its menus.
export const DECIMAL_POINT = new Intl.NumberFormat().formatToParts(1.5)
  .find((part) => part.type === "decimal")?.value || ".";

// The fields as the command line's option texts; fields that are not in use are not given.
export function fields() {
  const out = {};
  const rowShown = (id) => !document.querySelector(`[data-row="${id}"]`).hidden;
  for (const id of NUMBER_FIELDS) {
    if (!PICKED.includes(id) && rowShown(id)) {
      out[id] = $(id).value;
    }
  }
  out.wire = $("wire").value;
  out["coil-wire"] = $("coil-wire").value;
  if ($("ground").value) {
    out.ground = $("ground").value;
  }
  if ($("shape").value) {
    out.shape = "inverted-v";
  }
  const insulation = $("insulation-kind").value;
  if (insulation === "pvc" || insulation === "pe") {
    out.insulation = insulation;
  } else if (insulation === "other") {
    out.insulation = $("insulation").value;
  }
  const former = $("former-kind").value;
  if (former === "other") {
    out["former-material"] = $("former-material").value;
  } else if (former) {
    out["former-material"] = former;
  }
  if ($("mode").value) {
    out.mode = $("mode").value;
  }
  if ($("units").value) {
    out.units = $("units").value;
  }
  return out;
}

function showRow(id, shown) {
  document.querySelector(`[data-row="${id}"]`).hidden = !shown;
}

// Which rows are in use follows the pickers, as the window enables its fields.
export function followPickers() {
  const overGround = $("ground").value !== "";
  showRow("height", overGround);
  if (overGround && $("height").value === "") {
    $("height").value = "10";
  }
  const shape = $("shape").value;
  showRow("leg-angle", shape === "leg-angle");
  showRow("ends-height", shape === "ends-height");
  if (shape === "leg-angle" && $("leg-angle").value === "") {
    $("leg-angle").value = "120";
  }
  const insulation = $("insulation-kind").value;
  showRow("insulation-thickness", insulation !== "");
  showRow("insulation", insulation === "other");
  showRow("former-material", $("former-kind").value === "other");
  for (const id of FEED_LINE) {
    showRow(id, state.sweep !== null);
  }
}

export function showRefusals(refusals) {
  for (const id of REFUSABLE) {
    const message = $(`${id}-message`);
    const text = refusals[id];
    message.hidden = text === undefined;
    message.textContent = text || "";
    $(id).setAttribute("aria-invalid", text === undefined ? "false" : "true");
  }
  const other = $("other-message");
  other.hidden = refusals[""] === undefined;
  other.textContent = refusals[""] || "";
}

// The units the visitor last chose, kept by the browser between visits (where it keeps
// anything: a private window may refuse).
const UNITS_KEY = "brevan-check-units";

export function restoreUnits() {
  try {
    $("units").value = localStorage.getItem(UNITS_KEY) === "imperial" ? "imperial" : "";
  } catch {
    // nothing kept: metres
  }
}

export function rememberUnits() {
  try {
    localStorage.setItem(UNITS_KEY, $("units").value);
  } catch {
    // the choice lasts for this visit only
  }
}

// A design from the address: each option into its field, the pickers set from theirs.
export function fillFromQuery(query) {
  const given = Object.fromEntries(query.entries());
  fillDesign(Object.keys(given).length > 0 ? given : TYPICAL);
}

// A design given in the command's option texts, as a link or a design file holds it.
export function fillDesign(design) {
  for (const id of ["frequency", "length", "distance", "former", "coil-length", "pitch", "coil-q",
    ...BUILT_COIL, "height", "leg-angle", "ends-height", "insulation-thickness", "power",
    ...FEED_LINE]) {
    $(id).value = design[id] || "";
  }
  const modes = [...$("mode").options].map((o) => o.value);
  $("mode").value = modes.includes(design.mode) ? design.mode : "";
  // A gauge as the command writes it: SWG as a number, "AWG 12", "1.63mm".
  for (const id of ["wire", "coil-wire"]) {
    if (design[id] !== undefined) {
      $(id).value = design[id];
    }
  }
  // The units are the visitor's, not the design's: a link may name them, a design file does not.
  if (design.units !== undefined) {
    $("units").value = design.units === "imperial" ? "imperial" : "";
  }
  fillGround(design.ground);
  $("shape").value = design.shape === "inverted-v"
    ? (design["ends-height"] !== undefined ? "ends-height" : "leg-angle") : "";
  fillInsulation(design.insulation);
  fillFormer(design["former-material"]);
}

// A ground the picker does not list is added to it, so that the design keeps it.
function fillGround(ground) {
  $("ground").value = ground && ground !== "free space" ? ground : "";
  if ($("ground").value === "" && ground && ground !== "free space") {
    $("ground").add(new Option(ground, ground));
    $("ground").value = ground;
  }
}

function fillInsulation(material) {
  if (material === undefined) {
    $("insulation-kind").value = "";
  } else if (material === "pvc" || material === "pe") {
    $("insulation-kind").value = material;
  } else {
    $("insulation-kind").value = "other";
    $("insulation").value = material;
  }
}

function fillFormer(former) {
  const presets = [...$("former-kind").options].map((o) => o.value).filter((v) => v && v !== "other");
  if (former === undefined || former === "tube") {
    $("former-kind").value = "";
    $("former-material").value = "";
  } else if (presets.includes(former)) {
    $("former-kind").value = former;
    $("former-material").value = "";
  } else {
    $("former-kind").value = "other";
    $("former-material").value = former;
  }
}

// The fields' labels and units as the core's table of inputs has them. The page's own text is
// the same, for a reader before the core has loaded.
const PICKER_IDS = { "former-material": "former-kind", insulation: "insulation-kind" };

export function fillLabels(fields) {
  for (const field of fields) {
    const label = document.querySelector(`label[for="${field.option}"]`);
    if (label) {
      label.textContent = field.label;
    }
    if (field.picker) {
      document.querySelector(`label[for="${PICKER_IDS[field.option]}"]`).textContent = field.picker;
    }
    const unit = document.querySelector(`[data-row="${field.option}"] .unit`);
    if (unit) {
      unit.textContent = field.unit;
    }
  }
}

// The table's gauges offered to pick; any other wire is typed.
export function fillPickers() {
  for (const swg of GAUGES) {
    $("gauges").append(new Option(String(swg), String(swg)));
  }
}

// The core's bands into their picker; picking one fills the frequency with its centre.
export function fillBands(bands) {
  state.bands = bands;
  bands.forEach((band, index) => $("band").add(new Option(band.label, String(index))));
}

export function bandPicked() {
  const band = state.bands[Number($("band").value)];
  if (band) {
    $("frequency").value = band.centre.replace(".", DECIMAL_POINT);
  }
}
