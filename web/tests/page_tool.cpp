// SPDX-License-Identifier: GPL-3.0-or-later
// The page's core built natively: reads a page request on standard input and prints what the
// page would be given, with the real nec2c for `check`. The browser tests hold the WebAssembly
// build to it, figure for figure and sentence for sentence.
//
//   brevan_page_tool design|check|study|save < request.json
//   brevan_page_tool bands|fields
//   brevan_page_tool sweep < {"file", "text"}
//   brevan_page_tool open NAME < design file

#include "nec/engine/nec2c_engine.h"
#include "page_api.h"

#include <iostream>
#include <iterator>
#include <string>

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "bands") {
        std::cout << brevan::web::bandsResponse() << '\n';
        return 0;
    }
    if (mode == "fields") {
        std::cout << brevan::web::fieldsResponse() << '\n';
        return 0;
    }
    const std::string text{std::istreambuf_iterator<char>(std::cin), {}};
    if (mode == "sweep") {
        std::cout << brevan::web::sweepResponse(text) << '\n';
        return 0;
    }
    if (mode == "open" && argc > 2) {
        std::cout << brevan::web::openDesignResponse(argv[2], text) << '\n';
        return 0;
    }
    auto request = brevan::web::readRequest(text);
    if (const auto* error = std::get_if<std::string>(&request)) {
        std::cerr << *error << '\n';
        return 2;
    }
    const auto& page = std::get<brevan::web::PageRequest>(request);
    if (mode == "design") {
        std::cout << brevan::web::designResponse(page) << '\n';
    } else if (mode == "check") {
        std::cout << brevan::web::checkResponse(page, brevan::check::nec2cEngine({}),
                                                [](const std::string&) {})
                  << '\n';
    } else if (mode == "study") {
        std::cout << brevan::web::studyResponse(page, brevan::check::nec2cEngine({}),
                                                [](const std::string&) {})
                  << '\n';
    } else if (mode == "save") {
        std::cout << brevan::web::designFileResponse(page) << '\n';
    } else {
        std::cerr << "usage: brevan_page_tool design|check|study|bands|save < request.json, "
                     "sweep < sweep.json, open NAME < design file\n";
        return 2;
    }
    return 0;
}
