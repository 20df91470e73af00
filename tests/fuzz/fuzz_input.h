#pragma once
// What every fuzz target shares: one input cut into the files it stands for, a scratch folder that lives as
// long as the process, and a failure that stops the fuzzer with the invariant that broke.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// Between the files of one input; chosen so that none of the seeds' own lines holds it.
inline constexpr std::string_view FuzzFileSeparator = "\n#----\n";

// The input's files in order; at least one (the whole input when it holds no separator).
std::vector<std::string_view> SplitFuzzInput(const uint8_t* data, std::size_t size);

// A folder of this process's own, emptied by EmptyFuzzFolder between inputs.
const std::filesystem::path& FuzzFolder();
void EmptyFuzzFolder();

// Every regular file under `folder`, path relative to it and bytes, in path order.
std::vector<std::pair<std::string, std::string>> FolderSnapshot(const std::filesystem::path& folder);

// Prints what broke and aborts, so that the fuzzer keeps the input.
[[noreturn]] void FuzzFailure(const std::string& what);
