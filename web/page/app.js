// SPDX-License-Identifier: GPL-3.0-or-later
// The page: it holds the typed texts and shows what the core answers. No figure or sentence is
// made here; the core (web/core, the same C++ as the desktop check) makes them all.
//
//   keystroke --design worker--> refusals, design, coil, cut list (every keystroke)
//   typing pauses --check worker (ended and replaced on the next change)--> the full check
//   a design file or an analyser's sweep, picked or dropped --> read here as text and handed
//     to the core, which reads it with the window's own readers; nothing is sent anywhere

const PAUSE_MS = 300; // as the check window: long enough to span the gap between keystrokes
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
const REFUSABLE = [...NUMBER_FIELDS, "wire", "coil-wire", "shape", "mode"];
const TYPICAL = { frequency: "7.05", length: "15", distance: "3", wire: "16", former: "50",
  "coil-length": "40", "coil-wire": "20" };

const $ = (id) => document.getElementById(id);
const root = document.documentElement;

// The user's decimal separator, read as a full stop as the window reads it.
// The browser's own number locale, which follows the visitor's settings (and, in a test, an
// emulated locale) where navigator.language names only the language of its menus.
const DECIMAL_POINT = new Intl.NumberFormat().formatToParts(1.5)
  .find((part) => part.type === "decimal")?.value || ".";

let bands = [];
let designSeq = 0;
let shownSeq = 0;
let checkSeq = 0;
let checkWorker = null;
let pauseTimer = null;
let lastRequest = null;
let cancelled = 0;
let sweep = null; // the analyser's sweep open on the page: {file, text}
let callSeq = 0;
const pending = new Map();

// Files larger than this are refused in words: the largest analyser sweeps are a few megabytes.
const MOST_FILE_BYTES = 16 * 1024 * 1024;

let designWorker = startDesignWorker();

function setCheckState(state) {
  root.dataset.check = state;
}

// The fields as the command line's option texts; fields that are not in use are not given.
function fields() {
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
  return out;
}

function showRow(id, shown) {
  document.querySelector(`[data-row="${id}"]`).hidden = !shown;
}

// Which rows are in use follows the pickers, as the window enables its fields.
function followPickers() {
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
    showRow(id, sweep !== null);
  }
}

function edited() {
  followPickers();
  const request = { fields: fields(), decimalPoint: DECIMAL_POINT, sweep };
  if (lastRequest && JSON.stringify(request) === JSON.stringify(lastRequest)) {
    return; // nothing the core reads has changed: the check carries on
  }
  cancelCheck();
  clearTimeout(pauseTimer);
  setCheckState("running");
  lastRequest = request;
  designWorker.postMessage({ type: "design", id: ++designSeq, request: lastRequest });
}

function cancelCheck() {
  if (checkWorker) {
    checkWorker.terminate();
    checkWorker = null;
    cancelled += 1;
    root.dataset.checksCancelled = String(cancelled);
  }
  $("check-progress").hidden = true;
}

function startCheck(request) {
  cancelCheck();
  const id = ++checkSeq;
  checkWorker = new Worker("worker.js", { type: "module" });
  const worker = checkWorker;
  $("check-progress").hidden = false;
  worker.addEventListener("message", (event) => {
    const message = event.data;
    if (worker !== checkWorker || message.id !== id) {
      return;
    }
    if (message.type === "progress") {
      $("engine-status").textContent = message.text;
    } else if (message.type === "check") {
      checkWorker = null;
      worker.terminate();
      $("check-progress").hidden = true;
      checkFinished(message.response);
    }
  });
  worker.addEventListener("error", (event) => {
    if (worker !== checkWorker) {
      return;
    }
    event.preventDefault();
    checkWorker = null;
    worker.terminate();
    $("check-progress").hidden = true;
    $("engine-status").textContent = "The full-wave check did not finish: the page's worker stopped.";
    setCheckState("failed");
  });
  worker.postMessage({ type: "check", id, request });
}

function checkFinished(response) {
  if (response.crashed !== undefined) {
    $("engine-status").textContent = "The full-wave check did not finish: " + response.crashed;
    setCheckState("failed");
    return;
  }
  if (response.report) {
    showReport(response.report);
  }
  $("engine-status").textContent = response.status || "";
  setCheckState(response.checked ? "done" : "failed");
}

