// Whether a module file is mapped into this process, where, and, when it
// stays mapped after its last dlclose, why.
//
// The mappings are read from /proc/self/maps and matched to the file by its
// device and inode, so any path naming the file finds them. The reasons are
// read from the module's file (its dynamic section and symbols) and from the
// objects loaded beside it. Main thread only (the loader's list is read
// while nothing loads).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tonaroapp::validator {

// One mapping of the file: [start, end) in this process.
struct MappedRange {
    uintptr_t start = 0;
    uintptr_t end = 0;
};

// The file's mappings in this process now; empty when it is not mapped (or
// the file cannot be found).
std::vector<MappedRange> MappedRangesOf(const std::string& path);

// "0x7f12a000-0x7f12c000" for the span of the ranges; "" for none.
std::string DescribeSpan(const std::vector<MappedRange>& ranges);

// The reasons the C library keeps the module at path mapped after its last
// dlclose, each as a short sentence for a person: the module is marked
// NODELETE, it defines unique (STB_GNU_UNIQUE) symbols, it registers
// destructors of thread_local objects, or another loaded object needs it.
// Empty when none of these is found.
std::vector<std::string> ReasonsModuleStaysMapped(const std::string& path);

}  // namespace tonaroapp::validator
