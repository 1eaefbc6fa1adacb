#include "DataFolderTexts.h"

namespace kqvdr {
namespace {

void appendList(std::string& text, std::string_view heading,
                const std::vector<std::string>& items) {
    if (items.empty()) {
        return;
    }
    text += "\n";
    text += heading;
    text += "\n";
    for (const std::string& item : items) {
        text += "    " + item + "\n";
    }
}

} // namespace

std::string alreadyRunningText(const std::string& folder, const LockHolder& holder) {
    std::string text(alreadyRunningMessage);
    text += "\n\n" + folder;
    if (holder.processId > 0) {
        text += "\n\nIt runs as process " + std::to_string(holder.processId);
        if (!holder.program.empty()) {
            text += " (" + holder.program + ")";
        }
        if (!holder.account.empty()) {
            text += " for " + holder.account;
        }
        text += ".";
    }
    return text;
}

std::string dataFolderText(const std::string& folder) {
    return "\nThe methods, logs, audit trail and usage counters are in\n\n" + folder + "\n";
}

std::string earlierDataCopyText(const EarlierDataCopy& copy, const std::string& earlierFolder,
                                const std::string& sharedFolder) {
    if (!copy.looked || (copy.copied.empty() && copy.kept.empty() && copy.failed.empty())) {
        return {};
    }
    std::string text = "\nKQ-VDR1000 Control now keeps its data for every account of this "
                       "computer in\n\n" +
                       sharedFolder + "\n\nIt looked once for your own data in\n\n" +
                       earlierFolder + "\n";
    appendList(text, "Copied to the shared folder:", copy.copied);
    appendList(text,
               "Not copied, because the shared folder has its own file of that name:", copy.kept);
    appendList(text, "Not copied, because of an error:", copy.failed);
    return text;
}

} // namespace kqvdr
