// SPDX-License-Identifier: GPL-3.0-or-later
// The core's face to the browser: functions with JSON texts in and out, called from the
// page's worker, and the engine adapter that hands each deck to the worker's `runNec2c`.
//
// The hook-up point is the worker's global `brevanRunNec2c(deckText) -> {ok, output, error}`
// (web/page/engine_hookup.js sets it from the engine module); nothing here knows which engine
// answers.

#include "page_api.h"

#include <emscripten.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Runs one deck through the worker's engine; the output (or why there is none) is handed back
// in memory the core frees. An engine that throws or aborts is a failure in words, never a
// crash of the core.
EM_JS(char*, brevan_js_run_nec2c, (const char* deck, int* ok), {
    let result;
    try {
        result = globalThis.brevanRunNec2c(UTF8ToString(deck));
    } catch (error) {
        result = {ok : false, error : "the engine aborted: " + String(error)};
    }
    const good = !!(result && result.ok);
    const text = good ? String(result.output) : String((result && result.error) || "no output");
    HEAP32[ok >> 2] = good ? 1 : 0;
    const size = lengthBytesUTF8(text) + 1;
    const copy = _malloc(size);
    stringToUTF8(text, copy, size);
    return copy;
});

EM_JS(void, brevan_js_progress, (const char* text), {
    if (globalThis.brevanProgress) {
        globalThis.brevanProgress(UTF8ToString(text));
    }
});

// Decks run one after the other: the worker is one thread, and each run is its own instance.
std::vector<brevan::check::EngineRun> browserEngine(const std::vector<std::string>& decks) {
    std::vector<brevan::check::EngineRun> runs;
    for (const std::string& deck : decks) {
        int ok = 0;
        char* text = brevan_js_run_nec2c(deck.c_str(), &ok);
        runs.push_back(brevan::web::engineRunFromOutput(ok != 0, text));
        std::free(text);
        if (runs.back().failure != brevan::check::EngineFailure::None) {
            // The first failure ends the batch, as the process adapter's does.
            runs.resize(decks.size(), runs.back());
            break;
        }
    }
    return runs;
}

// The answer lives until the next call: the worker copies it out at once.
const char* answer(std::string text) {
    static std::string kept;
    kept = std::move(text);
    return kept.c_str();
}

template <typename Respond> const char* withRequest(const char* text, Respond respond) {
    auto request = brevan::web::readRequest(text);
    if (const auto* error = std::get_if<std::string>(&request)) {
        return answer("{\"error\":\"" + *error + "\"}");
    }
    return answer(respond(std::get<brevan::web::PageRequest>(request)));
}

} // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE const char* brevan_bands() {
    return answer(brevan::web::bandsResponse());
}

EMSCRIPTEN_KEEPALIVE const char* brevan_fields() {
    return answer(brevan::web::fieldsResponse());
}

EMSCRIPTEN_KEEPALIVE const char* brevan_design(const char* request) {
    return withRequest(request, [](const auto& r) { return brevan::web::designResponse(r); });
}

EMSCRIPTEN_KEEPALIVE const char* brevan_sweep(const char* request) {
    return answer(brevan::web::sweepResponse(request));
}

EMSCRIPTEN_KEEPALIVE const char* brevan_save_design(const char* request) {
    return withRequest(request, [](const auto& r) { return brevan::web::designFileResponse(r); });
}

EMSCRIPTEN_KEEPALIVE const char* brevan_open_design(const char* fileName, const char* text) {
    return answer(brevan::web::openDesignResponse(fileName, text));
}

EMSCRIPTEN_KEEPALIVE const char* brevan_study(const char* request) {
    return withRequest(request, [](const auto& r) {
        return brevan::web::studyResponse(
            r, browserEngine, [](const std::string& stage) { brevan_js_progress(stage.c_str()); });
    });
}

EMSCRIPTEN_KEEPALIVE const char* brevan_check(const char* request) {
    return withRequest(request, [](const auto& r) {
        return brevan::web::checkResponse(
            r, browserEngine, [](const std::string& stage) { brevan_js_progress(stage.c_str()); });
    });
}
}
