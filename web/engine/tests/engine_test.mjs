// SPDX-License-Identifier: GPL-3.0-or-later
// The browser's NEC-2 engine held to the native one. Node stands in for the Web Worker: the
// built nec2c.js is run as the classic script a worker's importScripts would run, and its
// globals are used as the page's worker uses them.
//   node engine_test.mjs parity ENGINE_JS NEC2C DECK...
//     every deck, run one after another in the same worker, prints what native nec2c prints
//     for it, the lines where nec2c times itself aside;
//   node engine_test.mjs failures ENGINE_JS NEC2C GOOD_DECK
//     decks that make nec2c fail, stop or run out of memory are reported in words, and after
//     each the good deck still runs as natively.
//   node engine_test.mjs time ENGINE_JS NEC2C DECK [RUNS]
//     prints the mean time per run of the deck, wasm and native (a note, not a test);
//   node engine_test.mjs compare NEC2C DECK OUTPUT_FILE
//     the output the engine wrote in a browser for the deck is native nec2c's, as above;
//   node engine_test.mjs size ENGINE_JS KIB
//     nec2c.js and nec2c.wasm together transfer in at most KIB kibibytes, gzip-compressed as
//     any static host can serve them (brotli, smaller still, is printed too).
// Exit status: 0 held; 1 a deck did not hold, with what differed; 2 usage.
import { spawnSync } from "node:child_process";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import vm from "node:vm";
import zlib from "node:zlib";

// nec2c's own timing: "FILL: 12 msec  FACTOR: 3 msec" and "TOTAL RUN TIME: 40 msec".
const kTiming = /(FILL|FACTOR|TOTAL RUN TIME): +-?\d+ msec/g;

function withoutTiming(text) {
    return text.replace(kTiming, "$1: ? msec");
}

// The engine as a worker loads it: from a response served as application/wasm (compiled as it
// arrives), from one of no known type (its bytes compiled), or from its bytes at once.
async function loadEngine(engineJs, how) {
    vm.runInThisContext(fs.readFileSync(engineJs, "utf8"), { filename: engineJs });
    const wasm = fs.readFileSync(engineJs.replace(/\.js$/, ".wasm"));
    if (how === "bytes") {
        globalThis.loadNec2cSync(wasm);
        return;
    }
    const headers = how === "streaming" ? { "Content-Type": "application/wasm" } : {};
    await globalThis.loadNec2c(new Response(wasm, { headers }));
}

// `nec2c -i deck.nec -o out.txt` in a folder of its own, as the desktop check runs it.
function runNative(nec2c, deckText) {
    const folder = fs.mkdtempSync(path.join(os.tmpdir(), "nec2c-native-"));
    try {
        fs.writeFileSync(path.join(folder, "deck.nec"), deckText);
        const run = spawnSync(nec2c, ["-i", "deck.nec", "-o", "out.txt"],
                              { cwd: folder, encoding: "utf8" });
        const outFile = path.join(folder, "out.txt");
        return {
            status: run.status,
            signal: run.signal,
            stderr: run.stderr,
            output: fs.existsSync(outFile) ? fs.readFileSync(outFile, "utf8") : "",
        };
    } finally {
        fs.rmSync(folder, { recursive: true, force: true });
    }
}

// The far-field tables: a row is two angles, the gains and polarisation, then the magnitude and
// phase of E(theta) and of E(phi), the last four numbers of the row.
const kPatternHeader = /RADIATION PATTERNS/;
const kPatternRow = /^\s+-?\d+\.\d+\s+-?\d+\.\d+\s+-?\d+\.\d+\s/;

// For each line that is a row of a far-field table, the largest field magnitude of its table.
function patternPeaks(lines) {
    const peaks = new Map();
    let inPattern = false;
    let rows = [];
    const close = () => {
        const peak = Math.max(0, ...rows.flatMap((i) => {
            const t = lines[i].trim().split(/\s+/);
            return [Math.abs(Number(t.at(-4))), Math.abs(Number(t.at(-2)))];
        }));
        rows.forEach((i) => peaks.set(i, peak));
        rows = [];
    };
    lines.forEach((line, i) => {
        if (kPatternHeader.test(line)) {
            inPattern = true;
        } else if (inPattern && kPatternRow.test(line)) {
            rows.push(i);
        } else if (rows.length > 0) {
            close();
            inPattern = false;
        }
    });
    close();
    return peaks;
}

