// The validator's named checks. Each one loads a plug-in module, calls its
// entry points in one legal or odd order that the host contract says a
// plug-in must survive, and judges what it answered and what it left behind.
//
// A check runs in its own process (see childprocess.h): it may crash or
// hang on a faulty plug-in, and the validator reports that as its result.
// Needs a QApplication; main thread only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tonaroapp::validator {

// What a check runs with.
struct CheckContext {
    std::string pluginPath;  // absolute path of the module
    uint32_t seed = 0;       // for checks that draw random calls
    int cycles = 5;          // load-to-unload rounds of the repeated check
};

// How a check that ran to its end judged the plug-in.
struct CheckVerdict {
    bool passed = false;
    std::string detail;  // one line; on failure, what went wrong
};

struct CheckInfo {
    const char* name;         // stable, lower case with dashes
    const char* description;  // one line
    CheckVerdict (*run)(const CheckContext& context);
};

// Every check, in a fixed order.
const std::vector<CheckInfo>& AllChecks();
// The check of that name; null when there is none.
const CheckInfo* FindCheck(const std::string& name);

// The checks in the order the seed gives: the same seed and list give the
// same order on every run.
std::vector<const CheckInfo*> ShuffleChecks(std::vector<const CheckInfo*> checks, uint32_t seed);

}  // namespace tonaroapp::validator
