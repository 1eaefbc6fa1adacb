#include "SuppliedFiles.h"

#include "FileReplace.h"
#include "Sha256.h"
#include "Utf8Path.h"

#include <sstream>

namespace kqvdr {
namespace {

constexpr std::size_t kMaxRecordBytes = 64 * 1024;
constexpr std::size_t kSumLength = 64;

bool isSum(const std::string& text) {
    return text.size() == kSumLength &&
           text.find_first_not_of("0123456789abcdef") == std::string::npos;
}

} // namespace

SuppliedFileAction suppliedFileAction(const std::optional<std::string>& users,
                                      const std::string& supplied,
                                      const std::optional<std::string>& lastSupplied) {
    if (!users) {
        return SuppliedFileAction::Copy;
    }
    if (*users == supplied) {
        return SuppliedFileAction::UpToDate;
    }
    if (lastSupplied && *users == *lastSupplied) {
        return SuppliedFileAction::Update;
    }
    return lastSupplied == supplied ? SuppliedFileAction::KeepOwn
                                    : SuppliedFileAction::KeepOwnAndTell;
}

SuppliedRecord SuppliedRecord::read(const std::filesystem::path& dir) {
    SuppliedRecord record;
    std::string content;
    if (readWholeFile(dir / kFileName, content, kMaxRecordBytes)) {
        return record;
    }
    std::istringstream lines(content);
    std::string line;
    while (std::getline(lines, line)) {
        const std::string sum = line.substr(0, kSumLength);
        if (line.size() > kSumLength + 2 && isSum(sum) && line.compare(kSumLength, 2, "  ") == 0) {
            record.sums_[line.substr(kSumLength + 2)] = sum;
        }
    }
    return record;
}

std::error_code SuppliedRecord::write(const std::filesystem::path& dir) const {
    std::string content;
    for (const auto& [name, sum] : sums_) {
        content += sum + "  " + name + "\n";
    }
    return replaceFileContent(dir / kFileName, content);
}

std::optional<std::string> SuppliedRecord::sumOf(const std::string& name) const {
    const auto found = sums_.find(name);
    return found == sums_.end() ? std::nullopt : std::optional(found->second);
}

void SuppliedRecord::set(const std::string& name, const std::string& sum) {
    std::string& kept = sums_[name];
    changed_ = changed_ || kept != sum;
    kept = sum;
}

std::string sha256Hex(const std::string& content) {
    return Sha256::hex(Sha256::of(content));
}

MessageRequest newerSuppliedFilesMessage(const std::vector<std::string>& names,
                                         const std::filesystem::path& suppliedFrom,
                                         const std::string& caption) {
    std::string list;
    for (const std::string& name : names) {
        list += "    " + name + "\n";
    }
    return {caption,
            "This version comes with new versions of files you have changed:\n\n" + list +
                "\nYour own versions were kept. The new ones are in " + utf8FromPath(suppliedFrom) +
                ".",
            MessageIcon::Information, MessageButtons::Ok};
}

} // namespace kqvdr