function designAnswered(id, response) {
  if (id !== designSeq || id <= shownSeq) {
    return; // a later keystroke has been sent: its answer is the one to show
  }
  shownSeq = id;
  showRefusals(response.refusals || {});
  $("band").value = response.band >= 0 ? String(response.band) : "";
  const refusal = $("design-refusal");
  refusal.hidden = !response.designRefusal;
  refusal.textContent = response.designRefusal || "";
  $("run-study").disabled = !response.accepted;
  followStudy(response.study);
  if (!response.accepted) {
    $("engine-status").textContent = shownReport ? response.status : "";
    setCheckState("failed");
    return;
  }
  if (response.sweepError) {
    fileMessage(response.sweepError);
  }
  showReport(response.report);
  updateShareLink(response.options);
  $("engine-status").textContent = response.status;
  const request = lastRequest;
  pauseTimer = setTimeout(() => {
    updateAddress();
    startCheck(request);
  }, PAUSE_MS);
}

function showRefusals(refusals) {
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

let shownReport = null;
let shownDrawing = null;

function rowsInto(table, rows) {
  const body = table.tBodies[0];
  body.replaceChildren(...rows.map((row) => {
    const tr = document.createElement("tr");
    const th = document.createElement("th");
    th.scope = "row";
    th.textContent = row.label;
    tr.append(th);
    for (const cell of row.cells || [row.value]) {
      const td = document.createElement("td");
      td.textContent = cell;
      tr.append(td);
    }
    return tr;
  }));
}

function paragraphs(element, sentences) {
  element.replaceChildren(...sentences.map((sentence) => {
    const p = document.createElement("p");
    p.textContent = sentence;
    return p;
  }));
}

function svgElement(text) {
  const parsed = new DOMParser().parseFromString(text, "image/svg+xml");
  const svg = parsed.documentElement;
  if (svg.nodeName !== "svg") {
    return null;
  }
  return document.importNode(svg, true);
}

let plotUrl = null;
let deckUrl = null;
let jsonUrl = null;

function download(link, url, text, type) {
  if (url) {
    URL.revokeObjectURL(url);
  }
  if (text === undefined) {
    link.hidden = true;
    link.removeAttribute("href");
    return null;
  }
  const made = URL.createObjectURL(new Blob([text], { type }));
  link.href = made;
  link.hidden = false;
  return made;
}

function showReport(report) {
  shownReport = report;
  paragraphs($("verdict"), report.verdict);
  const warnings = report.warnings || [];
  $("warnings").hidden = warnings.length === 0;
  $("warning-list").replaceChildren(...warnings.map((w) => {
    const li = document.createElement("li");
    li.textContent = w;
    return li;
  }));
  rowsInto($("antenna-table"), report.antennas);
  rowsInto($("design-table"), report.design);
  rowsInto($("cut-table"), report.cutList);
  $("trim").textContent = report.trim || "";
  $("needed-coil").textContent = report.neededCoil || "";
  const items = (element, lines) => element.replaceChildren(...(lines || []).map((line) => {
    const li = document.createElement("li");
    li.textContent = line;
    return li;
  }));
  items($("notes"), report.notes);
  items($("coil-notes"), report.coilNotes);
  showTolerances(report.tolerances);
  showPower(report.power);
  paragraphs($("sheet-verdict"), report.sheetVerdict || []);
  // Most keystrokes leave the drawing as it was: it is parsed again only when it changes.
  if (report.drawing !== shownDrawing) {
    shownDrawing = report.drawing;
    const drawing = svgElement(report.drawing);
    $("drawing").replaceChildren(...(drawing ? [drawing] : []));
  }
  showPlot(report);
  plotUrl = download($("save-svg"), plotUrl, report.plotSvg, "image/svg+xml");
  deckUrl = download($("save-deck"), deckUrl, report.deck, "text/plain");
  jsonUrl = download($("save-json"), jsonUrl, report.json, "application/json");
  const measured = report.measuredNotes || [];
  $("measured").hidden = measured.length === 0;
  paragraphs($("measured-notes"), measured);
  $("report-text").textContent = report.text || "";
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
  $("power-notes").replaceChildren(...(power ? power.notes : []).map((line) => {
    const li = document.createElement("li");
    li.textContent = line;
    return li;
  }));
}

// The plot is the core's own SVG; the read-out under the pointer shows, for each curve, the
// core's words for its point nearest the pointer's frequency.
function showPlot(report) {
  const figure = $("swr-plot");
  $("plot-readout").textContent = "";
  if (!report.plotSvg) {
    figure.replaceChildren();
    figure.hidden = true;
    return;
  }
  figure.hidden = false;
  const svg = svgElement(report.plotSvg);
  figure.replaceChildren(svg);
  const first = svg.querySelector("polyline");
  const curves = report.plotCurves || [];
  if (!first || curves.length === 0 || curves[0].points.length < 2) {
    return;
  }
  // The first curve's first and last points are its first and last vertices: they fix the
  // frequency scale of the picture.
  const vertices = first.getAttribute("points").trim().split(/\s+/).map((p) => Number(p.split(",")[0]));
  const points = curves[0].points;
  const x0 = vertices[0];
  const x1 = vertices[vertices.length - 1];
  const f0 = points[0].mhz;
  const f1 = points[points.length - 1].mhz;
  const cursor = document.createElementNS("http://www.w3.org/2000/svg", "line");
  cursor.setAttribute("class", "cursor");
  cursor.setAttribute("y1", "50");
  cursor.setAttribute("y2", "440");
  cursor.setAttribute("visibility", "hidden");
  svg.append(cursor);
  const readAt = (x) => {
    const mhz = f0 + (x - x0) / (x1 - x0) * (f1 - f0);
    const texts = curves.map((curve) => {
      let best = curve.points[0];
      for (const point of curve.points) {
        if (Math.abs(point.mhz - mhz) < Math.abs(best.mhz - mhz)) {
          best = point;
        }
      }
      return best.text;
    });
    cursor.setAttribute("x1", String(x));
    cursor.setAttribute("x2", String(x));
    cursor.setAttribute("visibility", "visible");
    $("plot-readout").textContent = texts.join("; ");
  };
  const fromEvent = (event) => {
    const box = svg.getBoundingClientRect();
    const view = svg.viewBox.baseVal;
    const x = view.x + (event.clientX - box.left) / box.width * view.width;
    return Math.min(Math.max(x, Math.min(x0, x1)), Math.max(x0, x1));
  };
  svg.addEventListener("pointermove", (event) => readAt(fromEvent(event)));
  svg.addEventListener("pointerdown", (event) => readAt(fromEvent(event)));
  // From the keyboard: the arrows step the read-out along the curve.
  let keyX = (x0 + x1) / 2;
  figure.onkeydown = (event) => {
    if (event.key !== "ArrowLeft" && event.key !== "ArrowRight") {
      return;
    }
    event.preventDefault();
    keyX += (event.key === "ArrowRight" ? 1 : -1) * (x1 - x0) / 100;
    keyX = Math.min(Math.max(keyX, x0), x1);
    readAt(keyX);
  };
}

// The coil-position study, as the check window's study panel has it: run on request in a worker
// of its own, its picture, sentences and words from the core. A position picked with a click,
// or with the arrow keys and Enter, becomes the design's B as if typed; any other change of the
// design puts the study away (and ends one that is running).
const STUDY_INVITE = "Where should the coils go? The study takes a few seconds.";
const STUDY_CHANGED = "The design has changed: run the study again.";
const NEAREST = 15; // in the picture's units: a click this close to a position takes it
let studyWorker = null;
let studyRunKey = null; // the design the running study is of
let study = null; // the study shown: the core's answer
let studyChosen = null;
let designStudy = null; // the design on screen, as a study holds for it (the core's key)

function stopStudy() {
  if (studyWorker) {
    studyWorker.terminate();
    studyWorker = null;
  }
  $("study-progress").hidden = true;
}

function clearStudy(status) {
  study = null;
  studyChosen = null;
  $("study-plot").replaceChildren();
  $("study-plot").hidden = true;
  $("study-choice").textContent = "";
  $("study-sentences").replaceChildren();
  $("study-status").textContent = status;
}

const sameKey = (a, b) => JSON.stringify(a) === JSON.stringify(b);

// Every design answer: the study stays while only B changes, and says so.
function followStudy(now) {
  designStudy = now || null;
  if (studyWorker && !(now && sameKey(now.key, studyRunKey))) {
    stopStudy();
    clearStudy(STUDY_CHANGED);
  }
  if (!study) {
    return;
  }
  if (!now || !sameKey(now.key, study.key)) {
    clearStudy(STUDY_CHANGED);
  } else if (now.distance !== study.distance) {
    $("study-status").textContent = `Studied with B = ${study.distance} m; B is now ${now.distance} m.`;
  } else {
    $("study-status").textContent = study.status;
  }
}

function runStudy() {
  if (!designStudy) {
    return;
  }
  stopStudy();
  const worker = new Worker("worker.js", { type: "module" });
  studyWorker = worker;
  studyRunKey = designStudy.key;
  $("study-progress").hidden = false;
  $("study-status").textContent = "Studying: starting…";
  worker.addEventListener("message", (event) => {
    const message = event.data;
    if (worker !== studyWorker) {
      return;
    }
    if (message.type === "progress") {
      $("study-status").textContent = message.text;
    } else if (message.type === "study") {
      stopStudy();
      studyFinished(message.response);
    }
  });
  worker.addEventListener("error", (event) => {
    if (worker !== studyWorker) {
      return;
    }
    event.preventDefault();
    stopStudy();
    clearStudy("The study did not finish: the page's worker stopped.");
  });
  worker.postMessage({ type: "study", id: 1, request: lastRequest });
}

function studyFinished(response) {
  if (response.crashed !== undefined) {
    clearStudy("The study did not finish: " + response.crashed);
    return;
  }
  if (!response.studied) {
    clearStudy(response.status);
    return;
  }
  clearStudy(response.status);
  study = response;
  const figure = $("study-plot");
  const svg = svgElement(response.svg);
  figure.replaceChildren(...(svg ? [svg] : []));
  figure.hidden = !svg;
  paragraphs($("study-sentences"), response.sentences);
  followStudy(designStudy);
  if (!svg) {
    return;
  }
  const [width, top, bottom] = response.frame;
  svg.addEventListener("pointerdown", (event) => {
    const box = svg.getBoundingClientRect();
    const x = (event.clientX - box.left) / box.width * width;
    let nearest = null;
    response.points.forEach((point, index) => {
      if (Math.abs(point.x - x) <= NEAREST &&
          (nearest === null || Math.abs(point.x - x) < Math.abs(response.points[nearest].x - x))) {
        nearest = index;
      }
    });
    if (nearest !== null) {
      chooseStudyPoint(nearest, top, bottom);
      takeStudyPoint();
    }
  });
}

// The picked position framed on the picture, and its figures said.
function chooseStudyPoint(index, top, bottom) {
  studyChosen = index;
  const svg = $("study-plot").querySelector("svg");
  svg.querySelector(".chosen")?.remove();
  const frame = document.createElementNS("http://www.w3.org/2000/svg", "rect");
  frame.setAttribute("class", "chosen");
  frame.setAttribute("x", String(study.points[index].x - 8));
  frame.setAttribute("y", String(top - 4));
  frame.setAttribute("width", "16");
  frame.setAttribute("height", String(bottom - top + 8));
  svg.append(frame);
  $("study-choice").textContent = study.points[index].spoken + ". Press Enter to take this position.";
}

function takeStudyPoint() {
  if (study && studyChosen !== null) {
    $("distance").value = study.points[studyChosen].take.replace(".", DECIMAL_POINT);
    edited();
  }
}

function studyKey(event) {
  if (!study || study.points.length === 0) {
    return;
  }
  const last = study.points.length - 1;
  const at = studyChosen;
  const moves = {
    ArrowLeft: at !== null && at > 0 ? at - 1 : 0,
    ArrowRight: at !== null ? Math.min(at + 1, last) : 0,
    Home: 0,
    End: last,
  };
  if (event.key in moves) {
    event.preventDefault();
    chooseStudyPoint(moves[event.key], study.frame[1], study.frame[2]);
  } else if (event.key === "Enter" || event.key === " ") {
    event.preventDefault();
    takeStudyPoint();
  }
}

// The link carries the design in the command's long option names.
function updateShareLink(options) {
  const query = new URLSearchParams();
  for (const [name, value] of Object.entries(options || {})) {
    query.set(name, value);
  }
  $("share-link").href = "?" + query.toString().replace(/%2C/g, ",");
}

// The address bar follows the link once typing pauses: the browser takes several milliseconds
// over each change of the address, too long to spend on every keystroke.
function updateAddress() {
  const href = $("share-link").getAttribute("href");
  if (href && href !== location.search) {
    history.replaceState(null, "", href);
  }
}

// A design from the address: each option into its field, the pickers set from theirs.
function fillFromQuery(query) {
  const given = Object.fromEntries(query.entries());
  fillDesign(Object.keys(given).length > 0 ? given : TYPICAL);
}

// A design given in the command's option texts, as a link or a design file holds it.
function fillDesign(design) {
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
  $("ground").value = design.ground && design.ground !== "free space" ? design.ground : "";
  if ($("ground").value === "" && design.ground && design.ground !== "free space") {
    $("ground").add(new Option(design.ground, design.ground));
    $("ground").value = design.ground;
  }
  $("shape").value = design.shape === "inverted-v"
    ? (design["ends-height"] !== undefined ? "ends-height" : "leg-angle") : "";
  const material = design.insulation;
  if (material === undefined) {
    $("insulation-kind").value = "";
  } else if (material === "pvc" || material === "pe") {
    $("insulation-kind").value = material;
  } else {
    $("insulation-kind").value = "other";
    $("insulation").value = material;
  }
  const former = design["former-material"];
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

// The table's gauges offered to pick; any other wire is typed.
function fillPickers() {
  for (const swg of GAUGES) {
    $("gauges").append(new Option(String(swg), String(swg)));
  }
}

// The worker that answers keystrokes and files. One that stops (its core failed on what it was
// given) is started again: the page says so, and the last results stay as they were.
function startDesignWorker() {
  const worker = new Worker("worker.js", { type: "module" });
  worker.addEventListener("message", (event) => {
    const message = event.data;
    if (worker !== designWorker) {
      return;
    }
    if (message.type === "bands") {
      bands = message.bands;
      bands.forEach((band, index) => $("band").add(new Option(band.label, String(index))));
      edited();
    } else if (message.type === "design") {
      designAnswered(message.id, message.response);
    } else if (message.type === "call") {
      pending.get(message.id)(message.response);
      pending.delete(message.id);
    } else if (message.type === "crashed") {
      restartDesignWorker(message.error);
    }
  });
  worker.addEventListener("error", (event) => {
    if (worker === designWorker) {
      event.preventDefault();
      restartDesignWorker(event.message);
    }
  });
  return worker;
}

function restartDesignWorker(why) {
  designWorker.terminate();
  designWorker = startDesignWorker();
  const words = "The page's calculator stopped on what was given (" + String(why || "no reason given") +
    ") and has been started again; the results shown are the last ones it gave.";
  // Files waiting for an answer get it in words; the design waits for the next change.
  for (const resolve of pending.values()) {
    resolve({ ok: false, message: words, error: words });
  }
  pending.clear();
  fileMessage(words);
  $("engine-status").textContent = words;
  setCheckState("failed");
  lastRequest = null;
}

// One of the core's file functions, answered by the design worker.
function ask(name, ...args) {
  return new Promise((resolve) => {
    const id = ++callSeq;
    pending.set(id, resolve);
    designWorker.postMessage({ type: "call", id, name, args });
  });
}

function fileMessage(text) {
  $("file-message").hidden = !text;
  $("file-message").textContent = text || "";
}

function showSweep(status) {
  $("sweep-status").hidden = sweep === null;
  $("sweep-status").textContent = sweep === null ? "" : status;
  $("close-sweep").hidden = sweep === null;
}

// A sweep the core refuses leaves everything as it was: the sweep open before and the results.
// A file too large for the page is refused before it is read.
function tooLarge(file) {
  if (file.size <= MOST_FILE_BYTES) {
    return false;
  }
  fileMessage(`The file ${file.name} is ${(file.size / 1048576).toFixed(1)} MB; the page opens ` +
    `files of up to ${MOST_FILE_BYTES / 1048576} MB.`);
  return true;
}

async function openSweep(file) {
  if (tooLarge(file)) {
    return;
  }
  const text = await file.text();
  const request = { file: file.name, text };
  if (sweep) {
    request.kept = sweep.file;
  }
  const response = await ask("brevan_sweep", JSON.stringify(request));
  if (!response.ok) {
    fileMessage(response.message);
    return;
  }
  fileMessage("");
  sweep = { file: file.name, text };
  showSweep(response.status);
  edited();
}

function closeSweep() {
  sweep = null;
  showSweep("");
  edited();
}

// A design file is the whole design: its sweep, if it keeps one, replaces the one open.
async function openDesign(file) {
  if (tooLarge(file)) {
    return;
  }
  const response = await ask("brevan_open_design", file.name, await file.text());
  if (response.error) {
    fileMessage(response.error);
    return;
  }
  fileMessage("");
  fillDesign(response.fields);
  sweep = response.sweep ? { file: response.sweep.file, text: response.sweep.text } : null;
  showSweep(response.sweep ? response.sweep.status : "");
  edited();
}

async function saveDesign() {
  const response = await ask("brevan_save_design", JSON.stringify(lastRequest));
  if (response.error) {
    fileMessage(response.error);
    return;
  }
  fileMessage("");
  const link = document.createElement("a");
  link.href = URL.createObjectURL(new Blob([response.file], { type: "application/json" }));
  link.download = "design.brevan.json";
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 10000);
}

// Told apart by the name, as the window does: a sweep opens beside the design, anything else
// as a design.
function openDropped(file) {
  if (/\.(s1p|csv)$/i.test(file.name)) {
    openSweep(file);
  } else {
    openDesign(file);
  }
}

function hookUpFiles() {
  const picked = (id, open) => $(id).addEventListener("change", (event) => {
    const file = event.target.files[0];
    event.target.value = ""; // the same file may be picked again after it is changed
    if (file) {
      open(file);
    }
  });
  picked("open-design", openDesign);
  picked("open-sweep", openSweep);
  $("save-design").addEventListener("click", saveDesign);
  $("close-sweep").addEventListener("click", closeSweep);
  document.addEventListener("dragover", (event) => {
    event.preventDefault();
    document.body.classList.add("page-drop");
  });
  document.addEventListener("dragleave", () => document.body.classList.remove("page-drop"));
  document.addEventListener("drop", (event) => {
    event.preventDefault();
    document.body.classList.remove("page-drop");
    const file = event.dataTransfer.files[0];
    if (file) {
      openDropped(file);
    }
  });
}

function start() {
  fillPickers();
  fillFromQuery(new URLSearchParams(location.search));
  const form = $("design-form");
  // A picker may say it changed without an input event; a repeat of the same texts is ignored.
  const changed = (event) => {
    if (event.target.type === "file") {
      return; // a picked file is read by its own handler
    }
    if (event.target.id === "band") {
      const band = bands[Number(event.target.value)];
      if (band) {
        $("frequency").value = band.centre.replace(".", DECIMAL_POINT);
      }
    }
    edited();
  };
  form.addEventListener("input", changed);
  form.addEventListener("change", changed);
  form.addEventListener("submit", (event) => event.preventDefault());
  hookUpFiles();
  $("run-study").addEventListener("click", runStudy);
  $("study-plot").addEventListener("keydown", studyKey);
  clearStudy(STUDY_INVITE);
  designWorker.postMessage({ type: "bands" });
}

start();

// Offline once visited: the service worker (sw.js) keeps every file of the page. Where the
// browser refuses one (a file: address, a private window) the page works as before, online.
if ("serviceWorker" in navigator) {
  navigator.serviceWorker.register("sw.js").catch(() => {});
}
