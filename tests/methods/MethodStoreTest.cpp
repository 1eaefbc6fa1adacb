#include "ArchiveFile.h"
#include "MethodNames.h"
#include "MethodWorld.h"

#include <filesystem>
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace kqvdr {
namespace {

using test::MethodWorld;
using test::numberedMethods;
using test::readBytes;
using test::writeBytes;

// An archived string of fewer than 255 bytes.
std::string lp(const std::string& text) {
    return static_cast<char>(text.size()) + text;
}

void writeMethods(const std::filesystem::path& path, const MethodTable& table) {
    ASSERT_FALSE(writeMethodFile(path, table));
}

std::string methodsBytes(const MethodTable& table) {
    std::string bytes;
    for (const std::string& text : methodFileStrings(table)) {
        bytes += lp(text);
    }
    return bytes;
}

// Ways a file that opens can still be unusable.
struct Damage {
    const char* name;
    std::string (*apply)(std::string bytes);
};
const Damage kDamages[] = {
    {"EmptyFile", [](std::string) { return std::string(); }},
    {"OneStringShort",
     [](std::string bytes) {
         // The last string of a method file is the one-digit time constant.
         return bytes.substr(0, bytes.size() - 2);
     }},
    {"LengthRunsPastTheEnd",
     [](std::string bytes) {
         bytes[bytes.size() - 2] = 9;
         return bytes;
     }},
    {"LongLengthRunsPastTheEnd",
     [](std::string bytes) {
         return bytes.substr(0, bytes.size() - 2) + std::string("\xFF\x10\x00", 3) + "1";
     }},
};

// Bytes cut after the given number of complete strings.
std::string firstStrings(const std::string& bytes, std::size_t count) {
    std::size_t pos = 0;
    for (std::size_t i = 0; i < count; ++i) {
        pos += 1 + static_cast<unsigned char>(bytes[pos]);
    }
    return bytes.substr(0, pos);
}

TEST(MethodNames, MissingFileGivesTheDefaultNamesAndIsNotCreated) {
    MethodWorld world;
    EXPECT_TRUE(world.store.readMethodNames());
    EXPECT_EQ(world.state.methods[0].name, "Custom Method");
    EXPECT_EQ(world.state.methods[0].description, "Custom Settings");
    for (int n = 1; n <= 10; ++n) {
        EXPECT_EQ(world.state.methods[n].name, "No Name");
        EXPECT_EQ(world.state.methods[n].description, "No Method");
    }
    EXPECT_FALSE(std::filesystem::exists(world.dir.file("Names.mtd")));
    EXPECT_TRUE(world.person.messages.empty());
}

TEST(MethodNames, DamagedFileIsRefusedWithAMessageAndChangesNoName) {
    std::string good;
    for (int i = 0; i < 22; ++i) {
        good += lp("Name " + std::to_string(i));
    }
    const std::pair<const char*, std::string> files[] = {
        {"TwentyOneStrings", firstStrings(good, 21)},
        {"LengthRunsPastTheEnd", good.substr(0, good.size() - 1)},
        {"Empty", ""},
    };
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        MethodWorld world;
        world.state.methods = numberedMethods("Kept");
        writeBytes(world.dir.file("Names.mtd"), bytes);

        EXPECT_FALSE(world.store.readMethodNames());
        ASSERT_EQ(world.person.messages.size(), 1u);
        EXPECT_EQ(world.person.messages[0].icon, MessageIcon::Exclamation);
        EXPECT_NE(world.person.messages[0].text.find("damaged"), std::string::npos);
        EXPECT_EQ(world.state.methods[3].name, "Kept 3");
        EXPECT_EQ(world.state.methods[0].name, "");
    }
}

#ifndef _WIN32
// A names file that cannot be read must not be taken for a missing one: the defaults would then
// be written over the real names at the next save.
TEST(MethodNames, AFileThatCannotBeReadIsReportedWithItsReasonAndNeverSavedOver) {
    MethodWorld world;
    world.state.methods = numberedMethods("Kept");
    ASSERT_EQ(::mkfifo(world.dir.file("Names.mtd").c_str(), 0600), 0);
    EXPECT_FALSE(world.store.readMethodNames());
    ASSERT_EQ(world.person.messages.size(), 1u);
    EXPECT_EQ(world.person.messages[0].text.rfind(
                  "\nThe file \"Names.mtd\" cannot be read (not a plain file).", 0),
              0u)
        << world.person.messages[0].text;
    EXPECT_EQ(world.state.methods[3].name, "Kept 3");
    EXPECT_FALSE(world.store.writeMethodNames());
    EXPECT_TRUE(std::filesystem::is_fifo(world.dir.file("Names.mtd")));
}
#endif

TEST(LoadMethods, AFileThatCannotBeReadGivesTheSystemsReasonNotCannotBeFound) {
    MethodWorld world;
    std::filesystem::create_directory(world.dir.file("Methods.mtd"));
    world.store.loadMethods();
    EXPECT_EQ(world.messageTexts(),
              std::vector<std::string>{"\nThe file \"Methods.mtd\" cannot be read (Is a "
                                       "directory).\n\nNo changes will be made to the current "
                                       "method settings."});
    EXPECT_TRUE(world.driver.written.empty());
}

TEST(SaveMethodAs, NamesFileAfterSavingMethod3AsGradientHoldsIt7thPrecededByItsLength) {
    MethodWorld world;
    world.store.readMethodNames();
    world.editor.fields = {{EditorField::Number, "5"},        {EditorField::Name, "Old"},
                           {EditorField::Evaporator, "60"},   {EditorField::Nebuliser, "45"},
                           {EditorField::TransferLine, "50"}, {EditorField::GasFlow, "1.6"},
                           {EditorField::Autozero, "2"},      {EditorField::TimeConstant, "1"}};
    world.editor.dialogAnswer = {true, "3", "Gradient", "Water to methanol"};
    world.store.saveMethodAs();

    std::string expected = lp("Custom Method") + lp("Custom Settings");
    for (int n = 1; n <= 10; ++n) {
        expected +=
            n == 3 ? lp("Gradient") + lp("Water to methanol") : lp("No Name") + lp("No Method");
    }
    EXPECT_EQ(readBytes(world.dir.file("Names.mtd")), expected);
    EXPECT_EQ(expected.substr(2 + 13 + 15 + 2 * (8 + 10), 9), "\x08"
                                                              "Gradient");
}

TEST(SaveMethodAs, SendsTheEditorsSetpointsUnderTheChosenNumberThenShowsIt) {
    struct Case {
        const char* name;
        bool fine;
        const char* gasText;
        int gasWord;
    };
    const Case cases[] = {{"Standard", false, "1.1", 11},
                          {"Fine", true, "0.07", 7},
                          {"FineRoundsToNearest", true, "0.456", 46},
                          {"StandardRoundsToNearest", false, "1.04", 10}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MethodWorld world;
        world.state.fineGasResolution = c.fine;
        world.editor.fields = {{EditorField::Number, "2"},        {EditorField::Evaporator, "60"},
                               {EditorField::Nebuliser, "45"},    {EditorField::TransferLine, "50"},
                               {EditorField::GasFlow, c.gasText}, {EditorField::Autozero, "2"},
                               {EditorField::TimeConstant, "3"}};
        world.editor.dialogAnswer = {true, "7", "Lipids", "CHCl3"};
        world.store.saveMethodAs();

        const auto frames = world.sent();
        ASSERT_EQ(frames.size(), 1u);
        EXPECT_EQ(frames[0].code, 31);
        EXPECT_EQ(frames[0].address, 5);
        EXPECT_EQ(frames[0].words, (std::vector<int>{7, 60, 45, 50, c.gasWord, 2, 3}));
        EXPECT_EQ(world.state.methods[7].name, "Lipids");
        EXPECT_EQ(world.state.methods[7].gasFlow, c.gasWord);
        EXPECT_EQ(world.editor.spinnerSets, std::vector<int>{7});
        EXPECT_TRUE(world.person.messages.empty());
    }
}

// A remote client's method: kept with its name, its setpoints sent, and only on SendMethod
// made current; numbers outside the user methods send nothing.
TEST(RemoteMethods, StoreSendsTheSetpointsKeepsTheNameAndSendAndSelectMakesItCurrent) {
    MethodWorld world;
    MethodRecord record;
    record.name = "Lipids";
    record.description = "CHCl3";
    record.evaporatorTemp = 60;
    record.nebuliserTemp = 45;
    record.transferLineTemp = 50;
    record.gasFlow = 11;
    record.autozeroOffset = 2;
    record.timeConstant = 3;
    EXPECT_TRUE(world.store.storeMethod(7, record));
    auto frames = world.sent();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].code, 31);
    EXPECT_EQ(frames[0].words, (std::vector<int>{7, 60, 45, 50, 11, 2, 3}));
    EXPECT_EQ(world.state.methods[7].name, "Lipids");
    EXPECT_NE(test::readBytes(world.dir.file("Names.mtd")).find("Lipids"), std::string::npos);

    world.store.sendAndSelect(7);
    frames = world.sent();
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[1].code, 31);
    EXPECT_EQ(frames[2].code, 9);
    EXPECT_EQ(frames[2].words, std::vector<int>{7});

    for (const int outside : {0, 11, -1}) {
        EXPECT_FALSE(world.store.storeMethod(outside, record)) << outside;
        world.store.sendAndSelect(outside);
    }
    EXPECT_EQ(world.sent().size(), 3u);
    EXPECT_TRUE(world.person.messages.empty());
}

