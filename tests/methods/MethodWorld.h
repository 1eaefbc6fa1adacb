#pragma once

#include "FakeSerialDriver.h"
#include "InstrumentState.h"
#include "MethodEditorFields.h"
#include "MethodFile.h"
#include "MethodStore.h"
#include "ScriptedOperator.h"
#include "TemporaryDirectory.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kqvdr::test {

// The editor's form as the method operations see it.
class FakeEditor : public MethodEditorFields {
public:
    std::string fieldText(EditorField field) const override {
        const auto found = fields.find(field);
        return found == fields.end() ? std::string() : found->second;
    }
    void setFieldText(EditorField field, const std::string& text) override {
        fields[field] = text;
        ++fieldWrites;
    }
    std::string methodSpinnerText() const override { return spinnerText; }
    void setMethodSpinner(int number) override { spinnerSets.push_back(number); }
    void refreshForm() override { ++refreshes; }
    SaveMethodAsChoice runSaveMethodAsDialog(const SaveMethodAsChoice& initial) override {
        dialogOpenedWith = initial;
        return dialogAnswer;
    }

    std::map<EditorField, std::string> fields;
    std::string spinnerText = "0";
    std::vector<int> spinnerSets;
    int fieldWrites = 0;
    int refreshes = 0;
    std::optional<SaveMethodAsChoice> dialogOpenedWith;
    SaveMethodAsChoice dialogAnswer;
};

// A scripted operator that can also answer No.
class AnsweringOperator : public ScriptedOperator {
public:
    MessageAnswer message(const std::string& text, MessageIcon icon,
                          MessageButtons buttons) override {
        const MessageAnswer answer = ScriptedOperator::message(text, icon, buttons);
        return buttons == MessageButtons::YesNo && !answerYes ? MessageAnswer::No : answer;
    }
    bool answerYes = true;
};

// One frame as the instrument would read it.
struct SentFrame {
    int address = 0;
    int code = 0;
    std::vector<int> words; // 16-bit words of 4 digits, or one byte of 2 digits
};

// A fresh world per test: state, line, operator, editor and an empty program directory.
struct MethodWorld {
    MethodWorld() { state.parameters[ParameterIndex::DeviceId].measured = 5; }

    std::vector<SentFrame> sent() const {
        std::vector<SentFrame> frames;
        for (const std::string& frame : driver.written) {
            SentFrame out;
            out.address = std::stoi(frame.substr(1, 2), nullptr, 16);
            out.code = std::stoi(frame.substr(3, 2), nullptr, 16);
            const std::string data = frame.substr(5, frame.size() - 8);
            const std::size_t width = data.size() == 2 ? 2 : 4;
            for (std::size_t i = 0; i + width <= data.size(); i += width) {
                out.words.push_back(std::stoi(data.substr(i, width), nullptr, 16));
            }
            frames.push_back(out);
        }
        return frames;
    }

    std::vector<int> sentCodes() const {
        std::vector<int> codes;
        for (const SentFrame& frame : sent()) {
            codes.push_back(frame.code);
        }
        return codes;
    }

    // The method numbers of the code-31 frames, in order.
    std::vector<int> sentMethods() const {
        std::vector<int> numbers;
        for (const SentFrame& frame : sent()) {
            if (frame.code == 31) {
                numbers.push_back(frame.words.at(0));
            }
        }
        return numbers;
    }

    std::vector<std::string> messageTexts() const {
        std::vector<std::string> texts;
        for (const auto& shown : person.messages) {
            texts.push_back(shown.text);
        }
        return texts;
    }

    InstrumentState state;
    FakeSerialDriver driver;
    AnsweringOperator person;
    FakeEditor editor;
    TemporaryDirectory dir;
    MethodStore store{state, driver, person, editor, dir.path()};
};

// Ten methods whose values tell them apart: method n has evaporator 40 + n and so on.
inline MethodTable numberedMethods(const std::string& prefix, int gasBase = 10) {
    MethodTable table{};
    for (int n = 1; n <= 10; ++n) {
        MethodRecord& r = table[static_cast<std::size_t>(n)];
        r.number = n;
        r.name = prefix + " " + std::to_string(n);
        r.description = prefix + " description " + std::to_string(n);
        r.evaporatorTemp = 40 + n;
        r.nebuliserTemp = 30 + n;
        r.transferLineTemp = 35 + n;
        r.gasFlow = gasBase + n;
        r.autozeroOffset = n % 11;
        r.timeConstant = n % 4;
    }
    return table;
}

} // namespace kqvdr::test
