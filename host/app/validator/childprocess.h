// Running one validation check in a child process, and the child's side of
// it. The child is this executable again ("tonaro validate --run-check NAME
// ..."), on Qt's offscreen platform, with private settings folders; it
// prints its verdict on standard output. A child that dies of a signal (or
// of a sanitizer report) is a crash, one that outlives the time limit is
// killed and timed out: either way the run goes on with the next check.
#pragma once

#include <cstdint>
#include <string>

#include "host/app/validator/checks.h"

namespace tonaroapp::validator {

enum class CheckResult { Pass, Fail, Crash, Timeout };

struct CheckOutcome {
    CheckResult result = CheckResult::Fail;
    std::string crashKind;  // for Crash: "SIGSEGV", or a sanitizer's error kind
    double seconds = 0;     // wall time of the child
    std::string detail;     // one line
};

// "PASS", "FAIL", "CRASH (SIGSEGV)", "TIMEOUT".
std::string ResultText(const CheckOutcome& outcome);

struct ChildRequest {
    std::string check;          // the check's name
    CheckContext context;       // pluginPath must be absolute
    double timeoutSeconds = 20;
    std::string workFolder;     // an empty folder the child may use; the caller removes it
};

// Runs the check in a child process and waits for it (at most the time
// limit, then kills it and its process group). Never throws; a child that
// cannot be started is a failed check.
CheckOutcome RunCheckInChild(const ChildRequest& request);

// The child's side: runs the check here, prints its verdict and answers the
// exit code (0 passed, 1 failed).
int RunCheckHere(const CheckInfo& check, const CheckContext& context);

}  // namespace tonaroapp::validator
