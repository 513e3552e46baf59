// SPDX-License-Identifier: GPL-3.0-or-later
// All that the page keeps between events, in one object: every module reads and changes these
// fields and keeps nothing of its own. What is shown is not kept here: it is in the page, put
// there from the core's answers.

export const state = {
  bands: [], // the core's bands, as the band picker lists them
  lastRequest: null, // what the core was last given: {fields, decimalPoint, sweep}
  sweep: null, // the analyser's sweep open on the page: {file, text}
  pauseTimer: null, // the pause after a change, at whose end the full-wave check starts
  // The keystroke worker. Designs are numbered so that only the latest one's answer is shown.
  designWorker: null,
  designSeq: 0,
  shownSeq: 0,
  // The core's file functions waiting for the keystroke worker: call id -> resolve.
  callSeq: 0,
  pending: new Map(),
  // The worker running each full-wave job, or null; jobs are numbered across both.
  jobs: { check: null, study: null },
  jobSeq: 0,
  checksCancelled: 0,
  shownReport: null, // the last report shown, quick or checked
  shownDrawing: null, // the drawing's SVG text as last parsed
  downloads: {}, // each save link's id -> the object URL it offers, or null
  // The coil-position study.
  study: {
    runKey: null, // the design the running study is of
    shown: null, // the study shown: the core's answer
    chosen: null, // the index of the position picked on its picture
    design: null, // the design on screen, as a study holds for it (the core's key)
  },
};
