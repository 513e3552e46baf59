#pragma once

// One run of brevan-check, from the command line to the exit status:
//
//   arguments --parseCommandLine--> option texts --readCheckInputs--> CheckInputs
//   --buildCheckReport--> CheckReport --addAntennaCheck (nec2c)--> report, picture, deck
//   --> files (whole or not at all), then standard output
//
// Nothing reaches standard output unless the whole run succeeded.

#include <QStringList>

namespace brevan::cli {

// Exit statuses, sysexits.h numbers where one fits.
enum ExitStatus : int {
    kExitOk = 0,
    kExitUsage = 64,
    kExitNoDesign = 65,
    kExitEngineMissing = 69,
    kExitInternal = 70,
    kExitEngineFailed = 71,
    kExitCannotCreate = 73,
    kExitOutput = 74,
    kExitEngineTimedOut = 75,
    kExitEngineUnreadable = 76,
};

int runCheck(const QStringList& arguments);

} // namespace brevan::cli
