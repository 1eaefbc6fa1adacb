#include "EarlierDataCopy.h"

#include "DataFolderLock.h"
#include "FileReplace.h"
#include "Utf8Path.h"

#include <algorithm>
#include <random>

namespace kqvdr {
namespace {

namespace fs = std::filesystem;

// The program's own leftovers are no one's data: a lock, and the temporary file of a save
// that was cut short ("Names.mtd.tmp123456").
bool isLeftover(const std::string& name) {
    if (name == kDataFolderLockFile || name == kEarlierDataNoteFile) {
        return true;
    }
    const auto at = name.rfind(".tmp");
    if (at == std::string::npos || at + 4 == name.size()) {
        return false;
    }
    return name.find_first_not_of("0123456789", at + 4) == std::string::npos;
}

// The server's private key is the account's own; in a folder every account reads it would be
// no longer private. A new one is made where it is missing.
bool isPrivateKey(const std::string& name) {
    return name == "sila-server.key";
}

std::error_code copyWithoutOverwriting(const fs::path& from, const fs::path& to) {
    std::random_device entropy;
    fs::path temporary = to;
    temporary += ".tmp" + std::to_string(entropy() % 1000000);
    std::error_code error;
    fs::copy_file(from, temporary, fs::copy_options::none, error);
    if (!error && fs::exists(to, error)) {
        error = std::make_error_code(std::errc::file_exists);
    }
    if (!error) {
        fs::rename(temporary, to, error);
    }
    if (error) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
    }
    return error;
}

std::string noteText(const EarlierDataCopy& copy, const fs::path& shared) {
    std::string text =
        "KQ-VDR1000 Control keeps its data for every account of this computer in\r\n" +
        utf8FromPath(shared) + "\r\n\r\nCopied there from this folder:\r\n";
    for (const std::string& name : copy.copied) {
        text += "    " + name + "\r\n";
    }
    if (!copy.kept.empty()) {
        text += "\r\nNot copied, because the shared folder had its own:\r\n";
        for (const std::string& name : copy.kept) {
            text += "    " + name + "\r\n";
        }
    }
    if (!copy.failed.empty()) {
        text += "\r\nNot copied, because of an error:\r\n";
        for (const std::string& name : copy.failed) {
            text += "    " + name + "\r\n";
        }
    }
    return text;
}

} // namespace

EarlierDataCopy copyEarlierData(const fs::path& earlier, const fs::path& shared) {
    EarlierDataCopy copy;
    std::error_code error;
    if (earlier.empty() || !fs::is_directory(earlier, error) ||
        fs::exists(earlier / kEarlierDataNoteFile, error) ||
        fs::equivalent(earlier, shared, error)) {
        return copy;
    }
    copy.looked = true;
    std::vector<fs::path> files;
    for (fs::directory_iterator entry(earlier, error), end; !error && entry != end;
         entry.increment(error)) {
        std::error_code ignored;
        if (entry->is_regular_file(ignored)) {
            files.push_back(entry->path());
        }
    }
    if (error) {
        copy.failed.push_back(utf8FromPath(earlier) + ": " + error.message());
        return copy;
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        const std::string name = utf8FromPath(file.filename());
        if (isLeftover(name) || isPrivateKey(name)) {
            continue;
        }
        std::error_code ignored;
        if (fs::exists(shared / file.filename(), ignored)) {
            copy.kept.push_back(name);
        } else if (const auto failed = copyWithoutOverwriting(file, shared / file.filename())) {
            copy.failed.push_back(name + ": " + failed.message());
        } else {
            copy.copied.push_back(name);
        }
    }
    // Written even after a failure: the message names it once, and the files stay where they
    // were for the person to copy by hand.
    if (const auto noteError =
            replaceFileContent(earlier / kEarlierDataNoteFile, noteText(copy, shared))) {
        copy.failed.push_back(std::string(kEarlierDataNoteFile) + ": " + noteError.message());
    }
    return copy;
}

} // namespace kqvdr
