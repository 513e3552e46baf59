// SPDX-License-Identifier: GPL-3.0-or-later
// The coil-position study, as the check window's study panel has it: run on request as a
// full-wave job of its own, its picture, sentences and words from the core. A position picked
// with a click, or with the arrow keys and Enter, becomes the design's B as if typed; any other
// change of the design puts the study away (and ends one that is running).
import { $, paragraphs, svgElement } from "./dom.js";
import { DECIMAL_POINT } from "./form.js";
import { state } from "./state.js";
import { jobRunning, startJob, stopJob } from "./workers.js";

const STUDY_INVITE = "Where should the coils go? The study takes a few seconds.";
const STUDY_CHANGED = "The design has changed: run the study again.";
const NEAREST = 15; // in the picture's units: a click this close to a position takes it

// The study's button and keys; edited() is how a taken position reaches the design.
export function hookUpStudy(edited) {
  $("run-study").addEventListener("click", () => runStudy(edited));
  $("study-plot").addEventListener("keydown", (event) => studyKey(event, edited));
  clearStudy(STUDY_INVITE);
}

function clearStudy(status) {
  state.study.shown = null;
  state.study.chosen = null;
  $("study-plot").replaceChildren();
  $("study-plot").hidden = true;
  $("study-choice").textContent = "";
  $("study-sentences").replaceChildren();
  $("study-status").textContent = status;
}

const sameKey = (a, b) => JSON.stringify(a) === JSON.stringify(b);

// Every design answer: the study stays while only B changes, and says so.
export function followStudy(now) {
  const study = state.study;
  study.design = now || null;
  if (jobRunning("study") && !(now && sameKey(now.key, study.runKey))) {
    stopJob("study");
    clearStudy(STUDY_CHANGED);
  }
  const shown = study.shown;
  if (!shown) {
    return;
  }
  if (!now || !sameKey(now.key, shown.key)) {
    clearStudy(STUDY_CHANGED);
  } else if (now.distance !== shown.distance) {
    $("study-status").textContent = `Studied with B = ${shown.distance} m; B is now ${now.distance} m.`;
  } else {
    $("study-status").textContent = shown.status;
  }
}

function runStudy(edited) {
  if (!state.study.design) {
    return;
  }
  state.study.runKey = state.study.design.key;
  $("study-status").textContent = "Studying: starting…";
  // A study already running is ended by the new one, without a word: this one takes its place.
  startJob("study", state.lastRequest, {
    progress: (text) => {
      $("study-status").textContent = text;
    },
    answer: (response) => studyFinished(response, edited),
    failed: (why) => clearStudy("The study did not finish: " + why),
  });
}

function studyFinished(response, edited) {
  clearStudy(response.status);
  if (!response.studied) {
    return;
  }
  state.study.shown = response;
  const figure = $("study-plot");
  const svg = svgElement(response.svg);
  figure.replaceChildren(...(svg ? [svg] : []));
  figure.hidden = !svg;
  paragraphs($("study-sentences"), response.sentences);
  followStudy(state.study.design);
  if (!svg) {
    return;
  }
  const [width, top, bottom] = response.frame;
  svg.addEventListener("pointerdown", (event) => {
    const box = svg.getBoundingClientRect();
    const index = nearestPosition(response.points, (event.clientX - box.left) / box.width * width);
    if (index !== null) {
      chooseStudyPoint(index, top, bottom);
      takeStudyPoint(edited);
    }
  });
}

// The position within NEAREST of x, the nearest where several are; null where none is.
function nearestPosition(points, x) {
  let nearest = null;
  points.forEach((point, index) => {
    if (Math.abs(point.x - x) <= NEAREST &&
        (nearest === null || Math.abs(point.x - x) < Math.abs(points[nearest].x - x))) {
      nearest = index;
    }
  });
  return nearest;
}

// The picked position framed on the picture, and its figures said.
function chooseStudyPoint(index, top, bottom) {
  const point = state.study.shown.points[index];
  state.study.chosen = index;
  const svg = $("study-plot").querySelector("svg");
  svg.querySelector(".chosen")?.remove();
  const frame = document.createElementNS("http://www.w3.org/2000/svg", "rect");
  frame.setAttribute("class", "chosen");
  frame.setAttribute("x", String(point.x - 8));
  frame.setAttribute("y", String(top - 4));
  frame.setAttribute("width", "16");
  frame.setAttribute("height", String(bottom - top + 8));
  svg.append(frame);
  $("study-choice").textContent = point.spoken + ". Press Enter to take this position.";
}

function takeStudyPoint(edited) {
  const { shown, chosen } = state.study;
  if (shown && chosen !== null) {
    $("distance").value = shown.points[chosen].take.replace(".", DECIMAL_POINT);
    edited();
  }
}

function studyKey(event, edited) {
  const shown = state.study.shown;
  if (!shown || shown.points.length === 0) {
    return;
  }
  const last = shown.points.length - 1;
  const at = state.study.chosen;
  const moves = {
    ArrowLeft: at !== null && at > 0 ? at - 1 : 0,
    ArrowRight: at !== null ? Math.min(at + 1, last) : 0,
    Home: 0,
    End: last,
  };
  if (event.key in moves) {
    event.preventDefault();
    chooseStudyPoint(moves[event.key], shown.frame[1], shown.frame[2]);
  } else if (event.key === "Enter" || event.key === " ") {
    event.preventDefault();
    takeStudyPoint(edited);
  }
}
