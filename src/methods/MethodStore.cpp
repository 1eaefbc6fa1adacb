#include "MethodStore.h"

#include "AuditSink.h"
#include "CommandTable.h"
#include "InstrumentState.h"
#include "MethodEditorFields.h"
#include "MethodEditorRules.h"
#include "MethodFile.h"
#include "MethodFileCheck.h"
#include "MethodLimits.h"
#include "MethodNames.h"
#include "NumberText.h"
#include "Operator.h"
#include "SendCommand.h"

#include <algorithm>
#include <array>

namespace kqvdr {
namespace {

constexpr const char* kDefaultsMissing =
    "The Default Methods file cannot be found for this operation.\n\nNo changes will be made to "
    "the current method settings.";
constexpr const char* kDefaultsDamaged =
    "The Default Methods file is damaged and cannot be read.\n\nNo changes will be made to the "
    "current method settings.";
constexpr const char* kCustomHasNoDefault =
    "Cannot reset Custom Method 0 as it has no default settings.";
constexpr const char* kMethodIdRange = "Method ID must be in the range 1 to 10";
constexpr const char* kSaveQuestion =
    "Are you sure you want to overwrite the saved\nmethod settings with the current methods";
constexpr const char* kSaved = "Successfully Saved All Method Settings";
constexpr const char* kMethodsMissing =
    "The Methods file cannot be found. Check that you have saved your methods.\n\nNo changes will "
    "be made to the current method settings.";
constexpr const char* kMethodsDamaged =
    "The Methods file is damaged and cannot be read. Save your methods again.\n\nNo changes will "
    "be made to the current method settings.";
constexpr const char* kLoaded = "Successfully Loaded Method Settings.";
constexpr const char* kResetQuestion = "Are you sure you want to reset all Factory Settings";
constexpr const char* kResetDone = "Successfully Reset All Factory Settings.";
constexpr const char* kTestMissing =
    "\nThe System Tests methods file cannot be found.\n\nA System Test will not be carried out.";
constexpr const char* kTestDamaged = "\nThe System Tests methods file is damaged and cannot be "
                                     "read.\n\nA System Test will not be carried out.";
constexpr const char* kNoChanges = "No changes will be made to the current method settings.";
constexpr const char* kNoTest = "A System Test will not be carried out.";

constexpr MethodStore::FileMessages kDefaultsMessages{kDefaultsMissing, kDefaultsDamaged,
                                                      kNoChanges};
constexpr MethodStore::FileMessages kMethodsMessages{kMethodsMissing, kMethodsDamaged, kNoChanges};
constexpr MethodStore::FileMessages kTestMessages{kTestMissing, kTestDamaged, kNoTest};

constexpr const char* kNamesDamaged =
    "The method names file \"Names.mtd\" is damaged and cannot be read.\n\nThe method names and "
    "descriptions have not been changed.";

constexpr const char* kNamesKept =
    "\n\nThe method names and descriptions have not been changed, and the file is not saved "
    "over while this program runs.";

constexpr const char* kNamesNotKept = "The method names and descriptions have not been saved.";
constexpr const char* kMethodsNotKept = "The method settings have not been saved.";
// The test's methods replace the operator's on the instrument, so a test without a copy of the
// operator's methods would lose them for good.
constexpr const char* kMethodsNotKeptForTest =
    "Your methods could not be kept aside, so the System Test will not be carried out.";

// The instrument factory reset sets the vapour sensitivity to this.
constexpr std::int16_t kFactoryVapourSensitivity = 2;

// The editor's fields that a default method fills straight from the file's texts.
struct FieldSource {
    EditorField field;
    MethodFileField source;
};
constexpr std::array<FieldSource, 7> kDefaultFieldTexts = {{
    {EditorField::Name, MethodFileField::Name},
    {EditorField::Description, MethodFileField::Description},
    {EditorField::Evaporator, MethodFileField::Evaporator},
    {EditorField::Nebuliser, MethodFileField::Nebuliser},
    {EditorField::TransferLine, MethodFileField::TransferLine},
    {EditorField::Autozero, MethodFileField::Autozero},
    {EditorField::TimeConstant, MethodFileField::TimeConstant},
}};

void takeNamesAndSetpoints(MethodRecord& target, const MethodRecord& source) {
    const int number = target.number;
    target = source;
    target.number = number;
}

} // namespace

void SendMethod(SerialDriver& driver, int address, int number, const MethodRecord& record) {
    // The instrument takes 16-bit words; larger values are cut to their low 16 bits.
    const std::array<std::int16_t, 7> words = {
        static_cast<std::int16_t>(number),
        static_cast<std::int16_t>(record.evaporatorTemp),
        static_cast<std::int16_t>(record.nebuliserTemp),
        static_cast<std::int16_t>(record.transferLineTemp),
        static_cast<std::int16_t>(record.gasFlow),
        static_cast<std::int16_t>(record.autozeroOffset),
        static_cast<std::int16_t>(record.timeConstant),
    };
    SendCommand(driver, address, code(Command::DownloadMethod), words);
}

MethodStore::MethodStore(InstrumentState& state, SerialDriver& driver, Operator& person,
                         MethodEditorFields& editor, const std::filesystem::path& programDir)
    : state_(state), driver_(driver), person_(person), editor_(editor), programDir_(programDir) {}

void MethodStore::message(const std::string& text, MessageIcon icon) {
    person_.message(text, icon, MessageButtons::Ok);
}

bool MethodStore::readMethodNames() {
    std::error_code error;
    const ArchiveReadStatus status = ReadMethodNames(programDir_, state_.methods, error);
    namesKept_ = status == ArchiveReadStatus::Unreadable;
    if (namesKept_) {
        message(unreadableFileText(kNamesFile, error) + kNamesKept, MessageIcon::Exclamation);
        return false;
    }
    if (status == ArchiveReadStatus::Damaged) {
        message(kNamesDamaged, MessageIcon::Exclamation);
        return false;
    }
    if (status == ArchiveReadStatus::Ok) {
        reportAudit(audit_, {AuditEventKind::MethodFileLoaded, kNamesFile, "", ""});
    }
    return true;
}

void MethodStore::reportWriteFailure(const char* fileName, std::error_code error,
                                     const char* consequence) {
    message(std::string("\nThe file \"") + fileName +
                "\" cannot be written in the program directory (" + error.message() + ").\n\n" +
                consequence,
            MessageIcon::Stop);
}

bool MethodStore::writeMethodNames() {
    if (namesKept_) {
        return false; // the operator was told at the start that it stays as it is
    }
    if (const auto error = WriteMethodNames(programDir_, state_.methods)) {
        reportWriteFailure(kNamesFile, error, kNamesNotKept);
        return false;
    }
    reportAudit(audit_, {AuditEventKind::MethodFileSaved, kNamesFile, "", ""});
    return true;
}

bool MethodStore::writeMethodsFile(const char* consequence) {
    if (const auto error = writeMethodFile(file(kMethodsFile), state_.methods)) {
        reportWriteFailure(kMethodsFile, error, consequence);
        return false;
    }
    reportAudit(audit_, {AuditEventKind::MethodFileSaved, kMethodsFile, "", ""});
    return true;
}

void MethodStore::sendMethod(int number) {
    if (number < 0 || number >= kMethodCount) {
        return;
    }
    SendMethod(driver_, state_.deviceId(), number,
               state_.methods[static_cast<std::size_t>(number)]);
}

void MethodStore::sendUserMethods() {
    for (int number = 1; number <= kUserMethodCount; ++number) {
        sendMethod(number);
    }
}

std::optional<MethodFile> MethodStore::readUsable(const std::string& name,
                                                  const FileMessages& messages) {
    MethodFile methods = readMethodFile(file(name));
    switch (methods.status) {
    case ArchiveReadStatus::Ok:
        break;
    case ArchiveReadStatus::CannotOpen:
        message(messages.missing, MessageIcon::Exclamation);
        return std::nullopt;
    case ArchiveReadStatus::Unreadable:
        message(unreadableFileText(name, methods.error) + "\n\n" + messages.consequence,
                MessageIcon::Exclamation);
        return std::nullopt;
    case ArchiveReadStatus::Damaged:
        message(messages.damaged, MessageIcon::Exclamation);
        return std::nullopt;
    }
    // Unchecked, 99999 would reach the instrument as a wrapped 16-bit word.
    if (const auto problem = methodFileProblem(methods, state_.fineGasResolution)) {
        message("\nThe file \"" + name + "\" holds a value the instrument cannot take: " +
                    *problem + ".\n\n" + messages.consequence,
                MessageIcon::Exclamation);
        return std::nullopt;
    }
    reportAudit(audit_, {AuditEventKind::MethodFileLoaded, name, "", ""});
    return methods;
}

void MethodStore::takeFileMethods(const MethodFile& methods) {
    for (int number = 1; number <= kUserMethodCount; ++number) {
        takeNamesAndSetpoints(state_.methods[static_cast<std::size_t>(number)],
                              methods.record(number));
    }
}

// The editor reloads only on a change of the spinner's value, so a method it may already show
// is reached through another number: otherwise it would keep the old name and description, and
// the next Send would write them back.
void MethodStore::showInEditor(int number) {
    if (parseLeadingInt(editor_.fieldText(EditorField::Number)) == number ||
        parseLeadingInt(editor_.methodSpinnerText()) == number) {
        editor_.setMethodSpinner(number == 0 ? 1 : 0);
    }
    editor_.setMethodSpinner(number);
}

void MethodStore::applyMethodFile(const MethodFile& methods) {
    takeFileMethods(methods);
    writeMethodNames();
    sendUserMethods();
    if (state_.editorOpen) {
        showInEditor(1);
    }
    editor_.refreshForm();
}

void MethodStore::resetMethodToDefault() {
    const auto defaults =
        readUsable(defaultMethodsFileName(state_.fineGasResolution), kDefaultsMessages);
    if (!defaults) {
        return;
    }
    const int number = parseLeadingInt(editor_.methodSpinnerText());
    if (number < 0 || number >= kMethodCount) {
        return;
    }
    if (number == 0) {
        message(kCustomHasNoDefault, MessageIcon::Exclamation);
    } else {
        MethodRecord& record = state_.methods[static_cast<std::size_t>(number)];
        takeNamesAndSetpoints(record, defaults->record(number));
        for (const FieldSource& text : kDefaultFieldTexts) {
            editor_.setFieldText(text.field, defaults->text(number, text.source));
        }
        editor_.setFieldText(EditorField::GasFlow,
                             gasFlowText(record.gasFlow, state_.fineGasResolution));
        editor_.refreshForm();
    }
    writeMethodNames();
    sendMethod(number);
}

void MethodStore::saveMethodAs() {
    SaveMethodAsChoice initial;
    if (parseLeadingInt(editor_.fieldText(EditorField::Number)) == 0) {
        initial.methodId = "1";
    } else {
        initial.methodId = editor_.fieldText(EditorField::Number);
        initial.methodName = editor_.fieldText(EditorField::Name);
        initial.methodDescription = editor_.fieldText(EditorField::Description);
    }
    const SaveMethodAsChoice choice = editor_.runSaveMethodAsDialog(initial);
    if (!choice.accepted) {
        return;
    }
    // Save pressed from the keyboard skips the dialog's own check on leaving the number field.
    int number = parseLeadingInt(choice.methodId);
    if (!kUserMethodRange.contains(number)) {
        message(kMethodIdRange, MessageIcon::Exclamation);
        number = std::clamp(number, kUserMethodRange.minimum, kUserMethodRange.maximum);
    }
    MethodRecord& record = state_.methods[static_cast<std::size_t>(number)];
    MethodRecord setpoints = setpointsFromFields(editor_, state_.fineGasResolution);
    setpoints.number = record.number;
    setpoints.name = record.name;
    setpoints.description = record.description;
    record = setpoints;
    sendMethod(number);
    record.name = choice.methodName;
    record.description = choice.methodDescription;
    writeMethodNames();
    showInEditor(number);
}

void MethodStore::selectMethod(int number) {
    const std::int16_t method[] = {static_cast<std::int16_t>(number)};
    SendCommand(driver_, state_.deviceId(), code(Command::SelectMethod), method);
}

void MethodStore::sendAndSelect(int number) {
    if (number < 1 || number >= kMethodCount) {
        return;
    }
    sendMethod(number);
    selectMethod(number);
}

bool MethodStore::storeMethod(int number, const MethodRecord& record) {
    if (number < 1 || number >= kMethodCount) {
        return false;
    }
    MethodRecord& kept = state_.methods[static_cast<std::size_t>(number)];
    const int tableNumber = kept.number;
    kept = record;
    kept.number = tableNumber;
    sendMethod(number);
    return writeMethodNames();
}

void MethodStore::requestMethodTable() {
    SendCommand(driver_, state_.deviceId(), code(Command::RequestMethodTable));
}

void MethodStore::sendEditorMethod() {
    const int number = parseLeadingInt(editor_.fieldText(EditorField::Number));
    if (number < 0 || number >= kMethodCount) {
        return;
    }
    MethodRecord& record = state_.methods[static_cast<std::size_t>(number)];
    record.name = editor_.fieldText(EditorField::Name);
    record.description = editor_.fieldText(EditorField::Description);
    // The table keeps its setpoints until the instrument reports the method back.
    SendMethod(driver_, state_.deviceId(), number,
               setpointsFromFields(editor_, state_.fineGasResolution));
    if (number != 0) {
        selectMethod(number);
        writeMethodNames();
    }
}

void MethodStore::saveMethods() {
    if (person_.message(kSaveQuestion, MessageIcon::Question, MessageButtons::YesNo) !=
        MessageAnswer::Yes) {
        return;
    }
    // Announcing success after a failed write would tell the operator the methods are safe.
    if (writeMethodsFile(kMethodsNotKept)) {
        message(kSaved, MessageIcon::Information);
    }
}

bool MethodStore::loadMethods(Announce announce) {
    const auto saved = readUsable(kMethodsFile, kMethodsMessages);
    if (!saved) {
        return false;
    }
    applyMethodFile(*saved);
    if (announce == Announce::Success) {
        message(kLoaded, MessageIcon::Information);
    }
    return true;
}

void MethodStore::resetFactorySettings() {
    if (person_.message(kResetQuestion, MessageIcon::Question, MessageButtons::YesNo) !=
        MessageAnswer::Yes) {
        return;
    }
    if (const auto defaults =
            readUsable(defaultMethodsFileName(state_.fineGasResolution), kDefaultsMessages)) {
        applyMethodFile(*defaults);
        message(kResetDone, MessageIcon::Information);
    }
    // The vapour sensitivity is reset whether or not the methods could be.
    const std::int16_t sensitivity[] = {kFactoryVapourSensitivity};
    SendCommand(driver_, state_.deviceId(), code(Command::SetVapourSensitivity), sensitivity);
}

bool MethodStore::loadSystemTestMethods(bool keepSaved,
                                        const std::function<bool()>& beforeSending) {
    if (!keepSaved && !writeMethodsFile(kMethodsNotKeptForTest)) {
        return false;
    }
    const auto tests = readUsable(testMethodsFileName(state_.fineGasResolution), kTestMessages);
    if (!tests || (beforeSending && !beforeSending())) {
        return false;
    }
    takeFileMethods(*tests);
    sendUserMethods();
    return true;
}

} // namespace kqvdr