// Below this share of its table's peak, a field component is what is left of a cancellation
// (the cross-polar field, the field along the ground): its digits are rounding noise, which
// native nec2c itself prints differently on one machine depending on whether glibc's maths
// routines use fused multiply-add. Such a pair must still agree within kNoiseAgreement of the
// peak; its phase, the angle of noise, is not compared.
const kNoiseShare = 1e-6;
const kNoiseAgreement = 1e-9;

// Holds the wasm output to the native one line by line: every line the same, the timing
// aside, but for the noise in far-field tables. Returns what differs, and how much noise did.
function compareOutputs(wasmText, nativeText) {
    const a = wasmText.split("\n");
    const b = nativeText.split("\n");
    const found = [];
    let noise = 0;
    let worstNoise = 0;
    const peaks = patternPeaks(b);
    const differs = (i, why) => {
        if (found.length < 5) {
            found.push(`  line ${i + 1}${why}\n    wasm:   ${a[i]}\n    native: ${b[i]}`);
        } else {
            found.push(null);
        }
    };
    if (a.length !== b.length) {
        found.push(`  ${a.length} lines from wasm, ${b.length} natively`);
    }
    for (let i = 0; i < Math.min(a.length, b.length); ++i) {
        if (a[i] === b[i]) {
            continue;
        }
        if (!peaks.has(i)) {
            differs(i, "");
            continue;
        }
        const peak = peaks.get(i);
        const ta = a[i].trim().split(/\s+/);
        const tb = b[i].trim().split(/\s+/);
        if (ta.length !== tb.length || ta.slice(0, -4).join(" ") !== tb.slice(0, -4).join(" ")) {
            differs(i, " (angles, gains or polarisation)");
            continue;
        }
        for (const at of [-4, -2]) {
            const ma = Number(ta.at(at));
            const mb = Number(tb.at(at));
            const isNoise = Math.max(Math.abs(ma), Math.abs(mb)) < kNoiseShare * peak;
            if (isNoise && Math.abs(ma - mb) <= kNoiseAgreement * peak) {
                if (ta.at(at) !== tb.at(at) || ta.at(at + 1) !== tb.at(at + 1)) {
                    ++noise;
                    worstNoise = Math.max(worstNoise, Math.abs(ma - mb) / peak);
                }
            } else if (ta.at(at) !== tb.at(at) || ta.at(at + 1) !== tb.at(at + 1)) {
                differs(i, isNoise ? " (noise field beyond its bound)" : " (field)");
                break;
            }
        }
    }
    const shown = found.filter(Boolean);
    const more = found.length - shown.length;
    return {
        differences: shown.join("\n") + (more > 0 ? `\n  and ${more} more lines` : ""),
        equal: found.length === 0,
        noise,
        worstNoise,
    };
}

let failed = 0;

function fail(name, why) {
    console.log(`FAIL ${name}: ${why}`);
    ++failed;
}

// The wasm output equals the native one for this deck; both ran through to the end.
function holdParity(name, deckText, nec2c) {
    const native = runNative(nec2c, deckText);
    if (native.status !== 0) {
        fail(name, `native nec2c failed (${native.status ?? native.signal}): ${native.stderr}`);
        return;
    }
    const run = globalThis.runNec2c(deckText);
    if (!run.ok) {
        fail(name, `the wasm engine failed: ${run.error}`);
        return;
    }
    if (!/ANTENNA INPUT PARAMETERS/.test(native.output)) {
        fail(name, "the deck computes no feed point, so the comparison would show little");
        return;
    }
    const seen = compareOutputs(withoutTiming(run.output), withoutTiming(native.output));
    if (!seen.equal) {
        fail(name, `the output differs from native nec2c's:\n${seen.differences}`);
        return;
    }
    const noise = seen.noise === 0 ? "" :
        `; ${seen.noise} far-field noise values differ, by at most ` +
        `${seen.worstNoise.toExponential(1)} of the peak field`;
    console.log(`ok   ${name}: ${native.output.split("\n").length} lines as natively${noise}`);
}

