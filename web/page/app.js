// SPDX-License-Identifier: GPL-3.0-or-later
// The page: it holds the typed texts and shows what the core answers. No figure or sentence is
// made here; the core (web/core, the same C++ as the desktop check) makes them all. This module
// wires the others together:
//
//   keystroke --design worker--> refusals, design, coil, cut list (every keystroke)
//   typing pauses --check worker (ended and replaced on the next change)--> the full check
//   a design file or an analyser's sweep, picked or dropped --> read here as text and handed
//     to the core, which reads it with the window's own readers; nothing is sent anywhere
//
//   state.js     all that the page keeps between events
//   form.js      the fields read and filled, the rows in use, the refusals
//   checking.js  each change: the quick answer at once, the full-wave check once typing pauses
//   workers.js   worker.js's side here: the keystroke worker, and one worker per full-wave job
//   report.js, plot.js   the core's report and its SWR plot laid out
//   study.js     the coil-position study
//   files.js     design files and sweeps;   links.js  the share link and the address bar
//   dom.js       elements, and the core's lists and pictures made into them
import { calculatorRestarted, designAnswered, edited } from "./checking.js";
import { hookUpFiles } from "./files.js";
import { bandPicked, fillBands, fillFromQuery, fillLabels, fillPickers, rememberUnits,
  restoreUnits } from "./form.js";
import { hookUpStudy } from "./study.js";
import { askBands, startDesignWorker } from "./workers.js";

function start() {
  startDesignWorker({
    bands: (bands, fields) => {
      fillLabels(fields);
      fillBands(bands);
      edited();
    },
    design: designAnswered,
    restarted: calculatorRestarted,
  });
  fillPickers();
  restoreUnits();
  fillFromQuery(new URLSearchParams(location.search));
  const form = document.getElementById("design-form");
  // A picker may say it changed without an input event; a repeat of the same texts is ignored.
  const changed = (event) => {
    if (event.target.type === "file") {
      return; // a picked file is read by its own handler
    }
    if (event.target.id === "band") {
      bandPicked();
    }
    if (event.target.id === "units") {
      rememberUnits();
    }
    edited();
  };
  form.addEventListener("input", changed);
  form.addEventListener("change", changed);
  form.addEventListener("submit", (event) => event.preventDefault());
  hookUpFiles(edited);
  hookUpStudy(edited);
  askBands();
}

start();

// Offline once visited: the service worker (sw.js) keeps every file of the page. Where the
// browser refuses one (a file: address, a private window) the page works as before, online.
if ("serviceWorker" in navigator) {
  navigator.serviceWorker.register("sw.js").catch(() => {});
}
