// One save as the player, judged by everything it left in the home: a case prepares the home, the
// player loads the plugin, makes one change and unloads, and every entry of the home is compared
// before and after. Only the entries the case names may hold new content, with their old permissions.
#pragma once

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <system_error>
#include <vector>

#include <gtest/gtest.h>

#include "support/config_text.h"
#include "support/player.h"
#include "support/plugin_session.h"

namespace testsupport {

struct SaveCase {
    std::string name;
    std::function<void(const std::filesystem::path& home)> prepare;
    float loadedScale;                 // 2 when the load reads the prepared file, 1 when it reads none
    std::vector<std::string> written;  // entries, from the home, that end up holding the new lines
    std::vector<std::string> removed;  // entries the load removes
    bool heldOpen = false;             // another program reads the file meanwhile (as Windows opens it)
};

struct HomeEntry {
    std::filesystem::file_type type;
    std::filesystem::perms perms;
    std::string content;  // a file's bytes, a link's target
    bool operator==(const HomeEntry&) const = default;
};

inline void PrintTo(const HomeEntry& entry, std::ostream* out) {
    *out << "{type " << static_cast<int>(entry.type) << ", mode " << std::oct << static_cast<unsigned>(entry.perms)
         << std::dec << ", \"" << entry.content.substr(0, 80) << "\"}";
}
inline void PrintTo(const SaveCase& save, std::ostream* out) { *out << save.name; }

inline std::map<std::string, HomeEntry> homeListing(const std::filesystem::path& root) {
    namespace fs = std::filesystem;
    std::map<std::string, HomeEntry> entries;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const fs::file_status status = entry.symlink_status();
        HomeEntry seen{status.type(), status.permissions(), {}};
        if (status.type() == fs::file_type::regular) seen.content = readFile(entry.path()).value_or("<unreadable>");
        if (status.type() == fs::file_type::symlink) seen.content = fs::read_symlink(entry.path()).string();
        entries[entry.path().lexically_relative(root).generic_string()] = seen;
    }
    return entries;
}

inline void checkSaveAsPlayer(const SaveCase& save) {
    namespace fs = std::filesystem;
    PluginSession session;
    session.modulePath = moduleForPlayer(session.modulePath);
    const fs::path root = session.home.root();
    save.prepare(root);
    handToPlayer(root);
    auto before = homeListing(root);
    std::ifstream reader;
    if (save.heldOpen) reader.open(session.home.configFile());
    EXPECT_TRUE(runAsPlayer([&] {
        session.load();
        const bool read = session.keyvane().scale.load() == save.loadedScale;
        const bool changed = session.host.execute("kvanescale 3").ok;
        session.unload();
        return read && changed;
    })) << "the load read another scale, or the save failed or blocked";
    reader.close();
    auto after = homeListing(root);
    const std::string text = configText("3.000000", save.loadedScale == 2.0f ? "0.500000" : "0.000000");
    for (const std::string& name : save.written) {
        ASSERT_EQ(after.count(name), 1u) << name;
        EXPECT_EQ(after[name].content, text) << name;
        if (before.count(name)) {
            EXPECT_EQ(after[name].perms, before[name].perms) << name;
        }
        before.erase(name);
        after.erase(name);
    }
    for (const std::string& name : save.removed) {
        EXPECT_EQ(after.count(name), 0u) << name;
        before.erase(name);
    }
    EXPECT_EQ(after, before) << "an entry the save had no business with changed";
    // Writable again, so that the scratch folder can go (a read-only file stays on Windows).
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        std::error_code ignored;
        if (!entry.is_symlink(ignored))
            fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, ignored);
    }
}

}  // namespace testsupport