// The deck with its first frequency one part in 10^5 higher.
function nudged(deckText) {
    return deckText.replace(/^(FR(?:\s+\S+){4}\s+)(\S+)/m,
                            (all, head, mhz) => head + String(Number(mhz) * 1.00001));
}

function parity(nec2c, decks) {
    for (const deck of decks) {
        holdParity(path.basename(deck), fs.readFileSync(deck, "utf8"), nec2c);
    }
    // The comparison itself sees a difference as small as a change of frequency of one part in
    // 10^5: the first deck's output, so changed, is not taken for the native one.
    const first = fs.readFileSync(decks[0], "utf8");
    const changed = nudged(first);
    const run = globalThis.runNec2c(changed);
    const seen = compareOutputs(withoutTiming(run.output),
                                withoutTiming(runNative(nec2c, first).output));
    if (changed === first || !run.ok || seen.equal) {
        fail("the comparison", "a deck at a frequency one part in 10^5 higher passes for the same");
    } else {
        console.log("ok   the comparison: a frequency one part in 10^5 higher shows");
    }
}

// Decks that fail in different ways, each followed by a good deck in the same worker: what the
// wasm engine reports, and the exit status native nec2c ends with for the same deck.
const kFailingDecks = [
    {
        name: "a card nec2c does not know",
        deck: "CM x\nCE\nGW 1 9 0 -5 0 0 5 0 0.001\nGE 0\nZZ 1 2 3\nEN\n",
        exitCode: 255,
        words: /^nec2c exited with code 255: FAULTY DATA CARD LABEL AFTER GEOMETRY SECTION$/,
        nativeStatus: 255,
    },
    {
        name: "a deck without its end card",
        deck: "CM x\nCE\nGW 1 9 0 -5 0 0 5 0 0.001\nGE 0\nEX 0 1 5 0 1 0\nFR 0 1 0 0 14 0\nXQ\n",
        exitCode: 255,
        words: /^nec2c exited with code 255: .*MNEMONIC CODE TOO SHORT OR MISSING/,
        nativeStatus: 255,
    },
    {
        // An integer division by zero: natively a SIGFPE, which nec2c catches and exits with
        // its number; in WebAssembly a trap, which ends the instance.
        name: "a wire of no segments (a trap)",
        deck: "CM x\nCE\nGW 1 0 0 -5 0 0 5 0 0.001\nGE 0\nEX 0 1 1 0 1 0\nFR 0 1 0 0 14 0\n" +
              "XQ\nEN\n",
        exitCode: null,
        words: /^nec2c stopped with an internal error \(.*divide by zero.*\)/,
        nativeStatus: 8,
    },
    {
        // Its matrix alone (12000 squared complex numbers, 2.3 GB) is more than a WebAssembly
        // instance can hold. Not run natively, where it would be computed for hours.
        name: "a deck too big for the engine's memory",
        deck: "CM x\nCE\nGW 1 12000 0 -500 0 0 500 0 0.001\nGE 0\nEX 0 1 6000 0 1 0\n" +
              "FR 0 1 0 0 1 0\nXQ\nEN\n",
        exitCode: 252,
        words: /^nec2c exited with code 252: nec2c: A memory allocation request has failed/,
    },
];

function failures(nec2c, goodDeck) {
    const good = fs.readFileSync(goodDeck, "utf8");
    for (const c of kFailingDecks) {
        if (c.nativeStatus !== undefined) {
            const native = runNative(nec2c, c.deck);
            if (native.status !== c.nativeStatus) {
                fail(c.name, `native nec2c ends with ${native.status ?? native.signal}, ` +
                             `not ${c.nativeStatus}`);
                continue;
            }
        }
        const run = globalThis.runNec2c(c.deck);
        if (run.ok || run.exitCode !== c.exitCode || !c.words.test(run.error)) {
            const seen = { ok: run.ok, exitCode: run.exitCode, error: run.error };
            fail(c.name, `reported as ${JSON.stringify(seen)}`);
            continue;
        }
        console.log(`ok   ${c.name}: "${run.error}"`);
        holdParity(`the good deck after ${c.name}`, good, nec2c);
    }
}

