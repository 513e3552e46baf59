// SPDX-License-Identifier: GPL-3.0-or-later
// The exit statuses: one table in the code, and --help, the manual and the man page saying the
// same; and an exception anywhere in a run ending as the internal-error status.
#include "cli_run.h"
#include "exit_status.h"
#include "nec/engine/parallel_batch.h"
#include "run_check.h"

#include <gtest/gtest.h>

#include <fstream>
#include <new>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

using StatusList = std::vector<std::pair<int, std::string>>;

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::string sourceFile(const std::string& name) {
    std::ifstream file(std::string(BREVAN_SOURCE_DIR) + "/" + name);
    EXPECT_TRUE(file) << name;
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string without(std::string text, const std::string& drop) {
    for (auto at = text.find(drop); at != std::string::npos; at = text.find(drop, at)) {
        text.erase(at, drop.size());
    }
    return text;
}

StatusList fromTable() {
    StatusList list;
    for (const auto& entry : brevan::cli::kExitStatuses) {
        list.emplace_back(entry.status, entry.meaning);
    }
    return list;
}

// "  64   meaning" with the meaning wrapped onto lines indented to its column.
StatusList fromHelp(const std::string& help) {
    StatusList list;
    bool inside = false;
    const std::regex entry("^  ([0-9]+) +(.*)$");
    const std::regex continued("^ {7}(\\S.*)$");
    for (const std::string& line : linesOf(help)) {
        std::smatch match;
        if (line == "Exit status:") {
            inside = true;
        } else if (!inside || line.empty()) {
            inside = inside && !line.empty();
        } else if (std::regex_match(line, match, entry)) {
            list.emplace_back(std::stoi(match[1]), match[2]);
        } else if (std::regex_match(line, match, continued) && !list.empty()) {
            list.back().second += " " + match[1].str();
        }
    }
    return list;
}

// The rows of the table headed "| Exit status | Meaning |", code marks dropped.
StatusList fromManual(const std::string& manual) {
    StatusList list;
    const std::vector<std::string> lines = linesOf(manual);
    std::size_t at = 0;
    while (at < lines.size() && lines[at] != "| Exit status | Meaning |") {
        ++at;
    }
    const std::regex row("^\\| ([0-9]+) \\| (.*) \\|$");
    for (at += 2; at < lines.size() && lines[at].rfind('|', 0) == 0; ++at) {
        std::smatch match;
        if (std::regex_match(lines[at], match, row)) {
            list.emplace_back(std::stoi(match[1]), without(match[2], "`"));
        } else {
            ADD_FAILURE() << "not a row of the table: " << lines[at];
        }
    }
    return list;
}

// A line of the page as it reads: .B and .I set their words in a face, .BR and .IR join theirs.
std::string manText(const std::string& line) {
    std::string text = line;
    for (const char* joining : {".BR ", ".IR "}) {
        if (text.rfind(joining, 0) == 0) {
            text = without(text.substr(4), " ");
        }
    }
    for (const char* face : {".B ", ".I "}) {
        if (text.rfind(face, 0) == 0) {
            text = text.substr(3);
        }
    }
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "\\-") == 0) {
            plain += '-';
            ++i;
        } else {
            plain += text[i];
        }
    }
    return plain;
}

// The tagged paragraphs (.TP, then .B status, then the meaning) of the EXIT STATUS section.
StatusList fromManPage(const std::string& page) {
    StatusList list;
    const std::vector<std::string> lines = linesOf(page);
    std::size_t at = 0;
    while (at < lines.size() && lines[at] != ".SH EXIT STATUS") {
        ++at;
    }
    const std::regex tag("^\\.B ([0-9]+)$");
    for (++at; at < lines.size() && lines[at].rfind(".SH", 0) != 0; ++at) {
        std::smatch match;
        if (lines[at] == ".TP" && at + 1 < lines.size() &&
            std::regex_match(lines[at + 1], match, tag)) {
            list.emplace_back(std::stoi(match[1]), "");
            ++at;
        } else if (!list.empty()) {
            std::string& meaning = list.back().second;
            meaning += (meaning.empty() ? "" : " ") + manText(lines[at]);
        }
    }
    return list;
}

TEST(ExitStatus, HelpManualAndManPageListTheTableOfTheCode) {
    const StatusList table = fromTable();
    ASSERT_GE(table.size(), 13u);
    const CliRun help = runCli({"--help"});
    ASSERT_EQ(help.exitCode, 0);
    EXPECT_EQ(fromHelp(help.out), table) << help.out;
    EXPECT_EQ(fromManual(sourceFile("docs/check-options.md")), table);
    EXPECT_EQ(fromManPage(sourceFile("docs/brevan-check.1")), table);
}

// Whatever an engine throws, and from whichever thread, the run ends with 70 and says so.
TEST(ExitStatus, AnExceptionInTheRunEndsAsAnInternalError) {
    using brevan::check::Engine;
    using brevan::check::EngineRun;
    struct Row {
        const char* name;
        Engine engine;
        const char* saying;
    };
    const auto onAWorkerThread = [](const std::vector<std::string>& decks) {
        std::vector<EngineRun> runs(decks.size());
        brevan::check::BatchStop stop;
        brevan::check::runInParallel(decks.size(), 2, stop, [](std::size_t index) {
            if (index == 0) {
                throw std::bad_alloc();
            }
        });
        return runs;
    };
    const Row rows[] = {
        {"std::bad_alloc", [](const auto&) -> std::vector<EngineRun> { throw std::bad_alloc(); },
         "internal error: out of memory"},
        {"std::runtime_error",
         [](const auto&) -> std::vector<EngineRun> { throw std::runtime_error("a broken part"); },
         "internal error: a broken part"},
        {"not a std::exception", [](const auto&) -> std::vector<EngineRun> { throw 42; },
         "internal error: an unknown exception"},
        {"std::bad_alloc in a worker thread", onAWorkerThread, "internal error: out of memory"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        brevan::cli::RunEnvironment environment;
        environment.engine = [&row](const brevan::check::Nec2cOptions&) { return row.engine; };
        ::testing::internal::CaptureStderr();
        const int status =
            brevan::cli::runCheck(QStringList{"brevan-check"} + typicalDesign(), environment);
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(status, 70);
        EXPECT_NE(err.find(row.saying), std::string::npos) << err;
    }
}

} // namespace
