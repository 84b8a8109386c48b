#include "source_tree.h"

#include "member_names.h"
#include "zip_format.h"

#include <algorithm>
#include <map>
#include <system_error>
#include <utility>

namespace zorpack {
namespace fs = std::filesystem;

namespace {

std::string display(const fs::path& path) {
    try {
        return path.u8string();
    } catch (const std::exception&) {
        return "(unprintable name)";
    }
}

// Adds the entry for one directory item; folders are queued in `pending` to be read later.
bool addItem(const fs::directory_entry& item, const std::string& parentName,
             std::vector<SourceEntry>& entries,
             std::vector<std::pair<fs::path, std::string>>& pending, std::string& error) {
    const fs::path& path = item.path();
    std::string component;
    std::string problem;
    std::string utf8;
    try {
        utf8 = path.filename().u8string();
    } catch (const std::exception&) {
        error = display(path) + ": the name is not valid Unicode";
        return false;
    }
    if (!makeMemberComponent(utf8, component, problem)) {
        error = display(path) + ": cannot be packed: " + problem;
        return false;
    }

    std::error_code ec;
    const fs::file_status own = item.symlink_status(ec);
    const fs::file_status target = ec ? own : item.status(ec);
    if (ec) {
        error = display(path) + ": " + ec.message();
        return false;
    }
    SourceEntry entry;
    entry.path = path;
    if (fs::is_directory(target)) {
        if (fs::is_symlink(own)) {
            error = display(path) + ": symbolic links to folders are not packed";
            return false;
        }
        entry.isDirectory = true;
        entry.name = parentName + component + "/";
        pending.emplace_back(path, entry.name);
    } else if (fs::is_regular_file(target)) {
        entry.name = parentName + component;
        entry.size = fs::file_size(path, ec);
        if (ec) {
            error = display(path) + ": " + ec.message();
            return false;
        }
        if (entry.size > kMaxMemberSize) {
            error = display(path) + ": files of 4 GiB or more cannot be packed";
            return false;
        }
    } else {
        error = display(path) + ": only files and folders can be packed";
        return false;
    }
    if (entry.name.size() > kMaxNameLength) {
        error = display(path) + ": the member name is too long";
        return false;
    }
    if (!readFileFacts(path, entry.isDirectory, entry.facts, problem)) {
        error = display(path) + ": " + problem;
        return false;
    }
    entries.push_back(std::move(entry));
    return true;
}

// The launcher compares names ignoring case and Windows creates them ignoring case, so two
// members that differ only in case would overwrite one another.
bool checkCaseCollisions(const std::vector<SourceEntry>& entries, std::string& error) {
    std::map<std::string, const SourceEntry*> seen;
    for (const SourceEntry& entry : entries) {
        std::string key = foldCaseCp1252(entry.name);
        if (!key.empty() && key.back() == '/')
            key.pop_back();
        const auto inserted = seen.emplace(std::move(key), &entry);
        if (!inserted.second) {
            error = display(entry.path) + " and " + display(inserted.first->second->path) +
                    ": names that differ only in letter case would land on the same file";
            return false;
        }
    }
    return true;
}

} // namespace

bool scanSourceTree(const fs::path& root, std::vector<SourceEntry>& entries, std::string& error) {
    entries.clear();
    std::error_code ec;
    if (!fs::is_directory(root, ec)) {
        error = display(root) + ": no such folder";
        return false;
    }
    std::vector<std::pair<fs::path, std::string>> pending{{root, std::string()}};
    while (!pending.empty()) {
        const auto [folder, folderName] = std::move(pending.back());
        pending.pop_back();
        fs::directory_iterator it(folder, ec);
        for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
            if (!addItem(*it, folderName, entries, pending, error))
                return false;
            if (entries.size() > kMaxEntries) {
                error = display(root) + ": more than 65535 files and folders";
                return false;
            }
        }
        if (ec) {
            error = display(folder) + ": " + ec.message();
            return false;
        }
    }
    // Byte order of the names: a folder's name is a prefix of its members' names, so every
    // folder comes before what it holds.
    std::sort(entries.begin(), entries.end(),
              [](const SourceEntry& a, const SourceEntry& b) { return a.name < b.name; });
    return checkCaseCollisions(entries, error);
}

} // namespace zorpack