function time(nec2c, deck, runs) {
    const deckText = fs.readFileSync(deck, "utf8");
    globalThis.runNec2c(deckText); // warm up
    let start = performance.now();
    for (let i = 0; i < runs; ++i) {
        globalThis.runNec2c(deckText);
    }
    const wasmMs = (performance.now() - start) / runs;
    start = performance.now();
    for (let i = 0; i < runs; ++i) {
        runNative(nec2c, deckText);
    }
    const nativeMs = (performance.now() - start) / runs;
    console.log(`${path.basename(deck)}: wasm ${wasmMs.toFixed(1)} ms per run, native ` +
                `${nativeMs.toFixed(1)} ms per run (process start included), ` +
                `ratio ${(wasmMs / nativeMs).toFixed(2)}`);
}

// An output the engine wrote elsewhere (in a browser) against native nec2c's for the deck.
function compare(nec2c, deck, outputFile) {
    const native = runNative(nec2c, fs.readFileSync(deck, "utf8"));
    const seen = compareOutputs(withoutTiming(fs.readFileSync(outputFile, "utf8")),
                                withoutTiming(native.output));
    if (native.status !== 0 || !seen.equal) {
        fail(path.basename(deck), `the output differs from native nec2c's:\n${seen.differences}`);
    }
}

function size(engineJs, budgetKiB) {
    let gzip = 0;
    let brotli = 0;
    for (const file of [engineJs, engineJs.replace(/\.js$/, ".wasm")]) {
        const bytes = fs.readFileSync(file);
        const g = zlib.gzipSync(bytes, { level: 9 }).length;
        const b = zlib.brotliCompressSync(bytes, {
            params: { [zlib.constants.BROTLI_PARAM_QUALITY]: 11 },
        }).length;
        console.log(`${path.basename(file)}: ${bytes.length} bytes, gzip ${g}, brotli ${b}`);
        gzip += g;
        brotli += b;
    }
    const kib = (n) => (n / 1024).toFixed(1);
    if (!(gzip <= budgetKiB * 1024)) {
        fail("size", `the engine takes ${kib(gzip)} KiB gzip-compressed, over ${budgetKiB} KiB`);
    } else {
        console.log(`ok   the engine: ${kib(gzip)} KiB gzip, ${kib(brotli)} KiB brotli, ` +
                    `within ${budgetKiB} KiB`);
    }
}

const [mode, ...args] = process.argv.slice(2);
if (mode === "compare" && args.length === 3) {
    compare(...args);
    process.exit(failed > 0 ? 1 : 0);
}
if (mode === "size" && args.length === 2) {
    size(args[0], Number(args[1]));
    process.exit(failed > 0 ? 1 : 0);
}
const [engineJs, nec2c, ...rest] = args;
if (!["parity", "failures", "time"].includes(mode) || !engineJs || !nec2c || rest.length === 0) {
    console.error("usage: node engine_test.mjs parity|failures|time ENGINE_JS NEC2C DECK...\n" +
                  "       node engine_test.mjs compare NEC2C DECK OUTPUT_FILE\n" +
                  "       node engine_test.mjs size ENGINE_JS KIB");
    process.exit(2);
}
await loadEngine(engineJs, { parity: "streaming", failures: "response", time: "bytes" }[mode]);
if (!globalThis.nec2cLoaded()) {
    fail("loading", "the engine is not loaded after loadNec2c");
} else if (mode === "parity") {
    parity(nec2c, rest);
} else if (mode === "failures") {
    failures(nec2c, rest[0]);
} else {
    time(nec2c, rest[0], Number(rest[1] ?? 10));
}
process.exit(failed > 0 ? 1 : 0);
