#pragma once

#include <QColor>
#include <QWidget>
#include <cstdint>

namespace kqvdr {

// A round indicator lamp. Lit it shows its on-colour; dark it shows a dim grey of it.
class CLamp : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool on READ isOn WRITE setOn)

public:
    explicit CLamp(QWidget* parent = nullptr);

    bool isOn() const { return on_; }
    void setOn(bool on);

    // A 0x00BBGGRR colour value, as the status decoding hands it over.
    void setOnColour(std::uint32_t windowsColour);
    void setOnColour(const QColor& colour);
    QColor onColour() const { return onColour_; }
    // The colour the lamp body shows right now.
    QColor shownColour() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool on_ = false;
    QColor onColour_{0, 230, 0};
};

} // namespace kqvdr
