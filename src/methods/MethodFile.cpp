#include "MethodFile.h"

#include "NumberText.h"

namespace kqvdr {

std::string defaultMethodsFileName(bool fineGasResolution) {
    return fineGasResolution ? "mDefault.mtd" : "Default.mtd";
}

std::string testMethodsFileName(bool fineGasResolution) {
    return fineGasResolution ? "mTest.mtd" : "Test.mtd";
}

const std::string& MethodFile::text(int method, MethodFileField field) const {
    const auto index =
        static_cast<std::size_t>(method - 1) * kStringsPerMethod + static_cast<std::size_t>(field);
    return strings.at(index);
}

MethodRecord MethodFile::record(int method) const {
    const auto number = [&](MethodFileField field) { return parseLeadingInt(text(method, field)); };
    MethodRecord result;
    result.number = method;
    result.name = text(method, MethodFileField::Name);
    result.description = text(method, MethodFileField::Description);
    result.evaporatorTemp = number(MethodFileField::Evaporator);
    result.nebuliserTemp = number(MethodFileField::Nebuliser);
    result.transferLineTemp = number(MethodFileField::TransferLine);
    result.gasFlow = number(MethodFileField::GasFlow);
    result.autozeroOffset = number(MethodFileField::Autozero);
    result.timeConstant = number(MethodFileField::TimeConstant);
    return result;
}

MethodFile readMethodFile(const std::filesystem::path& path) {
    ArchiveReadResult read = readArchiveFile(path, kMethodFileStrings);
    return {read.status, std::move(read.strings), read.error};
}

std::vector<std::string> methodFileStrings(const MethodTable& table) {
    std::vector<std::string> strings;
    strings.reserve(kMethodFileStrings);
    for (int method = 1; method <= kUserMethodCount; ++method) {
        const MethodRecord& record = table[static_cast<std::size_t>(method)];
        strings.push_back(std::to_string(record.number));
        strings.push_back(record.name);
        strings.push_back(record.description);
        for (const int value :
             {record.evaporatorTemp, record.nebuliserTemp, record.transferLineTemp, record.gasFlow,
              record.autozeroOffset, record.timeConstant}) {
            strings.push_back(std::to_string(value));
        }
    }
    return strings;
}

std::error_code writeMethodFile(const std::filesystem::path& path, const MethodTable& table) {
    return writeArchiveFile(path, methodFileStrings(table));
}

} // namespace kqvdr
