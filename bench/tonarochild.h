// Running the tonaro built beside a benchmark program (both land in
// build/bin) as a child process, for the benchmarks of the command line.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace tonarochild {

// tonaro in the folder of the running program.
inline std::string TonaroPath()
{
    std::error_code error;
    return (std::filesystem::read_symlink("/proc/self/exe", error).parent_path() / "tonaro").string();
}

// Starts tonaro with arguments (those after the program's own name), its
// standard output going to /dev/null. The child's process ID, to be waited
// for by the caller; 0 when it could not be started.
inline pid_t SpawnTonaro(const std::vector<std::string>& arguments)
{
    std::vector<std::string> args = {TonaroPath()};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const bool spawned = posix_spawn(&child, args[0].c_str(), &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    return spawned ? child : 0;
}

}  // namespace tonarochild
