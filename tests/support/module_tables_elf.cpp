// exportedNames on Linux: the defined dynamic symbols, as `nm -D --defined-only` lists them.
#include "support/module_tables.h"

#include <cstdio>
#include <memory>

namespace testsupport {

std::set<std::string> exportedNames(const std::filesystem::path& module) {
    std::set<std::string> symbols;
    const std::string command = "nm -D --defined-only '" + module.string() + "'";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) return symbols;
    char line[1024];
    while (std::fgets(line, sizeof line, pipe.get())) {
        std::string text(line);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        const auto lastBlank = text.rfind(' ');
        if (lastBlank != std::string::npos) symbols.insert(text.substr(lastBlank + 1));
    }
    return symbols;
}

std::set<std::string> importedLibraries(const std::filesystem::path&) { return {}; }

}  // namespace testsupport
