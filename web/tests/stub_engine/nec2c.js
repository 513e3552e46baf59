// SPDX-License-Identifier: GPL-3.0-or-later
// A stand-in for the engine built for the browser, for the tests only: each deck goes to the
// test server on this machine, which runs Debian's nec2c on it. It has the engine's interface,
// the same worker globals, loadNec2c and a synchronous runNec2c(deckText) -> {ok, output, error},
// so the page's code is the same with either; test_server.py serves it as engine/nec2c.js when a
// test wants each deck slowed down, or the folder holds no engine of its own.
globalThis.loadNec2c = async () => {};
globalThis.runNec2c = (deck) => {
  const request = new XMLHttpRequest();
  request.open("POST", "/__test/nec2c", false); // a worker may wait: the core asks synchronously
  request.setRequestHeader("Content-Type", "text/plain");
  request.send(deck);
  if (request.status !== 200) {
    return { ok: false, error: request.responseText };
  }
  return { ok: true, output: request.responseText };
};
