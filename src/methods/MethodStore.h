#pragma once

#include "Message.h"
#include "MethodRecord.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <system_error>

namespace kqvdr {

class AuditSink;
class MethodEditorFields;
class Operator;
class SerialDriver;
struct InstrumentState;
struct MethodFile;

// Sends the record as method `number` (code 31). Fire-and-forget. The number is the record's
// place in the table, not its `number` field, which stays 0 until the instrument's method table
// arrives and would otherwise overwrite the custom method.
void SendMethod(SerialDriver& driver, int address, int number, const MethodRecord& record);

// The method operations of the menus, the editor and the system test: "Names.mtd", the method
// files and the transfer of methods to the instrument. Files live in programDir. A damaged file
// is refused before anything changes; a file that cannot be written is reported and the
// operation goes on.
class MethodStore {
public:
    MethodStore(InstrumentState& state, SerialDriver& driver, Operator& person,
                MethodEditorFields& editor, const std::filesystem::path& programDir);

    // Method files read and written are reported here when set.
    void setAuditSink(AuditSink* sink) { audit_ = sink; }

    // Names and descriptions from "Names.mtd", the default names when it is missing. False,
    // with a message, when it is damaged or cannot be read; one that cannot be read is then
    // never saved over.
    bool readMethodNames();
    // False, with a message, when the file cannot be written; false without one when it could
    // not be read at the start.
    bool writeMethodNames();
    void sendMethod(int number);

    // Asks the instrument for its method table (code 30); the poll stores the answer.
    void requestMethodTable();
    // The editor's "Send": the editor's method to the instrument and, unless it is the custom
    // method 0, made the current method with its name kept in "Names.mtd".
    void sendEditorMethod();

    // Makes user method `number` the instrument's current method (code 9).
    void selectMethod(int number);
    // The editor's "Send" for a method as the table holds it: sent and made current.
    void sendAndSelect(int number);
    // Keeps `record` as method `number` (its name and description in "Names.mtd") and sends its
    // setpoints to the instrument, as "Save As" does with the editor's fields. False when the
    // names could not be written; the method has been sent all the same.
    bool storeMethod(int number, const MethodRecord& record);

    // The editor's "Default" and "Save As" buttons.
    void resetMethodToDefault();
    void saveMethodAs();

    // File menu "Save Methods" and "Load Methods"; the system test reloads without a message.
    enum class Announce { Success, Silently };
    void saveMethods();
    // True when the saved methods were read and sent.
    bool loadMethods(Announce announce = Announce::Success);

    // Edit menu "Reset Factory Settings".
    void resetFactorySettings();

    // Keeps the operator's methods in "Methods.mtd" and loads the system-test methods. With
    // `keepSaved` the file already holds the operator's set, which was never sent back, and is
    // not written over. `beforeSending` runs once the test methods have been read and before the
    // first is sent; false stops there. False, with a message, when the test must not start.
    bool loadSystemTestMethods(bool keepSaved = false,
                               const std::function<bool()>& beforeSending = {});

    // What the operator is told when a method file cannot be used.
    struct FileMessages {
        const char* missing;
        const char* damaged;
        const char* consequence; // of a file whose values the instrument cannot take
    };

private:
    std::filesystem::path file(const std::string& name) const { return programDir_ / name; }
    // The file when it is there, well formed and within the editor's limits; otherwise the
    // operator is told why and nothing is returned.
    std::optional<MethodFile> readUsable(const std::string& name, const FileMessages& messages);
    void applyMethodFile(const MethodFile& methods);
    void showInEditor(int number);
    void takeFileMethods(const MethodFile& methods);
    void sendUserMethods();
    bool writeMethodsFile(const char* consequence);
    void reportWriteFailure(const char* fileName, std::error_code error, const char* consequence);
    void message(const std::string& text, MessageIcon icon);

    InstrumentState& state_;
    SerialDriver& driver_;
    Operator& person_;
    MethodEditorFields& editor_;
    const std::filesystem::path& programDir_;
    AuditSink* audit_ = nullptr;
    bool namesKept_ = false; // Names.mtd is there but cannot be read: never saved over
};

} // namespace kqvdr