// Saved under the number the editor already shows, the spinner would not change and the editor
// would keep the old name, which the next Send writes back.
TEST(SaveMethodAs, UnderTheNumberAlreadyShownTheEditorIsStillReloaded) {
    const struct {
        const char* shownNumber;
        const char* spinner;
        const char* chosen;
        std::vector<int> sets;
    } cases[] = {{"1", "1", "1", {0, 1}},
                 {"4", "4", "1", {1}},
                 {"1", "4", "1", {0, 1}},
                 {"4", "1", "1", {0, 1}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.shownNumber) + " " + c.spinner + " -> " + c.chosen);
        MethodWorld world;
        world.editor.fields = {
            {EditorField::Number, c.shownNumber}, {EditorField::Name, "Old"},
            {EditorField::Evaporator, "60"},      {EditorField::Nebuliser, "45"},
            {EditorField::TransferLine, "50"},    {EditorField::GasFlow, "1.0"},
            {EditorField::Autozero, "2"},         {EditorField::TimeConstant, "3"}};
        world.editor.spinnerText = c.spinner;
        world.editor.dialogAnswer = {true, c.chosen, "Gradient", "Steep"};
        world.store.saveMethodAs();
        EXPECT_EQ(world.editor.spinnerSets, c.sets);
        EXPECT_EQ(world.state.methods[1].name, "Gradient");
    }
}

