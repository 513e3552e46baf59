// SPDX-License-Identifier: GPL-3.0-or-later
// The page's side of worker.js. One worker answers keystrokes and files, and lives as long as
// the page; each full-wave job (the check, the study) runs in a worker of its own, because
// ending the worker is the only way to stop the core in the middle of a job.
import { $ } from "./dom.js";
import { state } from "./state.js";

const WORKER = "worker.js";
// The progress bar each full-wave job shows while it runs.
const PROGRESS = { check: "check-progress", study: "study-progress" };

// The keystroke worker, with what to do on its answers: on.bands(bands), on.design(id,
// response), on.restarted(words). One that stops (its core failed on what it was given) is
// started again: the page says so, and the last results stay as they were.
export function startDesignWorker(on) {
  const worker = new Worker(WORKER, { type: "module" });
  state.designWorker = worker;
  worker.addEventListener("message", (event) => {
    const message = event.data;
    if (worker !== state.designWorker) {
      return;
    }
    if (message.type === "bands") {
      on.bands(message.bands, message.fields);
    } else if (message.type === "design") {
      on.design(message.id, message.response);
    } else if (message.type === "call") {
      state.pending.get(message.id)(message.response);
      state.pending.delete(message.id);
    } else if (message.type === "crashed") {
      restartDesignWorker(on, message.error);
    }
  });
  worker.addEventListener("error", (event) => {
    if (worker === state.designWorker) {
      event.preventDefault();
      restartDesignWorker(on, event.message);
    }
  });
}

function restartDesignWorker(on, why) {
  state.designWorker.terminate();
  startDesignWorker(on);
  const words = "The page's calculator stopped on what was given (" + String(why || "no reason given") +
    ") and has been started again; the results shown are the last ones it gave.";
  // Files waiting for an answer get it in words; the design waits for the next change.
  for (const resolve of state.pending.values()) {
    resolve({ ok: false, message: words, error: words });
  }
  state.pending.clear();
  on.restarted(words);
}

export function askBands() {
  state.designWorker.postMessage({ type: "bands" });
}

// The design for this request: its answer comes to on.design with its number, and only the
// latest number's answer is shown.
export function askDesign(request) {
  state.designSeq += 1;
  state.designWorker.postMessage({ type: "design", id: state.designSeq, request });
}

// One of the core's file functions, answered by the keystroke worker.
export function ask(name, ...args) {
  return new Promise((resolve) => {
    const id = ++state.callSeq;
    state.pending.set(id, resolve);
    state.designWorker.postMessage({ type: "call", id, name, args });
  });
}

// A full-wave job ("check" or "study") of the request, in a fresh worker; one of the same type
// still running is ended first. Its progress goes to on.progress(text); its end to
// on.answer(response), or to on.failed(why) where the core crashed or the worker stopped. Once
// ended, by its answer or by stopJob, nothing more of it is heard.
export function startJob(type, request, on) {
  stopJob(type);
  const worker = new Worker(WORKER, { type: "module" });
  const id = ++state.jobSeq;
  state.jobs[type] = worker;
  $(PROGRESS[type]).hidden = false;
  worker.addEventListener("message", (event) => {
    const message = event.data;
    if (worker !== state.jobs[type] || message.id !== id) {
      return;
    }
    if (message.type === "progress") {
      on.progress(message.text);
    } else if (message.type === type) {
      stopJob(type);
      if (message.response.crashed !== undefined) {
        on.failed(message.response.crashed);
      } else {
        on.answer(message.response);
      }
    }
  });
  worker.addEventListener("error", (event) => {
    if (worker !== state.jobs[type]) {
      return;
    }
    event.preventDefault();
    stopJob(type);
    on.failed("the page's worker stopped.");
  });
  worker.postMessage({ type, id, request });
}

// Ends the job of this type where one is running, and says whether one was.
export function stopJob(type) {
  const worker = state.jobs[type];
  if (worker) {
    worker.terminate();
    state.jobs[type] = null;
  }
  $(PROGRESS[type]).hidden = true;
  return worker !== null;
}

export function jobRunning(type) {
  return state.jobs[type] !== null;
}
