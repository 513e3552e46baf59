// SPDX-License-Identifier: GPL-3.0-or-later
// Each change of the design: the core's quick answer (refusals, design, coil, cut list) shown at
// once, and the full-wave check started once typing pauses, ended and started afresh on the
// next change.
import { $ } from "./dom.js";
import { fileMessage } from "./files.js";
import { DECIMAL_POINT, fields, followPickers, showRefusals } from "./form.js";
import { updateAddress, updateShareLink } from "./links.js";
import { showReport } from "./report.js";
import { state } from "./state.js";
import { followStudy } from "./study.js";
import { askDesign, startJob, stopJob } from "./workers.js";

const PAUSE_MS = 300; // as the check window: long enough to span the gap between keystrokes
const root = document.documentElement;

function setCheckState(check) {
  root.dataset.check = check;
}

export function edited() {
  followPickers();
  const request = { fields: fields(), decimalPoint: DECIMAL_POINT, sweep: state.sweep };
  if (state.lastRequest && JSON.stringify(request) === JSON.stringify(state.lastRequest)) {
    return; // nothing the core reads has changed: the check carries on
  }
  cancelCheck();
  clearTimeout(state.pauseTimer);
  setCheckState("running");
  state.lastRequest = request;
  askDesign(state.lastRequest);
}

function cancelCheck() {
  if (stopJob("check")) {
    state.checksCancelled += 1;
    root.dataset.checksCancelled = String(state.checksCancelled);
  }
}

function startCheck(request) {
  cancelCheck();
  startJob("check", request, {
    progress: (text) => {
      $("engine-status").textContent = text;
    },
    answer: checkFinished,
    failed: (why) => {
      $("engine-status").textContent = "The full-wave check did not finish: " + why;
      setCheckState("failed");
    },
  });
}

function checkFinished(response) {
  if (response.report) {
    showReport(response.report);
  }
  $("engine-status").textContent = response.status || "";
  setCheckState(response.checked ? "done" : "failed");
}

export function designAnswered(id, response) {
  if (id !== state.designSeq || id <= state.shownSeq) {
    return; // a later keystroke has been sent: its answer is the one to show
  }
  state.shownSeq = id;
  showRefusals(response.refusals || {});
  $("band").value = response.band >= 0 ? String(response.band) : "";
  const refusal = $("design-refusal");
  refusal.hidden = !response.designRefusal;
  refusal.textContent = response.designRefusal || "";
  $("run-study").disabled = !response.accepted;
  followStudy(response.study);
  if (!response.accepted) {
    $("engine-status").textContent = state.shownReport ? response.status : "";
    setCheckState("failed");
    return;
  }
  if (response.sweepError) {
    fileMessage(response.sweepError);
  }
  showReport(response.report);
  updateShareLink(response.options);
  $("engine-status").textContent = response.status;
  const request = state.lastRequest;
  state.pauseTimer = setTimeout(() => {
    updateAddress();
    startCheck(request);
  }, PAUSE_MS);
}

// The keystroke worker was started again: what was shown stays, said to be the last answer.
export function calculatorRestarted(words) {
  fileMessage(words);
  $("engine-status").textContent = words;
  setCheckState("failed");
  state.lastRequest = null;
}