TEST(SaveMethodAs, DialogStartsFromTheEditorOrFromMethod1ForTheCustomMethod) {
    struct Case {
        const char* number;
        SaveMethodAsChoice expected;
    };
    const Case cases[] = {{"0", {false, "1", "", ""}},
                          {"0 ", {false, "1", "", ""}},
                          {"4", {false, "4", "Sugars", "HILIC"}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number);
        MethodWorld world;
        world.editor.fields = {{EditorField::Number, c.number},
                               {EditorField::Name, "Sugars"},
                               {EditorField::Description, "HILIC"}};
        world.store.saveMethodAs();
        ASSERT_TRUE(world.editor.dialogOpenedWith);
        EXPECT_EQ(world.editor.dialogOpenedWith->methodId, c.expected.methodId);
        EXPECT_EQ(world.editor.dialogOpenedWith->methodName, c.expected.methodName);
        EXPECT_EQ(world.editor.dialogOpenedWith->methodDescription, c.expected.methodDescription);
        // Cancelled: nothing is sent, stored or reloaded.
        EXPECT_TRUE(world.driver.written.empty());
        EXPECT_FALSE(std::filesystem::exists(world.dir.file("Names.mtd")));
        EXPECT_TRUE(world.editor.spinnerSets.empty());
    }
}

