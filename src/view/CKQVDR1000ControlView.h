#pragma once

#include "ControlForm.h"
#include "FrontPanel.h"
#include "StatusPoll.h"

#include <QWidget>
#include <functional>

class QMenu;

namespace kqvdr {

class CMethodEditor;
class InstrumentLink;
struct InstrumentState;

// The instrument form: shows what the poll reports and turns the operator's clicks into
// commands through the link. It holds no protocol logic of its own.
class CKQVDR1000ControlView : public QWidget, public FrontPanel, public PortSettingsCommand {
    Q_OBJECT
public:
    CKQVDR1000ControlView(InstrumentState& state, InstrumentLink& link, QWidget* parent = nullptr);

    // FrontPanel
    void setLamp(Lamp lamp, bool lit) override;
    bool lampLit(Lamp lamp) const override;
    void setLampOnColour(Lamp lamp, unsigned colour) override;
    void setText(PanelText field, const std::string& text) override;
    void setGauge(PanelGauge gauge, float value) override;
    double gaugeValue(PanelGauge gauge) const override;
    void showMethod(int number, const std::string& name, const std::string& description) override;
    std::string methodNumberText() const override;
    void setMethodSpinner(double value) override;
    void appendHistoryPoint(float reading) override;
    void clearHistory() override;
    void setSleepLayout(bool sleeping) override;
    void setGasFlowRange(bool fine) override;

    // The port change, whether the operator or the watchdog asked for it.
    void communicationSettings() override;

    void setYAxisRange(double maximum);
    bool rangeCommandsEnabled() const;
    QMenu* createContextMenu();

    const ControlForm& form() const { return form_; }
    CMethodEditor& methodEditor() { return *editor_; }

signals:
    // The application title or the port changed: the caption needs rebuilding.
    void captionChanged(bool fineGas, const QString& port);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    CLamp* lampFor(Lamp lamp) const;
    QLabel* textFor(PanelText field) const;
    void showHistory(bool show);
    // The editor takes the Output Monitor's place while it is open.
    void showEditorPanel(bool open);
    void connectCommands();

    InstrumentState& state_;
    InstrumentLink& link_;
    ControlForm form_;
    CMethodEditor* editor_;
};

} // namespace kqvdr
