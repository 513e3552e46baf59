// SPDX-License-Identifier: GPL-3.0-or-later
// The one place the page meets its NEC-2 engine: nec2c built for the browser (web/engine), whose
// files the build puts in engine/. Loading the script defines the engine's worker globals; the
// engine is compiled once here, and `runNec2c(deckText)` then returns {ok, output, error}, each
// run in a fresh instance. The check worker imports this module only when a full-wave check
// starts, so typing never waits for the engine to load.
import "./engine/nec2c.js";

await globalThis.loadNec2c(new URL("./engine/nec2c.wasm", import.meta.url));

export const runNec2c = globalThis.runNec2c;