TEST(SaveMethodAs, NumberOutsideOneToTenFromTheKeyboardIsClampedWithItsMessageBeforeSaving) {
    const std::pair<const char*, int> cases[] = {
        {"0", 1}, {"", 1}, {"12", 10}, {"99", 10}, {"-3", 1}};
    for (const auto& [typed, saved] : cases) {
        SCOPED_TRACE(typed);
        MethodWorld world;
        world.editor.fields = {{EditorField::Number, "2"}, {EditorField::Evaporator, "60"}};
        world.editor.dialogAnswer = {true, typed, "Name", "Description"};
        world.store.saveMethodAs();

        ASSERT_EQ(world.person.messages.size(), 1u);
        EXPECT_EQ(world.person.messages[0].text, "Method ID must be in the range 1 to 10");
        EXPECT_EQ(world.person.messages[0].icon, MessageIcon::Exclamation);
        EXPECT_EQ(world.sentMethods(), std::vector<int>{saved});
        EXPECT_EQ(world.state.methods[saved].name, "Name");
        EXPECT_EQ(world.state.methods[0].name, "") << "the custom method is never overwritten";
        EXPECT_EQ(world.editor.spinnerSets, std::vector<int>{saved});
    }
}

TEST(SaveMethods, MethodsFileStartsWithMethod1sNumberAndNameAndHoldsAllTen) {
    MethodWorld world;
    world.state.methods = numberedMethods("Method");
    world.store.saveMethods();

    const std::string bytes = readBytes(world.dir.file("Methods.mtd"));
    EXPECT_EQ(bytes.substr(0, 2), "\x01\x31");
    EXPECT_EQ(bytes.substr(2, 9), lp("Method 1"));
    EXPECT_EQ(bytes, methodsBytes(world.state.methods));
    ASSERT_EQ(world.person.messages.size(), 2u);
    EXPECT_EQ(world.person.messages[0].text,
              "Are you sure you want to overwrite the saved\nmethod settings with the current "
              "methods");
    EXPECT_EQ(world.person.messages[0].icon, MessageIcon::Question);
    EXPECT_EQ(world.person.messages[1].text, "Successfully Saved All Method Settings");
    EXPECT_EQ(world.person.messages[1].icon, MessageIcon::Information);
    EXPECT_TRUE(world.driver.written.empty());
}

TEST(MethodConfirmations, AnsweringNoChangesNothing) {
    const std::pair<const char*, void (*)(MethodWorld&)> cases[] = {
        {"SaveMethods", [](MethodWorld& w) { w.store.saveMethods(); }},
        {"ResetFactorySettings", [](MethodWorld& w) { w.store.resetFactorySettings(); }},
    };
    for (const auto& [name, run] : cases) {
        SCOPED_TRACE(name);
        MethodWorld world;
        writeBytes(world.dir.file("Methods.mtd"), "old");
        writeMethods(world.dir.file("Default.mtd"), numberedMethods("Default"));
        world.person.answerYes = false;
        run(world);
        EXPECT_EQ(readBytes(world.dir.file("Methods.mtd")), "old");
        EXPECT_TRUE(world.driver.written.empty());
        EXPECT_EQ(world.person.messages.size(), 1u);
        EXPECT_EQ(world.state.methods[1].name, "");
    }
}

TEST(SaveMethods, FileThatCannotBeWrittenIsReportedInsteadOfSuccess) {
    MethodWorld world;
    std::filesystem::create_directory(world.dir.file("Methods.mtd"));
    world.store.saveMethods();
    ASSERT_EQ(world.person.messages.size(), 2u);
    EXPECT_EQ(world.person.messages[1].icon, MessageIcon::Stop);
    EXPECT_NE(world.person.messages[1].text.find("\"Methods.mtd\" cannot be written"),
              std::string::npos);
}

TEST(LoadMethods, SendsMethods1To10InOrderWritesTheNamesAndLeavesAClosedEditorAlone) {
    MethodWorld world;
    const MethodTable saved = numberedMethods("Saved");
    writeMethods(world.dir.file("Methods.mtd"), saved);
    world.state.methods[0].name = "Custom";
    world.store.loadMethods();

    const auto frames = world.sent();
    ASSERT_EQ(frames.size(), 10u);
    for (int n = 1; n <= 10; ++n) {
        const MethodRecord& r = saved[n];
        EXPECT_EQ(frames[n - 1].code, 31);
        EXPECT_EQ(frames[n - 1].words,
                  (std::vector<int>{n, r.evaporatorTemp, r.nebuliserTemp, r.transferLineTemp,
                                    r.gasFlow, r.autozeroOffset, r.timeConstant}));
        EXPECT_EQ(world.state.methods[n].name, r.name);
        EXPECT_EQ(world.state.methods[n].description, r.description);
    }
    EXPECT_EQ(world.state.methods[0].name, "Custom");
    MethodTable names{};
    ASSERT_EQ(ReadMethodNames(world.dir.path(), names), ArchiveReadStatus::Ok);
    EXPECT_EQ(names[10].name, "Saved 10");
    EXPECT_TRUE(world.editor.spinnerSets.empty());
    EXPECT_EQ(world.editor.fieldWrites, 0);
    EXPECT_EQ(world.messageTexts(),
              std::vector<std::string>{"Successfully Loaded Method Settings."});
    EXPECT_EQ(world.person.messages[0].icon, MessageIcon::Information);
}

