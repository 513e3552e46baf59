// SPDX-License-Identifier: GPL-3.0-or-later
// The one place the page meets its NEC-2 engine: nec2c built for the browser (web/engine),
// whose files the build puts in engine/. It gives a synchronous `runNec2c(deckText)` that
// returns {ok, output, error}, each run independent. The check worker imports this module only
// when a full-wave check starts, so typing never waits for the engine to load.
export { runNec2c } from "./engine/nec2c.js";
