/* SPDX-License-Identifier: GPL-3.0-or-later */
/*
 * The NEC-2 engine nec2c in a Web Worker: Debian's nec2c compiled to WebAssembly, run one deck at
 * a time, synchronously, each run in a fresh instance of the engine.
 *
 * Files, built by web/engine/CMakeLists.txt (target nec2c_wasm) into build-web/engine/:
 *   nec2c.js    Emscripten's loader for the engine with this file appended; a classic script
 *               for a worker: importScripts(".../nec2c.js").
 *   nec2c.wasm  the engine.
 *
 * Interface, as globals of the worker (globalThis):
 *
 *   loadNec2c(source) -> Promise<void>
 *     Compiles the engine once; call it, and wait for it, before the first run. `source` is the
 *     address of nec2c.wasm (a string or URL), a Response, its bytes (ArrayBuffer or typed
 *     array) or an already compiled WebAssembly.Module. Rejects with an Error in words when the
 *     file cannot be fetched or compiled. Served as application/wasm, the file is compiled as it
 *     arrives and the browser keeps the compiled code for the next visit. Under a
 *     Content-Security-Policy, script-src needs 'wasm-unsafe-eval' (nothing else is evaluated).
 *     Loading again replaces the engine.
 *
 *   loadNec2cSync(source)
 *     The same without waiting, for code that cannot wait: bytes or a WebAssembly.Module, or,
 *     in a worker, an address read with a synchronous request. Throws an Error in words.
 *
 *   nec2cLoaded() -> boolean
 *
 *   runNec2c(deckText) -> { ok, output, error, exitCode }
 *     Runs one NEC-2 deck, the text of a .nec file, as `nec2c -i deck.nec -o out.txt` would, in
 *     a new instance of the engine (its own files; the one memory wiped first), and returns:
 *       ok        true when nec2c ended by itself with exit status 0;
 *       output    the text nec2c wrote to its output file, "" when none; on a failure, what it
 *                 had written before it failed;
 *       error     "" when ok, otherwise what went wrong in words, with the last of nec2c's own
 *                 messages (or, when it printed none, the last line of its output), e.g.
 *                 "nec2c exited with code 255: FAULTY DATA CARD LABEL AFTER GEOMETRY SECTION"
 *                 or "nec2c stopped with an internal error (divide by zero)";
 *       exitCode  nec2c's exit status as a process would report it (0 to 255), or null when it
 *                 did not end by itself (a trap or abort inside the engine, or no engine loaded).
 *     It never throws for a bad deck or a failing engine, and the next run starts afresh
 *     whatever happened to this one. A run cannot be interrupted from inside the worker; to
 *     stop one, terminate the worker.
 *     The output is native nec2c's for the same deck, line for line, but for two things: the
 *     times nec2c prints ("FILL: 12 msec  FACTOR: 3 msec", "TOTAL RUN TIME: 40 msec"), and in
 *     far-field tables the last digits of field components that are rounding noise (below a
 *     millionth of the table's largest field, such as the field along the ground), which native
 *     nec2c itself prints differently from one machine to another (tests/engine_test.mjs).
 */
