// SPDX-License-Identifier: GPL-3.0-or-later
// Files picked or dropped: a design file, or an analyser's sweep opened beside the design. Each
// is read here as text and handed to the core, which reads it with the window's own readers;
// nothing is sent anywhere. A file the core refuses leaves everything as it was.
import { $ } from "./dom.js";
import { fillDesign } from "./form.js";
import { state } from "./state.js";
import { ask } from "./workers.js";

// Files larger than this are refused in words: the largest analyser sweeps are a few megabytes.
const MOST_FILE_BYTES = 16 * 1024 * 1024;

export function fileMessage(text) {
  $("file-message").hidden = !text;
  $("file-message").textContent = text || "";
}

// The file buttons and the drop on the page; edited() is how an opened file reaches the design.
export function hookUpFiles(edited) {
  const picked = (id, open) => $(id).addEventListener("change", (event) => {
    const file = event.target.files[0];
    event.target.value = ""; // the same file may be picked again after it is changed
    if (file) {
      open(file, edited);
    }
  });
  picked("open-design", openDesign);
  picked("open-sweep", openSweep);
  $("save-design").addEventListener("click", saveDesign);
  $("close-sweep").addEventListener("click", () => closeSweep(edited));
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
      openDropped(file, edited);
    }
  });
}

// Told apart by the name, as the window does: a sweep opens beside the design, anything else
// as a design.
function openDropped(file, edited) {
  if (/\.(s1p|csv)$/i.test(file.name)) {
    openSweep(file, edited);
  } else {
    openDesign(file, edited);
  }
}

function showSweep(status) {
  $("sweep-status").hidden = state.sweep === null;
  $("sweep-status").textContent = state.sweep === null ? "" : status;
  $("close-sweep").hidden = state.sweep === null;
}

// A file too large for the page is refused before it is read.
function tooLarge(file) {
  if (file.size <= MOST_FILE_BYTES) {
    return false;
  }
  fileMessage(`The file ${file.name} is ${(file.size / 1048576).toFixed(1)} MB; the page opens ` +
    `files of up to ${MOST_FILE_BYTES / 1048576} MB.`);
  return true;
}

// A sweep the core refuses leaves the sweep open before, and the results, as they were.
async function openSweep(file, edited) {
  if (tooLarge(file)) {
    return;
  }
  const text = await file.text();
  const request = { file: file.name, text };
  if (state.sweep) {
    request.kept = state.sweep.file;
  }
  const response = await ask("brevan_sweep", JSON.stringify(request));
  if (!response.ok) {
    fileMessage(response.message);
    return;
  }
  fileMessage("");
  state.sweep = { file: file.name, text };
  showSweep(response.status);
  edited();
}

function closeSweep(edited) {
  state.sweep = null;
  showSweep("");
  edited();
}

// A design file is the whole design: its sweep, if it keeps one, replaces the one open.
async function openDesign(file, edited) {
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
  state.sweep = response.sweep ? { file: response.sweep.file, text: response.sweep.text } : null;
  showSweep(response.sweep ? response.sweep.status : "");
  edited();
}

async function saveDesign() {
  const response = await ask("brevan_save_design", JSON.stringify(state.lastRequest));
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