TEST(LoadMethods, OpenEditorReloadsMethod1ThroughAChangeOfTheSpinner) {
    const std::pair<const char*, std::vector<int>> cases[] = {
        {"4", {1}}, {"1", {0, 1}}, {"1 ", {0, 1}}, {"0", {1}}};
    for (const auto& [shown, sets] : cases) {
        SCOPED_TRACE(shown);
        MethodWorld world;
        writeMethods(world.dir.file("Methods.mtd"), numberedMethods("Saved"));
        world.state.editorOpen = true;
        world.editor.fields[EditorField::Number] = shown;
        world.store.loadMethods();
        EXPECT_EQ(world.editor.spinnerSets, sets);
        EXPECT_GE(world.editor.refreshes, 1);
    }
}

TEST(LoadMethods, AtTheEndOfASystemTestNoSuccessMessageIsShown) {
    MethodWorld world;
    writeMethods(world.dir.file("Methods.mtd"), numberedMethods("Saved"));
    world.store.loadMethods(MethodStore::Announce::Silently);
    EXPECT_EQ(world.sentMethods().size(), 10u);
    EXPECT_TRUE(world.person.messages.empty());
}

TEST(LoadMethods, MissingFileGivesItsMessageAndChangesNothing) {
    MethodWorld world;
    world.state.methods = numberedMethods("Kept");
    world.store.loadMethods();
    EXPECT_EQ(world.messageTexts(),
              std::vector<std::string>{
                  "The Methods file cannot be found. Check that you have saved your "
                  "methods.\n\nNo changes will be made to the current method settings."});
    EXPECT_EQ(world.person.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_TRUE(world.driver.written.empty());
    EXPECT_EQ(world.state.methods[1].name, "Kept 1");
    EXPECT_FALSE(std::filesystem::exists(world.dir.file("Names.mtd")));
}

// Each operation that reads a method file, with the file it reads.
struct FileOperation {
    const char* name;
    const char* file;
    bool fine;
    void (*run)(MethodWorld&);
    std::vector<int> codesWhenRefused;
};

const FileOperation kReadingOperations[] = {
    {"LoadMethods", "Methods.mtd", false, [](MethodWorld& w) { w.store.loadMethods(); }, {}},
    {"ResetFactorySettings",
     "Default.mtd",
     false,
     [](MethodWorld& w) { w.store.resetFactorySettings(); },
     {34}},
    {"ResetFactorySettingsFine",
     "mDefault.mtd",
     true,
     [](MethodWorld& w) { w.store.resetFactorySettings(); },
     {34}},
    {"ResetMethodToDefault",
     "Default.mtd",
     false,
     [](MethodWorld& w) { w.store.resetMethodToDefault(); },
     {}},
    {"ResetMethodToDefaultFine",
     "mDefault.mtd",
     true,
     [](MethodWorld& w) { w.store.resetMethodToDefault(); },
     {}},
    {"LoadSystemTestMethods",
     "Test.mtd",
     false,
     [](MethodWorld& w) { w.store.loadSystemTestMethods(); },
     {}},
    {"LoadSystemTestMethodsFine",
     "mTest.mtd",
     true,
     [](MethodWorld& w) { w.store.loadSystemTestMethods(); },
     {}},
};

// A refused file sends only what the operation sends regardless, changes no method, writes no
// names and leaves the editor alone; returns the operator's message.
std::string expectRefusedUnchanged(const MethodWorld& world, const FileOperation& op,
                                   const MethodTable& before) {
    EXPECT_EQ(world.sentCodes(), op.codesWhenRefused);
    for (int n = 0; n <= 10; ++n) {
        EXPECT_EQ(world.state.methods[n].name, before[n].name);
        EXPECT_EQ(world.state.methods[n].evaporatorTemp, before[n].evaporatorTemp);
        EXPECT_EQ(world.state.methods[n].gasFlow, before[n].gasFlow);
    }
    EXPECT_FALSE(std::filesystem::exists(world.dir.file("Names.mtd")));
    EXPECT_EQ(world.editor.fieldWrites, 0);
    if (world.person.messages.empty()) {
        ADD_FAILURE() << "no message";
        return {};
    }
    EXPECT_EQ(world.person.messages.back().icon, MessageIcon::Exclamation);
    return world.person.messages.back().text;
}

TEST(MethodFiles, DamagedOrShortFileIsRefusedWithAMessageAndNothingChanges) {
    for (const FileOperation& op : kReadingOperations) {
        for (const Damage& damage : kDamages) {
            SCOPED_TRACE(std::string(op.name) + " " + damage.name);
            MethodWorld world;
            world.state.fineGasResolution = op.fine;
            world.state.methods = numberedMethods("Kept");
            world.editor.spinnerText = "3";
            const MethodTable before = world.state.methods;
            writeBytes(world.dir.file(op.file),
                       damage.apply(methodsBytes(numberedMethods("File"))));
            op.run(world);

            const std::string text = expectRefusedUnchanged(world, op, before);
            EXPECT_NE(text.find("damaged"), std::string::npos) << text;
        }
    }
}

// A well-formed file can still hold texts the instrument cannot take; unchecked they would be
// sent as wrapped 16-bit words.
TEST(MethodFiles, ValueOutsideTheEditorsLimitsOrNotANumberIsRefusedNamingTheFile) {
    struct BadValue {
        int method;
        MethodFileField field;
        const char* text;
        const char* described;
    };
    const BadValue bad[] = {
        {1, MethodFileField::Evaporator, "99999", "method 1, evaporator temperature \"99999\""},
        {2, MethodFileField::Nebuliser, "-40000", "method 2, nebuliser temperature \"-40000\""},
        {3, MethodFileField::TransferLine, "abc", "method 3, transfer line temperature \"abc\""},
        {10, MethodFileField::GasFlow, "2147483648", "method 10, gas flow \"2147483648\""},
        {5, MethodFileField::Autozero, "-1", "method 5, autozero offset \"-1\" (0 to 10)"},
        {6, MethodFileField::TimeConstant, "70000", "method 6, time constant \"70000\""},
        {7, MethodFileField::TimeConstant, "", "method 7, time constant \"\""},
        {8, MethodFileField::Evaporator, "50x", "method 8, evaporator temperature \"50x\""},
    };
    for (const FileOperation& op : kReadingOperations) {
        for (const BadValue& value : bad) {
            SCOPED_TRACE(std::string(op.name) + " " + value.text);
            MethodWorld world;
            world.state.fineGasResolution = op.fine;
            world.state.methods = numberedMethods("Kept");
            world.editor.spinnerText = "3";
            const MethodTable before = world.state.methods;
            std::vector<std::string> strings = methodFileStrings(numberedMethods("File"));
            strings[static_cast<std::size_t>(value.method - 1) * kStringsPerMethod +
                    static_cast<std::size_t>(value.field)] = value.text;
            ASSERT_FALSE(writeArchiveFile(world.dir.file(op.file), strings));
            op.run(world);

            const std::string text = expectRefusedUnchanged(world, op, before);
            EXPECT_EQ(text.rfind(std::string("\nThe file \"") + op.file + "\"", 0), 0u) << text;
            EXPECT_NE(text.find(value.described), std::string::npos) << text;
        }
    }
}

TEST(MethodFiles, TheMPrefixedFileIsReadExactlyWithFineGasResolution) {
    for (const FileOperation& op : kReadingOperations) {
        if (std::string(op.file) == "Methods.mtd") {
            continue;
        }
        SCOPED_TRACE(op.name);
        MethodWorld world;
        world.state.fineGasResolution = op.fine;
        world.editor.spinnerText = "2";
        const std::string other =
            op.fine ? std::string(op.file).substr(1) : "m" + std::string(op.file);
        writeMethods(world.dir.file(other), numberedMethods("Other"));
        const int gasBase = op.fine ? 40 : 5; // hundredths or tenths of SLM
        writeMethods(world.dir.file(op.file), numberedMethods("Right", gasBase));
        op.run(world);
        EXPECT_EQ(world.state.methods[2].name, "Right 2");
        EXPECT_EQ(world.state.methods[2].gasFlow, gasBase + 2);
    }
}

TEST(ResetMethodToDefault, TakesTheDefaultRecordAndShowsTheFilesTextsInTheEditor) {
    struct Case {
        const char* name;
        bool fine;
        int gasFlow;
        const char* gasText;
    };
    const Case cases[] = {{"Standard", false, 16, "1.6"}, {"Fine", true, 45, "0.45"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MethodWorld world;
        world.state.fineGasResolution = c.fine;
        world.state.methods = numberedMethods("Mine");
        MethodTable defaults = numberedMethods("Default");
        defaults[4].gasFlow = c.gasFlow;
        writeMethods(world.dir.file(c.fine ? "mDefault.mtd" : "Default.mtd"), defaults);
        world.editor.spinnerText = "4";
        world.store.resetMethodToDefault();

        const MethodRecord& r = world.state.methods[4];
        EXPECT_EQ(r.name, "Default 4");
        EXPECT_EQ(r.evaporatorTemp, 44);
        EXPECT_EQ(r.gasFlow, c.gasFlow);
        EXPECT_EQ(world.state.methods[5].name, "Mine 5");
        EXPECT_EQ(world.editor.fields[EditorField::Name], "Default 4");
        EXPECT_EQ(world.editor.fields[EditorField::Description], "Default description 4");
        EXPECT_EQ(world.editor.fields[EditorField::Evaporator], "44");
        EXPECT_EQ(world.editor.fields[EditorField::TimeConstant], "0");
        EXPECT_EQ(world.editor.fields[EditorField::GasFlow], c.gasText);
        EXPECT_EQ(world.editor.fields.count(EditorField::Number), 0u);
        EXPECT_TRUE(world.editor.spinnerSets.empty()) << "the spinners keep their values";
        EXPECT_EQ(world.sentMethods(), std::vector<int>{4});
        EXPECT_TRUE(world.person.messages.empty());
        MethodTable names{};
        ASSERT_EQ(ReadMethodNames(world.dir.path(), names), ArchiveReadStatus::Ok);
        EXPECT_EQ(names[4].name, "Default 4");
    }
}

TEST(ResetMethodToDefault, CustomMethodGetsItsMessageAndIsStillSentAndNamesWritten) {
    MethodWorld world;
    world.state.methods[0].evaporatorTemp = 77;
    world.state.methods[0].name = "Custom";
    writeMethods(world.dir.file("Default.mtd"), numberedMethods("Default"));
    world.editor.spinnerText = "0";
    world.store.resetMethodToDefault();

    EXPECT_EQ(
        world.messageTexts(),
        std::vector<std::string>{"Cannot reset Custom Method 0 as it has no default settings."});
    const auto frames = world.sent();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].words, (std::vector<int>{0, 77, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(std::filesystem::exists(world.dir.file("Names.mtd")));
    EXPECT_EQ(world.state.methods[0].name, "Custom");
}

TEST(ResetMethodToDefault, MissingDefaultFileGivesItsMessageAndSendsNothing) {
    for (const char* spinner : {"0", "3"}) {
        SCOPED_TRACE(spinner);
        MethodWorld world;
        world.editor.spinnerText = spinner;
        world.store.resetMethodToDefault();
        EXPECT_EQ(world.messageTexts(),
                  std::vector<std::string>{"The Default Methods file cannot be found for this "
                                           "operation.\n\nNo changes will be made to the current "
                                           "method settings."});
        EXPECT_TRUE(world.driver.written.empty());
        EXPECT_FALSE(std::filesystem::exists(world.dir.file("Names.mtd")));
    }
}

TEST(ResetFactorySettings, AppliesTheDefaultsThenResetsTheVapourSensitivity) {
    MethodWorld world;
    writeMethods(world.dir.file("Default.mtd"), numberedMethods("Default"));
    world.store.resetFactorySettings();

    const auto frames = world.sent();
    ASSERT_EQ(frames.size(), 11u);
    EXPECT_EQ(world.sentMethods(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(frames.back().code, 34);
    EXPECT_EQ(frames.back().words, std::vector<int>{2});
    EXPECT_EQ(world.state.methods[9].name, "Default 9");
    EXPECT_EQ(world.messageTexts(),
              (std::vector<std::string>{"Are you sure you want to reset all Factory Settings",
                                        "Successfully Reset All Factory Settings."}));
    EXPECT_EQ(world.person.messages[0].icon, MessageIcon::Question);
    EXPECT_EQ(world.person.messages[1].icon, MessageIcon::Information);
}

TEST(ResetFactorySettings, MissingDefaultFileStillResetsTheVapourSensitivity) {
    MethodWorld world;
    world.store.resetFactorySettings();
    const auto frames = world.sent();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].code, 34);
    EXPECT_EQ(frames[0].words, std::vector<int>{2});
    EXPECT_EQ(world.person.messages.back().text,
              "The Default Methods file cannot be found for this operation.\n\nNo changes will "
              "be made to the current method settings.");
}

TEST(LoadSystemTestMethods, KeepsTheOperatorsMethodsThenSendsTheTestMethodsWithoutNames) {
    MethodWorld world;
    world.state.methods = numberedMethods("Mine");
    writeMethods(world.dir.file("Test.mtd"), numberedMethods("Test"));
    EXPECT_TRUE(world.store.loadSystemTestMethods());

    EXPECT_EQ(readBytes(world.dir.file("Methods.mtd")), methodsBytes(numberedMethods("Mine")));
    EXPECT_EQ(world.sentMethods(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(world.state.methods[6].name, "Test 6");
    EXPECT_FALSE(std::filesystem::exists(world.dir.file("Names.mtd")));
    EXPECT_TRUE(world.person.messages.empty());
    EXPECT_TRUE(world.editor.spinnerSets.empty());
}

TEST(LoadSystemTestMethods, MissingTestFileStopsTheTestAfterKeepingTheOperatorsMethods) {
    MethodWorld world;
    world.state.methods = numberedMethods("Mine");
    EXPECT_FALSE(world.store.loadSystemTestMethods());
    EXPECT_EQ(world.messageTexts(),
              std::vector<std::string>{"\nThe System Tests methods file cannot be found.\n\nA "
                                       "System Test will not be carried out."});
    EXPECT_TRUE(world.driver.written.empty());
    EXPECT_TRUE(std::filesystem::exists(world.dir.file("Methods.mtd")));
}

TEST(MethodFiles, FileThatCannotBeWrittenIsReportedAndTheOperationGoesOn) {
    struct Case {
        const char* name;
        const char* blocked;
        void (*run)(MethodWorld&);
        std::vector<int> methodsSent;
    };
    const Case cases[] = {
        {"LoadMethodsNames",
         "Names.mtd",
         [](MethodWorld& w) { w.store.loadMethods(); },
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        {"ResetMethodToDefaultNames",
         "Names.mtd",
         [](MethodWorld& w) { w.store.resetMethodToDefault(); },
         {3}},
        {"SaveMethodAsNames", "Names.mtd", [](MethodWorld& w) { w.store.saveMethodAs(); }, {6}},
        // Without a copy of the operator's methods the test would lose them: it does not start.
        {"SystemTestKeepsMethods",
         "Methods.mtd",
         [](MethodWorld& w) { EXPECT_FALSE(w.store.loadSystemTestMethods()); },
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MethodWorld world;
        if (std::string(c.blocked) != "Methods.mtd") {
            writeMethods(world.dir.file("Methods.mtd"), numberedMethods("Saved"));
        }
        writeMethods(world.dir.file("Default.mtd"), numberedMethods("Default"));
        writeMethods(world.dir.file("Test.mtd"), numberedMethods("Test"));
        std::filesystem::create_directory(world.dir.file(c.blocked));
        world.editor.spinnerText = "3";
        world.editor.dialogAnswer = {true, "6", "Six", ""};
        c.run(world);

        EXPECT_EQ(world.sentMethods(), c.methodsSent);
        ASSERT_FALSE(world.person.messages.empty());
        EXPECT_EQ(world.person.messages[0].icon, MessageIcon::Stop);
        EXPECT_NE(world.person.messages[0].text.find(std::string("\"") + c.blocked +
                                                     "\" cannot be written"),
                  std::string::npos)
            << world.person.messages[0].text;
        EXPECT_TRUE(std::filesystem::is_directory(world.dir.file(c.blocked)));
    }
}

} // namespace
} // namespace kqvdr