(function (global) {
    "use strict";

    const kDeckFile = "/deck.nec";
    const kOutputFile = "/out.txt";
    const kTailCharacters = 400; // of nec2c's own messages, for a failure's words, as natively

    let compiled = null; // the engine as a WebAssembly.Module
    // The one memory every instance is given, wiped before each: a browser frees the memory of
    // a dropped instance only when it collects garbage, and hundreds of runs in a row (the
    // coil-position study) would otherwise run out of room for new ones. Its size at the start
    // and its largest are the engine's own (INITIAL_MEMORY 2 MiB, growth to 2 GiB).
    const kPage = 65536;
    let memory = null;

    function wipedMemory() {
        if (memory === null) {
            memory = new WebAssembly.Memory({ initial: (2 * 1024 * 1024) / kPage,
                                              maximum: (2 * 1024 * 1024 * 1024) / kPage });
        } else {
            new Uint8Array(memory.buffer).fill(0);
        }
        return memory;
    }

    function loadError(what, cause) {
        return new Error("the NEC-2 engine could not be loaded: " + what +
                         (cause ? ": " + (cause.message || String(cause)) : ""));
    }

    function compileBytes(bytes) {
        try {
            return new WebAssembly.Module(bytes);
        } catch (e) {
            throw loadError("nec2c.wasm could not be compiled", e);
        }
    }

    function isBytes(source) {
        return source instanceof ArrayBuffer || ArrayBuffer.isView(source);
    }

    // A synchronous request is allowed for binary data in a worker only.
    function readSync(url) {
        if (typeof XMLHttpRequest !== "function" || typeof importScripts !== "function") {
            throw loadError("a synchronous load by address works in a worker only");
        }
        const request = new XMLHttpRequest();
        request.open("GET", String(url), false);
        request.responseType = "arraybuffer";
        try {
            request.send(null);
        } catch (e) {
            throw loadError("could not fetch " + url, e);
        }
        if (request.status !== 200 && request.status !== 0) {
            throw loadError("could not fetch " + url + " (HTTP " + request.status + ")");
        }
        return request.response;
    }

    function loadNec2cSync(source) {
        if (source instanceof WebAssembly.Module) {
            compiled = source;
        } else if (isBytes(source)) {
            compiled = compileBytes(source);
        } else if (typeof source === "string" || source instanceof URL) {
            compiled = compileBytes(readSync(source));
        } else {
            throw loadError("give the address, bytes or compiled module of nec2c.wasm");
        }
    }

    async function loadNec2c(source) {
        if (source instanceof WebAssembly.Module || isBytes(source)) {
            loadNec2cSync(source);
            return;
        }
        let response = source;
        if (typeof source === "string" || source instanceof URL) {
            try {
                response = await fetch(source);
            } catch (e) {
                throw loadError("could not fetch " + source, e);
            }
        }
        if (typeof Response !== "function" || !(response instanceof Response)) {
            throw loadError("give the address, bytes or compiled module of nec2c.wasm");
        }
        if (!response.ok) {
            throw loadError("could not fetch " + response.url + " (HTTP " + response.status + ")");
        }
        // Compiled while it arrives, and cached by the browser for the next visit, when the host
        // gives its type; any host will do for the bytes.
        const type = response.headers.get("Content-Type") || "";
        try {
            if (typeof WebAssembly.compileStreaming === "function" &&
                type.startsWith("application/wasm")) {
                compiled = await WebAssembly.compileStreaming(response);
            } else {
                compiled = await WebAssembly.compile(await response.arrayBuffer());
            }
        } catch (e) {
            throw loadError("nec2c.wasm could not be compiled", e);
        }
    }

    function nec2cLoaded() {
        return compiled !== null;
    }

    // The last few hundred characters of nec2c's messages, as one line.
    function messageTail(lines) {
        let text = lines.join("\n").trim();
        if (text.length > kTailCharacters) {
            text = "..." + text.slice(text.length - kTailCharacters);
        }
        return text.replace(/\n+/g, "; ");
    }

    function withTail(words, lines) {
        const tail = messageTail(lines);
        return tail ? words + ": " + tail : words;
    }

    // nec2c reports a faulty card in its output file, not in its messages: the last line it
    // wrote there says what was wrong.
    function lastLine(output) {
        const lines = (output || "").split("\n").map((line) => line.trim()).filter(Boolean);
        return lines.length > 0 ? [lines[lines.length - 1]] : [];
    }

    function readOutput(module) {
        try {
            return module.FS.readFile(kOutputFile, { encoding: "utf8" });
        } catch (e) {
            return null; // nec2c never opened it
        }
    }

    // A new instance of the engine, ready to run main: its memory (wiped to zeros, then the
    // engine's data written afresh as any instance starts), files and every global of nec2c
    // start from nothing. Emscripten's loader runs to the end at once here, because the
    // instance is made synchronously from the compiled module.
    function freshInstance(messages) {
        let instantiateError = null;
        const module = {
            noInitialRun: true,
            wasmMemory: wipedMemory(),
            print: (line) => messages.push(line),
            printErr: (line) => messages.push(line),
            // exit() and traps leave the engine as exceptions, never by ending the worker.
            quit: (status, toThrow) => {
                throw toThrow;
            },
            instantiateWasm: (imports, receiveInstance) => {
                try {
                    const instance = new WebAssembly.Instance(compiled, imports);
                    receiveInstance(instance, compiled);
                    return instance.exports;
                } catch (e) {
                    instantiateError = e;
                    throw e;
                }
            },
        };
        // The loader's promise is not needed; a rejection must not surface as unhandled.
        createNec2cModule(module).catch(() => {});
        if (instantiateError || typeof module.callMain !== "function") {
            throw instantiateError || new Error("the engine did not start");
        }
        return module;
    }

    function runNec2c(deckText) {
        if (!compiled) {
            return { ok: false, output: "", exitCode: null,
                     error: "the NEC-2 engine is not loaded (call loadNec2c first)" };
        }
        const messages = [];
        let module;
        try {
            module = freshInstance(messages);
            module.FS.writeFile(kDeckFile, String(deckText));
        } catch (e) {
            return { ok: false, output: "", exitCode: null,
                     error: withTail("nec2c could not start: " + (e.message || String(e)),
                                     messages) };
        }
        let status;
        try {
            status = module.callMain(["-i", kDeckFile, "-o", kOutputFile]);
        } catch (e) {
            // A trap or an abort inside the engine: the instance is dropped with this run.
            const output = readOutput(module) || "";
            return { ok: false, output, exitCode: null,
                     error: withTail("nec2c stopped with an internal error (" +
                                         (e.message || String(e)) + ")", messages) };
        }
        const exitCode = status & 0xff; // as the process's parent would see exit(-3)
        const output = readOutput(module);
        if (exitCode !== 0) {
            return { ok: false, output: output || "", exitCode,
                     error: withTail("nec2c exited with code " + exitCode,
                                     messages.length > 0 ? messages : lastLine(output)) };
        }
        if (output === null) {
            return { ok: false, output: "", exitCode,
                     error: withTail("nec2c wrote no output file", messages) };
        }
        return { ok: true, output, error: "", exitCode };
    }

    global.loadNec2c = loadNec2c;
    global.loadNec2cSync = loadNec2cSync;
    global.nec2cLoaded = nec2cLoaded;
    global.runNec2c = runNec2c;
})(typeof globalThis !== "undefined" ? globalThis : self);
