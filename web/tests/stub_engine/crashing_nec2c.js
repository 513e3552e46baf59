// SPDX-License-Identifier: GPL-3.0-or-later
// A stand-in engine for the tests only, whose every answer breaks the core that reads it: its
// output throws when read, past the adapter's own catch (web/core/wasm_entry.cpp), so the core's
// call fails as it does when it runs out of memory or aborts. test_server.py serves it as
// engine/nec2c.js for a test that asks for a crashing engine.
globalThis.loadNec2c = async () => {};
globalThis.runNec2c = () => ({
  ok: true,
  get output() {
    throw new Error("the stand-in engine broke the core");
  },
});
