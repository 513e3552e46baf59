// SPDX-License-Identifier: GPL-3.0-or-later
// Starts one worker per way of loading the engine and shows what each reported, as JSON, in
// #result; the root element's data-done says when both have.
"use strict";
const reports = [];
const show = () => {
    document.getElementById("result").textContent = JSON.stringify(reports);
    if (reports.length === 2) {
        document.documentElement.dataset.done = "true";
    }
};
for (const load of ["async", "sync"]) {
    const worker = new Worker("worker.js");
    worker.onmessage = (event) => {
        reports.push(event.data);
        show();
    };
    worker.onerror = (event) => {
        reports.push({ load, error: "the worker failed: " + event.message });
        show();
    };
    worker.postMessage(load);
}
