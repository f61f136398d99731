// What a built module's own tables say about it: the names in its export table, read with binutils'
// nm from the ELF file on Linux (module_tables_elf.cpp), and from the PE image that Windows maps on
// Windows (module_tables_pe.cpp), together with the libraries it imports from.
#pragma once

#include <filesystem>
#include <set>
#include <string>

namespace testsupport {

std::set<std::string> exportedNames(const std::filesystem::path& module);

// The libraries the module's import table names, as written there ("KERNEL32.dll"). Empty on Linux,
// where a module names its libraries in its dynamic section instead.
std::set<std::string> importedLibraries(const std::filesystem::path& module);

}  // namespace testsupport
