#pragma once

#include "Message.h"

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace kqvdr {

// What to do with one supplied file when a data directory is seeded, from three SHA-256 sums:
// the user's copy (none when missing), the one this version supplies, and the one last supplied
// into this directory (none when no record of it exists).
enum class SuppliedFileAction {
    Copy,          // missing: copied
    UpToDate,      // the user's copy is the supplied one
    Update,        // the user's copy is the one supplied earlier, unchanged: replaced
    KeepOwn,       // the user's own version, already told about this supplied one: kept
    KeepOwnAndTell // the user's own version, and a supplied one the user has not heard of: kept
};

SuppliedFileAction suppliedFileAction(const std::optional<std::string>& users,
                                      const std::string& supplied,
                                      const std::optional<std::string>& lastSupplied);

// The record, in the data directory, of the supplied files last copied into it or offered to
// its user, as sha256sum writes it ("<sum>  <name>"), so that a newer version can tell the
// user's changes from its own.
class SuppliedRecord {
public:
    static constexpr const char* kFileName = "Supplied files.sha256";

    // An unreadable or damaged record counts as none: every differing file is then kept.
    static SuppliedRecord read(const std::filesystem::path& dir);
    std::error_code write(const std::filesystem::path& dir) const;

    std::optional<std::string> sumOf(const std::string& name) const;
    void set(const std::string& name, const std::string& sum);
    bool changed() const { return changed_; }

private:
    std::map<std::string, std::string> sums_;
    bool changed_ = false;
};

std::string sha256Hex(const std::string& content);

// Tells the user, once, which of their changed files this version supplies anew, and where.
MessageRequest newerSuppliedFilesMessage(const std::vector<std::string>& names,
                                         const std::filesystem::path& suppliedFrom,
                                         const std::string& caption);

} // namespace kqvdr
