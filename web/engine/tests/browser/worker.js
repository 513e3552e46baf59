// SPDX-License-Identifier: GPL-3.0-or-later
// Loads the engine as the page's worker will, then runs a good deck, a deck that traps, a deck
// nec2c refuses and the good deck again, and reports each run.
"use strict";
importScripts("engine/nec2c.js");

const kTrap = "CM x\nCE\nGW 1 0 0 -5 0 0 5 0 0.001\nGE 0\nEX 0 1 1 0 1 0\nFR 0 1 0 0 14 0\n" +
              "XQ\nEN\n";
const kRefused = "CM x\nCE\nGW 1 9 0 -5 0 0 5 0 0.001\nGE 0\nZZ 1 2 3\nEN\n";

onmessage = async (event) => {
    const load = event.data;
    try {
        const good = await (await fetch("good.nec")).text();
        if (load === "sync") {
            loadNec2cSync("engine/nec2c.wasm");
        } else {
            await loadNec2c("engine/nec2c.wasm");
        }
        const runs = [good, kTrap, kRefused, good].map((deck) => runNec2c(deck));
        postMessage({ load, runs });
    } catch (e) {
        postMessage({ load, error: String(e && e.message ? e.message : e) });
    }
};
