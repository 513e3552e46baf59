// SPDX-License-Identifier: GPL-3.0-or-later
// The core in a worker: the page posts the typed texts, the core answers with everything to
// show. One worker answers keystrokes; another runs the full-wave check, and is ended and
// replaced when the inputs change, which stops the check wherever it is.
//
//   {type: "bands"} -> {type: "bands", bands, fields}
//   {type: "design", id, request} -> {type: "design", id, response}
//   {type: "check", id, request} -> {type: "progress", id, text}... {type: "check", id, response}
//   {type: "study", id, request} -> {type: "progress", id, text}... {type: "study", id, response}
//   {type: "call", id, name, args} -> {type: "call", id, response}: the core's file functions

import createBrevanCore from "./brevan_core.js";

// The core's functions the page may call by name, each with texts only.
const FILE_FUNCTIONS = ["brevan_sweep", "brevan_save_design", "brevan_open_design"];

const core = createBrevanCore();

// The engine for the core's adapter (web/core/wasm_entry.cpp). An engine that cannot be loaded
// answers every deck with why, so the core reports it in its own words.
async function loadEngine() {
  try {
    const { runNec2c } = await import("./engine_hookup.js");
    return runNec2c;
  } catch (error) {
    const why = "the engine could not be loaded (" + String(error && error.message) + ")";
    return () => ({ ok: false, error: why });
  }
}

// Texts go to the core through its heap: ccall's "string" copies them onto the core's stack,
// whose 64 KiB a large sweep or paste overruns.
function callWithTexts(module, name, texts) {
  const pointers = texts.map((text) => {
    const size = module.lengthBytesUTF8(text) + 1;
    const pointer = module._malloc(size);
    module.stringToUTF8(text, pointer, size);
    return pointer;
  });
  try {
    const answer = module.ccall(name, "number", texts.map(() => "number"), pointers);
    return JSON.parse(module.UTF8ToString(answer));
  } finally {
    pointers.forEach((pointer) => module._free(pointer));
  }
}

function call(module, name, request) {
  return callWithTexts(module, name, request === undefined ? [] : [JSON.stringify(request)]);
}

// The keystroke and file calls. A core that fails on one (out of memory, say) is left in no
// state to answer another: the worker says so and the page starts a new one.
function answerQuickly(module, message) {
  try {
    if (message.type === "bands") {
      self.postMessage({ type: "bands", bands: call(module, "brevan_bands"),
        fields: call(module, "brevan_fields") });
    } else if (message.type === "design") {
      self.postMessage({ type: "design", id: message.id, response: call(module, "brevan_design", message.request) });
    } else {
      self.postMessage({ type: "call", id: message.id, response: callWithTexts(module, message.name, message.args) });
    }
  } catch (error) {
    self.postMessage({ type: "crashed", id: message.id, call: message.type, error: String(error && error.message) });
    self.close();
  }
}

self.addEventListener("message", async (event) => {
  const message = event.data;
  const module = await core;
  if (message.type === "bands" || message.type === "design" ||
    (message.type === "call" && FILE_FUNCTIONS.includes(message.name))) {
    answerQuickly(module, message);
  } else if (message.type === "check" || message.type === "study") {
    globalThis.brevanRunNec2c = await loadEngine();
    globalThis.brevanProgress = (text) => self.postMessage({ type: "progress", id: message.id, text });
    let response;
    try {
      response = call(module, "brevan_" + message.type, message.request);
    } catch (error) {
      response = { crashed: String(error && error.message) };
    }
    self.postMessage({ type: message.type, id: message.id, response });
  }
});
